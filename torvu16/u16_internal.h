/*
 * Internal interfaces shared by the library's modules. Nothing here is
 * exported: the version script keeps every name but the public ones local.
 */
#ifndef TORVU16_INTERNAL_H
#define TORVU16_INTERNAL_H

#include "torvu16.h"

/* u16_aux: trace level (initially 4) and sink, process-wide, unguarded. */
extern int u16TraceLevel;
extern TraceSinkU16 u16TraceSink;

/* Framed report of a zero-terminated text from a source file and line. */
void TraceMessage(const U16Char* text, const char* source, int line, int withEndLine);
void TraceEnd(void);
void TraceInternalError(const char* source, int line);
void TraceOutOfMemory(const char* function, const char* source, int line);
void TraceFormatError(const U16Char* format, U16Char unit, const char* source, int line);
void DumpBytes(const unsigned char* bytes, int count);
void DumpUnits(const U16Char* units, int count);

/* The bytes of one invalid UTF-8 sequence, as ReadUtf8Char recorded them. */
typedef struct Utf8Record {
    int count;              /* bytes consumed, 1 to 4 */
    unsigned char bytes[4]; /* the bytes themselves */
} Utf8Record;

void TraceInvalidUtf8(const Utf8Record* record, const U16Char* readStart, const U16Char* readEnd);

/* u16_str */
size_t u16_strlen(const U16Char* s);

/* u16_utf8: the unit encoder writes 1 to 3 bytes and returns their count. */
int u16_EncodeUnit(U16Char unit, unsigned char out[3]);
/* u16_simd, through the inner loops it chose (u16_transcode*.c).
 * Encodes count units into out, which holds 3 * count bytes; returns the
 * bytes written. Nothing beyond those 3 * count bytes is written. */
size_t u16_EncodeUnits(const U16Char* units, size_t count, unsigned char* out);
/* Decodes from s[*i] into destination[*n] runs of ASCII and whole two- and
 * three-byte sequences while *n < room; stops at length, when full, or
 * before a sequence that needs the general decoder (four bytes, cut,
 * invalid). */
void u16_DecodeRun(U16Char* destination, size_t room, const unsigned char* s, size_t length,
                   size_t* i, size_t* n);
/* "avx2" or "baseline": the inner loops in use. */
const char* u16_InstructionSet(void);
/* Decodes one character from at most available bytes. Returns the bytes used
 * and stores the value (up to 0x10FFFF), or returns -1 for an invalid or
 * incomplete sequence (the bytes seen are in *used). */
int u16_DecodeChar(const unsigned char* s, size_t available, uint32_t* value, int* used);

/* u16_get: one character from a stream, or -1 (end of file, or invalid with
 * errno EILSEQ and the bytes in record). */
long ReadUtf8Char(FILE* stream, Utf8Record* record);
/* One unit as fgetcU16 reads it, with the stream already locked. */
int u16_GetUnit(FILE* stream);

/* u16_tol: 64-bit parsers on 8-bit text with strtoll/strtoull semantics. */
int64_t u16_strtoll(const char* text, char** end, int base);
uint64_t u16_strtoull(const char* text, char** end, int base);

/* u16_tod: floating-point text of the scan engine. The recogniser takes the
 * units after an optional sign; it accepts ASCII units only. */
typedef struct U16FloatText {
    int state;
    int index;          /* position within a word being matched */
    int mantissaDigits; /* an exponent needs at least one */
    int decimalPoint;
} U16FloatText;

/* The first character of the locale's decimal point, or '.' if not ASCII. */
int u16_DecimalPoint(void);
void u16_FloatTextStart(U16FloatText* text, int decimalPoint);
/* 1 when the unit extends the text (the caller then consumes it). */
int u16_FloatTextAccept(U16FloatText* text, int unit);
/* strtod on the collected text, then the sign; 0 when nothing converted. */
int u16_FloatTextConvert(const char* text, int negative, double* value);

#endif /* TORVU16_INTERNAL_H */
