// Threads that take one piece of work each, all at once, and are kept between calls.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace gulper {

class WorkerPool {
  public:
    // `parts` pieces per call: part 0 on the calling thread, each other on a thread of its own.
    explicit WorkerPool(int parts);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Calls work(part) for every part at once and returns when all have returned; the first
    // exception any of them threw, or null.
    std::exception_ptr Run(const std::function<void(int)>& work);
    int Parts() const { return static_cast<int>(threads.size()) + 1; }

  private:
    void Stop();
    void Serve(int part);
    void Do(int part);

    std::vector<std::thread> threads;
    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable finished;
    const std::function<void(int)>* job = nullptr;
    uint64_t round = 0;
    int pending = 0;
    bool stopping = false;
    std::exception_ptr error;
};

// The processors this process may run on (at least one).
int UsableCores();

}  // namespace gulper
