#include "platform/File.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/AnsiTextFile.h"
#include "platform/Directory.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

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

TEST_F(FileTest, TextFilesAreWindows1252WithCrLf) {
    const std::u16string path = dir_ + u"collector.log";
    AppendLineToFile(path, u"caf\u00e9 \u20ac\u4e2d");
    AppendLineToFile(path, std::u16string(u"two\nlines ") + char16_t(0xD800));
    EXPECT_EQ(Content(u"collector.log"), "caf\xE9 \x80?\r\ntwo\r\nlines ?\r\n");
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

}  // namespace
}  // namespace platform
