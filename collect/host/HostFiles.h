// Writing and searching the host files: the control files that get one
// record per host (found by the first 20 characters of a record), the
// minute records appended to .cpu and .dsk, the .ps snapshot and the text
// listings. Every file is opened, written and closed within the call;
// failures throw CFileException.
//
// Thread rules: host and remote threads write the shared control files only
// in Initialize, which the system thread runs for one thread at a time.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collect/records/HostRecords.h"

// The width of the name that control files are searched by.
inline constexpr size_t kControlNameWidth = 20;

// Whether the file holds a whole record of recordSize bytes whose first 20
// characters, trimmed, equal the key (cut to 20 characters, trimmed). A
// missing file holds none; a partial record at the end is not read.
bool ControlFileHasName(const std::u16string& path, size_t recordSize, std::u16string_view key);

// Opens the file for update (created if missing, contents kept) and writes
// the bytes at its end.
void AppendToControlFile(const std::u16string& path, const void* data, size_t size);

// Opens or creates the file and appends the record; an incomplete last
// record is cut first and its bytes returned (0: none).
int64_t AppendRecord(const std::u16string& path, const void* data, size_t size);
template <typename Record>
int64_t AppendRecord(const std::u16string& path, const Record& record) {
    return AppendRecord(path, &record, sizeof record);
}

// Creates or truncates .ps and writes every process (none: an empty file).
void WriteProcessSnapshot(const std::u16string& path, std::span<const tagPS_STAT> processes);

// Creates or truncates a text listing and writes each line followed by a
// line feed.
void WriteTextListing(const std::u16string& path, const std::vector<std::u16string>& lines);
