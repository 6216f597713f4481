#include "platform/file_system.h"

#include <cerrno>
#include <string_view>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {

namespace {

bool StatFollowing(const std::string& path, struct stat& info)
{
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

} // namespace

std::int64_t FileSizeByOpen(const std::string& path)
{
    if (path.empty())
        return -1;
    // O_NONBLOCK: opening a pipe must not wait for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat info {};
    std::int64_t size = -1;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t end = lseek(fd, 0, SEEK_END);
        if (end >= 0)
            size = static_cast<std::int64_t>(end);
    }
    close(fd);
    return size;
}

std::int64_t FileSizeBySearch(const std::string& path)
{
    struct stat info {};
    if (!StatFollowing(path, info) || S_ISDIR(info.st_mode))
        return 0;
    return static_cast<std::int64_t>(info.st_size);
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return StatFollowing(path, info) && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat info {};
    return StatFollowing(path, info) && S_ISDIR(info.st_mode);
}

bool ForceDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    if (DirectoryExists(path))
        return true;
    // Create each prefix that ends before a "/", then the whole path.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    return DirectoryExists(path);
}

bool RemoveFile(const std::string& path)
{
    struct stat info {};
    if (path.empty() || lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    return unlink(path.c_str()) == 0;
}

std::vector<FolderEntry> ListFolder(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return entries;
    const int dirFd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry item;
        item.name = name;
        // The listing itself tells the type on most file systems; a stat call
        // is needed only for links and where the type is unknown. That keeps a
        // scan of a folder with 100,000 files to one system call per batch.
        if (entry->d_type == DT_DIR) {
            item.isFolder = true;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            if (fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
                item.isLink = true;
                item.isFolder = fstatat(dirFd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
            } else {
                item.isFolder = S_ISDIR(info.st_mode);
            }
        }
        entries.push_back(std::move(item));
    }
    closedir(dir);
    return entries;
}

} // namespace kelvra
