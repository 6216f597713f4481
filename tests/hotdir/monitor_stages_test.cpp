#include "hotdir/monitor_stages.h"

#include "hotdir/directory_monitor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include <stdexcept>
#include <string>
#include <vector>

namespace kelvra {
namespace {

// Drives the dispatcher by hand on stopped monitors, so the counts per tick
// are exact.
class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ReadyQueueLength(), 0u); }
    void TearDown() override
    {
        RemoveReadyFilesOf(&m_monitor);
        RemoveReadyFilesOf(&m_other);
    }

    void Queue(DirectoryMonitor& monitor, int count, const std::string& prefix)
    {
        for (int i = 0; i < count; ++i)
            AppendReadyFile(prefix + std::to_string(i), &monitor);
    }

    DirectoryMonitor m_monitor;
    DirectoryMonitor m_other;
    std::vector<std::string> m_calls;
};

TEST_F(DispatchTest, TenFilesPerTickInTheOrderTheyBecameReady)
{
    m_monitor.SetUserData(7);
    m_monitor.SetOnFileReady([&](const std::string& path, std::intptr_t userData) {
        EXPECT_EQ(userData, 7);
        EXPECT_EQ(DispatchDepth(), 1);
        m_calls.push_back(path);
    });
    Queue(m_monitor, 11, "f");

    DispatchReadyFiles();
    ASSERT_EQ(m_calls.size(), 10u);
    EXPECT_EQ(m_calls.front(), "f0");
    EXPECT_EQ(m_calls.back(), "f9");
    EXPECT_EQ(ReadyQueueLength(), 1u);

    DispatchReadyFiles();
    ASSERT_EQ(m_calls.size(), 11u);
    EXPECT_EQ(m_calls.back(), "f10");
    EXPECT_EQ(DispatchDepth(), 0);
}

TEST_F(DispatchTest, FilesWithoutCallbackAreTakenAndDropped)
{
    Queue(m_monitor, 3, "x");
    DispatchReadyFiles();
    EXPECT_EQ(ReadyQueueLength(), 0u);
}

TEST_F(DispatchTest, ErrorOfACallbackRestoresDepthAndKeepsTheRest)
{
    m_monitor.SetOnFileReady([&](const std::string& path, std::intptr_t) {
        m_calls.push_back(path);
        if (path == "f1")
            throw std::runtime_error("log folder gone");
    });
    Queue(m_monitor, 4, "f");
    EXPECT_THROW(DispatchReadyFiles(), std::runtime_error);
    EXPECT_EQ(DispatchDepth(), 0);
    EXPECT_EQ(m_calls, (std::vector<std::string>{"f0", "f1"}));
    EXPECT_EQ(ReadyQueueLength(), 2u);
    // DispatchLock was released: another thread can take it.
    std::thread([] {
        EXPECT_TRUE(DispatchLock().try_lock());
        DispatchLock().unlock();
    }).join();

    DispatchReadyFiles();
    EXPECT_EQ(m_calls, (std::vector<std::string>{"f0", "f1", "f2", "f3"}));
}

// A callback that lets the dispatcher run again inside itself (as one that
// processed window messages would) nests at most ten deep.
TEST_F(DispatchTest, NestedDispatchStopsAtDepthTen)
{
    int deepest = 0;
    m_monitor.SetOnFileReady([&](const std::string& path, std::intptr_t) {
        m_calls.push_back(path);
        deepest = std::max(deepest, DispatchDepth());
        DispatchReadyFiles();
    });
    Queue(m_monitor, 30, "n");
    DispatchReadyFiles();
    EXPECT_EQ(deepest, 10);
    EXPECT_EQ(DispatchDepth(), 0);
    // Every file was still handed out exactly once.
    std::sort(m_calls.begin(), m_calls.end());
    EXPECT_EQ(std::unique(m_calls.begin(), m_calls.end()), m_calls.end());
    EXPECT_EQ(m_calls.size(), 30u);
}

TEST_F(DispatchTest, PairsOfARemovedMonitorNeverReachIt)
{
    int otherCalls = 0;
    m_other.SetOnFileReady([&](const std::string&, std::intptr_t) { ++otherCalls; });
    m_monitor.SetOnFileReady([&](const std::string& path, std::intptr_t) { m_calls.push_back(path); });
    AppendReadyFile("a", &m_monitor);
    AppendReadyFile("b", &m_other);
    AppendReadyFile("c", &m_monitor);
    RemoveReadyFilesOf(&m_other);
    DispatchReadyFiles();
    EXPECT_EQ(otherCalls, 0);
    EXPECT_EQ(m_calls, (std::vector<std::string>{"a", "c"}));
}

TEST_F(DispatchTest, TimerErrorsGoToTheErrorHandler)
{
    std::vector<std::string> errors;
    SetDispatchErrorHandler([&](const std::string& message) { errors.push_back(message); });
    m_monitor.SetOnFileReady([](const std::string&, std::intptr_t) { throw std::runtime_error("disk full"); });
    AppendReadyFile("a", &m_monitor);
    EnableDispatchTimer();
    QDeadlineTimer deadline(3000);
    while (errors.empty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    DisableDispatchTimer();
    SetDispatchErrorHandler(nullptr);
    EXPECT_EQ(errors, std::vector<std::string>{"disk full"});
}

} // namespace
} // namespace kelvra
