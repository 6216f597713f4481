#include "converter/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvra {

namespace {

/// Below this many bytes a second thread costs more than it saves.
constexpr size_t kMinBytesForThreads = 192 * 1024;
constexpr unsigned kMaxThreads = 4;

} // namespace

unsigned ThreadsForBytes(size_t bytes)
{
    if (bytes < kMinBytesForThreads)
        return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
}

void ParallelFor(size_t count, unsigned threads, const std::function<void(size_t)>& work)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    std::exception_ptr error;
    const auto run = [&] {
        try {
            for (size_t i = next++; i < count && !failed; i = next++)
                work(i);
        } catch (...) {
            std::lock_guard lock(errorMutex);
            if (!error)
                error = std::current_exception();
            failed = true;
        }
    };
    std::vector<std::thread> helpers;
    const size_t workers = std::min<size_t>(threads, count);
    const size_t helperCount = workers > 1 ? workers - 1 : 0;
    try {
        for (size_t i = 0; i < helperCount; ++i)
            helpers.emplace_back(run);
    } catch (const std::system_error&) {
        // No thread to be had: the caller's does all the work.
    }
    run();
    for (std::thread& helper : helpers)
        helper.join();
    if (error)
        std::rethrow_exception(error);
}

} // namespace kelvra
