#include "client/InternalTable.h"

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "client/ErrorState.h"
#include "rfc32u.h"

namespace rfclib {

RFC_ITAB_S* CreateTable(std::u16string name, unsigned int rowLength) {
    if (rowLength == 0 || rowLength > kMaxRowLength) return nullptr;
    auto* table = new (std::nothrow) RFC_ITAB_S;
    if (table == nullptr) return nullptr;
    table->name = std::move(name);
    table->rowLength = rowLength;
    table->rowsPerBlock =
        static_cast<unsigned int>(std::clamp<size_t>(kMaxBlockBytes / rowLength, 1, kRowsPerBlock));
    return table;
}

uint8_t* TableRow(RFC_ITAB_S& table, unsigned int index) {
    if (index >= table.rowCount) return nullptr;
    return table.blocks[index / table.rowsPerBlock].get() +
           size_t{index % table.rowsPerBlock} * table.rowLength;
}

uint8_t* AppendRow(RFC_ITAB_S& table) {
    const unsigned int index = table.rowCount;
    if (index == UINT32_MAX) return nullptr;
    if (index / table.rowsPerBlock >= table.blocks.size()) {
        std::unique_ptr<uint8_t[]> block(new (std::nothrow)
                                             uint8_t[size_t{table.rowsPerBlock} * table.rowLength]);
        if (!block) return nullptr;
        table.blocks.push_back(std::move(block));
    }
    ++table.rowCount;
    uint8_t* row = TableRow(table, index);
    std::memset(row, 0, table.rowLength);
    return row;
}

namespace {

size_t BlockBytes(const RFC_ITAB_S& table) {
    return size_t{table.rowsPerBlock} * table.rowLength;
}

size_t HeldBytes(const RFC_ITAB_S& table) {
    return table.blocks.size() * BlockBytes(table);
}

}  // namespace

void ClearTable(RFC_ITAB_S& table) {
    if (HeldBytes(table) >= kReleaseBytes) table.blocks.clear();
    table.rowCount = 0;
}

bool ReplaceRows(RFC_ITAB_S& table, const uint8_t* rows, size_t count, size_t rowSize) {
    ClearTable(table);
    const size_t copied = std::min<size_t>(rowSize, table.rowLength);
    for (size_t r = 0; r < count; ++r) {
        uint8_t* row = AppendRow(table);
        if (row == nullptr) return false;
        std::memcpy(row, rows + r * rowSize, copied);
    }
    return true;
}

void ReleaseTable(RFC_ITAB_S& table) {
    const size_t bytes = HeldBytes(table);
    ClearTable(table);
    // The blocks lie in the heap among other allocations, where freeing
    // them alone keeps the pages: a big table's go back to the system.
    if (bytes >= kReleaseBytes) ::malloc_trim(0);
}

}  // namespace rfclib

extern "C" {

ITAB_H ItCreateU(const RFC_CHAR* name, unsigned int leng, unsigned int, unsigned int) {
    std::u16string tableName;
    for (size_t i = 0; name != nullptr && name[i] != 0 && i < 256; ++i)
        tableName.push_back(name[i]);
    ITAB_H table = rfclib::CreateTable(std::move(tableName), leng);
    if (table == nullptr) {
        rfclib::SetLastError(
            rfclib::MakeError(RFC_ERROR_PROGRAM, "ItCreate: row length " + std::to_string(leng) +
                                                     " is not between 1 and " +
                                                     std::to_string(rfclib::kMaxRowLength)));
    }
    return table;
}

unsigned int ItFillU(ITAB_H table) {
    return table == nullptr ? 0 : table->rowCount;
}

unsigned int ItLengU(ITAB_H table) {
    return table == nullptr ? 0 : table->rowLength;
}

void* ItGetLineU(ITAB_H table, unsigned int line) {
    if (table == nullptr || line == 0) return nullptr;
    return rfclib::TableRow(*table, line - 1);
}

void* ItAppLineU(ITAB_H table) {
    return table == nullptr ? nullptr : rfclib::AppendRow(*table);
}

int ItFreeU(ITAB_H table) {
    if (table == nullptr) return 1;
    rfclib::ReleaseTable(*table);
    return 0;
}

int ItDeleteU(ITAB_H table) {
    if (table == nullptr) return 1;
    rfclib::ReleaseTable(*table);
    delete table;  // with the blocks a small table kept
    return 0;
}

}  // extern "C"
