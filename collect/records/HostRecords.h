// Byte layouts of the host files in the session folder: host.ctl, disk.ctl,
// the minute records of .cpu and .dsk, and the top-process records of .ps.
// Writers (host and remote threads) and readers (tests, the session dump)
// share these structs. Every record is zero-filled before its fields are
// set; text fields are fixed-width UTF-16, zero-padded, without terminator
// when full; integers are 32-bit little-endian; times are OLE dates.
//
// Thread rules: plain values.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "records are little-endian");

#pragma pack(push, 1)

// One top process of a host (a row of T_TF_TOP_SINGLE); the record of .ps.
struct tagPS_STAT {
    int32_t procId;         // PROC_ID
    char16_t userName[12];  // USERNAME
    char16_t command[20];   // COMMAND
    char16_t cpuTime[8];    // CPU_TIME
    int32_t residentSize;   // RES_SIZE
};

// One minute of CPU, memory and disk totals of a host; appended to .cpu.
struct HostCpuRecord {
    double time;                // local time of the capture (OLE date)
    uint8_t reserved[8];        // zero
    int32_t cpuBusyPercent;     // USR_TOTAL + SYS_TOTAL in 0..100 (OMBRITH: AVGPROCUTL)
    int32_t pagesInPerSecond;   // IN_PG_SEC (OMBRITH: AVGSYSPGRT)
    int32_t pagesOutPerSecond;  // OUT_PG_SEC
    int32_t memoryUsedPercent;  // (PHYS_MEM - FREE_MEM) / PHYS_MEM, 0..100
    int32_t swapUsedPercent;    // (SWAP_SIZE - SWAP_FREE) / SWAP_SIZE, 0..100
    int32_t diskUtilAverage;    // mean of the disks' UTIL in 0..100
    int32_t diskKbPerSecond;    // sum of KB_SEC
    int32_t diskOpsPerSecond;   // sum of OP_SEC
};

// One minute of one disk; appended to "<host>_<disk>.dsk".
struct HostDiskRecord {
    double time;             // the same time as the minute's CPU record
    int32_t utilisation;     // UTIL in 0..100
    int32_t averageQueue;    // AVG_QUEUEL
    int32_t averageWait;     // AVG_WAIT
    int32_t averageService;  // AVG_SERVIC
    int32_t kbPerSecond;     // KB_SEC
    int32_t opsPerSecond;    // OP_SEC
    int32_t response;        // RESPONSE
};

// One host (or database server) of the session; host.ctl, added once.
struct HostControlRecord {
    char16_t name[20];           // host, or destination (and system) of a remote thread
    char16_t ipAddress[15];      // RFCIPADDR
    char16_t vendor[64];         // vendor text of the operating system
    char16_t opSys[10];          // operating system
    char16_t charType[4];        // RFCCHARTYP
    char16_t intType[3];         // RFCINTTYP
    char16_t floatType[3];       // RFCFLOTYP
    char16_t machine[5];         // RFCMACH
    char16_t daylightSaving[1];  // RFCDAYST
    int32_t timeZone;            // RFCTZONE
    uint8_t reserved1[8];        // zero
    int32_t physicalMemoryK;     // PHYS_MEM / 1000
    int32_t swapSizeK;           // SWAP_SIZE / 1000
    uint32_t fileSystemsK;       // sum of the file systems' CAPACITY / 1000
    uint8_t reserved2[2072];     // zero
};

// One disk of a host; disk.ctl, added once per host.
struct DiskControlRecord {
    char16_t host[20];       // as the name of the host's host.ctl record
    char16_t diskName[72];   // DISKNAME without the characters file names may not hold
    uint8_t reserved[2000];  // zero
};

#pragma pack(pop)

static_assert(sizeof(tagPS_STAT) == 88);
static_assert(offsetof(tagPS_STAT, userName) == 4 && offsetof(tagPS_STAT, command) == 28 &&
              offsetof(tagPS_STAT, cpuTime) == 68 && offsetof(tagPS_STAT, residentSize) == 84);

static_assert(sizeof(HostCpuRecord) == 48);
static_assert(offsetof(HostCpuRecord, cpuBusyPercent) == 16 &&
              offsetof(HostCpuRecord, memoryUsedPercent) == 28 &&
              offsetof(HostCpuRecord, diskUtilAverage) == 36 &&
              offsetof(HostCpuRecord, diskOpsPerSecond) == 44);

static_assert(sizeof(HostDiskRecord) == 36);
static_assert(offsetof(HostDiskRecord, utilisation) == 8 &&
              offsetof(HostDiskRecord, response) == 32);

static_assert(sizeof(HostControlRecord) == 2346);
static_assert(offsetof(HostControlRecord, ipAddress) == 40 &&
              offsetof(HostControlRecord, vendor) == 70 &&
              offsetof(HostControlRecord, opSys) == 198 &&
              offsetof(HostControlRecord, charType) == 218 &&
              offsetof(HostControlRecord, intType) == 226 &&
              offsetof(HostControlRecord, floatType) == 232 &&
              offsetof(HostControlRecord, machine) == 238 &&
              offsetof(HostControlRecord, daylightSaving) == 248 &&
              offsetof(HostControlRecord, timeZone) == 250 &&
              offsetof(HostControlRecord, physicalMemoryK) == 262 &&
              offsetof(HostControlRecord, swapSizeK) == 266 &&
              offsetof(HostControlRecord, fileSystemsK) == 270 &&
              offsetof(HostControlRecord, reserved2) == 274);

static_assert(sizeof(DiskControlRecord) == 2184);
static_assert(offsetof(DiskControlRecord, diskName) == 40 &&
              offsetof(DiskControlRecord, reserved) == 184);
