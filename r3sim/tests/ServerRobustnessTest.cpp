// The simulated system against clients that misbehave at the byte level:
// each bad connection is dropped and counted, and the system goes on
// serving the others. Stopping ends every connection, idle or hung.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <thread>

#include "net/FrameTransport.h"
#include "platform/tests/support/Eventually.h"
#include "r3sim/SimulatedSystem.h"
#include "wire/MessageCodec.h"

namespace r3sim {
namespace {

using Clock = std::chrono::steady_clock;

class ServerRobustness : public ::testing::Test {
  protected:
    void SetUp() override {
        SimulatorOptions options;
        options.frameTimeoutMs = 300;
        options.maxPayload = 4096;
        Scenario scenario = DefaultScenario();
        FaultSpec hang;
        hang.module = "RFC_PING";
        hang.action = FaultAction::kHang;
        scenario.faults.push_back(hang);
        system_ = std::make_unique<SimulatedSystem>(scenario, options);
        system_->Start();
    }

    rfcnet::Socket Connect() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(system_->PortOf("qashost1_QAS_00"));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        std::string error;
        rfcnet::Socket socket = rfcnet::ConnectTcp(address, 2000, error);
        EXPECT_TRUE(socket.IsOpen()) << error;
        return socket;
    }

    static void Send(const rfcnet::Socket& socket, const std::vector<uint8_t>& bytes) {
        std::string error;
        ASSERT_EQ(rfcnet::WriteAll(socket.Fd(), bytes, 2000, error), rfcnet::IoStatus::kOk);
    }

    // The next frame from the server, decoded; nullopt when it closed instead.
    static std::optional<rfcwire::ServerMessage> Answer(const rfcnet::Socket& socket) {
        rfcnet::ReceiveLimits limits;
        limits.idleTimeoutMs = 5000;
        rfcnet::ReceivedFrame frame;
        std::string error;
        if (rfcnet::ReceiveFrame(socket.Fd(), limits, -1, frame, error) !=
            rfcnet::ReceiveStatus::kOk)
            return std::nullopt;
        rfcwire::ServerMessage message;
        if (!rfcwire::DecodeServerMessage(frame.type, frame.payload, message, error))
            return std::nullopt;
        return message;
    }

    // True when the server closed the connection (within a bounded wait).
    static bool ClosedByServer(const rfcnet::Socket& socket) {
        uint8_t byte = 0;
        std::string error;
        for (;;) {
            const auto status =
                rfcnet::ReadExact(socket.Fd(), std::span(&byte, 1), 5000, -1, error);
            if (status == rfcnet::IoStatus::kClosed) return true;
            if (status != rfcnet::IoStatus::kOk) return false;
        }
    }

    static rfcwire::OpenRequest GoodLogon() {
        rfcwire::OpenRequest logon;
        logon.targetHost = u"qashost1";
        logon.client = u"100";
        logon.user = u"COLLECTOR";
        logon.password = u"SECRET";
        logon.language = u"E";
        return logon;
    }

    void ExpectStillServing() {
        rfcnet::Socket socket = Connect();
        Send(socket, rfcwire::Encode(GoodLogon()));
        const auto answer = Answer(socket);
        ASSERT_TRUE(answer.has_value());
        ASSERT_TRUE(std::holds_alternative<rfcwire::OpenReply>(*answer));
        EXPECT_TRUE(std::get<rfcwire::OpenReply>(*answer).accepted);
    }

    std::unique_ptr<SimulatedSystem> system_;
};

TEST_F(ServerRobustness, GarbageOversizedAndTruncatedFramesDropOnlyThatConnection) {
    const std::vector<std::vector<uint8_t>> inputs = {
        std::vector<uint8_t>(40, 0x5A),                            // no protocol mark
        {'Q', 'R', 'F', 'C', 1, 0, 3, 0, 0x00, 0x00, 0x01, 0x00},  // over the size limit
        {'Q', 'R', 'F', 'C', 1, 0, 3, 0, 50, 0, 0, 0, 1, 2, 3},    // stops mid-frame
        {'Q', 'R', 'F', 'C', 1, 0, 2, 0, 0, 0, 0, 0},              // a reply type
        rfcwire::EncodeFrame(rfcwire::MessageType::kOpenRequest,
                             std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}),  // text over its length
    };
    rfcnet::Socket idle = Connect();  // a well-behaved neighbour, logged on
    Send(idle, rfcwire::Encode(GoodLogon()));
    ASSERT_TRUE(Answer(idle).has_value());
    for (const auto& input : inputs) {
        rfcnet::Socket socket = Connect();
        Send(socket, input);
        const auto answer = Answer(socket);  // an error frame, best effort
        if (answer) {
            EXPECT_TRUE(std::holds_alternative<rfcwire::ErrorReply>(*answer));
        }
        EXPECT_TRUE(ClosedByServer(socket));
    }
    EXPECT_EQ(system_->Counters().Snapshot().protocolErrors, inputs.size());
    ExpectStillServing();
    // The neighbour is still logged on and served.
    rfcwire::CallRequest call;
    call.function = u"DB_DBSYS_RELEASE";
    Send(idle, rfcwire::Encode(call));
    const auto answer = Answer(idle);
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(std::holds_alternative<rfcwire::CallReply>(*answer));
}

TEST_F(ServerRobustness, RequestsBeforeLogonAndSilentClientsAreDropped) {
    rfcnet::Socket early = Connect();
    rfcwire::CallRequest call;
    call.function = u"RFC_PING";
    Send(early, rfcwire::Encode(call));
    const auto answer = Answer(early);
    ASSERT_TRUE(answer.has_value());
    ASSERT_TRUE(std::holds_alternative<rfcwire::ErrorReply>(*answer));
    EXPECT_NE(std::get<rfcwire::ErrorReply>(*answer).error.message.find(u"before logon"),
              std::u16string::npos);
    EXPECT_EQ(system_->Counters().Calls("RFC_PING"), 0u);

    rfcnet::Socket silent = Connect();  // never logs on
    EXPECT_TRUE(ClosedByServer(silent));
    ExpectStillServing();
}

TEST_F(ServerRobustness, StopEndsIdleAndHungConnections) {
    rfcnet::Socket idle = Connect();
    Send(idle, rfcwire::Encode(GoodLogon()));
    ASSERT_TRUE(Answer(idle).has_value());
    rfcnet::Socket hung = Connect();
    Send(hung, rfcwire::Encode(GoodLogon()));
    ASSERT_TRUE(Answer(hung).has_value());
    rfcwire::CallRequest ping;
    ping.function = u"RFC_PING";  // hangs by the scenario's fault
    Send(hung, rfcwire::Encode(ping));
    ASSERT_TRUE(
        testsupport::Eventually([&] { return system_->Counters().Calls("RFC_PING") != 0; }));
    const auto started = Clock::now();
    system_->Stop();
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
    EXPECT_TRUE(ClosedByServer(idle));
    EXPECT_TRUE(ClosedByServer(hung));
    // Started again, it serves again.
    system_->Start();
    ExpectStillServing();
}

}  // namespace
}  // namespace r3sim
