#pragma once

// File sizes, existence tests and the folder scan shared by the file list and
// the hot folder. The size and existence queries are the host's own
// (platform/file_system.h); the scan applies the mask and recursion rules.

#include "platform/file_system.h"
#include "platform/path_style.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

/// Appends the files of `folder` to `files` as folder + delimiter + name, in
/// the order the file system lists them. Unless `mask` is exactly "*.*", a
/// file passes only when its extension equals the mask's extension (both
/// through LowerTrim; only the mask's extension counts, so "abc*.pdf" acts
/// as "*.pdf"). Folders are never added; with `recurse` set, each sub-folder
/// is scanned after all files of its parent, in the order met, depth first.
/// Symbolic links to folders are not descended into, so a link loop cannot
/// make the scan endless. A missing folder adds nothing.
void ScanFolder(std::string_view folder, std::vector<std::string>& files, std::string_view mask, bool recurse,
                PathStyle style = kHostPathStyle);

} // namespace kelvra
