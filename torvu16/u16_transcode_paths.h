/*
 * The converters' inner loops of each instruction set, as u16_transcode.c
 * and u16_transcode_avx2.c define them: declared once here for the code that
 * chooses between them at load time and for the test that holds them to
 * each other, so a changed signature cannot link unnoticed.
 */
#ifndef TORVU16_TRANSCODE_PATHS_H
#define TORVU16_TRANSCODE_PATHS_H

#include "u16_internal.h"

size_t u16_EncodeUnits_baseline(const U16Char* units, size_t count, unsigned char* out);
void u16_DecodeRun_baseline(U16Char* destination, size_t room, const unsigned char* s,
                            size_t length, size_t* i, size_t* n);
#if defined(__x86_64__)
size_t u16_EncodeUnits_avx2(const U16Char* units, size_t count, unsigned char* out);
void u16_DecodeRun_avx2(U16Char* destination, size_t room, const unsigned char* s, size_t length,
                        size_t* i, size_t* n);
void u16_PrepareBlockEncoder(void);
#endif

#endif /* TORVU16_TRANSCODE_PATHS_H */
