#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "common/SharedRuns.h"

namespace keyrack {
namespace {

// Whatever the number of threads, every item is worked on once, by the run that holds it.
TEST(SharedRunsTest, EveryItemIsDoneOnceByItsRun) {
    struct Case {
        std::size_t count;
        std::size_t runLength;
        std::size_t itemsPerThread;
    };
    for (const Case& c : {Case{0, 8, 1}, Case{1, 8, 1}, Case{1000, 7, 1}, Case{1000, 1000, 1},
                          Case{5000, 64, 100000}}) {
        SCOPED_TRACE(c.count);
        std::vector<std::atomic<int>> done(c.count);
        std::atomic<bool> runMatches{true};
        ForEachRunShared(c.count, c.runLength, c.itemsPerThread, 4,
                         [&](std::size_t run, std::size_t from, std::size_t to) {
                             runMatches = runMatches && from == run * c.runLength && from < to &&
                                          to <= c.count && to - from <= c.runLength;
                             for (std::size_t at = from; at < to; ++at) {
                                 ++done[at];
                             }
                         });
        EXPECT_TRUE(runMatches);
        for (const std::atomic<int>& times : done) {
            ASSERT_EQ(times, 1);
        }
    }
}

}  // namespace
}  // namespace keyrack
