/*
 * u16_put: UTF-16 output to the C library's byte streams. Strings are
 * encoded in blocks on the stack and written a block at a time; no
 * byte-order mark is written. Each call holds the stream's own lock
 * (flockfile) once, so a string is written as one piece.
 */
#include <errno.h>
#include <stdint.h>
#include <string.h>

#include "u16_internal.h"
#include "u16_stream_buffer.h"

/* The block writer flushes once its fill passes this mark, so one more unit
 * (three bytes at most) always fits the 512-byte buffer. */
enum { kWriteBufferBytes = 512, kWriteFlushMark = 506 };

/* The unit's bytes with the stream already locked; 0, or -1 when a byte
 * fails to be written. */
static int PutUnit(U16Char unit, FILE* stream) {
    if (unit < 0x80) return putc_unlocked(unit, stream) == EOF ? -1 : 0;
    unsigned char bytes[3];
    const int k = u16_EncodeUnit(unit, bytes);
    for (int i = 0; i < k; ++i) {
        if (putc_unlocked(bytes[i], stream) == EOF) return -1;
    }
    return 0;
}

/* Units encoded together and handed to the stream at once. */
enum { kPutBlockUnits = 256 };

/* Bytes to the locked stream exactly as putc_unlocked one at a time would
 * write them: what fits the stream's buffer is copied there, and the byte
 * that finds it full goes through putc_unlocked, which flushes and reports a
 * failed write. 0, or -1 when a byte fails. */
static int PutBytes(const unsigned char* bytes, size_t n, FILE* stream) {
    while (n > 0) {
        size_t room = u16_WriteRoom(stream);
        if (room > 0) {
            if (room > n) room = n;
            fwrite_unlocked(bytes, 1, room, stream);
        } else {
            if (putc_unlocked(*bytes, stream) == EOF) return -1;
            room = 1;
        }
        bytes += room;
        n -= room;
    }
    return 0;
}

/* The units before the terminator, up to limit. Four at a time: a unit is
 * read only when the ones before it are not the terminator. */
static size_t UnitsBeforeTerminator(const U16Char* units, size_t limit) {
    size_t k = 0;
    while (limit - k >= 4 && units[k] && units[k + 1] && units[k + 2] && units[k + 3]) k += 4;
    while (k < limit && units[k]) ++k;
    return k;
}

/* The units before the terminator with the stream already locked; their
 * count, or -1 when a byte fails to be written. */
static int PutUnits(const U16Char* units, FILE* stream) {
    unsigned char block[3 * kPutBlockUnits];
    size_t n = 0;
    for (;;) {
        const size_t k = UnitsBeforeTerminator(units + n, kPutBlockUnits);
        if (k == 0) return (int)n;
        if (PutBytes(block, u16_EncodeUnits(units + n, k, block), stream) < 0) return -1;
        n += k;
    }
}

int fputcU16(int unit, FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    flockfile(stream);
    const int r = PutUnit((U16Char)unit, stream);
    funlockfile(stream);
    return r < 0 ? -1 : unit;
}

int fputsU16(const U16Char* units, FILE* stream) {
    if (stream == NULL) {
        errno = EBADF;
        return -1;
    }
    if (units == NULL) {
        errno = EINVAL;
        return -1;
    }
    flockfile(stream);
    const int n = PutUnits(units, stream);
    funlockfile(stream);
    return n;
}

int putsU16(const U16Char* units) {
    if (units == NULL) {
        errno = EINVAL;
        return -1;
    }
    flockfile(stdout);
    int n = PutUnits(units, stdout);
    if (n >= 0) n = putc_unlocked('\n', stdout) == EOF ? -1 : n + 1;
    funlockfile(stdout);
    return n;
}

/* Units among first..first+count whose bytes lie wholly within the first
 * written bytes. */
static size_t UnitsWithin(const U16Char* first, size_t count, size_t written) {
    size_t bytes = 0, i = 0;
    for (; i < count; ++i) {
        unsigned char scratch[3];
        const size_t k = (size_t)u16_EncodeUnit(first[i], scratch);
        if (bytes + k > written) break;
        bytes += k;
    }
    return i;
}

size_t u16_fwriteU16(const U16Char* units, size_t elementSize, size_t elementCount, FILE* stream,
                     size_t* byteCounter) {
    if (byteCounter) *byteCounter = 0;
    size_t total;
    if (elementSize == 0 || elementCount == 0 ||
        __builtin_mul_overflow(elementSize, elementCount, &total)) {
        return 0;
    }
    if (stream == NULL || units == NULL) {
        errno = stream == NULL ? EBADF : EINVAL;
        return 0;
    }
    /* Some streams report a failed write as complete and only set the error
     * flag; a flag that appears during the call counts the chunk as lost. */
    const int hadError = ferror(stream);
    unsigned char buffer[kWriteBufferBytes];
    size_t fill = 0;
    size_t pendingFrom = 0; /* first unit whose bytes are in the buffer */
    size_t bytesWritten = 0;
    for (size_t i = 0; i < total; ++i) {
        fill += (size_t)u16_EncodeUnit(units[i], buffer + fill);
        if (fill > kWriteFlushMark || i + 1 == total) {
            size_t w = fwrite(buffer, 1, fill, stream);
            if (w == fill && !hadError && ferror(stream)) w = 0;
            bytesWritten += w;
            if (w < fill) {
                const size_t done =
                    pendingFrom + UnitsWithin(units + pendingFrom, i + 1 - pendingFrom, w);
                if (byteCounter) *byteCounter = bytesWritten;
                return done / elementSize;
            }
            fill = 0;
            pendingFrom = i + 1;
        }
    }
    if (byteCounter) *byteCounter = bytesWritten;
    return elementCount;
}
