#pragma once

// The main window of kelvra, "frmQuorran": the banner, the page control with
// its three pages (start page, batch page, hot-folder page) whose tabs are
// never shown, the status bar with five panels, the action list, the popup
// menus and the notification-area icon. It owns every component, the item
// model of the file list and the tray icon for its whole life.
//
// Working mode: 0 start page, 1 batch, 2 hot folder; the pages change only
// through ShowPage. Minimising (title bar or the Minimize button of the
// hot-folder page) hides the window and shows the tray icon "QUORRAN"; a left
// click on the icon or "Show" brings it back, "&Close" ends the program.
//
// The window also owns the directory monitor and the hot-folder page's logic
// (HotDirPageBinding) from its creation until it closes; closing frees the
// monitor first, which ends any watching. Errors raised while a reported file
// is processed are shown in the standard error box.
//
// Everything runs on the main thread, apart from the monitor's worker.

#include "core/application_title.h"
#include "gui/window_services.h"

#include <QMainWindow>
#include <QSystemTrayIcon>

#include <memory>
#include <string>

class QLabel;
class QMenu;
class QTabWidget;

namespace kelvra {

class ActionList;
class BatchPage;
class DirectoryMonitor;
class HotDirPage;
class HotDirPageBinding;
class ModePage;

/// File names beside the program that the window opens.
inline constexpr char kCommandLineNotesFile[] = "Command line.txt";
inline constexpr char kHelpPageFile[] = "Kelvra Help.html";
/// The tip of the notification-area icon.
inline constexpr char kTrayTip[] = "QUORRAN";

class TfrmQuorran : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmQuorran(const WindowServices& services, QWidget* parent = nullptr);
    ~TfrmQuorran() override;

    /// 0 start page, 1 batch, 2 hot folder.
    int Mode() const { return m_mode; }

    /// Makes `page` the active page; no page ever shows its tab.
    void ShowPage(QWidget* page);

    /// Text of status-bar panel `index` (0 to 4).
    QString StatusPanelText(int index) const;
    void SetStatusPanelText(int index, const QString& text);

    /// Enables the list actions exactly when the list holds items and shows
    /// the empty-list panel exactly when it holds none.
    void UpdateListActions();

    ActionList& Actions() { return *m_actions; }
    ModePage& PageMode() { return *m_modePage; }
    BatchPage& PageConvert() { return *m_batchPage; }
    HotDirPage& PageHotDir() { return *m_hotDirPage; }
    QSystemTrayIcon& TrayIcon() { return *m_trayIcon; }
    QMenu& TrayMenu() { return *m_pmTray; }
    const WindowServices& Services() const { return m_services; }
    /// The hot-folder page's logic and its connections; null once the window
    /// has been closed.
    HotDirPageBinding* HotDir() { return m_hotDir.get(); }
    DirectoryMonitor* Monitor() { return m_monitor.get(); }

    // Fields other parts of the window use.
    int SortColumn = 0;
    bool SortAscending = false;
    std::string BatchOutputFolder;
    int CurrentItemIndex = 0;
    bool StopRequested = false;

    // Handlers.
    void actNextExecute();
    void actHotDirExecute();
    void actReturnBatchModeExecute();
    void actOptionExecute();
    void btnminClick();
    void OnTrayIconMessage(QSystemTrayIcon::ActivationReason reason);
    void mniShowClick();
    void mniCloseClick();
    void btnexitClick();
    void lblcmdlinkClick();
    void btn1Click();
    void btnHelpClick();
    void Label13Click();
    void Label14Click();
    void Label3Click();

signals:
    /// The window has been closed: the program ends.
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildComponents();
    void CentreOnDesktop();
    void ConnectHandlers();
    void FormCreate();
    void FormShow();
    void FormClose();
    /// Creates the directory monitor and the hot-folder page's logic, and
    /// routes errors of reported files to the standard error box.
    void CreateHotDir();
    /// Frees the monitor (which ends any watching), then the page's logic.
    void ReleaseHotDir();
    /// Hides the window and shows the tray icon (the minimise command).
    void MinimizeToTray();
    void RestoreFromTray();
    void OpenHelpPage();
    /// Fills the hot-folder page from the settings.
    void LoadHotDirSettings();
    /// The standard error box of the window: the message, the program title,
    /// OK and the error icon.
    void ReportError(const std::string& message);
    void SetMode(int mode);

    WindowServices m_services;
    int m_mode = 0;
    ActionList* m_actions = nullptr;
    QLabel* m_banner = nullptr;
    QTabWidget* m_pageConvert = nullptr;
    ModePage* m_modePage = nullptr;
    BatchPage* m_batchPage = nullptr;
    HotDirPage* m_hotDirPage = nullptr;
    QLabel* m_statusPanels[5] = {};
    QSystemTrayIcon* m_trayIcon = nullptr;
    QMenu* m_pmTray = nullptr;
    bool m_closing = false;
    // Declared before the monitor, so that the monitor also goes first when
    // the window is destroyed without being closed.
    std::unique_ptr<HotDirPageBinding> m_hotDir;
    std::unique_ptr<DirectoryMonitor> m_monitor;
};

} // namespace kelvra
