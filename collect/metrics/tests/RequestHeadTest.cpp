// The request head's limits: each refusal comes as soon as its limit is
// passed, with its status; a good head is read however it is cut.
#include <gtest/gtest.h>

#include "collect/metrics/RequestHead.h"

namespace metrics {
namespace {

using State = RequestHead::State;

TEST(RequestHeadTest, AHeadCutAnywhereGivesTheSameRequest) {
    const std::string head =
        "GET /metrics?x=1 HTTP/1.1\r\nHost: a\r\nAccept: application/openmetrics-text\r\n\r\n";
    for (size_t cut = 0; cut <= head.size(); ++cut) {
        RequestHead parsed;
        EXPECT_EQ(parsed.Feed(head.substr(0, cut)),
                  cut == head.size() ? State::kComplete : State::kIncomplete);
        EXPECT_EQ(parsed.Feed(head.substr(cut)), State::kComplete) << cut;
        EXPECT_EQ(parsed.Method(), "GET");
        EXPECT_EQ(parsed.Path(), "/metrics");
        EXPECT_EQ(parsed.Accept(), "application/openmetrics-text");
    }
    RequestHead bare;
    EXPECT_EQ(bare.Feed("HEAD / HTTP/1.0\n\n"), State::kComplete);
    EXPECT_FALSE(bare.KeepAlive());
}

TEST(RequestHeadTest, OnlyHttp11WithoutCloseKeepsTheConnection) {
    RequestHead kept, closed;
    ASSERT_EQ(kept.Feed("GET /metrics HTTP/1.1\r\nConnection: keep-alive\r\n\r\n"),
              State::kComplete);
    EXPECT_TRUE(kept.KeepAlive());
    ASSERT_EQ(closed.Feed("GET /metrics HTTP/1.1\r\nConnection: Close\r\n\r\n"),
              State::kComplete);
    EXPECT_FALSE(closed.KeepAlive());
}

TEST(RequestHeadTest, EachLimitRefusesWithItsStatusAtOnce) {
    struct Case {
        std::string bytes;
        int status;
    };
    const std::string filler(100, 'a');
    std::string manyLines = "GET /metrics HTTP/1.1\r\n";
    for (size_t i = 0; i < RequestHead::kMaxLines; ++i) manyLines += "X-" + std::to_string(i) + ": 1\r\n";
    const Case cases[] = {
        {"POST /metrics HTTP/1.1\r\n", 405},
        {"GET /" + std::string(RequestHead::kMaxTargetBytes + 100, 'u'), 414},
        {"GET /metrics HTTP/1.1\r\nX: " + std::string(RequestHead::kMaxBytes, 'h'), 431},
        {manyLines, 431},
        {"GET /metrics HTTP/1.1\r\nContent-Length: 10\r\n", 413},
        {"GET /metrics HTTP/1.1\r\nTransfer-Encoding: chunked\r\n", 413},
        {"GET metrics HTTP/1.1\r\n", 400},
        {"GET /metrics SPDY/3\r\n", 400},
        {"GET /metrics HTTP/1.1\r\nno colon\r\n", 400},
    };
    for (const Case& c : cases) {
        RequestHead head;
        // Refused without the blank line that would end the head.
        EXPECT_EQ(head.Feed(c.bytes), State::kRefused) << c.bytes.substr(0, 60);
        EXPECT_EQ(head.Status(), c.status) << c.bytes.substr(0, 60);
        EXPECT_EQ(head.Feed("\r\n\r\n"), State::kRefused);
    }
    RequestHead zero;
    EXPECT_EQ(zero.Feed("GET /metrics HTTP/1.1\r\nContent-Length: 0\r\n\r\n"), State::kComplete);
}

}  // namespace
}  // namespace metrics
