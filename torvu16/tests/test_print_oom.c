/* Formatted output when the heap fails: every allocation of the engine is
 * reported, ends the call with -1 and ENOMEM, and leaks nothing. The program
 * puts its own malloc in front of the C library's, so it is built without the
 * sanitizers (which bring their own). */
#include <errno.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"

extern void* __libc_malloc(size_t);

/* The failing allocation: counts down to 0, then fails once; -1 means never. */
static int failIn = -1;

void* malloc(size_t n) {
    if (failIn >= 0 && failIn-- == 0) return NULL;
    return __libc_malloc(n);
}

static char traced[4096];
static size_t tracedLength;

static void CaptureSink(const U16Char* text, int units) {
    for (int i = 0; i < units && tracedLength + 2 < sizeof traced; ++i) {
        traced[tracedLength++] = text[i] < 0x80 ? (char)text[i] : '?';
    }
    traced[tracedLength] = 0;
}

static int RunFailing(int failing, const char* format, va_list args) {
    U16Char wide[512], out[64];
    size_t i = 0;
    for (; format[i]; ++i) wide[i] = (unsigned char)format[i];
    wide[i] = 0;
    unsigned int capacity = 64;
    tracedLength = 0;
    traced[0] = 0;
    errno = 0;
    failIn = failing;
    const int result = vvfprintfU16(NULL, out, &capacity, wide, args);
    failIn = -1;
    return result;
}

/* Formats with the given allocation failing; checks -1, ENOMEM and the report's line. */
static void ExpectOutOfMemory(int line, int failing, const char* reportLine, const char* format,
                              ...) {
    va_list args;
    va_start(args, format);
    const int result = RunFailing(failing, format, args);
    va_end(args);
    if (result != -1 || errno != ENOMEM ||
        !strstr(traced, "vvfprintfU16 : malloc : Out of memory.") || !strstr(traced, reportLine)) {
        ++checksFailed;
        fprintf(stderr, "line %d: \"%.40s\" gave %d, errno %d, report \"%s\"\n", line, format,
                result, errno, traced);
    } else {
        ++checksPassed;
    }
}

/* The same with the heap working. */
static int Succeeding(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = RunFailing(-1, format, args);
    va_end(args);
    return result;
}

int main(void) {
    setTraceLibu16U16(CaptureSink, 4);
    ExpectOutOfMemory(__LINE__, 0, "line 642]", "%.400f", 1.0);
    ExpectOutOfMemory(__LINE__, 0, "line 642]", "%.50f", 1e300);
    ExpectOutOfMemory(__LINE__, 0, "line 658]", "%.400e", 1.0);

    /* Positional: the specification list beyond 32, then kinds and values beyond 32. */
    char format[512];
    size_t k = 0;
    for (int i = 0; i < 40; ++i) k += (size_t)snprintf(format + k, sizeof format - k, "%%1$d");
    ExpectOutOfMemory(__LINE__, 0, "line 2129]", format, 1);
    k = 0;
    for (int i = 0; i < 11; ++i) {
        k += (size_t)snprintf(format + k, sizeof format - k, "%%%d$*%d$.*%d$d", 3 * i + 3,
                              3 * i + 1, 3 * i + 2);
    }
#define ARGS33                                                                                   \
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, \
        1, 1
    ExpectOutOfMemory(__LINE__, 0, "line 2151]", format, ARGS33);
    ExpectOutOfMemory(__LINE__, 1, "line 2160]", format, ARGS33);

    /* With the heap back the same calls succeed. */
    CHECK_EQ_INT(Succeeding(format, ARGS33), 11);
    CHECK_EQ_INT(Succeeding("%.400e", 1.0), 406);
    return CHECK_SUMMARY();
}
