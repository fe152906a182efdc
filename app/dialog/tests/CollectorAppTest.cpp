// Start-up: the operating-system check and the catch paths.
#include <QSplashScreen>
#include <cstdlib>

#include "DialogTestSupport.h"
#include "app/dialog/CollectorApp.h"
#include "collect/core/CollectorException.h"
#include "platform/TextCodec.h"

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

std::optional<platform::KernelInformation> Kernel(std::u16string name, std::u16string release) {
    return platform::KernelInformation{std::move(name), std::move(release), u"#1 SMP"};
}

TEST_F(AppTest, AnotherKernelShowsTheVersionMessageAndNoWindow) {
    for (const char16_t* name : {u"Windows_NT", u"FreeBSD", u""}) {
        CScriptedApp app([name] { return Kernel(name, u"10.0"); });
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(TakeMessage(), "Program will only run on Windows 2000/XP!");
        EXPECT_EQ(app.dialogs, 0);
        EXPECT_EQ(app.Splash(), nullptr);
    }
}

TEST_F(AppTest, EveryLinuxReleaseRunsTheDialog) {
    // Enterprise distributions still run 3.10 and 4.18 kernels.
    for (const char16_t* release :
         {u"3.10.0-1160.el7.x86_64", u"4.18.0-513.el8.x86_64", u"2.6.32"}) {
        CScriptedApp app([release] { return Kernel(u"Linux", release); });
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(app.dialogs, 1) << platform::ToUtf8(release);
        EXPECT_EQ(TakeMessage(), "0 message boxes");
    }
}

TEST_F(AppTest, ASupportedSystemShowsTheSplashWhileTheDialogRuns) {
    CScriptedApp app([] { return Kernel(u"Linux", u"6.1.0-18-amd64"); });
    app.body = [&] {
        ASSERT_NE(app.Splash(), nullptr);
        EXPECT_TRUE(app.Splash()->isVisible());
    };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.dialogs, 1);
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    // The splash closes itself after three seconds.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.Splash()->isVisible(); }, 120000));
}

TEST_F(AppTest, AnUnreadableKernelIsNoReasonToRefuse) {
    CScriptedApp app([] { return std::optional<platform::KernelInformation>(); });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.dialogs, 1);
    EXPECT_EQ(TakeMessage(), "0 message boxes");
}

TEST_F(AppTest, FailuresDuringStartUpEndInOneStopBox) {
    CScriptedApp app([] { return Kernel(u"Linux", u"6.1.0"); });
    app.body = [] { ThrowCollectorException(u"no room"); };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Stop);
    EXPECT_EQ(TakeMessage().substr(0, 9), "Collector");

    app.body = [] { throw 1; };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(TakeMessage(), "CCollectorApp::InitInstance()\nlow-level exception trapped.");
}

TEST_F(AppTest, AnRfcLibraryThatCannotBeLoadedEndsTheStartInOneStopBox) {
    setenv("QUORVEL_RFC_LIBRARY", "/nonexistent/libsapnwrfc.so", 1);
    CScriptedApp app([] { return Kernel(u"Linux", u"6.1.0"); });
    EXPECT_FALSE(app.InitInstance());
    unsetenv("QUORVEL_RFC_LIBRARY");
    EXPECT_EQ(app.dialogs, 0);
    EXPECT_EQ(app.ExitCode(), 1);
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Stop);
    EXPECT_EQ(TakeMessage().rfind("cannot load the RFC library /nonexistent/libsapnwrfc.so: ", 0),
              0u);
}

TEST_F(AppTest, TheRunningKernelPassesTheGate) {
    EXPECT_TRUE(platform::RunsOnBuildPlatform(platform::ReadKernelInformation()));
}

}  // namespace
}  // namespace dialogtest
