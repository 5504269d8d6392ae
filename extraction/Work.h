#pragma once

#include <atomic>
#include <functional>

// How a long extraction reports and stops. `cancel` is polled often (at least every few
// thousand pixels); `progress` gets the fraction done, from 0 to 1, at most a few hundred
// times a run, on the thread doing the work.
struct Work {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(double)> progress;

    bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
    void report(double fraction) const
    {
        if (progress)
            progress(fraction);
    }
};
