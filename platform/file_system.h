#pragma once

// File-system queries and changes that the conversion core needs. Paths are
// the host's own (UTF-8 on Linux). None of these functions throws or reports:
// failure is told by the result.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvra {

/// Size in bytes of a regular file, found by opening it for reading and
/// seeking to its end. -1 when it cannot be opened or is not a regular file
/// (missing, a folder, a device or pipe, no permission). The full 64-bit size.
std::int64_t FileSizeByOpen(const std::string& path);

/// Size recorded in the file system's entry for `path` (symbolic links
/// followed), without opening the file; a folder's entry counts 0; no entry
/// gives 0. The full 64-bit size.
std::int64_t FileSizeBySearch(const std::string& path);

/// True when `path` names an existing entry that is not a folder (symbolic
/// links followed). An empty name never exists.
bool FileExists(const std::string& path);

/// True when `path` names an existing folder (symbolic links followed).
bool DirectoryExists(const std::string& path);

/// Creates the folder and every missing parent. True when the folder exists
/// afterwards.
bool ForceDirectories(const std::string& path);

/// Deletes one file (never a folder). True when it was deleted.
bool RemoveFile(const std::string& path);

/// One entry of a folder listing.
struct FolderEntry {
    std::string name;      ///< the entry's name, without its folder
    bool isFolder = false; ///< a folder, or a symbolic link to one
    bool isLink = false;   ///< the entry itself is a symbolic link
};

/// The entries of `folder` in the order the file system returns them, "." and
/// ".." left out. A folder that cannot be read gives an empty list.
std::vector<FolderEntry> ListFolder(const std::string& folder);

} // namespace kelvra
