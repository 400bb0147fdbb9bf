// The worker threads of a vector of games.
#include "python/src/worker_pool.h"

#include <sched.h>

namespace gulper {

WorkerPool::WorkerPool(int parts) {
    try {
        for (int part = 1; part < parts; ++part) {
            threads.emplace_back(&WorkerPool::Serve, this, part);
        }
    } catch (...) {
        // A thread the system would not give: stop those already started before failing.
        Stop();
        throw;
    }
}

WorkerPool::~WorkerPool() {
    Stop();
}

void WorkerPool::Stop() {
    {
        const std::lock_guard<std::mutex> hold(lock);
        stopping = true;
    }
    wake.notify_all();
    for (std::thread& t : threads) {
        if (t.joinable()) {
            t.join();
        }
    }
    threads.clear();
}

void WorkerPool::Do(int part) {
    std::exception_ptr thrown;
    try {
        (*job)(part);
    } catch (...) {
        thrown = std::current_exception();
    }
    const std::lock_guard<std::mutex> hold(lock);
    if (thrown && !error) {
        error = thrown;
    }
    if (--pending == 0) {
        finished.notify_all();
    }
}

void WorkerPool::Serve(int part) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock);
            wake.wait(hold, [&] { return stopping || round != seen; });
            if (stopping) {
                return;
            }
            seen = round;
        }
        Do(part);
    }
}

std::exception_ptr WorkerPool::Run(const std::function<void(int)>& work) {
    {
        const std::lock_guard<std::mutex> hold(lock);
        job = &work;
        error = nullptr;
        pending = Parts();
        ++round;
    }
    wake.notify_all();
    Do(0);
    std::unique_lock<std::mutex> hold(lock);
    finished.wait(hold, [&] { return pending == 0; });
    job = nullptr;
    return error;
}

int UsableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return CPU_COUNT(&set);
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

}  // namespace gulper
