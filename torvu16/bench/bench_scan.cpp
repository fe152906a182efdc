// Formatted input: lines of integers, words and doubles scanned from a
// string and from a stream, by the library (UTF-16), by ICU's u_sscanf and
// u_fscanf (UTF-16) and by the C library's sscanf and fscanf on the same
// text in 8 bits. Items are lines.
#include <benchmark/benchmark.h>
#include <unicode/ustdio.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "torvu16.h"

namespace {

constexpr int kLines = 1000;

enum Kind { kIntegers, kWords, kDoubles };

std::string Line(Kind kind, int i) {
    char line[96];
    switch (kind) {
        case kIntegers:
            std::snprintf(line, sizeof line, "%d -%d %d %d\n", 12345 + i, 678 + i, i % 97,
                          4242 * i);
            break;
        case kWords:
            std::snprintf(line, sizeof line, "alpha%d beta gamma%d delta\n", i % 10, i % 7);
            break;
        case kDoubles:
            std::snprintf(line, sizeof line, "%.5f -2.5e%d 0.00%d %d.25\n", 3.14159 + i, i % 20,
                          i % 9 + 1, i);
            break;
    }
    return line;
}

const char* Format8(Kind kind) {
    return kind == kIntegers ? "%d %d %d %d" : kind == kWords ? "%s %s %s %s" : "%lf %lf %lf %lf";
}

// ICU spells a UTF-16 string "S".
const char* FormatIcu(Kind kind) {
    return kind == kIntegers ? "%d %d %d %d" : kind == kWords ? "%S %S %S %S" : "%lf %lf %lf %lf";
}

std::u16string Widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

struct Lines {
    std::vector<std::string> narrow;
    std::vector<std::u16string> wide;
    std::string text;
    explicit Lines(Kind kind) {
        for (int i = 0; i < kLines; ++i) {
            narrow.push_back(Line(kind, i));
            wide.push_back(Widen(narrow.back()));
            text += narrow.back();
        }
    }
};

// Destinations big enough for every kind.
struct Sink {
    int i[4];
    double d[4];
    char s[4][32];
    U16Char w[4][32];
    UChar u[4][32];
};

void* Target(Kind kind, Sink& k, int j, bool icu, bool narrow) {
    if (kind == kIntegers) return &k.i[j];
    if (kind == kDoubles) return &k.d[j];
    return narrow ? static_cast<void*>(k.s[j]) : icu ? static_cast<void*>(k.u[j]) : k.w[j];
}

int ScanString16(const U16Char* source, const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    int r = vvfscanfU16(source, nullptr, format, args);
    va_end(args);
    return r;
}

void StringLibrary(benchmark::State& state, Kind kind) {
    const Lines lines(kind);
    const std::u16string format = Widen(Format8(kind));
    const auto* f = reinterpret_cast<const U16Char*>(format.c_str());
    Sink k;
    for (auto _ : state) {
        for (const auto& line : lines.wide) {
            int r =
                ScanString16(reinterpret_cast<const U16Char*>(line.c_str()), f,
                             Target(kind, k, 0, false, false), Target(kind, k, 1, false, false),
                             Target(kind, k, 2, false, false), Target(kind, k, 3, false, false));
            if (r != 4) state.SkipWithError("short scan");
        }
        benchmark::DoNotOptimize(k);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void StringIcu(benchmark::State& state, Kind kind) {
    const Lines lines(kind);
    const char* f = FormatIcu(kind);
    Sink k;
    for (auto _ : state) {
        for (const auto& line : lines.wide) {
            int r = u_sscanf(reinterpret_cast<const UChar*>(line.c_str()), f,
                             Target(kind, k, 0, true, false), Target(kind, k, 1, true, false),
                             Target(kind, k, 2, true, false), Target(kind, k, 3, true, false));
            if (r != 4) state.SkipWithError("short scan");
        }
        benchmark::DoNotOptimize(k);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void StringCLibrary(benchmark::State& state, Kind kind) {
    const Lines lines(kind);
    const char* f = Format8(kind);
    Sink k;
    for (auto _ : state) {
        for (const auto& line : lines.narrow) {
            int r = std::sscanf(line.c_str(), f, Target(kind, k, 0, false, true),
                                Target(kind, k, 1, false, true), Target(kind, k, 2, false, true),
                                Target(kind, k, 3, false, true));
            if (r != 4) state.SkipWithError("short scan");
        }
        benchmark::DoNotOptimize(k);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

// The whole text in a memory stream; every pass rereads it from the start.
FILE* StreamOf(const std::string& text) {
    return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

void StreamLibrary(benchmark::State& state, Kind kind) {
    const Lines lines(kind);
    const std::u16string format = Widen(std::string(Format8(kind)) + " ");
    const auto* f = reinterpret_cast<const U16Char*>(format.c_str());
    FILE* stream = StreamOf(lines.text);
    Sink k;
    for (auto _ : state) {
        rewind(stream);
        for (int i = 0; i < kLines; ++i) {
            int r = fscanfU16(stream, f, Target(kind, k, 0, false, false),
                              Target(kind, k, 1, false, false), Target(kind, k, 2, false, false),
                              Target(kind, k, 3, false, false));
            if (r != 4) state.SkipWithError("short scan");
        }
        benchmark::DoNotOptimize(k);
    }
    std::fclose(stream);
    state.SetItemsProcessed(state.iterations() * kLines);
}

void StreamIcu(benchmark::State& state, Kind kind) {
    const Lines lines(kind);
    const std::string format = std::string(FormatIcu(kind)) + " ";
    FILE* stream = StreamOf(lines.text);
    UFILE* file = u_finit(stream, nullptr, "UTF-8");
    Sink k;
    for (auto _ : state) {
        u_frewind(file);
        for (int i = 0; i < kLines; ++i) {
            int r = u_fscanf(file, format.c_str(), Target(kind, k, 0, true, false),
                             Target(kind, k, 1, true, false), Target(kind, k, 2, true, false),
                             Target(kind, k, 3, true, false));
            if (r != 4) state.SkipWithError("short scan");
        }
        benchmark::DoNotOptimize(k);
    }
    u_fclose(file);
    std::fclose(stream);
    state.SetItemsProcessed(state.iterations() * kLines);
}

void StreamCLibrary(benchmark::State& state, Kind kind) {
    const Lines lines(kind);
    const std::string format = std::string(Format8(kind)) + " ";
    FILE* stream = StreamOf(lines.text);
    Sink k;
    for (auto _ : state) {
        rewind(stream);
        for (int i = 0; i < kLines; ++i) {
            int r = std::fscanf(stream, format.c_str(), Target(kind, k, 0, false, true),
                                Target(kind, k, 1, false, true), Target(kind, k, 2, false, true),
                                Target(kind, k, 3, false, true));
            if (r != 4) state.SkipWithError("short scan");
        }
        benchmark::DoNotOptimize(k);
    }
    std::fclose(stream);
    state.SetItemsProcessed(state.iterations() * kLines);
}

}  // namespace

BENCHMARK_CAPTURE(StringLibrary, integers, kIntegers);
BENCHMARK_CAPTURE(StringIcu, integers, kIntegers);
BENCHMARK_CAPTURE(StringCLibrary, integers, kIntegers);
BENCHMARK_CAPTURE(StringLibrary, words, kWords);
BENCHMARK_CAPTURE(StringIcu, words, kWords);
BENCHMARK_CAPTURE(StringCLibrary, words, kWords);
BENCHMARK_CAPTURE(StringLibrary, doubles, kDoubles);
BENCHMARK_CAPTURE(StringIcu, doubles, kDoubles);
BENCHMARK_CAPTURE(StringCLibrary, doubles, kDoubles);
BENCHMARK_CAPTURE(StreamLibrary, integers, kIntegers);
BENCHMARK_CAPTURE(StreamIcu, integers, kIntegers);
BENCHMARK_CAPTURE(StreamCLibrary, integers, kIntegers);
BENCHMARK_CAPTURE(StreamLibrary, words, kWords);
BENCHMARK_CAPTURE(StreamIcu, words, kWords);
BENCHMARK_CAPTURE(StreamCLibrary, words, kWords);
BENCHMARK_CAPTURE(StreamLibrary, doubles, kDoubles);
BENCHMARK_CAPTURE(StreamIcu, doubles, kDoubles);
BENCHMARK_CAPTURE(StreamCLibrary, doubles, kDoubles);

BENCHMARK_MAIN();
