// One connection opened through the NetWeaver library: its handle, whether
// the library has closed it under us, and the call between RfcCallU and
// RfcReceiveU, whose exporting values and table rows are copies taken at
// RfcCallU, as the classic interface promises.
//
// Thread rules: mutex guards the call state; handle is fixed after the open
// and is cancelled and closed only under a lock of its own; the broken state
// has a lock of its own, since a cancel from another thread may set it
// during a call.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "nwrfc/NwRfcApi.h"
#include "rfc32u.h"
#include "wire/Messages.h"

namespace rfclib::nw {

// The exporting values and tables of a call, owned.
class PendingCall {
  public:
    PendingCall() = default;
    PendingCall(const PendingCall&) = delete;
    PendingCall& operator=(const PendingCall&) = delete;
    ~PendingCall() { Clear(); }

    // Copies the lists; false with error for a list without its end record.
    bool Take(std::u16string function, const RFC_PARAMETER* exporting, const RFC_TABLE* tables,
              rfcwire::ErrorRecord& error);
    void Clear();

    bool active = false;
    std::u16string function;
    std::vector<RFC_PARAMETER> exporting;  // ends with an all-zero record
    std::vector<RFC_TABLE> tables;         // ends with an all-zero record

  private:
    std::deque<std::u16string> names_;  // stable: the records point into them
    std::vector<std::vector<uint8_t>> values_;
};

struct SdkConnection {
    nwrfc::RFC_CONNECTION_HANDLE handle = nullptr;
    std::u16string host, user, client;  // as logged on
    // A call of the library is in progress: a stop cancels only such a
    // connection, and an idle one still logs off when it is closed.
    std::atomic<bool> busy{false};
    std::mutex mutex;
    PendingCall pending;
    std::u16string exceptionText;  // handed out as the exception name

    // RfcCancel from a stop's thread while the call ends and another thread
    // closes the connection: the handle must not be cancelled once closed.
    template <typename Cancel>
    void CancelIfBusy(Cancel cancel) {
        std::lock_guard lock(handleMutex_);
        if (!closed_ && busy) cancel(handle);
    }
    template <typename CloseHandle>
    void CloseOnce(CloseHandle close) {
        std::lock_guard lock(handleMutex_);
        if (closed_) return;
        closed_ = true;
        close(handle);
    }

    bool Broken() const { return broken_; }
    // The first reason is kept.
    void MarkBroken(const rfcwire::ErrorRecord& error) {
        std::lock_guard lock(failureMutex_);
        if (broken_) return;
        failure_ = error;
        broken_ = true;
    }
    rfcwire::ErrorRecord Failure() {
        std::lock_guard lock(failureMutex_);
        return failure_;
    }

  private:
    std::mutex handleMutex_;  // guards closed_ and orders a cancel before the close
    bool closed_ = false;
    std::atomic<bool> broken_{false};
    std::mutex failureMutex_;  // guards failure_
    rfcwire::ErrorRecord failure_;
};

}  // namespace rfclib::nw
