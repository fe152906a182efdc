/* The scan engine's number pieces: the 64-bit parsers, which must agree with
 * the C library's strtoll and strtoull in value, end and errno, and the
 * floating-point text recogniser. */
#include <errno.h>
#include <stdlib.h>

#include "check.h"
#include "u16_internal.h"

static int traceCount;
static U16Char lastTrace[512];
static void CaptureSink(const U16Char* text, int units) {
    ++traceCount;
    if (units > 511) units = 511;
    memcpy(lastTrace, text, (size_t)units * sizeof(U16Char));
    lastTrace[units] = 0;
}

/* Value, end offset and errno of ours against the C library's. */
static int SameAsCLibrary(const char* text, int base) {
    char *endMine, *endLibc;
    errno = 0;
    const long long sLibc = strtoll(text, &endLibc, base);
    const int errLibc = errno;
    errno = 0;
    const int64_t sMine = u16_strtoll(text, &endMine, base);
    const int errMine = errno;
    int same = sLibc == sMine && endLibc == endMine && errLibc == errMine;

    errno = 0;
    const unsigned long long uLibc = strtoull(text, &endLibc, base);
    const int uerrLibc = errno;
    errno = 0;
    const uint64_t uMine = u16_strtoull(text, &endMine, base);
    const int uerrMine = errno;
    same = same && uLibc == uMine && endLibc == endMine && uerrLibc == uerrMine;
    if (!same) fprintf(stderr, "  differs: \"%s\" base %d\n", text, base);
    return same;
}

static void TestParsersAgainstCLibrary(void) {
    static const char* const kTexts[] = {"0",
                                         "-0",
                                         "+0",
                                         "42",
                                         "  \t\n-42xyz",
                                         "+",
                                         "-",
                                         "",
                                         " ",
                                         "0x",
                                         "0X",
                                         "0x1A",
                                         "0xg",
                                         "-0x1a",
                                         "0777",
                                         "0778",
                                         "08",
                                         "z",
                                         "Z9",
                                         "zz",
                                         "1010",
                                         "-1",
                                         "9223372036854775807",
                                         "9223372036854775808",
                                         "-9223372036854775808",
                                         "-9223372036854775809",
                                         "18446744073709551615",
                                         "18446744073709551616",
                                         "-18446744073709551615",
                                         "-18446744073709551616",
                                         "0xffffffffffffffff",
                                         "0x10000000000000000",
                                         "0x8000000000000000",
                                         "-0x8000000000000000",
                                         "-0x8000000000000001",
                                         "1y2p0ij32e8e7",
                                         "1y2p0ij32e8e8",
                                         "3w5e11264sgsf",
                                         "3w5e11264sgsg",
                                         "99999999999999999999999999999999999999",
                                         "0000000000000000000000000000000000001",
                                         "\v\f\r 7",
                                         "+-1",
                                         "--1",
                                         "0x+1",
                                         "0b101"};
    static const int kBases[] = {0, 2, 8, 10, 16, 36, 3, 35};
    for (size_t i = 0; i < sizeof kTexts / sizeof kTexts[0]; ++i)
        for (size_t b = 0; b < sizeof kBases / sizeof kBases[0]; ++b)
            CHECK(SameAsCLibrary(kTexts[i], kBases[b]));

    /* Random texts over the characters that matter. */
    static const char kAlphabet[] = "0123456789abcdefxXzZ+- \t01";
    unsigned seed = 12345u;
    char text[48];
    int mismatches = 0;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        int length = (int)((seed >> 16) % 40);
        for (int j = 0; j < length; ++j) {
            seed = seed * 1103515245u + 12345u;
            text[j] = kAlphabet[(seed >> 16) % (sizeof kAlphabet - 1)];
        }
        text[length] = 0;
        seed = seed * 1103515245u + 12345u;
        int base = kBases[(seed >> 16) % (sizeof kBases / sizeof kBases[0])];
        if (!SameAsCLibrary(text, base)) ++mismatches;
    }
    CHECK_EQ_INT(mismatches, 0);
}

static void TestIllegalBase(void) {
    char* end = (char*)"x";
    const char* text = "123";
    setTraceLibu16U16(CaptureSink, 15);
    traceCount = 0;
    errno = 0;
    CHECK_EQ_INT(u16_strtoll(text, &end, 1), 0);
    CHECK_EQ_INT(errno, EINVAL);
    CHECK(end == text);
    CHECK_EQ_INT(traceCount, 0);

    setTraceLibu16U16(CaptureSink, 16);
    errno = 0;
    CHECK(u16_strtoull(text, &end, 37) == 0);
    CHECK_EQ_INT(errno, EINVAL);
    CHECK_EQ_INT(traceCount, 1);
    U16Char expected[64];
    u16lit("Illegal base 37 in strtolU16", expected, 64);
    int found = 0;
    for (size_t i = 0; lastTrace[i] && !found; ++i)
        found = memcmp(lastTrace + i, expected, 28 * sizeof(U16Char)) == 0;
    CHECK(found);
    errno = 0;
    CHECK_EQ_INT(u16_strtoll(text, NULL, -2), 0);
    CHECK_EQ_INT(errno, EINVAL);
    setTraceLibu16U16(CaptureSink, 4);
}

/* Units of text the recogniser accepts from the start. */
static int Accepted(const char* text, int decimalPoint) {
    U16FloatText ft;
    u16_FloatTextStart(&ft, decimalPoint);
    int n = 0;
    while (text[n] && u16_FloatTextAccept(&ft, (unsigned char)text[n])) ++n;
    return n;
}

static void TestFloatRecogniser(void) {
    CHECK_EQ_INT(Accepted("12.5e+3x", '.'), 7);
    CHECK_EQ_INT(Accepted(".5E-2.", '.'), 5);
    CHECK_EQ_INT(Accepted("1.2.3", '.'), 3);
    CHECK_EQ_INT(Accepted(".e5", '.'), 1); /* no mantissa digit: no exponent */
    CHECK_EQ_INT(Accepted("e5", '.'), 0);
    CHECK_EQ_INT(Accepted("1e+-5", '.'), 3);
    CHECK_EQ_INT(Accepted("1e5e5", '.'), 3);
    CHECK_EQ_INT(Accepted("InFiNiTy1", '.'), 8);
    CHECK_EQ_INT(Accepted("infinite", '.'), 7);
    CHECK_EQ_INT(Accepted("nAn(1)", '.'), 3);
    CHECK_EQ_INT(Accepted("nana", '.'), 3);
    CHECK_EQ_INT(Accepted("0x1p3", '.'), 1);
    /* The locale's decimal point replaces ".". */
    CHECK_EQ_INT(Accepted("1,5.0", ','), 3);
    CHECK_EQ_INT(Accepted("1.5", ','), 1);
    CHECK_EQ_INT(u16_DecimalPoint(), '.');

    double v = 0;
    CHECK(u16_FloatTextConvert("2.5", 1, &v) && v == -2.5);
    CHECK(!u16_FloatTextConvert(".", 0, &v) && v == -2.5);
    CHECK(!u16_FloatTextConvert("", 0, &v));
    CHECK(u16_FloatTextConvert("infin", 0, &v) && v > 1e308);
}

int main(void) {
    setTraceLibu16U16(CaptureSink, 4);
    TestParsersAgainstCLibrary();
    TestIllegalBase();
    TestFloatRecogniser();
    return CHECK_SUMMARY();
}
