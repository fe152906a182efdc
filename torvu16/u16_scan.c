/*
 * u16_scan: the formatted-input engine, a scanf over UTF-16 format strings.
 *
 * Input comes from a UTF-16 string (its terminator ends the input) or from a
 * byte stream decoded as UTF-8 with one unit of look-ahead. Strings,
 * characters and scan sets are stored as units; numbers are gathered as
 * 8-bit text and converted by the library's parsers, so their results do not
 * depend on the width of the runtime's long.
 *
 * Sizes: "hh" 8, "h" 16, none and "l" 32, "ll", "L", "q", "I64" 64 bits;
 * "z" is pointer-sized (size_t), and "p" stores a whole void*. Floats: float
 * without size or with "h", double with every longer size.
 */
#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "u16_internal.h"
#include "u16_stream_buffer.h"

#define SOURCE_NAME "u16_scan"

enum { kNoLook = -2, kEnd = -1 };

/* Where the units come from. In stream mode look holds the unit read but not
 * yet consumed; once the stream has ended it stays kEnd, so the engine never
 * reads past an end of file or an invalid sequence. */
typedef struct Input {
    const U16Char* text;
    FILE* stream;
    int look;
    size_t consumed; /* units consumed, for "n" */
} Input;

static inline int Peek(Input* in) {
    if (in->text) return *in->text ? *in->text : kEnd;
    if (in->look == kNoLook) {
        /* An ASCII byte waiting in the stream's buffer is its own unit; it
         * is taken as the reader would take it. */
        const unsigned char* bytes;
        if (u16_BufferedBytes(in->stream, &bytes) > 0 && bytes[0] < 0x80) {
            in->look = bytes[0];
            u16_TakeBuffered(in->stream, 1);
        } else {
            const int c = u16_GetUnit(in->stream);
            in->look = c < 0 ? kEnd : c;
        }
    }
    return in->look;
}

/* Consumes the unit that Peek returned (never called at the end). */
static inline void Take(Input* in) {
    if (in->text)
        ++in->text;
    else
        in->look = kNoLook;
    ++in->consumed;
}

/* White space as isspaceU16 defines it, with the ASCII part inline. */
static inline int IsSpace(int unit) {
    if (unit < 0x80) return (unit >= 9 && unit <= 13) || (unit >= 28 && unit <= 32);
    return isspaceU16(unit);
}

static void SkipSpace(Input* in) {
    int c;
    while ((c = Peek(in)) >= 0 && IsSpace(c)) Take(in);
}

/* Number text: 256 bytes on the stack, doubled on the heap as needed. When
 * growing fails the text keeps what it has; further characters are consumed
 * from the input but not stored, and the conversion fails rather than store
 * the value of a cut text. */
typedef struct NumText {
    char* data;
    size_t capacity;
    size_t length;
    int outOfMemory;
    char local[256];
} NumText;

static void NumTextInit(NumText* t) {
    t->data = t->local;
    t->capacity = sizeof t->local;
    t->length = 0;
    t->outOfMemory = 0;
}

/* Each conversion starts a new text; the heap block, if any, is kept. */
static void NumTextReset(NumText* t) {
    t->length = 0;
    t->outOfMemory = 0;
}

static void NumTextFree(NumText* t) {
    if (t->data != t->local) free(t->data);
}

static void NumTextGrow(NumText* t) {
    if (t->outOfMemory) return;
    char* bigger = NULL;
    if (t->capacity <= SIZE_MAX / 2) {
        size_t capacity = t->capacity * 2;
        bigger = t->data == t->local ? malloc(capacity) : realloc(t->data, capacity);
        if (bigger) {
            if (t->data == t->local) memcpy(bigger, t->local, t->length);
            t->data = bigger;
            t->capacity = capacity;
            return;
        }
    }
    t->outOfMemory = 1;
    TraceOutOfMemory("vvfscanfU16", SOURCE_NAME, 118);
}

/* Keeps one byte free for the terminator. */
static inline void NumTextPut(NumText* t, int c) {
    if (t->length + 1 >= t->capacity) NumTextGrow(t);
    if (t->length + 1 < t->capacity) t->data[t->length++] = (char)c;
}

static inline const char* NumTextFinish(NumText* t) {
    t->data[t->length] = 0;
    return t->data;
}

enum Size { kSizeNone, kSizeChar, kSizeShort, kSizeLong, kSize64, kSizePointer };

static int IsConversion(U16Char u) {
    switch (u) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
        case 'p':
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
        case 's':
        case 'c':
        case '[':
        case 'n':
        case '%':
            return 1;
        default:
            return 0;
    }
}

static void StoreInteger(void* dest, enum Size size, uint64_t bits) {
    switch (size) {
        case kSizeChar:
            *(uint8_t*)dest = (uint8_t)bits;
            break;
        case kSizeShort:
            *(uint16_t*)dest = (uint16_t)bits;
            break;
        case kSize64:
            *(uint64_t*)dest = bits;
            break;
        case kSizePointer:
            *(size_t*)dest = (size_t)bits;
            break;
        default:
            *(uint32_t*)dest = (uint32_t)bits;
            break;
    }
}

static int DigitFits(int c, int base) {
    if (c >= '0' && c <= '9') return c - '0' < base;
    if (base != 16) return 0;
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/*
 * Gathers sign, the "0x" of base 16 and the digits valid for the base into
 * the number text, within the width; base 0 is settled by the prefix.
 * Returns the base the text is to be converted in.
 */
static int CollectInteger(Input* in, NumText* t, size_t left, int base) {
    int c = Peek(in);
    if (c == '+' || c == '-') {
        NumTextPut(t, c);
        Take(in);
        --left;
    }
    if ((base == 0 || base == 16) && left && Peek(in) == '0') {
        NumTextPut(t, '0');
        Take(in);
        --left;
        c = Peek(in);
        if (left && (c == 'x' || c == 'X')) {
            NumTextPut(t, 'x');
            Take(in);
            --left;
            base = 16;
        } else if (base == 0) {
            base = 8;
        }
    } else if (base == 0) {
        base = 10;
    }
    while (left && (c = Peek(in)) >= 0 && DigitFits(c, base)) {
        NumTextPut(t, c);
        Take(in);
        --left;
    }
    return base;
}

/*
 * Converts the integer text. 64-bit sizes saturate at the 64-bit limits;
 * the others behave as strtol and strtoul do where long has 32 bits. Returns
 * 0 when no digit was converted.
 */
static int ConvertInteger(const char* text, int base, int isSigned, int wide, uint64_t* bits) {
    char* end;
    if (wide) {
        *bits = isSigned ? (uint64_t)u16_strtoll(text, &end, base) : u16_strtoull(text, &end, base);
        return end != text;
    }
    if (isSigned) {
        int64_t v = u16_strtoll(text, &end, base);
        if (v > INT32_MAX) {
            v = INT32_MAX;
            errno = ERANGE;
        } else if (v < INT32_MIN) {
            v = INT32_MIN;
            errno = ERANGE;
        }
        *bits = (uint64_t)v;
        return end != text;
    }
    /* The magnitude saturates at 32 bits before a minus sign negates it. */
    const int sign = text[0] == '+' || text[0] == '-';
    uint64_t m = u16_strtoull(text + sign, &end, base);
    if (end == text + sign) return 0;
    if (m > UINT32_MAX) {
        m = UINT32_MAX;
        errno = ERANGE;
    } else if (text[0] == '-') {
        m = (uint32_t)(0u - (uint32_t)m);
    }
    *bits = m;
    return 1;
}

/* Matches "(nil)" after its "(": the letters in either case, then ")". */
static int MatchNil(Input* in, size_t left) {
    static const char kRest[] = "nil)";
    for (int i = 0; kRest[i]; ++i) {
        if (!left--) return 0;
        int c = Peek(in);
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        if (c != kRest[i]) return 0;
        Take(in);
    }
    return 1;
}

/*
 * Scan set membership over the format's own units between the "[" (after
 * any "^") and the closing "]". "x-y" is a range when x <= y and the "-"
 * is not right before the "]"; otherwise each unit is a member of its own,
 * so a leading or trailing "-" and a reversed range are plain members.
 */
static int InScanSet(const U16Char* set, const U16Char* end, int unit) {
    for (const U16Char* p = set; p < end; ++p) {
        if (p + 2 < end && p[1] == '-' && p[0] <= p[2]) {
            if (unit >= p[0] && unit <= p[2]) return 1;
            ++p; /* the range's end may begin the next range: "a-c-e" */
        } else if (*p == unit) {
            return 1;
        }
    }
    return 0;
}

static int Scan(const U16Char* source, FILE* stream, const U16Char* format, va_list args) {
    Input in = {source, stream, kNoLook, 0};
    NumText num;
    NumTextInit(&num);
    int assigned = 0;
    int inputFailure = 0;
    int decimalPoint = -1;
    const U16Char* f = format;

    while (*f) {
        if (IsSpace(*f)) {
            while (IsSpace(*f)) ++f;
            SkipSpace(&in);
            continue;
        }
        if (*f != '%') {
            int c = Peek(&in);
            if (c < 0) {
                inputFailure = 1;
                break;
            }
            if (c != *f) break;
            Take(&in);
            ++f;
            continue;
        }

        /* "%" [*] [width] [size] conversion */
        ++f;
        int suppress = 0;
        if (*f == '*') {
            suppress = 1;
            ++f;
        }
        size_t width = 0;
        for (; *f >= '0' && *f <= '9'; ++f) {
            size_t digit = (size_t)(*f - '0');
            width = width > (SIZE_MAX - digit) / 10 ? SIZE_MAX : width * 10 + digit;
        }
        enum Size size = kSizeNone;
        switch (*f) {
            case 'h':
                ++f;
                size = kSizeShort;
                if (*f == 'h') {
                    ++f;
                    size = kSizeChar;
                }
                break;
            case 'l':
                ++f;
                size = kSizeLong;
                if (*f == 'l') {
                    ++f;
                    size = kSize64;
                }
                break;
            case 'L':
            case 'q':
                ++f;
                size = kSize64;
                break;
            case 'z':
                ++f;
                size = kSizePointer;
                break;
            case 'I':
                /* Without "64" the "I" stays and is taken as the conversion. */
                if (f[1] == '6' && f[2] == '4') {
                    f += 3;
                    size = kSize64;
                }
                break;
            default:
                break;
        }
        const U16Char conv = *f;
        if (!conv) {
            TraceFormatError(format, f[-1], SOURCE_NAME, 1093);
            break;
        }
        if (!IsConversion(conv)) {
            TraceFormatError(format, conv, SOURCE_NAME, 1093);
            break;
        }
        ++f;

        if (conv == '%') {
            SkipSpace(&in);
            int c = Peek(&in);
            if (c < 0) {
                inputFailure = 1;
                break;
            }
            if (c != '%') break;
            Take(&in);
            continue;
        }

        const U16Char* set = NULL;
        const U16Char* setEnd = NULL;
        int negate = 0;
        if (conv == '[') {
            if (*f == '^') {
                negate = 1;
                ++f;
            }
            set = f;
            if (*f == ']') ++f;
            while (*f && *f != ']') ++f;
            if (!*f) {
                TraceFormatError(format, '[', SOURCE_NAME, 1093);
                break;
            }
            setEnd = f++;
        }

        void* dest = NULL;
        if (!suppress) {
            dest = va_arg(args, void*);
            if (!dest) break;
        }

        if (conv == 'n') {
            if (dest) StoreInteger(dest, size == kSizeNone ? kSizeLong : size, in.consumed);
            continue;
        }
        if (conv != '[' && conv != 'c') SkipSpace(&in);
        int c = Peek(&in);
        if (c < 0) {
            inputFailure = 1;
            break;
        }
        size_t left = width ? width : SIZE_MAX;
        int converted = 0;

        switch (conv) {
            case 's': {
                U16Char* out = dest;
                for (; left && (c = Peek(&in)) >= 0 && !IsSpace(c); --left) {
                    if (out) *out++ = (U16Char)c;
                    Take(&in);
                }
                if (out) *out = 0;
                converted = 1;
                break;
            }
            case 'c': {
                U16Char* out = dest;
                size_t count = width ? width : 1;
                for (; count && (c = Peek(&in)) >= 0; --count) {
                    if (out) *out++ = (U16Char)c;
                    Take(&in);
                }
                converted = 1;
                break;
            }
            case '[': {
                U16Char* out = dest;
                size_t n = 0;
                for (; left && (c = Peek(&in)) >= 0 && InScanSet(set, setEnd, c) != negate;
                     --left, ++n) {
                    if (out) *out++ = (U16Char)c;
                    Take(&in);
                }
                if (out && n) *out = 0;
                converted = n != 0;
                break;
            }
            case 'e':
            case 'E':
            case 'f':
            case 'F':
            case 'g':
            case 'G':
            case 'a':
            case 'A': {
                if (decimalPoint < 0) decimalPoint = u16_DecimalPoint();
                NumTextReset(&num);
                int negative = 0;
                if (c == '+' || c == '-') {
                    negative = c == '-';
                    Take(&in);
                    --left;
                }
                U16FloatText ft;
                u16_FloatTextStart(&ft, decimalPoint);
                for (; left && (c = Peek(&in)) >= 0 && u16_FloatTextAccept(&ft, c); --left) {
                    NumTextPut(&num, c);
                    Take(&in);
                }
                double v;
                converted =
                    !num.outOfMemory && u16_FloatTextConvert(NumTextFinish(&num), negative, &v);
                if (converted && dest) {
                    if (size == kSizeLong || size == kSize64)
                        *(double*)dest = v;
                    else
                        *(float*)dest = (float)v;
                }
                break;
            }
            case 'p':
                if (c == '(') {
                    Take(&in);
                    converted = MatchNil(&in, left - 1);
                    if (converted && dest) *(void**)dest = NULL;
                    break;
                }
                /* fall through */
            default: {
                int base = conv == 'd' || conv == 'u' ? 10 : conv == 'o' ? 8 : conv == 'i' ? 0 : 16;
                const int isSigned = conv == 'd' || conv == 'i';
                NumTextReset(&num);
                base = CollectInteger(&in, &num, left, base);
                uint64_t bits;
                const int wide =
                    conv == 'p' || size == kSize64 || (size == kSizePointer && sizeof(size_t) > 4);
                converted = !num.outOfMemory &&
                            ConvertInteger(NumTextFinish(&num), base, isSigned, wide, &bits);
                if (converted && dest) {
                    if (conv == 'p')
                        *(void**)dest = (void*)(uintptr_t)bits;
                    else
                        StoreInteger(dest, size, bits);
                }
                break;
            }
        }
        if (!converted) break;
        if (!suppress) ++assigned;
    }

    NumTextFree(&num);
    /* One byte of push-back is all a stream promises: a unit that needs more
     * than one UTF-8 byte cannot go back and is lost. */
    if (in.stream && in.look >= 0 && in.look < 0x80) ungetc(in.look, in.stream);
    return inputFailure && assigned == 0 ? -1 : assigned;
}

int vvfscanfU16(const U16Char* source, FILE* stream, const U16Char* format, va_list args) {
    if (!source && !stream) {
        errno = EBADF;
        return -1;
    }
    if (!format) {
        errno = EINVAL;
        return -1;
    }
    if (source) return Scan(source, NULL, format, args);
    /* The whole call holds the stream's lock: the units read and the byte
     * pushed back at the end belong to one scan, and each unit is read
     * without locking again. */
    flockfile(stream);
    const int result = Scan(NULL, stream, format, args);
    funlockfile(stream);
    return result;
}

int scanfU16(const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = vvfscanfU16(NULL, stdin, format, args);
    va_end(args);
    return result;
}

int fscanfU16(FILE* stream, const U16Char* format, ...) {
    if (!stream) {
        errno = EBADF;
        return -1;
    }
    va_list args;
    va_start(args, format);
    int result = vvfscanfU16(NULL, stream, format, args);
    va_end(args);
    return result;
}
