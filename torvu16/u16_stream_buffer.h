/*
 * The bytes a stream has buffered for reading, looked at in place, and the
 * room left in its write buffer. A reader
 * that takes whole characters from there instead of one getc_unlocked call
 * a byte leaves the stream exactly as those calls would: the C library's
 * getc_unlocked itself takes the byte at _IO_read_ptr and advances it while
 * it is below _IO_read_end, and only calls into the library to refill.
 *
 * Only the GNU C library's FILE is known here; elsewhere no bytes are
 * reported and every byte goes through getc_unlocked. The caller holds the
 * stream's lock.
 */
#ifndef TORVU16_STREAM_BUFFER_H
#define TORVU16_STREAM_BUFFER_H

#include <stddef.h>
#include <stdio.h>

/* The buffered bytes at *bytes; 0 when a read has to refill first. */
static inline size_t u16_BufferedBytes(FILE* stream, const unsigned char** bytes) {
#if defined(__GLIBC__)
    *bytes = (const unsigned char*)stream->_IO_read_ptr;
    return stream->_IO_read_ptr < stream->_IO_read_end
               ? (size_t)(stream->_IO_read_end - stream->_IO_read_ptr)
               : 0;
#else
    (void)stream;
    *bytes = NULL;
    return 0;
#endif
}

/* Consumes count of the bytes u16_BufferedBytes reported. */
static inline void u16_TakeBuffered(FILE* stream, size_t count) {
#if defined(__GLIBC__)
    if (count > 0) stream->_IO_read_ptr += count; /* an unbuffered stream has no pointer */
#else
    (void)stream;
    (void)count;
#endif
}

/* Bytes the stream's write buffer takes before putc_unlocked has to flush it:
 * a block of that size is copied there whole and cannot fail. A line-buffered
 * or unbuffered stream reports none, so each of its bytes goes through
 * putc_unlocked. */
static inline size_t u16_WriteRoom(FILE* stream) {
#if defined(__GLIBC__)
    return stream->_IO_write_ptr < stream->_IO_write_end
               ? (size_t)(stream->_IO_write_end - stream->_IO_write_ptr)
               : 0;
#else
    (void)stream;
    return 0;
#endif
}

#endif /* TORVU16_STREAM_BUFFER_H */
