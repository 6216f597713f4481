#include "gui/hotdir_page.h"

#include "gui/action_list.h"
#include "gui/artwork.h"
#include "gui/page_widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace kelvra {
namespace {

/// The page's background picture, redrawn to the label's size.
class BackgroundLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        setPixmap(HotDirBackgroundPicture(event->size().width(), event->size().height()));
        QLabel::resizeEvent(event);
    }
};

QToolButton* MakeBigButton(const char* name, const QString& caption, const QString& hint, const QIcon& icon,
                           QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setIconSize(QSize(48, 48));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumSize(104, 84);
    return button;
}

QPushButton* MakeRowButton(const char* name, QAction* action, const QIcon& icon, QWidget* parent)
{
    QPushButton* button = MakeButton(name, QString(), parent, 96);
    BindButtonToAction(button, action);
    button->setIcon(icon);
    return button;
}

QLineEdit* MakeEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumHeight(24);
    return edit;
}

} // namespace

HotDirPage::HotDirPage(const ActionList& actions, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsHotDirectory"));
    setWindowTitle(QStringLiteral("HotDirectory"));

    pnlhotdir = new QFrame(this);
    pnlhotdir->setObjectName(QStringLiteral("pnlhotdir"));
    PaintWhite(pnlhotdir);
    imghotdir = new BackgroundLabel(pnlhotdir);
    imghotdir->setObjectName(QStringLiteral("imghotdir"));
    imghotdir->setMinimumSize(1, 1);

    grp1 = new QGroupBox(QStringLiteral("Hot Directory Setting"), imghotdir);
    grp1->setObjectName(QStringLiteral("grp1"));
    imglogo = MakePicture("imglogo", HotDirLogoPicture(72), grp1);

    lbl2 = MakeLabel("lbl2", QStringLiteral("&Input Directory:"), grp1);
    edtindir = MakeEdit("edtindir", grp1);
    lbl2->setBuddy(edtindir);
    btnselectindir = MakeRowButton("btnselectindir", actions.actSelectIndir, BrowseIcon(), grp1);
    btnopeninputdir = MakeRowButton("btnopeninputdir", actions.actOpenIndir, OpenFolderIcon(), grp1);
    chksubdir = new QCheckBox(QStringLiteral("Include Sub-Director&y"), grp1);
    chksubdir->setObjectName(QStringLiteral("chksubdir"));
    lbl4 = MakeLabel("lbl4", QStringLiteral("&Out Directory:"), grp1);
    edtoutdir = MakeEdit("edtoutdir", grp1);
    lbl4->setBuddy(edtoutdir);
    btnselectoutdir = MakeRowButton("btnselectoutdir", actions.actSelectOutdir, BrowseIcon(), grp1);
    btnopenoutputdir = MakeRowButton("btnopenoutputdir", actions.actOpenOutdir, OpenFolderIcon(), grp1);
    lbl3 = MakeLabel("lbl3", QStringLiteral("&Log File Path:"), grp1);
    edtlog = MakeEdit("edtlog", grp1);
    lbl3->setBuddy(edtlog);
    btnselectlogfile = MakeRowButton("btnselectlogfile", actions.actSelectLogpath, BrowseIcon(), grp1);
    btnviewlog = MakeRowButton("btnviewlog", actions.actOpenLogDir, OpenFolderIcon(), grp1);

    auto* grid = new QGridLayout(grp1);
    grid->setContentsMargins(16, 18, 16, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(imglogo, 0, 0, 4, 1, Qt::AlignTop | Qt::AlignHCenter);
    grid->setColumnMinimumWidth(0, 92);
    grid->addWidget(lbl2, 0, 1);
    grid->addWidget(edtindir, 0, 2);
    grid->addWidget(btnselectindir, 0, 3);
    grid->addWidget(btnopeninputdir, 0, 4);
    grid->addWidget(chksubdir, 1, 2);
    grid->addWidget(lbl4, 2, 1);
    grid->addWidget(edtoutdir, 2, 2);
    grid->addWidget(btnselectoutdir, 2, 3);
    grid->addWidget(btnopenoutputdir, 2, 4);
    grid->addWidget(lbl3, 3, 1);
    grid->addWidget(edtlog, 3, 2);
    grid->addWidget(btnselectlogfile, 3, 3);
    grid->addWidget(btnviewlog, 3, 4);
    grid->setColumnStretch(2, 1);

    pnl1 = new QFrame(imghotdir);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    pnl1->setFrameShape(QFrame::StyledPanel);
    QPalette strip = pnl1->palette();
    strip.setColor(QPalette::Window, QColor(0xee, 0xf5, 0xfd));
    pnl1->setPalette(strip);
    pnl1->setAutoFillBackground(true);
    lbl6 = MakeLabel("lbl6",
                     QStringLiteral("Every e-book that is copied into the input folder is converted to EPUB and sent to "
                                    "the output folder automatically."),
                     pnl1, true);
    lbl6->setWordWrap(true);
    auto* stripLayout = new QHBoxLayout(pnl1);
    stripLayout->setContentsMargins(12, 6, 12, 6);
    stripLayout->addWidget(lbl6);

    btnsbtrun = MakeBigButton("btnsbtrun", QStringLiteral("Start"), QStringLiteral("Start watching the input folder"),
                              StartWatchIcon(), imghotdir);
    btnsbtend = MakeBigButton("btnsbtend", QStringLiteral("Stop"), QStringLiteral("Stop watching"), StopWatchIcon(),
                              imghotdir);
    btnmin = MakeBigButton("btnmin", QStringLiteral("Minimize"), QStringLiteral("Hide the window in the notification area"),
                           MinimizeToTrayIcon(), imghotdir);
    btnsbtend->setEnabled(false);
    btnmin->setEnabled(false);
    btnsbtreturn = MakeButton("btnsbtreturn", QString(), imghotdir, 170);
    BindButtonToAction(btnsbtreturn, actions.actReturnBatchMode);
    btnsbtreturn->setIcon(BatchModePicture(20));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(16);
    buttons->addStretch();
    buttons->addWidget(btnsbtrun);
    buttons->addWidget(btnsbtend);
    buttons->addWidget(btnmin);
    buttons->addStretch();

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnsbtreturn);

    auto* column = new QVBoxLayout(imghotdir);
    column->setContentsMargins(24, 16, 24, 12);
    column->setSpacing(10);
    column->addWidget(grp1);
    column->addWidget(pnl1);
    column->addStretch();
    column->addLayout(buttons);
    column->addStretch();
    column->addLayout(bottom);

    auto* panelLayout = new QVBoxLayout(pnlhotdir);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(imghotdir);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(pnlhotdir);
}

} // namespace kelvra
