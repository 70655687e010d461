// std::thread workers joined before returning.
#include "cli/Workers.h"

#include <system_error>
#include <thread>
#include <vector>

void RunWorkers(int workers, const std::function<void(int)>& work) {
    std::vector<std::thread> threads;
    for (int worker = 1; worker < workers; ++worker) {
        try {
            threads.emplace_back(work, worker);
        } catch (const std::system_error&) {
            break; // the workers already running share the rest
        }
    }
    work(0);
    for (std::thread& thread : threads) {
        thread.join();
    }
}
