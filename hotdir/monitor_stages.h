#pragma once

// The process-wide part of the directory monitor, shared by every
// DirectoryMonitor: the ready queue of (path, monitor) pairs, the 200 ms
// dispatch timer that hands up to ten of them per tick to their monitor's
// OnFileReady, DispatchDepth, and the three locks. Created on first use,
// which must be on the main thread; every tick runs on the main thread.

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

namespace kelvra {

class DirectoryMonitor;

/// Interval of the dispatch timer and the most files handed out per tick.
inline constexpr int kDispatchIntervalMs = 200;
inline constexpr int kFilesPerDispatch = 10;

/// Guards every worker's waiting list (and what the monitor knows of the
/// files it has seen). Held by a worker while it adds a candidate and by a
/// check tick for its whole walk.
std::recursive_mutex& WaitLock();

/// Held while a pair is appended to the ready queue; taken only inside
/// WaitLock.
std::recursive_mutex& ReadyLock();

/// Held around each OnFileReady call; main thread only.
std::recursive_mutex& DispatchLock();

/// Appends a ready file of `monitor` to the ready queue. Main thread.
void AppendReadyFile(const std::string& path, DirectoryMonitor* monitor);

/// Removes every queued pair of `monitor`, so that none reaches it once it is
/// destroyed. Main thread.
void RemoveReadyFilesOf(const DirectoryMonitor* monitor);

/// The number of pairs waiting in the ready queue.
std::size_t ReadyQueueLength();

/// The number of OnFileReady calls in progress.
int DispatchDepth();

/// Turns the dispatch timer on or off. Main thread, with a Qt application.
void EnableDispatchTimer();
void DisableDispatchTimer();
bool IsDispatchTimerEnabled();

/// One dispatch tick: hands up to ten queued pairs, oldest first, to their
/// monitor. An error raised by a callback leaves this function after
/// DispatchDepth and DispatchLock are restored; the pair that failed is gone,
/// the rest stay queued.
void DispatchReadyFiles();

/// Receives the text of an error that a callback raised inside a timer tick
/// (the window shows it in its standard error box). Without one, the text is
/// written to the Qt log.
using DispatchErrorHandler = std::function<void(const std::string& message)>;
void SetDispatchErrorHandler(DispatchErrorHandler handler);

} // namespace kelvra
