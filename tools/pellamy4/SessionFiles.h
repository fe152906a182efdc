// Reading the files of a session folder for the reduction: a file's bytes
// cut into whole records of a shared record struct, and a note for every
// file that is missing, unreadable, empty, cut short or not of its layout,
// so that the report says what it could not use and goes on with the rest.
//
// No shared state; a SessionFolder and its Notes belong to one reduction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

// What the report says about one file.
struct FileNote {
    std::string file;
    std::string text;
};
using Notes = std::vector<FileNote>;

// The earliest and latest OLE dates a collector session can carry; a time
// outside them marks a record that is not of its layout.
inline constexpr double kFirstPlausibleOle = 32874.0;  // 1 January 1990
inline constexpr double kLastPlausibleOle = 73051.0;   // 1 January 2100
bool PlausibleTime(double ole);

// A fixed-width text field as the writers leave it: printable units up to
// the first zero (surrogates paired, except a high one cut off at the end),
// zeros after it.
bool WellFormedText(const char16_t* field, size_t capacity);
template <size_t N>
bool WellFormedText(const char16_t (&field)[N]) {
    char16_t copy[N];
    std::memcpy(copy, field, sizeof copy);
    return WellFormedText(copy, N);
}
// The field's text up to its first zero, trimmed, in UTF-8.
std::string FieldUtf8(const char16_t* field, size_t capacity);
template <size_t N>
std::string FieldUtf8(const char16_t (&field)[N]) {
    char16_t copy[N];
    std::memcpy(copy, field, sizeof copy);
    return FieldUtf8(copy, N);
}

// The regular files of a session folder, by name.
class SessionFolder {
  public:
    // Lists the folder; throws std::runtime_error with a clear text when it
    // cannot be listed.
    explicit SessionFolder(std::string path);

    const std::string& Path() const { return path_; }
    bool Has(const std::string& name) const { return names_.count(name) != 0; }
    const std::set<std::string>& Names() const { return names_; }
    // Names ending in the extension (with its dot), in name order.
    std::vector<std::string> WithExtension(std::string_view extension) const;
    std::string PathOf(const std::string& name) const { return path_ + "/" + name; }
    uint64_t SizeOf(const std::string& name) const;

  private:
    std::string path_;
    std::set<std::string> names_;
};

// The whole file, or false with a note (missing, unreadable).
bool ReadBytes(const SessionFolder& folder, const std::string& name, Notes& notes,
               std::vector<unsigned char>& bytes);

// The result of cutting a file into records: the records that fit the
// layout, how many did not, and the size of an incomplete tail.
template <typename Record>
struct RecordFile {
    std::vector<Record> records;
    size_t unfit = 0;
    size_t tailBytes = 0;
};

template <typename Record, typename Fits>
RecordFile<Record> CutRecords(const std::vector<unsigned char>& bytes, Fits fits) {
    RecordFile<Record> out;
    const size_t count = bytes.size() / sizeof(Record);
    out.records.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        Record r;
        std::memcpy(&r, bytes.data() + i * sizeof r, sizeof r);
        if (fits(r))
            out.records.push_back(r);
        else
            ++out.unfit;
    }
    out.tailBytes = bytes.size() % sizeof(Record);
    return out;
}

// Adds the notes of a cut file: empty, incomplete tail, unfit records, or
// no record fitting at all (a foreign file, of which nothing is used).
// emptyIsNormal: an empty file is a valid state (no rows that quarter hour).
void NoteRecordFile(const std::string& name, const std::string& kind, size_t recordSize,
                    size_t records, size_t unfit, size_t tailBytes, bool emptyIsNormal,
                    Notes& notes);

// Reads and cuts a whole record file, with its notes; a missing file gives
// a note only when required.
template <typename Record, typename Fits>
std::vector<Record> ReadRecordFile(const SessionFolder& folder, const std::string& name,
                                   const std::string& kind, Fits fits, Notes& notes,
                                   bool required = true, bool emptyIsNormal = false) {
    if (!folder.Has(name)) {
        if (required) notes.push_back({name, "missing: no " + kind + " in the session"});
        return {};
    }
    std::vector<unsigned char> bytes;
    if (!ReadBytes(folder, name, notes, bytes)) return {};
    RecordFile<Record> file = CutRecords<Record>(bytes, fits);
    NoteRecordFile(name, kind, sizeof(Record), file.records.size(), file.unfit, file.tailBytes,
                   emptyIsNormal, notes);
    return std::move(file.records);
}

// The lines of a Windows-1252 text listing ended by CR LF (or LF), in UTF-8.
std::vector<std::string> ListingLines(const std::vector<unsigned char>& bytes);

// Streams a large record file in blocks, calling visit(record) for every
// whole record and progress(done, total) in bytes between blocks; returns
// the counts for NoteRecordFile. Throws std::runtime_error on a read error.
struct StreamCounts {
    size_t records = 0;
    size_t unfit = 0;
    size_t tailBytes = 0;
};
StreamCounts StreamRecords(const std::string& path, size_t recordSize,
                           const std::function<bool(const unsigned char*)>& visit,
                           const std::function<void(uint64_t, uint64_t)>& progress);

}  // namespace pellamy
