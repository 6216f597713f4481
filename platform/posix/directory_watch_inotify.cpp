#include "platform/directory_watch.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <unordered_map>

namespace kelvra {

namespace {

// Created, written and closed-after-writing names and the targets of renames
// are candidates. Moves away are watched only to forget the watches of a
// sub-folder that leaves the tree. Deletions are of no interest.
constexpr std::uint32_t kWatchMask =
    IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_EXCL_UNLINK | IN_ONLYDIR;

std::string SystemText(int error)
{
    return std::system_category().message(error);
}

std::string JoinRelative(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + '/' + name;
}

FileVersion VersionOf(const struct stat& info)
{
    FileVersion version;
    version.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    version.size = static_cast<std::int64_t>(info.st_size);
    version.device = static_cast<std::uint64_t>(info.st_dev);
    version.inode = static_cast<std::uint64_t>(info.st_ino);
    return version;
}

// One entry of a folder listing: its name and whether it is a real folder
// (symbolic links to folders are not followed into).
struct ListedEntry {
    std::string name;
    bool isFolder;
};

std::vector<ListedEntry> ListEntries(const std::string& folder)
{
    std::vector<ListedEntry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder = ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back({name, isFolder});
    }
    ::closedir(dir);
    return entries;
}

/// The inotify change source: one watch for the folder and, with the tree
/// watched, one for every sub-folder. Opened by the thread that starts
/// watching; afterwards WaitForChanges runs on one worker thread only, which
/// alone touches the watch table. Wake writes an eventfd that the worker polls
/// beside the inotify descriptor.
class InotifyDirectoryWatch final : public DirectoryWatch {
public:
    InotifyDirectoryWatch(std::string root, bool subtree) : m_root(std::move(root)), m_subtree(subtree)
    {
        struct stat info {};
        if (::stat(m_root.c_str(), &info) != 0)
            throw DirectoryWatchError(SystemText(errno), false);
        if (!S_ISDIR(info.st_mode))
            throw DirectoryWatchError(SystemText(ENOTDIR), true);

        m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_inotify < 0)
            throw DirectoryWatchError(SystemText(errno), false);
        m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_wake < 0) {
            const int error = errno;
            ::close(m_inotify);
            throw DirectoryWatchError(SystemText(error), false);
        }
        const int rootWatch = ::inotify_add_watch(m_inotify, m_root.c_str(), kWatchMask);
        if (rootWatch < 0) {
            const int error = errno;
            CloseDescriptors();
            throw DirectoryWatchError(SystemText(error), error == ENOTDIR);
        }
        m_folders[rootWatch] = std::string();
        if (m_subtree)
            WatchSubFolders(std::string(), nullptr, 0);
    }

    ~InotifyDirectoryWatch() override { CloseDescriptors(); }

    bool WaitForChanges(std::vector<DirectoryChange>& changes) override
    {
        changes.clear();
        while (changes.empty()) {
            pollfd fds[2] = {{m_wake, POLLIN, 0}, {m_inotify, POLLIN, 0}};
            const int ready = ::poll(fds, 2, -1);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (fds[0].revents != 0)
                return false;
            if (fds[1].revents != 0 && !ReadEvents(changes))
                return false;
        }
        return true;
    }

    void Wake() override
    {
        const std::uint64_t one = 1;
        // The counter stays readable from now on, so every later wait ends too.
        while (::write(m_wake, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }

    std::vector<WatchedFile> ListFiles() const override
    {
        std::vector<WatchedFile> files;
        ListFilesBelow(std::string(), files);
        return files;
    }

private:
    std::string FullPath(const std::string& relative) const
    {
        if (relative.empty())
            return m_root;
        if (!m_root.empty() && m_root.back() == '/')
            return m_root + relative;
        return m_root + '/' + relative;
    }

    void CloseDescriptors()
    {
        if (m_inotify >= 0)
            ::close(m_inotify);
        if (m_wake >= 0)
            ::close(m_wake);
        m_inotify = m_wake = -1;
    }

    // Reads what the kernel has queued and turns it into changes. False when
    // the descriptor failed for good.
    bool ReadEvents(std::vector<DirectoryChange>& changes)
    {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
            if (length < 0) {
                if (errno == EINTR)
                    continue;
                return errno == EAGAIN || errno == EWOULDBLOCK;
            }
            for (ssize_t offset = 0; offset < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
                Decode(*event, changes);
                offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
            return true;
        }
    }

    void Decode(const inotify_event& event, std::vector<DirectoryChange>& changes)
    {
        // A folder moved away is followed by its new name at once when it
        // stays in the tree; anything else means it left the tree.
        if (m_movedAway && !(IsFolderMovedTo(event) && event.cookie == m_movedAway->cookie)) {
            ForgetWatchesBelow(m_movedAway->relative);
            m_movedAway.reset();
        }
        if (event.mask & IN_Q_OVERFLOW) {
            // Sub-folders created in the lost interval have no watch yet.
            if (m_subtree)
                WatchSubFolders(std::string(), nullptr, 0);
            changes.push_back({DirectoryChangeKind::Overflow, std::string()});
            return;
        }
        if (event.mask & IN_IGNORED) {
            m_folders.erase(event.wd);
            return;
        }
        const auto folder = m_folders.find(event.wd);
        if (folder == m_folders.end() || event.len == 0)
            return;
        const std::string relative = JoinRelative(folder->second, event.name);
        const bool isFolder = (event.mask & IN_ISDIR) != 0;

        if (event.mask & IN_MOVED_FROM) {
            if (isFolder && m_subtree)
                m_movedAway = MovedFolder{event.cookie, relative};
            return;
        }
        if (event.mask & IN_MOVED_TO) {
            changes.push_back({DirectoryChangeKind::RenamedNewName, relative});
            if (isFolder && m_subtree) {
                if (m_movedAway) {
                    // Renamed inside the tree: its watches stay, under the new
                    // name, so changes already queued for it are not lost.
                    RenameWatchesBelow(m_movedAway->relative, relative);
                    m_movedAway.reset();
                } else {
                    // Moved in from elsewhere: what it brought was written
                    // before; what was written into it after the move, before
                    // its watch existed, is found by the listing.
                    WatchFolder(relative, &changes, FolderChangeTime(relative));
                }
            }
            return;
        }
        if (event.mask & (IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE)) {
            changes.push_back({DirectoryChangeKind::AddedOrModified, relative});
            // Watch first, then list: whatever was written into the new
            // folder before its watch existed is reported from the listing.
            if (isFolder && (event.mask & IN_CREATE) && m_subtree)
                WatchFolder(relative, &changes, 0);
        }
    }

    static bool IsFolderMovedTo(const inotify_event& event)
    {
        return (event.mask & IN_MOVED_TO) && (event.mask & IN_ISDIR);
    }

    // When the folder's entry last changed (a move sets it); 0 if unknown.
    std::int64_t FolderChangeTime(const std::string& relative) const
    {
        struct stat info {};
        if (::stat(FullPath(relative).c_str(), &info) != 0)
            return 0;
        return static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
    }

    // Adds a watch for `relative` and its whole tree. With `found` set, the
    // entries met below it are reported as added: all of them, or with
    // `newerThanNs` only the files last written at or after that time.
    void WatchFolder(const std::string& relative, std::vector<DirectoryChange>* found, std::int64_t newerThanNs)
    {
        const int watch = ::inotify_add_watch(m_inotify, FullPath(relative).c_str(), kWatchMask | IN_DONT_FOLLOW);
        if (watch < 0)
            return; // gone again, or no access: nothing below it can be watched
        m_folders[watch] = relative;
        WatchSubFolders(relative, found, newerThanNs);
    }

    void WatchSubFolders(const std::string& relative, std::vector<DirectoryChange>* found, std::int64_t newerThanNs)
    {
        for (const ListedEntry& entry : ListEntries(FullPath(relative))) {
            const std::string child = JoinRelative(relative, entry.name);
            if (found && (newerThanNs == 0 || (!entry.isFolder && WrittenSince(child, newerThanNs))))
                found->push_back({DirectoryChangeKind::AddedOrModified, child});
            if (entry.isFolder)
                WatchFolder(child, found, newerThanNs);
        }
    }

    bool WrittenSince(const std::string& relative, std::int64_t sinceNs) const
    {
        struct stat info {};
        return ::stat(FullPath(relative).c_str(), &info) == 0 && VersionOf(info).modifiedNs >= sinceNs;
    }

    // Applies `change` to the watches of `relative` and everything below it;
    // `change` returns false to drop a watch.
    template <typename Change>
    void ForEachWatchBelow(const std::string& relative, Change change)
    {
        const std::string prefix = relative + '/';
        for (auto it = m_folders.begin(); it != m_folders.end();) {
            if ((it->second == relative || it->second.compare(0, prefix.size(), prefix) == 0) && !change(*it)) {
                ::inotify_rm_watch(m_inotify, it->first);
                it = m_folders.erase(it);
            } else {
                ++it;
            }
        }
    }

    void ForgetWatchesBelow(const std::string& relative)
    {
        ForEachWatchBelow(relative, [](auto&) { return false; });
    }

    void RenameWatchesBelow(const std::string& from, const std::string& to)
    {
        ForEachWatchBelow(from, [&](auto& watch) {
            watch.second = to + watch.second.substr(from.size());
            return true;
        });
    }

    void ListFilesBelow(const std::string& relative, std::vector<WatchedFile>& files) const
    {
        for (const ListedEntry& entry : ListEntries(FullPath(relative))) {
            const std::string child = JoinRelative(relative, entry.name);
            if (entry.isFolder) {
                if (m_subtree)
                    ListFilesBelow(child, files);
                continue;
            }
            struct stat info {};
            if (::stat(FullPath(child).c_str(), &info) == 0 && S_ISREG(info.st_mode))
                files.push_back({child, VersionOf(info)});
        }
    }

    const std::string m_root;
    const bool m_subtree;
    int m_inotify = -1;
    int m_wake = -1;
    std::unordered_map<int, std::string> m_folders; // watch descriptor -> relative folder ("" = root)

    // A watched folder whose move away was read, until the next event tells
    // whether it stayed in the tree under a new name.
    struct MovedFolder {
        std::uint32_t cookie;
        std::string relative;
    };
    std::optional<MovedFolder> m_movedAway;
};

} // namespace

std::unique_ptr<DirectoryWatch> OpenDirectoryWatch(const std::string& folder, bool subtree)
{
    return std::make_unique<InotifyDirectoryWatch>(folder, subtree);
}

bool ReadFileVersion(const std::string& path, FileVersion& version)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    version = VersionOf(info);
    return true;
}

std::string WatchedFolderForm(std::string_view folder)
{
    return std::string(folder);
}

std::string WatchedPathKey(std::string_view path)
{
    return std::string(path);
}

} // namespace kelvra
