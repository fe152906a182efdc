#include <sys/stat.h>

#include <fstream>

#include <QToolButton>

#include "WizardTestSupport.h"
#include "wizard/DirectoryPropertyPage.h"
#include "wizard/LogonPropertyPage.h"
#include "wizard/PropertySheet.h"

namespace wizardtest {
namespace {

// A last page that only sets its buttons.
class LastPage : public CPropertyPage {
  public:
    LastPage() : CPropertyPage(QStringLiteral("last")) {}
    bool OnSetActive() override {
        SetWizardButtonsFromFlags();
        return true;
    }
};

// The directory page between a tested logon page and a last page, as in
// the wizard, without the logon test.
class DirectoryPageTest : public WizardTest {
  protected:
    void Open() {
        // The sheet owns its pages; they read the settings of this test.
        sheet_ = std::make_unique<CPropertySheet>(QStringLiteral("Information Wizard"));
        logon_ = std::make_unique<CLogonPropertyPage>();
        logon_->m_strSystemId = u"QAS";
        page_ = new CDirectoryPropertyPage;
        page_->SetLogonPage(logon_.get());
        page_->m_bFirstPage = true;
        page_->m_bLastPage = false;
        last_ = new LastPage;
        last_->m_bFirstPage = false;
        last_->m_bLastPage = true;
        sheet_->AddPage(page_);
        sheet_->AddPage(last_);
        ShowActive(sheet_.get());
    }
    void TearDown() override {
        sheet_.reset();
        logon_.reset();
        WizardTest::TearDown();
    }
    QLineEdit* Edit() { return page_->DirectoryEdit()->Edit(); }
    std::string Current() { return fs::current_path().string() + "/"; }

    std::unique_ptr<CLogonPropertyPage> logon_;
    std::unique_ptr<CPropertySheet> sheet_;
    CDirectoryPropertyPage* page_ = nullptr;
    CPropertyPage* last_ = nullptr;
};

TEST_F(DirectoryPageTest, EmptyRegistryCreatesDataAndTheSessionFolderInTheProgramDirectory) {
    Open();
    EXPECT_EQ(Text(Edit()), programPath_ + "DATA/");
    EXPECT_EQ(Edit()->maxLength(), 260);
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    ASSERT_EQ(sheet_->GetActivePage(), last_);

    const std::string session = programPath_ + "DATA/12061507.QAS/";
    EXPECT_TRUE(fs::is_directory(session));
    EXPECT_EQ(platform::ToUtf8(page_->m_strSessionPath), session);
    EXPECT_EQ(Current(), programPath_);
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Program", u"Path")), programPath_);
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Data", u"Path")), programPath_ + "DATA/");
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Session", u"Path")), session);
}

TEST_F(DirectoryPageTest, TypedPathGetsItsSeparatorAndMissingLevelsAreCreated) {
    Open();
    const std::string data = root_ + "/collect/deep/data";
    Type(Edit(), QString::fromStdString(data));
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Data", u"Path")), data + "/");
    EXPECT_TRUE(fs::is_directory(data + "/12061507.QAS"));
    EXPECT_EQ(Current(), programPath_);
}

TEST_F(DirectoryPageTest, RelativePathLiesBelowTheProgramDirectory) {
    Open();
    fs::current_path(root_);  // the current directory does not matter
    Type(Edit(), "rel/data");
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    EXPECT_TRUE(fs::is_directory(programPath_ + "rel/data/12061507.QAS"));
    EXPECT_EQ(Current(), programPath_);
}

TEST_F(DirectoryPageTest, BackAndNextAMinuteLaterLeaveOneFolderTheNewerOne) {
    Open();
    Click(sheet_->NextButton());
    Click(sheet_->BackButton());
    EXPECT_EQ(sheet_->GetActivePage(), page_);
    EXPECT_TRUE(Entries(programPath_ + "DATA").empty());
    EXPECT_TRUE(page_->m_strSessionPath.empty());

    clock_->Advance(std::chrono::minutes(1));
    Click(sheet_->NextButton());
    EXPECT_EQ(Entries(programPath_ + "DATA"), std::vector<std::string>{"12061508.QAS"});

    // Twice in the same minute uses the same folder.
    Click(sheet_->BackButton());
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    EXPECT_EQ(Entries(programPath_ + "DATA"), std::vector<std::string>{"12061508.QAS"});
}

TEST_F(DirectoryPageTest, AFolderThatHoldsFilesIsKeptAtBackAndCancel) {
    Open();
    Click(sheet_->NextButton());
    const std::string session = platform::ToUtf8(page_->m_strSessionPath);
    std::ofstream(session + "QAS.log") << "written";
    Click(sheet_->BackButton());
    ASSERT_EQ(sheet_->GetActivePage(), page_);
    EXPECT_TRUE(page_->m_strSessionPath.empty());
    EXPECT_TRUE(fs::exists(session + "QAS.log"));
}

TEST_F(DirectoryPageTest, CancelRemovesTheEmptyFolderAndKeepsTheSettings) {
    Open();
    Click(sheet_->NextButton());
    ASSERT_TRUE(fs::is_directory(programPath_ + "DATA/12061507.QAS"));
    fs::current_path(root_);
    Click(sheet_->CancelButton());
    EXPECT_EQ(sheet_->result(), ID_WIZCANCEL);
    EXPECT_FALSE(fs::exists(programPath_ + "DATA/12061507.QAS"));
    EXPECT_TRUE(fs::is_directory(programPath_ + "DATA"));
    EXPECT_EQ(Current(), programPath_);
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Data", u"Path")), programPath_ + "DATA/");
}

TEST_F(DirectoryPageTest, FailuresKeepThePageWithTheirTexts) {
    Open();
    Type(Edit(), "");
    Click(sheet_->NextButton());
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Exclamation);
    EXPECT_EQ(TakeMessage(), "Collector Exception: Please enter path of data directory.");
    EXPECT_EQ(QApplication::focusWidget(), Edit());

    Type(Edit(), "/proc/quorvel-none/data");
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(),
              "Collector Exception: invalid path - unable to create directory "
              "/proc/quorvel-none/data/12061507.QAS/");
    EXPECT_EQ(sheet_->GetActivePage(), page_);
    EXPECT_EQ(Current(), programPath_);

    // A data path that names a file cannot hold the folder.
    std::ofstream(root_ + "/plain") << "x";
    Type(Edit(), QString::fromStdString(root_ + "/plain"));
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage().rfind("Collector Exception: unable to create directory " + root_ +
                                      "/plain/12061507.QAS/ : ",
                                  0),
              0u);
    EXPECT_EQ(sheet_->GetActivePage(), page_);
    EXPECT_FALSE(fs::exists(Store().FilePath()));
}

TEST_F(DirectoryPageTest, TheWalkStopsAtAComponentThatIsAFile) {
    Open();
    std::ofstream(root_ + "/file.txt") << "x";
    Type(Edit(), QString::fromStdString(root_ + "/file.txt/DATA"));
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(), "Collector Exception: unable to create directory " + root_ +
                                 "/file.txt/DATA/12061507.QAS/ : Not a directory");
    // Going on from the parent would have made root/DATA.
    EXPECT_FALSE(fs::exists(root_ + "/DATA"));
    EXPECT_EQ(Current(), programPath_);
    EXPECT_TRUE(page_->m_strSessionPath.empty());
}

TEST_F(DirectoryPageTest, AFailedSaveStoresNoPathAndRemovesTheNewFolder) {
    // A settings directory below a plain file cannot be created.
    std::ofstream(root_ + "/blocker") << "x";
    ::setenv(settings::kDirectoryEnv, (root_ + "/blocker/config").c_str(), 1);
    Open();
    Click(sheet_->NextButton());
    EXPECT_EQ(
        TakeMessage().rfind("Collector Exception: unable to save the directory settings: ", 0), 0u);
    EXPECT_EQ(sheet_->GetActivePage(), page_);
    EXPECT_TRUE(page_->m_strSessionPath.empty());
    EXPECT_TRUE(Entries(programPath_ + "DATA").empty());
    EXPECT_EQ(Current(), programPath_);
}

TEST_F(DirectoryPageTest, AProgramDirectoryThatIsGoneIsNamed) {
    ASSERT_TRUE(Store().SetString(u"Program", u"Path", u"/nonexistent/quorvel/"));
    Open();
    EXPECT_EQ(Text(Edit()), "/nonexistent/quorvel/DATA/");
    Type(Edit(), QString::fromStdString(root_ + "/data"));
    Click(sheet_->NextButton());
    EXPECT_EQ(TakeMessage(),
              "Collector Exception: unable to change to directory /nonexistent/quorvel/");
    EXPECT_EQ(sheet_->GetActivePage(), page_);
}

TEST_F(DirectoryPageTest, BrowseReplacesTheEditText) {
    Open();
    EXPECT_EQ(Edit()->maxLength(), static_cast<int>(CDirectoryStep::kDirectoryRule.limit));
    QString caption;
    page_->DirectoryEdit()->SetChooser([&](QWidget*, const QString& c, const QString&) {
        caption = c;
        return QString::fromStdString(root_ + "/chosen");
    });
    QTest::mouseClick(page_->DirectoryEdit()->BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(caption, "Select Directory");
    EXPECT_EQ(Text(Edit()), root_ + "/chosen/");
    page_->DirectoryEdit()->SetChooser([](QWidget*, const QString&, const QString&) {
        return QString();  // cancelled
    });
    EXPECT_FALSE(page_->DirectoryEdit()->Browse());
    EXPECT_EQ(Text(Edit()), root_ + "/chosen/");
}

}  // namespace
}  // namespace wizardtest
