// The system-level files of a session: system.ctl, <SID>.cmp, <SID>.ptc and
// pc.ctl, and the database size figure of each database kind. The record
// builders are pure (lines and figures in, records out); the writers take
// the call objects after their call, so the session driver calls the
// modules and hands their results here. Every writer creates or truncates
// its file and throws CFileException when it cannot.
//
// Thread rules: plain functions; a call object is used by one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "collect/records/SystemRecords.h"

class CRfcSystemInfo;
class COcsGetInfo;
class CDbOraMainList;
class CDB02OraFillTD110;
class CDB02GetMainScreenQUILLET;
class CDB02DB4GetInfo;
class CPcInfo;

// The size figures: the sum of the parts in millions, truncated; only the
// low 32 bits of the 64-bit quotient are kept.
int32_t OracleSizeFigure(int64_t tablespaceAllocated, int64_t tablespaceIndexes);
int32_t QuilletSizeFigure(int64_t tableSize, int64_t indexSize, int64_t indexFree);
int32_t Db4SizeFigure(int64_t tableSize, int64_t constraintSize, int64_t indexSize);

// The same from called call objects: VERSION of E_DBORA; TASI and TISI of
// E_TD110; TBSIZE, IXSIZE and IXFREE of E_ENTRY_SCREEN_DATA; TAB_SIZE,
// CST_SIZE and IDX_SIZE of E_DB02_DISPLAYED_INFO.
std::u16string OracleVersion(CDbOraMainList& call);
int32_t OracleSizeFigure(CDB02OraFillTD110& call);
int32_t QuilletSizeFigure(CDB02GetMainScreenQUILLET& call);
int32_t Db4SizeFigure(CDB02DB4GetInfo& call);

// The C runtime's text-to-integer reading: leading blanks, a sign, digits;
// 0 when there are none.
int TextToInt(std::u16string_view text);

// Characters first..last (counted from 1) of a line; shorter lines give
// what they have.
std::u16string LineColumns(std::u16string_view line, size_t first, size_t last);

// A component record from its TT_COMPONENT line; the add-on columns come
// from the first TT_ADDON line whose id (characters 1-10, trimmed) equals
// the component (characters 1-30, trimmed).
ComponentRecord MakeComponentRecord(std::u16string_view componentLine,
                                    const std::vector<std::u16string>& addonLines);
// A patch record from its TT_PATCH line; a date and time that name no
// moment give the time 0.
PatchRecord MakePatchRecord(std::u16string_view patchLine);
SystemControlRecord MakeSystemControlRecord(std::u16string_view systemId,
                                            std::u16string_view sapRelease,
                                            std::u16string_view dbSystem,
                                            std::u16string_view dbVersion, int32_t dbSize);
PcControlRecord MakePcControlRecord(const CPcInfo& pc);

// The lines of OCS_GET_INFO's tables as ReadComponent, ReadAddon and
// ReadPatch give them.
std::vector<std::u16string> ComponentLines(COcsGetInfo& call);
std::vector<std::u16string> AddonLines(COcsGetInfo& call);
std::vector<std::u16string> PatchLines(COcsGetInfo& call);

// <SID>.cmp and <SID>.ptc from a called OCS_GET_INFO; no rows give an
// empty file.
void WriteComponentFile(const std::u16string& path, COcsGetInfo& call);
void WritePatchFile(const std::u16string& path, COcsGetInfo& call);
// system.ctl from RFC_SYSTEM_INFO's last result (RFCSYSID, RFCSAPRL and
// RFCDBSYS of E_RFCSI_EXPORT) and the database figures.
void WriteSystemFile(const std::u16string& path, CRfcSystemInfo& systemInfo,
                     std::u16string_view dbVersion, int32_t dbSize);
void WritePcFile(const std::u16string& path, const CPcInfo& pc);

// Writes one record to a new or truncated file.
void WriteSnapshotRecords(const std::u16string& path, const void* data, size_t size);
