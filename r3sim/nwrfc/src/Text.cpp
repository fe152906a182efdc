#include "Text.h"

#include <algorithm>
#include <cstring>

#include "platform/TextCodec.h"

namespace nwsim {

std::u16string_view TextOf(const nwrfc::SAP_UC* text, size_t maxUnits) {
    if (text == nullptr) return {};
    size_t n = 0;
    while (n < maxUnits && text[n] != 0) ++n;
    return {text, n};
}

void PutText(std::u16string_view text, nwrfc::SAP_UC* field, size_t capacity) {
    if (capacity == 0) return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(field, text.data(), n * sizeof(nwrfc::SAP_UC));
    std::fill(field + n, field + capacity, u'\0');
}

bool SameNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::u16string_view TrimRight(std::u16string_view text) {
    while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.remove_suffix(1);
    return text;
}

std::string Utf8(std::u16string_view text) {
    return platform::ToUtf8(text);
}

}  // namespace nwsim
