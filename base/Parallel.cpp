#include "Parallel.h"

#include <algorithm>
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
    auto run = [&](int first) {
        try {
            for (int i = first; i < count; i += threads)
                body(i);
        } catch (...) {
            std::lock_guard<std::mutex> lock(guard);
            if (!failure)
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(run, t);
    run(0);
    for (std::thread &t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}
