#pragma once

// The hot-directory page's behaviour, without widgets: starting and stopping
// the watch after checking the three folders, the enable states, the choose
// and open actions, and the processing of every file the monitor reports
// (convert, then log start and outcome in the daily log).
//
// The window owns the controller, the monitor and the services, creates the
// controller once, calls LoadHotDirSettings, and binds the page's component
// handlers to the methods named after them. Everything runs on the main thread;
// HotDirFileReady runs inside the monitor's dispatch tick and blocks until
// the converter has ended. Errors leave the handlers as exceptions with the
// message to show (the window's standard error report shows them).
//
// Wiring, in the window:
//     m_monitor = std::make_unique<DirectoryMonitor>();
//     m_hotDir = std::make_unique<HotDirController>(*m_monitor, HotDirControllerServices{
//         viewOnThePageWidgets, settingsOnAppSettings, messageBoxes, folderPicker, launcher,
//         m_logClock /* SystemLogClock */, [](int n) { return LanguageStrings[n].toStdString(); },
//         "Kelvra Converter", ConverterProgram::Installed()});
//     SetDispatchErrorHandler(showInTheStandardErrorBox); // errors of HotDirFileReady
//     m_hotDir->LoadHotDirSettings();
// and connect btnsbtrun to btnsbtrunClick, actSelectIndir to
// actSelectIndirExecute, and so on. Destroy the controller after the monitor.

#include "core/converter_invocation.h"
#include "hotdir/hotdir_services.h"
#include "hotdir/string_values.h"
#include "platform/message_box.h"
#include "platform/shell.h"

#include <string>

namespace kelvra {

class DirectoryMonitor;

/// Everything the controller talks to. References must outlive it.
struct HotDirControllerServices {
    HotDirView& view;
    HotDirSettings& settings;
    MessageBoxService& messages;
    FolderPicker& folderPicker;
    ShellLauncher& launcher;
    const LogClock& clock;
    LanguageText language;
    std::string applicationTitle;
    ConverterProgram converter;
};

class HotDirController {
public:
    HotDirController(DirectoryMonitor& monitor, HotDirControllerServices services);

    void LoadHotDirSettings();
    void SaveHotDirSettings();
    void SetHotDirRunning(bool running);

    void btnsbtrunClick();
    void btnsbtendClick();
    void chksubdirClick();

    void actSelectIndirExecute();
    void actSelectOutdirExecute();
    void actSelectLogpathExecute();
    void actOpenIndirExecute();
    void actOpenOutdirExecute();
    void actOpenLogDirExecute();

    /// The monitor's OnFileReady: records the file, then converts and logs
    /// every pending one (normally just this one).
    void HotDirFileReady(const std::string& path);

    /// The failure report handed to ConvertOneFile: one failed entry in
    /// today's log.
    void HotDirFailureReport(const std::string& nominalOutputPath, const std::string& message);

    /// The reported files of this watch and their status.
    const TStringValues& ReportedFiles() const { return m_reported; }

    /// Today's log file in the settings' log folder.
    std::string TodayLogFile() const;

private:
    void ProcessPendingFile(int index);
    void ShowMessage(int languageIndex, unsigned icon);
    bool RefuseUnless(bool ok, int languageIndex, HotDirControl focus);
    void ChooseFolder(int titleIndex, int warningIndex, HotDirControl target, HotDirControl other);

    DirectoryMonitor& m_monitor;
    HotDirControllerServices m_services;
    TStringValues m_reported;
};

} // namespace kelvra
