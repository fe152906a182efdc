/*
 * u16_aux: the library's frame: version and version check, the trace level
 * and sink, and the layout of every diagnostic message.
 *
 * The trace level, the sink and the alignment-report guard are process-wide
 * and unguarded: callers set them up before they start threads.
 */
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "u16_internal.h"

static const char kVersion[] = TORVU16_VERSION_STRING;

enum {
    kMessageUnits = 372,      /* one framed message */
    kTextLimitEndLine = 264,  /* header plus text, when the end line follows */
    kTextLimitNoEnd = 316,    /* header plus text, without the end line */
    kFormatErrorUnits = 128,  /* text of a format-string report */
    kFunctionNameUnits = 64,  /* of a function named in an out-of-memory report */
    kAlignDumpUnits = 40,     /* units shown of an unaligned string */
    kInvalidContextUnits = 80 /* units shown before an invalid sequence */
};

static const char kEndLine[] = "--- Unicode interface ------ End of message ------";

static void DefaultSink(const U16Char* text, int units) {
    if (units > 0) u16_fwriteU16(text, 1, (size_t)units, stderr, NULL);
    putc('\n', stderr);
}

int u16TraceLevel = 4;
TraceSinkU16 u16TraceSink = DefaultSink;

static void Deliver(const U16Char* text, int units) {
    if (u16TraceSink) u16TraceSink(text, units);
}

/* Widens 8-bit text into out (one unit per byte); returns the units stored. */
static int Widen(const char* text, U16Char* out, int capacity) {
    int n = 0;
    for (; text[n] && n < capacity; ++n) out[n] = (unsigned char)text[n];
    return n;
}

static void DeliverAscii(const char* text) {
    U16Char units[kMessageUnits];
    const int n = Widen(text, units, kMessageUnits - 1);
    units[n] = 0;
    Deliver(units, n);
}

void TraceMessage(const U16Char* text, const char* source, int line, int withEndLine) {
    char header[160];
    int h = snprintf(header, sizeof header,
                     "--- Unicode interface [%.60s line %d] pid = %d :", source ? source : "", line,
                     (int)getpid());
    if (h < 0) h = 0;
    if (h >= (int)sizeof header) h = (int)sizeof header - 1;

    U16Char message[kMessageUnits];
    int n = Widen(header, message, h);
    message[n++] = '\n';
    int limit = (withEndLine ? kTextLimitEndLine : kTextLimitNoEnd) - h;
    for (int i = 0; text && limit > 0 && text[i]; ++i, --limit) message[n++] = text[i];
    if (withEndLine) {
        message[n++] = '\n';
        n += Widen(kEndLine, message + n, kMessageUnits - 1 - n);
    }
    message[n] = 0;
    Deliver(message, n);
}

void TraceEnd(void) {
    DeliverAscii(kEndLine);
}

void TraceInternalError(const char* source, int line) {
    if (u16TraceLevel <= 0) return;
    U16Char text[16];
    Widen("Internal error", text, 15);
    text[14] = 0;
    TraceMessage(text, source, line, 1);
}

void TraceOutOfMemory(const char* function, const char* source, int line) {
    static const char kSuffix[] = " : malloc : Out of memory.";
    U16Char text[kFunctionNameUnits + sizeof kSuffix];
    int n = function ? Widen(function, text, kFunctionNameUnits) : 0;
    n += Widen(kSuffix, text + n, (int)sizeof kSuffix);
    text[n] = 0;
    if (u16TraceLevel > 0) {
        fputsU16(text, stderr);
        fputcU16('\n', stderr);
        TraceMessage(text, source, line, 1);
    }
    errno = ENOMEM;
}

void TraceFormatError(const U16Char* format, U16Char unit, const char* source, int line) {
    if (u16TraceLevel < 4) return;
    U16Char text[kFormatErrorUnits + 1];
    int n = Widen("Error in format string at or near '", text, kFormatErrorUnits);
    text[n++] = unit;
    n += Widen("':\n", text + n, kFormatErrorUnits - n);
    for (int i = 0; format && format[i] && n < kFormatErrorUnits; ++i) text[n++] = format[i];
    text[n] = 0;
    TraceMessage(text, source, line, 1);
}

void DumpBytes(const unsigned char* bytes, int count) {
    for (int offset = 0; bytes && offset < count; offset += 16) {
        const int k = count - offset < 16 ? count - offset : 16;
        U16Char line[80];
        for (int i = 0; i < 80; ++i) line[i] = ' ';
        static const char kHex[] = "0123456789abcdef";
        for (int j = 0; j < k; ++j) {
            const unsigned char b = bytes[offset + j];
            line[3 * j + 1] = (U16Char)kHex[b >> 4];
            line[3 * j + 2] = (U16Char)kHex[b & 0xF];
            line[50 + j] = (b <= 32 || b > 126) ? '.' : b;
        }
        line[49] = '|';
        line[50 + k] = '|';
        line[51 + k] = 0;
        Deliver(line, 51 + k);
    }
}

void DumpUnits(const U16Char* units, int count) {
    for (int offset = 0; units && offset < count; offset += 8) {
        const int k = count - offset < 8 ? count - offset : 8;
        U16Char line[64];
        for (int i = 0; i < 64; ++i) line[i] = ' ';
        static const char kHex[] = "0123456789abcdef";
        for (int j = 0; j < k; ++j) {
            const U16Char u = units[offset + j];
            for (int d = 0; d < 4; ++d)
                line[5 * j + 1 + d] = (U16Char)kHex[(u >> (12 - 4 * d)) & 0xF];
            line[43 + j] = (u < 32 || (u >= 127 && u <= 159)) ? '.' : u;
        }
        line[42] = '|';
        line[43 + k] = '|';
        line[44 + k] = 0;
        Deliver(line, 44 + k);
    }
}

void TraceInvalidUtf8(const Utf8Record* record, const U16Char* readStart, const U16Char* readEnd) {
    if (record) {
        int n = record->count;
        if (n < 0) n = 0;
        if (n > 4) n = 4;
        DumpBytes(record->bytes, n);
    }
    DeliverAscii("Characters previously read:");
    if (readStart && readEnd && readEnd > readStart) {
        if (readEnd - readStart > kInvalidContextUnits) readStart = readEnd - kInvalidContextUnits;
        DumpUnits(readStart, (int)(readEnd - readStart));
    }
}

int getVersionLibu16U16(U16Char* destination, int capacity) {
    if (destination == NULL || capacity <= 0) return 0;
    const char* from = strchr(kVersion, '0');
    if (from) {
        while (*from == '0') ++from;
    } else {
        from = kVersion;
    }
    for (int n = 0; n < capacity; ++n) {
        destination[n] = (unsigned char)from[n];
        if (from[n] == 0) return n;
    }
    return capacity;
}

/* Length of the part of the library's version before its second '.'. */
static size_t VersionPrefixLength(void) {
    const char* first = strchr(kVersion, '.');
    const char* second = first ? strchr(first + 1, '.') : NULL;
    return second ? (size_t)(second - kVersion) : strlen(kVersion);
}

int checkVersionLibu16U16(const char* callerVersion, int verbose) {
    const size_t prefix = VersionPrefixLength();
    int mismatch;
    if (callerVersion == NULL) {
        mismatch = 1;
    } else if (strncmp(callerVersion, kVersion, prefix + 1) != 0) {
        /* The '.' itself is compared too, so the minor number below is only
         * read from a caller string that reaches it. */
        mismatch = 1;
    } else {
        mismatch = strncmp(callerVersion + prefix + 1, kVersion + prefix + 1, 4) > 0;
    }
    if (u16TraceLevel > 4 || verbose || (u16TraceLevel > 0 && mismatch)) {
        if (mismatch) DeliverAscii("libtorvu16[..]: Wrong version.");
        char line[256];
        snprintf(line, sizeof line, "libtorvu16[..] version: %.80s [%.60s %d] pid = %d", kVersion,
                 "u16_aux", 109, (int)getpid());
        DeliverAscii(line);
    }
    return mismatch ? 4 : 0;
}

TraceSinkU16 setTraceLibu16U16(TraceSinkU16 sink, int level) {
    u16TraceLevel = level;
    if (sink) u16TraceSink = sink;
    return sink;
}

const U16Char* dbgAlignCheckStringU16(const U16Char* text) {
    static int reporting; /* a report of an unaligned sink text must not recurse */
    if (((uintptr_t)text & 1) == 0 || reporting) return text;
    reporting = 1;
    static const char kLead[] =
        "dbgAlignCheckStringU16(): ERROR: The following string is unaligned:\n";
    U16Char message[sizeof kLead + kAlignDumpUnits];
    int n = Widen(kLead, message, (int)sizeof kLead);
    /* Read unit by unit through memcpy (the address is odd) and stop at a
     * zero unit rather than read a fixed 80 bytes past a short string. */
    const unsigned char* p = (const unsigned char*)text;
    for (int i = 0; i < kAlignDumpUnits; ++i) {
        U16Char u;
        memcpy(&u, p + 2 * i, sizeof u);
        if (u == 0) break;
        message[n++] = u;
    }
    message[n] = 0;
    TraceMessage(message, "<unknown>", 0, 1);
    reporting = 0;
    return text;
}
