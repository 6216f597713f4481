#include "platform/instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error)
{
    throw std::runtime_error(what + " \"" + path + "\": " + std::strerror(error));
}

// $XDG_RUNTIME_DIR, or /tmp/kelvra-<uid>, created private when missing and
// refused when it is not a folder of this user's own (someone else could
// otherwise hold or replace the lock).
std::string LockFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/')
        return runtime;
    const std::string folder = "/tmp/kelvra-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        Fail("Cannot create the folder", folder, errno);
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0)
        Fail("Cannot use the folder", folder, errno);
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid())
        Fail("Cannot use the folder", folder, EPERM);
    return folder;
}

class PosixInstanceLock final : public InstanceLock {
public:
    explicit PosixInstanceLock(const std::string& path)
    {
        m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd < 0)
            Fail("Cannot open the lock file", path, errno);
        int result;
        do {
            result = flock(m_fd, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        if (result != 0) {
            const int error = errno;
            close(m_fd);
            m_fd = -1;
            if (error != EWOULDBLOCK)
                Fail("Cannot lock the file", path, error);
            m_alreadyRunning = true;
        }
    }

    ~PosixInstanceLock() override
    {
        if (m_fd >= 0)
            close(m_fd);
    }

    bool AlreadyRunning() const override { return m_alreadyRunning; }

private:
    int m_fd = -1;
    bool m_alreadyRunning = false;
};

} // namespace

std::string InstanceLockPath(const std::string& name)
{
    return LockFolder() + "/" + name + ".lock";
}

std::unique_ptr<InstanceLock> CreateInstanceLock(const std::string& name)
{
    return std::make_unique<PosixInstanceLock>(InstanceLockPath(name));
}

} // namespace kelvra
