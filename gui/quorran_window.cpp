#include "gui/quorran_window.h"

#include "core/app_folders.h"
#include "gui/action_list.h"
#include "gui/artwork.h"
#include "gui/batch_page.h"
#include "gui/batch_run.h"
#include "gui/file_list_actions.h"
#include "gui/file_list_view.h"
#include "gui/hotdir_page.h"
#include "gui/hotdir_page_binding.h"
#include "gui/link_label.h"
#include "gui/mode_page.h"
#include "hotdir/directory_monitor.h"
#include "hotdir/monitor_stages.h"
#include "i18n/language.h"
#include "i18n/translate_form.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "settings/cd_settings.h"
#include "settings/option_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kelvra {
namespace {

constexpr int kWindowWidth = 854;
constexpr int kWindowHeight = 618;
constexpr int kBannerHeight = 105;
constexpr int kStatusPanelWidths[5] = {200, 200, 200, 10, 300};

} // namespace

TfrmQuorran::TfrmQuorran(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    BuildComponents();
    ConnectHandlers();
    // The file list's handlers and the batch run, children of the window.
    auto* fileList = new FileListActions(*this);
    new BatchRun(*this, fileList->Items());
    FormCreate();
}

TfrmQuorran::~TfrmQuorran()
{
    ReleaseHotDir();
    // The icon must not outlive the window in the notification area.
    m_trayIcon->hide();
}

void TfrmQuorran::BuildComponents()
{
    setObjectName(QStringLiteral("frmQuorran"));
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(kWindowWidth, kWindowHeight);
    // Tahoma 8 point; where it is not installed the desktop's nearest sans face.
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    m_actions = new ActionList(this);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlmain"));
    m_banner = new QLabel(central);
    m_banner->setObjectName(QStringLiteral("imgbanner"));
    m_banner->setFixedHeight(kBannerHeight);
    m_banner->setScaledContents(true);
    m_banner->setPixmap(BannerPicture(kWindowWidth, kBannerHeight));

    m_pageConvert = new QTabWidget(central);
    m_pageConvert->setObjectName(QStringLiteral("pageConvert"));
    m_pageConvert->setDocumentMode(true);
    m_modePage = new ModePage(*m_actions, m_pageConvert);
    m_batchPage = new BatchPage(*m_actions, m_pageConvert);
    m_hotDirPage = new HotDirPage(*m_actions, m_pageConvert);
    for (QWidget* page : {static_cast<QWidget*>(m_modePage), static_cast<QWidget*>(m_batchPage),
                          static_cast<QWidget*>(m_hotDirPage)})
        m_pageConvert->addTab(page, page->windowTitle());

    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_banner);
    column->addWidget(m_pageConvert, 1);
    setCentralWidget(central);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("stat1"));
    statusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 5; ++i) {
        m_statusPanels[i] = new QLabel(statusBar);
        m_statusPanels[i]->setObjectName(QStringLiteral("stat1Panel%1").arg(i));
        m_statusPanels[i]->setFixedWidth(kStatusPanelWidths[i]);
        m_statusPanels[i]->setIndent(4);
        statusBar->addWidget(m_statusPanels[i]);
    }
    setStatusBar(statusBar);

    m_pmTray = new QMenu(this);
    m_pmTray->setObjectName(QStringLiteral("pmTray"));
    QAction* show = m_pmTray->addAction(QStringLiteral("Show"));
    show->setObjectName(QStringLiteral("mniShow"));
    connect(show, &QAction::triggered, this, &TfrmQuorran::mniShowClick);
    m_pmTray->addAction(m_actions->actOption);
    m_pmTray->addSeparator();
    QAction* close = m_pmTray->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("mniClose"));
    connect(close, &QAction::triggered, this, &TfrmQuorran::mniCloseClick);

    m_trayIcon = new QSystemTrayIcon(AppIcon(), this);
    m_trayIcon->setObjectName(QStringLiteral("trayicon"));
    m_trayIcon->setToolTip(QString::fromLatin1(kTrayTip));
    CentreOnDesktop();
}

void TfrmQuorran::ConnectHandlers()
{
    const ActionList& a = *m_actions;
    connect(a.actNext, &QAction::triggered, this, &TfrmQuorran::actNextExecute);
    connect(a.actHotDir, &QAction::triggered, this, &TfrmQuorran::actHotDirExecute);
    connect(a.actReturnBatchMode, &QAction::triggered, this, &TfrmQuorran::actReturnBatchModeExecute);
    connect(a.actOption, &QAction::triggered, this, &TfrmQuorran::actOptionExecute);
    connect(m_hotDirPage->btnmin, &QToolButton::clicked, this, &TfrmQuorran::btnminClick);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &TfrmQuorran::OnTrayIconMessage);
    connect(m_modePage->btnexit, &QPushButton::clicked, this, &TfrmQuorran::btnexitClick);
    connect(m_modePage->lblcmdlink, &LinkLabel::clicked, this, &TfrmQuorran::lblcmdlinkClick);
    connect(m_modePage->btn1, &QPushButton::clicked, this, &TfrmQuorran::btn1Click);
    connect(m_batchPage->btnHelp, &QPushButton::clicked, this, &TfrmQuorran::btnHelpClick);
    connect(m_modePage->Label13, &LinkLabel::clicked, this, &TfrmQuorran::Label13Click);
    connect(m_modePage->Label14, &LinkLabel::clicked, this, &TfrmQuorran::Label14Click);
    connect(m_batchPage->Label3, &LinkLabel::clicked, this, &TfrmQuorran::Label3Click);
}

void TfrmQuorran::FormCreate()
{
    try {
        TranslateForm(this, LanguageFile);
    } catch (const std::exception& error) {
        // The window is created and shown all the same, with what was
        // applied before the error.
        ReportError(error.what());
    }
    m_batchPage->mmolog->clear();
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    SortColumn = 0;
    SortAscending = false;
    setAcceptDrops(true);
    StopRequested = false;
    CreateHotDir();
    m_mode = 0;
    ShowPage(m_modePage);
    LoadHotDirSettings();
    UpdateListActions();
}

void TfrmQuorran::LoadHotDirSettings()
{
    m_hotDir->Controller().LoadHotDirSettings();
}

void TfrmQuorran::CreateHotDir()
{
    m_monitor = std::make_unique<DirectoryMonitor>();
    m_hotDir = std::make_unique<HotDirPageBinding>(*m_hotDirPage, *m_actions, *m_monitor, m_services,
                                                   [this](const std::string& message) { ReportError(message); });
    // An error while a reported file is processed leaves the dispatch tick.
    SetDispatchErrorHandler([this](const std::string& message) { ReportError(message); });
}

void TfrmQuorran::ReleaseHotDir()
{
    if (!m_monitor && !m_hotDir)
        return;
    SetDispatchErrorHandler(nullptr);
    m_monitor.reset();
    m_hotDir.reset();
}

void TfrmQuorran::ReportError(const std::string& message)
{
    if (m_services.messageBoxes != nullptr)
        m_services.messageBoxes->ShowMessageBox(message, kApplicationTitle, kMbOk | kMbIconError);
}

void TfrmQuorran::CentreOnDesktop()
{
    if (const QScreen* desktop = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmQuorran::FormShow()
{
    switch (m_mode) {
    case 1:
        ShowPage(m_batchPage);
        break;
    case 2:
        ShowPage(m_hotDirPage);
        break;
    default:
        ShowPage(m_modePage);
        break;
    }
}

void TfrmQuorran::FormClose()
{
    ReleaseHotDir();
    m_trayIcon->hide();
}

void TfrmQuorran::ShowPage(QWidget* page)
{
    m_pageConvert->tabBar()->hide();
    m_pageConvert->setCurrentWidget(page);
}

QString TfrmQuorran::StatusPanelText(int index) const
{
    return index >= 0 && index < 5 ? m_statusPanels[index]->text() : QString();
}

void TfrmQuorran::SetStatusPanelText(int index, const QString& text)
{
    if (index >= 0 && index < 5)
        m_statusPanels[index]->setText(text);
}

void TfrmQuorran::UpdateListActions()
{
    const QAbstractItemModel* items = m_batchPage->lvFiles->ItemModel();
    const bool any = items != nullptr && items->rowCount() > 0;
    const ActionList& a = *m_actions;
    for (QAction* action : {a.actRemove, a.actClear, a.actConvert, a.actOpenFolder, a.actRemoveSuccess,
                            a.actRemveFaile, a.actExport, m_batchPage->mniSelectAll})
        action->setEnabled(any);
    m_batchPage->pnlempty->setVisible(!any);
}

void TfrmQuorran::SetMode(int mode)
{
    m_mode = mode;
    FormShow();
}

void TfrmQuorran::actNextExecute()
{
    if (m_modePage->rbtbatch->isChecked())
        SetMode(1);
    else if (m_modePage->rbrdohotdir->isChecked())
        SetMode(2);
}

void TfrmQuorran::actHotDirExecute()
{
    SetMode(2);
}

void TfrmQuorran::actReturnBatchModeExecute()
{
    SetMode(1);
}

void TfrmQuorran::actOptionExecute()
{
    Tfrmoption dialog(AppSettings(), m_services.messageBoxes, LanguageFile, this);
    dialog.exec();
}

void TfrmQuorran::showEvent(QShowEvent* event)
{
    FormShow();
    QMainWindow::showEvent(event);
}

void TfrmQuorran::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        FormClose();
        emit Closed();
    }
    QMainWindow::closeEvent(event);
}

void TfrmQuorran::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The minimise command from the title bar or the system menu: hide in the
    // tray instead. Deferred, because hiding inside the state change itself
    // confuses some window managers.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && isVisible())
                MinimizeToTray();
        });
}

void TfrmQuorran::MinimizeToTray()
{
    const bool trayAvailable = m_services.trayAvailable ? m_services.trayAvailable() : false;
    if (!trayAvailable) {
        // Without a notification area a hidden window could not be brought
        // back: minimise it normally.
        if (!isMinimized())
            showMinimized();
        return;
    }
    hide();
    m_trayIcon->show();
}

void TfrmQuorran::RestoreFromTray()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

void TfrmQuorran::btnminClick()
{
    MinimizeToTray();
}

void TfrmQuorran::OnTrayIconMessage(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (isVisible())
            hide();
        else
            RestoreFromTray();
        m_trayIcon->hide();
        break;
    case QSystemTrayIcon::Context:
        m_pmTray->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void TfrmQuorran::mniShowClick()
{
    if (isVisible())
        hide();
    else
        RestoreFromTray();
    m_trayIcon->hide();
    raise();
    activateWindow();
}

void TfrmQuorran::mniCloseClick()
{
    m_trayIcon->hide();
    close();
}

void TfrmQuorran::btnexitClick()
{
    close();
}

void TfrmQuorran::lblcmdlinkClick()
{
    if (m_services.launcher != nullptr)
        m_services.launcher->LaunchProgram("notepad.exe", "\"" + AppFolderFile(kCommandLineNotesFile) + "\"");
}

void TfrmQuorran::OpenHelpPage()
{
    if (m_services.launcher != nullptr)
        m_services.launcher->LaunchProgram(AppFolderFile(kHelpPageFile), "");
}

void TfrmQuorran::btn1Click()
{
    OpenHelpPage();
}

void TfrmQuorran::btnHelpClick()
{
    OpenHelpPage();
}

void TfrmQuorran::Label13Click()
{
    OpenHelpPage();
}

void TfrmQuorran::Label14Click()
{
    OpenHelpPage();
}

void TfrmQuorran::Label3Click()
{
    OpenHelpPage();
}

} // namespace kelvra
