/*
 * Fast paths of the UTF-8 code. Most text is mostly ASCII, and a run of it
 * needs no encoding or decoding: each unit is its byte. The run helpers copy
 * the leading run sixteen at a time and tell its length; the short decoder
 * takes the common two- and three-byte sequences whole. Everything else goes
 * the general way, character by character.
 *
 * Each helper writes exactly the units or bytes it reports and reads nothing
 * beyond the count it is given. x86-64 always has SSE2; other targets copy
 * runs one unit at a time.
 */
#ifndef TORVU16_FAST_H
#define TORVU16_FAST_H

#include <stddef.h>
#include <stdint.h>

#include "torvu16.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

/* The leading units of units[0..count) below 0x80, stored as bytes in out. */
static inline size_t u16_NarrowAscii(const U16Char* units, size_t count, unsigned char* out) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16((short)0xFF80);
    const __m128i zero = _mm_setzero_si128();
    for (; count - i >= 16; i += 16) {
        const __m128i a = _mm_loadu_si128((const __m128i*)(units + i));
        const __m128i b = _mm_loadu_si128((const __m128i*)(units + i + 8));
        const __m128i wide = _mm_and_si128(_mm_or_si128(a, b), high);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, zero)) != 0xFFFF) break;
        _mm_storeu_si128((__m128i*)(out + i), _mm_packus_epi16(a, b));
    }
    if (count - i >= 8) {
        const __m128i a = _mm_loadu_si128((const __m128i*)(units + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(a, high), zero)) == 0xFFFF) {
            _mm_storel_epi64((__m128i*)(out + i), _mm_packus_epi16(a, a));
            i += 8;
        }
    }
#endif
    for (; i < count && units[i] < 0x80; ++i) out[i] = (unsigned char)units[i];
    return i;
}

/* The leading bytes of s[0..count) below 0x80 other than stop, stored as
 * units in out. A stop of 0x80 or more stops nothing but non-ASCII bytes. */
static inline size_t u16_WidenAscii(const unsigned char* s, size_t count, U16Char* out,
                                    unsigned char stop) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i stops = _mm_set1_epi8((char)stop);
    for (; count - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128((const __m128i*)(s + i));
        if (_mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, stops))) != 0) break;
        _mm_storeu_si128((__m128i*)(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128((__m128i*)(out + i + 8), _mm_unpackhi_epi8(v, zero));
    }
    if (count - i >= 8) {
        const __m128i v = _mm_loadl_epi64((const __m128i*)(s + i));
        if (_mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, stops))) == 0) {
            _mm_storeu_si128((__m128i*)(out + i), _mm_unpacklo_epi8(v, zero));
            i += 8;
        }
    }
#endif
    for (; i < count && s[i] < 0x80 && s[i] != stop; ++i) out[i] = s[i];
    return i;
}

/* A whole two- or three-byte sequence at s (lead byte 0xC0 to 0xEF and its
 * continuation bytes, all within available) as one unit; returns its length,
 * or 0 for anything else. Overlong forms and surrogates pass as they come. */
static inline int u16_DecodeShort(const unsigned char* s, size_t available, U16Char* unit) {
    const unsigned lead = s[0];
    if (lead >= 0xC0 && lead < 0xE0 && available >= 2 && (s[1] & 0xC0) == 0x80) {
        *unit = (U16Char)((lead & 0x1F) << 6 | (s[1] & 0x3F));
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0 && available >= 3 && (s[1] & 0xC0) == 0x80 &&
        (s[2] & 0xC0) == 0x80) {
        *unit = (U16Char)((lead & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F));
        return 3;
    }
    return 0;
}

#endif /* TORVU16_FAST_H */
