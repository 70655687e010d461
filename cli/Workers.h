// Runs one piece of work on this thread and on more threads at once.
#pragma once

#include <functional>

// Calls work(0) here and work(1) .. work(workers - 1) on new threads, and
// returns when all are done. A thread that cannot be started is left out, so
// `work` must share what is to be done among whichever workers run (claiming
// pieces one at a time, say).
void RunWorkers(int workers, const std::function<void(int worker)>& work);
