/*
 * Fuzz target of the formatted-output engine: any format string, any capacity,
 * in every output mode. The engine is compiled in so that its argument source
 * can be driven directly: every argument is fetched as the kind the engine
 * asks for, so formats that a C caller could not pass safely (a "%s" with an
 * int behind it) still run, and the engine's own memory use is what is tested.
 *
 * Input: byte 0 picks the mode and capacity, byte 1 seeds the argument values,
 * the rest is the format: each byte is a unit, except 0xF0 to 0xFF, which take
 * the next two bytes as one unit (so units above 0x78 and non-ASCII text occur).
 *
 * Invariants checked: buffer mode stores min(result, capacity - 1) units and a
 * terminator and never writes outside the buffer; buffer, counting and stream
 * modes agree on the result; a short buffer holds a prefix of the full output;
 * a stream that fills up takes no more bytes than it holds.
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../u16_print.c"

enum { kMaxUnits = 512, kMaxSpecs = 24, kArgUnits = 64 };

typedef struct FuzzSource {
    U16ArgSource base;
    uint32_t seed, state;
    int allowHuge; /* a million-unit width or precision, where padding is free */
    U16Char* text; /* target of "%s" and "%n" */
} FuzzSource;

static uint32_t NextRandom(FuzzSource* f) {
    f->state = f->state * 1103515245u + 12345u;
    return f->state >> 8;
}

static U16Arg FuzzNext(U16ArgSource* self, int kind) {
    static const int kInts[] = {0, 1, -1, 7, -42, 255, 65537, 0x7FFF, 1000, -1000, 100000, INT_MIN};
    static const int64_t kWide[] = {0, -1, 5, (1LL << 32) + 5, INT64_MAX, INT64_MIN};
    static const double kDoubles[] = {0.0,    -1.5, 3.14159,   1e300,     1e-300,     1e40,
                                      5e-324, -0.0, 1.0 / 0.0, 0.0 / 0.0, -1.0 / 0.0, 123456.789};
    FuzzSource* f = (FuzzSource*)self;
    const uint32_t r = NextRandom(f);
    U16Arg a;
    a.ll = 0;
    switch (kind) {
        case U16_ARG_INT:
            a.i =
                (f->allowHuge && r % 16 == 0) ? 1000000 : kInts[r % (sizeof kInts / sizeof *kInts)];
            break;
        case U16_ARG_INT64:
            a.ll = kWide[r % (sizeof kWide / sizeof *kWide)];
            break;
        case U16_ARG_DOUBLE:
            a.d = kDoubles[r % (sizeof kDoubles / sizeof *kDoubles)];
            break;
        case U16_ARG_POINTER:
            a.p = r % 8 == 0 ? NULL : f->text + 4 * (r % 4); /* 8-byte aligned for "%lln" */
            break;
        default:
            break;
    }
    return a;
}

static void FuzzRewind(U16ArgSource* self) {
    FuzzSource* f = (FuzzSource*)self;
    f->state = f->seed;
}

static void Reset(FuzzSource* f, U16Char* text, int allowHuge) {
    for (int i = 0; i < kArgUnits - 1; ++i) text[i] = (U16Char)('a' + i % 26);
    text[kArgUnits - 1] = 0;
    f->state = f->seed;
    f->allowHuge = allowHuge;
}

static void DiscardSink(const U16Char* text, int units) {
    (void)text;
    (void)units;
}

/* Keeps each input cheap: few specifications, no multi-megabyte precisions or stream widths. */
static int Affordable(const U16Char* format, long long limit) {
    int specs = 0;
    for (const U16Char* p = format; *p; ++p) {
        if (*p == '%' && ++specs > kMaxSpecs) return 0;
        if (*p >= '0' && *p <= '9') {
            long long v = 0;
            while (*p >= '0' && *p <= '9') {
                if (v <= INT_MAX) v = v * 10 + (*p - '0');
                ++p;
            }
            --p;
            if (v > limit && v <= INT_MAX) return 0;
        }
    }
    return 1;
}

static int Run(FILE* stream, U16Char* buffer, unsigned int* length, const U16Char* format,
               FuzzSource* f, U16Char* text, int allowHuge) {
    Reset(f, text, allowHuge);
    return FormatWith(stream, buffer, length, format, &f->base);
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const unsigned int kCapacities[] = {0, 1, 2, 3, 4, 7, 16, 100};
    static FILE* sink;
    if (size < 2) return 0;
    setTraceLibu16U16(DiscardSink, 4);

    U16Char format[kMaxUnits + 1];
    size_t n = 0;
    for (size_t i = 2; i < size && n < kMaxUnits; ++i) {
        if (data[i] >= 0xF0 && i + 2 < size) {
            format[n++] = (U16Char)(data[i + 1] | data[i + 2] << 8);
            i += 2;
        } else {
            format[n++] = data[i];
        }
    }
    format[n] = 0;

    const int streamMode = (data[0] & 3) == 1;
    if (!Affordable(format, streamMode ? 100000 : 1000000)) return 0;
    const unsigned int capacity = kCapacities[(data[0] >> 2) & 7];

    U16Char* text = malloc(kArgUnits * sizeof *text);
    FuzzSource f;
    f.base.next = FuzzNext;
    f.base.rewind = FuzzRewind;
    f.seed = data[1] * 2654435761u;
    f.text = text;

    /* Counting first: it is the reference for the other modes. */
    unsigned int zero = 0;
    const int counted = Run(NULL, NULL, &zero, format, &f, text, !streamMode);
    if (zero != 0) abort();

    U16Char* buffer = capacity ? malloc(capacity * sizeof *buffer) : NULL;
    U16Char dummy;
    unsigned int length = capacity;
    const int stored = Run(NULL, buffer ? buffer : &dummy, &length, format, &f, text, !streamMode);
    if (length != capacity || stored != counted) abort();
    if (capacity > 0) {
        size_t used = 0;
        while (used < capacity && buffer[used]) ++used;
        /* Zero units may come from "%c"; the terminator must lie within the capacity. */
        if (used >= capacity) abort();
        if (stored >= 0 && (size_t)stored < capacity && used > (size_t)stored) abort();
    }

    /* A roomy buffer holds the whole output; the short one must be its prefix. */
    if (counted >= 0 && counted < 100000) {
        U16Char* full = malloc(((size_t)counted + 1) * sizeof *full);
        unsigned int room = (unsigned int)counted + 1;
        if (Run(NULL, full, &room, format, &f, text, !streamMode) != counted) abort();
        if (full[counted] != 0) abort();
        if (capacity > 0) {
            const size_t k = (size_t)counted < capacity - 1 ? (size_t)counted : capacity - 1;
            if (memcmp(full, buffer, k * sizeof *full) != 0 || buffer[k] != 0) abort();
        }
        free(full);
    }

    if (streamMode) {
        if (!sink) sink = fopen("/dev/null", "w");
        if (sink) {
            unsigned int bytes = 0;
            const int written = Run(sink, NULL, &bytes, format, &f, text, 0);
            if (written != counted) abort();
            if (written >= 0 && bytes < (unsigned int)written) abort();
        }
        /* A stream that fills up: the whole output, or -1 with no more bytes than fit. */
        char small[16];
        FILE* tight = fmemopen(small, sizeof small, "w");
        if (tight) {
            setvbuf(tight, NULL, _IONBF, 0);
            unsigned int bytes = 0;
            const int written = Run(tight, NULL, &bytes, format, &f, text, 0);
            if (bytes > sizeof small || (written >= 0 && written != counted)) abort();
            fclose(tight);
        }
    }
    free(buffer);
    free(text);
    return 0;
}
