#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "collect/host/HostFiles.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "tools/sessiondump/DecoderRegistry.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

std::vector<std::string> Dump(const std::u16string& path) {
    return sessiondump::DumpFile(platform::ToUtf8(path));
}

TEST(HostDumpTest, EveryHostFileDecodesWithTheSharedRecords) {
    ScratchSessionFolder folder;
    HostControlRecord host{};
    platform::CopyToField(host.name, u"qashost1");
    platform::CopyToField(host.opSys, u"Linux");
    host.physicalMemoryK = 8192;
    AppendToControlFile(folder.File(u"host.ctl"), &host, sizeof host);
    DiskControlRecord disk{};
    platform::CopyToField(disk.diskName, u"devsda");
    AppendToControlFile(folder.File(u"disk.ctl"), &disk, sizeof disk);
    HostCpuRecord cpu{};
    cpu.cpuBusyPercent = 42;
    AppendRecord(folder.File(u"qashost1.cpu"), cpu);
    HostDiskRecord dsk{};
    dsk.utilisation = 17;
    AppendRecord(folder.File(u"qashost1_devsda.dsk"), dsk);
    tagPS_STAT ps{};
    platform::CopyToField(ps.command, u"dw.sapQAS");
    WriteProcessSnapshot(folder.File(u"qashost1.ps"), std::vector<tagPS_STAT>{ps});
    WriteTextListing(folder.File(u"qashost1.hw"), {u"CPU model", u"4 cores"});

    const std::string all = Joined(sessiondump::DumpFolder(platform::ToUtf8(folder.Dir())));
    EXPECT_EQ(all.find("no decoder"), std::string::npos) << all;
    EXPECT_NE(Joined(Dump(folder.File(u"host.ctl"))).find("PHYS_MEM_K=8192"), std::string::npos);
    EXPECT_NE(Joined(Dump(folder.File(u"disk.ctl"))).find("devsda"), std::string::npos);
    EXPECT_NE(Joined(Dump(folder.File(u"qashost1.cpu"))).find("cpu_busy=42"), std::string::npos);
    EXPECT_NE(Joined(Dump(folder.File(u"qashost1_devsda.dsk"))).find("UTIL=17"), std::string::npos);
    EXPECT_NE(Joined(Dump(folder.File(u"qashost1.ps"))).find("dw.sapQAS"), std::string::npos);
    const std::string hw = Joined(Dump(folder.File(u"qashost1.hw")));
    EXPECT_NE(hw.find("CPU model"), std::string::npos) << hw;
    EXPECT_NE(hw.find("4 cores"), std::string::npos) << hw;
}

TEST(HostDumpTest, ATruncatedCpuFileShowsItsTail) {
    ScratchSessionFolder folder;
    HostCpuRecord cpu{};
    AppendRecord(folder.File(u"h.cpu"), &cpu, sizeof cpu);
    {
        // As a crash of the machine would leave it: the collector itself cuts such tails.
        platform::File torn(folder.File(u"h.cpu"), platform::File::Mode::Append);
        torn.Write(&cpu, 20);
        torn.Close();
    }
    const std::string all = Joined(Dump(folder.File(u"h.cpu")));
    EXPECT_NE(all.find("incomplete record of 20 bytes"), std::string::npos) << all;
    // The next append cuts it first and says how much.
    EXPECT_EQ(AppendRecord(folder.File(u"h.cpu"), cpu), 20);
    EXPECT_EQ(Joined(Dump(folder.File(u"h.cpu"))).find("incomplete"), std::string::npos);
}

}  // namespace
