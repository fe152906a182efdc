// Reading scenarios: the embedded default, and the refusals that name what
// is wrong.
#include <gtest/gtest.h>

#include "r3sim/Scenario.h"
#include "r3sim/ServerPresence.h"

namespace r3sim {
namespace {

std::string RefusalOf(const std::string& json) {
    try {
        ParseScenario(json);
    } catch (const ScenarioError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(Scenario, DefaultDescribesAUnicodeSystemWithThreeServersOnTwoHosts) {
    const Scenario s = DefaultScenario();
    EXPECT_EQ(s.systemId, "QAS");
    EXPECT_EQ(s.partnerRelease, "700");
    EXPECT_TRUE(s.unicode);
    ASSERT_EQ(s.servers.size(), 3u);
    EXPECT_EQ(s.servers[0].name, "qashost1_QAS_00");
    EXPECT_EQ(s.servers[2].host, "qashost2");
    EXPECT_FALSE(s.users.empty());
    EXPECT_FALSE(s.missingObjects.empty());
}

TEST(Scenario, MembersFallBackToDefaultsAndNamesAreDerived) {
    const Scenario s = ParseScenario(R"({
        "systemId": "PRD", "release": "620",
        "servers": [{ "host": "p1", "systemNumber": 4 }],
        "faults": [{ "module": "RFC_PING", "action": "raise", "exception": "BUSY" }]
    })");
    EXPECT_EQ(s.partnerRelease, "620");  // follows the release when not given
    EXPECT_EQ(s.servers[0].name, "p1_PRD_04");
    EXPECT_EQ(s.faults[0].action, FaultAction::kRaise);
    EXPECT_EQ(s.languages, std::vector<std::string>{"EN"});
}

TEST(Scenario, MistakesAreNamed) {
    const std::string server = R"("servers": [{ "host": "h", "systemNumber": 0 }])";
    EXPECT_NE(RefusalOf("{").find("not valid JSON"), std::string::npos);
    EXPECT_NE(RefusalOf("[]").find("must be an object"), std::string::npos);
    EXPECT_NE(RefusalOf("{" + server + R"(, "sytemId": "X"})").find("sytemId"), std::string::npos);
    EXPECT_NE(RefusalOf("{}").find("at least one application server"), std::string::npos);
    EXPECT_NE(RefusalOf(R"({"servers": [{ "host": "h" }, { "host": "H", "name": "x" }]})")
                  .find("used twice on host H"),
              std::string::npos);
    EXPECT_NE(RefusalOf("{" + server + R"(, "faults": [{ "action": "drop" }]})")
                  .find("one of module and structure"),
              std::string::npos);
    EXPECT_NE(RefusalOf(R"({"servers": [{ "host": "h", "systemNumber": 100 }]})").find("between"),
              std::string::npos);
    EXPECT_NE(RefusalOf("{" + server + R"(, "faults": [{ "module": "M", "action": "explode" }]})")
                  .find("explode"),
              std::string::npos);
    EXPECT_NE(RefusalOf("{" + server + R"(, "faults": [{ "module": "M", "action": "raise" }]})")
                  .find("needs an exception"),
              std::string::npos);
    EXPECT_NE(RefusalOf("{" + server + R"(, "users": [{ "name": "U", "locked": "yes" }]})")
                  .find("users[U].locked"),
              std::string::npos);
    EXPECT_NE(RefusalOf("{" + server + R"(, "languages": ["ENG"]})").find("ENG"),
              std::string::npos);
    EXPECT_THROW(LoadScenarioFile("/nonexistent/scenario.json"), ScenarioError);
}

// Each host listens on its own loopback address, so servers of different
// hosts may share a system number, as in real systems.
TEST(Scenario, EveryHostHasItsOwnLoopbackAddress) {
    std::string servers;
    for (int i = 1; i <= 300; ++i)
        servers += (i > 1 ? "," : "") + std::string(R"({ "host": "h)") + std::to_string(i) +
                   R"(", "systemNumber": 0 }, { "host": "H)" + std::to_string(i) +
                   R"(", "systemNumber": 1 })";
    const Scenario s = ParseScenario(R"({"servers": [)" + servers + "]}");
    ASSERT_EQ(s.servers.size(), 600u);
    EXPECT_EQ(LoopbackAddress(s, "h1"), "127.0.0.1");
    EXPECT_EQ(LoopbackAddress(s, "H1"), "127.0.0.1");  // host names ignore case
    EXPECT_EQ(LoopbackAddress(s, "h2"), "127.0.0.2");
    EXPECT_EQ(LoopbackAddress(s, "h254"), "127.0.0.254");
    EXPECT_EQ(LoopbackAddress(s, "h255"), "127.0.1.1");
    EXPECT_EQ(LoopbackAddress(s, "h300"), "127.0.1.46");
    EXPECT_EQ(LoopbackAddress(s, "qasdb"), "");
    const Scenario standard = DefaultScenario();
    EXPECT_EQ(LoopbackAddress(standard, "qashost1"), "127.0.0.1");
    EXPECT_EQ(LoopbackAddress(standard, "qashost2"), "127.0.0.2");
}

TEST(Scenario, ServersMayJoinAndLeaveAndSetTheirWorkload) {
    const Scenario s = ParseScenario(R"({
        "servers": [{ "host": "a", "systemNumber": 0, "dialogStepsPerMinute": 1500.5 },
                    { "host": "b", "systemNumber": 1, "joinsAfterMinutes": 5,
                      "leavesAfterMinutes": 20 }]
    })");
    EXPECT_EQ(s.servers[0].dialogStepsPerMinute, 1500.5);
    EXPECT_FALSE(s.servers[1].dialogStepsPerMinute);
    EXPECT_EQ(s.servers[1].joinsAfterMinutes, 5);
    EXPECT_EQ(s.servers[1].leavesAfterMinutes, 20);
    const std::string window = R"({"servers": [{ "host": "h", "joinsAfterMinutes": 5, )";
    EXPECT_NE(RefusalOf(window + R"("leavesAfterMinutes": 5 }]})").find("must be after"),
              std::string::npos);
    EXPECT_NE(RefusalOf(R"({"servers": [{ "host": "h", "dialogStepsPerMinute": "many" }]})")
                  .find("dialogStepsPerMinute"),
              std::string::npos);
    EXPECT_NE(
        RefusalOf(R"({"servers": [{ "host": "h", "dialogStepsPerMinute": -1 }]})").find("between"),
        std::string::npos);
}

TEST(ServerPresenceTest, InServiceInsideItsWindowOnly) {
    using std::chrono::minutes;
    const platform::TimePoint start{std::chrono::hours(1000)};
    const ServerPresence presence(start);
    ServerSpec always, window, down;
    window.joinsAfterMinutes = 5;
    window.leavesAfterMinutes = 20;
    down.down = true;
    EXPECT_TRUE(presence.InService(always, start));
    EXPECT_FALSE(presence.InService(window, start + minutes(5) - std::chrono::seconds(1)));
    EXPECT_TRUE(presence.InService(window, start + minutes(5)));
    EXPECT_TRUE(presence.InService(window, start + minutes(20) - std::chrono::seconds(1)));
    EXPECT_FALSE(presence.InService(window, start + minutes(20)));
    EXPECT_FALSE(presence.InService(down, start));
    EXPECT_FALSE(ServerPresence::HasWindow(always));
    EXPECT_TRUE(ServerPresence::HasWindow(window));
    EXPECT_FALSE(ServerPresence::HasWindow(down));
}

}  // namespace
}  // namespace r3sim
