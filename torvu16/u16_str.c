/* u16_str: string helpers on 16-bit units. */
#include "u16_internal.h"

size_t u16_strlen(const U16Char* s) {
    const U16Char* p = s;
    while (*p) ++p;
    return (size_t)(p - s);
}
