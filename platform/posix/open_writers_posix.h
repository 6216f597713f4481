#pragma once

// The slow path of the release test, for files on which the kernel grants no
// lease to this process: a scan of the descriptors under /proc.

#include <cstdint>

namespace kelvra {

/// True when some process whose /proc/<pid>/fd this process may read holds
/// the file (device, inode) open for writing.
bool AnyProcessWritesFile(std::uint64_t device, std::uint64_t inode);

} // namespace kelvra
