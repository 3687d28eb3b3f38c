// Work shared out over the cores: every index once, and the same failure
// whatever the threads did, also when a run starts inside another or on
// several threads at once (the kept threads serve one run at a time).
#include "Parallel.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

TEST(Parallel, EveryIndexOnceAndTheLowestFailureWins)
{
    std::vector<std::atomic<int>> runs(1000);
    ParallelFor(1000, [&](int i) { ++runs[size_t(i)]; });
    for (const std::atomic<int> &r : runs)
        EXPECT_EQ(r.load(), 1);
    ParallelFor(0, [](int) { ADD_FAILURE() << "no index to run"; });

    // Index 3 fails late, index 5 at once: 3's failure is the one said.
    for (int round = 0; round < 5; ++round) {
        try {
            ParallelFor(8, [](int i) {
                if (i == 3) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    throw std::runtime_error("3");
                }
                if (i == 5)
                    throw std::runtime_error("5");
            });
            ADD_FAILURE() << "no failure came back";
        } catch (const std::runtime_error &error) {
            EXPECT_EQ(std::string(error.what()), "3");
        }
    }
}

TEST(Parallel, RunsInsideRunsAndFromSeveralThreads)
{
    constexpr int Outer = 16, Inner = 64;
    auto nested = [] {
        std::vector<std::atomic<int>> runs(Outer * Inner);
        ParallelFor(Outer, [&](int i) { ParallelFor(Inner, [&](int j) { ++runs[size_t(i * Inner + j)]; }); });
        int wrong = 0;
        for (const std::atomic<int> &r : runs)
            wrong += r.load() != 1;
        return wrong;
    };
    EXPECT_EQ(nested(), 0);
    std::atomic<int> wrong{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([&] {
            for (int round = 0; round < 20; ++round)
                wrong += nested();
        });
    for (std::thread &t : callers)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}
