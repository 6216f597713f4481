#pragma once

// DirectoryMonitor watches one folder, optionally with its whole tree, and
// reports every file that is created, written or given its name by a rename
// once the file has stopped changing and its writer has let go of it.
//
// Three stages, two lists: the worker (TWaitThread, its own thread) puts
// candidates on its waiting list; its 500 ms check tick (main thread) moves
// a file that kept the same non-zero size with no writer for ReadyChecks
// ticks in a row to the process-wide ready queue; the 200 ms dispatch tick
// (main thread) hands up to ten queued files to OnFileReady. See
// wait_thread.h and monitor_stages.h.
//
// The owner creates, configures, starts, stops and destroys the monitor on
// the main thread, under a running Qt application. The monitor owns its
// worker while running. Destroying it stops it and drops its files still in
// the ready queue, so no callback ever reaches a destroyed monitor.

#include "platform/directory_watch.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kelvra {

class TWaitThread;

/// Raised by Start when the path names something other than a folder.
inline constexpr const char* kNotAFolderMessage = "Please input split directory firstly";

class DirectoryMonitor {
public:
    /// Called on the main thread, inside a dispatch tick, with DispatchLock
    /// held, once for every file that became ready, in that order. May run
    /// long; may throw (the error goes to the dispatch error handler).
    using FileReadyCallback = std::function<void(const std::string& path, std::intptr_t userData)>;

    /// `openWatch` opens the change source; tests pass one that injects faults.
    explicit DirectoryMonitor(DirectoryWatchFactory openWatch = OpenDirectoryWatch);
    ~DirectoryMonitor();

    DirectoryMonitor(const DirectoryMonitor&) = delete;
    DirectoryMonitor& operator=(const DirectoryMonitor&) = delete;

    // Settings, changed only while stopped.
    const std::string& Directory() const { return m_directory; }
    void SetDirectory(const std::string& directory) { m_directory = directory; }
    const std::string& Extensions() const { return m_extensions; }
    void SetExtensions(const std::string& extensions) { m_extensions = extensions; }
    bool WatchSubtree() const { return m_watchSubtree; }
    void SetWatchSubtree(bool watchSubtree) { m_watchSubtree = watchSubtree; }
    std::int32_t ReadyChecks() const { return m_readyChecks; }
    void SetReadyChecks(std::int32_t readyChecks) { m_readyChecks = readyChecks; }
    std::intptr_t UserData() const { return m_userData; }
    void SetUserData(std::intptr_t userData) { m_userData = userData; }
    void SetOnFileReady(FileReadyCallback callback) { m_onFileReady = std::move(callback); }

    /// Begins watching Directory (replaced by its WatchedFolderForm). Throws
    /// std::runtime_error with kNotAFolderMessage when it names something
    /// other than a folder, with the system's text when it cannot be watched,
    /// and when the monitor is already running; then nothing was started.
    void Start();

    /// Ends watching and returns after the worker has ended; files still
    /// waiting are forgotten, ready files stay queued for the next Start.
    /// Does nothing when stopped.
    void Stop();

    bool IsRunning() const { return m_worker != nullptr; }

    /// The running worker, or null; for tests that inspect the waiting list.
    TWaitThread* Worker() const { return m_worker.get(); }

    /// Calls OnFileReady for `path` when one is set. The dispatcher's entry.
    void NotifyFileReady(const std::string& path);

private:
    DirectoryWatchFactory m_openWatch;
    std::string m_directory;
    std::string m_extensions = ".pdf";
    bool m_watchSubtree = false;
    std::int32_t m_readyChecks = 5;
    std::intptr_t m_userData = 0;
    FileReadyCallback m_onFileReady;
    std::unique_ptr<TWaitThread> m_worker;
};

} // namespace kelvra
