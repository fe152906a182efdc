#include "wire/Bcd.h"

#include <cstring>
#include <vector>

namespace rfclib {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool CheckShape(size_t bytes, int decimals, std::string& error) {
    if (bytes == 0 || bytes > kMaxBcdBytes) {
        error = "packed field of " + std::to_string(bytes) + " bytes (1 to 16 allowed)";
        return false;
    }
    if (decimals < 0 || static_cast<size_t>(decimals) > 2 * bytes - 1) {
        error = "packed field of " + std::to_string(bytes) + " bytes cannot have " +
                std::to_string(decimals) + " decimals";
        return false;
    }
    return true;
}

}  // namespace

bool TextToBcd(std::u16string_view text, int decimals, std::span<uint8_t> field,
               std::string& error) {
    if (!CheckShape(field.size(), decimals, error)) return false;
    size_t begin = 0, end = text.size();
    while (begin < end && (IsBlank(text[begin]) || text[begin] == 0)) ++begin;
    while (end > begin && (IsBlank(text[end - 1]) || text[end - 1] == 0)) --end;
    const bool hasText = begin < end;
    bool negative = false;
    if (begin < end && (text[begin] == u'-' || text[begin] == u'+')) {
        negative = text[begin] == u'-';
        ++begin;
    } else if (begin < end && (text[end - 1] == u'-' || text[end - 1] == u'+')) {
        negative = text[end - 1] == u'-';
        --end;
    }
    std::vector<uint8_t> integral, fraction;
    bool point = false;
    for (size_t i = begin; i < end; ++i) {
        const char16_t c = text[i];
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            (point ? fraction : integral).push_back(static_cast<uint8_t>(c - u'0'));
        } else {
            error = "'" + std::string(1, c < 128 ? static_cast<char>(c) : '?') +
                    "' is not allowed in a packed number";
            return false;
        }
    }
    if (hasText && integral.empty() && fraction.empty()) {
        error = "packed number without digits";
        return false;
    }
    // Scale to the field's decimals, rounding what is cut off.
    std::vector<uint8_t> digits(integral);
    for (int d = 0; d < decimals; ++d)
        digits.push_back(static_cast<size_t>(d) < fraction.size() ? fraction[d] : 0);
    if (fraction.size() > static_cast<size_t>(decimals) && fraction[decimals] >= 5) {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == 9) digits[--i] = 0;
        if (i == 0)
            digits.insert(digits.begin(), 1);
        else
            ++digits[i - 1];
    }
    size_t first = 0;
    while (first < digits.size() && digits[first] == 0) ++first;
    const size_t significant = digits.size() - first;
    const size_t capacity = 2 * field.size() - 1;
    if (significant > capacity) {
        error = "value has " + std::to_string(significant) + " digits; the packed field holds " +
                std::to_string(capacity);
        return false;
    }
    if (significant == 0) negative = false;
    // Nibbles right to left: sign, then digits.
    std::memset(field.data(), 0, field.size());
    size_t nibble = 0;  // 0 = low nibble of the last byte
    auto put = [&](uint8_t value) {
        const size_t byte = field.size() - 1 - nibble / 2;
        field[byte] |= static_cast<uint8_t>(nibble % 2 == 0 ? value : value << 4);
        ++nibble;
    };
    put(negative ? 0xD : 0xC);
    for (size_t i = digits.size(); i > first; --i) put(digits[i - 1]);
    return true;
}

bool BcdToText(std::span<const uint8_t> field, int decimals, std::u16string& text,
               std::string& error) {
    if (!CheckShape(field.size(), decimals, error)) return false;
    const uint8_t sign = field.back() & 0x0F;
    bool negative = false;
    if (sign == 0xB || sign == 0xD)
        negative = true;
    else if (sign != 0xA && sign != 0xC && sign != 0xE && sign != 0xF) {
        error = "packed field has no sign nibble";
        return false;
    }
    std::u16string digits;
    for (size_t n = 0; n < 2 * field.size() - 1; ++n) {
        const uint8_t b = field[n / 2];
        const uint8_t value = n % 2 == 0 ? b >> 4 : b & 0x0F;
        if (value > 9) {
            error = "packed field holds a nibble that is not a digit";
            return false;
        }
        digits.push_back(static_cast<char16_t>(u'0' + value));
    }
    const size_t integralDigits = digits.size() - static_cast<size_t>(decimals);
    size_t first = 0;
    while (first + 1 < integralDigits && digits[first] == u'0') ++first;
    std::u16string out = digits.substr(first, integralDigits - first);
    if (out.empty()) out = u"0";
    if (decimals > 0) out += u"." + digits.substr(integralDigits);
    if (negative && out.find_first_not_of(u"0.") != std::u16string::npos) out.insert(0, 1, u'-');
    text = std::move(out);
    return true;
}

}  // namespace rfclib
