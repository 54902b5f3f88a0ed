#pragma once
// The benchmarks' clock: the best of a number of runs.
#include <algorithm>
#include <chrono>

namespace bench {

using Clock = std::chrono::steady_clock;

// The fastest of the runs, in milliseconds: the figure least disturbed by the machine.
template <class F> double bestMs(int repeats, F&& f) {
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

} // namespace bench
