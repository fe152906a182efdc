#include "WizardTestSupport.h"
#include "wizard/ConnectionPropertySheet.h"

namespace wizardtest {
namespace {

using L = CLogonPropertyPage;

class LogonPageTest : public WizardTest {
  protected:
    void Open() {
        sheet_ = std::make_unique<CConnectionPropertySheet>();
        sheet_->SetServerList(&servers_);
        ShowActive(sheet_.get());
    }
    QLineEdit* Edit(int id) { return sheet_->m_LogonPage.Control(id); }
    bool Focused(int id) { return QApplication::focusWidget() == Edit(id); }

    std::unique_ptr<CConnectionPropertySheet> sheet_;
    std::vector<tagSERVERLIST> servers_;
};

TEST_F(LogonPageTest, EmptyRegistryShowsThePlaceholdersAndTheFirstPageButtons) {
    Open();
    EXPECT_EQ(sheet_->windowTitle(), "Information Wizard");
    EXPECT_EQ(sheet_->GetActivePage(), &sheet_->m_LogonPage);
    EXPECT_EQ(Text(Edit(L::IDC_HOSTNAME)), "?");
    EXPECT_EQ(Text(Edit(L::IDC_DOMAIN)), "");
    EXPECT_EQ(Text(Edit(L::IDC_SAPROUTER)), "");
    EXPECT_EQ(Text(Edit(L::IDC_SYSTEMNUMBER)), "00");
    EXPECT_EQ(Text(Edit(L::IDC_CLIENT)), "000");
    EXPECT_EQ(Text(Edit(L::IDC_USER)), "?");
    EXPECT_EQ(Text(Edit(L::IDC_LANGUAGE)), "EN");
    EXPECT_EQ(Text(Edit(L::IDC_PASSWORD)), "??????");
    EXPECT_EQ(Edit(L::IDC_PASSWORD)->echoMode(), QLineEdit::Password);

    EXPECT_FALSE(sheet_->HelpButton()->isVisible());
    EXPECT_FALSE(sheet_->HelpButton()->isEnabled());
    EXPECT_TRUE(sheet_->NextButton()->isVisible());
    EXPECT_TRUE(sheet_->NextButton()->isEnabled());
    EXPECT_FALSE(sheet_->BackButton()->isEnabled());
    EXPECT_FALSE(sheet_->FinishButton()->isVisible());
}

TEST_F(LogonPageTest, NextWithoutTypingAsksForTheHostName) {
    Open();
    Edit(L::IDC_USER)->setFocus();
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "Collector Exception: Please enter a short host name.");
    EXPECT_EQ(sheet_->GetActivePage(), &sheet_->m_LogonPage);
    EXPECT_TRUE(Focused(L::IDC_HOSTNAME));
    // Nothing was stored: the settings are written only after a good test.
    EXPECT_FALSE(fs::exists(Store().FilePath()));
}

TEST_F(LogonPageTest, ValidationChecksInOrderAndFocusesTheField) {
    Open();
    struct Step {
        int id;
        QString typed;
        const char* text;
        int focus;
    };
    const Step steps[] = {
        {L::IDC_HOSTNAME, "qashost1.lan",
         "Collector Exception: Please do not enter an IP address or\n domain suffix for the "
         "short host name.",
         L::IDC_HOSTNAME},
        {L::IDC_HOSTNAME, "10.0.0.1",
         "Collector Exception: Please do not enter an IP address or\n domain suffix for the "
         "short host name.",
         L::IDC_HOSTNAME},
        {L::IDC_HOSTNAME, "qashost1", "", 0},
        {L::IDC_SYSTEMNUMBER, "", "Collector Exception: Please enter a system number.",
         L::IDC_SYSTEMNUMBER},
        {L::IDC_SYSTEMNUMBER, "00", "", 0},
        {L::IDC_CLIENT, "", "Collector Exception: Please enter a client.", L::IDC_CLIENT},
        {L::IDC_CLIENT, "100", "Collector Exception: Please enter a SAP user id.", L::IDC_USER},
        {L::IDC_USER, "", "Collector Exception: Please enter a SAP user id.", L::IDC_USER},
        {L::IDC_USER, "collector", "Collector Exception: Please enter a password.",
         L::IDC_PASSWORD},
        {L::IDC_PASSWORD, "", "Collector Exception: Please enter a password.", L::IDC_PASSWORD},
        {L::IDC_PASSWORD, "secret", "", 0},
        {L::IDC_LANGUAGE, "", "Collector Exception: Please enter a language.", L::IDC_LANGUAGE},
    };
    for (const Step& s : steps) {
        Type(Edit(s.id), s.typed);
        if (!*s.text) continue;
        Edit(L::IDC_DOMAIN)->setFocus();
        Click(sheet_->NextButton());
        EXPECT_EQ(LastIcon(), wizard::MessageIcon::Exclamation);
        EXPECT_EQ(TakeMessage(), s.text) << s.typed.toStdString();
        EXPECT_TRUE(Focused(s.focus)) << s.text;
    }
}

TEST_F(LogonPageTest, EditStylesLimitAndUpperCaseWhatIsTyped) {
    Open();
    Type(Edit(L::IDC_SYSTEMNUMBER), "a1b2c3d4");
    EXPECT_EQ(Text(Edit(L::IDC_SYSTEMNUMBER)), "123");
    EXPECT_EQ(Edit(L::IDC_SYSTEMNUMBER)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    Type(Edit(L::IDC_CLIENT), "x10y0");
    EXPECT_EQ(Text(Edit(L::IDC_CLIENT)), "100");
    Type(Edit(L::IDC_USER), "collector_longname");
    EXPECT_EQ(Text(Edit(L::IDC_USER)), "COLLECTOR_LO");
    // Up to 40 characters as typed: the logon step decides their case.
    Type(Edit(L::IDC_PASSWORD), "Secret123-with-more-than-forty-characters!");
    EXPECT_EQ(Text(Edit(L::IDC_PASSWORD)), "Secret123-with-more-than-forty-character");
    Type(Edit(L::IDC_LANGUAGE), "de");
    EXPECT_EQ(Text(Edit(L::IDC_LANGUAGE)), "DE");
    Type(Edit(L::IDC_HOSTNAME), "MixedCaseHostNameIsLong");
    EXPECT_EQ(Text(Edit(L::IDC_HOSTNAME)), "MixedCaseHostNameIsL");
    EXPECT_EQ(Edit(L::IDC_DOMAIN)->maxLength(), 64);
    EXPECT_EQ(Edit(L::IDC_SAPROUTER)->maxLength(), 64);
}

TEST_F(LogonPageTest, EditsTakeTheirLimitsAndStylesFromTheStepsRules) {
    Open();
    const std::pair<int, WizardField> edits[] = {
        {L::IDC_HOSTNAME, WizardField::HostName},   {L::IDC_DOMAIN, WizardField::Domain},
        {L::IDC_SAPROUTER, WizardField::SapRouter}, {L::IDC_SYSTEMNUMBER, WizardField::SystemNumber},
        {L::IDC_USER, WizardField::User},           {L::IDC_PASSWORD, WizardField::Password},
        {L::IDC_LANGUAGE, WizardField::Language},   {L::IDC_CLIENT, WizardField::Client}};
    for (const auto& [id, field] : edits) {
        const InputRule& rule = CLogonStep::Rule(field);
        EXPECT_EQ(Edit(id)->maxLength(), static_cast<int>(rule.limit)) << id;
        EXPECT_EQ(Edit(id)->validator() != nullptr, rule.digitsOnly || rule.capitals) << id;
    }
}

// A hand-edited settings file is shown as it is and meets the rule at Next.
TEST_F(LogonPageTest, AStoredValueThatBreaksItsRuleIsRefusedAtItsField) {
    ASSERT_TRUE(Store().SetStrings(
        u"Logon", {{u"HostName", u"qashost1"}, {u"SystemNumber", u"0a"}, {u"User", u"COLLECTOR"}}));
    Open();
    EXPECT_EQ(Text(Edit(L::IDC_SYSTEMNUMBER)), "0a");
    Type(Edit(L::IDC_PASSWORD), "secret");
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "Collector Exception: Please enter a system number of 1 to 3 digits.");
    EXPECT_TRUE(Focused(L::IDC_SYSTEMNUMBER));
    EXPECT_EQ(Store().GetString(u"Logon", u"Password"), u"");  // nothing stored
}

TEST_F(LogonPageTest, StoredPasswordIsShownUnscrambledAndSavedScrambled) {
    ASSERT_TRUE(Store().SetString(u"Logon", u"Password", u"DFH"));
    ASSERT_TRUE(Store().SetString(u"Logon", u"HostName", u"qashost2"));
    ASSERT_TRUE(Store().SetString(u"Logon", u"Language", u"DE"));
    Open();
    EXPECT_EQ(Text(Edit(L::IDC_PASSWORD)), "ABC");
    EXPECT_EQ(Text(Edit(L::IDC_HOSTNAME)), "qashost2");
    EXPECT_EQ(Text(Edit(L::IDC_LANGUAGE)), "DE");
    EXPECT_EQ(Text(Edit(L::IDC_USER)), "?");

    CLogonPropertyPage& page = sheet_->m_LogonPage;
    page.m_strPassword = u"ABC";
    page.SaveLogon();
    EXPECT_EQ(Store().GetString(u"Logon", u"Password"), u"DFH");
    EXPECT_EQ(page.m_strPassword, u"ABC");  // the hand-over keeps the plain form
}

}  // namespace
}  // namespace wizardtest
