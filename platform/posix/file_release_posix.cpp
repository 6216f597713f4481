#include "platform/file_release.h"
#include "platform/posix/open_writers_posix.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

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

struct FileId {
    std::uint64_t device;
    std::uint64_t inode;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct FileIdHash {
    std::size_t operator()(const FileId& id) const { return std::hash<std::uint64_t>()(id.inode * 31 + id.device); }
};

using FileIdSet = std::unordered_set<FileId, FileIdHash>;

// Every file that a descriptor under /proc holds open for writing. The link
// /proc/<pid>/fd/<n> carries the descriptor's access mode in its own
// permission bits (write bit set: open for writing), so only those
// descriptors need a stat of their target.
FileIdSet FilesOpenForWriting()
{
    FileIdSet files;
    DIR* processes = ::opendir("/proc");
    if (!processes)
        return files;
    while (const dirent* process = ::readdir(processes)) {
        if (!IsNumber(process->d_name))
            continue;
        const std::string fdFolder = std::string("/proc/") + process->d_name + "/fd/";
        DIR* descriptors = ::opendir(fdFolder.c_str());
        if (!descriptors)
            continue; // another user's process, or it has just ended
        while (const dirent* descriptor = ::readdir(descriptors)) {
            if (!IsNumber(descriptor->d_name))
                continue;
            const std::string link = fdFolder + descriptor->d_name;
            struct stat linkInfo {};
            if (::lstat(link.c_str(), &linkInfo) != 0 || (linkInfo.st_mode & S_IWUSR) == 0)
                continue;
            struct stat target {};
            // stat follows the link to the open object itself.
            if (::stat(link.c_str(), &target) == 0 && S_ISREG(target.st_mode))
                files.insert({static_cast<std::uint64_t>(target.st_dev), static_cast<std::uint64_t>(target.st_ino)});
        }
        ::closedir(descriptors);
    }
    ::closedir(processes);
    return files;
}

} // namespace

bool AnyProcessWritesFile(std::uint64_t device, std::uint64_t inode)
{
    return FilesOpenForWriting().contains({device, inode});
}

bool AnyProcessWritesFileRecently(std::uint64_t device, std::uint64_t inode)
{
    using Clock = std::chrono::steady_clock;
    static FileIdSet files;
    static Clock::time_point scannedAt;
    static bool scanned = false;
    const Clock::time_point now = Clock::now();
    if (!scanned || now - scannedAt > std::chrono::milliseconds(200)) {
        files = FilesOpenForWriting();
        scannedAt = now;
        scanned = true;
    }
    return files.contains({device, inode});
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
        released = !AnyProcessWritesFileRecently(static_cast<std::uint64_t>(info.st_dev),
                                                 static_cast<std::uint64_t>(info.st_ino));
    }
    ::close(fd);
    return released;
}

} // namespace kelvra
