// What the wizard's steps decide, through a face that records what it is
// asked: no widgets, no system (the refusals come before any logon).
#include <utility>
#include <vector>

#include "collect/ServerList.h"
#include "platform/TextCodec.h"
#include "wizard/logic/DatabaseServerStep.h"
#include "wizard/logic/DirectoryStep.h"
#include "wizard/logic/LogonStep.h"
#include "wizard/settings/tests/ScratchSettings.h"

namespace {

namespace fs = std::filesystem;

class RecordingFace : public IWizardFace {
  public:
    bool TakeInput() override { return takes; }
    void Focus(WizardField field, int row) override { focus.emplace_back(field, row); }
    void Refuse(std::u16string_view text, RefusalKind kind) override {
        refusals.emplace_back(platform::ToUtf8(text), kind);
    }
    std::string Last() const { return refusals.empty() ? "" : refusals.back().first; }

    bool takes = true;
    std::vector<std::pair<WizardField, int>> focus;
    std::vector<std::pair<std::string, RefusalKind>> refusals;
};

using WizardLogicTest = settingstest::ScratchSettings;

// A value put into one logon field, and the refusal and focus it must give
// (no text: the value is taken and the next check is the one that refuses).
struct LogonValue {
    std::u16string CLogonStep::*field;
    std::u16string value;
    const char* text;
    WizardField focus;
};

void ExpectRefusal(CLogonStep& logon, RecordingFace& face, const LogonValue& v) {
    face.focus.clear();
    EXPECT_FALSE(logon.ProveLogon(u"Test::Logon"));
    EXPECT_EQ(face.Last(), std::string("Collector Exception: ") + v.text);
    EXPECT_EQ(face.refusals.back().second, RefusalKind::Input);
    ASSERT_EQ(face.focus.size(), 1u) << v.text;
    EXPECT_EQ(face.focus[0].first, v.focus) << v.text;
}

TEST_F(WizardLogicTest, LogonValuesAreRefusedInThePagesOrderWithTheirFields) {
    RecordingFace face;
    CLogonStep logon(face);
    logon.LoadLogon();  // nothing stored: the placeholders
    const LogonValue steps[] = {
        {&CLogonStep::m_strHostName, u"?", "Please enter a short host name.",
         WizardField::HostName},
        {&CLogonStep::m_strHostName, u"10.0.0.1",
         "Please do not enter an IP address or\n domain suffix for the short host name.",
         WizardField::HostName},
        {&CLogonStep::m_strHostName, u"qashost1", "Please enter a SAP user id.", WizardField::User},
        {&CLogonStep::m_strSystemNumber, u"", "Please enter a system number.",
         WizardField::SystemNumber},
        {&CLogonStep::m_strSystemNumber, u"00", "Please enter a SAP user id.", WizardField::User},
        {&CLogonStep::m_strClient, u"", "Please enter a client.", WizardField::Client},
        {&CLogonStep::m_strClient, u"100", "Please enter a SAP user id.", WizardField::User},
        {&CLogonStep::m_strUser, u"COLLECTOR", "Please enter a password.", WizardField::Password},
        {&CLogonStep::m_strPassword, u"SECRET", "", WizardField::Language},
        {&CLogonStep::m_strLanguage, u"", "Please enter a language.", WizardField::Language},
    };
    for (const LogonValue& s : steps) {
        logon.*s.field = s.value;
        if (*s.text) ExpectRefusal(logon, face, s);
    }
    EXPECT_FALSE(Store().GetString(u"Logon", u"HostName").size());  // nothing stored
}

TEST_F(WizardLogicTest, InputThatCannotBeTakenIsRefusedBeforeAnyCheck) {
    RecordingFace face;
    face.takes = false;
    CDirectoryStep directory(face);
    directory.LoadDirectories(u"Test::Load");
    EXPECT_FALSE(directory.MakeSessionFolder(u"Test::Next"));
    EXPECT_EQ(face.Last(), "Collector Exception: UpdateData failed during dialog termination.");
    EXPECT_TRUE(face.focus.empty());
    EXPECT_FALSE(fs::exists(programPath_ + "DATA"));
}

TEST_F(WizardLogicTest, DatabaseRowsNeedAGatewayAndAreStoredInCapitals) {
    std::vector<tagSERVERLIST> servers(2);
    servers[0] = MakeServerEntry(u"qashost1_QAS_00", u"qashost1", u"00", u"Dialog");
    servers[1] = MakeServerEntry(u"qashost2_QAS_02", u"qashost2", u"02", u"Dialog");
    ASSERT_TRUE(Store().SetStrings(u"", {{u"Gateway1", u"gone_QAS_09"}}));
    std::vector<tagREMOTELIST> remotes;
    RecordingFace face;
    CDatabaseServerStep step(face);
    step.SetServerList(&servers);
    step.SetRemoteList(&remotes);
    step.LoadRows();
    ASSERT_EQ(step.m_Rows.size(), 2u);
    EXPECT_TRUE(step.m_Rows[0].gateway.empty());  // no longer a server: dropped
    EXPECT_EQ(step.GatewayChoices(), u"qashost1_QAS_00\nqashost2_QAS_02\n");

    step.m_Rows[1] = {u"clv_db", u"sysä", u""};
    EXPECT_FALSE(step.TakeRows(u"Test::Rows"));
    EXPECT_EQ(face.Last(),
              "Collector Exception: Please enter gateway instance for destination clv_db");
    ASSERT_EQ(face.focus.size(), 1u);
    EXPECT_EQ(face.focus[0], std::make_pair(WizardField::Gateway, 2));

    step.m_Rows[1].gateway = u"qashost2_QAS_02";
    EXPECT_TRUE(step.TakeRows(u"Test::Rows"));
    ASSERT_EQ(remotes.size(), 1u);
    EXPECT_EQ(RemoteDestination(remotes[0]), u"CLV_DB");
    EXPECT_EQ(RemoteSystem(remotes[0]), u"SYSÄ");
    EXPECT_EQ(Store().GetString(u"", u"Destination2"), u"CLV_DB");
    EXPECT_EQ(Store().GetString(u"", u"DestinationList"), u"CLV_DB\n");
    EXPECT_EQ(Store().GetString(u"", u"Gateway1"), u"");
}

TEST(UpperCaseNameTest, TakesAsciiAndLatin1LettersToCapitals) {
    EXPECT_EQ(UpperCaseName(u"sapccmsr.db1.99"), u"SAPCCMSR.DB1.99");
    EXPECT_EQ(UpperCaseName(u"àéöþ÷ÿ"), u"ÀÉÖÞ÷Ÿ");
    EXPECT_EQ(UpperCaseName(u"ABC_09"), u"ABC_09");
}

TEST(InputRuleTest, DigitsLimitsAndCapitalsEachHoldWhereTheRuleAsksForThem) {
    const InputRule digits = CLogonStep::Rule(WizardField::SystemNumber);
    EXPECT_TRUE(digits.Admits(u""));  // whether it may be empty is the step's check
    EXPECT_TRUE(digits.Admits(u"007"));
    EXPECT_FALSE(digits.Admits(u"7a"));
    EXPECT_FALSE(digits.Admits(u"0001"));
    EXPECT_FALSE(digits.Admits(u"\u0661"));  // an Arabic-Indic one is no system number
    EXPECT_EQ(digits.Normalised(u"0a"), u"0a");
    EXPECT_EQ(digits.Breach(u"7a"), u"Please enter a system number of 1 to 3 digits.");
    EXPECT_EQ(digits.Breach(u"0001"), u"Please enter a system number of 1 to 3 digits.");
    EXPECT_EQ(digits.Breach(u"07"), u"");

    const InputRule user = CLogonStep::Rule(WizardField::User);
    EXPECT_EQ(user.Normalised(u"collector_ä"), u"COLLECTOR_Ä");
    EXPECT_TRUE(user.Admits(u"COLLECTOR-01"));
    EXPECT_FALSE(user.Admits(u"COLLECTOR-012"));
    EXPECT_EQ(user.Breach(u"COLLECTOR-012"), u"Please enter a SAP user id of at most 12 characters.");

    // The password keeps its case here; LogonPassword decides it.
    const InputRule password = CLogonStep::Rule(WizardField::Password);
    EXPECT_EQ(password.Normalised(u"Secret"), u"Secret");
    EXPECT_TRUE(password.Admits(std::u16string(40, u'x')));
    EXPECT_FALSE(password.Admits(std::u16string(41, u'x')));

    EXPECT_EQ(CDirectoryStep::kDirectoryRule.Breach(std::u16string(261, u'd')),
              u"Please enter a data directory path of at most 260 characters.");
    EXPECT_EQ(CDatabaseServerStep::kSystemRule.Normalised(u"sysä"), u"SYSÄ");
    EXPECT_TRUE(CDatabaseServerStep::kDestinationRule.Admits(std::u16string(100, u'D')));
    // A field of another step is not limited by the logon step.
    EXPECT_TRUE(CLogonStep::Rule(WizardField::Gateway).Admits(std::u16string(300, u'g')));
}

TEST_F(WizardLogicTest, LogonValuesThatBreakTheirRulesAreRefusedAtTheirFields) {
    RecordingFace face;
    CLogonStep logon(face);
    logon.LoadLogon();
    logon.m_strHostName = u"qashost1";
    logon.m_strUser = u"collector";
    logon.m_strPassword = u"secret";
    const LogonValue cases[] = {
        {&CLogonStep::m_strHostName, std::u16string(21, u'h'),
         "Please enter a short host name of at most 20 characters.", WizardField::HostName},
        {&CLogonStep::m_strDomain, std::u16string(65, u'd'),
         "Please enter a domain of at most 64 characters.", WizardField::Domain},
        {&CLogonStep::m_strSapRouter, std::u16string(65, u'r'),
         "Please enter a SAP router string of at most 64 characters.", WizardField::SapRouter},
        {&CLogonStep::m_strSystemNumber, u"7a", "Please enter a system number of 1 to 3 digits.",
         WizardField::SystemNumber},
        {&CLogonStep::m_strClient, u"1000", "Please enter a client of 1 to 3 digits.",
         WizardField::Client},
        {&CLogonStep::m_strUser, u"collector_long",
         "Please enter a SAP user id of at most 12 characters.", WizardField::User},
        {&CLogonStep::m_strPassword, std::u16string(41, u'p'),
         "Please enter a password of at most 40 characters.", WizardField::Password},
        {&CLogonStep::m_strLanguage, u"DEU", "Please enter a language of at most 2 characters.",
         WizardField::Language},
    };
    for (const LogonValue& c : cases) {
        const std::u16string kept = logon.*c.field;
        logon.*c.field = c.value;
        ExpectRefusal(logon, face, c);
        logon.*c.field = kept;
    }
    // The page's own checks come first: an empty client is asked for, not measured.
    logon.m_strClient = u"";
    logon.m_strLanguage = u"DEU";
    EXPECT_FALSE(logon.ProveLogon(u"Test::Logon"));
    EXPECT_EQ(face.Last(), "Collector Exception: Please enter a client.");
    // Capitals are taken, not refused.
    logon.m_strLanguage = u"de";
    logon.TakeCapitals();
    EXPECT_EQ(logon.m_strUser, u"COLLECTOR");
    EXPECT_EQ(logon.m_strLanguage, u"DE");
    EXPECT_EQ(logon.m_strHostName, u"qashost1");
    EXPECT_FALSE(Store().GetString(u"Logon", u"HostName").size());  // nothing stored
}

TEST_F(WizardLogicTest, ADataDirectoryPastItsLimitIsRefusedAndNothingIsMade) {
    RecordingFace face;
    CDirectoryStep directory(face);
    directory.LoadDirectories(u"Test::Load");
    directory.m_strDirectory =
        platform::FromUtf8(programPath_ + std::string(261 - programPath_.size(), 'd'));
    EXPECT_FALSE(directory.MakeSessionFolder(u"Test::Next"));
    EXPECT_EQ(face.Last(),
              "Collector Exception: Please enter a data directory path of at most 260 "
              "characters.");
    ASSERT_EQ(face.focus.size(), 1u);
    EXPECT_EQ(face.focus[0].first, WizardField::Directory);
    EXPECT_TRUE(directory.m_strSessionPath.empty());
    EXPECT_TRUE(Store().GetString(u"Data", u"Path").empty());
}

}  // namespace

namespace {

TEST(LogonPasswordTest, OldSystemsPasswordsGoInCapitalsLongerOnesAsTyped) {
    EXPECT_EQ(CLogonStep::LogonPassword(u"secret"), u"SECRET");
    EXPECT_EQ(CLogonStep::LogonPassword(u"abcdefgh"), u"ABCDEFGH");
    // Nine characters and more: only a today's system has them, and it
    // compares them as typed.
    EXPECT_EQ(CLogonStep::LogonPassword(u"Welcome2026!"), u"Welcome2026!");
    EXPECT_EQ(CLogonStep::LogonPassword(std::u16string(40, u'x')), std::u16string(40, u'x'));
    EXPECT_EQ(CLogonStep::LogonPassword(std::u16string(CLogonStep::kPasswordPlaceholder)),
              CLogonStep::kPasswordPlaceholder);
}

}  // namespace
