#include "wire/ByteCodec.h"

namespace rfcwire {

void ByteWriter::U16(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes_.push_back(static_cast<uint8_t>(value >> shift));
}

void ByteWriter::Text(std::u16string_view text) {
    U32(static_cast<uint32_t>(text.size()));
    for (char16_t unit : text) U16(static_cast<uint16_t>(unit));
}

void ByteWriter::Bytes(std::span<const uint8_t> block) {
    U32(static_cast<uint32_t>(block.size()));
    Raw(block);
}

void ByteWriter::Raw(std::span<const uint8_t> block) {
    bytes_.insert(bytes_.end(), block.begin(), block.end());
}

void ByteWriter::PatchU32(size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

bool ByteReader::Take(size_t n, const uint8_t*& at) {
    if (!ok_ || n > Remaining()) {
        ok_ = false;
        return false;
    }
    at = input_.data() + position_;
    position_ += n;
    return true;
}

bool ByteReader::U8(uint8_t& value) {
    const uint8_t* at = nullptr;
    if (!Take(1, at)) return false;
    value = at[0];
    return true;
}

bool ByteReader::U16(uint16_t& value) {
    const uint8_t* at = nullptr;
    if (!Take(2, at)) return false;
    value = static_cast<uint16_t>(at[0] | (at[1] << 8));
    return true;
}

bool ByteReader::U32(uint32_t& value) {
    const uint8_t* at = nullptr;
    if (!Take(4, at)) return false;
    value = static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
            (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
    return true;
}

bool ByteReader::I32(int32_t& value) {
    uint32_t raw = 0;
    if (!U32(raw)) return false;
    value = static_cast<int32_t>(raw);
    return true;
}

bool ByteReader::Text(std::u16string& text, size_t maxUnits) {
    uint32_t units = 0;
    if (!U32(units)) return false;
    if (units > maxUnits || units > Remaining() / 2) {
        ok_ = false;
        return false;
    }
    const uint8_t* at = nullptr;
    Take(size_t{units} * 2, at);
    text.resize(units);
    for (uint32_t i = 0; i < units; ++i)
        text[i] = static_cast<char16_t>(at[2 * i] | (at[2 * i + 1] << 8));
    return true;
}

bool ByteReader::Bytes(std::vector<uint8_t>& block, size_t maxBytes) {
    uint32_t length = 0;
    if (!U32(length)) return false;
    if (length > maxBytes) {
        ok_ = false;
        return false;
    }
    const uint8_t* at = nullptr;
    if (!Take(length, at)) return false;
    block.assign(at, at + length);
    return true;
}

bool ByteReader::Count(uint32_t& count, size_t minElementBytes) {
    if (!U32(count)) return false;
    if (minElementBytes > 0 && count > Remaining() / minElementBytes) {
        ok_ = false;
        return false;
    }
    return true;
}

}  // namespace rfcwire
