/*
 * u16_print: the formatted-output engine. vvfprintfU16 writes to a byte
 * stream (as UTF-8), into a bounded UTF-16 buffer, or nowhere (counting only);
 * every other output function of the family is a thin wrapper around it.
 *
 * Conversion specifications are parsed by a table-driven state machine.
 * Arguments are fetched through a small source interface so that the
 * positional path can rewind and fetch in index order; vvfprintfU16 feeds it
 * from its va_list.
 *
 * Argument sizes follow the library's table, not the host's ABI: "l" is a
 * 32-bit argument for the integer conversions. On x86-64 every variadic
 * argument has its own 8-byte slot, so a 64-bit long given to "%ld" shows its
 * low 32 bits and the arguments after it are not shifted.
 *
 * The engine keeps its state on the stack. In stream mode it holds the stream's
 * own lock (flockfile) for the whole call, so one call's output is one piece
 * even though it reaches the stream in blocks.
 */
#include <errno.h>
#include <fenv.h>
#include <limits.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "u16_internal.h"

static const char kSource[] = "u16_print";
static const char kFunction[] = "vvfprintfU16";

/* Report lines: they name the place of each diagnostic in the report. */
enum {
    kLineFloatHeapF = 642,
    kLineFloatHeap = 658,
    kLineFloatOverflow = 682,
    kLineI64 = 2038,
    kLineBadUnit = 2046,
    kLineOverflow = 2052,
    kLineSizeOnText = 2071,
    kLinePositional = 2110,
    kLineBadIndex = 2118,
    kLineListGrowth = 2129,
    kLineArgKinds = 2151,
    kLineArgValues = 2160
};

enum {
    kPendingBytes = 512, /* stream output is encoded here and written in blocks */
    kFloatBytes = 336,   /* floating-point text without the heap */
    kLocalSpecs = 32,    /* positional specifications held on the stack */
    kLocalArgs = 32      /* positional argument values held on the stack */
};

/* ---- Argument source ---------------------------------------------------------------------- */

enum { U16_ARG_NONE, U16_ARG_INT, U16_ARG_INT64, U16_ARG_DOUBLE, U16_ARG_POINTER };

typedef union U16Arg {
    int32_t i;
    int64_t ll;
    double d;
    void* p;
} U16Arg;

/* next fetches the following argument as the given kind; rewind returns to the first. */
typedef struct U16ArgSource {
    U16Arg (*next)(struct U16ArgSource* self, int kind);
    void (*rewind)(struct U16ArgSource* self);
} U16ArgSource;

/* ---- Output: stream, bounded buffer or count ---------------------------------------------- */

typedef struct Output {
    FILE* stream;    /* stream mode when set */
    U16Char* buffer; /* buffer mode when set and no stream */
    size_t room;     /* units the buffer may still take (its last unit is the terminator's) */
    size_t stored;   /* units stored in the buffer */
    size_t count;    /* units of output produced, stored or not */
    size_t bytes;    /* bytes that reached the stream */
    int failed;      /* a stream write came back short */
    size_t fill;
    unsigned char pending[kPendingBytes];
} Output;

static void Flush(Output* o) {
    if (o->fill == 0 || o->failed) return;
    const size_t written = fwrite_unlocked(o->pending, 1, o->fill, o->stream);
    o->bytes += written;
    if (written < o->fill) o->failed = 1;
    o->fill = 0;
}

static void PutUnits(Output* o, const U16Char* units, size_t n) {
    o->count += n;
    if (o->stream) {
        /* Blocks of units that fit whatever they are; the block is written
         * once fewer than three bytes are free. */
        while (n > 0 && !o->failed) {
            size_t k = (kPendingBytes - o->fill) / 3;
            if (k == 0) {
                Flush(o);
                continue;
            }
            if (k > n) k = n;
            o->fill += u16_EncodeUnits(units, k, o->pending + o->fill);
            units += k;
            n -= k;
        }
    } else if (o->buffer) {
        const size_t k = n < o->room ? n : o->room;
        memcpy(o->buffer + o->stored, units, k * sizeof(U16Char));
        o->stored += k;
        o->room -= k;
    }
}

/* The format's text from p up to its next "%" or its end; returns where it stopped. On a
 * stream, ASCII goes straight into the pending block, which is written at the same points as
 * PutUnits writes it. */
static const U16Char* PutLiteral(Output* o, const U16Char* p) {
    if (o->stream) {
        while (!o->failed) {
            /* PutUnits adds a unit while fewer than 510 bytes are pending. */
            const size_t room = o->fill < kPendingBytes - 2 ? kPendingBytes - 2 - o->fill : 0;
            size_t k = 0;
            for (; k < room && p[k] != '%' && p[k] != 0 && p[k] < 0x80; ++k) {
                o->pending[o->fill + k] = (unsigned char)p[k];
            }
            p += k;
            o->fill += k;
            o->count += k;
            if (*p == '%' || *p == 0) return p;
            if (k < room) break; /* a unit above ASCII: the rest goes through PutUnits */
            Flush(o);
        }
    }
    const U16Char* end = p;
    while (*end && *end != '%') ++end;
    PutUnits(o, p, (size_t)(end - p));
    return end;
}

/* ASCII text (digits, floating-point text, fixed words): bytes on a stream, one unit each in a
 * buffer. */
static void PutAscii(Output* o, const char* text, size_t n) {
    if (n == 0) return;
    o->count += n;
    if (o->stream) {
        while (n > 0 && !o->failed) {
            if (o->fill == kPendingBytes) Flush(o);
            size_t k = kPendingBytes - o->fill;
            if (k > n) k = n;
            memcpy(o->pending + o->fill, text, k);
            o->fill += k;
            text += k;
            n -= k;
        }
    } else if (o->buffer) {
        const size_t k = n < o->room ? n : o->room;
        for (size_t i = 0; i < k; ++i) o->buffer[o->stored + i] = (unsigned char)text[i];
        o->stored += k;
        o->room -= k;
    }
}

/* n copies of an ASCII unit: padding runs of spaces or zeros. Costs nothing once a buffer is
 * full or when only counting, so absurd widths are cheap there. */
static void PutRun(Output* o, char unit, size_t n) {
    if (n == 0) return;
    o->count += n;
    if (o->stream) {
        while (n > 0 && !o->failed) {
            if (o->fill == kPendingBytes) Flush(o);
            size_t k = kPendingBytes - o->fill;
            if (k > n) k = n;
            memset(o->pending + o->fill, unit, k);
            o->fill += k;
            n -= k;
        }
    } else if (o->buffer) {
        const size_t k = n < o->room ? n : o->room;
        for (size_t i = 0; i < k; ++i) o->buffer[o->stored + i] = (unsigned char)unit;
        o->stored += k;
        o->room -= k;
    }
}

/* ---- Specification parser -------------------------------------------------------------------- */

enum {
    F_SPACE = 1,
    F_PLUS = 2,
    F_MINUS = 4,
    F_ALT = 8,
    F_ZERO = 16,
    F_QUOTE = 32 /* accepted, no effect */
};

enum { SZ_NONE, SZ_H, SZ_L, SZ_LL, SZ_BIG_L, SZ_I64 };

typedef struct FormatSpec {
    const U16Char* start; /* the "%" */
    const U16Char* end;   /* the unit after the conversion */
    int flags;
    int width;     /* literal width, 0 when none */
    int precision; /* literal precision, -1 when none */
    unsigned char widthStar, precisionStar, size;
    U16Char conversion;
    /* Argument positions from "n$", 0 when none given; the positional path fills in the
     * position of every argument that the specification takes. */
    int widthIndex, precisionIndex, valueIndex;
} FormatSpec;

/* Classes of the units 0 to 0x78; every other unit is invalid inside a specification. */
enum { K_BAD, K_FLAG, K_ZERO, K_DIGIT, K_STAR, K_DOT, K_DOLLAR, K_H, K_L, K_BIG_L, K_I, K_CONV };

static const unsigned char kUnitClass[0x79] = {
    [' '] = K_FLAG,  ['+'] = K_FLAG,  ['-'] = K_FLAG,   ['#'] = K_FLAG,  ['\''] = K_FLAG,
    ['0'] = K_ZERO,  ['1'] = K_DIGIT, ['2'] = K_DIGIT,  ['3'] = K_DIGIT, ['4'] = K_DIGIT,
    ['5'] = K_DIGIT, ['6'] = K_DIGIT, ['7'] = K_DIGIT,  ['8'] = K_DIGIT, ['9'] = K_DIGIT,
    ['*'] = K_STAR,  ['.'] = K_DOT,   ['$'] = K_DOLLAR, ['h'] = K_H,     ['l'] = K_L,
    ['L'] = K_BIG_L, ['I'] = K_I,     ['d'] = K_CONV,   ['i'] = K_CONV,  ['u'] = K_CONV,
    ['o'] = K_CONV,  ['x'] = K_CONV,  ['X'] = K_CONV,   ['e'] = K_CONV,  ['E'] = K_CONV,
    ['f'] = K_CONV,  ['g'] = K_CONV,  ['G'] = K_CONV,   ['c'] = K_CONV,  ['s'] = K_CONV,
    ['p'] = K_CONV,  ['n'] = K_CONV,  ['%'] = K_CONV,
};

enum { S_FLAGS, S_WIDTH, S_PRECISION, S_AFTER_L, S_SIZED, S_STATES };
enum { A_ERROR, A_FLAG, A_NUM, A_STAR, A_DOT, A_H, A_L, A_LL, A_BIG_L, A_I, A_CONV };

/* What each state does with each class of unit. */
#define E A_ERROR
// clang-format off
static const unsigned char kAction[S_STATES][K_CONV + 1] = {
    /*             BAD FLAG    ZERO    DIGIT  STAR    DOT   $  H    L     BIG_L    I    CONV */
    [S_FLAGS]     = {E, A_FLAG, A_FLAG, A_NUM, A_STAR, A_DOT, E, A_H, A_L,  A_BIG_L, A_I, A_CONV},
    [S_WIDTH]     = {E, E,      E,      E,     E,      A_DOT, E, A_H, A_L,  A_BIG_L, A_I, A_CONV},
    [S_PRECISION] = {E, E,      E,      E,     E,      E,     E, A_H, A_L,  A_BIG_L, A_I, A_CONV},
    [S_AFTER_L]   = {E, E,      E,      E,     E,      E,     E, E,   A_LL, E,       E,   A_CONV},
    [S_SIZED]     = {E, E,      E,      E,     E,      E,     E, E,   E,    E,       E,   A_CONV},
};
// clang-format on
#undef E

static int UnitClass(U16Char u) {
    return u < 32 || u > 0x78 ? K_BAD : kUnitClass[u];
}

static int IsDigit(U16Char u) {
    return u >= '0' && u <= '9';
}

/* Reads a run of decimal digits; 0, or -1 when the value does not fit an int. */
static int ReadNumber(const U16Char** p, int* value) {
    long long v = 0;
    int overflow = 0;
    for (; IsDigit(**p); ++*p) {
        if (!overflow) {
            v = v * 10 + (**p - '0');
            if (v > INT_MAX) overflow = 1;
        }
    }
    *value = (int)v;
    return overflow ? -1 : 0;
}

static int FormatError(const U16Char* format, U16Char unit, int line) {
    TraceFormatError(format, unit, kSource, line);
    return -1;
}

/* After a "*": an optional "n$" naming the argument. 0, or -1 after a reported error. */
static int ReadStarIndex(const U16Char* format, const U16Char** p, int* index) {
    if (!IsDigit(**p)) return 0;
    int value;
    if (ReadNumber(p, &value) < 0) {
        errno = EOVERFLOW;
        return FormatError(format, **p, kLineOverflow);
    }
    if (**p != '$' || value == 0) return FormatError(format, **p, kLineBadUnit);
    ++*p;
    *index = value;
    return 0;
}

/* Parses the specification whose "%" is at start. With report clear, the reports that do not
 * end the call are left out (the specification was already reported once). 0, or -1 after a
 * reported format error. */
static int ParseSpec(const U16Char* format, const U16Char* start, FormatSpec* s, int report) {
    memset(s, 0, sizeof *s);
    s->start = start;
    s->precision = -1;
    const U16Char* p = start + 1;
    if (UnitClass(*p) == K_CONV) {
        /* A bare conversion, the common case, needs no state. */
        s->conversion = *p;
        s->end = p + 1;
        return 0;
    }
    int state = S_FLAGS;
    for (;;) {
        const U16Char u = *p;
        switch (kAction[state][UnitClass(u)]) {
            case A_ERROR:
                return FormatError(format, u, kLineBadUnit);
            case A_FLAG:
                s->flags |= u == ' '   ? F_SPACE
                            : u == '+' ? F_PLUS
                            : u == '-' ? F_MINUS
                            : u == '#' ? F_ALT
                            : u == '0' ? F_ZERO
                                       : F_QUOTE;
                ++p;
                break;
            case A_NUM: {
                int value;
                if (ReadNumber(&p, &value) < 0) {
                    errno = EOVERFLOW;
                    return FormatError(format, u, kLineOverflow);
                }
                if (*p == '$') {
                    /* An argument position; flags may follow it. */
                    if (s->valueIndex) return FormatError(format, '$', kLineBadUnit);
                    s->valueIndex = value;
                    ++p;
                } else {
                    s->width = value;
                    state = S_WIDTH;
                }
                break;
            }
            case A_STAR:
                ++p;
                s->widthStar = 1;
                if (ReadStarIndex(format, &p, &s->widthIndex) < 0) return -1;
                state = S_WIDTH;
                break;
            case A_DOT:
                ++p;
                if (*p == '*') {
                    ++p;
                    s->precisionStar = 1;
                    if (ReadStarIndex(format, &p, &s->precisionIndex) < 0) return -1;
                } else {
                    const U16Char first = *p;
                    if (ReadNumber(&p, &s->precision) < 0) {
                        errno = EOVERFLOW;
                        return FormatError(format, first, kLineOverflow);
                    }
                }
                state = S_PRECISION;
                break;
            case A_H:
                s->size = SZ_H;
                ++p;
                state = S_SIZED;
                break;
            case A_L:
                s->size = SZ_L;
                ++p;
                state = S_AFTER_L;
                break;
            case A_LL:
                s->size = SZ_LL;
                ++p;
                state = S_SIZED;
                break;
            case A_BIG_L:
                s->size = SZ_BIG_L;
                ++p;
                state = S_SIZED;
                break;
            case A_I:
                if (p[1] == '6' && p[2] == '4') {
                    s->size = SZ_I64;
                    p += 3;
                    state = S_SIZED;
                } else {
                    /* A lone "I" is reported and passed over; the state stays. */
                    if (report) TraceFormatError(format, 'I', kSource, kLineI64);
                    ++p;
                }
                break;
            case A_CONV:
                s->conversion = u;
                s->end = p + 1;
                if ((u == 'c' || u == 's') && (s->size == SZ_L || s->size == SZ_LL) && report) {
                    /* Wide-character sizes mean nothing here: text is UTF-16 already. */
                    TraceFormatError(format, 'l', kSource, kLineSizeOnText);
                }
                return 0;
        }
    }
}

/* ---- Arguments ---------------------------------------------------------------------------- */

/* Kind of argument that a conversion takes; ARG_NONE for "%". */
static int ValueKind(const FormatSpec* s) {
    switch (s->conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            return s->size == SZ_LL || s->size == SZ_BIG_L || s->size == SZ_I64 ? U16_ARG_INT64
                                                                                : U16_ARG_INT;
        case 'e':
        case 'E':
        case 'f':
        case 'g':
        case 'G':
            return U16_ARG_DOUBLE;
        case 'c':
            return U16_ARG_INT;
        case 's':
        case 'p':
        case 'n':
            return U16_ARG_POINTER;
        default:
            return U16_ARG_NONE;
    }
}

typedef struct VaSource {
    U16ArgSource base;
    va_list start;
    va_list current;
} VaSource;

static U16Arg VaNext(U16ArgSource* self, int kind) {
    VaSource* v = (VaSource*)self;
    U16Arg a;
    a.ll = 0;
    switch (kind) {
        case U16_ARG_INT:
            a.i = va_arg(v->current, int);
            break;
        case U16_ARG_INT64:
            a.ll = va_arg(v->current, long long);
            break;
        case U16_ARG_DOUBLE:
            a.d = va_arg(v->current, double);
            break;
        case U16_ARG_POINTER:
            a.p = va_arg(v->current, void*);
            break;
        default:
            break;
    }
    return a;
}

static void VaRewind(U16ArgSource* self) {
    VaSource* v = (VaSource*)self;
    va_end(v->current);
    va_copy(v->current, v->start);
}

/* ---- Conversions -------------------------------------------------------------------------- */

/* Integers and non-null pointers. sign is 0 or the sign character; prefix is "", "0", "0x" or
 * "0X". Digits come from a local buffer, zeros and padding from runs: no allocation. */
static void PutInteger(Output* o, int flags, int width, int precision, uint64_t magnitude,
                       char sign, int base, int upper, int alternate) {
    static const char kLower[] = "0123456789abcdef";
    static const char kUpper[] = "0123456789ABCDEF";
    const char* digitSet = upper ? kUpper : kLower;
    char digits[24];
    size_t nDigits = 0;
    char* end = digits + sizeof digits;

    int zeroPad = 0;
    if (precision < 0) {
        precision = 1;
        zeroPad = (flags & F_ZERO) && !(flags & F_MINUS);
    }
    if (magnitude != 0 || precision != 0) {
        /* Constant divisors and shifts: a division by a variable base is slow. */
        uint64_t m = magnitude;
        if (base == 10) {
            for (; m > UINT32_MAX; m /= 10) *--end = (char)('0' + m % 10);
            uint32_t small = (uint32_t)m;
            do {
                *--end = (char)('0' + small % 10);
                small /= 10;
            } while (small != 0);
        } else {
            const int shift = base == 16 ? 4 : 3;
            do {
                *--end = digitSet[m & (uint64_t)(base - 1)];
                m >>= shift;
            } while (m != 0);
        }
        nDigits = (size_t)(digits + sizeof digits - end);
    }

    const char* prefix = "";
    if (alternate && base == 8) {
        if (magnitude == 0 && nDigits == 0) {
            *--end = '0';
            nDigits = 1;
        } else if (magnitude != 0 && nDigits >= (size_t)precision) {
            prefix = "0";
        }
    } else if (alternate && base == 16 && magnitude != 0) {
        prefix = upper ? "0X" : "0x";
    }

    const size_t prefixLength = strlen(prefix);
    const size_t zeros = (size_t)precision > nDigits ? (size_t)precision - nDigits : 0;
    const size_t used = (sign ? 1 : 0) + prefixLength + zeros + nDigits;
    const size_t pad = (size_t)width > used ? (size_t)width - used : 0;

    if (!(flags & F_MINUS) && !zeroPad) PutRun(o, ' ', pad);
    if (sign) PutAscii(o, &sign, 1);
    PutAscii(o, prefix, prefixLength);
    PutRun(o, '0', zeros + (zeroPad ? pad : 0));
    PutAscii(o, end, nDigits);
    if (flags & F_MINUS) PutRun(o, ' ', pad);
}

static void PutPadded(Output* o, int flags, int width, const U16Char* units, size_t n) {
    const size_t pad = (size_t)width > n ? (size_t)width - n : 0;
    if (!(flags & F_MINUS)) PutRun(o, ' ', pad);
    PutUnits(o, units, n);
    if (flags & F_MINUS) PutRun(o, ' ', pad);
}

static void PutPaddedAscii(Output* o, int flags, int width, const char* text, size_t n) {
    const size_t pad = (size_t)width > n ? (size_t)width - n : 0;
    if (!(flags & F_MINUS)) PutRun(o, ' ', pad);
    PutAscii(o, text, n);
    if (flags & F_MINUS) PutRun(o, ' ', pad);
}

/* The "%.Nf" text of a finite magnitude below 2^53 with N up to 15, made exactly from its
 * binary value: q = round(m * 2^e * 10^N), halves to even as the C library rounds in the
 * default mode. Returns the length, or 0 where the C library must do it (other rounding
 * modes, larger values or precisions). */
static size_t FixedText(double magnitude, int precision, char* out) {
    static const uint64_t kPow10[16] = {1,
                                        10,
                                        100,
                                        1000,
                                        10000,
                                        100000,
                                        1000000,
                                        10000000,
                                        100000000,
                                        1000000000,
                                        10000000000ull,
                                        100000000000ull,
                                        1000000000000ull,
                                        10000000000000ull,
                                        100000000000000ull,
                                        1000000000000000ull};
    if (precision > 15 || !(magnitude < 9007199254740992.0) || fegetround() != FE_TONEAREST)
        return 0;
    uint64_t bits;
    memcpy(&bits, &magnitude, sizeof bits);
    const int exponent = (int)((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((1ull << 52) - 1);
    const uint64_t m = exponent == 0 ? fraction : fraction | (1ull << 52);
    const int shift = exponent == 0 ? 1074 : 1075 - exponent; /* v = m / 2^shift, shift >= 0 */
    const unsigned __int128 scaled = (unsigned __int128)m * kPow10[precision];
    unsigned __int128 q = 0;
    if (shift == 0) {
        q = scaled;
    } else if (shift < 128) {
        q = scaled >> shift;
        const unsigned __int128 rest = scaled - (q << shift);
        const unsigned __int128 half = (unsigned __int128)1 << (shift - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
    } /* else below 2^-74 times 10^15: rounds to 0 */
    if (q >= (unsigned __int128)UINT64_MAX) return 0;
    const uint64_t whole = (uint64_t)q / kPow10[precision];
    uint64_t part = (uint64_t)q % kPow10[precision];
    char digits[24];
    char* end = digits + sizeof digits;
    uint64_t w = whole;
    do {
        *--end = (char)('0' + w % 10);
        w /= 10;
    } while (w != 0);
    size_t n = (size_t)(digits + sizeof digits - end);
    memcpy(out, end, n);
    if (precision > 0) {
        out[n++] = '.';
        for (int i = precision - 1; i >= 0; --i) {
            out[n + (size_t)i] = (char)('0' + part % 10);
            part /= 10;
        }
        n += (size_t)precision;
    }
    return n;
}

/* Floating point: the C library formats |v| into 8-bit text, the engine adds sign and padding.
 * 0, or -1 after a failed allocation or a failed sprintf. */
static int PutFloat(Output* o, const FormatSpec* s, int flags, int width, int precision, double v) {
    const int negative = v < 0;
    const double magnitude = fabs(v);
    if (precision < 0) precision = 6;

    /* The size is not passed on: every floating-point argument is a double. */
    char pattern[8];
    int k = 0;
    pattern[k++] = '%';
    if (flags & F_ALT) pattern[k++] = '#';
    pattern[k++] = '.';
    pattern[k++] = '*';
    pattern[k++] = (char)s->conversion;
    pattern[k] = 0;

    char local[kFloatBytes];
    char* text = local;
    size_t size = sizeof local;
    int heapLine = 0;
    /* Most fixed-notation values need no call into the C library. */
    size_t length =
        s->conversion == 'f' && !(flags & F_ALT) ? FixedText(magnitude, precision, local) : 0;
    if (length == 0) {
        if (s->conversion == 'f') {
            /* Fixed notation grows with the magnitude: at most 309 digits before the point. */
            if ((precision > 16 || (s->size == SZ_BIG_L && magnitude > 1e305)) &&
                (precision > 40 || magnitude >= 1e280) && (precision > 291 || magnitude >= 1e40)) {
                size = (size_t)precision + 640;
                heapLine = kLineFloatHeapF;
            }
        } else if (precision > 320) {
            size = (size_t)precision + 16;
            heapLine = kLineFloatHeap;
        }
        if (heapLine) {
            text = malloc(size);
            if (!text) {
                TraceOutOfMemory(kFunction, kSource, heapLine);
                return -1;
            }
        }

        const int produced = snprintf(text, size, pattern, precision, magnitude);
        if (produced < 0) {
            if (text != local) free(text);
            return -1;
        }
        length = (size_t)produced;
        if (length >= size) {
            if (u16TraceLevel > 0) {
                static const U16Char kOverflow[] = {
                    'B', 'u', 'f', 'f', 'e', 'r', ' ', 'o', 'v', 'e', 'r', 'f', 'l', 'o',
                    'w', ' ', '(', 'f', 'l', 'o', 'a', 't', 'i', 'n', 'g', ' ', 'p', 'o',
                    'i', 'n', 't', ' ', 'o', 'u', 't', 'p', 'u', 't', ')', 0};
                TraceMessage(kOverflow, kSource, kLineFloatOverflow, 1);
            }
            length = size - 1;
        }
    }

    const char sign = negative ? '-' : (flags & F_PLUS) ? '+' : (flags & F_SPACE) ? ' ' : 0;
    const size_t used = length + (sign ? 1 : 0);
    const size_t pad = (size_t)width > used ? (size_t)width - used : 0;
    /* Zeros in front of "inf" or "nan" would read as a number: those pad with spaces. */
    const int zeroPad = (flags & F_ZERO) && !(flags & F_MINUS) && isfinite(v);
    if (!(flags & F_MINUS) && !zeroPad) PutRun(o, ' ', pad);
    if (sign) PutAscii(o, &sign, 1);
    if (zeroPad) PutRun(o, '0', pad);
    PutAscii(o, text, length);
    if (flags & F_MINUS) PutRun(o, ' ', pad);

    if (text != local) free(text);
    return 0;
}

/* Produces one conversion with its width, precision and value resolved. 0 or -1. */
static int Convert(Output* o, const FormatSpec* s, int width, int precision, U16Arg value) {
    int flags = s->flags;
    if (width < 0) {
        /* Only a "*" width can be negative; INT_MIN has no magnitude in an int. */
        if (width == INT_MIN) {
            errno = EOVERFLOW;
            return -1;
        }
        flags |= F_MINUS;
        width = -width;
    }
    const int wide = s->size == SZ_LL || s->size == SZ_BIG_L || s->size == SZ_I64;

    switch (s->conversion) {
        case 'd':
        case 'i': {
            const int64_t v = wide ? value.ll : value.i;
            const uint64_t magnitude = v < 0 ? 0 - (uint64_t)v : (uint64_t)v;
            const char sign = v < 0 ? '-' : (flags & F_PLUS) ? '+' : (flags & F_SPACE) ? ' ' : 0;
            PutInteger(o, flags, width, precision, magnitude, sign, 10, 0, 0);
            return 0;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            const uint64_t v = wide              ? (uint64_t)value.ll
                               : s->size == SZ_H ? (uint64_t)(uint16_t)value.i
                                                 : (uint64_t)(uint32_t)value.i;
            const int base = s->conversion == 'u' ? 10 : s->conversion == 'o' ? 8 : 16;
            PutInteger(o, flags, width, precision, v, 0, base, s->conversion == 'X',
                       (flags & F_ALT) != 0);
            return 0;
        }
        case 'c': {
            const U16Char unit = (U16Char)value.i;
            PutPadded(o, flags, width, &unit, 1);
            return 0;
        }
        case 's': {
            const U16Char* text = value.p;
            if (!text) {
                if (precision >= 0 && precision <= 5) {
                    PutPaddedAscii(o, flags, width, "", 0);
                } else {
                    PutPaddedAscii(o, flags, width, "(null)", 6);
                }
                return 0;
            }
            /* With a precision the text need not be terminated within it. */
            size_t n = 0;
            if (precision >= 0) {
                while (n < (size_t)precision && text[n]) ++n;
            } else {
                n = u16_strlen(text);
            }
            PutPadded(o, flags, width, text, n);
            return 0;
        }
        case 'p':
            if (!value.p) {
                PutPaddedAscii(o, flags, width, "(nil)", 5);
            } else {
                PutInteger(o, flags, width, precision, (uint64_t)(uintptr_t)value.p, 0, 16, 0, 1);
            }
            return 0;
        case 'n':
            /* A null target has nowhere to take the count. */
            if (value.p) {
                if (wide) {
                    *(int64_t*)value.p = (int64_t)o->count;
                } else if (s->size == SZ_H) {
                    *(int16_t*)value.p = (int16_t)o->count;
                } else {
                    *(int*)value.p = (int)o->count;
                }
            }
            return 0;
        case '%':
            PutAscii(o, "%", 1);
            return 0;
        default:
            return PutFloat(o, s, flags, width, precision, value.d);
    }
}

/* ---- Positional arguments ----------------------------------------------------------------- */

static void ClaimIndex(int* index, long long* next, int* maxIndex, int* refs) {
    if (*index == 0) *index = *next <= INT_MAX ? (int)*next : INT_MAX;
    *next = (long long)*index + 1;
    if (*index > *maxIndex) *maxIndex = *index;
    ++*refs;
}

static int SetKind(unsigned char* kinds, int index, int kind) {
    if (kinds[index - 1] == U16_ARG_NONE) {
        kinds[index - 1] = (unsigned char)kind;
        return 0;
    }
    return kinds[index - 1] == kind ? 0 : -1;
}

/* Reparses the format from its first "%" into a list, fetches every argument in position order
 * by the kind its specifications give it, and produces the output from specification number
 * resume on (the ones before it were produced already, from the same arguments, and the one at
 * resume was parsed and reported already). A position that
 * no specification gives a kind, or that two give different kinds, cannot be fetched safely:
 * it is a format error. 0 or -1. */
static int FormatPositional(Output* o, const U16Char* format, const U16Char* firstPercent,
                            size_t resume, U16ArgSource* args) {
    TraceFormatError(format, '$', kSource, kLinePositional);

    FormatSpec localSpecs[kLocalSpecs];
    unsigned char localKinds[kLocalArgs];
    U16Arg localValues[kLocalArgs];
    FormatSpec* list = localSpecs;
    unsigned char* kinds = localKinds;
    U16Arg* values = localValues;
    size_t capacity = kLocalSpecs, n = 0;
    int result = -1;

    for (const U16Char* p = firstPercent;;) {
        while (*p && *p != '%') ++p;
        if (!*p) break;
        if (n == capacity) {
            FormatSpec* grown = malloc(2 * capacity * sizeof *grown);
            if (!grown) {
                TraceOutOfMemory(kFunction, kSource, kLineListGrowth);
                goto done;
            }
            memcpy(grown, list, n * sizeof *grown);
            if (list != localSpecs) free(list);
            list = grown;
            capacity *= 2;
        }
        if (ParseSpec(format, p, &list[n], n > resume) < 0) goto done;
        p = list[n].end;
        ++n;
    }

    /* Positions: a specification without "n$" takes the one after the last taken. */
    long long next = 1;
    int maxIndex = 0, refs = 0;
    for (size_t i = 0; i < n; ++i) {
        FormatSpec* s = &list[i];
        if (s->widthStar) ClaimIndex(&s->widthIndex, &next, &maxIndex, &refs);
        if (s->precisionStar) ClaimIndex(&s->precisionIndex, &next, &maxIndex, &refs);
        if (ValueKind(s) != U16_ARG_NONE) ClaimIndex(&s->valueIndex, &next, &maxIndex, &refs);
    }
    /* More positions than references means a gap. */
    if (maxIndex > refs) {
        FormatError(format, '$', kLineBadIndex);
        goto done;
    }
    if (maxIndex > kLocalArgs) {
        kinds = malloc((size_t)maxIndex);
        if (!kinds) {
            TraceOutOfMemory(kFunction, kSource, kLineArgKinds);
            goto done;
        }
        values = malloc((size_t)maxIndex * sizeof *values);
        if (!values) {
            TraceOutOfMemory(kFunction, kSource, kLineArgValues);
            goto done;
        }
    }
    memset(kinds, U16_ARG_NONE, (size_t)maxIndex);
    for (size_t i = 0; i < n; ++i) {
        const FormatSpec* s = &list[i];
        const int kind = ValueKind(s);
        if ((s->widthStar && SetKind(kinds, s->widthIndex, U16_ARG_INT) < 0) ||
            (s->precisionStar && SetKind(kinds, s->precisionIndex, U16_ARG_INT) < 0) ||
            (kind != U16_ARG_NONE && SetKind(kinds, s->valueIndex, kind) < 0)) {
            FormatError(format, '$', kLineBadIndex);
            goto done;
        }
    }
    for (int i = 0; i < maxIndex; ++i) {
        if (kinds[i] == U16_ARG_NONE) {
            FormatError(format, '$', kLineBadIndex);
            goto done;
        }
    }

    args->rewind(args);
    for (int i = 0; i < maxIndex; ++i) values[i] = args->next(args, kinds[i]);

    for (size_t i = resume; i < n && !o->failed; ++i) {
        const FormatSpec* s = &list[i];
        const int width = s->widthStar ? values[s->widthIndex - 1].i : s->width;
        int precision = s->precisionStar ? values[s->precisionIndex - 1].i : s->precision;
        if (precision < 0) precision = -1;
        U16Arg value;
        value.ll = 0;
        if (ValueKind(s) != U16_ARG_NONE) value = values[s->valueIndex - 1];
        if (Convert(o, s, width, precision, value) < 0) goto done;
        PutLiteral(o, s->end);
    }
    result = o->failed ? -1 : 0;

done:
    if (list != localSpecs) free(list);
    if (kinds != localKinds) free(kinds);
    if (values != localValues) free(values);
    return result;
}

/* ---- The engine --------------------------------------------------------------------------- */

static int Format(Output* o, const U16Char* format, U16ArgSource* args) {
    const U16Char* firstPercent = NULL;
    size_t done = 0; /* specifications produced */
    for (const U16Char* p = format;;) {
        const U16Char* q = PutLiteral(o, p);
        if (!*q || o->failed) break;
        if (!firstPercent) firstPercent = q;

        FormatSpec s;
        if (ParseSpec(format, q, &s, 1) < 0) return -1;
        if (s.valueIndex || s.widthIndex || s.precisionIndex) {
            return FormatPositional(o, format, firstPercent, done, args);
        }
        const int width = s.widthStar ? args->next(args, U16_ARG_INT).i : s.width;
        int precision = s.precision;
        if (s.precisionStar) {
            precision = args->next(args, U16_ARG_INT).i;
            if (precision < 0) precision = -1;
        }
        const int kind = ValueKind(&s);
        U16Arg value;
        value.ll = 0;
        if (kind != U16_ARG_NONE) value = args->next(args, kind);
        if (Convert(o, &s, width, precision, value) < 0) return -1;
        p = s.end;
        ++done;
    }
    return o->failed ? -1 : 0;
}

static int FormatWith(FILE* stream, U16Char* buffer, unsigned int* length, const U16Char* format,
                      U16ArgSource* args) {
    if (!format) {
        errno = EINVAL;
        return -1;
    }
    Output o;
    o.stream = stream;
    o.buffer = NULL;
    o.room = o.stored = o.count = o.bytes = o.fill = 0;
    o.failed = 0;
    unsigned int capacity = 0;
    if (!stream) {
        if (buffer) {
            if (!length) {
                errno = EINVAL;
                return -1;
            }
            capacity = *length;
            o.buffer = buffer;
            o.room = capacity == 0xFFFFFFFFu ? SIZE_MAX : capacity > 0 ? capacity - 1 : 0;
        } else if (length && *length != 0) {
            errno = EBADF;
            return -1;
        }
    }

    if (o.stream) flockfile(o.stream);
    int result = Format(&o, format, args);

    if (o.stream) {
        Flush(&o);
        funlockfile(o.stream);
        if (o.failed) result = -1;
        if (length) *length += (unsigned int)o.bytes;
    }
    /* A buffer of capacity 0 has no unit for the terminator. */
    if (o.buffer && capacity > 0) o.buffer[o.stored] = 0;
    if (result < 0) return -1;
    if (o.count > INT_MAX) {
        errno = EOVERFLOW;
        return -1;
    }
    return (int)o.count;
}

/* ---- Public functions --------------------------------------------------------------------- */

int vvfprintfU16(FILE* stream, U16Char* buffer, unsigned int* length, const U16Char* format,
                 va_list args) {
    if (!format) {
        errno = EINVAL;
        return -1;
    }
    VaSource source;
    source.base.next = VaNext;
    source.base.rewind = VaRewind;
    va_copy(source.start, args);
    va_copy(source.current, args);
    const int result = FormatWith(stream, buffer, length, format, &source.base);
    va_end(source.current);
    va_end(source.start);
    return result;
}

int vfprintfU16(FILE* stream, const U16Char* format, va_list args) {
    unsigned int length = 0;
    return vvfprintfU16(stream, NULL, &length, format, args);
}

int vprintfU16(const U16Char* format, va_list args) {
    return vfprintfU16(stdout, format, args);
}

int printfU16(const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vfprintfU16(stdout, format, args);
    va_end(args);
    return result;
}

int fprintfU16(FILE* stream, const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vfprintfU16(stream, format, args);
    va_end(args);
    return result;
}
