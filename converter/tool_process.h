#pragma once

// Starting a helper program and waiting for it, for the hand-over to another
// converter. One header for every system; the POSIX implementation is in
// posix/tool_process_posix.cpp.

#include <string>
#include <vector>

namespace kelvra {

/// The full path of `name` found in the folders of the PATH variable (an
/// executable regular file); empty when there is none. A name with a folder
/// part is returned as it is when it is executable.
std::string FindProgramOnPath(const std::string& name);

struct ToolResult {
    bool started = false;
    int exitCode = -1;       ///< valid when the program ended normally
    bool killedBySignal = false;
    std::string errorTail;   ///< the last part of what it wrote to standard error
};

/// Runs `program` with `arguments` (no shell: each argument arrives as it
/// is), standard input from the null device, standard output discarded, and
/// waits for its end.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments);

} // namespace kelvra
