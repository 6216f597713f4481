#include "platform/file_release.h"
#include "platform/posix/open_writers_posix.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {

namespace {

bool IsNumber(const char* text)
{
    if (*text == '\0')
        return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
    }
    return true;
}

// The access mode in /proc/<pid>/fdinfo/<fd> ("flags:\t0100002", octal).
bool DescriptorWrites(const std::string& fdinfoPath)
{
    std::ifstream info(fdinfoPath);
    std::string key;
    while (info >> key) {
        if (key == "flags:") {
            std::string flags;
            info >> flags;
            const long mode = std::strtol(flags.c_str(), nullptr, 8) & O_ACCMODE;
            return mode == O_WRONLY || mode == O_RDWR;
        }
        info.ignore(4096, '\n');
    }
    return false;
}

} // namespace

bool AnyProcessWritesFile(std::uint64_t device, std::uint64_t inode)
{
    DIR* processes = ::opendir("/proc");
    if (!processes)
        return false;
    bool found = false;
    while (!found) {
        const dirent* process = ::readdir(processes);
        if (!process)
            break;
        if (!IsNumber(process->d_name))
            continue;
        const std::string base = std::string("/proc/") + process->d_name;
        DIR* descriptors = ::opendir((base + "/fd").c_str());
        if (!descriptors)
            continue; // another user's process, or it has just ended
        while (const dirent* descriptor = ::readdir(descriptors)) {
            if (!IsNumber(descriptor->d_name))
                continue;
            struct stat target {};
            // stat follows the descriptor's link to the open object itself.
            if (::stat((base + "/fd/" + descriptor->d_name).c_str(), &target) != 0)
                continue;
            if (static_cast<std::uint64_t>(target.st_dev) != device || static_cast<std::uint64_t>(target.st_ino) != inode)
                continue;
            if (DescriptorWrites(base + "/fdinfo/" + descriptor->d_name)) {
                found = true;
                break;
            }
        }
        ::closedir(descriptors);
    }
    ::closedir(processes);
    return found;
}

bool IsFileReleased(const std::string& path)
{
    // O_NONBLOCK: opening a pipe or a device must never wait for a peer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // The kernel grants a read lease only while nobody has the file open for
    // writing. It is given back at once: a lease kept would make the writer's
    // next open wait until the lease is broken.
    bool released;
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        released = true;
    } else if (errno == EAGAIN) {
        released = false;
    } else {
        // Not the owner (EACCES) or no leases on this file system (EINVAL):
        // look for a writer among the descriptors we may see; where none is
        // visible the size checks alone decide.
        released = !AnyProcessWritesFile(static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino));
    }
    ::close(fd);
    return released;
}

} // namespace kelvra
