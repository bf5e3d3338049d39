#pragma once

#include <cstddef>
#include <functional>

namespace keyrack {

// Calls work(run, from, to) for each run of runLength items of count ([from, to), run counted
// from 0), shared among the processor's cores: one thread per itemsPerThread items, at most
// mostThreads. The runs are taken in turn rather than shared out beforehand, so a core busy with
// another program holds up one run at most. Work for different runs must touch different data.
// When no thread is to be had, the calling thread does every run.
void ForEachRunShared(
    std::size_t count, std::size_t runLength, std::size_t itemsPerThread, int mostThreads,
    const std::function<void(std::size_t run, std::size_t from, std::size_t to)>& work);

}  // namespace keyrack
