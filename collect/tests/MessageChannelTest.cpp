#include "collect/core/MessageChannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

// A main window whose queue refuses the first posts it is offered.
class RecordingWindow : public MessageTarget {
  public:
    explicit RecordingWindow(int refusals = 0) : refusals_(refusals) {}
    bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override {
        std::lock_guard lock(mutex_);
        ++attempts;
        if (refusals_ > 0) {
            --refusals_;
            return false;
        }
        EXPECT_EQ(wParam, 0u);
        posted.push_back({message, static_cast<int>(lParam)});
        return true;
    }
    std::mutex mutex_;
    int refusals_;
    int attempts = 0;
    std::vector<std::pair<unsigned, int>> posted;
};

class MessageChannelTest : public ::testing::Test {
  protected:
    void SetUp() override { MessageChannel::Instance().Reset(); }
    void TearDown() override { MessageChannel::Instance().Reset(); }
    MessageChannel& channel = MessageChannel::Instance();
};

TEST_F(MessageChannelTest, RingWrapsSoTheHundredthLandsInSlotZero) {
    RecordingWindow window;
    channel.SetMainWindow(&window);
    for (int i = 1; i <= 101; ++i) {
        const int slot = channel.Post(WM_INSTANCE_MESSAGE,
                                      u"line " + std::u16string(1, char16_t(u'0' + i % 10)));
        if (i == 1) {
            EXPECT_EQ(slot, 1);
        }
        if (i == 99) {
            EXPECT_EQ(slot, 99);
        }
        if (i == 100) {
            EXPECT_EQ(slot, 0);
        }
        if (i == 101) {
            EXPECT_EQ(slot, 1);
        }
    }
    ASSERT_EQ(window.posted.size(), 101u);
    EXPECT_EQ(window.posted[99], (std::pair<unsigned, int>{WM_INSTANCE_MESSAGE, 0}));
    EXPECT_EQ(channel.Slot(1), u"line 1");  // the 101st overwrote the first
    EXPECT_EQ(channel.Slot(100), u"");
}

TEST_F(MessageChannelTest, LineFeedsBecomeBlanksInTheRing) {
    const int slot = channel.Post(WM_SYSTEM_MESSAGE, u"a\nb\n");
    EXPECT_EQ(channel.Slot(slot), u"a b ");
}

TEST_F(MessageChannelTest, WithoutMainWindowTheLineStaysInTheRing) {
    RecordingWindow window;
    EXPECT_EQ(channel.Post(WM_HOST_MESSAGE, u"x"), 1);
    EXPECT_EQ(window.attempts, 0);
    EXPECT_EQ(channel.Slot(1), u"x");
}

TEST_F(MessageChannelTest, RefusedPostIsRetriedUntilTaken) {
    RecordingWindow window(3);
    channel.SetMainWindow(&window);
    channel.Post(WM_HOST_MESSAGE, u"x");
    EXPECT_EQ(window.attempts, 4);
    ASSERT_EQ(window.posted.size(), 1u);
    EXPECT_EQ(window.posted[0].first, WM_HOST_MESSAGE);
}

TEST_F(MessageChannelTest, ConcurrentWritersPostEverySlotInOrder) {
    RecordingWindow window;
    channel.SetMainWindow(&window);
    constexpr int kWriters = 4, kEach = 50;
    std::vector<std::thread> writers;
    std::atomic<bool> readerDone{false};
    std::thread reader([&] {  // reads slots while they are written
        while (!readerDone.load()) (void)channel.Slot(channel.LastIndex());
    });
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) channel.Post(WM_INSTANCE_MESSAGE, u"m");
        });
    }
    for (auto& t : writers) t.join();
    readerDone = true;
    reader.join();
    ASSERT_EQ(window.posted.size(), static_cast<size_t>(kWriters * kEach));
    for (size_t i = 0; i < window.posted.size(); ++i) {
        EXPECT_EQ(window.posted[i].second, static_cast<int>((i + 1) % 100));
    }
}

TEST(MessageTimeStampTest, StampOfAChosenMoment) {
    EXPECT_EQ(MessageTimeStamp(platform::MakeDateTime(2026, 12, 6, 15, 7, 0)),
              u"  3:07 PM   Sun, Dec 6, 2026  ");
}

}  // namespace
