/* u16_transcode_avx2: the converters' inner loops with AVX2, used where the
 * processor has it. Built with -mavx2 on x86-64; elsewhere empty. */
#if defined(__x86_64__)
#if !defined(__AVX2__)
#error "u16_transcode_avx2.c is compiled with -mavx2"
#endif
#define U16_TRANSCODE_NAME(name) name##_avx2
#include "u16_transcode.h"
#include "u16_transcode_paths.h"

unsigned char u16_PairShuffles[256][16];

void u16_PrepareBlockEncoder(void) {
    for (int mask = 0; mask < 256; ++mask) {
        int k = 0;
        for (int lane = 0; lane < 8; ++lane) {
            u16_PairShuffles[mask][k++] = (unsigned char)(2 * lane);
            if (!(mask & (1 << lane))) u16_PairShuffles[mask][k++] = (unsigned char)(2 * lane + 1);
        }
        while (k < 16) u16_PairShuffles[mask][k++] = 0x80; /* zero */
    }
}
#endif
