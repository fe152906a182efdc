// Test support: a disk that takes a given number of bytes and then fails,
// installed as File's write seam for the length of a scope. A write that
// crosses the budget is taken in part (as write(2) does on a filling disk),
// the next one fails with the chosen errno. Thread-safe.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/File.h"

namespace testsupport {

class DiskBudget final : public platform::WriteSeam {
  public:
    DiskBudget(int64_t bytes, int error) : left_(bytes), error_(error) {
        platform::SetWriteSeam(this);
    }
    ~DiskBudget() override { platform::SetWriteSeam(nullptr); }
    DiskBudget(const DiskBudget&) = delete;
    DiskBudget& operator=(const DiskBudget&) = delete;

    // More room, as when an operator frees space.
    void Grant(int64_t bytes) { left_ += bytes; }

    ssize_t Write(int fd, const void* data, size_t size) override {
        int64_t left = left_.load();
        int64_t take = 0;
        do {
            take = std::min<int64_t>(left, static_cast<int64_t>(size));
        } while (!left_.compare_exchange_weak(left, left - take));
        if (take <= 0) {
            errno = error_;
            return -1;
        }
        return ::write(fd, data, static_cast<size_t>(take));
    }

  private:
    std::atomic<int64_t> left_;
    int error_;
};

}  // namespace testsupport
