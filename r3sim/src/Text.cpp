#include "Text.h"

#include <cstring>

#include "platform/TextCodec.h"

namespace r3sim {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return Upper(a) == Upper(b);
}

void EncodeChars(std::string_view value, size_t chars, CharWidth width, uint8_t* out) {
    const size_t unit = kBytesPerChar[width];
    bool ascii = true;
    for (char c : value) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {  // the common case, without building a text
        std::memset(out, 0, chars * unit);
        for (size_t i = 0; i < chars; ++i) out[i * unit] = i < value.size() ? value[i] : ' ';
        return;
    }
    std::u16string text = platform::FromUtf8(value);
    text.resize(chars, u' ');
    if (width == kWidth1) {
        const std::string narrow = platform::ToWindows1252(text);
        for (size_t i = 0; i < chars; ++i) out[i] = static_cast<uint8_t>(narrow[i]);
        return;
    }
    for (size_t i = 0; i < chars; ++i) {
        out[i * unit] = static_cast<uint8_t>(text[i]);
        out[i * unit + 1] = static_cast<uint8_t>(text[i] >> 8);
        for (size_t b = 2; b < unit; ++b) out[i * unit + b] = 0;
    }
}

std::vector<uint8_t> CharField(std::string_view value, size_t chars, CharWidth width) {
    std::vector<uint8_t> bytes(chars * kBytesPerChar[width]);
    EncodeChars(value, chars, width, bytes.data());
    return bytes;
}

std::string DecodeChars(std::span<const uint8_t> bytes, CharWidth width) {
    std::u16string text;
    if (width == kWidth1) {
        text = platform::FromWindows1252(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } else {
        const size_t unit = kBytesPerChar[width];
        for (size_t i = 0; i + unit <= bytes.size(); i += unit)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.pop_back();
    return platform::ToUtf8(text);
}

std::string FieldText(const std::vector<uint8_t>& bytes, CharWidth width) {
    return DecodeChars(bytes, width);
}

}  // namespace r3sim
