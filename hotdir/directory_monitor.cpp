#include "hotdir/directory_monitor.h"

#include "hotdir/monitor_stages.h"
#include "hotdir/wait_thread.h"

#include <stdexcept>

namespace kelvra {

DirectoryMonitor::DirectoryMonitor(DirectoryWatchFactory openWatch) : m_openWatch(std::move(openWatch)) {}

DirectoryMonitor::~DirectoryMonitor()
{
    Stop();
    RemoveReadyFilesOf(this);
}

void DirectoryMonitor::Start()
{
    if (IsRunning())
        throw std::runtime_error("The folder is already being watched");
    m_directory = WatchedFolderForm(m_directory);

    std::unique_ptr<DirectoryWatch> watch;
    try {
        watch = m_openWatch(m_directory, m_watchSubtree);
    } catch (const DirectoryWatchError& error) {
        if (error.notAFolder())
            throw std::runtime_error(kNotAFolderMessage);
        throw std::runtime_error(error.what());
    }

    m_worker = std::make_unique<TWaitThread>(*this, std::move(watch), m_directory, m_readyChecks, m_extensions);
    EnableDispatchTimer();
}

void DirectoryMonitor::Stop()
{
    if (!IsRunning())
        return;
    m_worker.reset();
    DisableDispatchTimer();
}

void DirectoryMonitor::NotifyFileReady(const std::string& path)
{
    if (m_onFileReady)
        m_onFileReady(path, m_userData);
}

} // namespace kelvra
