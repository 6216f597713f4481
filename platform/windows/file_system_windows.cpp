#include "platform/file_system.h"
#include "platform/windows/windows_handle.h"

namespace kelvra {

namespace {

DWORD Attributes(const std::string& path)
{
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

bool IsDelimiter(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

std::int64_t FileSizeByOpen(const std::string& path)
{
    if (path.empty())
        return -1;
    // No sharing: a file that another process holds open counts as unreadable.
    const UniqueHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() || GetFileType(file.Get()) != FILE_TYPE_DISK)
        return -1;
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file.Get(), LARGE_INTEGER{}, &end, FILE_END))
        return -1;
    return end.QuadPart;
}

std::int64_t FileSizeBySearch(const std::string& path)
{
    // A name with wildcards is no file: it must not answer with the size of
    // whatever file the pattern matches first.
    if (path.empty() || path.find_first_of("*?") != std::string::npos)
        return 0;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return 0;
    return (static_cast<std::int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    if (DirectoryExists(path))
        return true;
    // Create each prefix that ends before a delimiter, then the whole path. A
    // prefix that cannot be created (a drive "C:", a share "\\server") is
    // passed over; the final test decides.
    for (std::size_t at = 1; at < path.size(); ++at) {
        if (IsDelimiter(path[at]) && !IsDelimiter(path[at - 1]))
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return DirectoryExists(path);
}

bool RemoveFile(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return DeleteFileA(path.c_str()) != 0;
}

std::vector<FolderEntry> ListFolder(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    std::string pattern = folder;
    if (!pattern.empty() && !IsDelimiter(pattern.back()) && pattern.back() != ':')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        FolderEntry entry;
        entry.name = name;
        entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                       (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK || found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
        entries.push_back(std::move(entry));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

} // namespace kelvra
