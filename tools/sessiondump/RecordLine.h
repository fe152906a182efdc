// One dump line: named fields appended as "name=value", texts quoted and
// trimmed, OLE dates as local date-times, and the helper that cuts a file
// into fixed-size records for a decoder.
//
// No shared state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace sessiondump {

class RecordLine {
  public:
    explicit RecordLine(size_t index);
    RecordLine& Int(std::string_view name, int64_t value);
    RecordLine& Real(std::string_view name, double value);
    // "YYYY-MM-DD HH:MM:SS", or "invalid(<value>)".
    RecordLine& Date(std::string_view name, double oleDate);
    RecordLine& Text(std::string_view name, const char16_t* field, size_t capacity);
    template <size_t N>
    RecordLine& Text(std::string_view name, const char16_t (&field)[N]) {
        char16_t copy[N];
        std::memcpy(copy, field, sizeof copy);
        return Text(name, copy, N);
    }
    // The R/3 names with their values, from a packed array of N values.
    template <typename T, typename Names>
    RecordLine& Group(const Names& names, const void* values);
    const std::string& Str() const { return line_; }

  private:
    std::string line_;
};

template <typename T, typename Names>
RecordLine& RecordLine::Group(const Names& names, const void* values) {
    const auto* bytes = static_cast<const unsigned char*>(values);
    for (size_t i = 0; i < names.size(); ++i) {
        T v;
        std::memcpy(&v, bytes + i * sizeof(T), sizeof v);
        std::string name;
        for (char16_t c : names[i]) name += static_cast<char>(c);
        if constexpr (std::is_floating_point_v<T>)
            Real(name, v);
        else
            Int(name, v);
    }
    return *this;
}

// Calls decode(record, index) for each whole record of type Record; an
// incomplete tail gets a line of its own.
template <typename Record, typename Decode>
std::vector<std::string> DecodeRecords(const std::vector<unsigned char>& bytes, Decode decode) {
    std::vector<std::string> lines;
    const size_t count = bytes.size() / sizeof(Record);
    for (size_t i = 0; i < count; ++i) {
        Record r;
        std::memcpy(&r, bytes.data() + i * sizeof r, sizeof r);
        lines.push_back(decode(r, i + 1));
    }
    if (const size_t tail = bytes.size() % sizeof(Record))
        lines.push_back("incomplete record of " + std::to_string(tail) + " bytes");
    return lines;
}

}  // namespace sessiondump
