#include "hotdir/monitor_stages.h"

#include "hotdir/directory_monitor.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QtGlobal>

#include <deque>
#include <exception>

namespace kelvra {

namespace {

struct ReadyPair {
    std::string path;
    DirectoryMonitor* monitor;
};

std::deque<ReadyPair>& ReadyQueue()
{
    static std::deque<ReadyPair> queue;
    return queue;
}

int g_dispatchDepth = 0;

DispatchErrorHandler& ErrorHandler()
{
    static DispatchErrorHandler handler;
    return handler;
}

void ReportDispatchError(const std::string& message)
{
    if (ErrorHandler())
        ErrorHandler()(message);
    else
        qWarning("Hot folder: %s", message.c_str());
}

// The timer belongs to the application object, so it goes with it; a later
// application (as in tests) gets a new one.
QTimer* DispatchTimer(bool create)
{
    static QPointer<QTimer> timer;
    if (!timer && create) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setTimerType(Qt::PreciseTimer);
        timer->setInterval(kDispatchIntervalMs);
        QObject::connect(timer, &QTimer::timeout, [] {
            // Errors must not cross Qt's event loop.
            try {
                DispatchReadyFiles();
            } catch (const std::exception& error) {
                ReportDispatchError(error.what());
            } catch (...) {
                ReportDispatchError("Unknown error");
            }
        });
    }
    return timer;
}

// Restores the dispatch state however OnFileReady ends.
class DispatchScope {
public:
    DispatchScope() : m_lock(DispatchLock()) { ++g_dispatchDepth; }
    ~DispatchScope() { --g_dispatchDepth; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    std::lock_guard<std::recursive_mutex> m_lock;
};

} // namespace

std::recursive_mutex& WaitLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::recursive_mutex& ReadyLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::recursive_mutex& DispatchLock()
{
    static std::recursive_mutex lock;
    return lock;
}

void AppendReadyFile(const std::string& path, DirectoryMonitor* monitor)
{
    std::lock_guard<std::recursive_mutex> lock(ReadyLock());
    ReadyQueue().push_back({path, monitor});
}

void RemoveReadyFilesOf(const DirectoryMonitor* monitor)
{
    std::lock_guard<std::recursive_mutex> lock(ReadyLock());
    std::erase_if(ReadyQueue(), [monitor](const ReadyPair& pair) { return pair.monitor == monitor; });
}

std::size_t ReadyQueueLength()
{
    std::lock_guard<std::recursive_mutex> lock(ReadyLock());
    return ReadyQueue().size();
}

int DispatchDepth()
{
    return g_dispatchDepth;
}

void EnableDispatchTimer()
{
    QTimer* timer = DispatchTimer(true);
    if (!timer->isActive())
        timer->start();
}

void DisableDispatchTimer()
{
    if (QTimer* timer = DispatchTimer(false))
        timer->stop();
}

bool IsDispatchTimerEnabled()
{
    const QTimer* timer = DispatchTimer(false);
    return timer && timer->isActive();
}

void DispatchReadyFiles()
{
    std::deque<ReadyPair>& queue = ReadyQueue();
    if (queue.empty() || g_dispatchDepth >= kFilesPerDispatch)
        return;
    const std::size_t count = std::min<std::size_t>(queue.size(), kFilesPerDispatch);
    for (std::size_t i = 0; i < count && !queue.empty(); ++i) {
        ReadyPair pair;
        {
            std::lock_guard<std::recursive_mutex> lock(ReadyLock());
            pair = std::move(queue.front());
            queue.pop_front();
        }
        DispatchScope scope;
        pair.monitor->NotifyFileReady(pair.path);
    }
}

void SetDispatchErrorHandler(DispatchErrorHandler handler)
{
    ErrorHandler() = std::move(handler);
}

} // namespace kelvra
