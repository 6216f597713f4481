#pragma once

// Removes the converter's temporary output when the program is ended from
// outside (Ctrl+C, a terminate request, a closed terminal), so that no
// half-written file stays behind. One file at a time; single thread.

#include <string>

namespace kelvra {

/// From now on, an interrupt removes `path` before the program ends as it
/// would have without this. An empty path disarms the removal. An interrupt
/// that the program's starter told it to ignore stays ignored.
void RemoveFileOnInterrupt(const std::string& path);

} // namespace kelvra
