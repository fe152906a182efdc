/*
 * u16_tol: the library's own 64-bit integer parsers on 8-bit text.
 *
 * They follow strtoll and strtoull exactly (leading white space, sign, base 0
 * or 2 to 36 with the "0x" prefix for base 16, saturation with ERANGE, end
 * pointer after the last digit or at the text when nothing was converted),
 * so the engine does not depend on the width of the runtime's long.
 */
#include <errno.h>
#include <stdio.h>

#include "u16_internal.h"

/* Digit value for bases up to 36, or 36 for anything that is not a digit. */
static int DigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 36;
}

static int IsCSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static void ReportIllegalBase(int base) {
    if (u16TraceLevel <= 15) return;
    char text[48];
    int n = snprintf(text, sizeof text, "Illegal base %d in strtolU16", base);
    U16Char wide[48];
    if (n < 0) n = 0;
    if (n > (int)(sizeof wide / sizeof wide[0]) - 1) n = (int)(sizeof wide / sizeof wide[0]) - 1;
    for (int i = 0; i < n; ++i) wide[i] = (unsigned char)text[i];
    wide[n] = 0;
    TraceMessage(wide, "u16_tol", 92, 1);
}

/*
 * Shared scanner: the magnitude, saturated at limit (overflow set when the
 * digits exceed it), and the sign. Returns 0 with *end = text when there is
 * no digit or the base is illegal (*illegal set).
 */
static uint64_t ParseMagnitude(const char* text, char** end, int base, uint64_t limit,
                               int* negative, int* overflow, int* illegal) {
    const unsigned char* s = (const unsigned char*)text;
    *negative = 0;
    *overflow = 0;
    *illegal = 0;
    if (end) *end = (char*)text;
    if (base < 0 || base == 1 || base > 36) {
        *illegal = 1;
        return 0;
    }
    while (IsCSpace(*s)) ++s;
    if (*s == '+' || *s == '-') {
        *negative = *s == '-';
        ++s;
    }
    /* The prefix counts only when a hexadecimal digit follows it; "0x" alone
     * converts the "0" and leaves the end at the "x". */
    if ((base == 0 || base == 16) && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
        DigitValue(s[2]) < 16) {
        s += 2;
        base = 16;
    } else if (base == 0) {
        base = s[0] == '0' ? 8 : 10;
    }
    const unsigned char* digits = s;
    /* One division per call: value * base + d stays within limit exactly when
     * value < cutoff, or value == cutoff and d <= the remainder. */
    const uint64_t cutoff = limit / (uint64_t)base;
    const uint64_t remainder = limit % (uint64_t)base;
    uint64_t value = 0;
    for (int d; (d = DigitValue(*s)) < base; ++s) {
        if (*overflow) continue;
        if (value > cutoff || (value == cutoff && (uint64_t)d > remainder)) {
            *overflow = 1;
            value = limit;
        } else {
            value = value * (uint64_t)base + (uint64_t)d;
        }
    }
    if (s == digits) return 0;
    if (end) *end = (char*)s;
    return value;
}

int64_t u16_strtoll(const char* text, char** end, int base) {
    int negative, overflow, illegal;
    /* A negative value may reach one beyond INT64_MAX in magnitude. */
    uint64_t m =
        ParseMagnitude(text, end, base, (uint64_t)INT64_MAX + 1u, &negative, &overflow, &illegal);
    if (illegal) {
        errno = EINVAL;
        ReportIllegalBase(base);
        return 0;
    }
    if (negative) {
        if (overflow) {
            errno = ERANGE;
            return INT64_MIN;
        }
        return m == (uint64_t)INT64_MAX + 1u ? INT64_MIN : -(int64_t)m;
    }
    if (overflow || m > (uint64_t)INT64_MAX) {
        errno = ERANGE;
        return INT64_MAX;
    }
    return (int64_t)m;
}

uint64_t u16_strtoull(const char* text, char** end, int base) {
    int negative, overflow, illegal;
    uint64_t m = ParseMagnitude(text, end, base, UINT64_MAX, &negative, &overflow, &illegal);
    if (illegal) {
        errno = EINVAL;
        ReportIllegalBase(base);
        return 0;
    }
    if (overflow) {
        errno = ERANGE;
        return UINT64_MAX;
    }
    /* As strtoull: a negative text gives the negation in unsigned arithmetic. */
    return negative ? (uint64_t)0 - m : m;
}
