/*
 * u16_simd: chooses the converters' inner loops once, when the library is
 * loaded: AVX2 where the processor has it, else the baseline. The
 * environment variable TORVU16_SIMD=baseline keeps the baseline (tests run
 * both; results are the same by construction and by test).
 */
#include <stdlib.h>
#include <string.h>

#include "u16_internal.h"
#include "u16_transcode_paths.h"


typedef size_t (*EncodeUnitsFn)(const U16Char*, size_t, unsigned char*);
typedef void (*DecodeRunFn)(U16Char*, size_t, const unsigned char*, size_t, size_t*, size_t*);

static EncodeUnitsFn encodeUnits = u16_EncodeUnits_baseline;
static DecodeRunFn decodeRun = u16_DecodeRun_baseline;
static const char* instructionSet = "baseline";

__attribute__((constructor)) static void ChooseInstructionSet(void) {
    const char* wanted = getenv("TORVU16_SIMD");
    if (wanted != NULL && strcmp(wanted, "baseline") == 0) return;
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) {
        u16_PrepareBlockEncoder();
        encodeUnits = u16_EncodeUnits_avx2;
        decodeRun = u16_DecodeRun_avx2;
        instructionSet = "avx2";
    }
#endif
}

const char* u16_InstructionSet(void) {
    return instructionSet;
}

size_t u16_EncodeUnits(const U16Char* units, size_t count, unsigned char* out) {
    return encodeUnits(units, count, out);
}

void u16_DecodeRun(U16Char* destination, size_t room, const unsigned char* s, size_t length,
                   size_t* i, size_t* n) {
    decodeRun(destination, room, s, length, i, n);
}
