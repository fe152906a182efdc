#include "wizard/settings/SettingsStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using settings::SettingsStore;

namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-settings-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root_, fs::perms::owner_all, ec);
        fs::remove_all(root_, ec);
    }
    std::string root_;
};

TEST_F(SettingsStoreTest, MissingFileSectionOrKeyGivesTheFallback) {
    SettingsStore store(settings::kCollectorApp, root_ + "/cfg");
    EXPECT_EQ(store.FilePath(), root_ + "/cfg/quorvel.ini");
    EXPECT_EQ(store.GetString(u"Logon", u"HostName"), u"");
    EXPECT_EQ(store.GetString(u"Logon", u"HostName", u"?"), u"?");
    ASSERT_TRUE(store.SetString(u"Logon", u"User", u"COLLECTOR"));
    EXPECT_EQ(store.GetString(u"Logon", u"HostName", u"?"), u"?");
    EXPECT_EQ(store.GetString(u"Data", u"User", u"x"), u"x");
}

TEST_F(SettingsStoreTest, ValuesSurviveARoundTripWithTheirSpecialCharacters) {
    SettingsStore store(settings::kCollectorApp, root_);
    const std::u16string lines = u"DEST1\nDEST2\n\n";
    const std::u16string scrambled = {0x54, 0x4c, 0xfffe, 0x00e9, u'=', u';', u'#'};
    ASSERT_TRUE(store.SetString(u"QAS", u"DestinationList", lines));
    ASSERT_TRUE(store.SetString(u"Logon", u"Password", scrambled));
    ASSERT_TRUE(store.SetString(u"Program", u"Path", u"/opt/a, b/"));
    ASSERT_TRUE(store.SetString(u"QAS", u"Destination1", u"  padded  "));
    ASSERT_TRUE(store.SetString(u"General", u"Path", u"general"));

    SettingsStore again(settings::kCollectorApp, root_);
    EXPECT_EQ(again.GetString(u"QAS", u"DestinationList"), lines);
    EXPECT_EQ(again.GetString(u"Logon", u"Password"), scrambled);
    EXPECT_EQ(again.GetString(u"Program", u"Path"), u"/opt/a, b/");
    EXPECT_EQ(again.GetString(u"QAS", u"Destination1"), u"  padded  ");
    EXPECT_EQ(again.GetString(u"General", u"Path"), u"general");
}

TEST_F(SettingsStoreTest, SeveralSectionsAreWrittenInOneReplacement) {
    SettingsStore store(settings::kCollectorApp, root_);
    ASSERT_TRUE(store.SetString(u"Data", u"Path", u"/old/"));
    ASSERT_TRUE(store.SetSections({{u"Program", {{u"Path", u"/p/"}}},
                                   {u"Data", {{u"Path", u"/d/"}}},
                                   {u"Session", {{u"Path", u"/d/s/"}}}}));
    EXPECT_EQ(store.GetString(u"Program", u"Path"), u"/p/");
    EXPECT_EQ(store.GetString(u"Data", u"Path"), u"/d/");
    EXPECT_EQ(store.GetString(u"Session", u"Path"), u"/d/s/");

    // A store that cannot be written changes nothing at all.
    std::ofstream(root_ + "/file") << "x";
    SettingsStore blocked(settings::kCollectorApp, root_ + "/file/cfg");
    std::u16string error;
    EXPECT_FALSE(blocked.SetSections({{u"Data", {{u"Path", u"/x/"}}}}, &error));
    EXPECT_FALSE(error.empty());
}

// The main window and the console may write at the same moment; each
// read-modify-rename holds the file lock, so no process loses a value.
TEST_F(SettingsStoreTest, WritesOfSeveralProcessesAreAllKept) {
    constexpr int kProcesses = 4, kWrites = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SettingsStore store(settings::kCollectorApp, root_);
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                const std::string key = "P" + std::to_string(p) + "_" + std::to_string(i);
                ok = store.SetString(u"Race", std::u16string(key.begin(), key.end()), u"1") && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SettingsStore store(settings::kCollectorApp, root_);
    int kept = 0;
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kWrites; ++i) {
            const std::string key = "P" + std::to_string(p) + "_" + std::to_string(i);
            kept += store.GetString(u"Race", std::u16string(key.begin(), key.end())) == u"1";
        }
    EXPECT_EQ(kept, kProcesses * kWrites);
}

TEST_F(SettingsStoreTest, ApplicationsKeepSeparateFilesAndSectionsStayApart) {
    SettingsStore collector(settings::kCollectorApp, root_);
    SettingsStore reduction(settings::kDataReductionApp, root_);
    ASSERT_TRUE(collector.SetString(u"Program", u"Path", u"/collector/"));
    ASSERT_TRUE(reduction.SetString(u"Program", u"Path", u"/reduction/"));
    ASSERT_TRUE(collector.SetString(u"Data", u"Path", u"/data/"));
    EXPECT_EQ(reduction.FilePath(), root_ + "/Pellamy4.ini");
    EXPECT_EQ(collector.GetString(u"Program", u"Path"), u"/collector/");
    EXPECT_EQ(reduction.GetString(u"Program", u"Path"), u"/reduction/");
    EXPECT_EQ(collector.GetString(u"Data", u"Path"), u"/data/");
}

TEST_F(SettingsStoreTest, FileIsPrivateAndLeavesNoTemporaryFiles) {
    SettingsStore store(settings::kCollectorApp, root_ + "/a/b");
    ASSERT_TRUE(store.SetString(u"Logon", u"Password", u"DFH"));
    struct stat st {};
    ASSERT_EQ(::stat(store.FilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((root_ + "/a/b").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);

    // Loosened by hand, tightened again at the next write.
    ::chmod(store.FilePath().c_str(), 0644);
    ASSERT_TRUE(store.SetString(u"Logon", u"User", u"U"));
    ASSERT_EQ(::stat(store.FilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    int entries = 0;
    for (const auto& entry : fs::directory_iterator(root_ + "/a/b")) {
        ++entries;
        EXPECT_EQ(entry.path().filename(), "quorvel.ini");
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsStoreTest, RapidRewritesOfEqualLengthAreAllSeen) {
    SettingsStore store(settings::kCollectorApp, root_);
    for (int i = 0; i < 50; ++i) {
        const std::u16string value(1, static_cast<char16_t>(u'A' + i % 26));
        ASSERT_TRUE(store.SetString(u"Logon", u"Language", value));
        ASSERT_EQ(store.GetString(u"Logon", u"Language"), value) << i;
    }
}

TEST_F(SettingsStoreTest, BatchWritesAllValuesInOneReplacement) {
    SettingsStore store(settings::kCollectorApp, root_);
    ASSERT_TRUE(store.SetString(u"Logon", u"Client", u"000"));
    ASSERT_TRUE(store.SetStrings(u"Logon", {{u"HostName", u"qashost1"}, {u"Client", u"100"}}));
    EXPECT_EQ(store.GetString(u"Logon", u"HostName"), u"qashost1");
    EXPECT_EQ(store.GetString(u"Logon", u"Client"), u"100");
}

// A file-size limit fails every write of the copy, for root as for anyone.
TEST_F(SettingsStoreTest, AFailedWriteIsReportedAndKeepsThePreviousFile) {
    SettingsStore store(settings::kCollectorApp, root_);
    ASSERT_TRUE(store.SetString(u"Logon", u"HostName", u"before"));
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);  // a write past it fails with EFBIG
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    std::u16string error;
    const bool first = store.SetString(u"Logon", u"HostName", u"after", &error);
    const bool second = store.SetString(u"Logon", u"HostName", u"after");  // no error pointer
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(first);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(second);
    EXPECT_EQ(store.GetString(u"Logon", u"HostName"), u"before");
    // No copy is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(SettingsStoreTest, ADirectoryThatIsAFileIsReported) {
    std::ofstream(root_ + "/file") << "x";
    SettingsStore store(settings::kCollectorApp, root_ + "/file");
    std::u16string error;
    EXPECT_FALSE(store.SetString(u"Logon", u"HostName", u"h", &error));
    EXPECT_NE(error.find(u"cannot create"), std::u16string::npos);
    EXPECT_EQ(store.GetString(u"Logon", u"HostName", u"fb"), u"fb");
}

TEST_F(SettingsStoreTest, AFileThatCannotBeReplacedIsReported) {
    SettingsStore store(settings::kCollectorApp, root_);
    fs::create_directory(store.FilePath());
    std::u16string error;
    EXPECT_FALSE(store.SetString(u"Logon", u"HostName", u"h", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(store.FilePath()));
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(SettingsStoreTest, DirectoryComesFromTheEnvironmentOrTheConfigHome) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv(settings::kDirectoryEnv, (root_ + "/env").c_str(), 1);
    EXPECT_EQ(SettingsStore(settings::kCollectorApp).FilePath(), root_ + "/env/quorvel.ini");
    ::unsetenv(settings::kDirectoryEnv);
    ::setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    EXPECT_EQ(SettingsStore(settings::kCollectorApp).FilePath(),
              root_ + "/Ostrel/VantrixSAP/quorvel.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", root_.c_str(), 1);
    EXPECT_EQ(SettingsStore(settings::kDataReductionApp).FilePath(),
              root_ + "/.config/Ostrel/VantrixSAP/Pellamy4.ini");
    ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
