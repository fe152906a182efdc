// The disk guard against real file systems: the default minimum, one change
// per crossing, the messages, and a small file system filled and freed.
#include "collect/system/DiskGuard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Directory.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/SmallFileSystem.h"

namespace {

using Change = DiskGuard::Change;

TEST(DiskGuardTest, TheDefaultKeepsTwoPercentUpToOneGibibyte) {
    constexpr uint64_t kGiB = uint64_t{1} << 30;
    EXPECT_EQ(DiskGuard::DefaultMinimum(10 * kGiB), 10 * kGiB / 100 * 2);
    EXPECT_EQ(DiskGuard::DefaultMinimum(50 * kGiB), kGiB);
    EXPECT_EQ(DiskGuard::DefaultMinimum(4000 * kGiB), kGiB);
    EXPECT_EQ(DiskGuard::DefaultMinimum(0), 0u);
    EXPECT_EQ(ByteSizeText(512), u"512 bytes");
    EXPECT_EQ(ByteSizeText(1536), u"1.5 KiB");
    EXPECT_EQ(ByteSizeText(300ull << 20), u"300 MiB");
    EXPECT_EQ(ByteSizeText(kGiB), u"1.0 GiB");
}

// The minimum moved across what the temporary directory has free: one
// change each way, then quiet; an unreadable path changes nothing.
TEST(DiskGuardTest, PausesOnceBelowTheMinimumAndResumesOnceAbove) {
    const std::u16string path = platform::FromUtf8(std::filesystem::temp_directory_path().string());
    DiskGuard guard;
    guard.SetMinimum(0);
    EXPECT_EQ(guard.Check(path), Change::None);
    EXPECT_FALSE(guard.Paused());
    ASSERT_TRUE(guard.Last().known);
    guard.SetMinimum(guard.Last().availableBytes + (uint64_t{1} << 40));
    EXPECT_EQ(guard.Check(path), Change::Paused);
    EXPECT_TRUE(guard.Paused());
    EXPECT_EQ(guard.Check(path), Change::None);
    EXPECT_EQ(guard.Check(u"/no/such/data/directory"), Change::None);
    EXPECT_TRUE(guard.Paused());
    const std::u16string paused = guard.Message(Change::Paused, u"/data/");
    EXPECT_TRUE(paused.starts_with(u"dialog step capture paused: /data/ has "))
        << platform::ToUtf8(paused);
    EXPECT_NE(paused.find(u"to keep free."), std::u16string::npos);
    guard.SetMinimum(std::nullopt);  // the default: far less than a terabyte more than is free
    EXPECT_EQ(guard.Check(path), Change::Resumed);
    EXPECT_EQ(guard.Check(path), Change::None);
    EXPECT_TRUE(
        guard.Message(Change::Resumed, u"/data/").starts_with(u"dialog step capture resumed"));
    EXPECT_EQ(guard.Message(Change::None, u"/data/"), u"");
}

TEST(DiskGuardTest, ASmallFileSystemThatFillsPausesAndOneThatEmptiesResumes) {
    testsupport::SmallFileSystem disk(4 << 20);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
    const std::u16string path = platform::FromUtf8(disk.Path());
    DiskGuard guard;
    guard.SetMinimum(1 << 20);
    EXPECT_EQ(guard.Check(path), Change::None);
    const std::string filler = disk.Path() + "/filler";
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(64 << 10, 'f');
        for (int i = 0; i < 50; ++i) out.write(block.data(), block.size());
    }
    EXPECT_EQ(guard.Check(path), Change::Paused);
    EXPECT_LT(guard.Last().availableBytes, uint64_t{1} << 20);
    std::filesystem::remove(filler);
    EXPECT_EQ(guard.Check(path), Change::Resumed);
    EXPECT_EQ(platform::FilesBytes(path + u"/"), 0u);
}

}  // namespace
