#include "collect/system/SystemFiles.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "collect/PcInfo.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "rfc/catalogue/DB02DB4GetInfo.h"
#include "rfc/catalogue/DB02GetMainScreenQUILLET.h"
#include "rfc/catalogue/DB02OraFillTD110.h"
#include "rfc/catalogue/DbOraMainList.h"
#include "rfc/catalogue/OcsGetInfo.h"
#include "rfc/catalogue/RfcSystemInfo.h"

using platform::CopyToField;
using platform::File;

namespace {

int32_t Millions(int64_t sum) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(sum / 1000000)));
}

int64_t ExportNumber(CBaseRfc& call, std::u16string_view key, std::u16string_view field) {
    int64_t value = 0;
    call.GetExportField(key, field, value);
    return value;
}

std::vector<std::u16string> Lines(int count, size_t capacity,
                                  const std::function<const char16_t*(int)>& read) {
    std::vector<std::u16string> lines;
    for (int i = 1; i <= count; ++i) lines.push_back(platform::FieldText(read(i), capacity));
    return lines;
}

}  // namespace

int32_t OracleSizeFigure(int64_t tablespaceAllocated, int64_t tablespaceIndexes) {
    return Millions(tablespaceAllocated + tablespaceIndexes);
}
int32_t QuilletSizeFigure(int64_t tableSize, int64_t indexSize, int64_t indexFree) {
    return Millions(tableSize + indexSize - indexFree);
}
int32_t Db4SizeFigure(int64_t tableSize, int64_t constraintSize, int64_t indexSize) {
    return Millions(tableSize + constraintSize + indexSize);
}

std::u16string OracleVersion(CDbOraMainList& call) {
    std::u16string version;
    call.GetExportField(u"E_DBORA", u"VERSION", version);
    return version;
}
int32_t OracleSizeFigure(CDB02OraFillTD110& call) {
    return OracleSizeFigure(ExportNumber(call, u"E_TD110", u"TASI"),
                            ExportNumber(call, u"E_TD110", u"TISI"));
}
int32_t QuilletSizeFigure(CDB02GetMainScreenQUILLET& call) {
    return QuilletSizeFigure(ExportNumber(call, u"E_ENTRY_SCREEN_DATA", u"TBSIZE"),
                             ExportNumber(call, u"E_ENTRY_SCREEN_DATA", u"IXSIZE"),
                             ExportNumber(call, u"E_ENTRY_SCREEN_DATA", u"IXFREE"));
}
int32_t Db4SizeFigure(CDB02DB4GetInfo& call) {
    return Db4SizeFigure(ExportNumber(call, u"E_DB02_DISPLAYED_INFO", u"TAB_SIZE"),
                         ExportNumber(call, u"E_DB02_DISPLAYED_INFO", u"CST_SIZE"),
                         ExportNumber(call, u"E_DB02_DISPLAYED_INFO", u"IDX_SIZE"));
}

int TextToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && platform::IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT32_MAX) value = int64_t{INT32_MAX} + 1;  // saturate, sign below
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

std::u16string LineColumns(std::u16string_view line, size_t first, size_t last) {
    if (first == 0 || first > line.size() || last < first) return {};
    return std::u16string(line.substr(first - 1, last - first + 1));
}

ComponentRecord MakeComponentRecord(std::u16string_view componentLine,
                                    const std::vector<std::u16string>& addonLines) {
    ComponentRecord record{};
    CopyToField(record.component, LineColumns(componentLine, 1, 30));
    CopyToField(record.release, LineColumns(componentLine, 31, 40));
    CopyToField(record.extendedRelease, LineColumns(componentLine, 41, 50));
    const std::u16string component = platform::Trim(platform::FieldText(record.component));
    for (const std::u16string& addon : addonLines) {
        if (platform::Trim(LineColumns(addon, 1, 10)) == component) {
            CopyToField(record.addon, LineColumns(addon, 103, 142));
            break;
        }
    }
    return record;
}

PatchRecord MakePatchRecord(std::u16string_view patchLine) {
    PatchRecord record{};
    const std::u16string date = LineColumns(patchLine, 108, 115);
    const std::u16string time = LineColumns(patchLine, 116, 121);
    const platform::DateTime t = platform::MakeDateTime(
        TextToInt(LineColumns(date, 1, 4)), TextToInt(LineColumns(date, 5, 6)),
        TextToInt(LineColumns(date, 7, 8)), TextToInt(LineColumns(time, 1, 2)),
        TextToInt(LineColumns(time, 3, 4)), TextToInt(LineColumns(time, 5, 6)));
    const platform::OleDate ole = platform::OleDate::FromDateTime(t);
    record.time = ole.IsValid() ? ole.Value() : 0.0;
    CopyToField(record.name, LineColumns(patchLine, 1, 20));
    CopyToField(record.text, LineColumns(patchLine, 21, 80));
    return record;
}

SystemControlRecord MakeSystemControlRecord(std::u16string_view systemId,
                                            std::u16string_view sapRelease,
                                            std::u16string_view dbSystem,
                                            std::u16string_view dbVersion, int32_t dbSize) {
    SystemControlRecord record{};
    CopyToField(record.systemId, systemId);
    CopyToField(record.sapRelease, sapRelease);
    CopyToField(record.dbSystem, dbSystem);
    CopyToField(record.dbVersion, dbVersion);
    record.dbSize = dbSize;
    return record;
}

PcControlRecord MakePcControlRecord(const CPcInfo& pc) {
    PcControlRecord record{};
    CopyToField(record.operatingSystem, pc.m_strOperatingSystem);
    CopyToField(record.processor, pc.m_strProcessor);
    record.processors = pc.m_nProcessors;
    record.megahertz = pc.m_nMegahertz;
    record.memoryLoad = pc.m_nMemoryLoad;
    record.physicalTotal = pc.m_nPhysicalTotal;
    record.physicalAvailable = pc.m_nPhysicalAvailable;
    record.virtualTotal = pc.m_nVirtualTotal;
    record.collectorVersion = kCollectorVersionNumber;
    record.gmtOffset = static_cast<int32_t>(static_cast<uint32_t>(pc.m_nGmtOffset));
    return record;
}

std::vector<std::u16string> ComponentLines(COcsGetInfo& call) {
    return Lines(call.GetComponentCount(), 100, [&](int i) { return call.ReadComponent(i); });
}
std::vector<std::u16string> AddonLines(COcsGetInfo& call) {
    return Lines(call.GetAddonCount(), 200, [&](int i) { return call.ReadAddon(i); });
}
std::vector<std::u16string> PatchLines(COcsGetInfo& call) {
    return Lines(call.GetPatchCount(), 300, [&](int i) { return call.ReadPatch(i); });
}

void WriteSnapshotRecords(const std::u16string& path, const void* data, size_t size) {
    File file(path, File::Mode::Snapshot);
    if (size > 0) file.Write(data, size);
    file.Close();
}

void WriteComponentFile(const std::u16string& path, COcsGetInfo& call) {
    const std::vector<std::u16string> addons = AddonLines(call);
    std::vector<ComponentRecord> records;
    for (const std::u16string& line : ComponentLines(call))
        records.push_back(MakeComponentRecord(line, addons));
    WriteSnapshotRecords(path, records.data(), records.size() * sizeof(ComponentRecord));
}

void WritePatchFile(const std::u16string& path, COcsGetInfo& call) {
    std::vector<PatchRecord> records;
    for (const std::u16string& line : PatchLines(call)) records.push_back(MakePatchRecord(line));
    WriteSnapshotRecords(path, records.data(), records.size() * sizeof(PatchRecord));
}

void WriteSystemFile(const std::u16string& path, CRfcSystemInfo& systemInfo,
                     std::u16string_view dbVersion, int32_t dbSize) {
    std::u16string systemId, release, dbSystem;
    systemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCSYSID", systemId);
    systemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCSAPRL", release);
    systemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCDBSYS", dbSystem);
    const SystemControlRecord record =
        MakeSystemControlRecord(systemId, release, dbSystem, dbVersion, dbSize);
    WriteSnapshotRecords(path, &record, sizeof record);
}

void WritePcFile(const std::u16string& path, const CPcInfo& pc) {
    const PcControlRecord record = MakePcControlRecord(pc);
    WriteSnapshotRecords(path, &record, sizeof record);
}
