/*
 * Fuzz target of the formatted-input engine: arbitrary format and input,
 * from a UTF-16 string or from a stream of arbitrary (often invalid) UTF-8.
 *
 * Layout: byte 0 picks the mode; the format runs up to the first zero byte,
 * the input is the rest. Bytes 0xFE and 0xFF widen to U+3000 and U+4E00 so
 * that wide white space and wide units reach the engine. Every destination is
 * an exact-size heap block as large as any conversion can fill from this
 * input, so the sanitizer sees any store past what the engine may write.
 */
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "torvu16.h"

enum { kArguments = 12 };

/* Reads every unit of a report, so an overrun in building it shows. */
static volatile unsigned traceSum;
static void QuietSink(const U16Char* text, int units) {
    for (int i = 0; i < units; ++i) traceSum += text[i];
}

static U16Char Widen(uint8_t b) {
    return b == 0xFF ? 0x3000 : b == 0xFE ? 0x4E00 : b;
}

static int RunStream(FILE* stream, const U16Char* format, void** a) {
    return fscanfU16(stream, format, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9],
                     a[10], a[11]);
}

static int RunString(const U16Char* source, const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    int r = vvfscanfU16(source, NULL, format, args);
    va_end(args);
    return r;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    setTraceLibu16U16(QuietSink, 4);
    const int streamMode = data[0] & 1;
    if (data[0] & 2) setTraceLibu16U16(QuietSink, 16);
    ++data;
    --size;
    const uint8_t* zero = memchr(data, 0, size);
    size_t formatBytes = zero ? (size_t)(zero - data) : size / 2;
    const uint8_t* input = data + formatBytes + (zero ? 1 : 0);
    size_t inputBytes = size - (size_t)(input - data);

    /* At most kArguments conversions can take an argument. */
    U16Char* format = malloc((formatBytes + 1) * sizeof(U16Char));
    size_t n = 0;
    for (int percents = 0; n < formatBytes; ++n) {
        if (data[n] == '%' && ++percents > kArguments) break;
        format[n] = Widen(data[n]);
    }
    format[n] = 0;

    /* A string, scan set or character run stores at most the input's units
     * and a terminator; numbers at most 8 bytes. */
    size_t destinationBytes = (inputBytes + 1) * sizeof(U16Char);
    if (destinationBytes < 8) destinationBytes = 8;
    void* a[kArguments];
    for (int i = 0; i < kArguments; ++i) a[i] = malloc(destinationBytes);

    if (streamMode && inputBytes > 0) {
        FILE* stream = fmemopen((void*)input, inputBytes, "rb");
        if (stream) {
            RunStream(stream, format, a);
            /* A second call continues after the first one's push-back. */
            RunStream(stream, format, a);
            fclose(stream);
        }
    } else {
        U16Char* source = malloc((inputBytes + 1) * sizeof(U16Char));
        size_t k = 0;
        for (size_t i = 0; i < inputBytes; ++i)
            if (input[i]) source[k++] = Widen(input[i]);
        source[k] = 0;
        RunString(source, format, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10],
                  a[11]);
        free(source);
    }
    for (int i = 0; i < kArguments; ++i) free(a[i]);
    free(format);
    return 0;
}
