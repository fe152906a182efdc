// Cutting session files into records: what fits a layout, and the note a
// file gets when it is empty, cut short, partly or wholly foreign.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "collect/records/InstanceRecords.h"
#include "platform/FixedText.h"
#include "tools/pellamy4/SessionFiles.h"

namespace {

using namespace pellamy;
namespace fs = std::filesystem;

class SessionFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("pellamy4_files_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& name, const void* data, size_t size) {
        std::ofstream out(dir_ / name, std::ios::binary);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::vector<instrec::MemoryRecord> ReadMem(const std::string& name, Notes& notes) {
        const SessionFolder folder(dir_.string());
        return ReadRecordFile<instrec::MemoryRecord>(
            folder, name, "memory time series",
            [](const instrec::MemoryRecord& r) { return PlausibleTime(r.time); }, notes);
    }
    fs::path dir_;
};

TEST(FieldTextTest, WellFormedFieldsAreTextThenZeros) {
    char16_t field[6] = {};
    platform::CopyToField(field, u"VA01");
    EXPECT_TRUE(WellFormedText(field));
    platform::CopyToField(field, u"ABCDEF");  // full, no terminator
    EXPECT_TRUE(WellFormedText(field));
    field[5] = 0;
    field[4] = 0;
    field[5] = u'X';  // text after the terminator
    EXPECT_FALSE(WellFormedText(field));
    const char16_t control[6] = {u'A', 0x01};
    EXPECT_FALSE(WellFormedText(control));
    const char16_t pair[3] = {u'A', 0xD83D, 0xDE00};
    EXPECT_TRUE(WellFormedText(pair));
    const char16_t cut[2] = {u'A', 0xD83D};  // the low half did not fit
    EXPECT_TRUE(WellFormedText(cut));
    const char16_t lone[3] = {0xD83D, u'A'};
    EXPECT_FALSE(WellFormedText(lone));
    const char16_t privateUse[2] = {0xE123};
    EXPECT_FALSE(WellFormedText(privateUse));
    EXPECT_EQ(FieldUtf8(u"  VA01  "), "VA01");
}

TEST_F(SessionFilesTest, EveryKindOfDamageGetsItsNote) {
    instrec::MemoryRecord good{};
    good.time = 46363.5;
    instrec::MemoryRecord bad{};
    bad.time = 1e300;

    // Two good records and a cut third.
    std::vector<unsigned char> bytes(2 * sizeof good + 10);
    std::memcpy(bytes.data(), &good, sizeof good);
    std::memcpy(bytes.data() + sizeof good, &good, sizeof good);
    Write("a.mem", bytes.data(), bytes.size());
    // One good, one foreign.
    const instrec::MemoryRecord mixed[] = {good, bad};
    Write("b.mem", mixed, sizeof mixed);
    // Text where records belong.
    const std::string text(200, 'x');
    Write("c.mem", text.data(), text.size());
    Write("d.mem", nullptr, 0);
    Write("e.mem", &good, 5);

    Notes notes;
    EXPECT_EQ(ReadMem("a.mem", notes).size(), 2u);
    EXPECT_EQ(ReadMem("b.mem", notes).size(), 1u);
    EXPECT_TRUE(ReadMem("c.mem", notes).empty());
    EXPECT_TRUE(ReadMem("d.mem", notes).empty());
    EXPECT_TRUE(ReadMem("e.mem", notes).empty());
    EXPECT_TRUE(ReadMem("f.mem", notes).empty());
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[0].file, "a.mem");
    EXPECT_EQ(notes[0].text, "truncated: an incomplete last record of 10 bytes is left out");
    EXPECT_EQ(notes[1].text, "1 of 2 records do not fit the layout and are left out");
    EXPECT_TRUE(notes[2].text.starts_with("not a memory time series: none of its 7 records"))
        << notes[2].text;
    EXPECT_EQ(notes[3].text, "empty: the memory time series holds no records");
    EXPECT_EQ(notes[4].text, "truncated: 5 bytes, less than one record of 28 bytes");
    EXPECT_EQ(notes[5].text, "missing: no memory time series in the session");
}

TEST_F(SessionFilesTest, StreamingKeepsRecordsWholeAcrossBlocks) {
    // 177-byte records do not divide the block size; 20,000 of them span
    // several blocks, plus a tail.
    std::vector<unsigned char> bytes(20000 * sizeof(instrec::DialogStepRecord) + 3);
    for (size_t i = 0; i < 20000; ++i) {
        instrec::DialogStepRecord r{};
        r.memSum = static_cast<int32_t>(i);
        std::memcpy(bytes.data() + i * sizeof r, &r, sizeof r);
    }
    Write("x.dss", bytes.data(), bytes.size());
    int64_t expected = 0, calls = 0;
    bool ordered = true;
    const StreamCounts counts =
        StreamRecords((dir_ / "x.dss").string(), sizeof(instrec::DialogStepRecord),
                      [&](const unsigned char* p) {
                          instrec::DialogStepRecord r;
                          std::memcpy(&r, p, sizeof r);
                          ordered = ordered && r.memSum == expected++;
                          return r.memSum % 2 == 0;
                      },
                      [&](uint64_t, uint64_t) { ++calls; });
    EXPECT_TRUE(ordered);
    EXPECT_EQ(counts.records, 10000u);
    EXPECT_EQ(counts.unfit, 10000u);
    EXPECT_EQ(counts.tailBytes, 3u);
    EXPECT_GT(calls, 2);
    EXPECT_THROW(StreamRecords((dir_ / "none.dss").string(), 177, {}, {}), std::runtime_error);
}

TEST(ListingTest, LinesOfTheCodePageWithEitherEnding) {
    const std::string text = "a = 1\r\nb = \xE9t\xE9\nlast";
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    EXPECT_EQ(ListingLines(bytes),
              (std::vector<std::string>{"a = 1", "b = \xC3\xA9t\xC3\xA9", "last"}));
}

}  // namespace
