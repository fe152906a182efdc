// Retention over a real data directory: exactly the old or surplus folders
// of this system go, oldest first; the current folder, other systems'
// folders and anything foreign stay, the foreign named once.
#include "collect/system/FolderRetention.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/TextCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FolderRetentionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-retention-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        data_ = pattern;
    }
    void TearDown() override { fs::remove_all(data_); }

    // A folder of files of the given sizes, all last written daysAgo.
    void Folder(const std::string& name, std::vector<std::pair<std::string, size_t>> files,
                int daysAgo) {
        fs::create_directories(data_ / name);
        for (const auto& [file, size] : files) {
            std::ofstream(data_ / name / file, std::ios::binary) << std::string(size, 'r');
            fs::last_write_time(data_ / name / file,
                                fs::file_time_type::clock::now() - 24h * daysAgo);
        }
        fs::last_write_time(data_ / name, fs::file_time_type::clock::now() - 24h * daysAgo);
    }
    std::vector<std::string> Apply(FolderRetention& retention, const std::string& current) {
        std::vector<std::string> lines;
        retention.Apply(
            platform::FromUtf8(data_.string() + "/"),
            platform::FromUtf8((data_ / current).string() + "/"), std::chrono::system_clock::now(),
            [&](const std::u16string& line) { lines.push_back(platform::ToUtf8(line)); });
        return lines;
    }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string all;
        for (const auto& l : lines) all += l + "\n";
        return all;
    }

    fs::path data_;
};

TEST_F(FolderRetentionTest, DaysRemoveOnlyOwnFinishedFoldersAndForeignEntriesAreNamedOnce) {
    Folder("11010000.QAS", {{"QAS.log", 10}, {"qashost1_QAS_00.dss", 177}, {"report.html", 5}}, 40);
    Folder("11150000.QAS", {{"QAS.log", 10}}, 31);
    Folder("11200000.QAS", {{"QAS.log", 10}, {"pc.ctl", 20}}, 10);
    Folder("11020000.QAS", {{"QAS.log", 10}, {"notes.xlsx", 3}}, 50);  // someone's file inside
    Folder("11030000.PRD", {{"PRD.log", 10}}, 60);                     // another system
    Folder("13010000.QAS", {{"QAS.log", 10}}, 70);                     // no such month
    Folder("12090000.QAS", {{"QAS.log", 10}}, 90);                     // the current one
    Folder("archive", {{"QAS.log", 10}}, 90);
    std::ofstream(data_ / "readme.txt") << "keep";
    std::ofstream(data_ / ".QAS.lock") << "4242\n";  // the running collector's lock

    FolderRetention retention(u"QAS", RetentionRules{30, std::nullopt});
    const auto lines = Apply(retention, "12090000.QAS");
    const std::string all = Joined(lines);
    EXPECT_FALSE(fs::exists(data_ / "11010000.QAS")) << all;
    EXPECT_FALSE(fs::exists(data_ / "11150000.QAS")) << all;
    for (const char* kept : {"11200000.QAS", "11020000.QAS", "11030000.PRD", "13010000.QAS",
                             "12090000.QAS", "archive", "readme.txt", ".QAS.lock"})
        EXPECT_TRUE(fs::exists(data_ / kept)) << kept << "\n" << all;
    size_t removed = 0, foreign = 0;
    for (const std::string& line : lines) {
        if (line.starts_with("removed session folder ")) ++removed;
        if (line.starts_with("retention leaves ")) ++foreign;
    }
    EXPECT_EQ(removed, 2u) << all;
    EXPECT_EQ(foreign, 4u) << all;  // the folder with notes, the month 13, archive, readme.txt
    EXPECT_NE(all.find("removed session folder " + (data_ / "11010000.QAS").string() +
                       " (192 bytes, past the days to keep)."),
              std::string::npos)
        << all;
    EXPECT_EQ(all.find("11030000.PRD"), std::string::npos) << all;
    EXPECT_EQ(all.find(".QAS.lock"), std::string::npos) << all;
    EXPECT_TRUE(Apply(retention, "12090000.QAS").empty());
}

TEST_F(FolderRetentionTest, SizeRemovesTheOldestUntilAllFitAndNeverTheCurrent) {
    Folder("12010000.QAS", {{"a.dss", 3000}}, 8);
    Folder("12020000.QAS", {{"a.dss", 2000}}, 7);
    Folder("12030000.QAS", {{"a.dss", 1500}}, 6);
    Folder("12040000.QAS", {{"a.dss", 1000}}, 0);
    FolderRetention retention(u"QAS", RetentionRules{std::nullopt, 4000});
    const auto lines = Apply(retention, "12040000.QAS");
    EXPECT_FALSE(fs::exists(data_ / "12010000.QAS")) << Joined(lines);
    EXPECT_FALSE(fs::exists(data_ / "12020000.QAS")) << Joined(lines);
    EXPECT_TRUE(fs::exists(data_ / "12030000.QAS")) << Joined(lines);
    EXPECT_EQ(lines.size(), 2u) << Joined(lines);
    EXPECT_NE(lines[0].find("12010000.QAS"), std::string::npos);  // the oldest first

    // The current folder alone past the size stays.
    FolderRetention tight(u"QAS", RetentionRules{std::nullopt, 100});
    Apply(tight, "12040000.QAS");
    EXPECT_FALSE(fs::exists(data_ / "12030000.QAS"));
    EXPECT_TRUE(fs::exists(data_ / "12040000.QAS"));
    // No rules: nothing is even looked at.
    FolderRetention none(u"QAS", RetentionRules{});
    EXPECT_TRUE(Apply(none, "12040000.QAS").empty());
}

TEST(FolderRetentionNamesTest, PatternAndFilesOfTheCollector) {
    EXPECT_TRUE(FolderRetention::IsSessionFolderName("12061507.QAS", "QAS"));
    EXPECT_FALSE(FolderRetention::IsSessionFolderName("12061507.QAS", "PRD"));
    EXPECT_FALSE(FolderRetention::IsSessionFolderName("1206150.QAS", "QAS"));
    EXPECT_FALSE(FolderRetention::IsSessionFolderName("12321507.QAS", "QAS"));
    EXPECT_FALSE(FolderRetention::IsSessionFolderName("12062407.QAS", "QAS"));
    EXPECT_FALSE(FolderRetention::IsSessionFolderName("1206150a.QAS", "QAS"));
    EXPECT_FALSE(FolderRetention::IsSessionFolderName("12061507_QAS", "QAS"));
    for (const char* name : {"qashost1_QAS_00.dss", "pc.ctl", "QAS.cmp", "host_sda.dsk",
                             "report.html", "dialog_steps.csv"})
        EXPECT_TRUE(FolderRetention::IsCollectorFile(name)) << name;
    for (const char* name : {"notes.xlsx", "dss", ".dss", "core", "a.dss.bak"})
        EXPECT_FALSE(FolderRetention::IsCollectorFile(name)) << name;
}

}  // namespace
