// Host names to addresses: the overrides, literal addresses, and the time
// limit on a resolver that does not answer.
#include "client/HostResolver.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace rfclib {
namespace {

std::string Text(const in_addr& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// A resolver that answers only when released, and counts the names it was asked.
class HeldResolver {
  public:
    AddressLookup Lookup() {
        return [this](const std::string& name, in_addr& address) {
            std::unique_lock lock(mutex_);
            asked_ = name;
            released_.wait(lock, [this] { return release_; });
            address.s_addr = htonl(0x7f000009);
            answered_ = true;
            released_.notify_all();
            return 0;
        };
    }
    void ReleaseAndWait() {
        std::unique_lock lock(mutex_);
        release_ = true;
        released_.notify_all();
        released_.wait(lock, [this] { return answered_; });
    }
    std::string Asked() {
        std::lock_guard lock(mutex_);
        return asked_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false, answered_ = false;
    std::string asked_;
};

TEST(HostResolver, OverridesAndLiteralAddressesNeedNoResolver) {
    const std::map<std::string, std::string> overrides = {{"qashost1", "127.0.1.1"}};
    const AddressLookup never = [](const std::string&, in_addr&) -> int {
        ADD_FAILURE() << "the resolver was asked";
        return EAI_FAIL;
    };
    for (const char* host : {"qashost1", "QASHOST1", "qashost1.example.lan"}) {
        sockaddr_in out{};
        std::string error;
        ASSERT_TRUE(ResolveHost(host, 3300, overrides, 1000, out, error, never)) << error;
        EXPECT_EQ(Text(out.sin_addr), "127.0.1.1") << host;
        EXPECT_EQ(ntohs(out.sin_port), 3300);
    }
    sockaddr_in out{};
    std::string error;
    ASSERT_TRUE(ResolveHost("10.1.2.3", 3302, {}, 1000, out, error, never));
    EXPECT_EQ(Text(out.sin_addr), "10.1.2.3");
}

TEST(HostResolver, AnUnknownNameGivesTheResolversReason) {
    const AddressLookup unknown = [](const std::string&, in_addr&) { return EAI_NONAME; };
    sockaddr_in out{};
    std::string error;
    EXPECT_FALSE(ResolveHost("nohost", 3300, {}, 1000, out, error, unknown));
    EXPECT_EQ(error,
              std::string("host name 'nohost' unknown (") + ::gai_strerror(EAI_NONAME) + ")");
}

TEST(HostResolver, AResolverThatHangsIsGivenUpAfterTheLimit) {
    HeldResolver resolver;
    sockaddr_in out{};
    std::string error;
    EXPECT_FALSE(ResolveHost("slowhost", 3300, {}, 50, out, error, resolver.Lookup()));
    EXPECT_EQ(error, "host name 'slowhost' not resolved within 50 ms");
    EXPECT_EQ(resolver.Asked(), "slowhost");
    // The lookup ends in the background; its late answer goes nowhere.
    resolver.ReleaseAndWait();
    EXPECT_EQ(out.sin_addr.s_addr, 0u);
}

TEST(HostResolver, AnAnswerWithinTheLimitIsTaken) {
    const AddressLookup quick = [](const std::string&, in_addr& address) {
        address.s_addr = htonl(0x0a000001);
        return 0;
    };
    sockaddr_in out{};
    std::string error;
    ASSERT_TRUE(ResolveHost("quick", 3300, {}, 120000, out, error, quick)) << error;
    EXPECT_EQ(Text(out.sin_addr), "10.0.0.1");
}

TEST(HostResolver, TheSystemResolverKnowsLocalhost) {
    in_addr address{};
    ASSERT_EQ(SystemAddressLookup("localhost", address), 0);
    EXPECT_EQ(Text(address), "127.0.0.1");
}

}  // namespace
}  // namespace rfclib
