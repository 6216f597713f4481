#pragma once

// Runs independent pieces of work on a few threads, the caller's among them.
// Used where a book's files can be made or compressed one apart from the
// other; below a size where threads pay, everything stays on the caller's.

#include <cstddef>
#include <functional>

namespace kelvra {

/// How many threads work on `bytes` of data: one below a few hundred
/// kilobytes, else as many as there are cores, at most four.
unsigned ThreadsForBytes(size_t bytes);

/// Calls work(i) once for every i in [0, count), on up to `threads` threads;
/// the indexes are taken in rising order. When a call throws, the others
/// not yet started are skipped and the first exception is thrown here once
/// every thread has stopped.
void ParallelFor(size_t count, unsigned threads, const std::function<void(size_t)>& work);

} // namespace kelvra
