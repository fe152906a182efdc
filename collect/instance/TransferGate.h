// A limit on how many instances transfer their dialog steps at once. At a
// quarter hour every instance reads its window at the same moment; on a few
// cores they would all hold their tables at once for no gain in time, so
// the collector's memory would grow with the number of servers. Through the
// gate it grows with the gate's width.
//
// Thread rules: one gate for the process; Pass blocks until a place is free
// and the returned pass gives it back when it goes.
#pragma once

#include <condition_variable>
#include <mutex>

namespace instfile {

class TransferGate {
  public:
    class Pass {
      public:
        explicit Pass(TransferGate& gate) : gate_(gate) {}
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        ~Pass() { gate_.Leave(); }

      private:
        TransferGate& gate_;
    };

    explicit TransferGate(int width) : free_(width) {}

    // The dialog-step gate: twice the cores, at least four.
    static TransferGate& DialogSteps();

    [[nodiscard]] Pass Enter();
    int Free();

  private:
    void Leave();

    std::mutex mutex_;
    std::condition_variable changed_;
    int free_;  // guarded by mutex_
};

}  // namespace instfile
