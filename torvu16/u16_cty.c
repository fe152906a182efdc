/* u16_cty: character classes of 16-bit units, independent of the locale. */
#include "u16_internal.h"

int isspaceU16(int unit) {
    if (unit >= 9 && unit <= 13) return 1;
    if (unit >= 28 && unit <= 32) return 1;
    switch (unit) {
        case 0x85:
        case 0xA0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x3000:
            return 1;
        default:
            break;
    }
    /* The general punctuation spaces, zero width space included. */
    return unit >= 0x2000 && unit <= 0x200B;
}

int isxdigitU16(int unit) {
    return (unit >= '0' && unit <= '9') || (unit >= 'a' && unit <= 'f') ||
           (unit >= 'A' && unit <= 'F');
}
