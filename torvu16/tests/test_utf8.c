/* Conversions between UTF-8 and UTF-16: the encoder's forms, the decoder's
 * accepted and rejected sequences, and every converter's capacity rules. */
#include <errno.h>
#include <string.h>

#include "check.h"

static const U16Char kSmiley[] = {0xD83D, 0xDE00, 0};
static const char kSmileyCesu[] = "\xED\xA0\xBD\xED\xB8\x80";
static const char kSmileyFour[] = "\xF0\x9F\x98\x80";

static void TestEncoderForms(void) {
    char out[32];
    /* One, two and three bytes at the boundaries; surrogates are not paired. */
    const U16Char units[] = {0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0};
    const char expected[] = "\x41\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF";
    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, units, sizeof out), 12);
    CHECK(memcmp(out, expected, 13) == 0);

    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, kSmiley, sizeof out), 6);
    CHECK(memcmp(out, kSmileyCesu, 7) == 0);
    CHECK_EQ_INT(U16s_To_Utf8s_U16(NULL, kSmiley, 0), 6);

    /* A zero unit inside a counted run is the byte 0. */
    const U16Char withZero[] = {0x61, 0, 0xE9};
    CHECK_EQ_INT(U16n_To_Utf8_U16(out, withZero, 3), 4);
    CHECK(memcmp(out, "a\0\xC3\xA9", 4) == 0);
    CHECK_EQ_INT(U16n_To_Utf8_U16(NULL, withZero, 3), -1);
    CHECK_EQ_INT(U16n_To_Utf8_U16(out, withZero, 0), 0);
}

static void TestDecoderForms(void) {
    U16Char out[8];
    /* The encoder's pair form and the four-byte form give the same pair. */
    CHECK_EQ_INT(Utf8s_To_U16(out, kSmileyCesu, 8), 2);
    CHECK_UNITS(out, kSmiley, 3);
    CHECK_EQ_INT(Utf8s_To_U16(out, kSmileyFour, 8), 2);
    CHECK_UNITS(out, kSmiley, 3);

    /* Overlong forms and encoded surrogates are taken as they come. */
    const U16Char overlong[] = {0x41, 0, 0x42, 0x2F, 0xD800, 0};
    CHECK_EQ_INT(Utf8s_To_U16(out,
                              "A\xC0\x80"
                              "B\xE0\x80\xAF\xED\xA0\x80",
                              8),
                 5);
    CHECK_UNITS(out, overlong, 6);

    /* The highest character and one past it. */
    const U16Char highest[] = {0xDBFF, 0xDFFF, 0};
    CHECK_EQ_INT(Utf8s_To_U16(out, "\xF4\x8F\xBF\xBF", 8), 2);
    CHECK_UNITS(out, highest, 3);
    errno = 0;
    CHECK_EQ_INT(Utf8s_To_U16(out, "\xF4\x90\x80\x80", 8), -1);
    CHECK_EQ_INT(errno, EILSEQ);

    /* Lone continuation bytes, 0xF8-0xFF leads, cut sequences (the source's
     * terminator inside a sequence must not be passed). */
    static const char* const kInvalid[] = {"\x80", "\xBF",     "\xF8\x88\x80\x80\x80", "\xFF",
                                           "\xC3", "\xE2\x82", "\xF0\x9F\x98",         "\xC3\x28"};
    for (size_t i = 0; i < sizeof kInvalid / sizeof kInvalid[0]; ++i) {
        errno = 0;
        CHECK_EQ_INT(Utf8s_To_U16(out, kInvalid[i], 8), -1);
        CHECK_EQ_INT(errno, EILSEQ);
    }
    /* Units stored before the invalid sequence stay. */
    out[0] = out[1] = 0x7777;
    CHECK_EQ_INT(Utf8s_To_U16(out, "ab\x80", 8), -1);
    CHECK(out[0] == 'a' && out[1] == 'b');
}

static void TestUtf8sCapacity(void) {
    U16Char out[8];
    memsetU16(out, 0x7777, 8);
    /* Full: the capacity, unterminated. */
    CHECK_EQ_INT(Utf8s_To_U16(out, "abc", 3), 3);
    CHECK(out[2] == 'c' && out[3] == 0x7777);
    /* One unit short of the terminator fits the text exactly. */
    CHECK_EQ_INT(Utf8s_To_U16(out, "abc", 4), 3);
    CHECK(out[3] == 0);
    /* A pair that does not fit keeps its first unit. */
    memsetU16(out, 0x7777, 8);
    CHECK_EQ_INT(Utf8s_To_U16(out, "a\xF0\x9F\x98\x80", 2), 2);
    CHECK(out[1] == 0xD83D && out[2] == 0x7777);
    /* Counting only: capacity ignored. */
    CHECK_EQ_INT(Utf8s_To_U16(NULL, "a\xF0\x9F\x98\x80\xC3\xA9", 0), 4);
    CHECK_EQ_INT(Utf8s_To_U16(out, "abc", 0), 0);
    CHECK(out[0] == 'a'); /* nothing written */
}

static void TestUtf8n(void) {
    U16Char out[16];
    int invalid = 99;
    const U16Char replaced[] = {'A', 0xFFFD, '(', 'B'};
    CHECK_EQ_INT(Utf8n_To_U16(out, 16, "\x41\xC3\x28\x42", 4, &invalid, 0xFFFD), 4);
    CHECK_EQ_INT(invalid, 1);
    CHECK_UNITS(out, replaced, 4);

    /* Resuming after the lead byte: an invalid lead and its would-be
     * continuation bytes are each replaced. */
    CHECK_EQ_INT(Utf8n_To_U16(out, 16, "\xF8\x80x", 3, &invalid, '?'), 3);
    CHECK_EQ_INT(invalid, 2);
    CHECK(out[0] == '?' && out[1] == '?' && out[2] == 'x');

    /* Without a counter: 0 stored in place, EILSEQ, result 0. */
    memsetU16(out, 0x7777, 16);
    errno = 0;
    CHECK_EQ_INT(Utf8n_To_U16(out, 16, "ab\xC3", 3, NULL, 0xFFFD), 0);
    CHECK_EQ_INT(errno, EILSEQ);
    CHECK(out[0] == 'a' && out[1] == 'b' && out[2] == 0);

    /* A sequence must end within the given length, even if the bytes after
     * it would complete it. */
    CHECK_EQ_INT(Utf8n_To_U16(out, 16, "\xC3\xA9", 1, &invalid, '?'), 1);
    CHECK_EQ_INT(invalid, 1);
    CHECK(out[0] == '?');

    /* Given length: zero bytes are characters and no terminator is added. */
    memsetU16(out, 0x7777, 16);
    CHECK_EQ_INT(Utf8n_To_U16(out, 16, "a\0b", 3, NULL, 0), 3);
    CHECK(out[0] == 'a' && out[1] == 0 && out[2] == 'b' && out[3] == 0x7777);
    /* Zero-terminated: the zero unit is stored and counted. */
    CHECK_EQ_INT(Utf8n_To_U16(out, 16, "ab", 0xFFFFFFFFu, NULL, 0), 3);
    CHECK(out[2] == 0);

    /* Capacity used up before a character: ERANGE, result 0. */
    errno = 0;
    CHECK_EQ_INT(Utf8n_To_U16(out, 2, "abc", 3, NULL, 0), 0);
    CHECK_EQ_INT(errno, ERANGE);
    CHECK_EQ_INT(Utf8n_To_U16(out, 2, "ab", 0xFFFFFFFFu, NULL, 0), 0);
    CHECK_EQ_INT(Utf8n_To_U16(out, 3, "ab", 0xFFFFFFFFu, NULL, 0), 3);
    /* Exactly full at the end of a counted source is success. */
    CHECK_EQ_INT(Utf8n_To_U16(out, 2, "ab", 2, NULL, 0), 2);
    /* A pair never goes in half. */
    errno = 0;
    CHECK_EQ_INT(Utf8n_To_U16(out, 2, "a\xF0\x9F\x98\x80", 5, NULL, 0), 0);
    CHECK_EQ_INT(errno, ERANGE);
    CHECK_EQ_INT(Utf8n_To_U16(out, 3, "a\xF0\x9F\x98\x80", 5, NULL, 0), 3);
    CHECK(out[1] == 0xD83D && out[2] == 0xDE00);

    /* Counting: capacity 0 or no destination; the counter still counts. */
    CHECK_EQ_INT(Utf8n_To_U16(NULL, 5, "a\xF0\x9F\x98\x80\x80", 6, &invalid, 0), 4);
    CHECK_EQ_INT(invalid, 1);
    CHECK_EQ_INT(Utf8n_To_U16(out, 0, "xyz", 0xFFFFFFFFu, NULL, 0), 4);
    CHECK_EQ_INT(Utf8n_To_U16(NULL, 0, "\x80", 1, NULL, 0), 0);
    CHECK_EQ_INT(Utf8n_To_U16(out, 4, "", 0, &invalid, 0), 0);
    CHECK_EQ_INT(invalid, 0); /* reset at the start */
}

static void TestU16sToUtf8sCapacity(void) {
    char out[16];
    const U16Char text[] = {'a', 0xE9, 0x20AC, 0}; /* 1 + 2 + 3 bytes */
    memset(out, 0x55, sizeof out);
    /* The next unit does not fit: a zero byte in its place. */
    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, text, 5), 3);
    CHECK(out[3] == 0 && out[4] == 0x55);
    /* Exactly the capacity used: no terminator. */
    memset(out, 0x55, sizeof out);
    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, text, 6), 6);
    CHECK(out[6] == 0x55);
    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, text, 7), 6);
    CHECK(out[6] == 0);
    memset(out, 0x55, sizeof out);
    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, text, 2), 1);
    CHECK(out[1] == 0);
    CHECK_EQ_INT(U16s_To_Utf8s_U16(out, text, 0), 0);
}

static void TestU16nToUtf8n(void) {
    char out[16];
    const U16Char text[] = {'a', 0xE9, 0, 'b', 0};
    /* Counting; with the zero-terminated count the terminator's byte counts. */
    CHECK_EQ_INT(U16n_To_Utf8n_U16(NULL, 0, text, 0xFFFFFFFFu), 4);
    CHECK_EQ_INT(U16n_To_Utf8n_U16(out, 0, text, 4), 5);
    /* Zero-terminated: the zero byte is stored and counted. */
    memset(out, 0x55, sizeof out);
    CHECK_EQ_INT(U16n_To_Utf8n_U16(out, 16, text, 0xFFFFFFFFu), 4);
    CHECK(memcmp(out, "a\xC3\xA9\0", 4) == 0 && out[4] == 0x55);
    /* Given count: zero units pass, no terminator is added. */
    memset(out, 0x55, sizeof out);
    CHECK_EQ_INT(U16n_To_Utf8n_U16(out, 16, text, 4), 5);
    CHECK(memcmp(out, "a\xC3\xA9\0b", 5) == 0 && out[5] == 0x55);
    /* A unit that does not fit, or no room at all: ERANGE, 0. */
    errno = 0;
    CHECK_EQ_INT(U16n_To_Utf8n_U16(out, 2, text, 2), 0);
    CHECK_EQ_INT(errno, ERANGE);
    errno = 0;
    CHECK_EQ_INT(U16n_To_Utf8n_U16(out, 3, text, 0xFFFFFFFFu), 0);
    CHECK_EQ_INT(errno, ERANGE);
    CHECK_EQ_INT(U16n_To_Utf8n_U16(out, 3, text, 2), 3);
}

static void TestRoundTripEveryUnit(void) {
    /* Every unit, surrogates and zero included, reads back unit for unit. */
    static U16Char units[0x10000];
    static char bytes[3 * 0x10000];
    static U16Char back[0x10000];
    for (int i = 0; i < 0x10000; ++i) units[i] = (U16Char)i;
    const int n = U16n_To_Utf8_U16(bytes, units, 0x10000);
    CHECK_EQ_INT(n, 0x80 + 2 * 0x780 + 3 * 0xF800);
    CHECK_EQ_INT(Utf8n_To_U16(back, 0x10000, bytes, (unsigned)n, NULL, 0), 0x10000);
    CHECK(memcmpU16(units, back, 0x10000) == 0);
}

/* One character at every position of a long ASCII line, so that it falls at each place of
 * the converters' blocks of ASCII: the bytes around it stay one each, the character keeps its
 * form, both directions agree, and a destination one short is refused. */
static void TestCharacterInAsciiRuns(void) {
    static const struct {
        U16Char units[2];
        int count;
        const char* bytes;
    } kCharacters[] = {{{0xE9}, 1, "\xC3\xA9"},
                       {{0x20AC}, 1, "\xE2\x82\xAC"},
                       {{0xD83D, 0xDE00}, 2, "\xED\xA0\xBD\xED\xB8\x80"},
                       {{0xDC00}, 1, "\xED\xB0\x80"}};
    enum { kLine = 48 };
    for (size_t c = 0; c < sizeof kCharacters / sizeof kCharacters[0]; ++c) {
        const int count = kCharacters[c].count;
        const size_t length = strlen(kCharacters[c].bytes);
        for (int at = 0; at <= kLine; ++at) {
            U16Char units[kLine + 2], back[kLine + 3];
            char expected[kLine + 8], out[kLine + 8];
            for (int i = 0; i < kLine; ++i) units[i] = (U16Char)('a' + i % 26);
            memmove(units + at + count, units + at, (size_t)(kLine - at) * sizeof(U16Char));
            memcpy(units + at, kCharacters[c].units, (size_t)count * sizeof(U16Char));
            const int total = kLine + count;
            for (int i = 0; i < at; ++i) expected[i] = (char)units[i];
            memcpy(expected + at, kCharacters[c].bytes, length);
            for (int i = at + count; i < total; ++i)
                expected[length + (size_t)i - count] = (char)units[i];
            const int bytes = kLine + (int)length;

            memset(out, 0x5A, sizeof out);
            CHECK_EQ_INT(U16n_To_Utf8n_U16(out, bytes, units, (unsigned)total), bytes);
            CHECK(memcmp(out, expected, (size_t)bytes) == 0);
            CHECK_EQ_INT(U16n_To_Utf8_U16(out, units, total), bytes);
            errno = 0;
            CHECK_EQ_INT(U16n_To_Utf8n_U16(out, bytes - 1, units, (unsigned)total), 0);
            CHECK_EQ_INT(errno, ERANGE);

            memsetU16(back, 0x7777, kLine + 3);
            CHECK_EQ_INT(Utf8n_To_U16(back, total, expected, (unsigned)bytes, NULL, 0), total);
            CHECK_UNITS(back, units, (size_t)total);
            CHECK_EQ_INT(back[total], 0x7777);
            errno = 0;
            CHECK_EQ_INT(Utf8n_To_U16(back, total - 1, expected, (unsigned)bytes, NULL, 0), 0);
            CHECK_EQ_INT(errno, ERANGE);
        }
    }
}

int main(void) {
    TestEncoderForms();
    TestDecoderForms();
    TestUtf8sCapacity();
    TestUtf8n();
    TestU16sToUtf8sCapacity();
    TestU16nToUtf8n();
    TestRoundTripEveryUnit();
    TestCharacterInAsciiRuns();
    return CHECK_SUMMARY();
}
