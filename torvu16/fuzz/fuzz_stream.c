/* Arbitrary bytes through every stream reader. The first byte chooses the
 * reader's capacity, the second the reader mix and the stream's buffer size;
 * the rest is the stream.
 * Buffers are exact-size heap blocks, so a unit stored past the capacity
 * (or past the terminator's place) is caught. */
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "torvu16.h"

static void FailAt(int line) {
    fprintf(stderr, "invariant broken at line %d\n", line);
    abort();
}
#define Fail() FailAt(__LINE__)

static void Quiet(const U16Char* text, int units) {
    (void)text;
    (void)units;
}

/* One reader call on f, with the invariants every result must keep. */
static long Call(unsigned which, unsigned mix, U16Char* buffer, int capacity, FILE* f) {
    const size_t room = capacity > 0 ? (size_t)capacity : 0;
    long r;
    int32_t value;
    switch (which) {
        case 0:
            r = fgetcU16(f);
            if (r < -1 || r > 0xFFFF) Fail();
            return r;
        case 1:
            r = fgetsU16(buffer, capacity, f) == buffer;
            /* terminated within the capacity */
            if (r && memchrU16(buffer, 0, room) == NULL) Fail();
            return r;
        case 2: {
            const size_t elementSize = 1 + mix % 3;
            const size_t n = freadU16(buffer, elementSize, room / elementSize, f);
            if (n * elementSize > room) Fail();
            return (long)n;
        }
        case 3:
            r = fget_strU16(buffer, capacity, f, 0xFFFD);
            if (r < -2 || (capacity > 0 && r >= capacity)) Fail();
            if (capacity > 0 && memchrU16(buffer, 0, room) == NULL) Fail();
            return r;
        case 4:
            r = fget_lineU16(buffer, capacity, f, '?');
            if (r < -2 || (capacity > 0 && r >= capacity)) Fail();
            if (capacity > 0 && memchrU16(buffer, 0, room) == NULL) Fail();
            return r;
        default:
            r = fget_intU16(&value, f);
            if (r < -2 || r > 1) Fail();
            return r * 0x100000000L + (uint32_t)value;
    }
}

static FILE* Open(char* bytes, size_t size, int bufferSize) {
    FILE* f = fmemopen(bytes, size, "r");
    if (f) setvbuf(f, NULL, bufferSize == 0 ? _IONBF : _IOFBF, (size_t)bufferSize);
    return f;
}

/* The same calls on a stream with a small buffer and on an unbuffered one:
 * taking characters from the buffer must give exactly what reading byte by
 * byte gives, down to errno and the stream's position. */
int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int initialised;
    if (!initialised) {
        setTraceLibu16U16(Quiet, 4); /* the reports run, their output is dropped */
        initialised = 1;
    }
    if (size < 2) return 0;
    const int capacity = (int8_t)data[0] % 42 - 1; /* -42 to 40 */
    const unsigned mix = data[1];
    data += 2;
    size -= 2;
    if (size == 0) return 0;
    char* bytes = malloc(size);
    char* copy = malloc(size);
    memcpy(bytes, data, size);
    memcpy(copy, data, size);
    FILE* f = Open(bytes, size, 1 + (int)(mix >> 3)); /* 1 to 32 bytes */
    FILE* g = Open(copy, size, 0);
    const size_t units = capacity > 0 ? (size_t)capacity : 1;
    U16Char* buffer = malloc(units * sizeof(U16Char));
    U16Char* other = malloc(units * sizeof(U16Char));
    for (int round = 0; f && g && round < 64 && !feof(f); ++round) {
        const unsigned which = (mix + (unsigned)round) % 6;
        memsetU16(buffer, 0x7777, units);
        memsetU16(other, 0x7777, units);
        errno = 0;
        const long r = Call(which, mix, buffer, capacity, f);
        const int error = errno;
        errno = 0;
        if (Call(which, mix, other, capacity, g) != r || errno != error) Fail();
        if (memcmp(buffer, other, units * sizeof(U16Char)) != 0) Fail();
        if (ftell(f) != ftell(g)) Fail();
    }
    free(buffer);
    free(other);
    if (f) fclose(f);
    if (g) fclose(g);
    free(bytes);
    free(copy);
    return 0;
}
