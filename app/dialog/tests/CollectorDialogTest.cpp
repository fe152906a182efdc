// The main dialog as an operator uses it: the state table, the message
// list, the clock, every way a start can fail, and a whole collection run
// against the in-process simulated system.
#include <QCloseEvent>
#include <QSignalSpy>
#include <cstdlib>
#include <fstream>

#include "DialogTestSupport.h"
#include "collect/SystemThread.h"
#include "rfc/tests/support/SimulatorSession.h"

namespace dialogtest {
namespace {

constexpr char kStamp[] = "  3:07 PM   Sun, Dec 6, 2026   : ";
constexpr char kCancelled[] = "Collector Exception: connection dialog canceled.";
constexpr char kBusy[] = "Please press the STOP button before exiting program.";

// A session whose start fails with something that is no framework exception.
class CThrowingSystemThread : public CSystemThread {
  public:
    void Initialize() override { throw 42; }
};

class CThrowingDialog : public CTestDialog {
  protected:
    std::unique_ptr<CSystemThread> CreateSystemThread() override {
        return std::make_unique<CThrowingSystemThread>();
    }
};

bool HasFileEnding(const std::string& dir, const std::string& suffix) {
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(dir, ec)) {
        const std::string name = e.path().filename().string();
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            fs::file_size(e.path(), ec) > 0)
            return true;
    }
    return false;
}

TEST_F(DialogTest, IdleDialogOffersStartAndExit) {
    EXPECT_EQ(dialog_->windowTitle().toStdString(), "Quorvel Collector 4.0.3.0");
    EXPECT_FALSE(dialog_->windowIcon().isNull());
    EXPECT_EQ(dialog_->StartStopButton()->text().toStdString(), "Start");
    EXPECT_TRUE(dialog_->StartStopButton()->isEnabled());
    EXPECT_TRUE(dialog_->StartStopButton()->isDefault());
    EXPECT_TRUE(dialog_->ExitButton()->isEnabled());
    EXPECT_EQ(dialog_->MessageList()->selectionMode(), QAbstractItemView::NoSelection);
    // An idle dialog closes without asking.
    dialog_->close();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
}

TEST_F(DialogTest, CancelledWizardLeavesIdleWithOneStampedLineInListAndLog) {
    dialog_->cancelWizard = true;
    dialog_->StartStopButton()->click();
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Stop);
    EXPECT_EQ(TakeMessage(), kCancelled);
    EXPECT_EQ(Lines(), std::vector<std::string>{std::string(kStamp) + kCancelled});
    EXPECT_EQ(LogFile(), std::string(kStamp) + kCancelled + "\r\n");
    EXPECT_FALSE(dialog_->IsRunning() || dialog_->IsStarting() || dialog_->IsStopping());
    EXPECT_EQ(dialog_->SystemThread(), nullptr);
    EXPECT_EQ(dialog_->StartStopButton()->text().toStdString(), "Start");
    EXPECT_TRUE(dialog_->ExitButton()->isEnabled());
    EXPECT_FALSE(QGuiApplication::overrideCursor());

    // A second failure appends to the log, never truncates it.
    dialog_->StartStopButton()->click();
    TakeMessage();
    EXPECT_EQ(LogFile(), std::string(kStamp) + kCancelled + "\r\n" + kStamp + kCancelled + "\r\n");
}

TEST_F(DialogTest, LowLevelFailureOfTheStartIsReportedWithTheRoutineName) {
    dialog_ = std::make_unique<CThrowingDialog>();
    dialog_->Start();
    EXPECT_EQ(TakeMessage(), "CCollectorDialog::Start()\nlow-level exception trapped.");
    EXPECT_EQ(Lines(), std::vector<std::string>{std::string(kStamp) +
                                                "CCollectorDialog::Start() low-level exception "
                                                "trapped."});
    EXPECT_EQ(dialog_->SystemThread(), nullptr);
    EXPECT_FALSE(dialog_->IsRunning());
}

TEST_F(DialogTest, FailedLogFileIsReportedInTheListAndTheLineStillShown) {
    // A directory where the log file should be: it cannot be opened.
    fs::create_directory(programPath_ + "collector.log");
    dialog_->WriteMessage(u"line with\r\na break? no: text");
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(kStamp) + "line with\r\na break? no: text");
    EXPECT_NE(lines[1].find("collector.log"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[1].find("  3:07 PM"), std::string::npos);
}

TEST_F(DialogTest, LogLinesAreWindows1252) {
    dialog_->WriteMessage(u"caf\u00e9 \u20ac \u4e00");
    EXPECT_EQ(LogFile(), std::string(kStamp) + "caf\xe9 \x80 ?\r\n");
}

TEST_F(DialogTest, TheListKeepsTheNewest101LinesWithTheNewestCurrent) {
    for (int i = 1; i <= 101; ++i)
        dialog_->AddMessageLine(u"line " + platform::FromUtf8(std::to_string(i)));
    EXPECT_EQ(dialog_->MessageList()->count(), 101);
    EXPECT_EQ(Lines().front(), "line 1");
    dialog_->AddMessageLine(u"line 102");
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines.front(), "line 2");
    EXPECT_EQ(lines.back(), "line 102");
    EXPECT_EQ(dialog_->MessageList()->currentRow(), 100);

    // The extent follows the longest line still in the list.
    const int before = dialog_->HorizontalExtent();
    dialog_->AddMessageLine(std::u16string(300, u'W'));
    const int wide = dialog_->HorizontalExtent();
    EXPECT_GT(wide, before);
    for (int i = 0; i < 101; ++i) dialog_->AddMessageLine(u"short");
    EXPECT_LT(dialog_->HorizontalExtent(), wide);
}

TEST_F(DialogTest, ThreadMessagesArriveThroughTheUserInterfaceThread) {
    const int slot = MessageChannel::Instance().Post(WM_HOST_MESSAGE, u"from a thread\nsecond");
    std::thread writer(
        [] { MessageChannel::Instance().Post(WM_INSTANCE_MESSAGE, u"other thread"); });
    writer.join();
    EXPECT_TRUE(Lines().empty());  // queued, not added on the writer's thread
    ASSERT_TRUE(Eventually([&] { return Lines().size() == 2; }));
    EXPECT_EQ(Lines()[0], "from a thread second");
    EXPECT_EQ(Lines()[1], "other thread");
    EXPECT_GE(slot, 0);
}

TEST_F(DialogTest, TicksWithoutASessionSignalNothing) {
    At(15, 14, 59);
    At(15, 15, 0);
    EXPECT_FALSE(dialog_->QuarterHourSignalled());
}

// PATH for one test.
class ScopedPath {
  public:
    explicit ScopedPath(const std::string& value) {
        if (const char* old = std::getenv("PATH")) saved_ = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() { ::setenv("PATH", saved_.c_str(), 1); }

  private:
    std::string saved_;
};

void WriteProgram(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
}

TEST_F(DialogTest, LaunchUsesTheStoredPathOrPathAndSaysWhereItLookedWhenItFindsNone) {
    const std::string bin = root_ + "/bin/";
    fs::create_directories(bin);
    const ScopedPath path("/nonexistent:" + bin);
    dialog_->launchSucceeds = false;
    dialog_->LaunchDataReduction();
    EXPECT_TRUE(dialog_->launched.empty());
    ASSERT_FALSE(Lines().empty());
    const std::string said = Lines().back();
    EXPECT_NE(said.find("data reduction not started: no program found at "), std::string::npos)
        << said;
    EXPECT_NE(said.find(bin + "pellamy4"), std::string::npos) << said;
    EXPECT_NE(LogFile().find(bin + "pellamy4"), std::string::npos) << LogFile();
    EXPECT_TRUE(dialog_->isVisible());

    WriteProgram(bin + "pellamy4", "exit 0");
    dialog_->LaunchDataReduction();
    ASSERT_EQ(dialog_->launched.size(), 1u);
    EXPECT_EQ(platform::ToUtf8(dialog_->launched[0]), bin + "pellamy4");
    EXPECT_NE(Lines().back().find("cannot start " + bin + "pellamy4"), std::string::npos)
        << Lines().back();
    EXPECT_TRUE(dialog_->isVisible());  // a failed launch keeps the collector

    settings::SettingsStore reduction(settings::kDataReductionApp);
    ASSERT_TRUE(reduction.SetString(u"Program", u"Path", u"/opt/pellamy4/bin/"));
    dialog_->launchSucceeds = true;
    QSignalSpy rejected(dialog_.get(), &QDialog::rejected);
    dialog_->LaunchDataReduction();
    ASSERT_EQ(dialog_->launched.size(), 2u);
    EXPECT_EQ(platform::ToUtf8(dialog_->launched[1]), "/opt/pellamy4/bin/pellamy4");
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(DialogTest, TheProgramIsStartedDetached) {
    const std::string dir = root_ + "/reduction/";
    fs::create_directories(dir);
    {
        std::ofstream script(dir + "pellamy4");
        script << "#!/bin/sh\ntouch \"" << dir << "ran\"\n";
    }
    fs::permissions(dir + "pellamy4", fs::perms::owner_all);
    settings::SettingsStore(settings::kDataReductionApp)
        .SetString(u"Program", u"Path", platform::FromUtf8(dir));
    dialog_->useRealLaunch = true;
    dialog_->LaunchDataReduction();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_TRUE(Eventually([&] { return fs::exists(dir + "ran"); }, 5000));

    // No program there: the collector stays.
    fs::remove(dir + "pellamy4");
    dialog_->show();
    dialog_->LaunchDataReduction();
    EXPECT_TRUE(dialog_->isVisible());
}

// The whole run: Start through the three pages and the connection test,
// thread messages while running, the clock filling the session folder,
// refused exits, No and then Yes to the stop question, and the
// data-reduction question after a quarter-hour tick.
TEST_F(DialogTest, WholeCollectionRunAgainstTheSimulatedSystem) {
    const ScopedPath path(root_ + "/empty");
    SimulatorSession sim;
    dialog_->launchSucceeds = false;
    dialog_->StartStopButton()->click();
    ASSERT_EQ(TakeMessage(), "0 message boxes");
    ASSERT_TRUE(dialog_->IsRunning());
    ASSERT_NE(dialog_->SystemThread(), nullptr);
    EXPECT_EQ(dialog_->StartStopButton()->text().toStdString(), "Stop");
    EXPECT_TRUE(dialog_->StartStopButton()->isEnabled());
    EXPECT_FALSE(dialog_->ExitButton()->isEnabled());
    const std::string session = platform::ToUtf8(dialog_->SystemThread()->SessionDir());
    ASSERT_TRUE(fs::is_directory(session)) << session;

    // The threads report while they start.
    ASSERT_TRUE(Eventually([&] { return !Lines().empty(); })) << "no thread messages";
    ASSERT_TRUE(Eventually([&] { return dialog_->SystemThread()->InstanceThreadCount() == 3; }));

    // A minute tick, then the quarter hour.
    At(15, 8, 59);
    At(15, 9, 0);
    EXPECT_FALSE(dialog_->QuarterHourSignalled());
    EXPECT_TRUE(Eventually([&] { return HasFileEnding(session, ".mem"); }));
    At(15, 14, 59);
    At(15, 15, 0);
    At(15, 15, 0);  // the second event within second 0 gives no second tick
    EXPECT_TRUE(dialog_->QuarterHourSignalled());
    EXPECT_TRUE(Eventually([&] { return HasFileEnding(session, ".buf"); }));

    // Leaving while collecting is refused.
    QCloseEvent close;
    QCoreApplication::sendEvent(dialog_.get(), &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(TakeMessage(), kBusy);
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(TakeMessage(), kBusy);

    // No keeps collecting.
    answers_ = {wizard::IDNO};
    dialog_->StartStopButton()->click();
    EXPECT_EQ(TakeMessage(), "Are you sure you want to stop?");
    EXPECT_TRUE(dialog_->IsRunning());
    EXPECT_FALSE(dialog_->IsStopping());
    EXPECT_NE(dialog_->SystemThread(), nullptr);
    EXPECT_EQ(dialog_->StartStopButton()->text().toStdString(), "Stop");

    // Yes stops, then the data reduction is offered.
    answers_ = {wizard::IDYES, wizard::IDYES};
    dialog_->StartStopButton()->click();
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(platform::ToUtf8(boxes_[1].text), "Do you want to begin data reduction?");
    EXPECT_EQ(boxes_[1].icon, wizard::MessageIcon::Question);
    boxes_.clear();
    EXPECT_EQ(dialog_->SystemThread(), nullptr);
    EXPECT_FALSE(dialog_->IsRunning());
    EXPECT_EQ(dialog_->StartStopButton()->text().toStdString(), "Start");
    EXPECT_TRUE(dialog_->ExitButton()->isEnabled());
    // No data-reduction program anywhere: said, and the window stays idle.
    EXPECT_TRUE(dialog_->launched.empty());
    EXPECT_NE(Lines().back().find("data reduction not started: no program found at "),
              std::string::npos)
        << Lines().back();
    EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(DialogTest, AStopBeforeAnyQuarterHourAsksNoDataReductionQuestion) {
    SimulatorSession sim;
    dialog_->Start();
    ASSERT_TRUE(dialog_->IsRunning()) << TakeMessage();
    At(15, 8, 59);
    At(15, 9, 0);
    answers_ = {wizard::IDYES};
    dialog_->Stop();
    EXPECT_EQ(TakeMessage(), "Are you sure you want to stop?");
    EXPECT_FALSE(dialog_->IsRunning());
    EXPECT_TRUE(dialog_->launched.empty());
}

// The operator's whole way to a report: a run past a quarter hour, Stop, Yes
// to the data reduction; the collector leaves and pellamy4 reduces the
// session the collector wrote.
TEST_F(DialogTest, TheDataReductionAfterAStopReportsTheCollectedSession) {
    SimulatorSession sim;
    // Nothing stored: the program is found on PATH.
    const ScopedPath path(std::string(PELLAMY4_DIR) + ":/usr/bin:/bin");
    // No browser from a test.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    dialog_->useRealLaunch = true;
    dialog_->Start();
    ASSERT_TRUE(dialog_->IsRunning()) << TakeMessage();
    const std::string session = platform::ToUtf8(dialog_->SystemThread()->SessionDir());
    ASSERT_TRUE(Eventually([&] { return dialog_->SystemThread()->InstanceThreadCount() == 3; }));
    At(15, 14, 59);
    At(15, 15, 0);
    ASSERT_TRUE(Eventually([&] { return HasFileEnding(session, ".buf"); }));

    answers_ = {wizard::IDYES, wizard::IDYES};
    dialog_->Stop();
    ASSERT_EQ(dialog_->launched.size(), 1u);
    EXPECT_EQ(platform::ToUtf8(dialog_->launched[0]), std::string(PELLAMY4_DIR) + "pellamy4");
    EXPECT_EQ(platform::ToUtf8(dialog_->launchedOn[0]), session);
    EXPECT_FALSE(dialog_->isVisible());
    const fs::path report = fs::path(session) / "report.html";
    EXPECT_TRUE(Eventually([&] { return fs::exists(report); }, 60000)) << report;
}

}  // namespace
}  // namespace dialogtest
