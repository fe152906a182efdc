/* Number text when the heap fails: the characters are still consumed, the
 * conversion fails with ENOMEM and the report instead of storing the value of
 * a cut text, and numbers that fit the stack buffer need no heap at all. The
 * program puts its own malloc and realloc in front of the C library's, so it
 * is built without the sanitizers. */
#include <errno.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"

extern void* __libc_malloc(size_t);
extern void* __libc_realloc(void*, size_t);

/* Counts allocations; fails the one with index failAt (-1: none). */
static int allocations;
static int failAt = -1;

static int Fails(void) {
    return allocations++ == failAt;
}

void* malloc(size_t n) {
    return Fails() ? NULL : __libc_malloc(n);
}
void* realloc(void* p, size_t n) {
    return Fails() ? NULL : __libc_realloc(p, n);
}

static char traced[2048];
static void CaptureSink(const U16Char* text, int units) {
    size_t length = strlen(traced);
    for (int i = 0; i < units && length + 2 < sizeof traced; ++i)
        traced[length++] = text[i] < 0x80 ? (char)text[i] : '?';
    traced[length] = 0;
}

static U16Char wide[4096];
static const U16Char* W(const char* ascii) {
    return u16lit(ascii, wide, 4096);
}

static int ScanFailing(int failing, FILE* stream, const char* input, const char* format, ...) {
    static U16Char wideFormat[64];
    u16lit(format, wideFormat, 64);
    va_list args;
    va_start(args, format);
    traced[0] = 0;
    errno = 0;
    allocations = 0;
    failAt = failing;
    const int result = vvfscanfU16(stream ? NULL : W(input), stream, wideFormat, args);
    failAt = -1;
    va_end(args);
    return result;
}

int main(void) {
    setTraceLibu16U16(CaptureSink, 4);
    static char text[2048];
    int a = -1, b = -1;
    double d = -1;

    /* Ordinary numbers stay on the stack. */
    CHECK_EQ_INT(ScanFailing(0, NULL, "12 -3.5", "%d %lf", &a, &d), 2);
    CHECK_EQ_INT(allocations, 0);

    /* 600 digits need one heap block; without it the call ends. */
    memset(text, '0', 600);
    strcpy(text + 600, "42 7");
    CHECK_EQ_INT(ScanFailing(-1, NULL, text, "%d %d", &a, &b), 2);
    CHECK_EQ_INT(a * 10 + b, 427);
    a = b = -1;
    CHECK_EQ_INT(ScanFailing(0, NULL, text, "%d %d", &a, &b), 0);
    CHECK_EQ_INT(a, -1);
    CHECK_EQ_INT(errno, ENOMEM);
    CHECK(strstr(traced, "vvfscanfU16 : malloc : Out of memory.") != NULL);

    /* From a stream: the digits are consumed, what follows stays. */
    FILE* f = tmpfile();
    fputs(text, f);
    rewind(f);
    CHECK_EQ_INT(ScanFailing(0, f, NULL, "%d", &a), 0);
    CHECK_EQ_INT(getc(f), ' ');
    fclose(f);

    /* A float whose exponent lies beyond the second growth: not 1.0. */
    strcpy(text, "1.");
    memset(text + 2, '0', 900);
    strcpy(text + 902, "e10");
    CHECK_EQ_INT(ScanFailing(-1, NULL, text, "%lf", &d), 1);
    CHECK(d == 1e10);
    d = -1;
    CHECK_EQ_INT(ScanFailing(1, NULL, text, "%lf%n", &d, &a), 0);
    CHECK(d == -1);
    CHECK_EQ_INT(errno, ENOMEM);
    /* The next conversion gets a fresh chance at the heap. */
    CHECK_EQ_INT(ScanFailing(-1, NULL, text, "%lf", &d), 1);
    return CHECK_SUMMARY();
}
