#include "hotdir/wait_thread.h"

#include "core/paths.h"
#include "hotdir/directory_monitor.h"
#include "hotdir/monitor_stages.h"
#include "platform/file_release.h"
#include "platform/file_system.h"

#include <QtGlobal>

#include <exception>
#include <mutex>
#include <vector>

namespace kelvra {

TWaitThread::TWaitThread(DirectoryMonitor& monitor, std::unique_ptr<DirectoryWatch> watch, std::string directory,
                         std::int32_t readyChecks, std::string extensions)
    : m_monitor(monitor),
      m_watch(std::move(watch)),
      m_directory(std::move(directory)),
      m_readyChecks(readyChecks),
      m_extensions(std::move(extensions)),
      m_checkTimer(std::make_unique<QTimer>())
{
    // What is there now counts as seen, so that a rescan after an overflow
    // tells it apart from what was written since.
    for (const WatchedFile& file : m_watch->ListFiles()) {
        const std::string path = FullPath(file.relativeName);
        if (Accepts(path))
            m_knownVersions.emplace(WatchedPathKey(path), file.version);
    }
    m_knownAfterPrune = m_knownVersions.size();

    // Five ticks must span two full seconds: a coarse timer may fire early.
    m_checkTimer->setTimerType(Qt::PreciseTimer);
    m_checkTimer->setInterval(kCheckIntervalMs);
    QObject::connect(m_checkTimer.get(), &QTimer::timeout, [this] { CheckTick(); });
    m_checkTimer->start();
    m_thread = std::thread([this] { Run(); });
}

TWaitThread::~TWaitThread()
{
    m_watch->Wake();
    if (m_thread.joinable())
        m_thread.join();
    m_checkTimer->stop();
    std::lock_guard<std::recursive_mutex> lock(WaitLock());
    m_waitingByKey.clear();
    m_waiting.clear();
}

void TWaitThread::Run()
{
    std::vector<DirectoryChange> changes;
    try {
        while (m_watch->WaitForChanges(changes)) {
            for (const DirectoryChange& change : changes) {
                if (change.kind == DirectoryChangeKind::Overflow)
                    RescanAfterOverflow();
                else
                    AddCandidate(change);
            }
        }
    } catch (const std::exception& error) {
        // Like a change source that fails: nothing more is reported until Stop.
        qWarning("Hot folder worker ended: %s", error.what());
    }
}

std::string TWaitThread::FullPath(const std::string& relativeName) const
{
    return AddTrailingBackslash(m_directory) + relativeName;
}

bool TWaitThread::Accepts(const std::string& path) const
{
    return m_extensions.empty() || ExtensionInList(path, m_extensions);
}

void TWaitThread::AddCandidate(const DirectoryChange& change)
{
    const std::string path = FullPath(change.relativeName);
    if (!Accepts(path))
        return;
    std::lock_guard<std::recursive_mutex> lock(WaitLock());
    // A written file whose content is still the version seen at Start or at
    // its last report was only opened for writing and closed, or this is a
    // late record of a change already reported: nothing to do. A name given
    // by a rename is always a candidate.
    if (change.kind == DirectoryChangeKind::AddedOrModified) {
        const auto known = m_knownVersions.find(WatchedPathKey(path));
        FileVersion current;
        if (known != m_knownVersions.end() && ReadFileVersion(path, current) && current == known->second)
            return;
    }
    AddCandidateLocked(path);
}

void TWaitThread::AddCandidateLocked(const std::string& path)
{
    std::string key = WatchedPathKey(path);
    if (m_waitingByKey.contains(key))
        return; // further changes of a waiting file neither add nor reset
    m_waiting.push_back({path, FileSizeBySearch(path), 0});
    m_waitingByKey.emplace(std::move(key), std::prev(m_waiting.end()));
}

void TWaitThread::RescanAfterOverflow()
{
    // Under WaitLock for the whole walk, so that no file turns ready between
    // its listing and the comparison with its known version.
    std::lock_guard<std::recursive_mutex> lock(WaitLock());
    std::unordered_map<std::string, FileVersion> stillThere;
    for (const WatchedFile& file : m_watch->ListFiles()) {
        const std::string path = FullPath(file.relativeName);
        if (!Accepts(path))
            continue;
        const std::string key = WatchedPathKey(path);
        const auto known = m_knownVersions.find(key);
        if (known == m_knownVersions.end() || !(known->second == file.version))
            AddCandidateLocked(path);
        if (known != m_knownVersions.end())
            stillThere.emplace(key, known->second);
    }
    // Files that are gone need no memory.
    m_knownVersions = std::move(stillThere);
}

void TWaitThread::CheckTick()
{
    std::lock_guard<std::recursive_mutex> lock(WaitLock());
    // From the newest entry to the oldest, as entries are removed on the way.
    auto it = m_waiting.end();
    while (it != m_waiting.begin()) {
        --it;
        TfileWaiter& waiter = *it;
        if (!FileExists(waiter.FileName)) {
            m_waitingByKey.erase(WatchedPathKey(waiter.FileName));
            it = m_waiting.erase(it);
            continue;
        }
        const std::int64_t size = FileSizeBySearch(waiter.FileName);
        if (size != 0 && size == waiter.Size && IsFileReleased(waiter.FileName)) {
            if (++waiter.StableCount >= m_readyChecks) {
                AppendReadyFile(waiter.FileName, &m_monitor);
                const std::string key = WatchedPathKey(waiter.FileName);
                FileVersion version;
                if (ReadFileVersion(waiter.FileName, version))
                    RememberVersion(key, version);
                m_waitingByKey.erase(key);
                it = m_waiting.erase(it);
            }
        } else {
            waiter.Size = size;
            waiter.StableCount = 0;
        }
    }
}

void TWaitThread::RememberVersion(const std::string& key, const FileVersion& version)
{
    m_knownVersions[key] = version;
    // Files that were converted and then removed need no memory. Pruning
    // when the table has doubled keeps the cost per file constant.
    if (m_knownVersions.size() < 2 * m_knownAfterPrune + 1024)
        return;
    // A key still names its file: it is the path, or its lower-cased form
    // where names ignore letter case.
    FileVersion current;
    std::erase_if(m_knownVersions, [&current](const auto& entry) { return !ReadFileVersion(entry.first, current); });
    m_knownAfterPrune = m_knownVersions.size();
}

std::size_t TWaitThread::KnownFileCount() const
{
    std::lock_guard<std::recursive_mutex> lock(WaitLock());
    return m_knownVersions.size();
}

std::size_t TWaitThread::WaitingCount() const
{
    std::lock_guard<std::recursive_mutex> lock(WaitLock());
    return m_waiting.size();
}

} // namespace kelvra
