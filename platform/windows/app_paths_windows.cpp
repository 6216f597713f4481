#include "platform/app_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace kelvra {

std::string ApplicationFileName()
{
    // GetModuleFileNameA cuts the name to the buffer; grow until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string SystemDocumentsFolder()
{
    // The shell's personal folder (CSIDL_PERSONAL, 5), not created when missing.
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_PERSONAL, FALSE))
        return {};
    std::string result = folder;
    while (result.size() > 3 && result.back() == '\\')
        result.pop_back();
    return result;
}

} // namespace kelvra
