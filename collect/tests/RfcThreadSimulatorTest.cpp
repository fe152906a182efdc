#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "collect/RfcThread.h"
#include "platform/tests/support/Eventually.h"
#include "support/SimulatorSession.h"

namespace {

using namespace std::chrono_literals;

// A collection thread that records what its open reports.
class ReportingThread : public CRfcThread {
  public:
    ~ReportingThread() override { EndThread(); }
    void ReportMessage(std::u16string_view text) override {
        std::lock_guard lock(mutex_);
        reports.emplace_back(text);
    }
    std::vector<std::u16string> Reports() {
        std::lock_guard lock(mutex_);
        return reports;
    }

  private:
    std::mutex mutex_;
    std::vector<std::u16string> reports;
};

using testsupport::Eventually;

// Under the connection lock: the worker opens and closes under it.
bool IsOpen(CRfcThread& t) {
    std::lock_guard lock(t.Connection().Lock());
    return RfcIsValidHandleU(t.Connection().Handle(), nullptr) == RFC_OK;
}

TEST(RfcThreadSimulatorTest, CheckReopensOnceTheKilledServerIsBack) {
    auto sim = std::make_unique<SimulatorSession>();
    const int base = sim->PortBase();
    ReportingThread t;
    SimulatorSession::LogOn(t.Connection());
    t.Start();
    t.SetOpenRequest();
    ASSERT_TRUE(Eventually([&] { return IsOpen(t); }));
    EXPECT_EQ(sim->System().Counters().Snapshot().logons, 1u);

    sim.reset();  // the system goes away
    t.SetEvent(CRfcThread::kCheckRequest);
    ASSERT_TRUE(Eventually([&] { return !t.Reports().empty(); }));
    EXPECT_FALSE(IsOpen(t));
    EXPECT_TRUE(t.Reports().front().starts_with(u"RFC Exception: CRfcConnection::CallRfcOpen"));

    sim = std::make_unique<SimulatorSession>(r3sim::DefaultScenario(), base);
    t.SetEvent(CRfcThread::kCheckRequest);
    ASSERT_TRUE(Eventually([&] { return IsOpen(t); }));
    EXPECT_EQ(sim->System().Counters().Snapshot().logons, 1u);
    t.SetEvent(CRfcThread::kCheckRequest);  // a good ping does not reopen
    ASSERT_TRUE(Eventually([&] { return sim->System().Counters().Calls("RFC_PING") >= 1; }));
    // A second check: the worker served the first one completely before it.
    t.SetEvent(CRfcThread::kCheckRequest);
    ASSERT_TRUE(Eventually([&] { return sim->System().Counters().Calls("RFC_PING") >= 2; }));
    EXPECT_EQ(sim->System().Counters().Snapshot().logons, 1u);
}

}  // namespace
