#include "common/SharedRuns.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace keyrack {

void ForEachRunShared(
    std::size_t count, std::size_t runLength, std::size_t itemsPerThread, int mostThreads,
    const std::function<void(std::size_t run, std::size_t from, std::size_t to)>& work) {
    const std::size_t runs = (count + runLength - 1) / runLength;
    const int threads = static_cast<int>(std::clamp<std::size_t>(
        std::min<std::size_t>(std::thread::hardware_concurrency(), count / itemsPerThread), 1,
        static_cast<std::size_t>(std::max(mostThreads, 1))));
    std::atomic<std::size_t> nextRun{0};
    const auto doRuns = [&] {
        for (std::size_t run = nextRun++; run < runs; run = nextRun++) {
            work(run, run * runLength, std::min(count, (run + 1) * runLength));
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (int thread = 1; thread < threads; ++thread) {
            helpers.emplace_back(doRuns);
        }
    } catch (const std::system_error&) {
        // No more threads to be had: the runs left are done here.
    }
    doRuns();
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

}  // namespace keyrack
