#pragma once

// Helpers shared by the hot-folder tests (beside tests/support): file
// appends, and waiting with a running Qt event loop under a bounded deadline.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include "tests/support/test_files.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace kelvra::test {

/// A fresh temporary folder (removed with its contents at the end) that
/// names its files as `folder / "name"`.
class TempFolder : public TempDir {
public:
    std::string operator/(const std::string& relative) const { return File(relative); }
};

inline void AppendFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << content;
}

/// The whole file, or "" when it cannot be read.
inline std::string ReadText(const std::string& path)
{
    return ReadFile(path).value_or(std::string());
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
