/* The library's frame: version and its check, the trace sink, the alignment
 * report, and the memory and character-class functions. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "capture.h"
#include "check.h"

static const char kLibraryVersion[] = "@(#) libtorvu16.0002.0023  May 26 2004 19:44:35";
static const char kVersionLine[] =
    "libtorvu16[..] version: @(#) libtorvu16.0002.0023  May 26 2004 19:44:35 [u16_aux 109] "
    "pid = PID";

static void TestGetVersion(void) {
    U16Char out[40], expected[40];
    u16lit("2.0023  May 26 2004 19:44:35", expected, 40);
    CHECK_EQ_INT(getVersionLibu16U16(out, 40), 28);
    CHECK_UNITS(out, expected, 29);
    /* Exactly the text: no room for the terminator, nothing written past. */
    memsetU16(out, 0x7777, 40);
    CHECK_EQ_INT(getVersionLibu16U16(out, 28), 28);
    CHECK_UNITS(out, expected, 28);
    CHECK(out[28] == 0x7777);
    CHECK_EQ_INT(getVersionLibu16U16(out, 29), 28);
    CHECK(out[28] == 0);
    memsetU16(out, 0x7777, 40);
    CHECK_EQ_INT(getVersionLibu16U16(out, 3), 3);
    CHECK(out[3] == 0x7777);
    CHECK_EQ_INT(getVersionLibu16U16(out, 0), 0);
    CHECK_EQ_INT(getVersionLibu16U16(NULL, 40), 0);
}

static int Check(const char* version, int verbose) {
    CaptureReset();
    return checkVersionLibu16U16(version, verbose);
}

/* The header's macros name the library it is built against: the loaded
 * library accepts the string, and its reported version carries the same
 * major and minor numbers. */
static void TestHeaderVersion(void) {
    CHECK(strcmp(TORVU16_VERSION_STRING, kLibraryVersion) == 0);
    setTraceLibu16U16(CaptureSink, 4);
    CHECK_EQ_INT(Check(TORVU16_VERSION_STRING, 0), 0);
    CHECK_EQ_INT(capturedCount, 0);
    U16Char out[40];
    char text[40];
    const int n = getVersionLibu16U16(out, 40);
    for (int i = 0; i <= n && i < 40; ++i) text[i] = (char)out[i];
    int major = -1, minor = -1;
    CHECK_EQ_INT(sscanf(text, "%d.%d", &major, &minor), 2);
    CHECK_EQ_INT(major, TORVU16_VERSION_MAJOR);
    CHECK_EQ_INT(minor, TORVU16_VERSION_MINOR);
}

static void TestCheckVersion(void) {
    setTraceLibu16U16(CaptureSink, 4);
    /* A newer minor number than the library's: the library is too old. */
    CHECK_EQ_INT(Check("@(#) libtorvu16.0002.0024  May 26 2004 19:44:35", 0), 4);
    CHECK_EQ_INT(capturedCount, 2);
    CHECK_MESSAGE(0, "libtorvu16[..]: Wrong version.");
    CHECK_MESSAGE(1, kVersionLine);
    /* An older or equal minor number is fine and quiet at level 4; the build
     * date does not take part. */
    CHECK_EQ_INT(Check("@(#) libtorvu16.0002.0001  May 26 2004 19:44:35", 0), 0);
    CHECK_EQ_INT(capturedCount, 0);
    CHECK_EQ_INT(Check("@(#) libtorvu16.0002.0023  Jan  1 2030 00:00:00", 0), 0);
    CHECK_EQ_INT(Check(kLibraryVersion, 0), 0);
    CHECK_EQ_INT(capturedCount, 0);
    /* Any difference before the minor number is a mismatch, older or not. */
    CHECK_EQ_INT(Check("@(#) libtorvu16.0001.0023  May 26 2004 19:44:35", 0), 4);
    CHECK_EQ_INT(Check("@(#) libtorvu17.0002.0023", 0), 4);
    CHECK_EQ_INT(Check("@(#) libtorvu16.0002", 0), 4); /* cut before the minor */
    CHECK_EQ_INT(Check("", 0), 4);
    CHECK_EQ_INT(Check(NULL, 0), 4);
    /* Verbose: the version line alone. */
    CHECK_EQ_INT(Check(kLibraryVersion, 1), 0);
    CHECK_EQ_INT(capturedCount, 1);
    CHECK_MESSAGE(0, kVersionLine);
    /* Above level 4 always; at level 0 a mismatch is silent but returned. */
    setTraceLibu16U16(NULL, 5);
    CHECK_EQ_INT(Check(kLibraryVersion, 0), 0);
    CHECK_EQ_INT(capturedCount, 1);
    setTraceLibu16U16(NULL, 0);
    CHECK_EQ_INT(Check("@(#) libtorvu16.0002.0099", 0), 4);
    CHECK_EQ_INT(capturedCount, 0);
    CHECK_EQ_INT(Check(kLibraryVersion, 1), 0);
    CHECK_EQ_INT(capturedCount, 1);
    setTraceLibu16U16(NULL, 4);
}

static void OtherSink(const U16Char* text, int units) {
    (void)text;
    (void)units;
}

static void TestSetTrace(void) {
    CHECK(setTraceLibu16U16(CaptureSink, 4) == CaptureSink);
    /* A null sink keeps the installed one but still sets the level. */
    CHECK(setTraceLibu16U16(NULL, 9) == NULL);
    CHECK_EQ_INT(Check(kLibraryVersion, 0), 0);
    CHECK_EQ_INT(capturedCount, 1);
    CHECK(setTraceLibu16U16(OtherSink, 9) == OtherSink);
    CHECK_EQ_INT(Check(kLibraryVersion, 0), 0);
    CHECK_EQ_INT(capturedCount, 0);
    setTraceLibu16U16(CaptureSink, 4);
}

static void TestAlignmentReport(void) {
    /* A UTF-16 string placed at an odd address. */
    static union {
        U16Char units[64];
        unsigned char bytes[128];
    } storage;
    const char* text = "Unaligned";
    memset(storage.bytes, 0, sizeof storage.bytes);
    for (size_t i = 0; text[i]; ++i) storage.bytes[1 + 2 * i] = (unsigned char)text[i];
    const U16Char* odd = (const U16Char*)(storage.bytes + 1);

    CaptureReset();
    CHECK(dbgAlignCheckStringU16(odd) == odd);
    CHECK_EQ_INT(capturedCount, 1);
    CHECK_MESSAGE(0,
                  "--- Unicode interface [<unknown> line 0] pid = PID :\n"
                  "dbgAlignCheckStringU16(): ERROR: The following string is unaligned:\n"
                  "Unaligned\n"
                  "--- Unicode interface ------ End of message ------");
    /* At most 40 units of a long string are shown. */
    for (int i = 0; i < 60; ++i) storage.bytes[1 + 2 * i] = (unsigned char)('a' + i % 26);
    CaptureReset();
    dbgAlignCheckStringU16(odd);
    const char* shown = strstr(CapturedText(0), "unaligned:\n");
    CHECK(shown != NULL &&
          strncmp(shown + 11, "abcdefghijklmnopqrstuvwxyzabcdefghijklmn\n", 41) == 0);
    /* Aligned and null pointers pass silently. */
    CaptureReset();
    CHECK(dbgAlignCheckStringU16(storage.units) == storage.units);
    CHECK(dbgAlignCheckStringU16(NULL) == NULL);
    CHECK_EQ_INT(capturedCount, 0);
}

static void TestMemory(void) {
    const U16Char a[] = {1, 0x8000, 3};
    const U16Char b[] = {1, 0x0001, 3};
    /* Units compare unsigned: 0x8000 is above 1, not negative. */
    CHECK(memcmpU16(a, b, 3) > 0);
    CHECK_EQ_INT(memcmpU16(a, b, 3), 0x7FFF);
    CHECK(memcmpU16(b, a, 3) < 0);
    CHECK_EQ_INT(memcmpU16(a, b, 1), 0);
    CHECK_EQ_INT(memcmpU16(a, b, 0), 0);

    const U16Char s[] = {'x', 'A', 0xFFFF, 'A'};
    CHECK(memchrU16(s, 'A', 4) == s + 1);
    CHECK(memchrU16(s, 0x10041, 4) == s + 1); /* only the low 16 bits count */
    CHECK(memchrU16(s, -1, 4) == s + 2);
    CHECK(memchrU16(s, 'A', 1) == NULL);
    CHECK(memchrU16(s, 'z', 4) == NULL);

    U16Char d[5] = {9, 9, 9, 9, 9};
    CHECK(memsetU16(d, 0x12345, 4) == d);
    CHECK(d[0] == 0x2345 && d[3] == 0x2345 && d[4] == 9);
    CHECK(memsetU16(d, 0, 0) == d && d[0] == 0x2345);
}

static void TestCharacterClasses(void) {
    static const int kSpaces[] = {9,      10,     11,     12,     13,     28,     29,
                                  30,     31,     32,     0x85,   0xA0,   0x1680, 0x2000,
                                  0x2005, 0x200A, 0x200B, 0x2028, 0x2029, 0x202F, 0x3000};
    static const int kNotSpaces[] = {-1,     0,      8,      14,     27,     33,     'a',
                                     0x84,   0x86,   0x9F,   0xA1,   0x167F, 0x1681, 0x1FFF,
                                     0x200C, 0x2027, 0x202A, 0x202E, 0x2030, 0x205F, 0x2FFF,
                                     0x3001, 0xFEFF, 0xFFFF, 0x10020};
    for (size_t i = 0; i < sizeof kSpaces / sizeof kSpaces[0]; ++i) CHECK(isspaceU16(kSpaces[i]));
    for (size_t i = 0; i < sizeof kNotSpaces / sizeof kNotSpaces[0]; ++i)
        CHECK(!isspaceU16(kNotSpaces[i]));

    int hex = 0;
    for (int u = -1; u < 0x10000; ++u) hex += isxdigitU16(u) ? 1 : 0;
    CHECK_EQ_INT(hex, 22);
    CHECK(isxdigitU16('0') && isxdigitU16('9') && isxdigitU16('a') && isxdigitU16('F'));
    CHECK(!isxdigitU16('g') && !isxdigitU16('G') && !isxdigitU16(0xFF10)); /* fullwidth 0 */
}

int main(void) {
    TestGetVersion();
    TestCheckVersion();
    TestHeaderVersion();
    TestSetTrace();
    TestAlignmentReport();
    TestMemory();
    TestCharacterClasses();
    return CHECK_SUMMARY();
}
