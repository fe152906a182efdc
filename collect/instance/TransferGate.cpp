#include "collect/instance/TransferGate.h"

#include <algorithm>
#include <thread>

namespace instfile {

TransferGate& TransferGate::DialogSteps() {
    static TransferGate gate(
        std::max(4, 2 * static_cast<int>(std::thread::hardware_concurrency())));
    return gate;
}

TransferGate::Pass TransferGate::Enter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return free_ > 0; });
    --free_;
    return Pass(*this);
}

void TransferGate::Leave() {
    {
        std::lock_guard lock(mutex_);
        ++free_;
    }
    changed_.notify_one();
}

int TransferGate::Free() {
    std::lock_guard lock(mutex_);
    return free_;
}

}  // namespace instfile
