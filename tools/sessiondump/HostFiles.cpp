// Decoders of the host and remote threads' files.
#include "collect/records/HostRecords.h"
#include "platform/TextCodec.h"
#include "tools/sessiondump/DecoderRegistry.h"
#include "tools/sessiondump/RecordLine.h"

namespace sessiondump {
namespace {

std::vector<std::string> HostControl(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<HostControlRecord>(bytes, [](const HostControlRecord& r, size_t i) {
        return RecordLine(i)
            .Text("name", r.name)
            .Text("RFCIPADDR", r.ipAddress)
            .Text("vendor", r.vendor)
            .Text("opsys", r.opSys)
            .Text("RFCCHARTYP", r.charType)
            .Text("RFCINTTYP", r.intType)
            .Text("RFCFLOTYP", r.floatType)
            .Text("RFCMACH", r.machine)
            .Text("RFCDAYST", r.daylightSaving)
            .Int("RFCTZONE", r.timeZone)
            .Int("PHYS_MEM_K", r.physicalMemoryK)
            .Int("SWAP_SIZE_K", r.swapSizeK)
            .Int("FSYS_CAPACITY_K", r.fileSystemsK)
            .Str();
    });
}

std::vector<std::string> DiskControl(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<DiskControlRecord>(bytes, [](const DiskControlRecord& r, size_t i) {
        return RecordLine(i).Text("host", r.host).Text("DISKNAME", r.diskName).Str();
    });
}

std::vector<std::string> Cpu(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<HostCpuRecord>(bytes, [](const HostCpuRecord& r, size_t i) {
        return RecordLine(i)
            .Date("time", r.time)
            .Int("cpu_busy", r.cpuBusyPercent)
            .Int("IN_PG_SEC", r.pagesInPerSecond)
            .Int("OUT_PG_SEC", r.pagesOutPerSecond)
            .Int("mem_used", r.memoryUsedPercent)
            .Int("swap_used", r.swapUsedPercent)
            .Int("disk_util", r.diskUtilAverage)
            .Int("KB_SEC", r.diskKbPerSecond)
            .Int("OP_SEC", r.diskOpsPerSecond)
            .Str();
    });
}

std::vector<std::string> Disk(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<HostDiskRecord>(bytes, [](const HostDiskRecord& r, size_t i) {
        return RecordLine(i)
            .Date("time", r.time)
            .Int("UTIL", r.utilisation)
            .Int("AVG_QUEUEL", r.averageQueue)
            .Int("AVG_WAIT", r.averageWait)
            .Int("AVG_SERVIC", r.averageService)
            .Int("KB_SEC", r.kbPerSecond)
            .Int("OP_SEC", r.opsPerSecond)
            .Int("RESPONSE", r.response)
            .Str();
    });
}

std::vector<std::string> Processes(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<tagPS_STAT>(bytes, [](const tagPS_STAT& r, size_t i) {
        return RecordLine(i)
            .Int("PROC_ID", r.procId)
            .Text("USERNAME", r.userName)
            .Text("COMMAND", r.command)
            .Text("CPU_TIME", r.cpuTime)
            .Int("RES_SIZE", r.residentSize)
            .Str();
    });
}

// The hardware and environment listings: Windows-1252 lines ended by CR LF.
std::vector<std::string> Listing(const std::vector<unsigned char>& bytes) {
    const std::u16string text = platform::FromWindows1252(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u"\r\n", start);
        if (end == std::u16string::npos) end = text.size();
        lines.push_back(platform::ToUtf8(std::u16string_view(text).substr(start, end - start)));
        start = end + 2;
    }
    return lines;
}

}  // namespace

void RegisterHostDecoders(DecoderRegistry& registry) {
    registry.AddName("host.ctl", HostControl);
    registry.AddName("disk.ctl", DiskControl);
    registry.AddExtension(".cpu", Cpu);
    registry.AddExtension(".dsk", Disk);
    registry.AddExtension(".ps", Processes);
    registry.AddExtension(".hw", Listing);
    registry.AddExtension(".env", Listing);
}

}  // namespace sessiondump
