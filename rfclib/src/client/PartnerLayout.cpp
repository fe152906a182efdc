#include "client/PartnerLayout.h"

#include <algorithm>
#include <cstring>

#include "client/InternalTable.h"
#include "platform/TextCodec.h"

namespace rfclib {
namespace {

void NarrowChars(const uint8_t* wide, size_t chars, uint8_t* out) {
    for (size_t i = 0; i < chars; ++i) {
        const auto c = static_cast<char16_t>(wide[2 * i] | (wide[2 * i + 1] << 8));
        const int byte = platform::Windows1252Byte(c);
        out[i] = byte < 0 ? '?' : static_cast<uint8_t>(byte);
    }
}

// The character of every Windows-1252 byte.
const std::u16string& CodePage() {
    static const std::u16string table = [] {
        std::string bytes(256, '\0');
        for (int b = 0; b < 256; ++b) bytes[static_cast<size_t>(b)] = static_cast<char>(b);
        return platform::FromWindows1252(bytes);
    }();
    return table;
}

void WidenChars(const uint8_t* narrow, size_t chars, uint8_t* out) {
    const std::u16string& page = CodePage();
    size_t i = 0;
    // Eight ASCII characters at a time: their UTF-16 units are the bytes.
    for (; i + 8 <= chars; i += 8) {
        uint64_t eight;
        std::memcpy(&eight, narrow + i, 8);
        if ((eight & 0x8080808080808080ull) != 0) break;
        for (size_t k = 0; k < 8; ++k) {
            out[2 * (i + k)] = narrow[i + k];
            out[2 * (i + k) + 1] = 0;
        }
    }
    for (; i < chars; ++i) {
        const char16_t c = page[narrow[i]];
        out[2 * i] = static_cast<uint8_t>(c);
        out[2 * i + 1] = static_cast<uint8_t>(c >> 8);
    }
}

bool Inside(size_t offset, size_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

// The record length the fields give; a field reaching beyond the longest
// row a table may have is a broken definition and is left out.
size_t RecordEnd(const InstalledStructure& s, bool wide) {
    size_t end = 0;
    for (const InstalledField& f : s.fields) {
        const size_t fieldEnd =
            wide ? size_t{f.c2Offset} + f.c2Length : size_t{f.c1Offset} + f.c1Length;
        if (fieldEnd <= kMaxRowLength) end = std::max(end, fieldEnd);
    }
    return end;
}

}  // namespace

PartnerLayout::PartnerLayout(RFC_TYPEHANDLE type) : type_(type) {
    if (type >= RFCTYPE_FIRST_INSTALLED) structure_ = FindStructure(type);
    MeasureRecords();
}

PartnerLayout::PartnerLayout(std::vector<InstalledField> fields)
    : type_(RFCTYPE_STRUCTURE),
      structure_(InstalledStructure{{}, RFCTYPE_STRUCTURE, std::move(fields)}) {
    MeasureRecords();
}

void PartnerLayout::MeasureRecords() {
    if (!structure_) return;
    wideRecord_ = RecordEnd(*structure_, true);
    narrowRecord_ = RecordEnd(*structure_, false);
}

size_t PartnerLayout::WideLength(size_t length) const {
    if (structure_) return wideRecord_;
    return IsCharacterLike(type_) ? length * 2 : length;
}

std::vector<uint8_t> PartnerLayout::Narrow(const uint8_t* wide, size_t length) const {
    if (!structure_) {
        if (!IsCharacterLike(type_)) return {wide, wide + length};
        std::vector<uint8_t> out(length / 2);
        NarrowChars(wide, out.size(), out.data());
        return out;
    }
    std::vector<uint8_t> out(narrowRecord_, 0);
    for (const InstalledField& f : structure_->fields) {
        // A field without bytes moves nothing (and out may hold nothing at all).
        if (f.c1Length == 0 || !Inside(f.c1Offset, f.c1Length, out.size())) continue;
        uint8_t* to = out.data() + f.c1Offset;
        const bool text = IsCharacterLike(f.type);
        if (text) std::memset(to, ' ', f.c1Length);
        if (!Inside(f.c2Offset, f.c2Length, length)) continue;
        const uint8_t* from = wide + f.c2Offset;
        if (text)
            NarrowChars(from, std::min<size_t>(f.c1Length, f.c2Length / 2), to);
        else
            std::memcpy(to, from, std::min(f.c1Length, f.c2Length));
    }
    return out;
}

std::vector<uint8_t> PartnerLayout::Widen(const uint8_t* narrow, size_t length) const {
    std::vector<uint8_t> out(WideLength(length), 0);
    WidenInto(narrow, length, out.data());
    return out;
}

void PartnerLayout::WidenInto(const uint8_t* narrow, size_t length, uint8_t* out) const {
    if (!structure_) {
        if (!IsCharacterLike(type_)) {
            if (length > 0) std::memcpy(out, narrow, length);
        } else
            WidenChars(narrow, length, out);
        return;
    }
    if (wideRecord_ == 0) return;  // no field with room: out may hold nothing at all
    std::memset(out, 0, wideRecord_);
    for (const InstalledField& f : structure_->fields) {
        if (!Inside(f.c2Offset, f.c2Length, wideRecord_)) continue;
        uint8_t* to = out + f.c2Offset;
        const bool text = IsCharacterLike(f.type);
        const size_t chars = f.c2Length / 2;
        if (text)
            for (size_t i = 0; i < chars; ++i) to[2 * i] = ' ', to[2 * i + 1] = 0;
        if (!Inside(f.c1Offset, f.c1Length, length)) continue;
        const uint8_t* from = narrow + f.c1Offset;
        if (text) {
            WidenChars(from, std::min<size_t>(f.c1Length, chars), to);
        } else if (const size_t bytes = std::min(f.c1Length, f.c2Length); bytes > 0) {
            std::memcpy(to, from, bytes);  // a record of no bytes may come without a buffer
        }
    }
}

}  // namespace rfclib
