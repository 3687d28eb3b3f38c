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
    std::exception_ptr failure;
    std::mutex guard;
    // Indices are taken in turn by whichever thread is free; after a failure
    // no new one is started.
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    auto run = [&] {
        try {
            for (int i = next++; i < count && !failed; i = next++)
                body(i);
        } catch (...) {
            failed = true;
            std::lock_guard<std::mutex> lock(guard);
            if (!failure)
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(run);
    run();
    for (std::thread &t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}
