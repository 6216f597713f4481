#pragma once

// The worker of a running DirectoryMonitor and its waiting list.
//
// TWaitThread owns the change source, a std::thread and the waiting list.
// The thread blocks in the change source and puts every candidate file on
// the waiting list (under WaitLock). The check timer, created by the
// constructor on the main thread and therefore ticking there every 500 ms,
// walks the waiting list (under WaitLock) and moves each file that had the
// same non-zero size and no writer for ReadyChecks ticks in a row to the
// process-wide ready queue. The monitor creates the worker in Start and
// destroys it in Stop; the destructor ends the thread and forgets every
// waiting file.
//
// The worker knows the version (write time, size, identity) of every
// accepted file seen at Start or moved to the ready queue. A change record
// that a file was written, for a file still at its known version (opened
// for writing and closed unchanged, or a late record of a change already
// reported), adds nothing.
// When the change source overflows, the worker lists the watched tree and
// makes a candidate of every accepted file whose version differs from the
// known one. So nothing written during the lost interval is missed, and
// nothing unchanged is reported twice.

#include "platform/directory_watch.h"

#include <QTimer>

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>

namespace kelvra {

class DirectoryMonitor;

/// Interval of every worker's check timer.
inline constexpr int kCheckIntervalMs = 500;

/// One waiting file.
struct TfileWaiter {
    std::string FileName;      ///< full path as reported (watched folder + relative name)
    std::int64_t Size = 0;     ///< size seen at the previous look
    std::int32_t StableCount = 0; ///< consecutive successful checks so far
};

class TWaitThread {
public:
    /// Takes note of the accepted files in the watched tree (they are not
    /// reported unless they change), then starts the thread.
    TWaitThread(DirectoryMonitor& monitor, std::unique_ptr<DirectoryWatch> watch, std::string directory,
                std::int32_t readyChecks, std::string extensions);
    ~TWaitThread();

    TWaitThread(const TWaitThread&) = delete;
    TWaitThread& operator=(const TWaitThread&) = delete;

    /// One check tick; the timer calls it, tests may too. Main thread.
    void CheckTick();

    /// The number of files on the waiting list.
    std::size_t WaitingCount() const;

    /// The number of files whose last seen version is remembered.
    std::size_t KnownFileCount() const;

private:
    void Run();
    void AddCandidate(const DirectoryChange& change);
    void AddCandidateLocked(const std::string& path);
    void RescanAfterOverflow();
    void RememberVersion(const std::string& key, const FileVersion& version);
    bool Accepts(const std::string& path) const;
    std::string FullPath(const std::string& relativeName) const;

    using WaitingList = std::list<TfileWaiter>;

    DirectoryMonitor& m_monitor;
    const std::unique_ptr<DirectoryWatch> m_watch;
    const std::string m_directory;
    const std::int32_t m_readyChecks;
    const std::string m_extensions;

    // Guarded by WaitLock. Insertion order is kept (the check tick walks
    // from the newest to the oldest); the index finds an entry by key.
    WaitingList m_waiting;
    std::unordered_map<std::string, WaitingList::iterator> m_waitingByKey;
    std::unordered_map<std::string, FileVersion> m_knownVersions;
    std::size_t m_knownAfterPrune = 0;

    std::unique_ptr<QTimer> m_checkTimer;
    std::thread m_thread;
};

} // namespace kelvra
