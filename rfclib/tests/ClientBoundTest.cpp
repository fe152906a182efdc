// A partner that never ends its reply or trickles it, and a program that
// stops while calls wait: every call ends in bounded time and memory, with
// an error that names what happened.
#include <atomic>
#include <chrono>
#include <thread>

#include "LiveSystem.h"
#include "client/ReplyBudget.h"
#include "platform/tests/support/Eventually.h"

namespace rfctest {
namespace {

using Clock = std::chrono::steady_clock;

class ClientBound : public LiveSystem {
  protected:
    void SetUp() override {
        LiveSystem::SetUp();
        unsetenv("QUORVEL_RFC_MAX_REPLY_BYTES");
        unsetenv("QUORVEL_RFC_MAX_REPLIES_BYTES");
    }
    void TearDown() override {
        RfcResumeCallsU();
        unsetenv("QUORVEL_RFC_MAX_REPLY_BYTES");
        unsetenv("QUORVEL_RFC_MAX_REPLIES_BYTES");
        LiveSystem::TearDown();
    }
};

TEST_F(ClientBound, AReplyWithoutEndFailsAtTheBoundAndClosesTheConnection) {
    Start(WithPingFault(r3sim::FaultAction::kEndless));
    setenv("QUORVEL_RFC_MAX_REPLY_BYTES", "8388608", 1);
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    const RFC_ERROR_INFO_EX error = LastError();
    EXPECT_EQ(error.group, RFC_ERROR_RESOURCE);
    EXPECT_EQ(Key(error), std::u16string(RFC_KEY_REPLY_TOO_LARGE));
    EXPECT_NE(Message(error).find("RFC_PING"), std::string::npos) << Message(error);
    EXPECT_NE(Message(error).find("8388608 bytes"), std::string::npos) << Message(error);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_CLOSED);
    EXPECT_EQ(rfclib::ReplyBudget::Instance().InUse(), 0u);
    RfcCloseU(handle);
    // The same server answers the next connection's other calls.
    const RFC_HANDLE other = Open(Logon(u"qashost1", u"01"));
    EXPECT_EQ(Ping(other), RFC_OK);
    RfcCloseU(other);
}

TEST_F(ClientBound, RepliesArrivingAtOnceShareOneBudget) {
    Start(WithPingFault(r3sim::FaultAction::kEndless));
    setenv("QUORVEL_RFC_MAX_REPLY_BYTES", "67108864", 1);
    setenv("QUORVEL_RFC_MAX_REPLIES_BYTES", "4194304", 1);
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    const RFC_ERROR_INFO_EX error = LastError();
    EXPECT_EQ(Key(error), std::u16string(RFC_KEY_REPLY_TOO_LARGE));
    EXPECT_NE(Message(error).find("all replies at once, 4194304 bytes"), std::string::npos)
        << Message(error);
    EXPECT_EQ(rfclib::ReplyBudget::Instance().InUse(), 0u);
    RfcCloseU(handle);
}

TEST_F(ClientBound, AReplyWithinTheBoundArrivesWhole) {
    Start();
    setenv("QUORVEL_RFC_MAX_REPLY_BYTES", "65536", 1);
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_OK);
    EXPECT_EQ(Ping(handle), RFC_OK);
    EXPECT_EQ(rfclib::ReplyBudget::Instance().InUse(), 0u);
    RfcCloseU(handle);
}

TEST_F(ClientBound, ATrickledReplyArrivesWhenItEndsInTimeAndFailsWhenItDoesNot) {
    Start(WithPingFault(r3sim::FaultAction::kTrickle, 1));
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "20000", 1);
    RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_OK) << Message(LastError());
    RfcCloseU(handle);
    system_->Stop();

    Start(WithPingFault(r3sim::FaultAction::kTrickle, 200));
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "600", 1);
    handle = Open();
    const auto started = Clock::now();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
    EXPECT_NE(Message(LastError()).find("incomplete within 600 ms"), std::string::npos)
        << Message(LastError());
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_CLOSED);
    RfcCloseU(handle);
}

TEST_F(ClientBound, CancellingEndsAWaitingCallAtOnceAndRefusesOpensUntilResumed) {
    auto& system = Start(WithPingFault(r3sim::FaultAction::kHang));
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "3600000", 1);
    const RFC_HANDLE waiting = Open();
    const RFC_HANDLE idle = Open(Logon(u"qashost1", u"01"));
    std::atomic<RFC_RC> rc{RFC_OK};
    RFC_ERROR_INFO_EX callError{};
    std::thread caller([&] {
        rc = Ping(waiting);
        RfcLastErrorExU(&callError);
    });
    ASSERT_TRUE(testsupport::Eventually([&] { return system.Counters().Calls("RFC_PING") == 1; }));
    const auto cancelled = Clock::now();
    RfcCancelAllCallsU();
    caller.join();
    EXPECT_LT(Clock::now() - cancelled, std::chrono::seconds(2));
    EXPECT_EQ(rc.load(), RFC_FAILURE);
    EXPECT_EQ(callError.group, RFC_ERROR_COMMUNICATION);
    EXPECT_EQ(Key(callError), std::u16string(RFC_KEY_CANCELLED));
    EXPECT_EQ(RfcIsValidHandleU(waiting, nullptr), RFC_CLOSED);
    // An idle connection is cancelled too, and no new one opens.
    EXPECT_EQ(Ping(idle), RFC_FAILURE);
    EXPECT_EQ(Key(LastError()), std::u16string(RFC_KEY_CANCELLED));
    EXPECT_EQ(Key(Refused(Logon(u"qashost1", u"01"))), std::u16string(RFC_KEY_CANCELLED));
    RfcCloseU(waiting);
    RfcCloseU(idle);

    RfcResumeCallsU();
    const RFC_HANDLE fresh = Open(Logon(u"qashost1", u"01"));
    EXPECT_EQ(Ping(fresh), RFC_OK);
    RfcCloseU(fresh);
}

}  // namespace
}  // namespace rfctest
