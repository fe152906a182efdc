/*
 * The converters' inner loops, compiled once for each instruction set the
 * library chooses from at run time: u16_transcode.c with the target's
 * baseline (SSE2 on x86-64), u16_transcode_avx2.c with AVX2. Each includer
 * names the two functions with its suffix through U16_TRANSCODE_NAME.
 */
#ifndef TORVU16_TRANSCODE_H
#define TORVU16_TRANSCODE_H

#include "u16_fast.h"
#include "u16_internal.h"

size_t U16_TRANSCODE_NAME(u16_EncodeUnits)(const U16Char* units, size_t count, unsigned char* out) {
    size_t i = 0, n = 0;
    while (i < count) {
        const size_t ascii = u16_NarrowAscii(units + i, count - i, out + n);
        i += ascii;
        n += ascii;
        /* The run of other units after it. */
        while (i < count && units[i] >= 0x80) {
#if defined(__AVX2__)
            /* A whole block writes up to 24 bytes: with eight more units
             * after it, what lies beyond its bytes is written again. */
            if (count - i >= 16) {
                const size_t k = u16_EncodeBlock(units + i, out + n);
                if (k > 0) {
                    i += 8;
                    n += k;
                    continue;
                }
            }
#endif
            n += (size_t)u16_EncodeOne(units[i], out + n);
            ++i;
        }
    }
    return n;
}

void U16_TRANSCODE_NAME(u16_DecodeRun)(U16Char* destination, size_t room, const unsigned char* s,
                                       size_t length, size_t* i, size_t* n) {
    for (;;) {
        const size_t limit = length - *i < room - *n ? length - *i : room - *n;
        const size_t ascii = u16_WidenAscii(s + *i, limit, destination + *n, 0x80);
        *i += ascii;
        *n += ascii;
        /* The run of other characters after it; whole two- and three-byte
         * sequences, the common ones, are decoded in place. */
        while (*i < length && s[*i] >= 0x80 && *n < room) {
            const int used = u16_DecodeShort(s + *i, length - *i, destination + *n);
            if (used == 0) return;
            *i += (size_t)used;
            ++*n;
        }
        if (*i >= length || *n >= room || s[*i] >= 0x80) return;
    }
}

#endif /* TORVU16_TRANSCODE_H */
