#pragma once

// The batch run of the batch page: Convert converts every listed file, one
// after the other, into a folder the user picks for the run; each file goes
// through ConvertOneFile, and the run then judges it by the EPUB it expects,
// marks the item, fills its Information and Out file name columns and writes
// the log pane. Also Stop Convert, the Show/Hide log button, and the
// enabling of the window's controls around a run.
//
// The run is synchronous on the main thread: the converter blocks it, and
// pending window events are let through only between two files, which is the
// only moment Stop Convert, a drop or a tray click takes effect. Items are
// followed by their ids, so a drop that changes the list between two files
// never makes the run mark or convert the wrong item.
//
// Created by the main window, which owns it (as its child); it uses the
// window's BatchOutputFolder, CurrentItemIndex and StopRequested fields and
// the file list's items. Main thread only.

#include "core/converter_invocation.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

namespace kelvra {

class BatchPage;
class ConversionListModel;
class LogClock;
class TfrmQuorran;

inline constexpr char kTaskBeginLine[] = "Task begin...";
inline constexpr char kTaskEndLine[] = "Task End";
inline constexpr char kStartConversionText[] = "Start Conversion...";
inline constexpr char kShowLogCaption[] = "Show log...";
inline constexpr char kHideLogCaption[] = "Hide log...";

class BatchRun : public QObject {
    Q_OBJECT
public:
    BatchRun(TfrmQuorran& window, ConversionListModel& items);
    ~BatchRun() override;

    /// The clock of the log lines; the system's (local time in the user's
    /// long time format) unless a test sets its own (null: the system's again).
    /// Not owned.
    void SetLogClock(const LogClock* clock) { m_clock = clock != nullptr ? clock : m_systemClock.get(); }
    /// The converter program; the one beside kelvra unless a test sets one.
    void SetConverter(std::optional<ConverterProgram> converter) { m_converter = std::move(converter); }

    bool Running() const { return m_running; }

    // Handlers.
    void actConvertExecute();
    void btnStopConvertClick();
    void btnOpenLogClick();
    void SetRunControlsEnabled(bool enabled);
    /// The failure report of ConvertOneFile during the run: the item being
    /// converted is marked failed, and the failure line and the message are
    /// logged.
    void BatchFailureReport(const std::string& nominalOutputPath, const std::string& message);

    /// Appends one line to the log pane.
    void Log(const QString& line);

private:
    void Run();
    /// "[" time "]": the time stamp that begins a log line.
    QString TimeStamp() const;
    void ShowLogPane();
    void ConvertButtonsForRun(bool running);

    TfrmQuorran& m_window;
    BatchPage& m_page;
    ConversionListModel& m_items;
    std::unique_ptr<LogClock> m_systemClock;
    const LogClock* m_clock = nullptr;
    std::optional<ConverterProgram> m_converter;
    bool m_running = false;
    bool m_windowClosed = false;
};

} // namespace kelvra
