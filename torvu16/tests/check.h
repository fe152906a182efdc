/*
 * A tiny check harness for the library's C test programs: they link the
 * shared library as a user's program would. Each program ends with
 * CHECK_SUMMARY(), which prints "N passed, N failed" and gives the exit code.
 */
#ifndef TORVU16_TESTS_CHECK_H
#define TORVU16_TESTS_CHECK_H

#include <stdio.h>
#include <string.h>

#include "torvu16.h"

static int checksPassed;
static int checksFailed;

#define CHECK(cond)                                                         \
    do {                                                                    \
        if (cond) {                                                         \
            ++checksPassed;                                                 \
        } else {                                                            \
            ++checksFailed;                                                 \
            fprintf(stderr, "%s:%d: CHECK failed: %s\n", __FILE__, __LINE__, #cond); \
        }                                                                   \
    } while (0)

#define CHECK_EQ_INT(actual, expected)                                                  \
    do {                                                                                \
        long long a_ = (long long)(actual), e_ = (long long)(expected);                 \
        if (a_ == e_) {                                                                 \
            ++checksPassed;                                                             \
        } else {                                                                        \
            ++checksFailed;                                                             \
            fprintf(stderr, "%s:%d: %s is %lld, expected %lld\n", __FILE__, __LINE__,   \
                    #actual, a_, e_);                                                   \
        }                                                                               \
    } while (0)

/* Compares n units; prints both sides as hex on failure. */
static inline int checkUnitsEqual(const U16Char* actual, const U16Char* expected, size_t n,
                                  const char* file, int line) {
    if (memcmp(actual, expected, n * sizeof(U16Char)) == 0) {
        ++checksPassed;
        return 1;
    }
    ++checksFailed;
    fprintf(stderr, "%s:%d: units differ\n  actual:  ", file, line);
    for (size_t i = 0; i < n; ++i) fprintf(stderr, " %04x", actual[i]);
    fprintf(stderr, "\n  expected:");
    for (size_t i = 0; i < n; ++i) fprintf(stderr, " %04x", expected[i]);
    fprintf(stderr, "\n");
    return 0;
}
#define CHECK_UNITS(actual, expected, n) checkUnitsEqual((actual), (expected), (n), __FILE__, __LINE__)

/* Widens an ASCII literal into a static UTF-16 buffer (tests only). */
static inline const U16Char* u16lit(const char* ascii, U16Char* out, size_t capacity) {
    size_t i = 0;
    for (; ascii[i] && i + 1 < capacity; ++i) out[i] = (unsigned char)ascii[i];
    out[i] = 0;
    return out;
}

#define CHECK_SUMMARY()                                                         \
    (printf("%d passed, %d failed\n", checksPassed, checksFailed), checksFailed ? 1 : 0)

#endif /* TORVU16_TESTS_CHECK_H */
