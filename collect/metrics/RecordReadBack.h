// Reads back records a capture has just written to its session file, so
// that the live figures are exactly what the session folder holds. Only
// whole records are read; a torn tail is left for the next read. A file
// that is missing or unreadable throws CFileException.
//
// Thread rules: called by the thread that writes the file, after its write.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace metrics {

// The bytes of whole records of recordSize from offset on; offset moves past them.
std::vector<unsigned char> ReadWholeRecords(const std::u16string& path, size_t recordSize,
                                            int64_t& offset);
// The bytes of the file's last whole record, or empty when it has none.
std::vector<unsigned char> ReadLastWholeRecord(const std::u16string& path, size_t recordSize);

template <typename Record>
std::vector<Record> RecordsFrom(const std::u16string& path, int64_t& offset) {
    const std::vector<unsigned char> bytes = ReadWholeRecords(path, sizeof(Record), offset);
    std::vector<Record> records(bytes.size() / sizeof(Record));
    if (!records.empty()) std::memcpy(records.data(), bytes.data(), bytes.size());
    return records;
}

template <typename Record>
std::optional<Record> LastRecord(const std::u16string& path) {
    const std::vector<unsigned char> bytes = ReadLastWholeRecord(path, sizeof(Record));
    if (bytes.size() != sizeof(Record)) return std::nullopt;
    Record record;
    std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

}  // namespace metrics
