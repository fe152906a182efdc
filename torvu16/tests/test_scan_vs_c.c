/* The scanner against the C library's sscanf and fscanf over generated
 * numbers: integer texts with signs, prefixes, long digit runs and trailing
 * text for every integer conversion and size, floating-point texts for
 * every floating conversion, random widths. Result, stored value and the
 * units consumed ("%n") must agree; from a stream also the byte left next.
 * The library's own rules are applied to the C library's reading where
 * they differ: 32-bit conversions (and the smaller sizes, which store their
 * low bits) saturate at the 32-bit limits, "l" is left out (32 bits here),
 * a float is the double text's value narrowed, and a width that cuts
 * "infinity" short still reads infinity. */
#include <errno.h>
#include <math.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include "check.h"
#include "generator.h"

enum { kCases = 200000, kShownFailures = 20 };

static int shownFailures;

typedef union Value {
    uint64_t bits; /* the integer sizes store into its low bytes */
    float f;
    double d;
} Value;

typedef struct Outcome {
    int result;
    Value value;
    int consumed;
    int next; /* the byte a stream has left next, or -2 for a string */
} Outcome;

/* ---- Generated texts -------------------------------------------------------------------- */

static void Append(char** p, const char* text) {
    const size_t n = strlen(text);
    memcpy(*p, text, n);
    *p += n;
}

static void AppendDigits(Generator* g, char** p, const char* set, unsigned most) {
    const size_t n = strlen(set);
    const unsigned count = GenBelow(g, most + 1);
    for (unsigned i = 0; i < count; ++i) *(*p)++ = set[GenBelow(g, (unsigned)n)];
}

static void IntegerText(Generator* g, char* text) {
    static const char* const kSpace[] = {"", "", " ", "  ", "\t", "\n "};
    static const char* const kSign[] = {"", "", "+", "-"};
    static const char* const kPrefix[] = {"", "", "", "0", "0x", "0X", "00"};
    static const char* const kDigits[] = {"0123456789", "01234567", "0123456789abcdefABCDEF",
                                          "9",          "f",        "1"};
    static const char* const kTail[] = {"", "", " 7", "z", "g", ".5", "x1", "-"};
    char* p = text;
    Append(&p, GEN_PICK(g, kSpace));
    Append(&p, GEN_PICK(g, kSign));
    Append(&p, GEN_PICK(g, kPrefix));
    AppendDigits(g, &p, GEN_PICK(g, kDigits), GenBelow(g, 4) ? 12 : 26);
    Append(&p, GEN_PICK(g, kTail));
    *p = 0;
}

static void FloatText(Generator* g, char* text) {
    static const char* const kSpace[] = {"", "", " ", "\t"};
    static const char* const kSign[] = {"", "", "+", "-"};
    static const char* const kWords[] = {"inf", "INF", "Infinity", "infinity", "nan", "NaN", "NAN"};
    static const char* const kTail[] = {"", "", " ", "z", "e", ".", "5", " 1", "e+"};
    char* p = text;
    Append(&p, GEN_PICK(g, kSpace));
    Append(&p, GEN_PICK(g, kSign));
    if (GenBelow(g, 10) == 0) {
        Append(&p, GEN_PICK(g, kWords));
    } else {
        AppendDigits(g, &p, "0123456789", GenBelow(g, 4) ? 8 : 30);
        if (GenBelow(g, 2)) {
            *p++ = '.';
            AppendDigits(g, &p, "0123456789", GenBelow(g, 4) ? 8 : 30);
        }
        if (GenBelow(g, 3) == 0) {
            *p++ = GenBelow(g, 2) ? 'e' : 'E';
            if (GenBelow(g, 2)) *p++ = GenBelow(g, 2) ? '+' : '-';
            AppendDigits(g, &p, "0123456789", 3);
        }
    }
    Append(&p, GEN_PICK(g, kTail));
    *p = 0;
}

/* ---- Both scanners ---------------------------------------------------------------------- */

static void Widen(const char* ascii, U16Char* out) {
    size_t i = 0;
    for (; ascii[i]; ++i) out[i] = (unsigned char)ascii[i];
    out[i] = 0;
}

/* A read stream over text; fromStream above 1 gives it a buffer of fromStream - 1 bytes, so
 * that numbers cross the buffer's end. */
static FILE* StreamOver(const char* text, int fromStream) {
    FILE* f = fmemopen((void*)text, strlen(text), "r");
    if (fromStream > 1) setvbuf(f, NULL, _IOFBF, (size_t)(fromStream - 1));
    return f;
}

/* The format is "%<width><size><conversion>%n"; fromStream reads text through a stream. */
static Outcome ScanC(const char* text, const char* format, int fromStream) {
    Outcome o = {0, {0}, -1, -2};
    if (fromStream) {
        FILE* f = StreamOver(text, fromStream);
        o.result = fscanf(f, format, &o.value, &o.consumed);
        o.next = fgetc(f);
        fclose(f);
    } else {
        o.result = sscanf(text, format, &o.value, &o.consumed);
    }
    return o;
}

static int ScanWide(const U16Char* source, FILE* stream, const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vvfscanfU16(source, stream, format, args);
    va_end(args);
    return result;
}

static Outcome ScanLibrary(const char* text, const char* format, int fromStream) {
    Outcome o = {0, {0}, -1, -2};
    U16Char wideFormat[32], wideText[128];
    Widen(format, wideFormat);
    if (fromStream) {
        FILE* f = StreamOver(text, fromStream);
        o.result = ScanWide(NULL, f, wideFormat, &o.value, &o.consumed);
        o.next = fgetc(f);
        fclose(f);
    } else {
        Widen(text, wideText);
        o.result = ScanWide(wideText, NULL, wideFormat, &o.value, &o.consumed);
    }
    return o;
}

/* ---- The library's rules on the C library's reading --------------------------------------- */

static uint64_t LowBits(uint64_t v, int bytes) {
    return bytes == 8 ? v : v & ((1ULL << (8 * bytes)) - 1);
}

/* For 32-bit and smaller sizes: the C library reads the same text at 64 bits; a value beyond
 * the 32-bit range saturates there and the size keeps its low bits. */
static Outcome Saturated(const char* text, const char* width, char conversion, int bytes,
                         int fromStream, Outcome plain) {
    char format[32];
    snprintf(format, sizeof format, "%%%sll%c%%n", width, conversion);
    errno = 0;
    Outcome wide = ScanC(text, format, fromStream);
    const int overflow = errno == ERANGE;
    if (wide.result != 1) return plain;
    const int64_t v = (int64_t)wide.value.bits;
    const int isSigned = conversion == 'd' || conversion == 'i';
    uint64_t saturated;
    if (isSigned) {
        if (!overflow && v >= INT32_MIN && v <= INT32_MAX) return plain;
        saturated = (uint64_t)(int64_t)(v < 0 ? INT32_MIN : INT32_MAX);
    } else {
        /* The magnitude saturates before a minus sign negates it. */
        const int negative = text[strspn(text, " \t\n")] == '-';
        const uint64_t magnitude = negative ? 0 - wide.value.bits : wide.value.bits;
        if (!overflow && magnitude <= UINT32_MAX) return plain;
        saturated = UINT32_MAX;
    }
    wide.value.bits = LowBits(saturated, bytes);
    return wide;
}

static int SameValue(const Outcome* a, const Outcome* b, int floating, int bytes) {
    if (!floating) return LowBits(a->value.bits, bytes) == LowBits(b->value.bits, bytes);
    if (bytes == 8) {
        return isnan(a->value.d) ? isnan(b->value.d) : memcmp(&a->value.d, &b->value.d, 8) == 0;
    }
    return isnan(a->value.f) ? isnan(b->value.f) : memcmp(&a->value.f, &b->value.f, 4) == 0;
}

static int Agree(const Outcome* got, const Outcome* expected, int floating, int bytes) {
    if (got->result != expected->result || got->next != expected->next) return 0;
    if (got->result != 1) return 1;
    return got->consumed == expected->consumed && SameValue(got, expected, floating, bytes);
}

/* A float is the double text's value narrowed, which may round differently from a direct
 * reading as float. */
static Outcome NarrowedDouble(const char* text, const char* width, char conversion,
                              int fromStream) {
    char format[32];
    snprintf(format, sizeof format, "%%%sl%c%%n", width, conversion);
    Outcome o = ScanC(text, format, fromStream);
    o.value.f = (float)o.value.d;
    return o;
}

/* A width that cuts the word "infinity" after its "inf" (4 to 7 letters) still reads infinity
 * here, the cut letters consumed; the C library fails the conversion. Returns 1 and sets the
 * outcome when the case is one of those. */
static int CutInfinity(const char* text, const char* width, int bytes, Outcome* expected) {
    const size_t space = strspn(text, " \t\n");
    const char* p = text + space;
    const int negative = *p == '-';
    const size_t sign = *p == '+' || *p == '-';
    if (!*width || strncasecmp(p + sign, "infinity", 8) != 0) return 0;
    const long letters = atol(width) - (long)sign;
    if (letters < 4 || letters > 7) return 0;
    expected->result = 1;
    expected->consumed = (int)(space + sign + (size_t)letters);
    if (bytes == 8) {
        expected->value.d = negative ? -INFINITY : INFINITY;
    } else {
        expected->value.f = negative ? -INFINITY : INFINITY;
    }
    return 1;
}

static void RunCase(Generator* g, long number) {
    static const char kIntegers[] = "diuoxX";
    static const char kFloats[] = "efgEG";
    static const char* const kIntegerSizes[] = {"", "hh", "h", "ll", "z"};
    static const int kIntegerBytes[] = {4, 1, 2, 8, 8};

    const int floating = GenBelow(g, 3) == 0;
    char text[128];
    char width[8] = "";
    if (GenBelow(g, 2)) snprintf(width, sizeof width, "%u", 1 + GenBelow(g, 30));
    const int fromStream = GenBelow(g, 4) == 0 ? 1 + (int)GenBelow(g, 6) : 0;
    char conversion;
    const char* size;
    int bytes;
    if (floating) {
        FloatText(g, text);
        conversion = kFloats[GenBelow(g, sizeof kFloats - 1)];
        const int isDouble = GenBelow(g, 2);
        size = isDouble ? "l" : "";
        bytes = isDouble ? 8 : 4;
    } else {
        IntegerText(g, text);
        conversion = kIntegers[GenBelow(g, sizeof kIntegers - 1)];
        const unsigned s = GenBelow(g, 5);
        size = kIntegerSizes[s];
        bytes = kIntegerBytes[s];
    }
    char format[32];
    snprintf(format, sizeof format, "%%%s%s%c%%n", width, size, conversion);

    const Outcome got = ScanLibrary(text, format, fromStream);
    Outcome expected = ScanC(text, format, fromStream);
    if (!floating && bytes < 8) {
        expected = Saturated(text, width, conversion, bytes, fromStream, expected);
    }
    if (floating) CutInfinity(text, width, bytes, &expected);
    int same = Agree(&got, &expected, floating, bytes);
    if (!same && floating && bytes == 4) {
        expected = NarrowedDouble(text, width, conversion, fromStream);
        same = Agree(&got, &expected, floating, bytes);
    }
    if (same) {
        ++checksPassed;
        return;
    }
    ++checksFailed;
    if (shownFailures++ < kShownFailures) {
        fprintf(stderr,
                "case %ld: \"%s\" on \"%s\"%s gave %d (value %llx, %d units, next %d), the C "
                "library %d (value %llx, %d, next %d)\n",
                number, format, text, fromStream ? " from a stream" : "", got.result,
                (unsigned long long)LowBits(got.value.bits, bytes), got.consumed, got.next,
                expected.result, (unsigned long long)LowBits(expected.value.bits, bytes),
                expected.consumed, expected.next);
    }
}

int main(void) {
    Generator g = {0x9E3779B97F4A7C15ULL};
    for (long i = 0; i < kCases; ++i) RunCase(&g, i);
    return CHECK_SUMMARY();
}
