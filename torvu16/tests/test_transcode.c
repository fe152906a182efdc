/* The converters' inner loops for each instruction set give the same bytes
 * and units as the unit-by-unit encoder and as each other, on text that
 * mixes every kind of unit and sequence in runs of every length; and the
 * library chooses AVX2 exactly where the processor has it and it is not
 * switched off. */
#include <stdlib.h>
#include <string.h>

#include "check.h"
#include "u16_internal.h"
#include "u16_transcode_paths.h"


enum { kMaxUnits = 300, kGuard = 64 };

static unsigned seed = 2026u;
static unsigned Next(unsigned bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % bound;
}

/* A unit of a kind that stays for a run: ASCII, two bytes, three bytes,
 * surrogates, or the edges between them. */
static U16Char RandomUnit(unsigned kind) {
    static const U16Char kEdges[] = {0, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xD800,
                                     0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFF};
    switch (kind) {
        case 0: return (U16Char)Next(0x80);
        case 1: return (U16Char)(0x80 + Next(0x780));
        case 2: return (U16Char)(0x800 + Next(0xF800));
        case 3: return (U16Char)(0xD800 + Next(0x800));
        default: return kEdges[Next(sizeof kEdges / sizeof kEdges[0])];
    }
}

static size_t RandomText(U16Char* units) {
    const size_t count = Next(kMaxUnits);
    size_t i = 0;
    while (i < count) {
        const unsigned kind = Next(5);
        for (size_t run = 1 + Next(40); run > 0 && i < count; --run) {
            /* Mostly the run's kind, sometimes any. */
            units[i++] = RandomUnit(Next(8) == 0 ? Next(5) : kind);
        }
    }
    return count;
}

static size_t Reference(const U16Char* units, size_t count, unsigned char* out) {
    size_t n = 0;
    for (size_t i = 0; i < count; ++i) n += (size_t)u16_EncodeUnit(units[i], out + n);
    return n;
}

typedef size_t (*EncodeFn)(const U16Char*, size_t, unsigned char*);

static void CheckEncoder(EncodeFn encode, const char* name) {
    static U16Char units[kMaxUnits];
    static unsigned char expected[3 * kMaxUnits], out[3 * kMaxUnits + kGuard];
    int wrong = 0;
    for (int round = 0; round < 20000; ++round) {
        const size_t count = RandomText(units);
        const size_t n = Reference(units, count, expected);
        memset(out, 0xA5, sizeof out);
        const size_t got = encode(units, count, out);
        int ok = got == n && memcmp(out, expected, n) == 0;
        /* Nothing is written beyond 3 * count bytes. */
        for (size_t k = 3 * count; k < sizeof out; ++k) ok = ok && out[k] == 0xA5;
        if (!ok && wrong++ < 3) fprintf(stderr, "%s: round %d, %zu units differ\n", name, round, count);
    }
    CHECK_EQ_INT(wrong, 0);
}

typedef void (*DecodeFn)(U16Char*, size_t, const unsigned char*, size_t, size_t*, size_t*);

/* UTF-8 made from random text, with a few bytes broken. */
static size_t RandomBytes(unsigned char* bytes) {
    static U16Char units[kMaxUnits];
    const size_t count = RandomText(units);
    size_t n = Reference(units, count, bytes);
    for (unsigned k = Next(3); k > 0 && n > 0; --k) bytes[Next((unsigned)n)] = (unsigned char)Next(256);
    if (Next(4) == 0) { /* a four-byte character the run helpers leave alone */
        memcpy(bytes + n, "\xF0\x9F\x98\x80", 4);
        n += 4;
    }
    return n;
}

static void CheckDecoders(DecodeFn a, DecodeFn b) {
    static unsigned char bytes[3 * kMaxUnits + 4];
    static U16Char outA[3 * kMaxUnits + 4], outB[3 * kMaxUnits + 4];
    int wrong = 0;
    for (int round = 0; round < 20000; ++round) {
        const size_t length = RandomBytes(bytes);
        const size_t room = Next(2) ? length : Next((unsigned)length + 1);
        size_t startA = Next((unsigned)length + 1), nA = 0;
        size_t startB = startA, nB = 0;
        memset(outA, 0x5A, sizeof outA);
        memset(outB, 0x5A, sizeof outB);
        a(outA, room, bytes, length, &startA, &nA);
        b(outB, room, bytes, length, &startB, &nB);
        if ((startA != startB || nA != nB || memcmp(outA, outB, sizeof outA) != 0) && wrong++ < 3)
            fprintf(stderr, "decoders differ in round %d\n", round);
    }
    CHECK_EQ_INT(wrong, 0);
}

int main(void) {
    CheckEncoder(u16_EncodeUnits_baseline, "baseline");
    CheckEncoder(u16_EncodeUnits, "chosen");
#if defined(__x86_64__)
    __builtin_cpu_init();
    const int avx2 = __builtin_cpu_supports("avx2");
    const char* wanted = getenv("TORVU16_SIMD");
    const int off = wanted != NULL && strcmp(wanted, "baseline") == 0;
    CHECK(strcmp(u16_InstructionSet(), avx2 && !off ? "avx2" : "baseline") == 0);
    if (avx2) {
        u16_PrepareBlockEncoder(); /* the chooser did not when switched off */
        CheckEncoder(u16_EncodeUnits_avx2, "avx2");
        CheckDecoders(u16_DecodeRun_baseline, u16_DecodeRun_avx2);
    } else {
        fprintf(stderr, "no AVX2 here: its inner loops are not run\n");
    }
#endif
    printf("instruction set: %s\n", u16_InstructionSet());
    return CHECK_SUMMARY();
}
