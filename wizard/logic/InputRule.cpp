#include "wizard/logic/InputRule.h"

#include "platform/Format.h"

std::u16string UpperCaseName(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        // ASCII and the Latin-1 letters; the division sign has no capital and
        // y with diaeresis has its capital outside Latin-1.
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            c = static_cast<char16_t>(c - 0x20);
        } else if (c == 0xFF) {
            c = 0x178;
        }
    }
    return upper;
}

std::u16string InputRule::Normalised(std::u16string_view typed) const {
    return capitals ? UpperCaseName(typed) : std::u16string(typed);
}

bool InputRule::Admits(std::u16string_view text) const {
    if (limit != 0 && text.size() > limit) return false;
    if (!digitsOnly) return true;
    for (char16_t c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

std::u16string InputRule::Breach(std::u16string_view value) const {
    if (Admits(value)) return {};
    const int most = static_cast<int>(limit);
    if (digitsOnly && limit == 0) return platform::Format(u"Please enter %s of digits only.", name);
    if (digitsOnly) return platform::Format(u"Please enter %s of 1 to %d digits.", name, most);
    return platform::Format(u"Please enter %s of at most %d characters.", name, most);
}
