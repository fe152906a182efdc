// A worker thread that is created, started once, and joined by its owner.
//
// The owner asks the body to stop by its own means (the stop event of a
// collection thread) and then joins. HasEnded() is safe from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace platform {

class WorkerThread {
  public:
    explicit WorkerThread(std::function<void()> body) : body_(std::move(body)) {}
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Joins a thread that is still running: a worker never outlives its object.
    ~WorkerThread();

    // Starts the body on a new thread; a second call does nothing.
    void Start();
    bool IsStarted() const { return thread_.joinable() || ended_.load(); }
    // True once the body has returned (or the thread was never started).
    bool HasEnded() const { return !thread_.joinable() || ended_.load(); }
    // Waits without limit for the body to return.
    void Join();
    // Stands in for raising the thread's priority while its owner waits:
    // Linux gives no unprivileged way to raise it, and the waiting owner
    // yields the processor anyway.
    void RaisePriority() {}

  private:
    std::function<void()> body_;
    std::thread thread_;
    std::atomic<bool> ended_{false};
};

}  // namespace platform
