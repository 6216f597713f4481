#pragma once

// The folder picker and shell launch as the rest of the system uses them.

#include "platform/shell.h"

#include <string>

namespace kelvra {

/// Lets the user pick a folder. `folder` is cleared first when it does not
/// name an existing folder (so that a cancel leaves it empty then); a
/// non-empty start folder is preselected. On confirm `folder` takes the
/// chosen path and the result is true; on cancel the result is false.
bool BrowseForFolder(FolderPicker& picker, const std::string& title, std::string& folder);

} // namespace kelvra
