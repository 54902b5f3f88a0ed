#pragma once
// Calls that must return at once (a read refusing a FIFO or a device): run under a watchdog that
// ends the test program with a message when the call has not returned in time, so that a call
// that blocks fails the run instead of holding it for ever.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

template <class Call>
decltype(auto) ReturnsWithin(std::chrono::milliseconds limit, const std::string& what,
                             Call&& call) {
    struct Guard {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::thread thread;
        Guard(std::chrono::milliseconds limit, const std::string& what) {
            thread = std::thread([this, limit, what] {
                std::unique_lock lock(mutex);
                if (!done.wait_for(lock, limit, [this] { return finished; })) {
                    std::fprintf(stderr, "Watchdog: %s did not return within %lld ms\n",
                                 what.c_str(), static_cast<long long>(limit.count()));
                    std::fflush(stderr);
                    std::_Exit(3);
                }
            });
        }
        ~Guard() {
            {
                std::lock_guard lock(mutex);
                finished = true;
            }
            done.notify_one();
            thread.join();
        }
    } guard(limit, what);
    return call();
}

// What is no regular file, for the readers' refusals: a FIFO no one writes to (an open for
// reading would wait for a writer) and a device that never ends.
inline constexpr const char* kEndlessDevice = "/dev/zero";
