/* Arbitrary units and capacities into the converters to UTF-8. The first
 * byte chooses the capacity in bytes; the rest are little-endian units.
 * Destinations are exact-size heap blocks. Invariants: every converter
 * agrees with the counting form, stays within its capacity, and what it
 * wrote decodes back to the units it took. */
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
    if (size < 1) return 0;
    const int capacity = (int8_t)data[0] % 96; /* negative means none */
    data += 1;
    size -= 1;
    const size_t count = size / 2;
    U16Char* units = malloc((count + 1) * sizeof(U16Char));
    for (size_t i = 0; i < count; ++i) units[i] = (U16Char)(data[2 * i] | data[2 * i + 1] << 8);
    units[count] = 0;

    /* Unbounded: exactly count units, at most three bytes each. */
    char* all = malloc(3 * count + 1);
    const int n = U16n_To_Utf8_U16(all, units, (int)count);
    if (n < (int)count || n > 3 * (int)count) Fail();
    if (U16n_To_Utf8n_U16(NULL, 0, units, (unsigned)count) != n) Fail();
    U16Char* back = malloc((count ? count : 1) * sizeof(U16Char));
    if (Utf8n_To_U16(back, (int)count, all, (unsigned)n, NULL, 0) != (int)count && count > 0)
        Fail();
    if (count > 0 && memcmp(back, units, count * sizeof(U16Char)) != 0) Fail();

    char* out = malloc(capacity > 0 ? (size_t)capacity : 1);
    errno = 0;
    const int bounded = U16n_To_Utf8n_U16(out, capacity, units, (unsigned)count);
    if (bounded > capacity && capacity > 0) Fail();
    if (capacity > 0 && n <= capacity && bounded != n) Fail();
    if (capacity > 0 && n > capacity && (bounded != 0 || errno != ERANGE)) Fail();
    if (capacity > 0 && bounded > 0 && memcmp(out, all, (size_t)bounded) != 0) Fail();
    U16n_To_Utf8n_U16(out, capacity, units, 0xFFFFFFFFu);

    /* Zero-terminated: the units up to the first zero unit. */
    const int whole = U16s_To_Utf8s_U16(NULL, units, 0);
    const int part = U16s_To_Utf8s_U16(out, units, capacity);
    if (part > (capacity > 0 ? capacity : 0) || part > whole) Fail();
    if (part < capacity && out[part] != 0) Fail();
    if (memcmp(out, all, (size_t)part) != 0) Fail();

    free(out);
    free(back);
    free(all);
    free(units);
    return 0;
}
