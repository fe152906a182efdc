/*
 * Fast paths of the UTF-8 code. Most text is mostly ASCII, and a run of it
 * needs no encoding or decoding: each unit is its byte. The run helpers copy
 * the leading run sixteen at a time and tell its length; the short decoder
 * takes the common two- and three-byte sequences whole. Everything else goes
 * the general way, character by character.
 *
 * Each helper writes exactly the units or bytes it reports and reads nothing
 * beyond the count it is given. x86-64 always has SSE2; other targets copy
 * runs one unit at a time. Compiled with AVX2 (u16_transcode_avx2.c),
 * runs of units are narrowed 32 at a time and blocks of eight non-ASCII
 * units are encoded whole.
 */
#ifndef TORVU16_FAST_H
#define TORVU16_FAST_H

#include <stddef.h>
#include <stdint.h>

#include "torvu16.h"

#if defined(__AVX2__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

/* One unit as one to three bytes; returns their count. */
static inline int u16_EncodeOne(U16Char unit, unsigned char* out) {
    if (unit < 0x80) {
        out[0] = (unsigned char)unit;
        return 1;
    }
    if (unit < 0x800) {
        out[0] = (unsigned char)(0xC0 | (unit >> 6));
        out[1] = (unsigned char)(0x80 | (unit & 0x3F));
        return 2;
    }
    out[0] = (unsigned char)(0xE0 | (unit >> 12));
    out[1] = (unsigned char)(0x80 | ((unit >> 6) & 0x3F));
    out[2] = (unsigned char)(0x80 | (unit & 0x3F));
    return 3;
}

/* The leading units of units[0..count) below 0x80, stored as bytes in out. */
static inline size_t u16_NarrowAscii(const U16Char* units, size_t count, unsigned char* out) {
    size_t i = 0;
#if defined(__AVX2__)
    const __m256i high32 = _mm256_set1_epi16((short)0xFF80);
    for (; count - i >= 32; i += 32) {
        const __m256i a = _mm256_loadu_si256((const __m256i*)(units + i));
        const __m256i b = _mm256_loadu_si256((const __m256i*)(units + i + 16));
        if (!_mm256_testz_si256(_mm256_or_si256(a, b), high32)) break;
        /* packus works within lanes: put the 8-byte groups back in order. */
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8);
        _mm256_storeu_si256((__m256i*)(out + i), packed);
    }
#endif
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

#if defined(__AVX2__)
/* Byte shuffles that drop the empty second byte of each ASCII unit from
 * eight (first, second) byte pairs, one for every set of ASCII lanes; made
 * once by u16_PrepareBlockEncoder. */
extern unsigned char u16_PairShuffles[256][16];
void u16_PrepareBlockEncoder(void);

/* Eight units at units[0..8) encoded whole when all are below 0x800 (ASCII
 * among them) or all are 0x800 and above; returns the bytes, or 0 when the
 * block mixes the two kinds. Writes up to 24 bytes: the caller leaves room
 * and overwrites what lies beyond the returned count. */
static inline size_t u16_EncodeBlock(const U16Char* units, unsigned char* out) {
    const __m128i u = _mm_loadu_si128((const __m128i*)units);
    const __m128i zero = _mm_setzero_si128();
    const __m128i wide = _mm_cmpeq_epi16(_mm_and_si128(u, _mm_set1_epi16((short)0xF800)), zero);
    const int narrowLanes = _mm_movemask_epi8(wide);
    if (narrowLanes == 0xFFFF) {
        /* One or two bytes each: (lead, continuation) pairs, ASCII lanes
         * keep their byte, then the empty bytes are squeezed out. */
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(u, _mm_set1_epi16((short)0xFF80)), zero);
        const __m128i lead = _mm_or_si128(_mm_srli_epi16(u, 6), _mm_set1_epi16(0xC0));
        const __m128i trail = _mm_or_si128(_mm_and_si128(u, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
        const __m128i pairs = _mm_blendv_epi8(_mm_or_si128(lead, _mm_slli_epi16(trail, 8)), u, ascii);
        const int mask = _mm_movemask_epi8(_mm_packs_epi16(ascii, zero)) & 0xFF;
        const __m128i shuffle = _mm_loadu_si128((const __m128i*)u16_PairShuffles[mask]);
        _mm_storeu_si128((__m128i*)out, _mm_shuffle_epi8(pairs, shuffle));
        return 16 - (size_t)__builtin_popcount((unsigned)mask);
    }
    if (narrowLanes != 0) return 0;
    /* Three bytes each: lead, middle and last bytes packed, then interleaved. */
    const __m128i lead = _mm_or_si128(_mm_srli_epi16(u, 12), _mm_set1_epi16(0xE0));
    const __m128i middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(u, 6), _mm_set1_epi16(0x3F)),
                                        _mm_set1_epi16(0x80));
    const __m128i last = _mm_or_si128(_mm_and_si128(u, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
    const __m128i leadMiddle = _mm_packus_epi16(lead, middle); /* L0..L7 M0..M7 */
    const __m128i lasts = _mm_packus_epi16(last, last);       /* T0..T7 T0..T7 */
    const __m128i first = _mm_or_si128(
        _mm_shuffle_epi8(leadMiddle, _mm_setr_epi8(0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12,
                                                   -1, 5)),
        _mm_shuffle_epi8(lasts, _mm_setr_epi8(-1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1,
                                              4, -1)));
    const __m128i second = _mm_or_si128(
        _mm_shuffle_epi8(leadMiddle, _mm_setr_epi8(13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1,
                                                   -1, -1, -1, -1)),
        _mm_shuffle_epi8(lasts, _mm_setr_epi8(-1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1,
                                              -1, -1)));
    _mm_storeu_si128((__m128i*)out, first);
    _mm_storel_epi64((__m128i*)(out + 16), second);
    return 24;
}
#endif

#endif /* TORVU16_FAST_H */
