/*
 * u16_utf8: conversion between UTF-16 units and UTF-8 bytes.
 *
 * The encoder works on single units and never pairs surrogates, so a
 * character above the basic plane becomes two three-byte sequences. The
 * decoder accepts overlong forms and encoded surrogates as they come, which
 * lets every byte string the encoder produces read back unit for unit.
 */
#include <errno.h>
#include <stdint.h>
#include <string.h>

#include "u16_fast.h"
#include "u16_internal.h"

#define U16_ZERO_TERMINATED 0xFFFFFFFFu

int u16_EncodeUnit(U16Char unit, unsigned char out[3]) {
    return u16_EncodeOne(unit, out);
}

static int EncodedLength(U16Char unit) {
    return unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
}

static inline int DecodeChar(const unsigned char* s, size_t available, uint32_t* value, int* used) {
    if (available == 0) {
        *used = 0;
        return -1;
    }
    const unsigned char lead = s[0];
    int length;
    uint32_t v;
    if (lead < 0x80) {
        *value = lead;
        *used = 1;
        return 1;
    } else if (lead >= 0xC0 && lead <= 0xDF) {
        length = 2;
        v = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        v = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF7) {
        length = 4;
        v = lead & 0x07;
    } else {
        *used = 1; /* a continuation byte or 0xF8-0xFF cannot start a character */
        return -1;
    }
    /* Each byte is looked at only after the one before it was a continuation
     * byte, so a zero terminator inside a sequence is never passed. */
    for (int i = 1; i < length; ++i) {
        if ((size_t)i >= available) {
            *used = i;
            return -1;
        }
        const unsigned char b = s[i];
        if (b < 0x80 || b > 0xBF) {
            *used = i + 1;
            return -1;
        }
        v = (v << 6) | (b & 0x3F);
    }
    *used = length;
    if (v > 0x10FFFF) return -1;
    *value = v;
    return length;
}

int u16_DecodeChar(const unsigned char* s, size_t available, uint32_t* value, int* used) {
    return DecodeChar(s, available, value, used);
}

int Utf8s_To_U16(U16Char* destination, const char* source, int capacity) {
    if (source == NULL) {
        errno = EINVAL;
        return -1;
    }
    const unsigned char* s = (const unsigned char*)source;
    const int bounded = destination != NULL;
    if (bounded && capacity < 0) capacity = 0;
    int n = 0;
    for (;;) {
        /* Runs of ASCII need no decoding. */
        if (bounded) {
            while (n < capacity && *s != 0 && *s < 0x80) destination[n++] = *s++;
        } else {
            while (*s != 0 && *s < 0x80) ++n, ++s;
        }
        if (bounded && n >= capacity) return capacity;
        if (*s == 0) {
            if (bounded) destination[n] = 0;
            return n;
        }
        uint32_t v;
        int used;
        if (DecodeChar(s, SIZE_MAX, &v, &used) < 0) {
            errno = EILSEQ;
            return -1;
        }
        s += used;
        if (v > 0xFFFF) {
            if (bounded) {
                destination[n] = (U16Char)(0xD800 + ((v - 0x10000) >> 10));
                if (n + 1 >= capacity) return capacity; /* only the first unit fits */
                destination[n + 1] = (U16Char)(0xDC00 + (v & 0x3FF));
            }
            n += 2;
        } else {
            if (bounded) destination[n] = (U16Char)v;
            ++n;
        }
    }
}

/* The character at s[*i], which is not ASCII, into destination[*n] when
 * storing. Returns 0 to go on; -1 when the conversion ends, with errno set
 * and a result of 0. */
static inline int DecodeStep(U16Char* destination, size_t capacity, const unsigned char* s,
                             size_t length, size_t* i, size_t* n, int* invalidCount,
                             U16Char replacement) {
    const int storing = destination != NULL;
    uint32_t v;
    int used;
    if (DecodeChar(s + *i, length - *i, &v, &used) < 0) {
        if (invalidCount == NULL) {
            if (storing) destination[*n] = 0;
            errno = EILSEQ;
            return -1;
        }
        ++*invalidCount;
        if (storing) destination[*n] = replacement;
        ++*n;
        ++*i; /* the bytes after a bad lead byte may start a good character */
        return 0;
    }
    *i += (size_t)used;
    if (v > 0xFFFF) {
        /* A pair is stored whole or not at all: half a pair would pass a
         * lost character off as a complete conversion. */
        if (storing && *n + 1 >= capacity) {
            errno = ERANGE;
            return -1;
        }
        if (storing) {
            destination[*n] = (U16Char)(0xD800 + ((v - 0x10000) >> 10));
            destination[*n + 1] = (U16Char)(0xDC00 + (v & 0x3FF));
        }
        *n += 2;
    } else {
        if (storing) destination[*n] = (U16Char)v;
        ++*n;
    }
    return 0;
}

int Utf8n_To_U16(U16Char* destination, int capacity, const char* source, unsigned int sourceLength,
                 int* invalidCount, U16Char replacement) {
    if (invalidCount) *invalidCount = 0;
    if (source == NULL) {
        errno = EINVAL;
        return 0;
    }
    const unsigned char* s = (const unsigned char*)source;
    /* A zero-terminated source converts like a counted one that takes its
     * terminator along: the zero unit is stored and counted. */
    const size_t length =
        sourceLength == U16_ZERO_TERMINATED ? strlen(source) + 1 : (size_t)sourceLength;
    if (destination == NULL || capacity <= 0) {
        size_t i = 0, n = 0;
        while (i < length) {
            if (s[i] < 0x80) {
                ++i, ++n;
            } else if (DecodeStep(NULL, 0, s, length, &i, &n, invalidCount, replacement) < 0) {
                return 0;
            }
        }
        return (int)n;
    }
    const size_t room = (size_t)capacity;
    size_t i = 0, n = 0;
    for (;;) {
        u16_DecodeRun(destination, room, s, length, &i, &n);
        if (i >= length) return (int)n;
        if (n >= room) {
            errno = ERANGE;
            return 0;
        }
        if (DecodeStep(destination, room, s, length, &i, &n, invalidCount, replacement) < 0) {
            return 0;
        }
    }
}

/* Bytes of count units. */
static size_t EncodedBytes(const U16Char* units, size_t count) {
    size_t n = 0;
    for (size_t i = 0; i < count; ++i) n += (size_t)EncodedLength(units[i]);
    return n;
}

/* Encodes the units that fit whole within capacity bytes; returns the bytes
 * and stores in *taken the units they hold. Nothing beyond them is written. */
static size_t EncodeBounded(const U16Char* units, size_t count, unsigned char* out, size_t capacity,
                            size_t* taken) {
    size_t i = 0, n = 0;
    while (i < count) {
        /* Units that fit whatever they are go as one block. */
        const size_t sure = (capacity - n) / 3;
        if (sure > 0) {
            const size_t block = sure < count - i ? sure : count - i;
            n += u16_EncodeUnits(units + i, block, out + n);
            i += block;
            continue;
        }
        unsigned char bytes[3];
        const size_t k = (size_t)u16_EncodeOne(units[i], bytes);
        if (k > capacity - n) break;
        memcpy(out + n, bytes, k);
        n += k;
        ++i;
    }
    *taken = i;
    return n;
}

int U16s_To_Utf8s_U16(char* destination, const U16Char* source, int capacity) {
    if (source == NULL) {
        errno = EINVAL;
        return 0;
    }
    const size_t count = u16_strlen(source);
    if (destination == NULL) return (int)EncodedBytes(source, count);
    if (capacity <= 0) return 0;
    size_t taken;
    const size_t n =
        EncodeBounded(source, count, (unsigned char*)destination, (size_t)capacity, &taken);
    /* The text ends with a zero byte where one fits: exactly full has none. */
    if (n < (size_t)capacity) destination[n] = 0;
    return (int)n;
}

int U16n_To_Utf8_U16(char* destination, const U16Char* units, int count) {
    if (destination == NULL) return -1;
    if (count <= 0) return 0;
    return (int)u16_EncodeUnits(units, (size_t)count, (unsigned char*)destination);
}

int U16n_To_Utf8n_U16(char* destination, int capacity, const U16Char* units, unsigned int count) {
    if (units == NULL) {
        errno = EINVAL;
        return 0;
    }
    /* Zero-terminated units convert with their terminator: the zero byte is
     * stored and counted. */
    const size_t total = count == U16_ZERO_TERMINATED ? u16_strlen(units) + 1 : (size_t)count;
    if (destination == NULL || capacity <= 0) return (int)EncodedBytes(units, total);
    size_t taken;
    const size_t n =
        EncodeBounded(units, total, (unsigned char*)destination, (size_t)capacity, &taken);
    if (taken < total) {
        errno = ERANGE;
        return 0;
    }
    return (int)n;
}
