#include "platform/WorkerThread.h"

namespace platform {

WorkerThread::~WorkerThread() {
    Join();
}

void WorkerThread::Start() {
    if (thread_.joinable() || ended_.load()) return;
    thread_ = std::thread([this] {
        body_();
        ended_.store(true);
    });
}

void WorkerThread::Join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

}  // namespace platform
