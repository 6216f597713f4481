#include "gui/mode_page.h"

#include "gui/action_list.h"
#include "gui/artwork.h"
#include "gui/link_label.h"
#include "gui/page_widgets.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kelvra {
namespace {

constexpr int kModeIconSize = 56;

QFont Bolder(QFont font, qreal scale)
{
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

} // namespace

ModePage::ModePage(const ActionList& actions, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsMode"));
    setWindowTitle(QStringLiteral("Mode"));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnlmode"));
    PaintWhite(panel);

    QLabel* title = MakeLabel("lblmodetitle", QStringLiteral("Choose how you want to convert your e-books"), panel);
    title->setFont(Bolder(title->font(), 1.35));

    rbtbatch = new QRadioButton(QStringLiteral("&Batch Convert Mode"), panel);
    rbtbatch->setObjectName(QStringLiteral("rbtbatch"));
    rbtbatch->setFont(Bolder(rbtbatch->font(), 1.1));
    rbtbatch->setChecked(true);
    rbrdohotdir = new QRadioButton(QStringLiteral("&Hot Directories Mode"), panel);
    rbrdohotdir->setObjectName(QStringLiteral("rbrdohotdir"));
    rbrdohotdir->setFont(Bolder(rbrdohotdir->font(), 1.1));
    QLabel* cmdTitle = MakeLabel("lblcmdtitle", QStringLiteral("Command Line Mode"), panel);
    cmdTitle->setFont(Bolder(cmdTitle->font(), 1.1));

    QLabel* batchText = MakeLabel(
        "lblbatchdesc",
        QStringLiteral("Collect PDF, AZW3, MOBI, LIT, RTF, FB2 and text files in a list and convert them all to EPUB "
                       "in one run, into a folder of your choice."),
        panel, true);
    QLabel* hotdirText = MakeLabel(
        "lblhotdirdesc",
        QStringLiteral("Watch a folder: every e-book that is copied into it is converted to EPUB automatically, and "
                       "each conversion is written to a daily log file."),
        panel, true);
    QLabel* cmdText = MakeLabel(
        "lblcmddesc", QStringLiteral("Convert single books from scripts and other programs with kelvracmd."), panel, true);
    for (QLabel* description : {batchText, hotdirText}) {
        description->setWordWrap(true);
        description->setMaximumWidth(600);
    }
    lblcmdlink = new LinkLabel(QStringLiteral("lblcmdlink"), QStringLiteral("How to use the command line"), panel);

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(16);
    rows->setVerticalSpacing(2);
    rows->setColumnStretch(1, 1);
    const auto addMode = [&](int row, const char* iconName, const QPixmap& icon, QWidget* head, QWidget* text) {
        rows->addWidget(MakePicture(iconName, icon, panel), row, 0, 2, 1, Qt::AlignTop);
        rows->addWidget(head, row, 1);
        rows->addWidget(text, row + 1, 1, Qt::AlignTop);
        rows->setRowMinimumHeight(row + 2, 30);
    };
    addMode(0, "imgbatch", BatchModePicture(kModeIconSize), rbtbatch, batchText);
    addMode(3, "imghotdir", HotDirModePicture(kModeIconSize), rbrdohotdir, hotdirText);
    auto* cmdLine = new QHBoxLayout;
    cmdLine->setSpacing(8);
    cmdLine->addWidget(cmdText);
    cmdLine->addWidget(lblcmdlink);
    cmdLine->addStretch();
    auto* cmdBox = new QWidget(panel);
    cmdBox->setLayout(cmdLine);
    cmdLine->setContentsMargins(0, 0, 0, 0);
    addMode(6, "imgcmd", CommandLinePicture(kModeIconSize), cmdTitle, cmdBox);

    QLabel* hint = MakeLabel(
        "lblhint", QStringLiteral("Please select a mode and click 'Next >' to begin. or 'Exit' to exit wizard."), panel);

    auto* rule = new QFrame(panel);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    Label13 = new LinkLabel(QStringLiteral("Label13"), QStringLiteral("Kelvra home page"), panel);
    Label14 = new LinkLabel(QStringLiteral("Label14"), QStringLiteral("More e-book tools"), panel);
    btn1 = MakeButton("btn1", QStringLiteral("&Help"), panel);
    btn1->setIcon(HelpIcon());
    btnNext = MakeButton("btnNext", QString(), panel);
    BindButtonToAction(btnNext, actions.actNext);
    btnNext->setDefault(true);
    btnexit = MakeButton("btnexit", QStringLiteral("&Exit"), panel);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(18);
    bottom->addWidget(Label13);
    bottom->addWidget(Label14);
    bottom->addStretch();
    bottom->addWidget(btn1);
    bottom->addSpacing(12);
    bottom->addWidget(btnNext);
    bottom->addWidget(btnexit);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(40, 22, 28, 14);
    column->addWidget(title);
    column->addSpacing(28);
    column->addLayout(rows);
    column->addStretch();
    column->addWidget(hint);
    column->addSpacing(8);
    column->addWidget(rule);
    column->addSpacing(6);
    column->addLayout(bottom);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
}

} // namespace kelvra
