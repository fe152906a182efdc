/* Formatted output: the three output modes, the parser's accepted and rejected
 * specifications, every conversion's layout (compared with the C library's
 * snprintf wherever the two agree), positional arguments and absurd sizes. */
#include <errno.h>
#include <fenv.h>
#include <limits.h>
#include <math.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"

enum { kOut = 4096 };

/* ---- Helpers ------------------------------------------------------------------------------ */

/* Reports that reach the trace sink, narrowed to ASCII, one after another. */
static char traced[8192];
static size_t tracedLength;

static void CaptureSink(const U16Char* text, int units) {
    for (int i = 0; i < units && tracedLength + 2 < sizeof traced; ++i) {
        traced[tracedLength++] = text[i] < 0x80 ? (char)text[i] : '?';
    }
    traced[tracedLength++] = '\n';
    traced[tracedLength] = 0;
}

static void ClearTrace(void) {
    tracedLength = 0;
    traced[0] = 0;
}

static void Widen(const char* ascii, U16Char* out) {
    size_t i = 0;
    for (; ascii[i]; ++i) out[i] = (unsigned char)ascii[i];
    out[i] = 0;
}

static int Narrowed(const U16Char* units, const char* expected) {
    size_t i = 0;
    for (; expected[i]; ++i) {
        if (units[i] != (unsigned char)expected[i]) return 0;
    }
    return units[i] == 0;
}

/* Formats an ASCII format into a buffer of the given capacity. */
static int FormatInto(U16Char* out, unsigned int capacity, const char* format, va_list args) {
    U16Char wide[512];
    Widen(format, wide);
    unsigned int length = capacity;
    const int result = vvfprintfU16(NULL, out, &length, wide, args);
    CHECK_EQ_INT(length, capacity);
    return result;
}

static int Buffered(U16Char* out, unsigned int capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = FormatInto(out, capacity, format, args);
    va_end(args);
    return result;
}

static int WideInto(U16Char* out, unsigned int capacity, const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vvfprintfU16(NULL, out, &capacity, format, args);
    va_end(args);
    return result;
}

/* Expects the given output and result from a format into a roomy buffer. */
static void Expect(int line, const char* expected, int result, const char* format, ...) {
    U16Char out[kOut];
    va_list args;
    va_start(args, format);
    const int got = FormatInto(out, kOut, format, args);
    va_end(args);
    if (got != result || !Narrowed(out, expected)) {
        ++checksFailed;
        fprintf(stderr, "line %d: \"%s\" gave %d, expected \"%s\" and %d\n", line, format, got,
                expected, result);
    } else {
        ++checksPassed;
    }
}
#define EXPECT(expected, format, ...) \
    Expect(__LINE__, expected, (int)strlen(expected), format, __VA_ARGS__)

/* Expects the same output and result as the C library's snprintf of the same format. */
static void SameAsC(int line, const char* format, ...) {
    char reference[kOut];
    U16Char out[kOut];
    va_list args, copy;
    va_start(args, format);
    va_copy(copy, args);
    const int expected = vsnprintf(reference, sizeof reference, format, copy);
    va_end(copy);
    const int got = FormatInto(out, kOut, format, args);
    va_end(args);
    if (got != expected || !Narrowed(out, reference)) {
        ++checksFailed;
        fprintf(stderr, "line %d: \"%s\" gave %d, the C library \"%s\" and %d\n", line, format, got,
                reference, expected);
    } else {
        ++checksPassed;
    }
}
#define SAME(format, ...) SameAsC(__LINE__, format, __VA_ARGS__)

/* ---- Cases that catch faults -------------------------------------------------------------- */

static void TestEdgeCases(void) {
    U16Char out[16];
    const U16Char abcdef[] = {'a', 'b', 'c', 'd', 'e', 'f', 0};
    CHECK_EQ_INT(Buffered(out, 4, "%s", abcdef), 6);
    CHECK(Narrowed(out, "abc"));

    EXPECT("  007", "%5.3d", 7);
    EXPECT("-0042", "%05d", -42);
    EXPECT("42   ", "%-5d", 42);
    EXPECT("010", "%#o", 8);
    EXPECT("0", "%#x", 0);
    EXPECT("0XFF", "%#X", 255);
    EXPECT("1", "%hu", 65537);
    EXPECT("4294967301", "%lld", (1LL << 32) + 5);
    EXPECT("4294967301", "%Ld", (1LL << 32) + 5);
    EXPECT("4294967301", "%I64d", (1LL << 32) + 5);
    /* "l" is 32 bits: the low half of a 64-bit long, and the next argument is its own. */
    EXPECT("5 9", "%ld %d", (long)((1LL << 32) + 5), 9);
    EXPECT("(nil)", "%p", (void*)NULL);
    EXPECT("(null)", "%s", (U16Char*)NULL);
    EXPECT("", "%.3s", (U16Char*)NULL);
    EXPECT("+3.14", "%+.2f", 3.14159);
    EXPECT("-0001.50", "%08.2f", -1.5);

    ClearTrace();
    CHECK_EQ_INT(Buffered(out, 16, "ab%kcd", 1), -1);
    CHECK(Narrowed(out, "ab"));
    CHECK(strstr(traced, "Error in format string at or near 'k':\nab%kcd") != NULL);
}

/* ---- Integers ----------------------------------------------------------------------------- */

static void TestIntegersLikeC(void) {
    static const char* const kFlags[] = {"", "-", "+", " ", "#", "0", "-0", "+0", "#0", "- #"};
    static const char* const kWidths[] = {"", "1", "6", "12"};
    static const char* const kPrecisions[] = {"", ".", ".0", ".1", ".4", ".11"};
    static const char kConversions[] = "diuoxX";
    static const int kValues[] = {0, 1, -1, 7, -42, 255, 4096, INT_MAX, INT_MIN};
    static const long long kWide[] = {0, -1, (1LL << 32) + 5, LLONG_MAX, LLONG_MIN};
    char format[64];
    for (size_t f = 0; f < sizeof kFlags / sizeof *kFlags; ++f) {
        for (size_t w = 0; w < sizeof kWidths / sizeof *kWidths; ++w) {
            for (size_t p = 0; p < sizeof kPrecisions / sizeof *kPrecisions; ++p) {
                for (const char* c = kConversions; *c; ++c) {
                    snprintf(format, sizeof format, "[%%%s%s%s%c]", kFlags[f], kWidths[w],
                             kPrecisions[p], *c);
                    for (size_t v = 0; v < sizeof kValues / sizeof *kValues; ++v) {
                        SAME(format, kValues[v]);
                    }
                    snprintf(format, sizeof format, "[%%%s%s%sll%c]", kFlags[f], kWidths[w],
                             kPrecisions[p], *c);
                    for (size_t v = 0; v < sizeof kWide / sizeof *kWide; ++v) {
                        SAME(format, kWide[v]);
                    }
                }
            }
        }
    }
    /* Widths and precisions from arguments, negative ones included. */
    SAME("[%*d|%-*d|%*d]", 6, 42, 6, 42, -6, 42);
    SAME("[%.*d|%.*d|%*.*x]", 4, 7, -1, 7, 8, 3, 255);
    SAME("[%0*d|%0.*d]", 7, -3, 0, 0);
    SAME("[%hx|%ho|%hX|%hu]", 0x12345, 0x10008, 0xFFFFF, 65535);
    SAME("%d%%%i", 10, 20);
}

static void TestIntegersOwnRules(void) {
    /* "h" on signed conversions and "l" everywhere are 32-bit arguments. */
    EXPECT("65537", "%hd", 65537);
    EXPECT("5", "%lu", (unsigned long)((1ULL << 32) + 5));
    EXPECT("ffffffff 1", "%lx %d", ~0UL, 1);
    /* Sign flags belong to signed conversions only; the apostrophe changes nothing. */
    EXPECT("7 7 1234567", "%+u % x %'d", 7u, 7u, 1234567);
    /* "#o": the precision's zeros already begin with 0; value 0 with precision 0 keeps "0". */
    EXPECT("0012", "%#.4o", 10);
    EXPECT("012", "%#.2o", 10);
    EXPECT("0", "%#.0o", 0);
    EXPECT("", "%#.0x", 0);
}

/* ---- Floating point ----------------------------------------------------------------------- */

static void TestFloatsLikeC(void) {
    static const char* const kFlags[] = {"", "-", "+", " ", "#", "0", "+0", "-#", "0#"};
    static const char* const kWidths[] = {"", "3", "12", "30"};
    static const char* const kPrecisions[] = {"", ".", ".0", ".2", ".10", ".17"};
    static const char kConversions[] = "eEfgG";
    static const double kValues[] = {0.0,        1.0,   -1.5,   3.14159, 1e10, -1e-5,
                                     123456.789, 1e300, 5e-324, 0.5,     2.5,  -999.9995};
    char format[64];
    for (size_t f = 0; f < sizeof kFlags / sizeof *kFlags; ++f) {
        for (size_t w = 0; w < sizeof kWidths / sizeof *kWidths; ++w) {
            for (size_t p = 0; p < sizeof kPrecisions / sizeof *kPrecisions; ++p) {
                for (const char* c = kConversions; *c; ++c) {
                    snprintf(format, sizeof format, "[%%%s%s%s%c]", kFlags[f], kWidths[w],
                             kPrecisions[p], *c);
                    for (size_t v = 0; v < sizeof kValues / sizeof *kValues; ++v) {
                        SAME(format, kValues[v]);
                    }
                    SAME(format, INFINITY);
                    SAME(format, -INFINITY);
                    SAME(format, NAN);
                }
            }
        }
    }
    /* Long precisions and large values take the heap; both must still match. */
    SAME("%.400f", 1.0 / 3.0);
    SAME("%.50f|%f|%.300f", 1e300, 1.7976931348623157e308, 1e39);
    SAME("%.330e|%.500g|%#.400G", 2.0 / 3.0, 1e-300, 12345.0);
    SAME("%.292f", 1e39);
    SAME("%.41f", 1e279);
    SAME("%*.*f|%.*e", -12, 3, 2.5, -4, 2.5);
}

/* Fixed notation is made without the C library for most values: it must round as the C
 * library does, halves to even included, at every precision and across the magnitudes where
 * that path ends. */
static void TestFixedNotationLikeC(void) {
    static const double kTies[] = {0.5,    1.5,     2.5,         0.125,  0.375, 2.675,
                                   1e-5,   0.0005,  999.9995,    1e15,   1e16,  9007199254740991.0,
                                   9007199254740992.0, 1e-300, 4.9e-324, 0.05, 0.15, 0.25};
    char format[16];
    for (int precision = 0; precision <= 17; ++precision) {
        snprintf(format, sizeof format, "%%.%df", precision);
        for (size_t v = 0; v < sizeof kTies / sizeof *kTies; ++v) SAME(format, kTies[v]);
    }
    /* Random bit patterns over the exponents where the exact path works and beyond. */
    unsigned long long seed = 0x2026ull;
    for (int i = 0; i < 60000; ++i) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const unsigned long long exponent = 1023 - 80 + (seed >> 58) % 140;
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const unsigned long long bits = exponent << 52 | (seed >> 12);
        double value;
        memcpy(&value, &bits, sizeof value);
        snprintf(format, sizeof format, "%%.%df", (int)(seed % 17));
        SAME(format, value);
    }
    /* Other rounding modes go to the C library, which honours them. */
    fesetround(FE_UPWARD);
    SAME("%.2f|%.0f", 0.125, 2.5);
    fesetround(FE_TONEAREST);
}

static void TestFloatsOwnRules(void) {
    /* The size changes nothing: every floating-point argument is a double. */
    EXPECT("2.50 2.50 2.50", "%.2Lf %.2lf %.2hf", 2.5, 2.5, 2.5);
    EXPECT("      1.00e+306", "%15.2Le", 1e306);
    /* The sign comes from v < 0, so a negative zero prints without one. */
    EXPECT("0.0", "%.1f", -0.0);
}

/* ---- Characters, strings, pointers and counts --------------------------------------------- */

static void TestText(void) {
    U16Char out[64];
    const U16Char greek[] = {0x3B1, 0x3B2, 0x3B3, 0xD83D, 0xDE00, 0};
    EXPECT("x|    x|x    |    x", "%c|%5c|%-5c|%05c", 'x', 'x', 'x', 'x');
    /* Only the low 16 bits of the argument are the unit. */
    EXPECT("A", "%c", 0x10041);

    CHECK_EQ_INT(Buffered(out, 64, "<%s|%7s|%-7.2s>", greek, greek, greek), 23);
    const U16Char expected[] = {'<',   0x3B1, 0x3B2, 0x3B3, 0xD83D, 0xDE00, '|', ' ',
                                ' ',   0x3B1, 0x3B2, 0x3B3, 0xD83D, 0xDE00, '|', 0x3B1,
                                0x3B2, ' ',   ' ',   ' ',   ' ',    ' ',    '>', 0};
    CHECK_UNITS(out, expected, 24);

    /* With a precision the text need not be terminated. */
    const U16Char unterminated[3] = {'x', 'y', 'z'};
    EXPECT("xyz|xy", "%.3s|%.2s", unterminated, unterminated);
    EXPECT("(null)|(null)|    (null)|", "%s|%.6s|%10s|%.5s", (U16Char*)NULL, (U16Char*)NULL,
           (U16Char*)NULL, (U16Char*)NULL);

    /* Wide-character sizes are reported and then ignored; "L" and "h" are not reported. */
    ClearTrace();
    const U16Char ab[] = {'a', 'b', 0};
    EXPECT("q ab", "%lc %ls", 'q', ab);
    CHECK(strstr(traced, "near 'l'") != NULL);
    ClearTrace();
    EXPECT("q ab", "%Lc %hs", 'q', ab);
    CHECK(tracedLength == 0);
}

static void TestPointersAndCounts(void) {
    int x = 0;
    SAME("%p|%20p|%-20p", (void*)&x, (void*)&x, (void*)&x);
    /* The whole 64-bit value, without leading zeros. */
    EXPECT("0x123456789abc", "%p", (void*)(uintptr_t)0x123456789abcULL);
    EXPECT("   (nil)|(nil)   |(nil)", "%8p|%-8p|%.1p", (void*)NULL, (void*)NULL, (void*)NULL);

    int n = -1;
    short h = -1;
    long long ll = -1;
    EXPECT("abcde", "ab%ncde%hn%lln", &n, &h, &ll);
    CHECK_EQ_INT(n, 2);
    CHECK_EQ_INT(h, 5);
    CHECK_EQ_INT(ll, 5);
    /* A null target is passed over. */
    EXPECT("ab", "a%nb", (int*)NULL);
    /* The count is of units produced, also beyond a full buffer. */
    U16Char out[4];
    CHECK_EQ_INT(Buffered(out, 4, "abcdef%n", &n), 6);
    CHECK_EQ_INT(n, 6);
    EXPECT("%|%", "%%|%-5.3%", 0);
}

/* ---- Output modes ------------------------------------------------------------------------- */

static int ToStream(FILE* stream, unsigned int* length, const char* format, ...) {
    U16Char wide[128];
    Widen(format, wide);
    va_list args;
    va_start(args, format);
    const int result = vvfprintfU16(stream, NULL, length, wide, args);
    va_end(args);
    return result;
}

static void TestStreamMode(void) {
    FILE* f = tmpfile();
    CHECK(f != NULL);
    if (!f) return;
    const U16Char euro[] = {0x20AC, 0xE9, 0};
    unsigned int length = 10;
    /* Units are counted in the result, bytes are added to the length. */
    CHECK_EQ_INT(ToStream(f, &length, "%s=%d", euro, 42), 5);
    CHECK_EQ_INT(length, 10 + 3 + 2 + 3);
    CHECK_EQ_INT(fprintfU16(f, euro), 2);
    rewind(f);
    char bytes[32] = {0};
    CHECK_EQ_INT(fread(bytes, 1, sizeof bytes, f), 13);
    CHECK(memcmp(bytes, "\xE2\x82\xAC\xC3\xA9=42\xE2\x82\xAC\xC3\xA9", 13) == 0);

    /* A format error still adds the bytes that went out before it. */
    rewind(f);
    length = 0;
    CHECK_EQ_INT(ToStream(f, &length, "abc%q", 1), -1);
    CHECK_EQ_INT(length, 3);
    fclose(f);

    /* More than one block of output, and long padding runs. */
    f = tmpfile();
    if (!f) return;
    length = 0;
    CHECK_EQ_INT(ToStream(f, &length, "%s%3000d|%-2000c|", euro, 7, 'z'), 2 + 3000 + 1 + 2000 + 1);
    CHECK_EQ_INT(length, 5 + 3000 + 1 + 2000 + 1);
    CHECK_EQ_INT(ftell(f), (long)length);
    fclose(f);

    /* A stream that fills up in the middle: -1, and the length has only the bytes that went out. */
    char small[8];
    FILE* full = fmemopen(small, sizeof small, "w");
    if (full) {
        setvbuf(full, NULL, _IONBF, 0);
        length = 0;
        CHECK_EQ_INT(ToStream(full, &length, "%s%020d", euro, 5), -1);
        CHECK_EQ_INT(length, 8);
        fclose(full);
    }

    /* A stream that refuses writes gives -1. */
    FILE* readOnly = fopen("/dev/null", "r");
    if (readOnly) {
        length = 0;
        CHECK_EQ_INT(ToStream(readOnly, &length, "%d", 1), -1);
        CHECK_EQ_INT(length, 0);
        CHECK_EQ_INT(fprintfU16(readOnly, euro), -1);
        fclose(readOnly);
    }
}

static FILE* sharedStream;

/* Two threads writing long lines to one stream: each call's output stays in one piece although
 * it reaches the stream in blocks. */
enum { kLineUnits = 3000, kLinesPerThread = 200 };

static void* WriteLines(void* arg) {
    static const U16Char kLine[] = {'%', 's', '\n', 0};
    U16Char text[kLineUnits + 1];
    for (int i = 0; i < kLineUnits; ++i) text[i] = (U16Char) * (const int*)arg;
    text[kLineUnits] = 0;
    for (int i = 0; i < kLinesPerThread; ++i) fprintfU16(sharedStream, kLine, text);
    return NULL;
}

static void TestWholeLines(void) {
    sharedStream = tmpfile();
    if (!sharedStream) return;
    pthread_t a, b;
    int ua = 'a', ub = 'b';
    pthread_create(&a, NULL, WriteLines, &ua);
    pthread_create(&b, NULL, WriteLines, &ub);
    pthread_join(a, NULL);
    pthread_join(b, NULL);
    rewind(sharedStream);
    static char line[kLineUnits + 2];
    int lines = 0, mixed = 0;
    while (fgets(line, sizeof line, sharedStream)) {
        ++lines;
        if (strspn(line, line[0] == 'a' ? "a" : "b") != kLineUnits || line[kLineUnits] != '\n') {
            ++mixed;
        }
    }
    CHECK_EQ_INT(lines, 2 * kLinesPerThread);
    CHECK_EQ_INT(mixed, 0);
    fclose(sharedStream);
}

static void TestBufferAndCountModes(void) {
    U16Char out[8];
    const U16Char fmt[] = {'%', 'd', 0};
    /* Capacity 0 leaves every unit alone; capacity 1 holds only the terminator. */
    for (int i = 0; i < 8; ++i) out[i] = 0x5555;
    CHECK_EQ_INT(Buffered(out, 0, "hello"), 5);
    CHECK_EQ_INT(out[0], 0x5555);
    CHECK_EQ_INT(Buffered(out, 1, "hello"), 5);
    CHECK_EQ_INT(out[0], 0);
    CHECK_EQ_INT(out[1], 0x5555);
    CHECK_EQ_INT(Buffered(out, 5, "hello"), 5);
    CHECK(Narrowed(out, "hell"));
    CHECK_EQ_INT(Buffered(out, 0xFFFFFFFFu, "%d!", 123), 4);
    CHECK(Narrowed(out, "123!"));

    /* Counting only: no stream, no buffer, length 0. */
    unsigned int zero = 0;
    CHECK_EQ_INT(ToStream(NULL, &zero, "%s-%5d", fmt, 1), 8);
    CHECK_EQ_INT(zero, 0);
    CHECK_EQ_INT(ToStream(NULL, NULL, "%d", 123), 3);

    unsigned int five = 5;
    errno = 0;
    CHECK_EQ_INT(ToStream(NULL, &five, "x"), -1);
    CHECK_EQ_INT(errno, EBADF);
    errno = 0;
    CHECK_EQ_INT(vvfprintfU16(NULL, out, &five, NULL, NULL), -1);
    CHECK_EQ_INT(errno, EINVAL);
}

/* ---- Format errors ------------------------------------------------------------------------ */

static void TestFormatErrors(void) {
    static const char* const kBad[] = {"%k",    "%hhd", "%llld", "%",      "abc%",   "%5",
                                       "%.",    "%-",   "%l",    "%I",     "%.3.4d", "%**d",
                                       "%F",    "%a",   "%5$",   "%1$2$d", "%*5d",   "%0$d",
                                       "%*0$d", "%hld", "%lhd",  "%Lld",   "%I64",   "%+ #"};
    U16Char out[32];
    for (size_t i = 0; i < sizeof kBad / sizeof *kBad; ++i) {
        char format[32];
        snprintf(format, sizeof format, "ok%s", kBad[i]);
        for (int k = 0; k < 32; ++k) out[k] = 0x5555;
        const int result = Buffered(out, 32, format, 1, 2, 3);
        char before[32];
        snprintf(before, sizeof before, "%.*s", (int)strcspn(format, "%"), format);
        if (result != -1 || !Narrowed(out, before)) {
            ++checksFailed;
            fprintf(stderr, "format \"%s\" gave %d\n", format, result);
        } else {
            ++checksPassed;
        }
    }
    /* Units outside the specification alphabet. */
    const U16Char wide[] = {'a', '%', 0x2603, 'd', 0};
    CHECK_EQ_INT(WideInto(out, 32, wide, 1), -1);
    CHECK(Narrowed(out, "a"));

    /* A lone "I" is reported and passed over. */
    ClearTrace();
    EXPECT("7", "%Id", 7);
    CHECK(strstr(traced, "near 'I'") != NULL);

    /* Below trace level 4 format errors are silent, but still errors. */
    setTraceLibu16U16(NULL, 3);
    ClearTrace();
    CHECK_EQ_INT(Buffered(out, 32, "%k"), -1);
    CHECK(tracedLength == 0);
    setTraceLibu16U16(NULL, 4);
}

static void TestAbsurdSizes(void) {
    U16Char out[8];
    unsigned int zero = 0;
    /* Padding past a full buffer or in counting mode costs nothing and is still counted. */
    CHECK_EQ_INT(ToStream(NULL, &zero, "%2000000d", 1), 2000000);
    CHECK_EQ_INT(Buffered(out, 8, "%2000000000d", 1), 2000000000);
    CHECK(Narrowed(out, "       "));
    CHECK_EQ_INT(Buffered(out, 8, "%.3000000d", 5), 3000000);
    CHECK(Narrowed(out, "0000000"));
    CHECK_EQ_INT(Buffered(out, 8, "%.1000000f", 1.0), 1000002);
    CHECK(Narrowed(out, "1.00000"));
    CHECK_EQ_INT(Buffered(out, 8, "%.2000000e", 1.0), 2000006);
    /* Sizes beyond an int, and outputs longer than an int can count, are errors. */
    errno = 0;
    CHECK_EQ_INT(Buffered(out, 8, "ab%3000000000d", 1), -1);
    CHECK_EQ_INT(errno, EOVERFLOW);
    CHECK(Narrowed(out, "ab"));
    CHECK_EQ_INT(Buffered(out, 8, "%.99999999999f", 1.0), -1);
    CHECK_EQ_INT(Buffered(out, 8, "%*d", INT_MIN, 1), -1);
    errno = 0;
    CHECK_EQ_INT(ToStream(NULL, &zero, "%2000000000d%2000000000d", 1, 2), -1);
    CHECK_EQ_INT(errno, EOVERFLOW);
}

/* ---- Positional arguments ----------------------------------------------------------------- */

static void TestPositional(void) {
    const U16Char name[] = {'n', 'e', 't', 0};
    ClearTrace();
    EXPECT("net=7", "%2$s=%1$d", 7, name);
    CHECK(strstr(traced, "near '$'") != NULL);
    SAME("%1$*2$d|%1$-*2$d|%3$.*2$f", 42, 6, 2.5);
    SAME("%2$d %1$d %2$d %1$d", 1, 2);
    SAME("%1$lld %2$c %3$#x", 1LL << 40, 'q', 255);
    EXPECT("5%|x", "%1$d%%|%2$c", 5, 'x');
    /* Specifications without a position take the one after the last taken. */
    EXPECT("1 3 2 3", "%d %3$d %2$d %d", 1, 2, 3);
    EXPECT("  9", "%2$*1$d", 3, 9);
    /* The first positional specification is parsed twice but reported once. */
    ClearTrace();
    EXPECT("4", "%1$Id", 4);
    const char* first = strstr(traced, "near 'I'");
    CHECK(first != NULL && strstr(first + 1, "near 'I'") == NULL);
    int n = 0;
    EXPECT("ab", "%2$c%1$n%3$c", &n, 'a', 'b');
    CHECK_EQ_INT(n, 1);

    /* A gap, or one position given two kinds, cannot be fetched safely: error. */
    U16Char out[32];
    CHECK_EQ_INT(Buffered(out, 32, "x%1$d %3$d", 1, 2, 3), -1);
    CHECK(Narrowed(out, "x"));
    CHECK_EQ_INT(Buffered(out, 32, "%1$d %1$f", 1, 2.0), -1);
    CHECK_EQ_INT(Buffered(out, 32, "%1$d %1$lld", 1, 2LL), -1);
    CHECK_EQ_INT(Buffered(out, 32, "%2147483647$d", 1), -1);
    CHECK_EQ_INT(Buffered(out, 32, "%99999999999$d", 1), -1);
    /* An error anywhere in a positional format is found before its output. */
    CHECK_EQ_INT(Buffered(out, 32, "a%d-%1$d%k", 1), -1);
    CHECK(Narrowed(out, "a1-"));

    /* More than 32 specifications and arguments. */
    char format[512];
    size_t k = 0;
    for (int i = 40; i >= 1; --i)
        k += (size_t)snprintf(format + k, sizeof format - k, "%%%d$d,", i);
    char expected[512];
    k = 0;
    for (int i = 40; i >= 1; --i)
        k += (size_t)snprintf(expected + k, sizeof expected - k, "%d,", i);
    Expect(__LINE__, expected, (int)strlen(expected), format, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34,
           35, 36, 37, 38, 39, 40);
    k = 0;
    for (int i = 0; i < 70; ++i) k += (size_t)snprintf(format + k, sizeof format - k, "%%1$d");
    memset(expected, '8', 70);
    expected[70] = 0;
    Expect(__LINE__, expected, 70, format, 8);
}

int main(void) {
    setTraceLibu16U16(CaptureSink, 4);
    TestEdgeCases();
    TestIntegersLikeC();
    TestIntegersOwnRules();
    TestFloatsLikeC();
    TestFixedNotationLikeC();
    TestFloatsOwnRules();
    TestText();
    TestPointersAndCounts();
    TestStreamMode();
    TestWholeLines();
    TestBufferAndCountModes();
    TestFormatErrors();
    TestAbsurdSizes();
    TestPositional();
    return CHECK_SUMMARY();
}
