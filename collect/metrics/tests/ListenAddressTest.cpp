#include <gtest/gtest.h>

#include "collect/metrics/ListenAddress.h"

namespace metrics {
namespace {

TEST(ListenAddressTest, LoopbackUnlessAHostIsNamed) {
    std::string error;
    for (const char* spec : {"9464", ":9464"}) {
        const auto a = ParseListenAddress(spec, error);
        ASSERT_TRUE(a) << spec << ": " << error;
        EXPECT_EQ(a->host, "127.0.0.1") << spec;
        EXPECT_EQ(a->port, 9464) << spec;
    }
    auto a = ParseListenAddress("0.0.0.0:80", error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->host, "0.0.0.0");
    EXPECT_EQ(a->port, 80);
    a = ParseListenAddress("collector.example:0", error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->host, "collector.example");
    EXPECT_EQ(a->port, 0);
    a = ParseListenAddress("[::1]:65535", error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->host, "::1");
    EXPECT_EQ(a->port, 65535);
}

TEST(ListenAddressTest, BadSpecificationsSayWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "port"},      {"host:", "port"},   {"host:http", "port"},       {":65536", "port"},
        {":-1", "port"},   {"9464x", "port"},   {"::1:9464", "IPv6"},        {"[::1]9464", "[IPv6"},
        {"[::1", "[IPv6"}, {"[]:9464", "host"}, {"127.0.0.1:123456", "port"}};
    for (const auto& [spec, word] : cases) {
        std::string error;
        EXPECT_FALSE(ParseListenAddress(spec, error)) << spec;
        EXPECT_NE(error.find(word), std::string::npos) << spec << ": " << error;
        EXPECT_NE(error.find(std::string("\"") + spec + "\""), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace metrics
