/*
 * u16_tod: the floating-point side of the scan engine: the decimal point, the
 * recogniser that decides unit by unit whether the input still extends a
 * floating-point text, and its conversion.
 *
 * The text accepted is what the runtime's strtod reads in the forms the
 * engine supports: digits with at most one decimal point and an optional
 * exponent, or the words inf, infinity and nan in any case. Hexadecimal
 * floating text is not part of it.
 */
#include <locale.h>
#include <stdlib.h>

#include "u16_internal.h"

enum {
    kStart,     /* nothing yet */
    kInteger,   /* digits before the point */
    kFraction,  /* after the point */
    kExpStart,  /* after "e" */
    kExpSign,   /* after the exponent's sign */
    kExpDigits, /* in the exponent's digits */
    kInfWord,   /* matching "infinity" */
    kNanWord,   /* matching "nan" */
    kDone       /* nothing more can follow */
};

int u16_DecimalPoint(void) {
    const struct lconv* conv = localeconv();
    unsigned char c = '.';
    if (conv && conv->decimal_point && conv->decimal_point[0]) c = conv->decimal_point[0];
    return c < 0x80 ? c : '.';
}

void u16_FloatTextStart(U16FloatText* text, int decimalPoint) {
    text->state = kStart;
    text->index = 0;
    text->mantissaDigits = 0;
    text->decimalPoint = decimalPoint;
}

static int Lower(int unit) {
    return unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit;
}

static int MatchWord(U16FloatText* text, int unit, const char* word, int length) {
    if (text->index < length && Lower(unit) == word[text->index]) {
        if (++text->index == length) text->state = kDone;
        return 1;
    }
    return 0;
}

int u16_FloatTextAccept(U16FloatText* text, int unit) {
    const int digit = unit >= '0' && unit <= '9';
    switch (text->state) {
        case kStart:
            if (digit) {
                text->state = kInteger;
                text->mantissaDigits = 1;
                return 1;
            }
            if (unit == text->decimalPoint) {
                text->state = kFraction;
                return 1;
            }
            if (Lower(unit) == 'i') {
                text->state = kInfWord;
                text->index = 1;
                return 1;
            }
            if (Lower(unit) == 'n') {
                text->state = kNanWord;
                text->index = 1;
                return 1;
            }
            return 0;
        case kInteger:
        case kFraction:
            if (digit) {
                ++text->mantissaDigits;
                return 1;
            }
            if (unit == text->decimalPoint && text->state == kInteger) {
                text->state = kFraction;
                return 1;
            }
            if ((unit == 'e' || unit == 'E') && text->mantissaDigits > 0) {
                text->state = kExpStart;
                return 1;
            }
            return 0;
        case kExpStart:
            if (unit == '+' || unit == '-') {
                text->state = kExpSign;
                return 1;
            }
            /* fall through */
        case kExpSign:
        case kExpDigits:
            if (digit) {
                text->state = kExpDigits;
                return 1;
            }
            return 0;
        case kInfWord:
            return MatchWord(text, unit, "infinity", 8);
        case kNanWord:
            return MatchWord(text, unit, "nan", 3);
        default:
            return 0;
    }
}

int u16_FloatTextConvert(const char* text, int negative, double* value) {
    char* end;
    double v = strtod(text, &end);
    if (end == text) return 0;
    *value = negative ? -v : v;
    return 1;
}
