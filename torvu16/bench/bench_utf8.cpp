// Throughput of the UTF-8 converters and of line output and input, beside
// ICU's converters and ustdio, and beside memcpy of the same bytes.
//
// The text is a few MiB of mixed lines: ASCII, Latin-1, Cyrillic, CJK and
// characters above the basic plane. Decoders read the shortest-form UTF-8
// that both libraries accept; the library's own encoder writes a character
// above the basic plane as two three-byte sequences, so its output is two
// bytes longer than ICU's for each of them (the benchmark checks this).
#include <benchmark/benchmark.h>
#include <unicode/ustdio.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "torvu16.h"

namespace {

constexpr size_t kTargetUnits = 2 * 1024 * 1024;  // 4 MiB of UTF-16

struct Corpus {
    std::vector<U16Char> units;  // lines, each ending in '\n', whole text zero-terminated
    std::vector<std::vector<U16Char>> lines;  // each zero-terminated, without '\n'
    std::string utf8;                         // shortest-form UTF-8 of units
    std::string path;                         // a file holding utf8
    size_t pairs = 0;                         // characters above the basic plane
};

const Corpus& GetCorpus() {
    static Corpus c = [] {
        Corpus c;
        const std::u16string samples[] = {
            u"The quick brown fox jumps over the lazy dog, 0123456789 times. ",
            u"Gr\u00fc\u00dfe aus K\u00f6ln, \u00e0 bient\u00f4t, se\u00f1or! ",
            u"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440! ",
            u"\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8\u3068\u4e2d\u6587\u3002 ",
            u"smileys \U0001F600\U0001F680 and math \U0001D49C. ",
        };
        size_t k = 0;
        while (c.units.size() < kTargetUnits) {
            std::vector<U16Char> line;
            for (int i = 0; i < 3; ++i) {
                const std::u16string& s = samples[(k + i * 2) % 5];
                line.insert(line.end(), s.begin(), s.end());
            }
            ++k;
            c.units.insert(c.units.end(), line.begin(), line.end());
            c.units.push_back('\n');
            line.push_back(0);
            c.lines.push_back(std::move(line));
        }
        for (size_t i = 0; i + 1 < c.units.size(); ++i) {
            if (c.units[i] >= 0xD800 && c.units[i] < 0xDC00) ++c.pairs;
        }
        c.units.push_back(0);
        UErrorCode err = U_ZERO_ERROR;
        int32_t len = 0;
        c.utf8.resize(c.units.size() * 3);
        u_strToUTF8(c.utf8.data(), (int32_t)c.utf8.size(), &len,
                    reinterpret_cast<const UChar*>(c.units.data()), (int32_t)c.units.size() - 1,
                    &err);
        c.utf8.resize((size_t)len);
        c.path = "/tmp/torvu16_bench_" + std::to_string(getpid()) + ".txt";
        FILE* f = std::fopen(c.path.c_str(), "wb");
        std::fwrite(c.utf8.data(), 1, c.utf8.size(), f);
        std::fclose(f);
        return c;
    }();
    return c;
}

void SetBytes(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)bytes);
}

// --- UTF-16 to UTF-8 ---------------------------------------------------------

void BM_Torvu16_U16ToUtf8(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<char> out(c.units.size() * 3);
    int n = 0;
    for (auto _ : state) {
        n = U16n_To_Utf8n_U16(out.data(), (int)out.size(), c.units.data(),
                              (unsigned)(c.units.size() - 1));
        benchmark::DoNotOptimize(out.data());
    }
    SetBytes(state, c.utf8.size());
    state.counters["out_bytes"] = n;
    state.counters["pairs"] = (double)c.pairs;
    if ((size_t)n != c.utf8.size() + 2 * c.pairs) state.SkipWithError("unexpected output size");
}

void BM_Icu_U16ToUtf8(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<char> out(c.units.size() * 3);
    int32_t len = 0;
    for (auto _ : state) {
        UErrorCode err = U_ZERO_ERROR;
        u_strToUTF8(out.data(), (int32_t)out.size(), &len,
                    reinterpret_cast<const UChar*>(c.units.data()), (int32_t)c.units.size() - 1,
                    &err);
        benchmark::DoNotOptimize(out.data());
    }
    SetBytes(state, c.utf8.size());
    state.counters["out_bytes"] = len;
}

// --- UTF-8 to UTF-16 ---------------------------------------------------------

void BM_Torvu16_Utf8ToU16(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<U16Char> out(c.units.size());
    for (auto _ : state) {
        int invalid = 0;
        const int n = Utf8n_To_U16(out.data(), (int)out.size(), c.utf8.data(),
                                   (unsigned)c.utf8.size(), &invalid, 0xFFFD);
        benchmark::DoNotOptimize(n);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Icu_Utf8ToU16(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<UChar> out(c.units.size());
    for (auto _ : state) {
        UErrorCode err = U_ZERO_ERROR;
        int32_t len = 0;
        u_strFromUTF8(out.data(), (int32_t)out.size(), &len, c.utf8.data(), (int32_t)c.utf8.size(),
                      &err);
        benchmark::DoNotOptimize(len);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Memcpy(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<char> out(c.utf8.size());
    for (auto _ : state) {
        std::memcpy(out.data(), c.utf8.data(), c.utf8.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, c.utf8.size());
}

// --- Line output: each line and a newline, to /dev/null ---------------------

void BM_Torvu16_fputsU16(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    FILE* f = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        for (const auto& line : c.lines) {
            fputsU16(line.data(), f);
            fputcU16('\n', f);
        }
    }
    std::fclose(f);
    SetBytes(state, c.utf8.size());
}

void BM_Icu_u_fputs(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    UFILE* f = u_fopen("/dev/null", "wb", nullptr, "UTF-8");
    for (auto _ : state) {
        for (const auto& line : c.lines) u_fputs(reinterpret_cast<const UChar*>(line.data()), f);
    }
    u_fclose(f);
    SetBytes(state, c.utf8.size());
}

void BM_Stdio_fputs(benchmark::State& state) {
    // The same bytes as 8-bit lines through the C library, for scale.
    const Corpus& c = GetCorpus();
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t i = 0; i < c.utf8.size(); ++i) {
        if (c.utf8[i] == '\n') {
            lines.push_back(c.utf8.substr(from, i + 1 - from));
            from = i + 1;
        }
    }
    FILE* f = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        for (const auto& line : lines) std::fputs(line.c_str(), f);
    }
    std::fclose(f);
    SetBytes(state, c.utf8.size());
}

// --- Line input from a file of the same text --------------------------------

void BM_Torvu16_fgetsU16(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<U16Char> line(1024);
    for (auto _ : state) {
        FILE* f = std::fopen(c.path.c_str(), "rb");
        while (fgetsU16(line.data(), (int)line.size(), f)) {
        }
        std::fclose(f);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Icu_u_fgets(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<UChar> line(1024);
    for (auto _ : state) {
        UFILE* f = u_fopen(c.path.c_str(), "rb", nullptr, "UTF-8");
        while (u_fgets(line.data(), (int32_t)line.size(), f)) {
        }
        u_fclose(f);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Stdio_fgets(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<char> line(4096);
    for (auto _ : state) {
        FILE* f = std::fopen(c.path.c_str(), "rb");
        while (std::fgets(line.data(), (int)line.size(), f)) {
        }
        std::fclose(f);
    }
    SetBytes(state, c.utf8.size());
}

// --- The other readers: counted lines, blocks and words ---------------------

template <typename Read>
void ReadFile(benchmark::State& state, Read read) {
    const Corpus& c = GetCorpus();
    for (auto _ : state) {
        FILE* f = std::fopen(c.path.c_str(), "rb");
        read(f);
        std::fclose(f);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Torvu16_fget_lineU16(benchmark::State& state) {
    std::vector<U16Char> line(1024);
    ReadFile(state, [&](FILE* f) {
        while (fget_lineU16(line.data(), (int)line.size(), f, 0xFFFD) >= 0) {
        }
    });
}

void BM_Stdio_getline(benchmark::State& state) {
    char* line = nullptr;
    size_t size = 0;
    ReadFile(state, [&](FILE* f) {
        while (getline(&line, &size, f) >= 0) {
        }
    });
    std::free(line);
}

void BM_Torvu16_freadU16(benchmark::State& state) {
    std::vector<U16Char> block(4096);
    ReadFile(state, [&](FILE* f) {
        while (freadU16(block.data(), 1, block.size(), f) > 0) {
        }
    });
}

void BM_Icu_u_file_read(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<UChar> block(4096);
    for (auto _ : state) {
        UFILE* f = u_fopen(c.path.c_str(), "rb", nullptr, "UTF-8");
        while (u_file_read(block.data(), (int32_t)block.size(), f) > 0) {
        }
        u_fclose(f);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Stdio_fread(benchmark::State& state) {
    std::vector<char> block(8192);
    ReadFile(state, [&](FILE* f) {
        while (std::fread(block.data(), 1, block.size(), f) > 0) {
        }
    });
}

void BM_Torvu16_fget_strU16(benchmark::State& state) {
    std::vector<U16Char> word(256);
    ReadFile(state, [&](FILE* f) {
        while (fget_strU16(word.data(), (int)word.size(), f, 0xFFFD) >= 0) {
        }
    });
}

void BM_Icu_u_fscanf_word(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<UChar> word(256);
    for (auto _ : state) {
        UFILE* f = u_fopen(c.path.c_str(), "rb", nullptr, "UTF-8");
        while (u_fscanf(f, "%255S", word.data()) == 1) {
        }
        u_fclose(f);
    }
    SetBytes(state, c.utf8.size());
}

void BM_Stdio_fscanf_word(benchmark::State& state) {
    std::vector<char> word(1024);
    ReadFile(state, [&](FILE* f) {
        while (std::fscanf(f, "%1023s", word.data()) == 1) {
        }
    });
}

}  // namespace

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_Torvu16_U16ToUtf8);
BENCHMARK(BM_Icu_U16ToUtf8);
BENCHMARK(BM_Torvu16_Utf8ToU16);
BENCHMARK(BM_Icu_Utf8ToU16);
BENCHMARK(BM_Torvu16_fputsU16);
BENCHMARK(BM_Icu_u_fputs);
BENCHMARK(BM_Stdio_fputs);
BENCHMARK(BM_Torvu16_fgetsU16);
BENCHMARK(BM_Icu_u_fgets);
BENCHMARK(BM_Stdio_fgets);
BENCHMARK(BM_Torvu16_fget_lineU16);
BENCHMARK(BM_Stdio_getline);
BENCHMARK(BM_Torvu16_freadU16);
BENCHMARK(BM_Icu_u_file_read);
BENCHMARK(BM_Stdio_fread);
BENCHMARK(BM_Torvu16_fget_strU16);
BENCHMARK(BM_Icu_u_fscanf_word);
BENCHMARK(BM_Stdio_fscanf_word);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(GetCorpus().path.c_str());
    return 0;
}
