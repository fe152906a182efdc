// A partner that misbehaves: never answers, closes mid-call, sends frames
// the client cannot decode, or is slow. The client reports an RFC error in
// bounded time and never hangs.
#include <atomic>
#include <chrono>
#include <thread>

#include "LiveSystem.h"
#include "net/Socket.h"
#include "platform/tests/support/Eventually.h"
#include "wire/Frame.h"

namespace rfctest {
namespace {

using ClientFault = LiveSystem;
using Clock = std::chrono::steady_clock;

TEST_F(ClientFault, AServerThatNeverAnswersTimesOut) {
    auto& system = Start(WithPingFault(r3sim::FaultAction::kHang));
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "300", 1);
    const RFC_HANDLE handle = Open();
    const auto started = Clock::now();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
    const RFC_ERROR_INFO_EX error = LastError();
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_NE(Message(error).find("within 300 ms"), std::string::npos) << Message(error);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_CLOSED);
    RfcCloseU(handle);
    // Other servers are not affected.
    const RFC_HANDLE other = Open(Logon(u"qashost1", u"01"));
    EXPECT_EQ(Ping(other), RFC_OK);
    RfcCloseU(other);
    EXPECT_EQ(system.Counters().Calls("RFC_PING"), 2u);
}

TEST_F(ClientFault, CloseFromAnotherThreadEndsACallThatWaits) {
    auto& system = Start(WithPingFault(r3sim::FaultAction::kHang));
    // Longer than the test's own limit: only the close can end this call in time.
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "3600000", 1);
    const RFC_HANDLE handle = Open();
    std::atomic<RFC_RC> rc{RFC_OK};
    std::thread caller([&] { rc = Ping(handle); });
    ASSERT_TRUE(testsupport::Eventually([&] { return system.Counters().Calls("RFC_PING") == 1; }));
    RfcCloseU(handle);
    caller.join();
    EXPECT_EQ(rc.load(), RFC_FAILURE);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_INVALID_HANDLE);
}

TEST_F(ClientFault, AServerThatClosesMidCallBreaksTheHandle) {
    Start(WithPingFault(r3sim::FaultAction::kDrop));
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    RFC_ERROR_INFO_EX error{};
    EXPECT_EQ(RfcIsValidHandleU(handle, &error), RFC_CLOSED);
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_NE(Message(error).find("closed by the partner"), std::string::npos) << Message(error);
    RfcCloseU(handle);
}

TEST_F(ClientFault, AGarbledReplyIsAProtocolError) {
    Start(WithPingFault(r3sim::FaultAction::kGarbage));
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    EXPECT_EQ(LastError().group, RFC_ERROR_PROTOCOL);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_CLOSED);
    RfcCloseU(handle);
}

TEST_F(ClientFault, SlowAndFailingModulesAreServedAsConfigured) {
    r3sim::Scenario scenario = WithPingFault(r3sim::FaultAction::kDelay, 200);
    r3sim::FaultSpec fail;
    fail.module = "DB_DBSYS_RELEASE";
    fail.action = r3sim::FaultAction::kFail;
    scenario.faults.push_back(fail);
    Start(scenario);
    const RFC_HANDLE handle = Open();
    const auto started = Clock::now();
    EXPECT_EQ(Ping(handle), RFC_OK);
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(200));
    RFC_CHAR* exception = nullptr;
    EXPECT_EQ(RfcCallReceiveU(handle, u"DB_DBSYS_RELEASE", nullptr, nullptr, nullptr, &exception),
              RFC_SYS_EXCEPTION);
    EXPECT_EQ(LastError().group, RFC_ERROR_SYSTEM_FAILURE);
    RfcCloseU(handle);
}

// A partner of our own that answers the logon with the given bytes (or not
// at all) and then keeps the connection until the client goes.
class RawPartner {
  public:
    explicit RawPartner(std::vector<uint8_t> answer, bool answer_ = true)
        : RawPartner(std::vector<std::vector<uint8_t>>{std::move(answer)}, 0, answer_) {}
    // Sends the parts one after another with a pause between them.
    RawPartner(std::vector<std::vector<uint8_t>> parts, int pauseMs, bool answer_ = true)
        : parts_(std::move(parts)), pauseMs_(pauseMs), send_(answer_) {
        std::string error;
        listener_ = rfcnet::ListenLoopback(0, error);
        thread_ = std::thread([this] { Serve(); });
    }
    ~RawPartner() {
        stop_.Signal();
        thread_.join();
    }
    int Port() const { return rfcnet::LocalPort(listener_); }

  private:
    void Serve() {
        if (rfcnet::WaitReadable(listener_.Fd(), 10000, stop_.Fd()) != rfcnet::IoStatus::kOk)
            return;
        rfcnet::Socket client(::accept(listener_.Fd(), nullptr, nullptr));
        // Wait for the logon frame's first bytes, then answer.
        rfcnet::WaitReadable(client.Fd(), 10000, stop_.Fd());
        std::string error;
        for (size_t i = 0; send_ && i < parts_.size(); ++i) {
            if (i > 0 && stop_.WaitFor(pauseMs_)) return;
            rfcnet::WriteAll(client.Fd(), parts_[i], 1000, error);
        }
        stop_.WaitFor(10000);
    }

    std::vector<std::vector<uint8_t>> parts_;
    int pauseMs_;
    bool send_;
    rfcnet::Socket listener_;
    rfcnet::WakeSignal stop_;
    std::thread thread_;
};

std::u16string ToPartner(int port) {
    // The router port routes straight to our partner.
    return u"ASHOST=/H/127.0.0.1/S/" + platform::FromUtf8(std::to_string(port)) +
           u"/H/srv SYSNR=00 CLIENT=100 USER=U PASSWD=P LANG=E";
}

TEST_F(ClientFault, BadFramesFromThePartnerFailTheLogonCleanly) {
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "300", 1);
    std::vector<uint8_t> oversized = {'Q', 'R', 'F', 'C', 1, 0, 2, 0, 0xFF, 0xFF, 0xFF, 0x7F};
    std::vector<uint8_t> truncated = {'Q', 'R', 'F', 'C', 1, 0, 2, 0, 100, 0, 0, 0, 1, 2};
    std::vector<uint8_t> garbage(64, 0xA5);
    std::vector<uint8_t> wrongVersion = {'Q', 'R', 'F', 'C', 9, 0, 2, 0, 0, 0, 0, 0};
    struct Case {
        std::vector<uint8_t> bytes;
        int group;
        std::string text;
    } cases[] = {
        {oversized, RFC_ERROR_PROTOCOL, "size limit"},
        {truncated, RFC_ERROR_PROTOCOL, "incomplete"},
        {garbage, RFC_ERROR_PROTOCOL, "protocol mark"},
        {wrongVersion, RFC_ERROR_PROTOCOL, "version 9"},
    };
    for (const Case& c : cases) {
        RawPartner partner(c.bytes);
        const RFC_ERROR_INFO_EX error = Refused(ToPartner(partner.Port()));
        EXPECT_EQ(error.group, c.group) << c.text;
        EXPECT_NE(Message(error).find(c.text), std::string::npos) << Message(error);
    }
    RawPartner silent({}, false);
    const auto started = Clock::now();
    const RFC_ERROR_INFO_EX error = Refused(ToPartner(silent.Port()));
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_NE(Message(error).find("no answer"), std::string::npos) << Message(error);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
}

// The frame time-out holds for the whole frame: a partner that sends a big
// frame slowly, each megabyte within the time-out but the frame not, fails
// the read instead of holding the caller for ever longer.
TEST_F(ClientFault, TheFrameTimeOutCoversTheWholeFrame) {
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "600", 1);
    const uint32_t length = 5u << 19;  // 2.5 MiB
    std::vector<uint8_t> first = {'Q', 'R', 'F', 'C', 1, 0, 2, 0};
    for (int i = 0; i < 4; ++i) first.push_back(static_cast<uint8_t>(length >> (8 * i)));
    first.resize(first.size() + (1u << 20), 0x11);
    const std::vector<uint8_t> second(1u << 20, 0x22), third(length - (2u << 20), 0x33);
    RawPartner slow({first, second, third}, 400);
    const RFC_ERROR_INFO_EX error = Refused(ToPartner(slow.Port()));
    EXPECT_EQ(error.group, RFC_ERROR_PROTOCOL);
    EXPECT_NE(Message(error).find("frame incomplete within 600 ms"), std::string::npos)
        << Message(error);
}

}  // namespace
}  // namespace rfctest
