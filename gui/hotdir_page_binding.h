#pragma once

// Connects the hot-folder page's widgets to the page's logic
// (HotDirController): the controller's view on the real widgets, its
// settings on AppSettings, its log clock, and the connections of the Start
// and Stop buttons, the sub-folder check box and the six choose and open
// actions.
//
// The main window owns the binding and the DirectoryMonitor it is given; the
// binding owns the controller and the adapters. The window destroys the
// monitor first, so that no reported file reaches a destroyed controller.
// An error raised by a handler is handed to the window's error report, and
// the window stays usable. Main thread only.

#include "hotdir/hotdir_controller.h"
#include "hotdir/hotdir_services.h"
#include "hotdir/system_log_clock.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QLineEdit;
class QWidget;

namespace kelvra {

class ActionList;
class DirectoryMonitor;
class HotDirPage;
class TcdSettings;
struct WindowServices;

/// The controller's view: the real edits, check box, buttons and actions of
/// the page, looked up by the controller's names for them.
class HotDirPageView final : public HotDirView {
public:
    HotDirPageView(HotDirPage& page, const ActionList& actions);

    std::string Text(HotDirControl edit) const override;
    void SetText(HotDirControl edit, const std::string& text) override;
    bool SubDirChecked() const override;
    void SetSubDirChecked(bool checked) override;
    void SetEnabled(HotDirControl control, bool enabled) override;
    void SetFocus(HotDirControl control) override;

private:
    /// The widget of `control`, or null for the two choose actions.
    QWidget* Widget(HotDirControl control) const;
    /// The edit of `control`; throws for a control that is not an edit.
    QLineEdit* Edit(HotDirControl control) const;

    HotDirPage& m_page;
    const ActionList& m_actions;
};

/// The controller's settings: Indir, OutDir, LogDir and SubDir of the
/// application settings, written to the store by its SaveSettings.
class AppHotDirSettings final : public HotDirSettings {
public:
    explicit AppHotDirSettings(TcdSettings& settings);

    HotDirSettingsValues Values() const override;
    void SetValues(const HotDirSettingsValues& values) override;
    void SaveSettings() override;

private:
    TcdSettings& m_settings;
};

class HotDirPageBinding : public QObject {
    Q_OBJECT
public:
    /// Shows the text of an error raised by a handler.
    using ErrorReport = std::function<void(const std::string& message)>;

    /// Creates the controller on `monitor` and connects the page. A service
    /// missing from `services` is replaced by one that does nothing (the
    /// picker cancels, the boxes answer OK).
    HotDirPageBinding(HotDirPage& page, const ActionList& actions, DirectoryMonitor& monitor,
                      const WindowServices& services, ErrorReport reportError);
    ~HotDirPageBinding() override;

    HotDirController& Controller() { return *m_controller; }

    /// The clock of the daily log; the system's (local time in the user's
    /// long time format) unless a test sets its own (null: the system's
    /// again). Not owned.
    void SetLogClock(const LogClock* clock);

private:
    class ClockSwitch;
    struct NullServices;

    void Connect(HotDirPage& page, const ActionList& actions);
    /// Runs one handler of the controller; an error goes to the error report.
    void Run(void (HotDirController::*handler)());

    HotDirPageView m_view;
    AppHotDirSettings m_settings;
    std::unique_ptr<NullServices> m_nullServices;
    std::unique_ptr<ClockSwitch> m_clock;
    ErrorReport m_reportError;
    std::unique_ptr<HotDirController> m_controller;
};

} // namespace kelvra
