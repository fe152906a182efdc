// The library's internal tables (ITAB_H): rows of a fixed byte length, kept
// in blocks so that a row's address stays valid while rows are appended.
//
// Thread rules: a table belongs to one thread at a time; nothing is locked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct RFC_ITAB_S {
    std::u16string name;
    unsigned int rowLength = 0;
    unsigned int rowsPerBlock = 1;
    unsigned int rowCount = 0;
    std::vector<std::unique_ptr<uint8_t[]>> blocks;
};

namespace rfclib {

// Rows are allocated kRowsPerBlock at a time, or fewer when that many would
// take more than kMaxBlockBytes: a long row never costs hundreds of rows.
inline constexpr unsigned int kRowsPerBlock = 256;
inline constexpr size_t kMaxBlockBytes = size_t{1} << 20;
// A row longer than this is refused at creation.
inline constexpr unsigned int kMaxRowLength = 1u << 20;

RFC_ITAB_S* CreateTable(std::u16string name, unsigned int rowLength);
uint8_t* TableRow(RFC_ITAB_S& table, unsigned int index);  // 0-based, nullptr past the end
uint8_t* AppendRow(RFC_ITAB_S& table);                     // zero-filled
// No rows; a table smaller than kReleaseBytes keeps its blocks for the next
// fill, so that a call made every minute refills the same memory instead of
// freeing and allocating it anew among the allocations of other threads,
// which scatters the heap and lets the resident memory creep up.
void ClearTable(RFC_ITAB_S& table);
// Replaces the rows by count rows of rowSize bytes (at most the table's row
// length each); false when memory runs out.
bool ReplaceRows(RFC_ITAB_S& table, const uint8_t* rows, size_t count, size_t rowSize);
// Clears the table and hands the memory of a big one back to the system.
void ReleaseTable(RFC_ITAB_S& table);
inline constexpr size_t kReleaseBytes = size_t{1} << 20;

}  // namespace rfclib
