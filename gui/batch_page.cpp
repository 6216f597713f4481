#include "gui/batch_page.h"

#include "gui/action_list.h"
#include "gui/artwork.h"
#include "gui/file_list_view.h"
#include "gui/link_label.h"
#include "gui/page_widgets.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kelvra {
namespace {

QToolButton* MakeToolButton(const char* name, const QString& hint, QAction* action, const QIcon& icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIcon(icon);
    if (action != nullptr)
        BindButtonToAction(button, action);
    button->setToolTip(hint);
    return button;
}

} // namespace

BatchPage::BatchPage(const ActionList& actions, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsConvert"));
    setWindowTitle(QStringLiteral("Convert"));

    // Tool bar.
    auto* toolBar = new QFrame(this);
    toolBar->setObjectName(QStringLiteral("cbrtools"));
    toolBar->setFrameShape(QFrame::StyledPanel);
    actions.actAdd->setIcon(AddFilesIcon());
    actions.actAddFolder->setIcon(AddFolderIcon());
    actions.actRemove->setIcon(RemoveIcon());
    actions.actClear->setIcon(ClearIcon());
    btnadd = MakeToolButton("btnadd", QStringLiteral("Add"), actions.actAdd, AddFilesIcon(), toolBar);
    pmpoplistfile = new QMenu(this);
    pmpoplistfile->setObjectName(QStringLiteral("pmpoplistfile"));
    pmpoplistfile->addAction(actions.actImport);
    pmpoplistfile->addAction(actions.actExport);
    btnsbrecentfile = new QToolButton(toolBar);
    btnsbrecentfile->setObjectName(QStringLiteral("btnsbrecentfile"));
    btnsbrecentfile->setAutoRaise(true);
    btnsbrecentfile->setIcon(DropDownArrowIcon());
    btnsbrecentfile->setIconSize(QSize(10, 10));
    btnsbrecentfile->setFixedWidth(16);
    btnadddir = MakeToolButton("btnadddir", QStringLiteral("Add Folder"), actions.actAddFolder, AddFolderIcon(), toolBar);
    btnRemove = MakeToolButton("btnRemove", QStringLiteral("Remove"), actions.actRemove, RemoveIcon(), toolBar);
    btnClear = MakeToolButton("btnClear", QStringLiteral("Clear"), actions.actClear, ClearIcon(), toolBar);
    auto* tools = new QHBoxLayout(toolBar);
    tools->setContentsMargins(6, 3, 6, 3);
    tools->setSpacing(2);
    tools->addWidget(btnadd);
    tools->addWidget(btnsbrecentfile);
    tools->addSpacing(10);
    tools->addWidget(btnadddir);
    tools->addSpacing(10);
    tools->addWidget(btnRemove);
    tools->addWidget(btnClear);
    tools->addStretch();

    // The list.
    lvFiles = new FileListView(this);
    lvFiles->setObjectName(QStringLiteral("lvFiles"));

    pmFiles = new QMenu(this);
    pmFiles->setObjectName(QStringLiteral("pmFiles"));
    actions.actOpenFolder->setIcon(OpenFolderIcon());
    pmFiles->addAction(actions.actOpenFolder);
    pmFiles->setDefaultAction(actions.actOpenFolder);
    pmFiles->addSeparator();
    pmFiles->addAction(actions.actAdd);
    pmFiles->addAction(actions.actAddFolder);
    pmFiles->addSeparator();
    mniSelectAll = new QAction(QStringLiteral("Select All"), pmFiles);
    mniSelectAll->setObjectName(QStringLiteral("mniSelectAll"));
    mniSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    mniSelectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    pmFiles->addAction(mniSelectAll);
    actions.actRemove->setShortcut(QKeySequence(Qt::Key_Delete));
    actions.actRemove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    pmFiles->addAction(actions.actRemove);
    pmFiles->addAction(actions.actClear);
    pmFiles->addSeparator();
    pmFiles->addAction(actions.actRemveFaile);
    pmFiles->addAction(actions.actRemoveSuccess);
    // The shortcuts work while the list has the focus.
    lvFiles->addAction(mniSelectAll);
    lvFiles->addAction(actions.actRemove);
    lvFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvFiles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmFiles->popup(lvFiles->viewport()->mapToGlobal(at)); });

    // The panel that lies over the empty list.
    pnlempty = new QFrame(lvFiles->viewport());
    pnlempty->setObjectName(QStringLiteral("pnlempty"));
    PaintWhite(pnlempty);
    QLabel* emptyPicture = MakePicture("imgempty", BatchModePicture(64), pnlempty);
    QLabel* emptyHint = MakeLabel(
        "lblemptyhint",
        QStringLiteral("Drag e-books here from your file manager, or click 'Add' or 'Add Folder' to choose them."),
        pnlempty, true);
    emptyHint->setAlignment(Qt::AlignCenter);
    emptyHint->setWordWrap(true);
    lblexample = new LinkLabel(QStringLiteral("lblexample"), QStringLiteral("Example"), pnlempty);
    Label3 = new LinkLabel(QStringLiteral("Label3"), QStringLiteral("How to convert e-books"), pnlempty);
    auto* links = new QHBoxLayout;
    links->setSpacing(24);
    links->addStretch();
    links->addWidget(lblexample);
    links->addWidget(Label3);
    links->addStretch();
    auto* emptyColumn = new QVBoxLayout(pnlempty);
    emptyColumn->setContentsMargins(20, 16, 20, 16);
    emptyColumn->addStretch();
    emptyColumn->addWidget(emptyPicture, 0, Qt::AlignHCenter);
    emptyColumn->addSpacing(10);
    emptyColumn->addWidget(emptyHint);
    emptyColumn->addSpacing(8);
    emptyColumn->addLayout(links);
    emptyColumn->addStretch();
    lvFiles->viewport()->installEventFilter(this);

    // Log pane.
    pnlLog = new QFrame(this);
    pnlLog->setObjectName(QStringLiteral("pnlLog"));
    pnlLog->setFixedHeight(65);
    mmolog = new QPlainTextEdit(pnlLog);
    mmolog->setObjectName(QStringLiteral("mmolog"));
    mmolog->setReadOnly(true);
    mmolog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmolog->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* logLayout = new QVBoxLayout(pnlLog);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->addWidget(mmolog);
    pnlLog->hide();

    // Bottom bar.
    btnHelp = MakeButton("btnHelp", QStringLiteral("&Help"), this);
    btnHelp->setIcon(HelpIcon());
    btnHotdirectory = MakeButton("btnHotdirectory", QString(), this, 160);
    BindButtonToAction(btnHotdirectory, actions.actHotDir);
    btnHotdirectory->setIcon(HotDirModePicture(20));
    btnOpenLog = MakeButton("btnOpenLog", QStringLiteral("Show log..."), this);
    btnConvert = MakeButton("btnConvert", QString(), this, 120);
    actions.actConvert->setIcon(ConvertIcon());
    BindButtonToAction(btnConvert, actions.actConvert);
    btnConvert->setIconSize(QSize(20, 20));
    QFont strong = btnConvert->font();
    strong.setBold(true);
    btnConvert->setFont(strong);
    btnStopConvert = MakeButton("btnStopConvert", QStringLiteral("Stop Convert"), this, 120);
    btnStopConvert->setIcon(StopWatchIcon());
    btnStopConvert->setIconSize(QSize(20, 20));
    btnStopConvert->setFont(strong);
    btnStopConvert->hide();
    // Stop Convert lies exactly over Convert: both share one cell.
    auto* convertCell = new QGridLayout;
    convertCell->setContentsMargins(0, 0, 0, 0);
    convertCell->addWidget(btnConvert, 0, 0);
    convertCell->addWidget(btnStopConvert, 0, 0);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(10);
    bottom->addWidget(btnHelp);
    bottom->addWidget(btnOpenLog);
    bottom->addStretch();
    bottom->addWidget(btnHotdirectory);
    bottom->addLayout(convertCell);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 6, 8, 8);
    column->setSpacing(6);
    column->addWidget(toolBar);
    column->addWidget(lvFiles, 1);
    column->addWidget(pnlLog);
    column->addLayout(bottom);
}

bool BatchPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvFiles->viewport() && event->type() == QEvent::Resize)
        PlaceEmptyPanel();
    return QWidget::eventFilter(watched, event);
}

void BatchPage::PlaceEmptyPanel()
{
    pnlempty->setGeometry(lvFiles->viewport()->rect());
}

} // namespace kelvra
