// Opening connections against the simulated system: logons accepted and
// refused, unreachable partners, routes, and what RfcIsValidHandleU says.
#include <cstring>
#include <thread>

#include "LiveSystem.h"
#include "platform/tests/support/Eventually.h"

namespace rfctest {
namespace {

using ClientLogon = LiveSystem;

TEST_F(ClientLogon, AcceptedLogonReportsThePartnersAttributes) {
    auto& system = Start();
    const RFC_HANDLE handle = Open(Logon(u"qashost2", u"02"));
    ASSERT_NE(handle, RFC_HANDLE_NULL);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_OK);
    RFC_ATTRIBUTES attributes;
    std::memset(&attributes, 0x55, sizeof attributes);
    ASSERT_EQ(RfcGetAttributesU(handle, &attributes), RFC_OK);
    EXPECT_EQ(std::u16string(attributes.partner_rel), u"700");
    EXPECT_EQ(std::u16string(attributes.sysid), u"QAS");
    EXPECT_EQ(std::u16string(attributes.partner_host), u"qashost2");
    EXPECT_EQ(std::u16string(attributes.systnr), u"02");
    EXPECT_EQ(std::u16string(attributes.client), u"100");
    EXPECT_EQ(std::u16string(attributes.language), u"E");
    EXPECT_EQ(std::u16string(attributes.partner_codepage), u"4103");
    RfcCloseU(handle);
    EXPECT_EQ(system.Counters().Snapshot().logons, 1u);
}

TEST_F(ClientLogon, CloseLogsOffBeforeTheLineGoes) {
    auto& system = Start();
    const RFC_HANDLE handle = Open();
    ASSERT_NE(handle, RFC_HANDLE_NULL);
    RfcCloseU(handle);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_INVALID_HANDLE);
    EXPECT_TRUE(testsupport::Eventually([&] { return system.Counters().Snapshot().logoffs == 1; }));
    EXPECT_EQ(system.Counters().Snapshot().protocolErrors, 0u);
}

// Each host has a loopback address of its own: servers of two hosts with
// the same system number are two partners.
TEST_F(ClientLogon, ServersOfTwoHostsMayShareASystemNumber) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers[1].host = "qashost3";
    scenario.servers[1].name = "qashost3_QAS_00";
    scenario.servers[1].systemNumber = 0;
    Start(scenario);
    EXPECT_NE(std::string(getenv("QUORVEL_RFC_HOSTS")).find("qashost3=127.0.0.2"),
              std::string::npos);
    for (const std::u16string host : {u"qashost1", u"qashost3", u"qashost2"}) {
        const RFC_HANDLE handle = Open(Logon(host, host == u"qashost2" ? u"02" : u"00"));
        ASSERT_NE(handle, RFC_HANDLE_NULL);
        RFC_ATTRIBUTES attributes{};
        ASSERT_EQ(RfcGetAttributesU(handle, &attributes), RFC_OK);
        EXPECT_EQ(std::u16string(attributes.partner_host), host);
        RfcCloseU(handle);
    }
}

TEST_F(ClientLogon, ASystemWithoutPartnerReleaseSendsAnEmptyOne) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.partnerRelease = "";
    scenario.release = "620";
    Start(scenario);
    const RFC_HANDLE handle = Open();
    RFC_ATTRIBUTES attributes{};
    ASSERT_EQ(RfcGetAttributesU(handle, &attributes), RFC_OK);
    EXPECT_EQ(attributes.partner_rel[0], 0);
    RfcCloseU(handle);
}

TEST_F(ClientLogon, RefusedLogonsAreGroup103WithTheSystemsText) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers[1].refuseLogons = true;
    auto& system = Start(scenario);
    struct Case {
        std::u16string connect;
        std::string text;
    } cases[] = {
        {Logon(u"qashost1", u"00", u"COLLECTOR", u"WRONG"), "Name or password is incorrect"},
        {Logon(u"qashost1", u"00", u"NOBODY", u"SECRET"), "Name or password is incorrect"},
        {Logon(u"qashost1", u"00", u"COLLECTOR", u""), "Name or password is incorrect"},
        {Logon(u"qashost1", u"00", u"LIMITED", u"LIMITED", u"000"), "Name or password"},
        {Logon(u"qashost1", u"00", u"COLLECTOR", u"SECRET", u"999"), "Client 999 is not available"},
        {Logon(u"qashost1", u"00", u"LOCKED", u"LOCKED"), "User is locked"},
        {Logon(u"qashost1", u"01"), "not possible at present"},
        {u"ASHOST=qashost1 SYSNR=00 CLIENT=100 USER=COLLECTOR PASSWD=SECRET LANG=XX",
         "Language XX"},
    };
    for (const Case& c : cases) {
        const RFC_ERROR_INFO_EX error = Refused(c.connect);
        EXPECT_EQ(error.group, RFC_ERROR_LOGON_FAILURE) << c.text;
        EXPECT_EQ(Key(error), u"RFC_ERROR_LOGON_FAILURE");
        EXPECT_NE(Message(error).find(c.text), std::string::npos) << Message(error);
        EXPECT_EQ(LastError().group, RFC_ERROR_LOGON_FAILURE);
    }
    EXPECT_EQ(system.Counters().Snapshot().refusedLogons, std::size(cases));
    EXPECT_EQ(system.Counters().Snapshot().logons, 0u);
    // Passwords and user names compare without regard to case.
    RfcCloseU(Open(Logon(u"qashost1", u"00", u"collector", u"secret")));
}

TEST_F(ClientLogon, APasswordWithBlanksAndQuotesTravelsIntact) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::UserSpec user = scenario.users.front();
    user.name = "SPACED";
    user.password = "S \"E=C";
    scenario.users.push_back(user);
    Start(scenario);
    RfcCloseU(Open(u"ASHOST=qashost1 SYSNR=00 CLIENT=100 USER=SPACED PASSWD=\"S \"\"E=C\" LANG=E"));
    // Cut at its blank, it is another password.
    const RFC_ERROR_INFO_EX refused =
        Refused(u"ASHOST=qashost1 SYSNR=00 CLIENT=100 USER=SPACED PASSWD=\"S\" LANG=E");
    EXPECT_EQ(refused.group, RFC_ERROR_LOGON_FAILURE);
}

TEST_F(ClientLogon, UnreachablePartnerIsACommunicationFailureNamingHostAndPort) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers[2].down = true;
    auto& system = Start(scenario);
    const std::string port = std::to_string(system.PortOf("qashost2_QAS_02"));
    RFC_ERROR_INFO_EX error = Refused(Logon(u"qashost2", u"02"));
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_EQ(Key(error), u"RFC_ERROR_COMMUNICATION");
    EXPECT_NE(Message(error).find("qashost2:" + port), std::string::npos) << Message(error);
    EXPECT_NE(Message(error).find("refused"), std::string::npos) << Message(error);

    error = Refused(Logon(u"nohost.invalid", u"00"));
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_NE(Message(error).find("nohost.invalid"), std::string::npos) << Message(error);
}

TEST_F(ClientLogon, MalformedConnectStringsAreProgramErrors) {
    Start();
    EXPECT_EQ(Refused(u"ASHOST=qashost1 CLIENT=100").group, RFC_ERROR_PROGRAM);
    EXPECT_EQ(Refused(u"ASHOST=/H/gw/S/port/H/x SYSNR=00").group, RFC_ERROR_PROGRAM);
    RFC_ERROR_INFO_EX error{};
    EXPECT_EQ(RfcOpenExU(nullptr, &error), RFC_HANDLE_NULL);
    EXPECT_EQ(error.group, RFC_ERROR_PROGRAM);
}

TEST_F(ClientLogon, DomainSuffixesAndRoutersReachTheServer) {
    auto& system = Start();
    RfcCloseU(Open(Logon(u"qashost1.lan", u"00")));
    // The route goes to the router's host and port, here the server of SYSNR 01.
    const std::u16string port =
        platform::FromUtf8(std::to_string(system.PortOf("qashost1_QAS_01")));
    const RFC_HANDLE handle = Open(Logon(u"/H/qashost1/S/" + port + u"/H/qashost2", u"02"));
    RFC_ATTRIBUTES attributes{};
    ASSERT_EQ(RfcGetAttributesU(handle, &attributes), RFC_OK);
    EXPECT_EQ(std::u16string(attributes.systnr), u"01");
    RfcCloseU(handle);
    // A router that is not there is named in the failure.
    const RFC_ERROR_INFO_EX error = Refused(Logon(u"/H/qashost2/S/1/H/qashost1", u"00"));
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_NE(Message(error).find("router 'qashost2:1'"), std::string::npos) << Message(error);
}

TEST_F(ClientLogon, HandleStatesMapToTheDocumentedCodes) {
    auto& system = Start();
    RFC_ERROR_INFO_EX error{};
    EXPECT_EQ(RfcIsValidHandleU(RFC_HANDLE_NULL, &error), RFC_NOT_OPEN);
    EXPECT_EQ(error.group, RFC_ERROR_HANDLE);
    EXPECT_EQ(RfcIsValidHandleU(987654, nullptr), RFC_INVALID_HANDLE);

    const RFC_HANDLE handle = Open();
    EXPECT_EQ(RfcIsValidHandleU(handle, &error), RFC_OK);
    RfcCloseU(handle);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_INVALID_HANDLE);
    RfcCloseU(handle);  // twice is harmless

    // The partner going away leaves a handle that is still to be closed.
    const RFC_HANDLE broken = Open();
    system.Stop();
    RFC_CHAR* exception = nullptr;
    EXPECT_NE(RfcCallReceiveU(broken, u"RFC_PING", nullptr, nullptr, nullptr, &exception), RFC_OK);
    EXPECT_EQ(RfcIsValidHandleU(broken, &error), RFC_CLOSED);
    EXPECT_EQ(error.group, RFC_ERROR_COMMUNICATION);
    EXPECT_EQ(RfcCallReceiveU(broken, u"RFC_PING", nullptr, nullptr, nullptr, &exception),
              RFC_CLOSED);
    RfcCloseU(broken);
    EXPECT_EQ(RfcIsValidHandleU(broken, nullptr), RFC_INVALID_HANDLE);
}

TEST_F(ClientLogon, LastErrorIsKeptPerThread) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers[2].down = true;
    Start(scenario);
    Refused(u"ASHOST=qashost1");
    int groupA = 0, groupB = 0;
    std::thread a([&] {
        Refused(Logon(u"qashost1", u"00", u"COLLECTOR", u"WRONG"));
        groupA = LastError().group;
    });
    a.join();
    std::thread b([&] {
        Refused(Logon(u"qashost2", u"02"));
        groupB = LastError().group;
    });
    b.join();
    EXPECT_EQ(groupA, RFC_ERROR_LOGON_FAILURE);
    EXPECT_EQ(groupB, RFC_ERROR_COMMUNICATION);
    EXPECT_EQ(LastError().group, RFC_ERROR_PROGRAM);
}

}  // namespace
}  // namespace rfctest
