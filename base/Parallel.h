// Work spread over the processor's cores. Each index is handed to exactly one
// thread and the caller waits for all of them, so a result never depends on
// how many threads there were.
#pragma once

#include <functional>

// How many threads ParallelFor uses: the cores of the machine, at least one.
int WorkerCount();

// Runs body(i) for i = 0 .. count - 1, index i on thread i mod WorkerCount().
// The first exception thrown by any index is rethrown here after all threads
// have finished.
void ParallelFor(int count, const std::function<void(int)> &body);
