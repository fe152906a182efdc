// Little-endian primitive encoding for the wire protocol: a writer that
// appends to a byte vector and a reader that never reads past its input.
//
// Text travels as a 32-bit unit count followed by UTF-16LE units; byte blocks
// as a 32-bit length followed by the bytes. The reader fails (and stays
// failed) on the first value that would run past the end or over a limit.
//
// Thread rules: none; each object belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rfcwire {

class ByteWriter {
  public:
    void U8(uint8_t value) { bytes_.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Text(std::u16string_view text);
    void Bytes(std::span<const uint8_t> block);
    void Raw(std::span<const uint8_t> block);

    // Overwrites four bytes at offset (used for lengths known only at the end).
    void PatchU32(size_t offset, uint32_t value);
    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> input) : input_(input) {}

    bool U8(uint8_t& value);
    bool U16(uint16_t& value);
    bool U32(uint32_t& value);
    bool I32(int32_t& value);
    // Text of at most maxUnits UTF-16 units.
    bool Text(std::u16string& text, size_t maxUnits);
    // A block of at most maxBytes bytes.
    bool Bytes(std::vector<uint8_t>& block, size_t maxBytes);
    // A count of elements that each take at least minElementBytes bytes;
    // fails when the rest of the input cannot hold that many.
    bool Count(uint32_t& count, size_t minElementBytes);

    bool Ok() const { return ok_; }
    size_t Remaining() const { return input_.size() - position_; }
    bool AtEnd() const { return ok_ && position_ == input_.size(); }

  private:
    bool Take(size_t n, const uint8_t*& at);

    std::span<const uint8_t> input_;
    size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace rfcwire
