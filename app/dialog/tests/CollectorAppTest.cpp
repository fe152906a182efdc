// Start-up: the operating-system check and the catch paths.
#include <QSplashScreen>

#include "DialogTestSupport.h"
#include "app/dialog/CollectorApp.h"
#include "collect/core/CollectorException.h"

namespace dialogtest {
namespace {

class CScriptedApp : public CCollectorApp {
  public:
    using CCollectorApp::CCollectorApp;
    int dialogs = 0;
    std::function<void()> body = [] {};

  protected:
    void RunMainDialog() override {
        ++dialogs;
        body();
    }
};

using AppTest = wizardtest::WizardTest;

TEST_F(AppTest, MajorVersion4ShowsTheVersionMessageAndNoWindow) {
    CScriptedApp app([] { return OsVersionInfo{4, 0}; });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(TakeMessage(), "Program will only run on Windows 2000/XP!");
    EXPECT_EQ(app.dialogs, 0);
    EXPECT_EQ(app.Splash(), nullptr);
}

TEST_F(AppTest, SupportedVersionShowsTheSplashAndRunsTheDialog) {
    CScriptedApp app([] { return OsVersionInfo{5, 1}; });
    app.body = [&] {
        ASSERT_NE(app.Splash(), nullptr);
        EXPECT_TRUE(app.Splash()->isVisible());
    };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.dialogs, 1);
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    // The splash closes itself after three seconds.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.Splash()->isVisible(); }, 5000));
}

TEST_F(AppTest, FailuresDuringStartUpEndInOneStopBox) {
    CScriptedApp app([] { return OsVersionInfo{6, 1}; });
    app.body = [] { ThrowCollectorException(u"no room"); };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Stop);
    EXPECT_EQ(TakeMessage().substr(0, 9), "Collector");

    app.body = [] { throw 1; };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(TakeMessage(), "CCollectorApp::InitInstance()\nlow-level exception trapped.");
}

TEST_F(AppTest, TheRunningKernelGivesAVersionRecord) {
    EXPECT_GE(ReadOsVersion().major, 3);
}

}  // namespace
}  // namespace dialogtest
