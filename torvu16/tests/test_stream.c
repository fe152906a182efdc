/* UTF-16 stream I/O on byte streams: results, stored units, what is left in
 * the stream, and the reports of invalid input. */
#define _GNU_SOURCE
#include <errno.h>
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

#include "capture.h"
#include "check.h"

static const char kEndLine[] = "--- Unicode interface ------ End of message ------";

/* A read stream over the given bytes (a real file, so fileno is known). */
static FILE* Input(const char* bytes, size_t n) {
    FILE* f = tmpfile();
    if (!f) {
        perror("tmpfile");
        return NULL;
    }
    fwrite(bytes, 1, n, f);
    rewind(f);
    return f;
}
#define INPUT(literal) Input(literal, sizeof(literal) - 1)

/* Everything written to f so far. */
static size_t Written(FILE* f, unsigned char* out, size_t capacity) {
    fflush(f);
    rewind(f);
    const size_t n = fread(out, 1, capacity, f);
    return n;
}

static const char* Header(int line, FILE* f) {
    static char text[128];
    snprintf(text, sizeof text,
             "--- Unicode interface [u16_get line %d] pid = PID :\n"
             "Invalid UTF-8 encountered by %s (fileno 0x%x)",
             line,
             line == 180   ? "fgetcU16"
             : line == 227 ? "fgetsU16"
                           : "freadU16",
             (unsigned)fileno(f));
    return text;
}

static void TestPut(void) {
    FILE* f = tmpfile();
    unsigned char out[64];
    CHECK_EQ_INT(fputcU16('a', f), 'a');
    CHECK_EQ_INT(fputcU16(0xE9, f), 0xE9);
    CHECK_EQ_INT(fputcU16(0xD83D, f), 0xD83D);   /* a lone surrogate: three bytes */
    CHECK_EQ_INT(fputcU16(0x10041, f), 0x10041); /* the unit is the low 16 bits */
    CHECK_EQ_INT(fputcU16(0, f), 0);
    const U16Char text[] = {'x', 0x20AC, '\n', 0};
    CHECK_EQ_INT(fputsU16(text, f), 3);
    const U16Char empty[] = {0};
    CHECK_EQ_INT(fputsU16(empty, f), 0);
    CHECK_EQ_INT(Written(f, out, sizeof out), 13);
    CHECK(memcmp(out,
                 "a\xC3\xA9\xED\xA0\xBD"
                 "A\0x\xE2\x82\xAC\n",
                 13) == 0);
    fclose(f);

    /* A stream that takes no bytes. */
    char none[4];
    FILE* r = fmemopen(none, sizeof none, "r");
    CHECK_EQ_INT(fputcU16('a', r), -1);
    CHECK_EQ_INT(fputsU16(text, r), -1);
    fclose(r);
    CHECK_EQ_INT(fputcU16('a', NULL), -1);
    CHECK_EQ_INT(fputsU16(text, NULL), -1);
}

/* Runs f with the standard stream fd redirected to a temporary file. */
static void TestStandardStreams(void) {
    FILE* file = tmpfile();
    fflush(stdout);
    const int saved = dup(1);
    dup2(fileno(file), 1);
    const U16Char text[] = {'h', 0xE9, 0};
    const int r1 = putsU16(text);
    const U16Char empty[] = {0};
    const int r2 = putsU16(empty);
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    CHECK_EQ_INT(r1, 3);
    CHECK_EQ_INT(r2, 1);
    unsigned char out[16];
    CHECK_EQ_INT(Written(file, out, sizeof out), 5);
    CHECK(memcmp(out, "h\xC3\xA9\n\n", 5) == 0);
    fclose(file);

    /* getsU16 drops the newline; an empty line is still a line. */
    FILE* in = INPUT("ab\xE2\x82\xAC\n\nlast");
    const int savedIn = dup(0);
    dup2(fileno(in), 0);
    clearerr(stdin);
    U16Char line[16];
    const U16Char first[] = {'a', 'b', 0x20AC, 0};
    CHECK(getsU16(line) == line);
    CHECK_UNITS(line, first, 4);
    CHECK(getsU16(line) == line);
    CHECK_EQ_INT(line[0], 0);
    CHECK(getsU16(line) == line); /* a last line without a newline */
    CHECK(line[0] == 'l' && line[3] == 't' && line[4] == 0);
    CHECK(getsU16(line) == NULL);
    dup2(savedIn, 0);
    close(savedIn);
    clearerr(stdin);
    fclose(in);
}

/* A write stream that accepts only the first `limit` bytes. */
static size_t sinkLimit, sinkTaken;
static ssize_t LimitedWrite(void* cookie, const char* bytes, size_t n) {
    (void)cookie;
    (void)bytes;
    size_t k = sinkLimit - sinkTaken < n ? sinkLimit - sinkTaken : n;
    sinkTaken += k;
    return k ? (ssize_t)k : -1;
}
static FILE* Limited(size_t limit) {
    sinkLimit = limit;
    sinkTaken = 0;
    cookie_io_functions_t io = {NULL, LimitedWrite, NULL, NULL};
    FILE* f = fopencookie(NULL, "w", io);
    setvbuf(f, NULL, _IONBF, 0);
    return f;
}

/* Failed writes: every call reports them, also once the stream's error flag is set, and
 * through a full buffer as well as unbuffered. */
static void TestFailingWrites(void) {
    const U16Char text[] = {'a', 0xE9, 'b', 0};
    FILE* f = Limited(0);
    CHECK_EQ_INT(fputsU16(text, f), -1);
    CHECK_EQ_INT(fputsU16(text, f), -1);
    fclose(f);

    static U16Char longText[2001];
    for (int i = 0; i < 2000; ++i) longText[i] = i % 2 ? 0x20AC : 'x';
    f = Limited(100);
    setvbuf(f, NULL, _IOFBF, 512);
    CHECK_EQ_INT(fputsU16(longText, f), -1);
    CHECK_EQ_INT(sinkTaken, 100);
    fclose(f);

    f = Limited(4000);
    setvbuf(f, NULL, _IOFBF, 512);
    CHECK_EQ_INT(fputsU16(longText, f), 2000);
    fclose(f);
    CHECK_EQ_INT(sinkTaken, 4000);
}

static void TestBlockWrite(void) {
    static U16Char euros[600];
    for (int i = 0; i < 600; ++i) euros[i] = 0x20AC;
    size_t bytes = 99;
    FILE* f = tmpfile();
    CHECK_EQ_INT(u16_fwriteU16(euros, 3, 200, f, &bytes), 200);
    CHECK_EQ_INT(bytes, 1800);
    static unsigned char out[2000];
    CHECK_EQ_INT(Written(f, out, sizeof out), 1800);
    CHECK(out[1797] == 0xE2 && out[1798] == 0x82 && out[1799] == 0xAC);
    fclose(f);

    f = tmpfile();
    CHECK_EQ_INT(u16_fwriteU16(euros, 1, 0, f, &bytes), 0);
    CHECK_EQ_INT(bytes, 0);
    CHECK_EQ_INT(u16_fwriteU16(euros, 0, 5, f, NULL), 0);
    fclose(f);

    /* Short writes count only the elements whose bytes all arrived. The first
     * flush comes at 507 bytes (169 units). */
    f = Limited(100);
    CHECK_EQ_INT(u16_fwriteU16(euros, 1, 600, f, &bytes), 33);
    CHECK_EQ_INT(bytes, 100);
    fclose(f);
    f = Limited(550); /* the second flush is cut at 43 of its bytes */
    CHECK_EQ_INT(u16_fwriteU16(euros, 1, 600, f, &bytes), 169 + 14);
    CHECK_EQ_INT(bytes, 550);
    fclose(f);
    f = Limited(550);
    CHECK_EQ_INT(u16_fwriteU16(euros, 10, 60, f, &bytes), 18);
    fclose(f);
    f = Limited(0);
    CHECK_EQ_INT(u16_fwriteU16(euros, 1, 5, f, &bytes), 0);
    CHECK_EQ_INT(bytes, 0);
    fclose(f);
    CHECK_EQ_INT(u16_fwriteU16(euros, 1, 5, NULL, &bytes), 0);
}

static void TestGetc(void) {
    FILE* f = INPUT("a\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD\xC0\x80");
    CHECK_EQ_INT(fgetcU16(f), 'a');
    CHECK_EQ_INT(fgetcU16(f), 0xE9);
    CHECK_EQ_INT(fgetcU16(f), 0x20AC);
    CHECK_EQ_INT(fgetcU16(f), 0xD83D);
    CHECK_EQ_INT(fgetcU16(f), 0);
    errno = EILSEQ;
    CHECK_EQ_INT(fgetcU16(f), -1);
    CHECK_EQ_INT(errno, 0); /* end of file clears a stale EILSEQ */
    fclose(f);

    /* A character one unit cannot hold: the replacement, reported. */
    f = INPUT("\xF0\x9F\x98\x80z");
    CaptureReset();
    CHECK_EQ_INT(fgetcU16(f), 0xFFFD);
    CHECK_EQ_INT(capturedCount, 3);
    CHECK_MESSAGE(0, Header(180, f));
    CHECK_MESSAGE(1, " f0 9f 98 80                                     |....|");
    CHECK_MESSAGE(2, kEndLine);
    CHECK_EQ_INT(fgetcU16(f), 'z');
    fclose(f);

    /* Invalid: the breaking byte is consumed too; nothing is pushed back. */
    f = INPUT(
        "\xC3\x28"
        "b\xFF"
        "c");
    CaptureReset();
    errno = 0;
    CHECK_EQ_INT(fgetcU16(f), -1);
    CHECK_EQ_INT(errno, EILSEQ);
    CHECK_EQ_INT(capturedCount, 3);
    CHECK_MESSAGE(0, Header(180, f));
    CHECK_MESSAGE(1, " c3 28                                           |.(|");
    CHECK_EQ_INT(fgetcU16(f), 'b');
    CHECK_EQ_INT(fgetcU16(f), -1);
    CHECK_EQ_INT(fgetcU16(f), 'c');
    fclose(f);

    /* End of file inside a sequence: -1, not EILSEQ, no report. */
    f = INPUT("\xE2\x82");
    CaptureReset();
    errno = 0;
    CHECK_EQ_INT(fgetcU16(f), -1);
    CHECK(errno != EILSEQ);
    CHECK_EQ_INT(capturedCount, 0);
    fclose(f);

    /* Values above 0x10FFFF are invalid; at level 0 nothing is reported. */
    setTraceLibu16U16(NULL, 0);
    f = INPUT("\xF4\x90\x80\x80");
    CaptureReset();
    CHECK_EQ_INT(fgetcU16(f), -1);
    CHECK_EQ_INT(errno, EILSEQ);
    CHECK_EQ_INT(capturedCount, 0);
    fclose(f);
    setTraceLibu16U16(NULL, 4);
    CHECK_EQ_INT(fgetcU16(NULL), -1);
}

static void TestGets(void) {
    U16Char line[8];
    FILE* f = INPUT("ab\ncdefghijkl\xF0\x9F\x98\x80");
    memsetU16(line, 0x7777, 8);
    CHECK(fgetsU16(line, 1, f) == line); /* only the terminator, nothing read */
    CHECK(line[0] == 0 && line[1] == 0x7777);
    CHECK(fgetsU16(line, 8, f) == line);
    const U16Char first[] = {'a', 'b', '\n', 0};
    CHECK_UNITS(line, first, 4);
    CHECK(fgetsU16(line, 8, f) == line); /* capacity - 1 units */
    CHECK(line[6] == 'i' && line[7] == 0);
    CHECK(fgetsU16(line, 2, f) == line);
    CHECK(line[0] == 'j' && line[1] == 0);
    CHECK(fgetsU16(line, 4, f) == line);
    CHECK(line[0] == 'k' && line[1] == 'l' && line[2] == 0xD83D && line[3] == 0);
    CHECK(fgetsU16(line, 8, f) == NULL); /* end of file, nothing stored */
    fclose(f);

    f = INPUT("\xF0\x9F\x98\x80!");
    CHECK(fgetsU16(line, 8, f) == line);
    CHECK(line[0] == 0xD83D && line[1] == 0xDE00 && line[2] == '!' && line[3] == 0);
    fclose(f);

    /* An invalid sequence ends the line with null; the units before stay and
     * the report shows them. */
    f = INPUT("Az\xC3(B\n");
    CaptureReset();
    CHECK(fgetsU16(line, 8, f) == NULL);
    CHECK(line[0] == 'A' && line[1] == 'z' && line[2] == 0);
    CHECK_EQ_INT(capturedCount, 5);
    CHECK_MESSAGE(0, Header(227, f));
    CHECK_MESSAGE(1, " c3 28                                           |.(|");
    CHECK_MESSAGE(2, "Characters previously read:");
    CHECK_MESSAGE(3, " 0041 007a                                |Az|");
    CHECK_MESSAGE(4, kEndLine);
    CHECK(fgetsU16(line, 8, f) == line); /* reading goes on after the sequence */
    CHECK(line[0] == 'B' && line[1] == '\n');
    fclose(f);

    /* The stream's error flag makes the result null. */
    char none[4];
    FILE* w = fmemopen(none, sizeof none, "w");
    CHECK(fgetsU16(line, 8, w) == NULL);
    fclose(w);
    CHECK(fgetsU16(line, 8, NULL) == NULL);
    CHECK(fgetsU16(line, 0, stdin) == NULL);
}

/* Lines over every stream buffer size from one byte up, and unbuffered: whole characters come
 * from the buffer where they lie in it and byte by byte where they cross its end, with the
 * same lines, results, stream positions and reports either way. */
enum { kLineCalls = 64 };

typedef struct LineRun {
    U16Char units[kLineCalls][70];
    int returned[kLineCalls];
    long position[kLineCalls];
    int reports;
} LineRun;

static const char kMixedLines[] =
    "plain ascii line\n"
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x82\xAC 10\n"
    "\xF0\x9F\x98\x80 pair\n"
    "over\xC0\x8Along\n"
    "bad \xC3(x\n"
    "\xE2\x82"
    "cut\n"
    "nul\0inside\n"
    "a line of ascii text that runs past several small stream buffers\n"
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E tail";

static void ReadLines(FILE* f, int capacity, LineRun* run) {
    CaptureReset();
    for (int i = 0; i < kLineCalls; ++i) {
        memsetU16(run->units[i], 0x7777, 70);
        run->returned[i] = fgetsU16(run->units[i], capacity, f) != NULL;
        run->position[i] = ftell(f);
    }
    run->reports = capturedCount;
}

static void TestLinesAcrossBuffers(void) {
    static const int kCapacities[] = {2, 3, 5, 8, 69};
    static LineRun reference, run;
    for (size_t c = 0; c < sizeof kCapacities / sizeof kCapacities[0]; ++c) {
        FILE* f = INPUT(kMixedLines);
        ReadLines(f, kCapacities[c], &reference);
        fclose(f);
        for (int size = 0; size <= 9; ++size) {
            f = INPUT(kMixedLines);
            setvbuf(f, NULL, size == 0 ? _IONBF : _IOFBF, (size_t)size);
            ReadLines(f, kCapacities[c], &run);
            fclose(f);
            CHECK(memcmp(&run, &reference, sizeof run) == 0);
        }
    }

    /* An overlong newline ends its line as the newline does. */
    FILE* f = INPUT("over\xC0\x8Along\n");
    U16Char line[16];
    const U16Char over[] = {'o', 'v', 'e', 'r', '\n', 0};
    CHECK(fgetsU16(line, 16, f) == line);
    CHECK_UNITS(line, over, 6);
    CHECK(fgetsU16(line, 16, f) == line && line[0] == 'l' && line[4] == '\n');
    fclose(f);

    /* A byte pushed back with a different value is read first, then the buffer. */
    f = INPUT("bc\n");
    CHECK_EQ_INT(ungetc('a', f), 'a');
    const U16Char abc[] = {'a', 'b', 'c', '\n', 0};
    CHECK(fgetsU16(line, 16, f) == line);
    CHECK_UNITS(line, abc, 5);
    fclose(f);
}

static void TestRead(void) {
    U16Char buffer[16];
    FILE* f = INPUT("abcdefg");
    CHECK_EQ_INT(freadU16(buffer, 2, 3, f), 3);
    CHECK(buffer[5] == 'f');
    CHECK_EQ_INT(freadU16(buffer, 2, 3, f), 0); /* one unit: no whole element */
    CHECK_EQ_INT(buffer[0], 'g');
    fclose(f);

    f = INPUT(
        "ab\xF0\x9F\x98\x80"
        "cd");
    CHECK_EQ_INT(freadU16(buffer, 1, 3, f), 3); /* the pair's first unit only */
    CHECK(buffer[2] == 0xD83D);
    CHECK_EQ_INT(freadU16(buffer, 1, 16, f), 2);
    CHECK(buffer[0] == 'c');
    CHECK_EQ_INT(freadU16(buffer, 0, 16, f), 0);
    fclose(f);

    f = INPUT("xy\x80z");
    CaptureReset();
    CHECK_EQ_INT(freadU16(buffer, 1, 16, f), 2);
    CHECK_EQ_INT(capturedCount, 5);
    CHECK_MESSAGE(0, Header(320, f));
    CHECK_MESSAGE(1, " 80                                              |.|");
    CHECK_MESSAGE(3, " 0078 0079                                |xy|");
    fclose(f);
}

static void TestWords(void) {
    U16Char word[8];
    /* Leading white space (any kind) is skipped; the ending one is consumed. */
    FILE* f = INPUT(
        " \t\xE3\x80\x80word1 ab\xE3\x80\x80"
        "c  toolongword");
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), 5);
    CHECK(word[4] == '1' && word[5] == 0);
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), 2);
    CHECK_EQ_INT(fgetcU16(f), 'c');
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), 7);
    CHECK(word[6] == 'g' && word[7] == 0);
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), 4); /* the rest: "word" */
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), -1);
    CHECK_EQ_INT(word[0], 0);
    fclose(f);

    /* Invalid bytes do not end the word: ASCII bytes as themselves, others
     * as the replacement; a white-space byte among them ends it. */
    f = INPUT("a\xC3(b\xE2\x82 next \x80");
    CaptureReset();
    CHECK_EQ_INT(fget_strU16(word, 8, f, 0xFFFD), -2);
    const U16Char expected[] = {'a', 0xFFFD, '(', 'b', 0xFFFD, 0xFFFD, 0};
    CHECK_UNITS(word, expected, 7);
    CHECK_EQ_INT(capturedCount, 0);
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), 4);
    CHECK_EQ_INT(fget_strU16(word, 8, f, '?'), -2);
    CHECK(word[0] == '?' && word[1] == 0);
    fclose(f);

    f = INPUT("word");
    CHECK_EQ_INT(fget_strU16(word, 1, f, '?'), 0);
    CHECK_EQ_INT(word[0], 0);
    CHECK_EQ_INT(fgetcU16(f), 'w');
    fclose(f);
    CHECK_EQ_INT(fget_strU16(word, 8, NULL, '?'), -1);
}

static void TestLines(void) {
    U16Char line[8];
    FILE* f = INPUT("ab\n\nlonger line\nx\xC3\n\xE2\x82z\n");
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), 3);
    CHECK(line[2] == '\n' && line[3] == 0);
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), 1);
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), 7);
    CHECK(line[6] == ' ');
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), 5);
    /* The newline that broke a sequence ends the line. */
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), -2);
    const U16Char broken[] = {'x', '?', '\n', 0};
    CHECK_UNITS(line, broken, 4);
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), -2);
    const U16Char cut[] = {'?', '?', 'z', '\n', 0};
    CHECK_UNITS(line, cut, 5);
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), -1);
    fclose(f);

    f = INPUT("last");
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), 4);
    CHECK_EQ_INT(fget_lineU16(line, 8, f, '?'), -1);
    fclose(f);
}

static int ReadInt(const char* text, int32_t* value, int* next) {
    FILE* f = Input(text, strlen(text));
    *value = 12345;
    const int r = fget_intU16(value, f);
    *next = fgetc(f);
    fclose(f);
    return r;
}

static void TestIntegers(void) {
    int32_t v;
    int next;
    CHECK_EQ_INT(ReadInt("  -12x", &v, &next), 0);
    CHECK_EQ_INT(v, -12);
    CHECK_EQ_INT(next, 'x');
    CHECK_EQ_INT(ReadInt("abc", &v, &next), -2);
    CHECK_EQ_INT(v, 'a');
    CHECK_EQ_INT(next, 'b');
    CHECK_EQ_INT(ReadInt("\xE3\x80\x80+42", &v, &next), 0);
    CHECK_EQ_INT(v, 42);
    CHECK_EQ_INT(next, EOF);
    CHECK_EQ_INT(ReadInt("-x", &v, &next), -2); /* after a sign: the raw byte */
    CHECK_EQ_INT(v, 'x');
    CHECK_EQ_INT(ReadInt("+ 5", &v, &next), -2);
    CHECK_EQ_INT(v, ' ');
    CHECK_EQ_INT(next, '5');
    CHECK_EQ_INT(ReadInt("\xC3\xA9", &v, &next), -2);
    CHECK_EQ_INT(v, 0xE9);
    CHECK_EQ_INT(ReadInt("   ", &v, &next), -1);
    CHECK_EQ_INT(v, 12345);
    CHECK_EQ_INT(ReadInt("-", &v, &next), -1);
    CHECK_EQ_INT(ReadInt("", &v, &next), -1);

    /* 32-bit limits, whatever the width of long. */
    errno = 0;
    CHECK_EQ_INT(ReadInt("2147483647 ", &v, &next), 0);
    CHECK_EQ_INT(v, INT32_MAX);
    CHECK_EQ_INT(ReadInt("2147483648", &v, &next), 1);
    CHECK_EQ_INT(v, INT32_MAX);
    CHECK_EQ_INT(errno, ERANGE);
    CHECK_EQ_INT(ReadInt("-2147483648", &v, &next), 0);
    CHECK_EQ_INT(v, INT32_MIN);
    CHECK_EQ_INT(errno, 0);
    CHECK_EQ_INT(ReadInt("-99999999999999999999999", &v, &next), 1);
    CHECK_EQ_INT(v, INT32_MIN);
    /* Long runs of digits: leading zeros count for nothing, and more digits
     * than fit saturate; the whole run is consumed. */
    CHECK_EQ_INT(ReadInt("000000000000000000000000000000000000000000007;", &v, &next), 0);
    CHECK_EQ_INT(v, 7);
    CHECK_EQ_INT(next, ';');
    CHECK_EQ_INT(ReadInt("1000000000000000000000000000000000000000000000000;", &v, &next), 1);
    CHECK_EQ_INT(v, INT32_MAX);
    CHECK_EQ_INT(next, ';');

    /* The second name reads the same way. */
    FILE* f = INPUT("7 -8");
    CHECK_EQ_INT(fget_longU16(&v, f), 0);
    CHECK_EQ_INT(v, 7);
    CHECK_EQ_INT(fget_longU16(&v, f), 0);
    CHECK_EQ_INT(v, -8);
    CHECK_EQ_INT(fget_longU16(&v, f), -1);
    fclose(f);
    CHECK_EQ_INT(fget_intU16(&v, NULL), -1);
}

int main(void) {
    setTraceLibu16U16(CaptureSink, 4);
    TestPut();
    TestStandardStreams();
    TestBlockWrite();
    TestFailingWrites();
    TestGetc();
    TestGets();
    TestLinesAcrossBuffers();
    TestRead();
    TestWords();
    TestLines();
    TestIntegers();
    return CHECK_SUMMARY();
}
