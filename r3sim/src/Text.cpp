#include "Text.h"

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

std::vector<uint8_t> CharField(std::string_view value, size_t chars) {
    std::u16string text = platform::FromUtf8(value);
    text.resize(chars, u' ');
    std::vector<uint8_t> bytes;
    bytes.reserve(chars * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

std::string FieldText(const std::vector<uint8_t>& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.pop_back();
    return platform::ToUtf8(text);
}

}  // namespace r3sim
