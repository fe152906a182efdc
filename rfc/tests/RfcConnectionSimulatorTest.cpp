#include <gtest/gtest.h>

#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "rfc/RfcConnection.h"
#include "rfc/RfcException.h"
#include "support/SimulatorSession.h"

namespace {

std::u16string OpenFailure(CRfcConnection& c, int* group = nullptr) {
    try {
        c.CallRfcOpen();
    } catch (const CRfcException& e) {
        if (group != nullptr) *group = e.m_nGroup;
        return e.m_strMessage;
    }
    return u"opened";
}

TEST(RfcConnectionSimulatorTest, OpensPingsAndReadsTheSystemParameters) {
    SimulatorSession sim;
    CRfcConnection c;
    SimulatorSession::LogOn(c);
    c.CallRfcOpen();
    EXPECT_EQ(c.GetRelease(), 70);
    EXPECT_EQ(RfcIsValidHandleU(c.Handle(), nullptr), RFC_OK);
    c.CallRfcPing();
    EXPECT_EQ(sim.System().Counters().Calls("RFC_PING"), 1u);
    // The attributes carried the release, so the later steps were not needed.
    EXPECT_EQ(sim.System().Counters().Calls("RFC_GET_SAP_SYSTEM_PARAMETERS"), 0u);
    c.CallRfcGetSapSystemParameters();
    EXPECT_EQ(c.GetDateFormat(), u"DD.MM.YYYY");
    c.CloseConnection();
    EXPECT_EQ(c.Handle(), RFC_HANDLE_NULL);
}

TEST(RfcConnectionSimulatorTest, ReleaseFromEachOfTheThreeSteps) {
    r3sim::Scenario fromParameters = r3sim::DefaultScenario();
    fromParameters.partnerRelease = "";
    fromParameters.release = "620";
    {
        SimulatorSession sim(fromParameters);
        CRfcConnection c;
        SimulatorSession::LogOn(c);
        c.CallRfcOpen();
        EXPECT_EQ(c.GetRelease(), 62);
        EXPECT_EQ(sim.System().Counters().Calls("DB_DBSYS_RELEASE"), 0u);
    }
    r3sim::Scenario fromDatabase = fromParameters;
    fromDatabase.release = "";
    fromDatabase.database.release = "46C";
    {
        SimulatorSession sim(fromDatabase);
        CRfcConnection c;
        SimulatorSession::LogOn(c);
        c.CallRfcOpen();
        EXPECT_EQ(c.GetRelease(), 46);
        EXPECT_EQ(sim.System().Counters().Calls("DB_DBSYS_RELEASE"), 1u);
    }
}

TEST(RfcConnectionSimulatorTest, UnknownReleaseFailsWithTheProgramTextAndClosesTheHandle) {
    r3sim::Scenario old = r3sim::DefaultScenario();
    old.partnerRelease = "3.1";
    SimulatorSession sim(old);
    CRfcConnection c;
    SimulatorSession::LogOn(c);
    int group = -1;
    EXPECT_EQ(OpenFailure(c, &group),
              u"RFC Exception: CRfcConnection::GetRfcAttributes - cannot determine R/3 release.");
    EXPECT_EQ(group, 0);
    EXPECT_EQ(c.Handle(), RFC_HANDLE_NULL);
}

TEST(RfcConnectionSimulatorTest, WrongPasswordIsALogonFailureClosedPortACommunicationFailure) {
    SimulatorSession sim;
    CRfcConnection c;
    SimulatorSession::LogOn(c, u"COLLECTOR", u"WRONG");
    int group = 0;
    const std::u16string refused = OpenFailure(c, &group);
    EXPECT_EQ(group, 103);
    EXPECT_TRUE(refused.starts_with(u"RFC Exception: CRfcConnection::CallRfcOpen - RfcOpenEx(): "))
        << platform::FieldText(refused.data(), refused.size()).size();
    EXPECT_EQ(c.Handle(), RFC_HANDLE_NULL);

    SimulatorSession::LogOn(c, u"COLLECTOR", u"SECRET", u"qashost1", u"07");  // no server on 07
    const std::u16string unreachable = OpenFailure(c, &group);
    EXPECT_EQ(group, 102);
    const std::u16string port = platform::FromUtf8(std::to_string(sim.PortBase() + 7));
    EXPECT_NE(unreachable.find(port), std::u16string::npos) << platform::ToUtf8(unreachable);
}

TEST(RfcConnectionSimulatorTest, AuthorityChecks) {
    SimulatorSession sim;
    CRfcConnection c;
    SimulatorSession::LogOn(c, u"LIMITED", u"LIMITED");
    c.CallRfcOpen();

    // An object the system does not know is not checked at all.
    c.CallAuthorityCheck(u"S_LOG_COM", u"COMMAND", u"*", u"OPSYSTEM", u"*", u"HOST", u"*");
    EXPECT_EQ(sim.System().Counters().Calls("OBJECT_EXISTS"), 1u);
    EXPECT_EQ(sim.System().Counters().Calls("AUTHORITY_CHECK"), 0u);

    c.CallAuthorityCheck(u"S_RFC", u"RFC_TYPE", u"FUGR", u"RFC_NAME", u"SDTX", u"ACTVT", u"16");
    EXPECT_EQ(sim.System().Counters().Calls("AUTHORITY_CHECK"), 1u);

    try {
        c.CallAuthorityCheck(u"S_RFC", u"RFC_TYPE", u"FUGR", u"RFC_NAME", u"THFB", u"ACTVT", u"16");
        FAIL() << "a missing authorisation passed";
    } catch (const CRfcException& e) {
        EXPECT_EQ(e.m_nGroup, 0);
        EXPECT_TRUE(e.m_strMessage.starts_with(
            u"RFC Exception: CRfcConnection::CallAuthorityCheck - RfcCallReceive("))
            << platform::ToUtf8(e.m_strMessage);
        EXPECT_TRUE(e.m_strMessage.ends_with(
            u" - Object: S_RFC, RFC_TYPE: FUGR, RFC_NAME: THFB, ACTVT: 16)"))
            << platform::ToUtf8(e.m_strMessage);
    }
}

}  // namespace
