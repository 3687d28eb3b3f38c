// Work spread over the processor's cores. Each index is handed to exactly one
// thread and the caller waits for all of them; the work of an index must not
// depend on the others, so a result never depends on how many threads there
// were or which took what.
#pragma once

#include <functional>

// How many threads ParallelFor uses: the cores of the machine, at least one.
int WorkerCount();

// Runs body(i) for i = 0 .. count - 1 on up to WorkerCount() threads, the
// calling thread among them. After an exception no index above it starts;
// when all threads have finished, the exception of the lowest failing index
// is rethrown here.
void ParallelFor(int count, const std::function<void(int)> &body);
