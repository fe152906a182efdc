/* A trace sink for tests: keeps every message it receives, in order. */
#ifndef TORVU16_TESTS_CAPTURE_H
#define TORVU16_TESTS_CAPTURE_H

#include <stdio.h>
#include <string.h>

#include "torvu16.h"

enum { kCaptureMessages = 32, kCaptureUnits = 400 };

static U16Char captured[kCaptureMessages][kCaptureUnits];
static int capturedLength[kCaptureMessages];
static int capturedCount;

static void CaptureSink(const U16Char* text, int units) {
    if (capturedCount >= kCaptureMessages) return;
    int n = units < kCaptureUnits - 1 ? units : kCaptureUnits - 1;
    memcpy(captured[capturedCount], text, (size_t)n * sizeof(U16Char));
    captured[capturedCount][n] = 0;
    capturedLength[capturedCount++] = units;
}

static void CaptureReset(void) {
    capturedCount = 0;
}

/* Message i as 8-bit text (units above 0xFF become '?'), for comparisons. */
static inline const char* CapturedText(int i) {
    static char text[kCaptureUnits];
    if (i >= capturedCount) return "<no message>";
    int n = 0;
    for (; captured[i][n] && n < kCaptureUnits - 1; ++n)
        text[n] = captured[i][n] < 0x100 ? (char)captured[i][n] : '?';
    text[n] = 0;
    return text;
}

/* Replaces the process id in a header by "PID", so layouts compare exactly. */
static inline const char* WithoutPid(const char* text) {
    static char out[kCaptureUnits + 8];
    const char* pid = strstr(text, "pid = ");
    if (!pid) return text;
    size_t head = (size_t)(pid - text) + 6;
    memcpy(out, text, head);
    const char* rest = pid + 6;
    while (*rest >= '0' && *rest <= '9') ++rest;
    snprintf(out + head, sizeof out - head, "PID%s", rest);
    return out;
}

#define CHECK_TEXT(actual, expected)                                                         \
    do {                                                                                     \
        const char* a_ = (actual);                                                           \
        const char* e_ = (expected);                                                         \
        if (strcmp(a_, e_) == 0) {                                                           \
            ++checksPassed;                                                                  \
        } else {                                                                             \
            ++checksFailed;                                                                  \
            fprintf(stderr, "%s:%d: text differs\n  actual:   \"%s\"\n  expected: \"%s\"\n", \
                    __FILE__, __LINE__, a_, e_);                                             \
        }                                                                                    \
    } while (0)

#define CHECK_MESSAGE(i, expected) CHECK_TEXT(WithoutPid(CapturedText(i)), (expected))

#endif /* TORVU16_TESTS_CAPTURE_H */
