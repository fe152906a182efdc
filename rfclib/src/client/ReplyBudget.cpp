#include "client/ReplyBudget.h"

#include <atomic>

namespace rfclib {
namespace {

std::atomic<uint64_t> g_inUse{0};

}  // namespace

ReplyBudget& ReplyBudget::Instance() {
    static ReplyBudget budget;
    return budget;
}

bool ReplyBudget::Reserve(uint64_t bytes, uint64_t limit) {
    uint64_t current = g_inUse.load();
    do {
        if (bytes > limit || current > limit - bytes) return false;
    } while (!g_inUse.compare_exchange_weak(current, current + bytes));
    return true;
}

void ReplyBudget::Release(uint64_t bytes) {
    g_inUse -= bytes;
}

uint64_t ReplyBudget::InUse() const {
    return g_inUse;
}

}  // namespace rfclib
