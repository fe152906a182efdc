#include "platform/EventSet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/WorkerThread.h"

namespace platform {
namespace {

using std::chrono::milliseconds;

TEST(EventSetTest, ServesLowestSignalledIndexFirstAndResetsOnlyIt) {
    EventSet events(4);
    events.Set(3);
    events.Set(1);
    events.Set(2);
    EXPECT_EQ(events.WaitAny(milliseconds(0)), 1);
    EXPECT_EQ(events.WaitAny(milliseconds(0)), 2);
    EXPECT_EQ(events.WaitAny(milliseconds(0)), 3);
    EXPECT_EQ(events.WaitAny(milliseconds(10)), EventSet::kTimeout);
}

TEST(EventSetTest, RepeatedSetsBeforeAWaitCountOnce) {
    EventSet events(2);
    events.Set(1);
    events.Set(1);
    EXPECT_EQ(events.WaitAny(milliseconds(0)), 1);
    EXPECT_EQ(events.WaitAny(milliseconds(0)), EventSet::kTimeout);
}

TEST(EventSetTest, ExplicitResetWithdrawsAPendingRequest) {
    EventSet events(3);
    events.Set(2);
    events.Reset(2);
    EXPECT_FALSE(events.IsSet(2));
    EXPECT_EQ(events.WaitAny(milliseconds(0)), EventSet::kTimeout);
    const size_t added = events.Add();
    EXPECT_EQ(added, 3u);
    events.Set(added);
    EXPECT_EQ(events.WaitAny(milliseconds(0)), 3);
    EXPECT_THROW(events.Set(9), std::out_of_range);
}

TEST(EventSetTest, WaitWakesOnSetFromAnotherThread) {
    EventSet events(2);
    std::thread setter([&] {
        std::this_thread::sleep_for(milliseconds(20));
        events.Set(1);
    });
    EXPECT_EQ(events.WaitAny(milliseconds(5000)), 1);
    setter.join();
}

// Many setters, one waiter: every set that the waiter acknowledged before the
// next one is counted exactly once; nothing is lost, nothing doubled.
TEST(EventSetTest, ManySettersOneWaiterLoseAndDoubleNothing) {
    constexpr int kSetters = 6;
    constexpr int kRounds = 300;
    EventSet events(kSetters + 1);  // index 0 ends the waiter
    std::vector<std::atomic<int>> served(kSetters + 1);
    std::atomic<int> finished{0};

    std::thread waiter([&] {
        for (;;) {
            const int index = events.WaitAny(milliseconds(200));
            if (index == 0) return;
            if (index > 0) served[index].fetch_add(1);
        }
    });
    std::vector<std::thread> setters;
    for (int s = 1; s <= kSetters; ++s) {
        setters.emplace_back([&, s] {
            for (int round = 0; round < kRounds; ++round) {
                events.Set(static_cast<size_t>(s));
                // Wait for this signal to be consumed before the next one.
                while (served[s].load() <= round) std::this_thread::yield();
            }
            finished.fetch_add(1);
        });
    }
    for (auto& t : setters) t.join();
    events.Set(0);
    waiter.join();
    for (int s = 1; s <= kSetters; ++s) EXPECT_EQ(served[s].load(), kRounds) << "setter " << s;
    EXPECT_EQ(finished.load(), kSetters);
}

TEST(WorkerThreadTest, StartsOnceAndReportsItsEnd) {
    std::atomic<int> runs{0};
    EventSet events(1);
    WorkerThread worker([&] {
        runs.fetch_add(1);
        events.WaitAny(milliseconds(5000));
    });
    EXPECT_TRUE(worker.HasEnded());  // never started
    worker.Start();
    worker.Start();
    EXPECT_FALSE(worker.HasEnded());
    events.Set(0);
    worker.Join();
    EXPECT_TRUE(worker.HasEnded());
    EXPECT_EQ(runs.load(), 1);
}

}  // namespace
}  // namespace platform
