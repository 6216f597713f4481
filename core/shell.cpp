#include "core/shell.h"

#include "platform/file_system.h"

namespace kelvra {

bool BrowseForFolder(FolderPicker& picker, const std::string& title, std::string& folder)
{
    if (!DirectoryExists(folder))
        folder.clear();
    const std::optional<std::string> chosen = picker.PickFolder(title, folder);
    if (!chosen)
        return false;
    folder = *chosen;
    return true;
}

} // namespace kelvra
