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

#include "u16_internal.h"

#define U16_ZERO_TERMINATED 0xFFFFFFFFu

static inline int EncodeUnit(U16Char unit, unsigned char* out) {
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

int u16_EncodeUnit(U16Char unit, unsigned char out[3]) {
    return EncodeUnit(unit, out);
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

int Utf8n_To_U16(U16Char* destination, int capacity, const char* source, unsigned int sourceLength,
                 int* invalidCount, U16Char replacement) {
    if (invalidCount) *invalidCount = 0;
    if (source == NULL) {
        errno = EINVAL;
        return 0;
    }
    const unsigned char* s = (const unsigned char*)source;
    const int terminated = sourceLength == U16_ZERO_TERMINATED;
    const int counting = destination == NULL || capacity <= 0;
    size_t i = 0;
    int n = 0;
    for (;;) {
        /* Runs of ASCII need no decoding. */
        if (!counting) {
            if (terminated) {
                while (n < capacity && s[i] != 0 && s[i] < 0x80) destination[n++] = s[i++];
            } else {
                while (n < capacity && i < sourceLength && s[i] < 0x80) destination[n++] = s[i++];
            }
        } else if (!terminated) {
            while (i < sourceLength && s[i] < 0x80) ++n, ++i;
        }
        if (!terminated && i >= sourceLength) break;
        if (!counting && n >= capacity) {
            errno = ERANGE;
            return 0;
        }
        if (terminated && s[i] == 0) {
            if (!counting) destination[n] = 0;
            ++n;
            break;
        }
        uint32_t v;
        int used;
        const size_t available = terminated ? SIZE_MAX : sourceLength - i;
        if (DecodeChar(s + i, available, &v, &used) < 0) {
            if (invalidCount == NULL) {
                if (!counting) destination[n] = 0;
                errno = EILSEQ;
                return 0;
            }
            ++*invalidCount;
            if (!counting) destination[n] = replacement;
            ++n;
            ++i; /* the bytes after a bad lead byte may start a good character */
            continue;
        }
        i += (size_t)used;
        if (v > 0xFFFF) {
            /* A pair is stored whole or not at all: half a pair would pass a
             * lost character off as a complete conversion. */
            if (!counting && n + 1 >= capacity) {
                errno = ERANGE;
                return 0;
            }
            if (!counting) {
                destination[n] = (U16Char)(0xD800 + ((v - 0x10000) >> 10));
                destination[n + 1] = (U16Char)(0xDC00 + (v & 0x3FF));
            }
            n += 2;
        } else {
            if (!counting) destination[n] = (U16Char)v;
            ++n;
        }
    }
    return n;
}

int U16s_To_Utf8s_U16(char* destination, const U16Char* source, int capacity) {
    if (source == NULL) {
        errno = EINVAL;
        return 0;
    }
    if (destination == NULL) {
        int n = 0;
        for (; *source; ++source) n += EncodedLength(*source);
        return n;
    }
    if (capacity <= 0) return 0;
    int n = 0;
    for (;; ++source) {
        if (n == capacity) return n; /* exactly full: no room for a terminator */
        const U16Char u = *source;
        if (u == 0) {
            destination[n] = 0;
            return n;
        }
        if (capacity - n >= 3) {
            n += EncodeUnit(u, (unsigned char*)destination + n);
            continue;
        }
        unsigned char bytes[3];
        const int k = EncodeUnit(u, bytes);
        if (n + k > capacity) {
            destination[n] = 0;
            return n;
        }
        memcpy(destination + n, bytes, (size_t)k);
        n += k;
    }
}

int U16n_To_Utf8_U16(char* destination, const U16Char* units, int count) {
    if (destination == NULL) return -1;
    int n = 0;
    for (int i = 0; i < count; ++i) n += EncodeUnit(units[i], (unsigned char*)destination + n);
    return n;
}

int U16n_To_Utf8n_U16(char* destination, int capacity, const U16Char* units, unsigned int count) {
    if (units == NULL) {
        errno = EINVAL;
        return 0;
    }
    const int terminated = count == U16_ZERO_TERMINATED;
    const int counting = destination == NULL || capacity <= 0;
    int n = 0;
    for (size_t i = 0; terminated || i < count; ++i) {
        const U16Char u = units[i];
        if (u < 0x80 && !counting && n < capacity) {
            destination[n++] = (char)u;
            if (u == 0 && terminated) break;
            continue;
        }
        if (counting) {
            n += EncodedLength(u);
        } else if (capacity - n >= 3) {
            n += EncodeUnit(u, (unsigned char*)destination + n);
        } else {
            unsigned char bytes[3];
            const int k = EncodeUnit(u, bytes);
            if (k > capacity - n) {
                errno = ERANGE;
                return 0;
            }
            memcpy(destination + n, bytes, (size_t)k);
            n += k;
        }
        if (terminated && u == 0) break;
    }
    return n;
}
