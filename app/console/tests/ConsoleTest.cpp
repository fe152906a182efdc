// The headless front end: its command line, the values it stores for the
// wizard, and the unattended wizard with database servers given on the
// command line, against the in-process simulated system.
#include <cstdio>

#include "WizardTestSupport.h"
#include "app/console/ConsoleOptions.h"
#include "app/console/ConsoleUserInterface.h"
#include "collect/ConnectionSettings.h"
#include "collect/ServerList.h"
#include "rfc/RfcConnection.h"
#include "rfc/tests/support/SimulatorSession.h"

namespace wizardtest {
namespace {

bool Parse(std::vector<const char*> args, ConsoleOptions& options, std::string& error) {
    args.insert(args.begin(), "quorvel-console");
    return ParseConsoleOptions(static_cast<int>(args.size()), args.data(), options, error);
}

std::string Refusal(std::vector<const char*> args) {
    ConsoleOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, options, error));
    return error;
}

TEST(ConsoleOptionsTest, EveryValueIsTakenAndTheDatabaseServersInOrder) {
    ConsoleOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--host", "qashost2", "--system-number", "02", "--client", "100", "--user",
                       "collector", "--language", "DE", "--data-dir", "/tmp/d", "--minutes", "20",
                       "--database", "QASDB", "--database", "CLV,SYSA,qashost1_QAS_01",
                       "--prefill-simulator"},
                      o, error))
        << error;
    EXPECT_EQ(o.host, u"qashost2");
    EXPECT_EQ(o.systemNumber, u"02");
    EXPECT_EQ(o.client, u"100");
    EXPECT_EQ(o.user, u"collector");
    EXPECT_EQ(o.language, u"DE");
    EXPECT_EQ(o.dataDirectory, u"/tmp/d");
    EXPECT_EQ(o.runSeconds, 1200);
    EXPECT_TRUE(o.prefillSimulator);
    ASSERT_EQ(o.databases.size(), 2u);
    EXPECT_EQ(o.databases[0].destination, u"QASDB");
    EXPECT_TRUE(o.databases[0].gateway.empty());
    EXPECT_EQ(o.databases[1].system, u"SYSA");
    EXPECT_EQ(o.databases[1].gateway, u"qashost1_QAS_01");
}

TEST(ConsoleOptionsTest, BadValuesAndThePasswordAreRefusedWithTheReason) {
    EXPECT_NE(Refusal({"--password", "secret"}).find("QUORVEL_PASSWORD"), std::string::npos);
    EXPECT_NE(Refusal({"--password=secret"}).find("QUORVEL_PASSWORD"), std::string::npos);
    EXPECT_EQ(Refusal({"--system-number", "7"}), "--system-number takes two digits");
    EXPECT_EQ(Refusal({"--client", "1a0"}), "--client takes three digits");
    EXPECT_EQ(Refusal({"--minutes", "-3"}), "--minutes takes a whole number, not -3");
    EXPECT_EQ(Refusal({"--seconds", "99999999999"}).substr(0, 9), "--seconds");
    EXPECT_EQ(Refusal({"--host"}), "--host needs a value");
    EXPECT_EQ(Refusal({"--host", ""}), "--host needs a value");
    EXPECT_EQ(Refusal({"--colour", "red"}), "unknown option --colour");
    EXPECT_EQ(Refusal({"stray"}), "unknown argument stray");
    EXPECT_EQ(Refusal({"--database", ",SYS"}).substr(0, 10), "--database");
    EXPECT_EQ(Refusal({"--database", "A,B,C,D"}).substr(0, 10), "--database");
}

class ConsoleTest : public WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        ::unsetenv("QUORVEL_PASSWORD");
        out_ = std::tmpfile();
        ASSERT_NE(out_, nullptr);
    }
    void TearDown() override {
        ::unsetenv("QUORVEL_PASSWORD");
        std::fclose(out_);
        WizardTest::TearDown();
    }
    std::string Output() {
        std::string text(4096, '\0');
        std::rewind(out_);
        text.resize(std::fread(text.data(), 1, text.size(), out_));
        return text;
    }
    std::string Stored(std::u16string_view section, std::u16string_view key) {
        return platform::ToUtf8(Store().GetString(section, key));
    }
    // The values of a run against the default scenario.
    ConsoleOptions Logon() {
        ConsoleOptions o;
        o.host = u"qashost1";
        o.systemNumber = u"00";
        o.client = u"100";
        o.user = u"collector";
        return o;
    }
    // Those values and a password stored, as the front end does before the wizard.
    void StoreLogon() {
        ::setenv("QUORVEL_PASSWORD", "secret", 1);
        settings::SettingsStore store = Store();
        std::u16string error;
        ASSERT_TRUE(ApplyConsoleOptions(Logon(), store, error)) << platform::ToUtf8(error);
    }
    struct WizardRun {
        bool finished = false;
        ConnectionSettings settings;
        std::vector<tagSERVERLIST> servers;
        std::vector<tagREMOTELIST> remotes;
    };
    // The unattended wizard with the stored values and these database servers.
    WizardRun RunWizard(std::vector<ConsoleDatabaseServer> databases = {}) {
        CConsoleUserInterface ui(out_);
        ui.SetDatabaseServers(std::move(databases));
        WizardRun run;
        run.finished = ui.RunConnectionWizard(run.settings, run.servers, run.remotes);
        return run;
    }

    std::FILE* out_ = nullptr;
};

TEST_F(ConsoleTest, GivenValuesReplaceTheStoredOnesAndThePasswordComesScrambled) {
    settings::SettingsStore store = Store();
    ASSERT_TRUE(store.SetStrings(u"Logon", {{u"HostName", u"old"}, {u"Language", u"DE"}}));
    ConsoleOptions o;
    o.host = u"qashost2";
    o.dataDirectory = platform::FromUtf8(root_ + "/data");
    ::setenv("QUORVEL_PASSWORD", "Secret", 1);
    std::u16string error;
    ASSERT_TRUE(ApplyConsoleOptions(o, store, error)) << platform::ToUtf8(error);
    EXPECT_EQ(Stored(u"Logon", u"HostName"), "qashost2");
    EXPECT_EQ(Stored(u"Logon", u"Language"), "DE");  // not given: kept
    EXPECT_EQ(Stored(u"Data", u"Path"), root_ + "/data");
    std::u16string scrambled = u"Secret";
    CRfcConnection().ScramblePassword(scrambled);
    EXPECT_EQ(Store().GetString(u"Logon", u"Password"), scrambled);
    // Not a terminal: nothing is asked and the stored password stays.
    EXPECT_TRUE(PromptForMissingPassword(store, error));
    EXPECT_EQ(Store().GetString(u"Logon", u"Password"), scrambled);
}

TEST_F(ConsoleTest, TheUnattendedWizardEntersTheGivenDatabaseServers) {
    SimulatorSession sim;
    StoreLogon();
    const WizardRun run =
        RunWizard({{u"qasdb_sapccmsr", u"", u""}, {u"CLV", u"sysa", u"qashost2_QAS_02"}});
    ASSERT_TRUE(run.finished) << Output();
    EXPECT_EQ(run.settings.user, u"COLLECTOR");
    EXPECT_EQ(run.settings.password, u"SECRET");
    EXPECT_EQ(run.servers.size(), 3u);
    ASSERT_EQ(run.remotes.size(), 2u);
    EXPECT_EQ(RemoteDestination(run.remotes[0]), u"QASDB_SAPCCMSR");
    EXPECT_EQ(RemoteGateway(run.remotes[0]), u"qashost1_QAS_00");  // the first server
    EXPECT_EQ(RemoteSystem(run.remotes[1]), u"SYSA");
    EXPECT_EQ(RemoteGateway(run.remotes[1]), u"qashost2_QAS_02");
    EXPECT_EQ(Stored(u"QAS", u"Destination1"), "QASDB_SAPCCMSR");
    EXPECT_EQ(Stored(u"QAS", u"Gateway2"), "qashost2_QAS_02");
    EXPECT_EQ(Stored(u"QAS", u"Destination3"), "");
}

TEST_F(ConsoleTest, MoreDatabaseServersThanRowsCancelTheWizardWithTheReason) {
    SimulatorSession sim;
    StoreLogon();
    const WizardRun run =
        RunWizard({{u"A", u"", u""}, {u"B", u"", u""}, {u"C", u"", u""}, {u"D", u"", u""}});
    EXPECT_FALSE(run.finished);
    EXPECT_NE(Output().find("4 standalone database servers given; the system has 3 application "
                            "servers."),
              std::string::npos)
        << Output();
    EXPECT_TRUE(run.remotes.empty());
}

// What a new user of the simulated system finds stored, and what a second
// run leaves alone.
TEST_F(ConsoleTest, PrefilledValuesGiveAWizardThatFinishesWithTheDatabaseServer) {
    SimulatorSession sim;
    settings::SettingsStore store = Store();
    std::u16string error;
    ASSERT_TRUE(PrefillSimulatorSettings(store, error)) << platform::ToUtf8(error);
    const WizardRun run = RunWizard();
    ASSERT_TRUE(run.finished) << Output();
    EXPECT_EQ(run.settings.systemId, u"QAS");
    ASSERT_EQ(run.remotes.size(), 1u);
    EXPECT_EQ(RemoteDestination(run.remotes[0]), u"QASDB_SAPCCMSR");
    EXPECT_EQ(RemoteGateway(run.remotes[0]), u"qashost1_QAS_00");

    ASSERT_TRUE(store.SetStrings(u"Logon", {{u"HostName", u"qashost2"}}));
    ASSERT_TRUE(store.SetStrings(u"QAS", {{u"Destination1", u""}}));
    ASSERT_TRUE(PrefillSimulatorSettings(store, error));
    EXPECT_EQ(Stored(u"Logon", u"HostName"), "qashost2");
    EXPECT_EQ(Stored(u"QAS", u"Destination1"), "");
}

}  // namespace
}  // namespace wizardtest
