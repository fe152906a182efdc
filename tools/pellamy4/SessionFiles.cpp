#include "tools/pellamy4/SessionFiles.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

namespace pellamy {

namespace fs = std::filesystem;

bool PlausibleTime(double ole) {
    return ole >= kFirstPlausibleOle && ole < kLastPlausibleOle;
}

bool WellFormedText(const char16_t* field, size_t capacity) {
    size_t i = 0;
    for (; i < capacity && field[i] != 0; ++i) {
        const char16_t c = field[i];
        // Controls, private use and noncharacters are not in R/3 texts.
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xE000 && c < 0xF900) ||
            (c >= 0xFDD0 && c <= 0xFDEF) || c >= 0xFFFE)
            return false;
        if (c >= 0xDC00 && c < 0xE000) return false;  // a low surrogate without its high one
        if (c >= 0xD800 && c < 0xDC00) {
            // A pair cut by the field's width leaves its high half last.
            if (i + 1 == capacity) continue;
            if (field[i + 1] < 0xDC00 || field[i + 1] >= 0xE000) return false;
            ++i;
        }
    }
    for (; i < capacity; ++i) {
        if (field[i] != 0) return false;
    }
    return true;
}

std::string FieldUtf8(const char16_t* field, size_t capacity) {
    return platform::ToUtf8(platform::Trim(platform::FieldText(field, capacity)));
}

SessionFolder::SessionFolder(std::string path) : path_(std::move(path)) {
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
    std::error_code error;
    fs::directory_iterator it(path_, error);
    if (error) throw std::runtime_error(path_ + ": cannot list the folder: " + error.message());
    for (const fs::directory_entry& entry : it) {
        if (entry.is_regular_file(error)) names_.insert(entry.path().filename().string());
    }
}

std::vector<std::string> SessionFolder::WithExtension(std::string_view extension) const {
    std::vector<std::string> out;
    for (const std::string& name : names_) {
        if (name.size() > extension.size() && name.ends_with(extension)) out.push_back(name);
    }
    return out;
}

uint64_t SessionFolder::SizeOf(const std::string& name) const {
    std::error_code error;
    const uintmax_t size = fs::file_size(PathOf(name), error);
    return error ? 0 : size;
}

bool ReadBytes(const SessionFolder& folder, const std::string& name, Notes& notes,
               std::vector<unsigned char>& bytes) {
    try {
        bytes = platform::ReadWholeFile(platform::FromUtf8(folder.PathOf(name)));
        return true;
    } catch (const CException& e) {
        notes.push_back({name, "unreadable: " + platform::ToUtf8(e.ReportText())});
        return false;
    }
}

void NoteRecordFile(const std::string& name, const std::string& kind, size_t recordSize,
                    size_t records, size_t unfit, size_t tailBytes, bool emptyIsNormal,
                    Notes& notes) {
    if (records == 0 && unfit == 0 && tailBytes == 0) {
        notes.push_back({name, emptyIsNormal ? "empty: no " + kind + " was recorded"
                                             : "empty: the " + kind + " holds no records"});
        return;
    }
    if (records == 0 && unfit == 0) {
        notes.push_back({name, "truncated: " + std::to_string(tailBytes) +
                                   " bytes, less than one record of " + std::to_string(recordSize) +
                                   " bytes"});
        return;
    }
    if (records == 0) {
        notes.push_back({name, "not a " + kind + ": none of its " + std::to_string(unfit) +
                                   " records of " + std::to_string(recordSize) +
                                   " bytes fits the layout; the file is not used"});
        return;
    }
    if (unfit != 0) {
        notes.push_back({name, std::to_string(unfit) + " of " + std::to_string(records + unfit) +
                                   " records do not fit the layout and are left out"});
    }
    if (tailBytes != 0) {
        notes.push_back({name, "truncated: an incomplete last record of " +
                                   std::to_string(tailBytes) + " bytes is left out"});
    }
}

std::vector<std::string> ListingLines(const std::vector<unsigned char>& bytes) {
    const std::u16string text = platform::FromWindows1252(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == u'\r') --stop;
        lines.push_back(platform::ToUtf8(std::u16string_view(text).substr(start, stop - start)));
        start = end + 1;
    }
    return lines;
}

StreamCounts StreamRecords(const std::string& path, size_t recordSize,
                           const std::function<bool(const unsigned char*)>& visit,
                           const std::function<void(uint64_t, uint64_t)>& progress) {
    StreamCounts counts;
    platform::File file;
    uint64_t total = 0;
    try {
        file.Open(platform::FromUtf8(path), platform::File::Mode::Read);
        total = static_cast<uint64_t>(file.Length());
    } catch (const CException& e) {
        throw std::runtime_error(platform::ToUtf8(e.ReportText()));
    }
    // A block of whole records, so a record never straddles two reads.
    const size_t blockRecords = (1u << 20) / recordSize + 1;
    std::vector<unsigned char> block(blockRecords * recordSize);
    uint64_t done = 0;
    size_t held = 0;
    for (;;) {
        size_t got = 0;
        try {
            got = file.Read(block.data() + held, block.size() - held);
        } catch (const CException& e) {
            throw std::runtime_error(platform::ToUtf8(e.ReportText()));
        }
        held += got;
        const size_t whole = held / recordSize;
        for (size_t i = 0; i < whole; ++i) {
            if (visit(block.data() + i * recordSize))
                ++counts.records;
            else
                ++counts.unfit;
        }
        const size_t rest = held - whole * recordSize;
        if (rest != 0) std::memmove(block.data(), block.data() + whole * recordSize, rest);
        held = rest;
        done += got;
        if (progress) progress(done, total);
        if (got == 0) break;
    }
    counts.tailBytes = held;
    return counts;
}

}  // namespace pellamy
