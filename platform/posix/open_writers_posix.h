#pragma once

// The slow path of the release test, for files on which the kernel grants no
// lease to this process: the descriptors under /proc that are open for
// writing. Main thread (the check tick) or tests; not thread-safe.

#include <cstdint>

namespace kelvra {

/// True when some process whose /proc/<pid>/fd this process may read holds
/// the file (device, inode) open for writing. Scans /proc afresh.
bool AnyProcessWritesFile(std::uint64_t device, std::uint64_t inode);

/// The same answer from one scan shared by the calls of the next 200 ms, so
/// that one check tick over many files scans /proc once. A writer that opens
/// the file within that time is seen at a later tick.
bool AnyProcessWritesFileRecently(std::uint64_t device, std::uint64_t inode);

} // namespace kelvra
