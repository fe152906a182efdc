/*
 * u16_get: UTF-16 input from the C library's byte streams, decoding UTF-8
 * one character at a time. Characters above 0xFFFF become surrogate pairs
 * wherever two units are available; no byte-order mark is expected.
 *
 * Bytes are never pushed back except the single byte after the digits of
 * fget_intU16, which is all ungetc guarantees. Locking is the C library's
 * own stream lock (flockfile), taken once per call.
 */
#include <errno.h>
#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "u16_fast.h"
#include "u16_internal.h"
#include "u16_stream_buffer.h"

static const char kSource[] = "u16_get";

static U16Char HighSurrogate(long c) {
    return (U16Char)(0xD800 + ((c - 0x10000) >> 10));
}
static U16Char LowSurrogate(long c) {
    return (U16Char)(0xDC00 + (c & 0x3FF));
}

/* The record holds the bytes of the character just read, valid or not, so
 * that a report can show them; callers rely on it only after an invalid
 * sequence. */
static long ReadChar(FILE* stream, Utf8Record* record) {
    Utf8Record scratch;
    if (record == NULL) record = &scratch;
    record->count = 0;
    int c = getc_unlocked(stream);
    if (c == EOF) goto end_of_file;
    record->bytes[0] = (unsigned char)c;
    record->count = 1;
    if (c < 0x80) return c;
    int length;
    long value;
    if (c >= 0xC0 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF7) {
        length = 4;
        value = c & 0x07;
    } else {
        goto invalid;
    }
    for (int i = 1; i < length; ++i) {
        c = getc_unlocked(stream);
        if (c == EOF) goto end_of_file;
        record->bytes[i] = (unsigned char)c;
        record->count = i + 1;
        if (c < 0x80 || c > 0xBF) goto invalid;
        value = (value << 6) | (c & 0x3F);
    }
    if (value > 0x10FFFF) goto invalid;
    return value;

end_of_file:
    record->count = 0; /* a sequence cut by the end of the file is dropped */
    if (errno == EILSEQ) errno = 0;
    return -1;
invalid:
    errno = EILSEQ;
    return -1;
}

long ReadUtf8Char(FILE* stream, Utf8Record* record) {
    flockfile(stream);
    const long c = ReadChar(stream, record);
    funlockfile(stream);
    return c;
}

/* The framed report of an invalid sequence met by one of the readers. With
 * context, the units the caller read before it are shown too. errno is kept:
 * writing the report must not hide EILSEQ from the caller. */
static void ReportInvalid(const char* function, FILE* stream, int line, const Utf8Record* record,
                          const U16Char* readStart, const U16Char* readEnd, int context) {
    if (u16TraceLevel <= 0) return;
    const int saved = errno;
    char text[96];
    if (stream == NULL) {
        snprintf(text, sizeof text, "Invalid UTF-8 encountered by %s", function);
    } else {
        snprintf(text, sizeof text, "Invalid UTF-8 encountered by %s (fileno 0x%x)", function,
                 (unsigned)fileno(stream));
    }
    U16Char units[96];
    size_t n = 0;
    for (; text[n]; ++n) units[n] = (unsigned char)text[n];
    units[n] = 0;
    TraceMessage(units, kSource, line, 0);
    if (context) {
        TraceInvalidUtf8(record, readStart, readEnd);
    } else {
        DumpBytes(record->bytes, record->count);
    }
    TraceEnd();
    errno = saved;
}

int u16_GetUnit(FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    Utf8Record record;
    const long c = ReadChar(stream, &record);
    if (c < 0) {
        if (errno == EILSEQ) ReportInvalid("fgetcU16", stream, 180, &record, NULL, NULL, 0);
        return -1;
    }
    if (c > 0xFFFF) {
        /* One unit cannot hold it; the caller gets the replacement character. */
        ReportInvalid("fgetcU16", stream, 180, &record, NULL, NULL, 0);
        return 0xFFFD;
    }
    return (int)c;
}

/* The next character from the stream's buffer when it lies there whole and
 * valid, else through ReadChar (which refills, and reports what is invalid or
 * cut): either way exactly the bytes ReadChar would consume are consumed. */
static long NextChar(FILE* stream, Utf8Record* record) {
    const unsigned char* bytes;
    const size_t available = u16_BufferedBytes(stream, &bytes);
    if (available > 0) {
        if (bytes[0] < 0x80) {
            u16_TakeBuffered(stream, 1);
            return bytes[0];
        }
        uint32_t c;
        int length;
        if (u16_DecodeChar(bytes, available, &c, &length) >= 0) {
            u16_TakeBuffered(stream, (size_t)length);
            return (long)c;
        }
    }
    return ReadChar(stream, record);
}

enum { kNoStop = -1 }; /* no unit stops the text */

/* Stores the whole, valid characters that lie in the stream's buffer, as
 * ReadChar would read them one by one, until limit units are stored or the
 * stop unit (a newline, or kNoStop) was stored. Returns 2 when the stop unit
 * was stored, 1 when the text is full (a pair that does not fit keeps its
 * first unit), 0 when the next character must come through ReadChar: the
 * buffer ran out, or a sequence there is cut or invalid. */
static int TakeBufferedText(FILE* stream, U16Char* buffer, size_t limit, size_t* n, int stop) {
    const unsigned char* bytes;
    const size_t available = u16_BufferedBytes(stream, &bytes);
    const int hasStop = stop >= 0 && stop < 0x80;
    /* u16_WidenAscii stops at non-ASCII bytes anyway, so 0x80 stops nothing more. */
    const unsigned char stopByte = hasStop ? (unsigned char)stop : 0x80;
    size_t i = 0;
    int result = 0;
    while (i < available && *n < limit) {
        const size_t room = limit - *n;
        const size_t run = u16_WidenAscii(bytes + i, available - i < room ? available - i : room,
                                          buffer + *n, stopByte);
        i += run;
        *n += run;
        if (i == available || *n >= limit) break;
        if (hasStop && bytes[i] == stopByte) {
            buffer[(*n)++] = stopByte;
            ++i;
            result = 2;
            break;
        }
        const int used = u16_DecodeShort(bytes + i, available - i, buffer + *n);
        if (used > 0) {
            i += (size_t)used;
            /* An overlong form of the stop unit stops as well. */
            const U16Char unit = buffer[(*n)++];
            if (hasStop && unit == stop) {
                result = 2;
                break;
            }
            continue;
        }
        uint32_t c;
        int length;
        if (u16_DecodeChar(bytes + i, available - i, &c, &length) < 0) break;
        i += (size_t)length;
        if (c > 0xFFFF) {
            buffer[(*n)++] = HighSurrogate(c);
            if (*n >= limit) break; /* only the first unit fits */
            buffer[(*n)++] = LowSurrogate(c);
        } else {
            buffer[(*n)++] = (U16Char)c;
        }
    }
    u16_TakeBuffered(stream, i);
    if (result == 0 && *n >= limit) result = 1;
    return result;
}

static U16Char* GetLine(U16Char* buffer, int capacity, FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return NULL;
    }
    if (buffer == NULL || capacity <= 0) {
        errno = EINVAL;
        return NULL;
    }
    size_t n = 0;
    int ended = 0, invalid = 0;
    const size_t limit = (size_t)capacity - 1;
    while (n < limit) {
        if (TakeBufferedText(stream, buffer, limit, &n, '\n')) break;
        Utf8Record record;
        const long c = ReadChar(stream, &record);
        if (c < 0) {
            if (errno == EILSEQ) {
                invalid = 1;
                ReportInvalid("fgetsU16", stream, 227, &record, buffer, buffer + n, 1);
            }
            ended = 1;
            break;
        }
        if (c > 0xFFFF) {
            buffer[n++] = HighSurrogate(c);
            if (n >= limit) break; /* only the first unit fits */
            buffer[n++] = LowSurrogate(c);
            continue;
        }
        buffer[n++] = (U16Char)c;
        if (c == '\n') break;
    }
    buffer[n] = 0;
    if (invalid || ferror(stream) || (ended && n == 0)) return NULL;
    return buffer;
}

static U16Char* GetStandardLine(U16Char* buffer) {
    if (buffer == NULL) {
        errno = EINVAL;
        return NULL;
    }
    size_t n = 0;
    int readAny = 0, invalid = 0;
    for (;;) {
        const int taken = TakeBufferedText(stdin, buffer, SIZE_MAX, &n, '\n');
        if (n > 0) readAny = 1;
        if (taken == 2) {
            --n; /* the newline is not kept */
            break;
        }
        Utf8Record record;
        const long c = ReadChar(stdin, &record);
        if (c < 0) {
            if (errno == EILSEQ) {
                invalid = 1;
                ReportInvalid("getsU16", NULL, 280, &record, buffer, buffer + n, 1);
            }
            break;
        }
        readAny = 1;
        if (c == '\n') break;
        if (c > 0xFFFF) {
            buffer[n++] = HighSurrogate(c);
            buffer[n++] = LowSurrogate(c);
        } else {
            buffer[n++] = (U16Char)c;
        }
    }
    buffer[n] = 0;
    if (invalid || ferror(stdin) || !readAny) return NULL;
    return buffer;
}

static size_t ReadUnits(U16Char* buffer, size_t elementSize, size_t elementCount, FILE* stream) {
    if (elementSize == 0 || elementCount == 0) return 0;
    if (stream == NULL) {
        errno = EBADF;
        return 0;
    }
    if (buffer == NULL) {
        errno = EINVAL;
        return 0;
    }
    size_t total;
    if (__builtin_mul_overflow(elementSize, elementCount, &total)) total = SIZE_MAX;
    size_t n = 0;
    while (n < total) {
        if (TakeBufferedText(stream, buffer, total, &n, kNoStop)) break;
        Utf8Record record;
        const long c = ReadChar(stream, &record);
        if (c < 0) {
            if (errno == EILSEQ) {
                ReportInvalid("freadU16", stream, 320, &record, buffer, buffer + n, 1);
            }
            break;
        }
        if (c > 0xFFFF) {
            buffer[n++] = HighSurrogate(c);
            if (n == total) break; /* only the first unit fits */
            buffer[n++] = LowSurrogate(c);
        } else {
            buffer[n++] = (U16Char)c;
        }
    }
    return n / elementSize;
}

static int IsAsciiSpace(unsigned char b) {
    return b == ' ' || b == '\t' || b == '\n' || b == '\v' || b == '\f' || b == '\r';
}

/* Stores a decoded character within limit units; returns 0 when the buffer
 * is full afterwards (a pair that does not fit keeps its first unit). */
static int StoreChar(U16Char* buffer, int* n, int limit, long c) {
    if (c > 0xFFFF) {
        buffer[(*n)++] = HighSurrogate(c);
        if (*n >= limit) return 0;
        buffer[(*n)++] = LowSurrogate(c);
    } else {
        buffer[(*n)++] = (U16Char)c;
    }
    return *n < limit;
}

/* Stores the recorded bytes of an invalid sequence, one unit each. Returns
 * nonzero when the text ends there: the buffer is full or the last byte is
 * the terminator the caller looks for (stored when keepTerminator). */
static int StoreInvalid(U16Char* buffer, int* n, int limit, const Utf8Record* record,
                        U16Char replacement, int line) {
    for (int i = 0; i < record->count; ++i) {
        const unsigned char b = record->bytes[i];
        const int last = i == record->count - 1;
        if (!line && last && IsAsciiSpace(b)) return 1; /* the word ends; not stored */
        if (*n >= limit) return 1;
        buffer[(*n)++] = b < 0x80 ? b : replacement;
        if (line && b == '\n') return 1;
    }
    return *n >= limit;
}

/* isspaceU16 without a call for the ASCII that most words are made of. */
static inline int IsSpace(long c) {
    if (c < 0x80) return (c >= 9 && c <= 13) || (c >= 28 && c <= 32);
    return isspaceU16((int)c);
}

static int GetWord(U16Char* buffer, int capacity, FILE* stream, U16Char replacement) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    if (buffer == NULL || capacity <= 0) {
        errno = EINVAL;
        return -1;
    }
    const int limit = capacity - 1;
    int n = 0, invalid = 0;
    if (limit > 0) {
        Utf8Record record;
        long c;
        do {
            c = NextChar(stream, &record);
        } while (c >= 0 && IsSpace(c));
        for (;;) {
            if (c < 0) {
                if (errno != EILSEQ) break;
                invalid = 1;
                if (StoreInvalid(buffer, &n, limit, &record, replacement, 0)) break;
            } else if (IsSpace(c)) {
                break; /* consumed, not stored */
            } else if (!StoreChar(buffer, &n, limit, c)) {
                break;
            }
            c = NextChar(stream, &record);
        }
    }
    buffer[n] = 0;
    if (ferror(stream)) return -1;
    if (invalid) return -2;
    if (n == 0 && limit > 0) return -1;
    return n;
}

static int GetLineCounted(U16Char* buffer, int capacity, FILE* stream, U16Char replacement) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    if (buffer == NULL || capacity <= 0) {
        errno = EINVAL;
        return -1;
    }
    const int limit = capacity - 1;
    int n = 0, invalid = 0, endOfFile = 0;
    while (n < limit) {
        size_t taken = (size_t)n;
        const int done = TakeBufferedText(stream, buffer, (size_t)limit, &taken, '\n');
        n = (int)taken;
        if (done) break;
        Utf8Record record;
        const long c = ReadChar(stream, &record);
        if (c < 0) {
            if (errno != EILSEQ) {
                endOfFile = 1;
                break;
            }
            invalid = 1;
            if (StoreInvalid(buffer, &n, limit, &record, replacement, 1)) break;
            continue;
        }
        if (!StoreChar(buffer, &n, limit, c) || c == '\n') break;
    }
    buffer[n] = 0;
    if (ferror(stream) || (endOfFile && n == 0)) return -1;
    if (invalid) return -2;
    return n;
}

/* Digits beyond this many significant characters cannot fit 32 bits, so the
 * rest of a long run is consumed and the value saturates instead of being
 * collected without bound. */
enum { kDigitBufferBytes = 32 };

static int GetInteger(int32_t* value, FILE* stream) {
    errno = 0;
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    if (value == NULL) {
        errno = EINVAL;
        return -1;
    }
    Utf8Record record;
    long c;
    do {
        c = ReadChar(stream, &record);
    } while (c >= 0 && isspaceU16((int)c));
    if (c < 0) {
        if (errno == EILSEQ) { /* not a digit: consumed, its first byte reported */
            *value = record.bytes[0];
            return -2;
        }
        return -1;
    }
    char digits[kDigitBufferBytes];
    size_t length = 0;
    int negative = 0;
    if (c == '+' || c == '-') {
        negative = c == '-';
        if (negative) digits[length++] = '-';
        c = getc_unlocked(stream);
        if (c == EOF) return -1;
    }
    if (c < '0' || c > '9') {
        *value = (int32_t)c;
        return -2;
    }
    const size_t signLength = length;
    int tooLong = 0;
    do {
        /* Leading zeros do not change the value: keep one at most. */
        if (!(length == signLength + 1 && digits[signLength] == '0')) {
            if (length + 1 < sizeof digits) {
                digits[length++] = (char)c;
            } else {
                tooLong = 1;
            }
        } else {
            digits[length - 1] = (char)c;
        }
        c = getc_unlocked(stream);
    } while (c >= '0' && c <= '9');
    if (c != EOF) ungetc(c, stream);
    if (ferror(stream)) return -1;
    digits[length] = 0;

    long v = tooLong ? (negative ? LONG_MIN : LONG_MAX) : strtol(digits, NULL, 10);
    if (tooLong) errno = ERANGE;
    /* long may be wider than the 32-bit result: saturate like a 32-bit strtol. */
    if (v > INT32_MAX) {
        v = INT32_MAX;
        errno = ERANGE;
    } else if (v < INT32_MIN) {
        v = INT32_MIN;
        errno = ERANGE;
    }
    *value = (int32_t)v;
    return ((v == INT32_MAX || v == INT32_MIN) && errno == ERANGE) ? 1 : 0;
}

/* The public readers hold the stream's lock for the whole call: a line or a
 * word is read as one piece, and the byte reads inside need no lock each. */

int fgetcU16(FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    flockfile(stream);
    const int r = u16_GetUnit(stream);
    funlockfile(stream);
    return r;
}

U16Char* fgetsU16(U16Char* buffer, int capacity, FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return NULL;
    }
    flockfile(stream);
    U16Char* r = GetLine(buffer, capacity, stream);
    funlockfile(stream);
    return r;
}

U16Char* getsU16(U16Char* buffer) {
    flockfile(stdin);
    U16Char* r = GetStandardLine(buffer);
    funlockfile(stdin);
    return r;
}

size_t freadU16(U16Char* buffer, size_t elementSize, size_t elementCount, FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return 0;
    }
    flockfile(stream);
    const size_t r = ReadUnits(buffer, elementSize, elementCount, stream);
    funlockfile(stream);
    return r;
}

int fget_strU16(U16Char* buffer, int capacity, FILE* stream, U16Char replacement) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    flockfile(stream);
    const int r = GetWord(buffer, capacity, stream, replacement);
    funlockfile(stream);
    return r;
}

int fget_lineU16(U16Char* buffer, int capacity, FILE* stream, U16Char replacement) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    flockfile(stream);
    const int r = GetLineCounted(buffer, capacity, stream, replacement);
    funlockfile(stream);
    return r;
}

int fget_intU16(int32_t* value, FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    flockfile(stream);
    const int r = GetInteger(value, stream);
    funlockfile(stream);
    return r;
}

extern __typeof__(fget_intU16) fget_longU16 __attribute__((alias("fget_intU16")));
