// Opening, inspecting, pinging, cancelling and closing connections through
// the SDK's interface against the simulated system.
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <thread>

#include "SdkSystem.h"

namespace nwsimtest {
namespace {

using namespace nwrfc;

class SdkConnection : public SdkSystem {};

template <size_t N>
bool Terminated(const SAP_UC (&field)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (field[i] == 0) return true;
    return false;
}

TEST_F(SdkConnection, AttributesComeFromTheLogonAndAreTerminated) {
    Start();
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ATTRIBUTES a;
    std::memset(&a, 0x7F, sizeof a);
    RFC_ERROR_INFO error{};
    ASSERT_EQ(RfcGetConnectionAttributes(handle, &a, &error), RFC_OK);
    EXPECT_EQ(error.code, RFC_OK);
    EXPECT_EQ(std::u16string(a.sysId), u"QAS");
    EXPECT_EQ(std::u16string(a.sysNumber), u"00");
    EXPECT_EQ(std::u16string(a.client), u"100");
    EXPECT_EQ(std::u16string(a.user), u"COLLECTOR");
    EXPECT_EQ(std::u16string(a.language).size(), 1u);
    EXPECT_EQ(std::u16string(a.codepage), u"4103");
    EXPECT_EQ(std::u16string(a.partnerCodepage), u"4103");
    EXPECT_EQ(std::u16string(a.rfcRole), u"C");
    EXPECT_EQ(std::u16string(a.type), u"E");
    EXPECT_EQ(std::u16string(a.partnerType), u"3");
    EXPECT_EQ(std::u16string(a.partnerRel), u"700");
    EXPECT_EQ(std::u16string(a.partnerBytesPerChar), u"2");
    EXPECT_TRUE(Terminated(a.dest) && Terminated(a.host) && Terminated(a.partnerHost) &&
                Terminated(a.cpicConvId) && Terminated(a.progName) &&
                Terminated(a.partnerIP) && Terminated(a.partnerIPv6) && Terminated(a.kernelRel));
    EXPECT_EQ(RfcCloseConnection(handle, &error), RFC_OK);
}

TEST_F(SdkConnection, RefusedLogonAndUnreachableServerAreTheirOwnGroups) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers[2].down = true;
    Start(scenario);
    RFC_ERROR_INFO error{};
    EXPECT_EQ(OpenWith(Collector().Set(u"PASSWD", u"WRONG"), error), nullptr);
    EXPECT_EQ(error.code, RFC_LOGON_FAILURE);
    EXPECT_EQ(error.group, LOGON_FAILURE);
    EXPECT_EQ(Key(error), u"RFC_LOGON_FAILURE");
    EXPECT_NE(Text(error.message).find("Name or password"), std::string::npos);

    EXPECT_EQ(OpenWith(Collector(u"qashost2", u"02"), error), nullptr);
    EXPECT_EQ(error.code, RFC_COMMUNICATION_FAILURE);
    EXPECT_EQ(error.group, COMMUNICATION_FAILURE);
    EXPECT_EQ(Key(error), u"RFC_COMMUNICATION_FAILURE");
    EXPECT_NE(Text(error.message).find("qashost2"), std::string::npos) << Text(error.message);
}

TEST_F(SdkConnection, ParametersAreCheckedByName) {
    Start();
    RFC_ERROR_INFO error{};
    EXPECT_EQ(OpenWith(Collector().Set(u"MSHOST", u"x"), error), nullptr);
    EXPECT_EQ(error.code, RFC_INVALID_PARAMETER);
    EXPECT_EQ(error.group, EXTERNAL_RUNTIME_FAILURE);
    EXPECT_NE(Text(error.message).find("MSHOST"), std::string::npos);
    EXPECT_EQ(OpenWith(Collector().Set(u"snc_mode", u"1"), error), nullptr);
    EXPECT_NE(Text(error.message).find("SNC"), std::string::npos);
    EXPECT_EQ(OpenWith(Collector().Set(u"sysnr", u"1x"), error), nullptr);
    EXPECT_EQ(error.code, RFC_INVALID_PARAMETER);
    Logon noHost = Collector();
    noHost.pairs.erase(noHost.pairs.begin());
    EXPECT_EQ(OpenWith(noHost, error), nullptr);
    EXPECT_NE(Text(error.message).find("ASHOST"), std::string::npos);
    // Accepted without effect.
    RFC_CONNECTION_HANDLE handle = Connect(Collector()
                                               .Set(u"SNC_MODE", u"0")
                                               .Set(u"trace", u"2")
                                               .Set(u"cpic_keepalive", u"60")
                                               .Set(u"snc_partnername", u"p:CN=QAS"));
    EXPECT_EQ(RfcCloseConnection(handle, nullptr), RFC_OK);
}

TEST_F(SdkConnection, PingValidityAndCloseFollowTheHandle) {
    auto& system = Start();
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO error{};
    int valid = -1;
    EXPECT_EQ(RfcIsConnectionHandleValid(handle, &valid, &error), RFC_OK);
    EXPECT_EQ(valid, 1);
    EXPECT_EQ(RfcPing(handle, &error), RFC_OK);
    EXPECT_EQ(system.Counters().Calls("RFC_PING"), 1u);
    EXPECT_EQ(RfcCloseConnection(handle, &error), RFC_OK);
    EXPECT_EQ(RfcIsConnectionHandleValid(handle, &valid, &error), RFC_INVALID_HANDLE);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(RfcPing(handle, &error), RFC_INVALID_HANDLE);
    EXPECT_EQ(error.code, RFC_INVALID_HANDLE);
    EXPECT_EQ(RfcCloseConnection(handle, &error), RFC_INVALID_HANDLE);
    EXPECT_EQ(RfcIsConnectionHandleValid(nullptr, &valid, &error), RFC_INVALID_HANDLE);
}

TEST_F(SdkConnection, CancelFromAnotherThreadEndsTheCallAndClosesTheConnection) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::FaultSpec hang;
    hang.module = "RFC_PING";
    hang.action = r3sim::FaultAction::kHang;
    scenario.faults.push_back(hang);
    Start(scenario);
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "20000", 1);  // bounds the test if cancel fails
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO pingError{};
    RFC_RC pinged = RFC_OK;
    const auto start = std::chrono::steady_clock::now();
    std::thread caller([&] { pinged = RfcPing(handle, &pingError); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    RFC_ERROR_INFO error{};
    EXPECT_EQ(RfcCancel(handle, &error), RFC_OK);
    caller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(pinged, RFC_CANCELED);
    EXPECT_EQ(pingError.code, RFC_CANCELED);
    int valid = -1;
    EXPECT_EQ(RfcIsConnectionHandleValid(handle, &valid, &error), RFC_INVALID_HANDLE);
    EXPECT_EQ(valid, 0);
}

TEST_F(SdkConnection, VersionCodeNamesAndUnsupportedFunctions) {
    unsigned major = 0, minor = 9, patch = 0;
    const std::string text = Text(RfcGetVersion(&major, &minor, &patch));
    EXPECT_EQ(major, 7500u);
    EXPECT_EQ(minor, 0u);
    EXPECT_NE(text.find("r3sim"), std::string::npos);
    EXPECT_EQ(std::u16string(RfcGetRcAsString(RFC_TABLE_MOVE_EOF)), u"RFC_TABLE_MOVE_EOF");
    EXPECT_EQ(std::u16string(RfcGetRcAsString(RFC_LOCKING_FAILURE)), u"RFC_LOCKING_FAILURE");
    EXPECT_EQ(std::u16string(RfcGetRcAsString(static_cast<RFC_RC>(999))), u"RFC_UNKNOWN_ERROR");

    RFC_ERROR_INFO error{};
    EXPECT_EQ(RfcSetIniPath(u"/etc", &error), RFC_NOT_SUPPORTED);
    EXPECT_EQ(error.code, RFC_NOT_SUPPORTED);
    EXPECT_EQ(Key(error), u"RFC_NOT_SUPPORTED");
    error = {};
    RFC_TID tid = u"";
    EXPECT_EQ(RfcCreateTransaction(nullptr, tid, nullptr, &error), nullptr);
    EXPECT_EQ(error.code, RFC_NOT_SUPPORTED);
    EXPECT_EQ(RfcListenAndDispatch(nullptr, 1, nullptr), RFC_NOT_SUPPORTED);
}

}  // namespace
}  // namespace nwsimtest
