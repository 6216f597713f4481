#include "core/app_folders.h"

#include "core/paths.h"

namespace kelvra {

std::string AppFolderFile(std::string_view fileName)
{
    return AddTrailingBackslash(ExtractFilePath(ApplicationFileName())) + std::string(fileName);
}

std::string DocumentsFolder()
{
    return AddTrailingBackslash(SystemDocumentsFolder());
}

} // namespace kelvra
