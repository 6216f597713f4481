#pragma once

// The real change source with a fault switch: while `drop` is set, every
// batch of changes is replaced by an overflow, as if the kernel had lost
// them. Counts every overflow that passes, real or injected. The worker
// thread writes the counters; the test thread reads them.

#include "platform/directory_watch.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace kelvra::test {

class LossyWatch final : public DirectoryWatch {
public:
    struct Control {
        std::atomic<bool> drop{false};
        std::atomic<int> overflows{0};
    };

    LossyWatch(std::unique_ptr<DirectoryWatch> inner, Control& control) : m_inner(std::move(inner)), m_control(control) {}

    /// Opens the real watch wrapped in one that `control` steers; `control`
    /// must outlive every watch opened.
    static DirectoryWatchFactory Factory(Control& control)
    {
        return [&control](const std::string& folder, bool subtree) -> std::unique_ptr<DirectoryWatch> {
            return std::make_unique<LossyWatch>(OpenDirectoryWatch(folder, subtree), control);
        };
    }

    bool WaitForChanges(std::vector<DirectoryChange>& changes) override
    {
        if (!m_inner->WaitForChanges(changes))
            return false;
        if (m_control.drop)
            changes = {{DirectoryChangeKind::Overflow, std::string()}};
        for (const DirectoryChange& change : changes)
            m_control.overflows += change.kind == DirectoryChangeKind::Overflow ? 1 : 0;
        return true;
    }
    void Wake() override { m_inner->Wake(); }
    std::vector<WatchedFile> ListFiles() const override { return m_inner->ListFiles(); }

private:
    std::unique_ptr<DirectoryWatch> m_inner;
    Control& m_control;
};

} // namespace kelvra::test
