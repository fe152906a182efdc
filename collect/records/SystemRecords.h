// Byte layouts of the system-level files in the session folder: system.ctl
// (the system summary), <SID>.cmp (software components), <SID>.ptc
// (patches) and pc.ctl (the collecting workstation). Writers (the system
// thread), the session dump and the data reduction share these structs.
// Every record is zero-filled before its fields are set; text fields are
// fixed-width UTF-16, zero-padded, without terminator when full; integers
// are 32-bit little-endian; times are OLE dates.
//
// Thread rules: plain values.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "records are little-endian");

#pragma pack(push, 1)

// system.ctl: one record per session.
struct SystemControlRecord {
    char16_t systemId[8];     // RFCSYSID of RFC_SYSTEM_INFO
    char16_t sapRelease[4];   // RFCSAPRL
    uint8_t reserved1[4];     // zero
    char16_t dbSystem[8];     // RFCDBSYS
    char16_t dbVersion[16];   // VERSION of DB_ORA_MAIN_LIST; empty unless ORACLE
    uint8_t reserved2[4];     // zero
    int32_t dbSize;           // database size figure; 0 when not determined
    uint8_t reserved3[2148];  // zero
};

// <SID>.cmp: one record per TT_COMPONENT line of OCS_GET_INFO, in table order.
struct ComponentRecord {
    char16_t component[30];        // line characters 1-30
    char16_t release[10];          // characters 31-40
    char16_t extendedRelease[10];  // characters 41-50
    char16_t addon[40];            // characters 103-142 of the matching TT_ADDON line; zero if none
    uint8_t reserved[40];          // zero
};

// <SID>.ptc: one record per TT_PATCH line of OCS_GET_INFO, in table order.
struct PatchRecord {
    double time;        // characters 108-115 (YYYYMMDD) and 116-121 (HHMMSS) as an OLE date
    char16_t name[20];  // characters 1-20
    char16_t text[60];  // characters 21-80
};

// pc.ctl: the collecting workstation, one record per session.
struct PcControlRecord {
    char16_t operatingSystem[64];
    char16_t processor[16];
    uint32_t processors;
    uint32_t megahertz;          // 0 when not readable
    uint32_t memoryLoad;         // percent of physical memory in use
    uint32_t physicalTotal;      // bytes
    uint32_t physicalAvailable;  // bytes
    uint32_t virtualTotal;       // bytes of user address space
    int32_t collectorVersion;    // kCollectorVersionNumber
    int32_t gmtOffset;           // seconds local standard time is ahead of GMT (low 32 bits)
    uint8_t reserved[2048];      // zero
};

#pragma pack(pop)

// The collector's version 4.0.3.0 as one number, stored in pc.ctl.
inline constexpr int32_t kCollectorVersionNumber = 4030;

static_assert(sizeof(SystemControlRecord) == 2232);
static_assert(offsetof(SystemControlRecord, sapRelease) == 16);
static_assert(offsetof(SystemControlRecord, dbSystem) == 28);
static_assert(offsetof(SystemControlRecord, dbVersion) == 44);
static_assert(offsetof(SystemControlRecord, dbSize) == 80);
static_assert(sizeof(ComponentRecord) == 220);
static_assert(offsetof(ComponentRecord, release) == 60);
static_assert(offsetof(ComponentRecord, extendedRelease) == 80);
static_assert(offsetof(ComponentRecord, addon) == 100);
static_assert(sizeof(PatchRecord) == 168);
static_assert(offsetof(PatchRecord, name) == 8);
static_assert(offsetof(PatchRecord, text) == 48);
static_assert(sizeof(PcControlRecord) == 2240);
static_assert(offsetof(PcControlRecord, processor) == 128);
static_assert(offsetof(PcControlRecord, processors) == 160);
static_assert(offsetof(PcControlRecord, virtualTotal) == 180);
static_assert(offsetof(PcControlRecord, collectorVersion) == 184);
static_assert(offsetof(PcControlRecord, gmtOffset) == 188);
