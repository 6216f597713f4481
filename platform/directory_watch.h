#pragma once

// The operating system's change notification for one watched folder, optionally
// with its whole tree. A DirectoryWatch is opened on the thread that starts
// watching and then used by exactly one worker thread, which blocks in
// WaitForChanges; any thread may call Wake to end that wait for good.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

/// What happened to a name inside the watched folder.
enum class DirectoryChangeKind {
    AddedOrModified, ///< created, written, or closed after writing
    RenamedNewName,  ///< a name that a rename gave to an entry
    Overflow,        ///< the system dropped changes; the tree must be listed again
};

/// One change. `relativeName` is relative to the watched folder, sub-folder
/// parts joined by the host's folder delimiter; empty for Overflow.
struct DirectoryChange {
    DirectoryChangeKind kind;
    std::string relativeName;
};

/// What identifies one version of a file's content well enough to tell
/// whether it changed: last write time, size and the file's identity on disk.
struct FileVersion {
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

/// A regular file found by listing the watched tree.
struct WatchedFile {
    std::string relativeName;
    FileVersion version;
};

/// Raised when a folder cannot be watched. `notAFolder` is true when the
/// path exists but names something other than a folder; otherwise what()
/// holds the system's text for the failure.
class DirectoryWatchError : public std::runtime_error {
public:
    DirectoryWatchError(const std::string& message, bool notAFolder)
        : std::runtime_error(message), m_notAFolder(notAFolder)
    {
    }
    bool notAFolder() const { return m_notAFolder; }

private:
    bool m_notAFolder;
};

class DirectoryWatch {
public:
    virtual ~DirectoryWatch() = default;

    /// Blocks until changes arrive and replaces `changes` with them (never an
    /// empty batch), or until Wake was called: then returns false, now and on
    /// every later call. With a tree watched, a sub-folder that appears is
    /// watched at once, and what was written into it before its watch existed
    /// is reported as added: every entry of a created folder; of a folder
    /// moved in from elsewhere, the files written since the move (what it
    /// brought along counts as there before, as for a renamed file's
    /// folder). A folder renamed inside the tree keeps its watches. After an
    /// Overflow change the watches of the whole tree have been renewed.
    virtual bool WaitForChanges(std::vector<DirectoryChange>& changes) = 0;

    /// Ends the current and every later WaitForChanges. Safe from any thread.
    virtual void Wake() = 0;

    /// Every regular file in the watched folder (and its tree when watched).
    virtual std::vector<WatchedFile> ListFiles() const = 0;
};

/// Opens a watch on `folder` (and every sub-folder when `subtree`). Throws
/// DirectoryWatchError when the folder cannot be watched.
std::unique_ptr<DirectoryWatch> OpenDirectoryWatch(const std::string& folder, bool subtree);

/// How the monitor opens its watch; tests substitute one that injects faults.
using DirectoryWatchFactory = std::function<std::unique_ptr<DirectoryWatch>(const std::string& folder, bool subtree)>;

/// The current version of the file at `path` (symbolic links followed);
/// false when there is no such entry.
bool ReadFileVersion(const std::string& path, FileVersion& version);

/// The watched folder in the form that every reported path begins with.
/// Windows: lower-cased and trimmed. Case-sensitive systems: unchanged, since
/// another letter case would name another folder.
std::string WatchedFolderForm(std::string_view folder);

/// The text under which two reported paths count as the same file: the
/// lower-cased path where names ignore letter case, the path itself where
/// they do not.
std::string WatchedPathKey(std::string_view path);

} // namespace kelvra
