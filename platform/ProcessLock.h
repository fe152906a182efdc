// An exclusive lock on a file, held while the object lives (and so at most
// for the process's life: the system drops it when the process ends, however
// it ends). The holder writes its process id into the file, so that a
// second would-be holder can name it.
//
// Thread rules: one owner; the lock is for the whole process.
#pragma once

#include <string>

namespace platform {

class ProcessLock {
  public:
    ProcessLock() = default;
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    enum class Result { kTaken, kHeld, kFailed };
    // Takes the lock on path (made 0640 when missing). kHeld: another
    // process holds it, its id in holder (0 when unknown); kFailed: the file
    // cannot be used, the reason in error.
    Result Take(const std::u16string& path, long& holder, std::u16string& error);
    void Release();
    bool IsHeld() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace platform
