/* Arbitrary bytes through every stream reader. The first byte chooses the
 * reader's capacity, the second the reader mix; the rest is the stream.
 * Buffers are exact-size heap blocks, so a unit stored past the capacity
 * (or past the terminator's place) is caught. */
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
    memcpy(bytes, data, size);
    FILE* f = fmemopen(bytes, size, "r");
    if (!f) {
        free(bytes);
        return 0;
    }

    U16Char* buffer = malloc((capacity > 0 ? (size_t)capacity : 1) * sizeof(U16Char));
    const size_t room = capacity > 0 ? (size_t)capacity : 0;
    for (int round = 0; round < 64 && !feof(f); ++round) {
        const unsigned which = (mix + (unsigned)round) % 6;
        int r;
        int32_t value;
        switch (which) {
            case 0:
                r = fgetcU16(f);
                if (r < -1 || r > 0xFFFF) Fail();
                break;
            case 1:
                if (fgetsU16(buffer, capacity, f) == buffer) {
                    /* terminated within the capacity */
                    if (memchrU16(buffer, 0, room) == NULL) Fail();
                }
                break;
            case 2: {
                const size_t elementSize = 1 + mix % 3;
                const size_t n = freadU16(buffer, elementSize, room / elementSize, f);
                if (n * elementSize > room) Fail();
                break;
            }
            case 3:
                r = fget_strU16(buffer, capacity, f, 0xFFFD);
                if (r < -2 || (capacity > 0 && r >= capacity)) Fail();
                if (capacity > 0 && memchrU16(buffer, 0, room) == NULL) Fail();
                break;
            case 4:
                r = fget_lineU16(buffer, capacity, f, '?');
                if (r < -2 || (capacity > 0 && r >= capacity)) Fail();
                if (capacity > 0 && memchrU16(buffer, 0, room) == NULL) Fail();
                break;
            default:
                r = fget_intU16(&value, f);
                if (r < -2 || r > 1) Fail();
                break;
        }
    }
    free(buffer);
    fclose(f);
    free(bytes);
    return 0;
}
