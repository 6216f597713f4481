// The converter's parallel loop: every index once, errors carried to the caller.

#include "converter/parallel_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace kelvra::test {
namespace {

TEST(ParallelFor, CallsEveryIndexExactlyOnce)
{
    for (const unsigned threads : {1u, 2u, 4u, 16u}) {
        for (const size_t count : {size_t{0}, size_t{1}, size_t{3}, size_t{1000}}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, " + std::to_string(count) + " items");
            std::vector<std::atomic<int>> calls(count);
            ParallelFor(count, threads, [&](size_t i) { ++calls[i]; });
            for (size_t i = 0; i < count; ++i)
                EXPECT_EQ(calls[i].load(), 1) << "index " << i;
        }
    }
}

TEST(ParallelFor, AnErrorOnAnyThreadReachesTheCallerAndStopsTheRest)
{
    for (const unsigned threads : {1u, 4u}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        std::atomic<size_t> started{0};
        EXPECT_THROW(ParallelFor(100000, threads,
                                 [&](size_t i) {
                                     ++started;
                                     if (i == 10)
                                         throw std::runtime_error("item 10 failed");
                                 }),
                     std::runtime_error);
        EXPECT_LT(started.load(), size_t{100000}) << "items after the failure were still worked on";
    }
}

TEST(ParallelFor, SmallWorkStaysOnTheCallersThread)
{
    EXPECT_EQ(ThreadsForBytes(0), 1u);
    EXPECT_EQ(ThreadsForBytes(64 * 1024), 1u);
    EXPECT_GE(ThreadsForBytes(64 * 1024 * 1024), 1u);
    EXPECT_LE(ThreadsForBytes(64 * 1024 * 1024), 4u);
}

} // namespace
} // namespace kelvra::test
