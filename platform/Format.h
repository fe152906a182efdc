// A small type-safe printf for UTF-16 patterns, so the collector's message
// patterns ("%s : %s", "RFC Exception: %s(%s): %.*s") are used as written.
//
// Conversions: d i u o x X c s f F e E g G p %, flags "-+ #0", width and
// precision (digits or "*", which takes an int argument), sizes hh h l ll
// I64 L z (integers are cut to the size: none, "l" and "z" on 32-bit values
// as the original's 32-bit longs, "ll"/"I64" 64-bit). Widths and precisions
// of strings count UTF-16 units. An argument that is missing or of the wrong
// kind for its conversion throws std::invalid_argument: such a pattern is a
// programming error, not input.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

class FormatArg {
  public:
    enum class Kind { Signed, Unsigned, Double, String, Char, Pointer };

    template <typename T>
    requires(std::is_integral_v<T>&& std::is_signed_v<T> && !std::is_same_v<T, char>) FormatArg(T v)
        : kind_(Kind::Signed), i_(v) {}
    template <typename T>
    requires(std::is_integral_v<T>&& std::is_unsigned_v<T> && !std::is_same_v<T, char16_t> &&
             !std::is_same_v<T, bool>) FormatArg(T v)
        : kind_(Kind::Unsigned), u_(v) {}
    FormatArg(bool v) : kind_(Kind::Signed), i_(v ? 1 : 0) {}
    FormatArg(double v) : kind_(Kind::Double), d_(v) {}
    FormatArg(float v) : kind_(Kind::Double), d_(v) {}
    FormatArg(char16_t c) : kind_(Kind::Char), c_(c) {}
    FormatArg(std::u16string_view s) : kind_(Kind::String), s_(s) {}
    FormatArg(const std::u16string& s) : kind_(Kind::String), s_(s) {}
    FormatArg(const char16_t* s)
        : kind_(Kind::String), s_(s ? std::u16string_view(s) : u"(null)") {}
    FormatArg(const void* p) : kind_(Kind::Pointer), p_(p) {}

    Kind kind() const { return kind_; }
    int64_t AsSigned() const;
    uint64_t AsUnsigned() const;
    double AsDouble() const { return d_; }
    std::u16string_view AsString() const { return s_; }
    char16_t AsChar() const { return c_; }
    const void* AsPointer() const { return p_; }

  private:
    Kind kind_;
    union {
        int64_t i_;
        uint64_t u_;
        double d_;
        char16_t c_;
        const void* p_;
    };
    std::u16string_view s_;
};

std::u16string FormatArgs(std::u16string_view pattern, std::span<const FormatArg> args);

template <typename... Args>
std::u16string Format(std::u16string_view pattern, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
    return FormatArgs(pattern, list);
}

}  // namespace platform
