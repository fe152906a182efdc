#include "collect/RfcThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/tests/support/Eventually.h"
#include "rfc/RfcException.h"

namespace {

using namespace std::chrono_literals;

// A collection thread whose open request blocks until released, so tests can
// hold the worker inside an operation.
class GatedThread : public CRfcThread {
  public:
    GatedThread() : extra_(AddEvent()) {}
    ~GatedThread() override { EndThread(); }

    void Initialize() override { ++initializations; }
    void OpenConnection() override {
        ++opens;
        std::unique_lock lock(mutex_);
        inside_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
        inside_ = false;
    }
    void OnEvent(size_t index) override {
        if (index == extra_) ++extras;
    }
    void WaitInside() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return inside_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    size_t extra() const { return extra_; }

    std::atomic<int> initializations{0}, opens{0}, extras{0};

  private:
    const size_t extra_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool inside_ = false, released_ = false;
};

using testsupport::Eventually;

TEST(RfcThreadTest, StartTwiceInitialisesTwiceAndMakesOneWorker) {
    GatedThread t;
    t.Release();
    t.Start();
    t.Start();
    EXPECT_EQ(t.initializations.load(), 2);
    EXPECT_TRUE(t.HasWorker());
    t.SetEvent(t.extra());
    EXPECT_TRUE(Eventually([&] { return t.extras.load() == 1; }));
    t.EndThread();
    EXPECT_FALSE(t.HasWorker());
}

TEST(RfcThreadTest, RequestsSetWhileBusyRunOnceMore) {
    GatedThread t;
    t.Start();
    t.SetOpenRequest();
    t.WaitInside();
    t.SetOpenRequest();
    t.SetOpenRequest();
    t.Release();
    EXPECT_TRUE(Eventually([&] { return t.opens.load() == 2; }));
    std::this_thread::sleep_for(300ms);  // more than one idle wait
    EXPECT_EQ(t.opens.load(), 2);
}

TEST(RfcThreadTest, StopWaitsForTheRunningOperation) {
    GatedThread t;
    t.Start();
    t.SetOpenRequest();
    t.WaitInside();
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        t.Stop();
        stopped = true;
    });
    std::this_thread::sleep_for(300ms);  // a stop that did not wait would be done by now
    EXPECT_FALSE(stopped.load());
    t.Release();
    stopper.join();
    EXPECT_TRUE(stopped.load());
    EXPECT_EQ(t.opens.load(), 1);
}

TEST(RfcThreadTest, DeletingAThreadNeverStartedOrAlreadyEndedReturnsAtOnce) {
    { GatedThread never; }
    GatedThread t;
    t.Release();
    t.Start();
    t.Stop();
    t.Stop();  // the worker has ended: no wait, no second stop
    SUCCEED();
}

struct ParseCase {
    const char16_t* text;
    const char16_t* error;  // null: accepted
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

TEST(RfcThreadTest, ParseLastCollectorWrite) {
    const ParseCase cases[] = {
        {u"Sun Dec  6 18:20:33 2026", nullptr, 2026, 12, 6, 18, 20, 33},
        {u"Dom Dic 6 08:05:00 2004", nullptr, 2004, 12, 6, 8, 5, 0},
        {u"Mon Okt 1 00:00:00 2038", nullptr, 2038, 10, 1, 0, 0, 0},
        {u"Mon Foo 1 00:00:00 2004", u"invalid month: 0"},
        {u"Mon jan 1 00:00:00 2004", u"invalid month: 0"},  // case-sensitive
        {u"Mon January 1 00:00:00 2004", u"invalid month: 0"},
        {u"Mon Jan 32 00:00:00 2004", u"invalid day: 32"},
        {u"Mon Jan 1 24:00:00 2004", u"invalid hour: 24"},
        {u"Mon Jan 1 00:60:00 2004", u"invalid minute: 60"},
        {u"Mon Jan 1 00:00:60 2004", u"invalid second: 60"},
        {u"Mon Jan 1 00:00:00 1970", u"invalid year: 1970"},
        {u"Mon Jan 1 00:00:00 2039", u"invalid year: 2039"},
        {u"", u"no SAP collector data"},
        {u"Mon Jan", u"invalid day: 0"},
        {u"Mon Jan 5 12:30", u"invalid year: 0"},
    };
    GatedThread t;
    for (const auto& c : cases) {
        int y = -1, mo = -1, d = -1, h = -1, mi = -1, s = -1;
        if (c.error == nullptr) {
            t.ParseLastCollectorWrite(c.text, y, mo, d, h, mi, s);
            EXPECT_EQ(y, c.year);
            EXPECT_EQ(mo, c.month);
            EXPECT_EQ(d, c.day);
            EXPECT_EQ(h, c.hour);
            EXPECT_EQ(mi, c.minute);
            EXPECT_EQ(s, c.second);
            continue;
        }
        try {
            t.ParseLastCollectorWrite(c.text, y, mo, d, h, mi, s);
            ADD_FAILURE() << "accepted a bad stamp";
        } catch (const CRfcException& e) {
            EXPECT_EQ(e.m_strMessage,
                      std::u16string(u"RFC Exception: CRfcThread::ParseLastCollectorWrite(") +
                          c.error + u")");
        }
    }
    // A word far longer than any month name is read whole and matches nothing.
    int y, mo, d, h, mi, s;
    EXPECT_THROW(
        t.ParseLastCollectorWrite(std::u16string(5000, u'x') + u" " + std::u16string(5000, u'y'), y,
                                  mo, d, h, mi, s),
        CRfcException);
    const platform::OleDate date = t.GetLastCollectorWriteTime(u"Sun Dec  6 18:20:33 2026");
    platform::DateTime back;
    ASSERT_TRUE(date.ToDateTime(back));
    EXPECT_EQ(back, platform::MakeDateTime(2026, 12, 6, 18, 20, 33));
}

TEST(RfcThreadTest, CleanFileNameKeepsOnlyWhatFileNamesTake) {
    GatedThread t;
    std::u16string name = u"  a.b c:d  ";
    t.CleanFileName(name);
    EXPECT_EQ(name, u"abcd");
    name = u"/dev/dsk/c0t0d0s0 \\\"*?<>|";
    t.CleanFileName(name);
    EXPECT_EQ(name, u"devdskc0t0d0s0");
}

}  // namespace
