#include "platform/FixedText.h"

#include <algorithm>

namespace platform {

void CopyToField(char16_t* field, size_t capacity, std::u16string_view value) {
    std::fill(field, field + capacity, u'\0');
    std::copy_n(value.data(), std::min(capacity, value.size()), field);
}

void CopyToBlankField(char16_t* field, size_t capacity, std::u16string_view value) {
    std::fill(field, field + capacity, u' ');
    std::copy_n(value.data(), std::min(capacity, value.size()), field);
}

std::u16string FieldText(const char16_t* field, size_t capacity) {
    const char16_t* end = std::find(field, field + capacity, u'\0');
    return std::u16string(field, end);
}

bool IsWhiteSpace(char16_t c) {
    return c == u' ' || (c >= 0x09 && c <= 0x0D);
}

std::u16string TrimRight(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
    return std::u16string(text.substr(0, end));
}

std::u16string TrimLeft(std::u16string_view text) {
    size_t begin = 0;
    while (begin < text.size() && IsWhiteSpace(text[begin])) ++begin;
    return std::u16string(text.substr(begin));
}

std::u16string Trim(std::u16string_view text) {
    return TrimLeft(TrimRight(text));
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
    if (from.empty()) return std::u16string(text);
    std::u16string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(from, pos);
        if (hit == std::u16string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace platform
