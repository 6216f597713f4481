#pragma once

// Helpers shared by the hot-folder tests: a temporary folder, real file
// writes, and waiting with a running Qt event loop under a bounded deadline.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace kelvra::test {

/// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() : m_dir(QDir::tempPath() + "/kelvra-hotdir-XXXXXX") {}
    std::string path() const { return m_dir.path().toStdString(); }
    /// The folder path + "/" + relative.
    std::string operator/(const std::string& relative) const { return path() + "/" + relative; }

private:
    QTemporaryDir m_dir;
};

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline void AppendFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << content;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Lets timers tick for `ms` milliseconds.
inline void RunEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

/// Lets timers tick until `done` holds or `timeoutMs` pass; the result of `done`.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

} // namespace kelvra::test
