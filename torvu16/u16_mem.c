/* u16_mem: memory functions on 16-bit units. */
#include "u16_internal.h"

int memcmpU16(const U16Char* a, const U16Char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return (int)a[i] - (int)b[i];
    }
    return 0;
}

U16Char* memchrU16(const U16Char* s, int unit, size_t n) {
    const U16Char wanted = (U16Char)unit;
    for (size_t i = 0; i < n; ++i) {
        if (s[i] == wanted) return (U16Char*)(s + i);
    }
    return NULL;
}

U16Char* memsetU16(U16Char* s, int unit, size_t n) {
    const U16Char value = (U16Char)unit;
    for (size_t i = 0; i < n; ++i) s[i] = value;
    return s;
}
