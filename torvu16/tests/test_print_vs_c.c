/* The buffer printf against the C library's snprintf over generated
 * specifications: every integer and floating-point conversion with random
 * flags, widths and precisions (literal or "*", negative ones included),
 * with and without "ll", random values and random buffer capacities. Left
 * out are only the library's own rules: the "h" and "l" sizes, "p", "n",
 * and the sign of a negative zero or NaN. */
#include <limits.h>
#include <math.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"
#include "generator.h"

enum { kCases = 200000, kOut = 1024, kShownFailures = 20 };

static int shownFailures;

static void Widen(const char* ascii, U16Char* out) {
    size_t i = 0;
    for (; ascii[i]; ++i) out[i] = (unsigned char)ascii[i];
    out[i] = 0;
}

/* Formats with both printers into a buffer of the given capacity and
 * compares result, stored units and terminator. */
static void Compare(long number, unsigned capacity, const char* format, ...) {
    char reference[kOut];
    U16Char wide[128], out[kOut + 1];
    Widen(format, wide);
    for (size_t i = 0; i <= kOut; ++i) out[i] = 0x7777;
    va_list args, copy;
    va_start(args, format);
    va_copy(copy, args);
    const int expected = vsnprintf(reference, sizeof reference, format, copy);
    va_end(copy);
    unsigned int length = capacity;
    const int got = vvfprintfU16(NULL, out, &length, wide, args);
    va_end(args);

    int same = got == expected && expected >= 0 && expected < kOut;
    const size_t stored = capacity == 0                 ? 0
                          : (size_t)expected < capacity ? (size_t)expected
                                                        : capacity - 1;
    for (size_t i = 0; same && i < stored; ++i) same = out[i] == (unsigned char)reference[i];
    if (same)
        same = capacity == 0 ? out[0] == 0x7777 : out[stored] == 0 && out[stored + 1] == 0x7777;
    if (same) {
        ++checksPassed;
        return;
    }
    ++checksFailed;
    if (shownFailures++ < kShownFailures) {
        fprintf(stderr, "case %ld: \"%s\" capacity %u gave %d \"", number, format, capacity, got);
        for (size_t i = 0; i < stored && out[i]; ++i) fputc(out[i] < 0x80 ? out[i] : '?', stderr);
        fprintf(stderr, "\", the C library %d \"%s\"\n", expected, reference);
    }
}

/* ---- Generated parts -------------------------------------------------------------------- */

static void AppendFlags(Generator* g, char** p) {
    static const char kFlags[] = "-+ #0'";
    const unsigned n = GenBelow(g, 4);
    for (unsigned i = 0; i < n; ++i) *(*p)++ = kFlags[GenBelow(g, 6)];
}

/* Width and precision: none, literal or "*"; the star's values are returned. */
static void AppendWidth(Generator* g, char** p, int* star, int* value) {
    *star = 0;
    switch (GenBelow(g, 4)) {
        case 0:
            break;
        case 1:
            *star = 1;
            *value = (int)GenBelow(g, 81) - 40;
            *(*p)++ = '*';
            break;
        default:
            *p += sprintf(*p, "%u", 1 + GenBelow(g, 40));
    }
}

static void AppendPrecision(Generator* g, char** p, int* star, int* value) {
    *star = 0;
    switch (GenBelow(g, 5)) {
        case 0:
            break;
        case 1:
            *(*p)++ = '.';
            break;
        case 2:
            *star = 1;
            *value = (int)GenBelow(g, 40) - 6;
            *p += sprintf(*p, ".*");
            break;
        default:
            *p += sprintf(*p, ".%u", GenBelow(g, 31));
    }
}

static void AppendLiteral(Generator* g, char** p) {
    static const char kText[] = "ab =|:x09";
    const unsigned n = GenBelow(g, 4);
    for (unsigned i = 0; i < n; ++i) *(*p)++ = kText[GenBelow(g, sizeof kText - 1)];
}

static long long Integer(Generator* g) {
    static const long long kEdges[] = {0,         1,         -1,        7,           -42,
                                       255,       65535,     INT_MAX,   INT_MIN,     UINT_MAX,
                                       1LL << 32, LLONG_MAX, LLONG_MIN, -(1LL << 40)};
    switch (GenBelow(g, 4)) {
        case 0:
            return GEN_PICK(g, kEdges);
        case 1:
            return (long long)GenBelow(g, 2000) - 1000;
        default:
            return (long long)GenNext(g) >> GenBelow(g, 64);
    }
}

/* Finite and infinite values of every magnitude, rounding ties and NaN; no negative zero or
 * negative NaN, whose sign the library decides by its own rule. */
static double Floating(Generator* g) {
    double v;
    switch (GenBelow(g, 8)) {
        case 0: {
            uint64_t bits = GenNext(g);
            memcpy(&v, &bits, sizeof v);
            if (!isfinite(v)) v = 1.5;
            break;
        }
        case 1:
            v = pow(10.0, (double)((int)GenBelow(g, 80) - 40));
            break;
        case 2:
            v = ((int)GenBelow(g, 4001) - 2000) / 8.0; /* exact halves and eighths */
            break;
        case 3:
            v = (double)(GenNext(g) >> 11) * pow(2.0, (double)((int)GenBelow(g, 200) - 100));
            break;
        case 4: {
            static const double kSpecial[] = {INFINITY,
                                              -INFINITY,
                                              NAN,
                                              0.0,
                                              1.0,
                                              0.5,
                                              2.5,
                                              9.9999995,
                                              1e15,
                                              5e-324,
                                              1.7976931348623157e308};
            v = GEN_PICK(g, kSpecial);
            break;
        }
        default:
            v = ((double)GenNext(g) / 18446744073709551616.0 - 0.5) *
                pow(10.0, (double)((int)GenBelow(g, 24) - 8));
    }
    if (v == 0.0 || isnan(v)) return fabs(v);
    return GenBelow(g, 2) ? v : -v;
}

/* One generated case: a specification between literal texts, its arguments in the order the
 * format takes them. */
static void RunCase(Generator* g, long number) {
    static const char kConversions[] = "diuoxXeEfgG";
    const char conversion = kConversions[GenBelow(g, sizeof kConversions - 1)];
    const int floating = strchr("eEfgG", conversion) != NULL;
    const int wide = !floating && GenBelow(g, 2);

    char format[96];
    char* p = format;
    int widthStar, width = 0, precisionStar, precision = 0;
    AppendLiteral(g, &p);
    *p++ = '%';
    AppendFlags(g, &p);
    AppendWidth(g, &p, &widthStar, &width);
    AppendPrecision(g, &p, &precisionStar, &precision);
    if (wide) p += sprintf(p, "ll");
    *p++ = conversion;
    AppendLiteral(g, &p);
    *p = 0;

    const unsigned capacity = GenBelow(g, 4) ? kOut : GenBelow(g, 40);
    const long long integer = Integer(g);
    const double real = Floating(g);
    const int shape = widthStar * 2 + precisionStar;
    if (floating) {
        switch (shape) {
            case 0:
                Compare(number, capacity, format, real);
                break;
            case 1:
                Compare(number, capacity, format, precision, real);
                break;
            case 2:
                Compare(number, capacity, format, width, real);
                break;
            default:
                Compare(number, capacity, format, width, precision, real);
                break;
        }
    } else if (wide) {
        switch (shape) {
            case 0:
                Compare(number, capacity, format, integer);
                break;
            case 1:
                Compare(number, capacity, format, precision, integer);
                break;
            case 2:
                Compare(number, capacity, format, width, integer);
                break;
            default:
                Compare(number, capacity, format, width, precision, integer);
                break;
        }
    } else {
        const int narrow = (int)integer;
        switch (shape) {
            case 0:
                Compare(number, capacity, format, narrow);
                break;
            case 1:
                Compare(number, capacity, format, precision, narrow);
                break;
            case 2:
                Compare(number, capacity, format, width, narrow);
                break;
            default:
                Compare(number, capacity, format, width, precision, narrow);
                break;
        }
    }
}

int main(void) {
    Generator g = {0x5DEECE66DULL};
    for (long i = 0; i < kCases; ++i) RunCase(&g, i);
    return CHECK_SUMMARY();
}
