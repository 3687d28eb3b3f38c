#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

int WorkerCount()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

namespace {

// One run of ParallelFor. After a failure no index above it starts, but every
// index below it still runs, so the failure of the lowest index is the one
// rethrown: the same input always gives the same message.
struct Job {
    Job(int count, const std::function<void(int)> &body) : Count(count), Body(body) {}
    const int Count;
    const std::function<void(int)> &Body;
    std::atomic<int> Next{0};
    std::atomic<bool> Failed{false};
    std::mutex Guard;
    int FailedIndex = Count;
    std::exception_ptr Failure;

    void Run()
    {
        for (int i = Next++; i < Count; i = Next++) {
            if (Failed) {
                std::lock_guard<std::mutex> lock(Guard);
                if (i > FailedIndex)
                    break;
            }
            try {
                Body(i);
            } catch (...) {
                Failed = true;
                std::lock_guard<std::mutex> lock(Guard);
                if (i < FailedIndex) {
                    FailedIndex = i;
                    Failure = std::current_exception();
                }
            }
        }
    }
};

// Set when the program ends and the kept threads are gone; a run after that
// makes threads of its own.
std::atomic<bool> PoolGone{false};

// Threads made once and kept: a print hands out work hundreds of times, and
// making a thread each time costs more than some of the work itself. One run
// uses the pool at a time; a run started while it is in use (from inside
// another run, or from another thread) makes threads of its own.
class Pool {
public:
    static Pool &Instance()
    {
        static Pool pool;
        return pool;
    }

    // Runs the job on the pool's threads and the caller's; false when the
    // pool is in use or has no threads.
    bool TryRun(Job &job)
    {
        bool free = false;
        if (Threads.empty() || !Busy.compare_exchange_strong(free, true))
            return false;
        {
            std::lock_guard<std::mutex> lock(Lock);
            Current = &job;
            Working = int(Threads.size());
            ++Generation;
        }
        Wake.notify_all();
        job.Run();
        {
            std::unique_lock<std::mutex> lock(Lock);
            Done.wait(lock, [this] { return Working == 0; });
            Current = nullptr;
        }
        Busy = false;
        return true;
    }

private:
    Pool()
    {
        for (int t = 1; t < WorkerCount(); ++t) {
            try {
                Threads.emplace_back([this] { Serve(); });
            } catch (...) {
                break;  // no more threads to be had: the ones there do the work
            }
        }
    }

    ~Pool()
    {
        PoolGone = true;
        {
            std::lock_guard<std::mutex> lock(Lock);
            Stopping = true;
        }
        Wake.notify_all();
        for (std::thread &t : Threads) {
            if (t.get_id() == std::this_thread::get_id())
                t.detach();  // the program ends from inside a run
            else
                t.join();
        }
    }

    void Serve()
    {
        unsigned seen = 0;
        for (;;) {
            Job *job = nullptr;
            {
                std::unique_lock<std::mutex> lock(Lock);
                Wake.wait(lock, [&] { return Stopping || Generation != seen; });
                if (Generation == seen)  // stopping, with no run waiting for this thread
                    return;
                seen = Generation;
                job = Current;
            }
            job->Run();
            std::lock_guard<std::mutex> lock(Lock);
            if (--Working == 0)
                Done.notify_one();
        }
    }

    std::atomic<bool> Busy{false};  // a run is using the pool
    std::mutex Lock;                 // guards what follows
    std::condition_variable Wake, Done;
    Job *Current = nullptr;
    int Working = 0;
    unsigned Generation = 0;
    bool Stopping = false;
    std::vector<std::thread> Threads;
};

}  // namespace

void ParallelFor(int count, const std::function<void(int)> &body)
{
    const int threads = std::min(count, WorkerCount());
    if (threads <= 1) {
        for (int i = 0; i < count; ++i)
            body(i);
        return;
    }
    Job job(count, body);
    if (PoolGone || !Pool::Instance().TryRun(job)) {
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; ++t) {
            try {
                pool.emplace_back([&job] { job.Run(); });
            } catch (...) {
                break;  // no more threads to be had: the ones there do the work
            }
        }
        job.Run();
        for (std::thread &t : pool)
            t.join();
    }
    if (job.Failure)
        std::rethrow_exception(job.Failure);
}
