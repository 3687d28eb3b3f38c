#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

int WorkerCount()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

void ParallelFor(int count, const std::function<void(int)> &body)
{
    const int threads = std::min(count, WorkerCount());
    if (threads <= 1) {
        for (int i = 0; i < count; ++i)
            body(i);
        return;
    }
    // The failure of the lowest index is the one rethrown, so that the same
    // input always gives the same message: indices are handed out in turn, so
    // every lower one has started and runs to its end.
    std::exception_ptr failure;
    int failedIndex = count;
    std::mutex guard;
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    auto run = [&] {
        for (int i = next++; i < count && !failed; i = next++) {
            try {
                body(i);
            } catch (...) {
                failed = true;
                std::lock_guard<std::mutex> lock(guard);
                if (i < failedIndex) {
                    failedIndex = i;
                    failure = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(run);
        } catch (...) {
            break;  // no more threads to be had: the ones there do the work
        }
    }
    run();
    for (std::thread &t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}
