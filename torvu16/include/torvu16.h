/*
 * torvu16: standard I/O on UTF-16 text.
 *
 * Text in memory is 16-bit units (U16Char); text on streams is UTF-8 on the
 * C library's byte streams (FILE). Counts of text are counts of units unless
 * a function says bytes. The library keeps its trace level and sink
 * process-wide and unguarded; it does no locking of its own.
 */
#ifndef TORVU16_H
#define TORVU16_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define TORVU16_API __attribute__((visibility("default")))
#else
#define TORVU16_API
#endif

/* The interface's version as the library reports it: pass
 * TORVU16_VERSION_STRING to checkVersionLibu16U16 to learn whether the
 * library loaded at run time serves what this header declares. The major
 * and minor numbers are the two four-digit fields of the string. */
#define TORVU16_VERSION_STRING "@(#) libtorvu16.0002.0023  May 26 2004 19:44:35"
#define TORVU16_VERSION_MAJOR 2
#define TORVU16_VERSION_MINOR 23

/* One UTF-16 code unit. */
typedef uint16_t U16Char;

/* Receives one whole diagnostic message: the units and their count. */
typedef void (*TraceSinkU16)(const U16Char* text, int units);

/* Frame: version, tracing, memory and character classes. */
TORVU16_API int getVersionLibu16U16(U16Char* destination, int capacity);
TORVU16_API int checkVersionLibu16U16(const char* callerVersion, int verbose);
TORVU16_API TraceSinkU16 setTraceLibu16U16(TraceSinkU16 sink, int level);
TORVU16_API const U16Char* dbgAlignCheckStringU16(const U16Char* text);
TORVU16_API int memcmpU16(const U16Char* a, const U16Char* b, size_t n);
TORVU16_API U16Char* memchrU16(const U16Char* s, int unit, size_t n);
TORVU16_API U16Char* memsetU16(U16Char* s, int unit, size_t n);
TORVU16_API int isspaceU16(int unit);
TORVU16_API int isxdigitU16(int unit);

/* Formatted output. length: capacity of buffer in units (0xFFFFFFFF for
 * unbounded) in buffer mode; bytes written are added to it in stream mode. */
TORVU16_API int printfU16(const U16Char* format, ...);
TORVU16_API int fprintfU16(FILE* stream, const U16Char* format, ...);
TORVU16_API int vprintfU16(const U16Char* format, va_list args);
TORVU16_API int vfprintfU16(FILE* stream, const U16Char* format, va_list args);
TORVU16_API int vvfprintfU16(FILE* stream, U16Char* buffer, unsigned int* length,
                             const U16Char* format, va_list args);

/* Formatted input: from source when given, else from stream. */
TORVU16_API int scanfU16(const U16Char* format, ...);
TORVU16_API int fscanfU16(FILE* stream, const U16Char* format, ...);
TORVU16_API int vvfscanfU16(const U16Char* source, FILE* stream, const U16Char* format,
                            va_list args);

/* UTF-8 conversion. 0xFFFFFFFF as a source length or count: zero-terminated. */
TORVU16_API int Utf8s_To_U16(U16Char* destination, const char* source, int capacity);
TORVU16_API int Utf8n_To_U16(U16Char* destination, int capacity, const char* source,
                             unsigned int sourceLength, int* invalidCount, U16Char replacement);
TORVU16_API int U16s_To_Utf8s_U16(char* destination, const U16Char* source, int capacity);
TORVU16_API int U16n_To_Utf8_U16(char* destination, const U16Char* units, int count);
TORVU16_API int U16n_To_Utf8n_U16(char* destination, int capacity, const U16Char* units,
                                  unsigned int count);

/* Stream input. */
TORVU16_API int fgetcU16(FILE* stream);
TORVU16_API U16Char* fgetsU16(U16Char* buffer, int capacity, FILE* stream);
TORVU16_API U16Char* getsU16(U16Char* buffer);
TORVU16_API size_t freadU16(U16Char* buffer, size_t elementSize, size_t elementCount,
                            FILE* stream);
TORVU16_API int fget_strU16(U16Char* buffer, int capacity, FILE* stream, U16Char replacement);
TORVU16_API int fget_lineU16(U16Char* buffer, int capacity, FILE* stream, U16Char replacement);
TORVU16_API int fget_intU16(int32_t* value, FILE* stream);
TORVU16_API int fget_longU16(int32_t* value, FILE* stream);

/* Stream output. */
TORVU16_API int fputcU16(int unit, FILE* stream);
TORVU16_API int fputsU16(const U16Char* units, FILE* stream);
TORVU16_API int putsU16(const U16Char* units);
TORVU16_API size_t u16_fwriteU16(const U16Char* units, size_t elementSize, size_t elementCount,
                                 FILE* stream, size_t* byteCounter);

#ifdef __cplusplus
}
#endif

#endif /* TORVU16_H */
