#include "platform/file_release.h"
#include "platform/windows/windows_handle.h"

namespace kelvra {

bool IsFileReleased(const std::string& path)
{
    if (path.empty())
        return false;
    // Reading while only other readers are admitted: the open fails while any
    // handle (of this process too) has the file open for writing.
    const UniqueHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    // Folders fail the open above; devices and pipes are no files either.
    return GetFileType(file.Get()) == FILE_TYPE_DISK;
}

} // namespace kelvra
