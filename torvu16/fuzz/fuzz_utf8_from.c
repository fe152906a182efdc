/* Arbitrary bytes and capacities into the converters from UTF-8. The first
 * two bytes choose the capacity and the replacement; the rest is the source.
 * Destinations are exact-size heap blocks so that any write past the given
 * capacity is caught. Invariants: counting and storing agree, and what is
 * stored never exceeds the capacity. */
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

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int capacity = (int8_t)data[0] / 2; /* -64 to 63: negative means none */
    const U16Char replacement = data[1] & 1 ? 0xFFFD : '?';
    data += 2;
    size -= 2;

    /* Counted source: exactly size bytes, no terminator after them. */
    char* source = malloc(size ? size : 1);
    memcpy(source, data, size);
    U16Char* out = malloc((capacity > 0 ? (size_t)capacity : 1) * sizeof(U16Char));

    int invalid = -1, countedInvalid = -1;
    const int counted = Utf8n_To_U16(NULL, 0, source, (unsigned)size, &countedInvalid, replacement);
    if (counted < 0 || (size_t)counted > size) Fail();
    errno = 0;
    const int stored = Utf8n_To_U16(out, capacity, source, (unsigned)size, &invalid, replacement);
    if (capacity > 0 && stored > capacity) Fail();
    if (capacity > 0 && counted <= capacity && (stored != counted || invalid != countedInvalid))
        Fail();
    if (capacity > 0 && counted > capacity && (stored != 0 || errno != ERANGE)) Fail();
    if (capacity <= 0 && stored != counted) Fail();
    Utf8n_To_U16(out, capacity, source, (unsigned)size, NULL, replacement);

    /* Zero-terminated source: the bytes up to the first zero. */
    char* text = malloc(size + 1);
    memcpy(text, data, size);
    text[size] = 0;
    const int all = Utf8s_To_U16(NULL, text, 0);
    const int some = Utf8s_To_U16(out, text, capacity);
    if (some > (capacity > 0 ? capacity : 0)) Fail();
    if (all >= 0 && all < capacity && some != all) Fail();
    Utf8n_To_U16(out, capacity, text, 0xFFFFFFFFu, &invalid, replacement);
    Utf8n_To_U16(NULL, 0, text, 0xFFFFFFFFu, NULL, replacement);

    free(text);
    free(out);
    free(source);
    return 0;
}
