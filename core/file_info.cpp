#include "core/file_info.h"

#include "core/paths.h"

namespace kelvra {

void ScanFolder(std::string_view folder, std::vector<std::string>& files, std::string_view mask, bool recurse,
                PathStyle style)
{
    const std::string prefix = AddTrailingBackslash(folder, style);
    const bool everyFile = mask == "*.*";
    const std::string maskExtension = LowerTrim(ExtractFileExt(mask, style));

    std::vector<std::string> subFolders;
    for (const FolderEntry& entry : ListFolder(prefix)) {
        if (entry.isFolder) {
            if (!entry.isLink)
                subFolders.push_back(prefix + entry.name);
            continue;
        }
        if (!everyFile && LowerTrim(ExtractFileExt(entry.name, style)) != maskExtension)
            continue;
        files.push_back(prefix + entry.name);
    }
    if (!recurse)
        return;
    for (const std::string& subFolder : subFolders)
        ScanFolder(subFolder, files, mask, recurse, style);
}

} // namespace kelvra
