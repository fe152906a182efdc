#include "platform/File.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/AnsiTextFile.h"
#include "platform/Directory.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/DiskBudget.h"
#include "platform/tests/support/FileModes.h"
#include "platform/tests/support/SmallFileSystem.h"

namespace platform {
namespace {

class FileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = WithTrailingSeparator(FromUtf8(pattern));
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + ToUtf8(dir_) + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string Content(const std::u16string& name) {
        const auto bytes = ReadWholeFile(dir_ + name);
        return std::string(bytes.begin(), bytes.end());
    }
    std::u16string dir_;
};

TEST_F(FileTest, SnapshotTruncatesAppendAppendsUpdateKeeps) {
    const std::u16string path = dir_ + u"data.bin";
    {
        File f(path, File::Mode::Snapshot);
        f.Write("abcdef", 6);
        f.Close();
    }
    {
        File f(path, File::Mode::Append);
        f.Write("gh", 2);
        EXPECT_EQ(f.Position(), 8);
        f.Close();
    }
    EXPECT_EQ(Content(u"data.bin"), "abcdefgh");
    {
        File f(path, File::Mode::Update);
        char buf[3] = {};
        EXPECT_EQ(f.Read(buf, 3), 3u);
        EXPECT_EQ(std::string(buf, 3), "abc");
        f.Seek(1);
        f.Write("XY", 2);
        EXPECT_EQ(f.Length(), 8);
        f.SeekToEnd();
        f.Write("!", 1);
        f.Close();
    }
    EXPECT_EQ(Content(u"data.bin"), "aXYdefgh!");
    {
        File f(path, File::Mode::Snapshot);
        f.Close();
    }
    EXPECT_EQ(Content(u"data.bin"), "");
}

TEST_F(FileTest, SecondWriterIsDeniedAndReadersAreNot) {
    const std::u16string path = dir_ + u"locked.bin";
    File first(path, File::Mode::Append);
    first.Write("keep", 4);
    first.Flush();
    try {
        File second(path, File::Mode::Snapshot);
        FAIL() << "second writer opened the file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
        EXPECT_EQ(e.m_strFileName, path);
        EXPECT_NE(e.GetErrorMessage().find(u"another program"), std::u16string::npos);
    }
    File reader(path, File::Mode::Read);
    char buf[4];
    EXPECT_EQ(reader.Read(buf, 4), 4u);  // the refused snapshot truncated nothing
    first.Close();
    File again(path, File::Mode::Update);  // free once the first closed
}

// Two threads appending to one file in the same moment (a destination's
// disk file of its D and D(Y) threads): the second waits for the first's
// close instead of losing its record.
TEST_F(FileTest, AWriterWaitsOutAnotherWritersMomentAndKeepsBothRecords) {
    const std::u16string path = dir_ + u"shared.dsk";
    auto first = std::make_unique<File>(path, File::Mode::Append);
    first->Write("AAAA", 4);
    std::thread closer([&first] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        first->Close();
    });
    bool written = false;
    try {
        File second(path, File::Mode::Append);
        second.Write("BBBB", 4);
        second.Close();
        written = true;
    } catch (const CFileException&) {
    }
    closer.join();
    ASSERT_TRUE(written) << "the second writer was refused";
    File reader(path, File::Mode::Read);
    char buffer[9] = {};
    EXPECT_EQ(reader.Read(buffer, 8), 8u);
    EXPECT_STREQ(buffer, "AAAABBBB");
}

TEST_F(FileTest, OpenFailureNamesTheFileAndTheReason) {
    const std::u16string path = dir_ + u"missing/dir/x.mem";
    try {
        File f(path, File::Mode::Snapshot);
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_lOsError, ENOENT);
        EXPECT_EQ(e.GetErrorMessage(),
                  u"The file " + path + u" cannot be accessed: No such file or directory.");
        EXPECT_EQ(e.ReportText(), e.GetErrorMessage());
    }
    const std::u16string longName = dir_ + std::u16string(300, u'n');
    try {
        File f(longName, File::Mode::Read);
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_LE(e.GetErrorMessage().size(), kErrorMessageCapacity);
    }
}

TEST_F(FileTest, FullDiskIsReportedNotSwallowed) {
    File f(u"/dev/full", File::Mode::Update);
    f.Write("x", 1);
    try {
        f.Close();
        FAIL() << "a write to a full disk succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_NE(e.GetErrorMessage().find(u"disk is full"), std::u16string::npos);
    }
    EXPECT_FALSE(f.IsOpen());
}

// A disk that stops taking bytes in the middle of the third record of a
// buffered append: the file ends after the second, the error names the file
// and the reason, and the next append follows on the boundary.
TEST_F(FileTest, AWriteThatStopsHalfWayLeavesWholeRecordsAndTheNextAppendIsWhole) {
    const std::u16string path = dir_ + u"steps.dss";
    constexpr size_t kRecord = 177;
    std::string record(kRecord, 'a');
    for (const int error : {ENOSPC, EDQUOT, EIO}) {
        {
            File f(path, File::Mode::Snapshot);
            f.Close();
        }
        {
            testsupport::DiskBudget disk(2 * kRecord + 40, error);
            File f(path, File::Mode::Append);
            for (int i = 0; i < 5; ++i) f.Write(record.data(), record.size());
            try {
                f.Close();
                FAIL() << "a failed write was reported as written";
            } catch (const CFileException& e) {
                EXPECT_EQ(e.m_lOsError, error);
                EXPECT_EQ(e.m_strFileName, path);
                EXPECT_NE(e.GetErrorMessage().find(path), std::u16string::npos);
            }
        }
        EXPECT_EQ(Content(u"steps.dss"), std::string(2 * kRecord, 'a')) << error;
        File f(path, File::Mode::Append);
        std::string next(kRecord, 'b');
        f.Write(next.data(), next.size());
        f.Close();
        EXPECT_EQ(Content(u"steps.dss"), std::string(2 * kRecord, 'a') + next) << error;
    }
}

// A record bigger than the buffer goes straight to the disk: a part of it
// must not stay either; a whole append undone with CutBackTo leaves nothing.
TEST_F(FileTest, ABigRecordIsWholeOrAbsentAndCutBackUndoesAnAppend) {
    const std::u16string path = dir_ + u"big.bin";
    const std::string head = "head";
    const std::string big(200 * 1024, 'x');
    {
        File f(path, File::Mode::Snapshot);
        f.Write(head.data(), head.size());
        f.Close();
    }
    {
        testsupport::DiskBudget disk(100 * 1024, ENOSPC);
        File f(path, File::Mode::Append);
        EXPECT_THROW(f.Write(big.data(), big.size()), CFileException);
        f.Close();
    }
    EXPECT_EQ(Content(u"big.bin"), head);
    File f(path, File::Mode::Append);
    const int64_t start = f.Length();
    f.Write("0123456789", 10);
    f.Flush();
    EXPECT_EQ(f.Length(), start + 10);
    f.CutBackTo(start);
    f.Write("z", 1);
    f.Close();
    EXPECT_EQ(Content(u"big.bin"), head + "z");
}

// What a crash or an older writer left: a partial record or line at the end.
TEST_F(FileTest, PartialTailsAreCutBackToTheLastWholeRecordOrLine) {
    const std::u16string records = dir_ + u"old.mem";
    {
        File f(records, File::Mode::Snapshot);
        f.Write(std::string(3 * 10 + 7, 'r').data(), 37);
        f.Close();
    }
    File f(records, File::Mode::Append);
    EXPECT_EQ(f.CutPartialRecord(10), 7);
    EXPECT_EQ(f.CutPartialRecord(10), 0);
    f.Write("0123456789", 10);
    f.Close();
    EXPECT_EQ(Content(u"old.mem"), std::string(30, 'r') + "0123456789");

    const std::u16string log = dir_ + u"old.log";
    {
        File t(log, File::Mode::Snapshot);
        const std::string text = "one\r\ntwo\r\nthr";
        t.Write(text.data(), text.size());
        t.Close();
    }
    AppendLineToFile(log, u"four");
    EXPECT_EQ(Content(u"old.log"),
              "one\r\ntwo\r\nremoved an incomplete last line of 3 bytes.\r\nfour\r\n");
    // A text without any line feed has nothing whole; a long last line is
    // found across the read-back blocks.
    {
        File t(log, File::Mode::Snapshot);
        const std::string text = "a\n" + std::string(10000, 'x');
        t.Write(text.data(), text.size());
        t.Close();
        File u(log, File::Mode::Append);
        EXPECT_EQ(u.CutPartialLine(), 10000);
        u.Close();
        File v(log, File::Mode::Snapshot);
        v.Write("no line feed", 12);
        v.Close();
        File w(log, File::Mode::Append);
        EXPECT_EQ(w.CutPartialLine(), 12);
        EXPECT_EQ(w.Length(), 0);
    }
}

// The same on a real file system that fills up.
TEST_F(FileTest, OnARealFullFileSystemRecordsStayWhole) {
    testsupport::SmallFileSystem disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
    const std::u16string path = FromUtf8(disk.Path() + "/steps.dss");
    constexpr size_t kRecord = 177;
    const std::string record(kRecord, 's');
    int written = 0;
    try {
        File f(path, File::Mode::Append);
        for (; written < 1000; ++written) f.Write(record.data(), record.size());
        f.Close();
        FAIL() << "64 KiB took 177,000 bytes";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    const auto size = std::filesystem::file_size(disk.Path() + "/steps.dss");
    EXPECT_GT(size, 0u);
    EXPECT_EQ(size % kRecord, 0u);
    // Room again: the next append lands on the boundary.
    const auto before = size;
    std::filesystem::resize_file(disk.Path() + "/steps.dss", before - 20 * kRecord);
    File f(path, File::Mode::Append);
    f.Write(record.data(), record.size());
    f.Close();
    EXPECT_EQ(std::filesystem::file_size(disk.Path() + "/steps.dss"), before - 19 * kRecord);
}

TEST_F(FileTest, TextFilesAreWindows1252WithCrLf) {
    const std::u16string path = dir_ + u"collector.log";
    AppendLineToFile(path, u"caf\u00e9 \u20ac\u4e2d");
    AppendLineToFile(path, std::u16string(u"two\nlines ") + char16_t(0xD800));
    EXPECT_EQ(Content(u"collector.log"), "caf\xE9 \x80?\r\ntwo\r\nlines ?\r\n");
}

TEST_F(FileTest, NewFilesAreForOwnerAndGroupAndTheUmaskNarrowsThem) {
    struct Case {
        mode_t umask;
        int mode;
    };
    for (const Case c : {Case{022, 0640}, Case{002, 0640}, Case{0, 0640}, Case{077, 0600}}) {
        testsupport::UmaskScope mask(c.umask);
        const std::u16string tag = FromUtf8(std::to_string(c.umask));
        for (const File::Mode mode :
             {File::Mode::Snapshot, File::Mode::Append, File::Mode::Update}) {
            const std::u16string path =
                dir_ + tag + u"-" + FromUtf8(std::to_string(static_cast<int>(mode))) + u".bin";
            File file(path, mode);
            file.Close();
            EXPECT_EQ(testsupport::ModeOf(ToUtf8(path)), c.mode) << c.umask;
        }
        AnsiTextFile text;
        text.Open(dir_ + tag + u".log", File::Mode::Append);
        text.WriteLine(u"line");
        text.Close();
        EXPECT_EQ(testsupport::ModeOf(ToUtf8(dir_ + tag + u".log")), c.mode) << c.umask;
    }
    // An existing file keeps the mode it has.
    const std::u16string kept = dir_ + u"kept.bin";
    { File file(kept, File::Mode::Snapshot); }
    ASSERT_EQ(::chmod(ToUtf8(kept).c_str(), 0604), 0);
    File again(kept, File::Mode::Snapshot);
    again.Close();
    EXPECT_EQ(testsupport::ModeOf(ToUtf8(kept)), 0604);
}

TEST(FixedTextTest, CopyCutsZeroFillsAndLeavesNoTerminatorWhenFull) {
    char16_t field[5];
    std::fill(std::begin(field), std::end(field), u'#');
    CopyToField(field, u"ab");
    EXPECT_EQ(std::u16string(field, 5), std::u16string(u"ab\0\0\0", 5));
    CopyToField(field, u"abcdefgh");
    EXPECT_EQ(std::u16string(field, 5), u"abcde");
    EXPECT_EQ(FieldText(field), u"abcde");
    CopyToBlankField(field, 5, u"x");
    EXPECT_EQ(std::u16string(field, 5), u"x    ");
    EXPECT_EQ(Trim(u" \t a b \r\n"), u"a b");
    EXPECT_EQ(TrimRight(u"  a  "), u"  a");
    EXPECT_EQ(TrimLeft(u"  a  "), u"a  ");
    EXPECT_EQ(ReplaceAll(u"a\nb\nc", u"\n", u" "), u"a b c");
}

TEST(DirectoryTest, CreateChangeRemoveAndSplit) {
    const std::u16string start = CurrentDirectory();
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start.back(), kPathSeparator);
    char pattern[] = "/tmp/quorvel-dir-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::u16string base = WithTrailingSeparator(FromUtf8(pattern));
    const std::u16string sub = base + u"12061507QAS";
    EXPECT_EQ(MakeDirectory(sub), 0);
    EXPECT_EQ(MakeDirectory(sub), EEXIST);
    EXPECT_EQ(MakeDirectory(base + u"no/such"), ENOENT);
    EXPECT_EQ(ErrnoText(ENOENT), u"No such file or directory");
    EXPECT_EQ(ChangeDirectory(sub), 0);
    EXPECT_EQ(CurrentDirectory(), sub + u"/");
    EXPECT_EQ(ChangeDirectory(start), 0);
    EXPECT_EQ(RemoveDirectory(sub), 0);
    EXPECT_FALSE(DirectoryExists(sub));
    EXPECT_EQ(RemoveDirectory(base), 0);

    const PathParts parts = SplitPath(u"/data/12061507QAS/srv1_QAS_00.mem");
    EXPECT_EQ(parts.directory, u"/data/12061507QAS/");
    EXPECT_EQ(parts.name, u"srv1_QAS_00");
    EXPECT_EQ(parts.extension, u".mem");
    EXPECT_EQ(SplitPath(u"noext").name, u"noext");
    EXPECT_EQ(SplitPath(u"noext").directory, u"");
    EXPECT_FALSE(ProgramDirectory().empty());
}

TEST(DirectoryTest, NewDirectoriesTakeTheirModeLessTheUmask) {
    char pattern[] = "/tmp/quorvel-dir-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string base = std::string(pattern) + "/";
    struct Case {
        const char* name;
        mode_t umask;
        unsigned mode;
        int expected;
    };
    const Case cases[] = {{"private", 022, kPrivateDirectoryMode, 0750},
                          {"groupwrite", 002, kPrivateDirectoryMode, 0750},
                          {"nomask", 0, kPrivateDirectoryMode, 0750},
                          {"owneronly", 077, kPrivateDirectoryMode, 0700},
                          {"asked", 022, 0700, 0700},
                          {"wide", 022, 0777, 0755}};
    for (const Case& c : cases) {
        testsupport::UmaskScope mask(c.umask);
        EXPECT_EQ(MakeDirectory(FromUtf8(base + c.name), c.mode), 0) << c.name;
        EXPECT_EQ(testsupport::ModeOf(base + c.name), c.expected) << c.name;
    }
    {
        testsupport::UmaskScope mask(022);
        EXPECT_EQ(MakeDirectory(FromUtf8(base + "default")), 0);
        EXPECT_EQ(testsupport::ModeOf(base + "default"), 0750);
    }
    std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace platform
