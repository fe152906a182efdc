#include "collect/host/HostFiles.h"

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "platform/FixedText.h"

namespace {

DiskControlRecord DiskEntry(std::u16string_view host, std::u16string_view disk) {
    DiskControlRecord r{};
    platform::CopyToField(r.host, host);
    platform::CopyToField(r.diskName, disk);
    return r;
}

TEST(HostFilesTest, ControlFileSearchByTheFirstTwentyCharacters) {
    ScratchSessionFolder folder;
    const std::u16string path = folder.File(u"disk.ctl");
    EXPECT_FALSE(ControlFileHasName(path, sizeof(DiskControlRecord), u"qashost1"));
    EXPECT_FALSE(folder.Exists(u"disk.ctl"));  // the search creates nothing

    const DiskControlRecord records[] = {DiskEntry(u"qashost1", u"sda"),
                                         DiskEntry(u"  blanks  ", u"sda"),
                                         DiskEntry(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", u"x")};
    AppendToControlFile(path, records, sizeof records);
    EXPECT_TRUE(ControlFileHasName(path, sizeof(DiskControlRecord), u"qashost1"));
    EXPECT_TRUE(ControlFileHasName(path, sizeof(DiskControlRecord), u"blanks"));
    EXPECT_TRUE(ControlFileHasName(path, sizeof(DiskControlRecord), u" qashost1 "));
    EXPECT_FALSE(ControlFileHasName(path, sizeof(DiskControlRecord), u"qashost"));
    EXPECT_FALSE(ControlFileHasName(path, sizeof(DiskControlRecord), u"QASHOST1"));
    // A destination longer than the field is found by the part that was written.
    EXPECT_TRUE(
        ControlFileHasName(path, sizeof(DiskControlRecord), u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
    EXPECT_TRUE(ControlFileHasName(path, sizeof(DiskControlRecord), u"ABCDEFGHIJKLMNOPQRST"));
}

TEST(HostFilesTest, ControlFileAppendKeepsTheRecordsBefore) {
    ScratchSessionFolder folder;
    const std::u16string path = folder.File(u"disk.ctl");
    const DiskControlRecord first = DiskEntry(u"h1", u"sda");
    const DiskControlRecord second = DiskEntry(u"h2", u"sdb");
    AppendToControlFile(path, &first, sizeof first);
    AppendToControlFile(path, &second, sizeof second);
    const auto records = ReadRecords<DiskControlRecord>(path);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(platform::FieldText(records[0].host), u"h1");
    EXPECT_EQ(platform::FieldText(records[1].diskName), u"sdb");
}

TEST(HostFilesTest, APartialRecordAtTheEndIsNotRead) {
    ScratchSessionFolder folder;
    const std::u16string path = folder.File(u"host.ctl");
    HostControlRecord whole{};
    platform::CopyToField(whole.name, u"h1");
    AppendToControlFile(path, &whole, sizeof whole);
    HostControlRecord cut{};
    platform::CopyToField(cut.name, u"h2");
    AppendToControlFile(path, &cut, 100);
    EXPECT_TRUE(ControlFileHasName(path, sizeof whole, u"h1"));
    EXPECT_FALSE(ControlFileHasName(path, sizeof whole, u"h2"));
}

TEST(HostFilesTest, MinuteRecordsAppendAndSnapshotsReplace) {
    ScratchSessionFolder folder;
    HostCpuRecord cpu{};
    cpu.cpuBusyPercent = 5;
    AppendRecord(folder.File(u"h.cpu"), cpu);
    cpu.cpuBusyPercent = 6;
    AppendRecord(folder.File(u"h.cpu"), cpu);
    const auto cpus = ReadRecords<HostCpuRecord>(folder.File(u"h.cpu"));
    ASSERT_EQ(cpus.size(), 2u);
    EXPECT_EQ(+cpus[1].cpuBusyPercent, 6);

    std::vector<tagPS_STAT> processes(3, tagPS_STAT{});
    processes[2].procId = 77;
    WriteProcessSnapshot(folder.File(u"h.ps"), processes);
    EXPECT_EQ(+ReadRecords<tagPS_STAT>(folder.File(u"h.ps")).at(2).procId, 77);
    WriteProcessSnapshot(folder.File(u"h.ps"), {});
    EXPECT_TRUE(folder.Exists(u"h.ps"));
    EXPECT_TRUE(ReadRecords<tagPS_STAT>(folder.File(u"h.ps")).empty());
}

TEST(HostFilesTest, TextListingsAreAnsiWithCrLf) {
    ScratchSessionFolder folder;
    WriteTextListing(folder.File(u"h.hw"), {u"CPU: 4 x 2.4 GHz", u"", u"Größe \u20ac \u4e00"});
    const std::vector<unsigned char> bytes = platform::ReadWholeFile(folder.File(u"h.hw"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text,
              "CPU: 4 x 2.4 GHz\r\n\r\nGr\xf6\xdf"
              "e \x80 ?\r\n");
    WriteTextListing(folder.File(u"h.hw"), {});
    EXPECT_TRUE(platform::ReadWholeFile(folder.File(u"h.hw")).empty());
}

TEST(HostFilesTest, AMissingFolderIsAFileError) {
    ScratchSessionFolder folder;
    HostCpuRecord cpu{};
    EXPECT_THROW(AppendRecord(folder.File(u"gone/h.cpu"), cpu), CFileException);
    // Only a missing control file counts as empty; any other failure is one.
    AppendRecord(folder.File(u"plain"), cpu);
    EXPECT_THROW(ControlFileHasName(folder.File(u"plain/host.ctl"), 40, u"h"), CFileException);
}

}  // namespace
