#include "platform/instance_lock.h"
#include "platform/windows/windows_handle.h"

#include <stdexcept>

namespace kelvra {
namespace {

// The named mutex, created without taking ownership. Its handle is not
// inheritable, so programs this one starts do not keep it alive; the system
// closes it when the process ends, also after a crash.
class WindowsInstanceLock final : public InstanceLock {
public:
    explicit WindowsInstanceLock(const std::string& name)
    {
        m_mutex.Reset(CreateMutexA(nullptr, FALSE, name.c_str()));
        const DWORD error = GetLastError();
        if (!m_mutex.Valid())
            throw std::runtime_error("Cannot create the mutex \"" + name + "\": " + SystemMessage(error));
        if (error == ERROR_ALREADY_EXISTS) {
            m_mutex.Reset();
            m_alreadyRunning = true;
        }
    }

    bool AlreadyRunning() const override { return m_alreadyRunning; }

private:
    UniqueHandle m_mutex;
    bool m_alreadyRunning = false;
};

} // namespace

std::string InstanceLockPath(const std::string& name)
{
    return name;
}

std::unique_ptr<InstanceLock> CreateInstanceLock(const std::string& name)
{
    return std::make_unique<WindowsInstanceLock>(name);
}

} // namespace kelvra
