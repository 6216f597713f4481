#pragma once

// A read-only C stream over bytes already in memory, for libraries that read
// only from a FILE*. One header for every system; the POSIX implementation is
// in posix/memory_file_posix.cpp.

#include <cstdio>
#include <memory>
#include <string_view>

namespace kelvra {

using MemoryFile = std::unique_ptr<FILE, int (*)(FILE*)>;

/// A stream reading `bytes`, which must outlive it; null when none can be made.
MemoryFile OpenMemoryFile(std::string_view bytes);

} // namespace kelvra
