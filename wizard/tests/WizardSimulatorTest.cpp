// The wizard against the in-process simulated system: typing into the
// controls and pressing the buttons as an operator would.
#include <QTimer>

#include "WizardTestSupport.h"
#include "collect/ServerList.h"
#include "rfc/tests/support/SimulatorSession.h"
#include "wizard/ConnectionPropertySheet.h"
#include "wizard/WaitCursor.h"
#include "wizard/WizardUserInterface.h"

namespace wizardtest {
namespace {

using L = CLogonPropertyPage;

class WizardSimulatorTest : public WizardTest {
  protected:
    void Open() {
        sheet_ = std::make_unique<CConnectionPropertySheet>();
        sheet_->SetServerList(&servers_);
        sheet_->SetRemoteList(&remotes_);
        ShowActive(sheet_.get());
    }
    void TearDown() override {
        sheet_.reset();
        WizardTest::TearDown();
    }
    QLineEdit* Edit(int id) { return sheet_->m_LogonPage.Control(id); }
    void EnterLogon(const QString& host = "qashost1", const QString& password = "secret",
                    const QString& number = "00") {
        Type(Edit(L::IDC_HOSTNAME), host);
        Type(Edit(L::IDC_SYSTEMNUMBER), number);
        Type(Edit(L::IDC_CLIENT), "100");
        Type(Edit(L::IDC_USER), "collector");
        Type(Edit(L::IDC_PASSWORD), password);
    }
    std::string Stored(std::u16string_view section, std::u16string_view key) {
        return platform::ToUtf8(Store().GetString(section, key));
    }

    std::vector<tagSERVERLIST> servers_;
    std::vector<tagREMOTELIST> remotes_;
    std::unique_ptr<CConnectionPropertySheet> sheet_;
};

TEST_F(WizardSimulatorTest, ThroughAllPagesThenCancelKeepsTheSettingsAndRemovesTheFolder) {
    SimulatorSession sim;
    Open();
    EnterLogon();
    Click(sheet_->NextButton());
    ASSERT_EQ(TakeMessage(), "0 message boxes");
    ASSERT_EQ(sheet_->GetActivePage(), &sheet_->m_DirectoryPage);
    EXPECT_TRUE(sheet_->BackButton()->isEnabled());
    EXPECT_TRUE(sheet_->NextButton()->isVisible());

    // The test read the system and its servers, then stored the logon data.
    EXPECT_EQ(sheet_->m_LogonPage.m_strSystemId, u"QAS");
    EXPECT_EQ(sheet_->m_LogonPage.m_strOpSys, u"Linux");
    ASSERT_EQ(servers_.size(), 3u);
    EXPECT_EQ(ServerName(servers_[0]), u"qashost1_QAS_00");
    EXPECT_EQ(ServerHost(servers_[0]), u"qashost1");
    EXPECT_EQ(ServerSystemNumber(servers_[2]), u"02");
    EXPECT_EQ(ServerServices(servers_[1]), u"Dialog Backg");
    EXPECT_EQ(Stored(u"Logon", u"HostName"), "qashost1");
    EXPECT_EQ(Stored(u"Logon", u"SystemNumber"), "00");
    EXPECT_EQ(Stored(u"Logon", u"Client"), "100");
    EXPECT_EQ(Stored(u"Logon", u"User"), "COLLECTOR");
    EXPECT_EQ(Stored(u"Logon", u"Language"), "EN");
    std::u16string scrambled = u"SECRET";
    CRfcConnection().ScramblePassword(scrambled);
    EXPECT_EQ(Store().GetString(u"Logon", u"Password"), scrambled);
    EXPECT_EQ(sim.System().Counters().Calls("RFC_SYSTEM_INFO"), 1u);
    EXPECT_EQ(sim.System().Counters().Calls("TH_SERVER_LIST"), 1u);

    // An empty registry proposes DATA/ beside the program.
    EXPECT_EQ(Text(sheet_->m_DirectoryPage.DirectoryEdit()->Edit()), programPath_ + "DATA/");
    Click(sheet_->NextButton());
    ASSERT_EQ(TakeMessage(), "0 message boxes");
    ASSERT_EQ(sheet_->GetActivePage(), &sheet_->m_SaposcolPage);
    EXPECT_TRUE(fs::is_directory(programPath_ + "DATA/12061507.QAS"));
    EXPECT_TRUE(sheet_->FinishButton()->isVisible());
    EXPECT_EQ(sheet_->m_SaposcolPage.Grid()->GetRowCount(), 3);

    Click(sheet_->CancelButton());
    EXPECT_EQ(sheet_->result(), ID_WIZCANCEL);
    EXPECT_FALSE(fs::exists(programPath_ + "DATA/12061507.QAS"));
    EXPECT_EQ(Stored(u"Logon", u"HostName"), "qashost1");
    EXPECT_EQ(Stored(u"Data", u"Path"), programPath_ + "DATA/");
    EXPECT_EQ(fs::current_path().string() + "/", programPath_);
}

TEST_F(WizardSimulatorTest, RefusedLogonFocusesThePasswordUnreachableHostTheHost) {
    SimulatorSession sim;
    Open();
    EnterLogon("qashost1", "wrong");
    Click(sheet_->NextButton());
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Exclamation);
    const std::string refused = TakeMessage();
    EXPECT_EQ(refused.rfind("RFC Exception: CRfcConnection::CallRfcOpen - RfcOpenEx(): ", 0), 0u)
        << refused;
    EXPECT_EQ(QApplication::focusWidget(), Edit(L::IDC_PASSWORD));
    EXPECT_EQ(sheet_->GetActivePage(), &sheet_->m_LogonPage);
    EXPECT_EQ(sheet_->m_LogonPage.m_connection.Handle(), RFC_HANDLE_NULL);

    EnterLogon("qashost1", "secret", "07");  // no server listens on 07
    Edit(L::IDC_CLIENT)->setFocus();
    Click(sheet_->NextButton());
    const std::string unreachable = TakeMessage();
    EXPECT_EQ(unreachable.rfind("RFC Exception: ", 0), 0u) << unreachable;
    EXPECT_EQ(QApplication::focusWidget(), Edit(L::IDC_HOSTNAME));
    EXPECT_EQ(sheet_->GetActivePage(), &sheet_->m_LogonPage);
    // Nothing is stored before a logon succeeded.
    EXPECT_EQ(Stored(u"Logon", u"HostName"), "");
    EXPECT_TRUE(servers_.empty());
}

TEST_F(WizardSimulatorTest, HostsOfAWindowsSystemAreStoredInLowerCase) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.operatingSystem = "Windows NT";
    for (r3sim::ServerSpec& server : scenario.servers) {
        server.host = server.host == "qashost1" ? "QasHost1" : "QASHOST2";
    }
    SimulatorSession sim(scenario);
    Open();
    EnterLogon("QasHost1");
    Click(sheet_->NextButton());
    ASSERT_EQ(TakeMessage(), "0 message boxes");
    ASSERT_EQ(servers_.size(), 3u);
    EXPECT_EQ(ServerHost(servers_[0]), u"qashost1");
    EXPECT_EQ(ServerHost(servers_[2]), u"qashost2");
    EXPECT_EQ(ServerName(servers_[2]), u"qashost2_QAS_02");  // names keep their case
    EXPECT_EQ(Stored(u"Logon", u"HostName"), "QasHost1");
}

TEST_F(WizardSimulatorTest, BackFromTheLastPageAndNextAMinuteLaterLeaveOneFolder) {
    SimulatorSession sim;
    Open();
    EnterLogon();
    Click(sheet_->NextButton());
    Click(sheet_->NextButton());
    ASSERT_EQ(sheet_->GetActivePage(), &sheet_->m_SaposcolPage);
    Click(sheet_->BackButton());
    EXPECT_EQ(sheet_->GetActivePage(), &sheet_->m_DirectoryPage);
    EXPECT_TRUE(Entries(programPath_ + "DATA").empty());
    clock_->Advance(std::chrono::minutes(1));
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    EXPECT_EQ(Entries(programPath_ + "DATA"), std::vector<std::string>{"12061508.QAS"});
    EXPECT_EQ(Stored(u"Session", u"Path"), programPath_ + "DATA/12061508.QAS/");
}

TEST_F(WizardSimulatorTest, AnotherSystemAfterBackShowsItsOwnRowsAndServers) {
    r3sim::Scenario other = r3sim::DefaultScenario();
    other.systemId = "PRD";
    other.servers.resize(2);
    other.servers[0].name = "qashost1_PRD_00";
    other.servers[1].name = "qashost1_PRD_01";
    SimulatorSession prd(other);
    SimulatorSession qas;  // points the library at QAS
    ASSERT_TRUE(Store().SetStrings(
        u"PRD", {{u"Destination2", u"PRDDB"}, {u"Gateway2", u"qashost1_PRD_01"}}));
    Open();
    EnterLogon();
    Click(sheet_->NextButton());
    Click(sheet_->NextButton());
    CGridControl* grid = sheet_->m_SaposcolPage.Grid();
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(grid->GetCellText(2, 1), "");

    Click(sheet_->BackButton());
    Click(sheet_->BackButton());
    prd.Point();
    Click(sheet_->NextButton());
    ASSERT_EQ(TakeMessage(), "0 message boxes");
    EXPECT_EQ(sheet_->m_LogonPage.m_strSystemId, u"PRD");
    Click(sheet_->NextButton());
    ASSERT_EQ(sheet_->GetActivePage(), &sheet_->m_SaposcolPage);
    ASSERT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetCellText(2, 1), "PRDDB");
    EXPECT_EQ(grid->GetCellText(2, 3), "qashost1_PRD_01");
    EXPECT_EQ(grid->ColumnChoices(3), QStringList({"qashost1_PRD_00", "qashost1_PRD_01"}));
    EXPECT_EQ(Entries(programPath_ + "DATA"), std::vector<std::string>{"12061507.PRD"});
}

// The user interface runs the modal wizard; the operator's actions come in
// through the event loop.
class ScriptedWizard : public CWizardUserInterface {
  public:
    std::function<void(CConnectionPropertySheet&)> script;
    void RepaintMainWindow() override {}
    bool PostMessage(unsigned, uintptr_t, intptr_t) override { return true; }

  protected:
    int RunSheet(CConnectionPropertySheet& sheet) override {
        QTimer::singleShot(0, &sheet, [this, &sheet] { script(sheet); });
        return CWizardUserInterface::RunSheet(sheet);
    }
};

TEST_F(WizardSimulatorTest, FinishedWizardHandsOverSettingsAndBothLists) {
    SimulatorSession sim;
    ASSERT_TRUE(Store().SetStrings(u"QAS", {{u"Destination2", u"SAPCCMSR.DB1.99"},
                                            {u"System2", u"DB1"},
                                            {u"Gateway2", u"qashost1_QAS_01"}}));
    ScriptedWizard ui;
    ui.script = [this](CConnectionPropertySheet& sheet) {
        Type(sheet.m_LogonPage.Control(L::IDC_HOSTNAME), "qashost1");
        Type(sheet.m_LogonPage.Control(L::IDC_CLIENT), "100");
        Type(sheet.m_LogonPage.Control(L::IDC_USER), "collector");
        Type(sheet.m_LogonPage.Control(L::IDC_PASSWORD), "secret");
        QTest::mouseClick(sheet.NextButton(), Qt::LeftButton);
        QTest::mouseClick(sheet.NextButton(), Qt::LeftButton);
        QTest::mouseClick(sheet.FinishButton(), Qt::LeftButton);
    };
    ConnectionSettings settings;
    ASSERT_TRUE(ui.RunConnectionWizard(settings, servers_, remotes_)) << TakeMessage();
    EXPECT_EQ(settings.hostName, u"qashost1");
    EXPECT_EQ(settings.systemNumber, u"00");
    EXPECT_EQ(settings.client, u"100");
    EXPECT_EQ(settings.user, u"COLLECTOR");
    EXPECT_EQ(settings.password, u"SECRET");
    EXPECT_EQ(settings.language, u"EN");
    EXPECT_EQ(settings.systemId, u"QAS");
    EXPECT_EQ(platform::ToUtf8(settings.programPath), programPath_);
    EXPECT_EQ(platform::ToUtf8(settings.dataPath), programPath_ + "DATA/");
    EXPECT_EQ(platform::ToUtf8(settings.sessionPath), programPath_ + "DATA/12061507.QAS/");
    EXPECT_TRUE(fs::is_directory(programPath_ + "DATA/12061507.QAS"));
    EXPECT_EQ(servers_.size(), 3u);
    ASSERT_EQ(remotes_.size(), 1u);
    EXPECT_EQ(RemoteDestination(remotes_[0]), u"SAPCCMSR.DB1.99");
    EXPECT_EQ(RemoteGateway(remotes_[0]), u"qashost1_QAS_01");
}

TEST_F(WizardSimulatorTest, CancelledWizardHandsOverNothing) {
    ScriptedWizard ui;
    ui.script = [](CConnectionPropertySheet& sheet) { QTest::keyClick(&sheet, Qt::Key_Escape); };
    ConnectionSettings settings;
    settings.systemId = u"untouched";
    EXPECT_FALSE(ui.RunConnectionWizard(settings, servers_, remotes_));
    EXPECT_EQ(settings.systemId, u"untouched");
}

// Start puts up the wait cursor before the wizard opens; the operator
// types with the normal one, and Start's cursor is back afterwards.
TEST_F(WizardSimulatorTest, TheWaitCursorIsLiftedWhileTheSheetIsUp) {
    ScriptedWizard ui;
    bool overridden = true;
    ui.script = [&overridden](CConnectionPropertySheet& sheet) {
        overridden = QGuiApplication::overrideCursor() != nullptr;
        QTest::keyClick(&sheet, Qt::Key_Escape);
    };
    ConnectionSettings settings;
    {
        wizard::WaitCursor busy;
        EXPECT_FALSE(ui.RunConnectionWizard(settings, servers_, remotes_));
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_FALSE(overridden);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace wizardtest
