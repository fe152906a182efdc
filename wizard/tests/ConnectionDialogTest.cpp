#include "WizardTestSupport.h"
#include "wizard/ConnectionDialog.h"
#include "wizard/WizardUserInterface.h"

namespace wizardtest {
namespace {

// The wizard half of the user interface, with a main window that does
// nothing (it belongs to the application).
class TestUserInterface : public CWizardUserInterface {
  public:
    void RepaintMainWindow() override {}
    bool PostMessage(unsigned, uintptr_t, intptr_t) override { return true; }
};

TEST(ConnectionDialogTest, OpensWithTheClipPlayingAndRewritesTheStatusLine) {
    TestUserInterface ui;
    QPointer<CConnectionDialog> window;
    {
        std::unique_ptr<IConnectionTestDialog> dialog = ui.OpenConnectionTestDialog();
        auto* handle = dynamic_cast<CConnectionTestWindow*>(dialog.get());
        ASSERT_NE(handle, nullptr);
        window = &handle->Dialog();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->parent(), nullptr);
        EXPECT_FALSE(window->isModal());
        EXPECT_EQ(window->windowTitle(), "Testing connections, please wait ...");
        EXPECT_EQ(window->Status(), "Starting connection test.");
        EXPECT_TRUE(window->Animation()->IsPlaying());

        const int first = window->Animation()->CurrentFrame();
        QTest::qWait(300);
        EXPECT_NE(window->Animation()->CurrentFrame(), first);

        dialog->SetStatus(u"opening connection to instance qashost1_QAS_00.");
        EXPECT_EQ(window->Status(), "opening connection to instance qashost1_QAS_00.");
    }
    // Destroying the handle closes the window, also on the way out of a throw.
    EXPECT_TRUE(window.isNull());
}

TEST(ConnectionDialogTest, AnimationLoopsForeverOrAsOftenAsAsked) {
    CAnimationControl clip;
    EXPECT_FALSE(clip.Open(130));
    EXPECT_FALSE(clip.Play(0, -1, -1));
    ASSERT_TRUE(clip.Open(CAnimationControl::kConnectionClip));
    ASSERT_TRUE(clip.Play(0, -1, 2));
    const int frames = clip.FrameCount();
    // Two passes stop at the last frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !clip.IsPlaying(); }, 10000));
    EXPECT_EQ(clip.CurrentFrame(), frames - 1);
    EXPECT_FALSE(clip.Play(5, 3, 1));
}

}  // namespace
}  // namespace wizardtest
