/* The readers take whole characters from the stream's buffer where they lie
 * in it and go byte by byte where one crosses the buffer's end. Whatever the
 * buffer's size, and unbuffered, every call must give the same result, the
 * same units, the same errno, leave the stream at the same place and make
 * the same reports. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "capture.h"
#include "check.h"

enum { kCalls = 48, kUnits = 48 };

typedef enum Reader { kLine, kWord, kRead1, kRead2, kStandardLine, kMixed } Reader;

typedef struct Run {
    U16Char units[kCalls][kUnits];
    long result[kCalls];
    int error[kCalls];
    long position[kCalls];
    int reports;
} Run;

static const char kText[] =
    "plain ascii line\n"
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x82\xAC 10\n"
    "\xF0\x9F\x98\x80 pair\xF0\x9F\x98\x81\n"
    "over\xC0\x8Along\xC0\xA0word\n"
    "bad \xC3(x\n"
    "\xE2\x82"
    "cut \xF8\x88 \xF4\x90\x80\x80 big\n"
    "nul\0inside\n"
    "\xE3\x80\x80ideographic\xE3\x80\x80space\xC2\xA0nbsp\t tab\v\f\r\n"
    "a line of ascii text that runs past several small stream buffers\n"
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E tail \xED\xA0\xBD\xED\xB8\x80 \xE2";

static char path[64];

static FILE* Open(int bufferSize) {
    FILE* f = fopen(path, "rb");
    if (f == NULL) {
        perror(path);
        exit(1);
    }
    if (bufferSize >= 0) setvbuf(f, NULL, bufferSize == 0 ? _IONBF : _IOFBF, (size_t)bufferSize);
    return f;
}

/* getsU16 reads the standard input: the file is opened there. */
static FILE* OpenStandard(int bufferSize) {
    if (freopen(path, "rb", stdin) == NULL) {
        perror(path);
        exit(1);
    }
    if (bufferSize >= 0)
        setvbuf(stdin, NULL, bufferSize == 0 ? _IONBF : _IOFBF, (size_t)bufferSize);
    return stdin;
}

static long Call(Reader reader, int call, U16Char* units, int capacity, FILE* f) {
    if (reader == kMixed) reader = (Reader)(call % 4);
    switch (reader) {
        case kLine:
            return fget_lineU16(units, capacity, f, '?');
        case kWord:
            return fget_strU16(units, capacity, f, 0xFFFD);
        case kRead1:
            return (long)freadU16(units, 1, (size_t)capacity, f);
        case kRead2:
            return (long)freadU16(units, 2, (size_t)capacity / 2, f);
        case kStandardLine:
            return getsU16(units) == units;
        default:
            return -99;
    }
}

static void Read(Reader reader, int capacity, int bufferSize, Run* run) {
    FILE* f = reader == kStandardLine ? OpenStandard(bufferSize) : Open(bufferSize);
    CaptureReset();
    for (int i = 0; i < kCalls; ++i) {
        memsetU16(run->units[i], 0x7777, kUnits);
        errno = 0;
        run->result[i] = Call(reader, i, run->units[i], capacity, f);
        run->error[i] = errno;
        run->position[i] = ftell(f);
    }
    run->reports = capturedCount;
    if (reader != kStandardLine) fclose(f);
}

static void TestEveryReaderAcrossBuffers(void) {
    static const int kCapacities[] = {1, 2, 3, 5, 8, 17, kUnits};
    static const int kBufferSizes[] = {0, 1, 2, 3, 4, 5, 7, 9, 16, 4096};
    static Run reference, run;
    for (Reader reader = kLine; reader <= kMixed; ++reader) {
        for (size_t c = 0; c < sizeof kCapacities / sizeof kCapacities[0]; ++c) {
            /* getsU16 knows no capacity: only lines that fit are given to it. */
            if (reader == kStandardLine && kCapacities[c] != kUnits) continue;
            Read(reader, kCapacities[c], -1, &reference);
            for (size_t b = 0; b < sizeof kBufferSizes / sizeof kBufferSizes[0]; ++b) {
                Read(reader, kCapacities[c], kBufferSizes[b], &run);
                const int same = memcmp(&run, &reference, sizeof run) == 0;
                if (!same)
                    fprintf(stderr, "reader %d, capacity %d, buffer %d differs\n", (int)reader,
                            kCapacities[c], kBufferSizes[b]);
                CHECK(same);
            }
        }
    }
}

/* Spot checks of the reference itself, so that all runs agreeing on a wrong
 * answer is caught too. */
static void TestWhatTheReadersGive(void) {
    Run run;
    Read(kLine, kUnits, -1, &run);
    const U16Char second[] = {'G', 'r', 0xFC, 0xDF, 'e', ' ', 0x20AC, ' ', '1', '0', '\n', 0};
    CHECK_EQ_INT(run.result[1], 11);
    CHECK_UNITS(run.units[1], second, 12);
    const U16Char third[] = {0xD83D, 0xDE00, ' ', 'p', 'a', 'i', 'r', 0xD83D, 0xDE01, '\n', 0};
    CHECK_UNITS(run.units[2], third, 11);
    CHECK_EQ_INT(run.result[3], 5); /* the overlong newline ends the line */
    CHECK_EQ_INT(run.result[5], -2);
    CHECK_EQ_INT(run.error[5], EILSEQ);

    Read(kWord, 8, 3, &run);
    CHECK_EQ_INT(run.result[0], 5); /* "plain" */
    const U16Char words[] = {'G', 'r', 0xFC, 0xDF, 'e', 0};
    CHECK_UNITS(run.units[3], words, 6);
    CHECK_EQ_INT(run.result[4], 1);   /* the euro sign */
    CHECK_EQ_INT(run.units[6][1], 0xDE00); /* the pair before " pair" */

    Read(kRead1, 17, 5, &run);
    CHECK_EQ_INT(run.result[0], 17);
    CHECK_EQ_INT(run.position[0], 17);
    CHECK_EQ_INT(run.units[1][0], 'G');

    Read(kStandardLine, kUnits, 4, &run);
    CHECK_EQ_INT(run.result[0], 1);
    CHECK_EQ_INT(run.units[0][16], 0); /* the newline is not kept */
    CHECK_EQ_INT(run.units[3][4], 0);  /* "over", ended by the overlong newline */
}

int main(void) {
    strcpy(path, "/tmp/torvu16_readers_XXXXXX");
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, kText, sizeof kText - 1) != (ssize_t)(sizeof kText - 1)) {
        perror("mkstemp");
        return 1;
    }
    close(fd);
    setTraceLibu16U16(CaptureSink, 4);
    TestEveryReaderAcrossBuffers();
    TestWhatTheReadersGive();
    unlink(path);
    return CHECK_SUMMARY();
}
