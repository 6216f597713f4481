#pragma once

// The release test of the hot folder: has the program that writes a file let
// go of it? Called on the main thread by the monitor's check tick; never
// blocks, whatever the path names.

#include <string>

namespace kelvra {

/// True when `path` names a regular file that no process holds open for
/// writing. False for a missing file, a folder, a pipe or a device, and while
/// any writer (this process included) has the file open.
bool IsFileReleased(const std::string& path);

} // namespace kelvra
