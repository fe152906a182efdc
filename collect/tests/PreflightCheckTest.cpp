// The pre-flight check on the OMBRITH/QUILLET system: a standalone database
// server's system id is asked for over the open system connection, so its
// check passes as a start would, whether or not an earlier check failed.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>
#include <string>

#include "collect/PreflightCheck.h"
#include "platform/TextCodec.h"
#include "r3sim/Scenario.h"
#include "support/SimulatorSession.h"

namespace {

class PreflightCheckTest : public ::testing::Test {
  protected:
    // Each check's outcome by its name ("" when passed).
    std::map<std::string, std::string> Run(r3sim::Scenario scenario, bool& passed) {
        auto ids = systemIds_;
        SimulatorSession sim(std::move(scenario), 0, [ids](r3sim::ModuleRegistry& registry) {
            const r3sim::ModuleEntry spag = *registry.Find("GET_OMBRITH_SPAG_ALL");
            registry.Register("GET_OMBRITH_SPAG_ALL", *spag.interface,
                              [ids, spag](r3sim::CallContext& call) {
                                  ids->push_back(call.ImportInt(u"SYSTEM_ID", -1));
                                  spag.handler(call);
                              });
        });
        ConnectionSettings settings;
        settings.hostName = u"qbrsys1";
        settings.systemNumber = u"00";
        settings.client = u"100";
        settings.user = u"COLLECTOR";
        settings.password = u"SECRET";
        settings.language = u"EN";
        const ServerList servers = {
            MakeServerEntry(u"qbrsys1_QBR_00", u"qbrsys1", u"00", u"Dialog"),
            MakeServerEntry(u"qbrsys2_QBR_01", u"qbrsys2", u"01", u"Dialog")};
        const RemoteList remotes = {
            MakeRemoteEntry(u"SAPCCMSR.QBRDB.99", u"QBRDB", u"qbrsys1_QBR_00")};
        std::map<std::string, std::string> outcomes;
        CPreflightCheck check(settings, servers, remotes,
                              [&](std::u16string_view what, std::u16string_view failure) {
                                  outcomes[platform::ToUtf8(what)] = platform::ToUtf8(failure);
                              });
        passed = check.RunChecks();
        return outcomes;
    }
    static r3sim::Scenario Ombrith() {
        return r3sim::LoadScenarioFile(std::string(R3SIM_SCENARIO_DIR) + "/ombrith-quillet.json");
    }
    // I_SYSTEM_ID of every GET_OMBRITH_SPAG_ALL call.
    std::shared_ptr<std::vector<int64_t>> systemIds_ = std::make_shared<std::vector<int64_t>>();
};

const char kDatabaseCheck[] = "database server SAPCCMSR.QBRDB.99(QBRDB) through qbrsys1_QBR_00";

TEST_F(PreflightCheckTest, TheDatabaseServerPassesOverTheOpenSystemConnection) {
    bool passed = false;
    const auto outcomes = Run(Ombrith(), passed);
    ASSERT_EQ(outcomes.count(kDatabaseCheck), 1u);
    EXPECT_EQ(outcomes.at(kDatabaseCheck), "");
    EXPECT_TRUE(passed);
    // The system id from the system's member list, never a swallowed 0.
    EXPECT_EQ(*systemIds_, std::vector<int64_t>{3});
}

// A failing GET_CONFIG_DEFINED (the operating system is then taken from the
// database) changes neither the database server's outcome nor its system id.
TEST_F(PreflightCheckTest, TheOutcomeDoesNotDependOnAnEarlierFailure) {
    r3sim::Scenario scenario = Ombrith();
    r3sim::FaultSpec fault;
    fault.module = "GET_CONFIG_DEFINED";
    fault.action = r3sim::FaultAction::kRaise;
    fault.exception = "NOT_FOUND";
    scenario.faults.push_back(fault);
    bool withFault = false, without = false;
    const auto failing = Run(scenario, withFault);
    const auto clean = Run(Ombrith(), without);
    ASSERT_EQ(failing.count(kDatabaseCheck), 1u);
    EXPECT_EQ(failing.at(kDatabaseCheck), clean.at(kDatabaseCheck));
    EXPECT_EQ(failing.at(kDatabaseCheck), "");
    EXPECT_EQ(withFault, without);
    EXPECT_EQ(*systemIds_, (std::vector<int64_t>{3, 3}));
}

}  // namespace
