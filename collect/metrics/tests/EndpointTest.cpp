// The HTTP endpoint on loopback: both formats, clear refusals of bad or
// busy addresses, clients that never read holding up no publication, and
// hostile clients held to the endpoint's limits.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "EndpointSupport.h"
#include "collect/metrics/MetricsEndpoint.h"
#include "collect/metrics/SampleLines.h"

namespace metrics {
namespace {

using namespace std::chrono_literals;

// A snapshot of about n kilobytes of samples.
std::shared_ptr<const Snapshot> Sized(int n) {
    auto s = std::make_shared<Snapshot>();
    for (int i = 0; i < n * 10; ++i)
        AppendSample(*s, FamilyId::RequestQueueLength,
                     LabelSet().Add("server", "server_" + std::to_string(i)).Add("queue", "DIA"),
                     i);
    return s;
}

class EndpointTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registry_ = std::make_shared<Registry>();
        source_ = registry_->Join("QAS", SourceKind::Instance);
        registry_->Publish(source_, Sized(1));
        endpoint_ = std::make_unique<MetricsEndpoint>(registry_);
        const std::string error = endpoint_->Start(":0");
        ASSERT_EQ(error, "");
    }
    httplib::Client Client() const {
        httplib::Client client("127.0.0.1", endpoint_->Port());
        client.set_read_timeout(5, 0);
        client.set_connection_timeout(5, 0);
        return client;
    }

    std::shared_ptr<Registry> registry_;
    Registry::SourceId source_ = 0;
    std::unique_ptr<MetricsEndpoint> endpoint_;
};

TEST_F(EndpointTest, ServesOpenMetricsWhenAskedAndPrometheusTextOtherwise) {
    EXPECT_EQ(endpoint_->ListeningOn(), "127.0.0.1:" + std::to_string(endpoint_->Port()));
    httplib::Client client = Client();
    auto om = client.Get("/metrics", {{"Accept",
                                       "application/openmetrics-text;version=1.0.0,"
                                       "text/plain;version=0.0.4;q=0.5"}});
    ASSERT_TRUE(om) << httplib::to_string(om.error());
    EXPECT_EQ(om->status, 200);
    EXPECT_EQ(om->get_header_value("Content-Type").rfind("application/openmetrics-text", 0), 0u);
    EXPECT_TRUE(om->body.ends_with("# EOF\n"));
    EXPECT_NE(om->body.find("server_9\",queue=\"DIA\"} 9\n"), std::string::npos);

    auto text = client.Get("/metrics");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->get_header_value("Content-Type").rfind("text/plain; version=0.0.4", 0), 0u);
    EXPECT_EQ(text->body.find("# EOF"), std::string::npos);
    EXPECT_NE(text->body.find("# TYPE quorvel_build_info gauge"), std::string::npos);

    auto other = client.Get("/");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
}

TEST_F(EndpointTest, BadOrBusyAddressesAreRefusedWithTheReason) {
    MetricsEndpoint second(registry_);
    const std::string port = std::to_string(endpoint_->Port());
    std::string error = second.Start("127.0.0.1:" + port);
    EXPECT_NE(error.find("127.0.0.1:" + port), std::string::npos) << error;
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    EXPECT_FALSE(second.IsRunning());

    error = second.Start("localhost:metrics");
    EXPECT_NE(error.find("port"), std::string::npos) << error;
    // TEST-NET-1: an address that is on no interface of this machine.
    error = second.Start("192.0.2.1:0");
    EXPECT_NE(error.find("192.0.2.1"), std::string::npos) << error;
    EXPECT_FALSE(second.IsRunning());
    EXPECT_NE(endpoint_->Start(":0").find("already listens"), std::string::npos);
}

// Clients that connect and send nothing, or ask and never read a large
// answer, occupy serving threads; publications go on regardless and the
// remaining threads still answer a scrape.
TEST_F(EndpointTest, ClientsThatNeverReadHoldUpNoPublication) {
    // About 10 MB: more than a socket's send buffer grows to (tcp_wmem's 4 MB),
    // so the answers to the clients below stay stuck in the server's writes.
    const auto large = Sized(16000), small = Sized(1);
    registry_->Publish(source_, large);
    std::vector<int> stuck;
    for (size_t i = 0; i < 3; ++i) {
        const int asks = ConnectSmallWindow(endpoint_->Port());
        ASSERT_GE(asks, 0);
        const std::string request = "GET /metrics HTTP/1.1\r\nHost: test\r\n\r\n";
        ASSERT_EQ(send(asks, request.data(), request.size(), 0),
                  static_cast<ssize_t>(request.size()));
        stuck.push_back(asks);
    }
    const int silent = ConnectSmallWindow(endpoint_->Port());
    ASSERT_GE(silent, 0);
    stuck.push_back(silent);
    std::this_thread::sleep_for(300ms);  // let the server start writing into the full windows

    auto publications = std::async(std::launch::async, [&] {
        for (int i = 0; i < 200; ++i) registry_->Publish(source_, i % 2 ? large : small);
        registry_->Publish(source_, small);
    });
    ASSERT_EQ(publications.wait_for(20s), std::future_status::ready)
        << "a publication waited for a stuck client";

    httplib::Client client = Client();
    auto fresh = client.Get("/metrics");
    ASSERT_TRUE(fresh) << httplib::to_string(fresh.error());
    EXPECT_EQ(fresh->status, 200);
    EXPECT_NE(fresh->body.find("server_9\","), std::string::npos);
    EXPECT_EQ(fresh->body.find("server_99\","), std::string::npos) << "the latest snapshot";
    for (int fd : stuck) close(fd);
    endpoint_->Stop();
    EXPECT_FALSE(endpoint_->IsRunning());
}

}  // namespace
}  // namespace metrics

namespace metrics {
namespace {

// Sends text; true when all of it went.
bool SendAll(int fd, const std::string& text) {
    return send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
}

// What the server sends until it closes, waiting at most limit in all.
std::string ReadToEnd(int fd, std::chrono::milliseconds limit, bool& closed) {
    timeval tv{0, 100 * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    const auto end = std::chrono::steady_clock::now() + limit;
    std::string all;
    closed = false;
    char buffer[65536];
    while (std::chrono::steady_clock::now() < end) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) all.append(buffer, static_cast<size_t>(n));
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            closed = true;
            break;
        }
    }
    return all;
}

class EndpointLimitTest : public EndpointTest {
  protected:
    void TearDown() override {
        for (int fd : held_) close(fd);
    }
    int Connect() {
        const int fd = ConnectSmallWindow(endpoint_->Port());
        EXPECT_GE(fd, 0);
        held_.push_back(fd);
        return fd;
    }
    std::vector<int> held_;
};

TEST_F(EndpointLimitTest, AScrapeAnswersAtOnceWhileTwoHundredIdleAndTricklingClientsAreHeld) {
    for (int i = 0; i < 200; ++i) {
        const int fd = Connect();
        if (i % 2 == 0) SendAll(fd, "GET /metr");  // a head that trickles
    }
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    auto answer = Client().Get("/metrics");
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 200);
    EXPECT_LT(took, 1s);
    EXPECT_LE(endpoint_->Connections(), MetricsEndpoint::kMaxConnections);
}

TEST_F(EndpointLimitTest, RefusedRequestsGetTheirStatusAndAreClosedAtOnce) {
    const std::pair<std::string, std::string> cases[] = {
        {"POST /metrics HTTP/1.1\r\nHost: a\r\n\r\n", "405"},
        {"GET /metrics HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello", "413"},
        {"GET /" + std::string(4096, 'u') + " HTTP/1.1\r\n\r\n", "414"},
        // A 16 MB header line: refused after its first kilobytes.
        {"GET /metrics HTTP/1.1\r\nX-Big: " + std::string(16 << 20, 'h'), "431"},
    };
    for (const auto& [request, status] : cases) {
        const int fd = Connect();
        SendAll(fd, request);  // the big one is cut short by the close
        bool closed = false;
        const auto started = std::chrono::steady_clock::now();
        const std::string answer = ReadToEnd(fd, 3s, closed);
        EXPECT_TRUE(closed) << status;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 1s) << status;
        EXPECT_EQ(answer.rfind("HTTP/1.1 " + status, 0), 0u) << answer.substr(0, 80);
    }
}

TEST_F(EndpointLimitTest, AHeadThatNeverEndsIsDroppedAfterTheHeadTime) {
    const int fd = Connect();
    SendAll(fd, "GET /metrics HTTP/1.1\r\n");
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 40; ++i) {  // a header byte every 100 ms
        if (!SendAll(fd, "X")) break;
        std::this_thread::sleep_for(100ms);
    }
    bool closed = false;
    ReadToEnd(fd, 2s, closed);
    EXPECT_TRUE(closed);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, MetricsEndpoint::kHeadTimeout - 200ms);
    EXPECT_LT(took, MetricsEndpoint::kHeadTimeout + 2s);
}

TEST_F(EndpointLimitTest, StopClosesEveryClientAtOnce) {
    registry_->Publish(source_, Sized(16000));
    for (int i = 0; i < 40; ++i) {
        const int fd = Connect();
        SendAll(fd, i % 2 ? "GET /metrics HTTP/1.1\r\n\r\n" : "GET /met");
    }
    std::this_thread::sleep_for(300ms);
    const auto started = std::chrono::steady_clock::now();
    endpoint_->Stop();
    // Bounded by the one answer being built at that moment, never by a client.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    bool closed = false;
    ReadToEnd(held_.back(), 1s, closed);
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace metrics
