/* The frame's internal helpers: message framing and its cuts, the dumps, the
 * out-of-memory and format-error reports, and the character decoder. */
#include <errno.h>
#include <string.h>

#include "capture.h"
#include "check.h"
#include "u16_internal.h"

static const char kEndLine[] = "--- Unicode interface ------ End of message ------";

static U16Char* Repeat(U16Char* out, int n, U16Char unit) {
    for (int i = 0; i < n; ++i) out[i] = unit;
    out[n] = 0;
    return out;
}

static int HeaderLength(int i) {
    const char* text = CapturedText(i);
    const char* newline = strchr(text, '\n');
    return newline ? (int)(newline - text) : -1;
}

static void TestFraming(void) {
    U16Char text[32];
    CaptureReset();
    TraceMessage(u16lit("Something failed", text, 32), "u16_test", 42, 1);
    TraceMessage(text, "u16_test", 43, 0);
    TraceEnd();
    CHECK_EQ_INT(capturedCount, 3);
    CHECK_MESSAGE(0,
                  "--- Unicode interface [u16_test line 42] pid = PID :\nSomething failed\n"
                  "--- Unicode interface ------ End of message ------");
    CHECK_MESSAGE(1, "--- Unicode interface [u16_test line 43] pid = PID :\nSomething failed");
    CHECK_MESSAGE(2, kEndLine);
    CHECK_EQ_INT(capturedLength[2], 50);

    /* Long texts are cut so that header and text stay within 264 units
     * (with the end line) or 316 (without); the sink gets one whole call. */
    static U16Char longText[600];
    Repeat(longText, 599, 'x');
    CaptureReset();
    TraceMessage(longText, "u16_test", 1, 1);
    TraceMessage(longText, "u16_test", 1, 0);
    CHECK_EQ_INT(capturedCount, 2);
    CHECK_EQ_INT(capturedLength[0], 264 + 1 + 1 + 50);
    CHECK_EQ_INT(capturedLength[1], 316 + 1);
    CHECK(strcmp(CapturedText(0) + capturedLength[0] - 50, kEndLine) == 0);
    CHECK_EQ_INT(captured[1][capturedLength[1] - 1], 'x');

    /* The source name is cut to 60 characters; a null text frames nothing. */
    char source[80];
    memset(source, 's', 79);
    source[79] = 0;
    CaptureReset();
    TraceMessage(NULL, source, 7, 0);
    CHECK(strstr(CapturedText(0),
                 "[ssssssssssssssssssssssssssssssssssssssssssssssssssssssssssss "
                 "line 7]") != NULL);

    CaptureReset();
    u16TraceLevel = 0;
    TraceInternalError("u16_test", 5);
    CHECK_EQ_INT(capturedCount, 0);
    u16TraceLevel = 1;
    TraceInternalError("u16_test", 5);
    CHECK_MESSAGE(0,
                  "--- Unicode interface [u16_test line 5] pid = PID :\nInternal error\n"
                  "--- Unicode interface ------ End of message ------");
    u16TraceLevel = 4;
}

static void TestOutOfMemory(void) {
    CaptureReset();
    u16TraceLevel = 0;
    errno = 0;
    TraceOutOfMemory("vvfprintfU16", "u16_print", 642);
    CHECK_EQ_INT(errno, ENOMEM);
    CHECK_EQ_INT(capturedCount, 0);
    u16TraceLevel = 1;
    errno = 0;
    TraceOutOfMemory("vvfprintfU16", "u16_print", 642);
    CHECK_EQ_INT(errno, ENOMEM);
    CHECK_MESSAGE(0,
                  "--- Unicode interface [u16_print line 642] pid = PID :\n"
                  "vvfprintfU16 : malloc : Out of memory.\n"
                  "--- Unicode interface ------ End of message ------");
    char name[100];
    memset(name, 'f', 99);
    name[99] = 0;
    CaptureReset();
    TraceOutOfMemory(name, "u16_print", 1);
    const char* text = strchr(CapturedText(0), '\n') + 1;
    CHECK_EQ_INT(strstr(text, " : malloc") - text, 64);
    u16TraceLevel = 4;
}

static void TestFormatError(void) {
    U16Char format[200];
    CaptureReset();
    u16TraceLevel = 3;
    TraceFormatError(u16lit("%d %k", format, 200), 'k', "u16_print", 100);
    CHECK_EQ_INT(capturedCount, 0);
    u16TraceLevel = 4;
    TraceFormatError(format, 'k', "u16_print", 100);
    CHECK_MESSAGE(0,
                  "--- Unicode interface [u16_print line 100] pid = PID :\n"
                  "Error in format string at or near 'k':\n%d %k\n"
                  "--- Unicode interface ------ End of message ------");
    /* The text keeps at most 128 units of which the format gets the rest. */
    Repeat(format, 199, 'F');
    CaptureReset();
    TraceFormatError(format, '$', "u16_print", 2110);
    const int header = HeaderLength(0);
    CHECK_EQ_INT(capturedLength[0], header + 1 + 128 + 1 + 50);
    CHECK(strncmp(strchr(CapturedText(0), '\n') + 1, "Error in format string at or near '$':\nFFF",
                  42) == 0);
}

static void TestDumps(void) {
    unsigned char bytes[17];
    for (int i = 0; i < 17; ++i) bytes[i] = (unsigned char)(0x20 + i * 6);
    bytes[0] = 0;
    bytes[16] = 0x7F;
    CaptureReset();
    DumpBytes(bytes, 17);
    CHECK_EQ_INT(capturedCount, 2);
    CHECK_TEXT(CapturedText(0),
               " 00 26 2c 32 38 3e 44 4a 50 56 5c 62 68 6e 74 7a |.&,28>DJPV\\bhntz|");
    CHECK_EQ_INT(capturedLength[0], 67);
    CHECK_TEXT(CapturedText(1), " 7f                                              |.|");
    CaptureReset();
    DumpBytes(bytes, 0);
    CHECK_EQ_INT(capturedCount, 0);

    const U16Char units[] = {'A', 0x1F, 0x7F, 0x9F, 0xA0, 0x20AC, 0xD83D, 0, 'z'};
    CaptureReset();
    DumpUnits(units, 9);
    CHECK_EQ_INT(capturedCount, 2);
    CHECK_TEXT(CapturedText(0), " 0041 001f 007f 009f 00a0 20ac d83d 0000  |A...\xA0??.|");
    CHECK_EQ_INT(capturedLength[0], 52);
    CHECK(captured[0][48] == 0x20AC && captured[0][49] == 0xD83D);
    CHECK_TEXT(CapturedText(1), " 007a                                     |z|");
}

static void TestInvalidContext(void) {
    U16Char read[100];
    for (int i = 0; i < 100; ++i) read[i] = (U16Char)('0' + i % 10);
    const Utf8Record record = {2, {0xE2, 0x41, 0, 0}};
    CaptureReset();
    TraceInvalidUtf8(&record, read, read + 100);
    CHECK_EQ_INT(capturedCount, 12); /* bytes, title, the last 80 units */
    CHECK_TEXT(CapturedText(1), "Characters previously read:");
    CHECK(strstr(CapturedText(2), " 0030 0031") == CapturedText(2)); /* read[20] */
    CaptureReset();
    TraceInvalidUtf8(&record, read, read);
    CHECK_EQ_INT(capturedCount, 2);
}

static void TestDecoder(void) {
    uint32_t v = 0;
    int used = 0;
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"\xF0\x9F\x98\x80", 4, &v, &used), 4);
    CHECK_EQ_INT(v, 0x1F600);
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"\xC0\x80", 2, &v, &used), 2);
    CHECK_EQ_INT(v, 0);
    /* Invalid: the bytes seen, the breaking one included. */
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"\xE2\x82x", 3, &v, &used), -1);
    CHECK_EQ_INT(used, 3);
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"\xE2\x82\xAC", 2, &v, &used), -1);
    CHECK_EQ_INT(used, 2);
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"\xBF", 1, &v, &used), -1);
    CHECK_EQ_INT(used, 1);
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"\xF7\xBF\xBF\xBF", 4, &v, &used), -1);
    CHECK_EQ_INT(used, 4);
    CHECK_EQ_INT(u16_DecodeChar((const unsigned char*)"", 0, &v, &used), -1);
    CHECK_EQ_INT(used, 0);

    unsigned char out[3];
    CHECK_EQ_INT(u16_EncodeUnit(0, out), 1);
    CHECK_EQ_INT(u16_EncodeUnit(0xDE00, out), 3);
    CHECK(out[0] == 0xED && out[1] == 0xB8 && out[2] == 0x80);
    const U16Char s[] = {'a', 0xFFFF, 0};
    CHECK_EQ_INT(u16_strlen(s), 2);
}

int main(void) {
    setTraceLibu16U16(CaptureSink, 4);
    TestFraming();
    TestOutOfMemory();
    TestFormatError();
    TestDumps();
    TestInvalidContext();
    TestDecoder();
    return CHECK_SUMMARY();
}
