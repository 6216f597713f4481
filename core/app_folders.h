#pragma once

// Where the program's own files and the user's documents are.

#include "platform/app_paths.h"

#include <string>
#include <string_view>

namespace kelvra {

/// The folder of the running executable with a trailing delimiter, followed
/// by `fileName`: the path of a file that ships beside the program, such as
/// "ebook.exe" or a language file. Never depends on the current folder.
std::string AppFolderFile(std::string_view fileName);

/// The current user's documents folder with a trailing delimiter; empty when
/// the system cannot name one.
std::string DocumentsFolder();

} // namespace kelvra
