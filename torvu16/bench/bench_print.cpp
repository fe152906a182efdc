// Formatted output beside ICU's ustdio and the C library, on the same
// conversions: a mix of integers, strings and doubles, into a buffer and into
// a stream (/dev/null). The "allocs" counter is the number of heap allocations
// per formatted line: integer and string conversions must show 0.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unicode/ustdio.h>
#include <unicode/ustring.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "torvu16.h"

// Every allocation of the process passes through here, so the library's are counted too.
namespace {
std::atomic<long> allocations{0};
}

extern "C" {
extern void* __libc_malloc(size_t);
extern void* __libc_calloc(size_t, size_t);
extern void* __libc_realloc(void*, size_t);
void* malloc(size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
}

namespace {

const U16Char kName[] = {'c', 'o', 'l', 'l', 'e', 'c', 't', 'o', 'r', 0};
const UChar kNameIcu[] = u"collector";
const char kName8[] = "collector";

const U16Char* Units(const char16_t* text) {
    return reinterpret_cast<const U16Char*>(text);
}

// The mix: integers, a string, a double; and the same without the double.
const char16_t kMix[] = u"id=%d name=%s value=%.3f hex=%08x count=%-6u|\n";
const char16_t kMixIcu[] = u"id=%d name=%S value=%.3f hex=%08x count=%-6u|\n";
const char kMix8[] = "id=%d name=%s value=%.3f hex=%08x count=%-6u|\n";
const char16_t kText[] = u"id=%d name=%s hex=%08x count=%-6u wide=%lld|\n";
const char16_t kTextIcu[] = u"id=%d name=%S hex=%08x count=%-6u wide=%lld|\n";
const char kText8[] = "id=%d name=%s hex=%08x count=%-6u wide=%lld|\n";

int BufferU16(U16Char* out, unsigned int capacity, const U16Char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = vvfprintfU16(nullptr, out, &capacity, format, args);
    va_end(args);
    return n;
}

template <typename Body>
void Run(benchmark::State& state, Body body) {
    const long before = allocations.load();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(body(i));
        ++i;
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations.load() - before),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_Buffer_Mix_Torvu16(benchmark::State& state) {
    U16Char out[256];
    Run(state, [&](int i) { return BufferU16(out, 256, Units(kMix), i, kName, i * 0.25, i, i); });
}
void BM_Buffer_Mix_Icu(benchmark::State& state) {
    UChar out[256];
    Run(state, [&](int i) { return u_snprintf_u(out, 256, kMixIcu, i, kNameIcu, i * 0.25, i, i); });
}
void BM_Buffer_Mix_Libc(benchmark::State& state) {
    char out[256];
    Run(state, [&](int i) { return snprintf(out, sizeof out, kMix8, i, kName8, i * 0.25, i, i); });
}

void BM_Buffer_Text_Torvu16(benchmark::State& state) {
    U16Char out[256];
    Run(state, [&](int i) {
        return BufferU16(out, 256, Units(kText), i, kName, i, i, (long long)i << 33);
    });
}
void BM_Buffer_Text_Icu(benchmark::State& state) {
    UChar out[256];
    Run(state, [&](int i) {
        return u_snprintf_u(out, 256, kTextIcu, i, kNameIcu, i, i, (long long)i << 33);
    });
}
void BM_Buffer_Text_Libc(benchmark::State& state) {
    char out[256];
    Run(state, [&](int i) {
        return snprintf(out, sizeof out, kText8, i, kName8, i, i, (long long)i << 33);
    });
}

FILE* DevNull() {
    static FILE* f = std::fopen("/dev/null", "w");
    return f;
}

void BM_Stream_Mix_Torvu16(benchmark::State& state) {
    FILE* f = DevNull();
    Run(state, [&](int i) { return fprintfU16(f, Units(kMix), i, kName, i * 0.25, i, i); });
}
void BM_Stream_Mix_Icu(benchmark::State& state) {
    UFILE* u = u_finit(DevNull(), "en_US", "UTF-8");
    Run(state, [&](int i) { return u_fprintf_u(u, kMixIcu, i, kNameIcu, i * 0.25, i, i); });
    u_fflush(u);
    u_fclose(u);
}
void BM_Stream_Mix_Libc(benchmark::State& state) {
    FILE* f = DevNull();
    Run(state, [&](int i) { return std::fprintf(f, kMix8, i, kName8, i * 0.25, i, i); });
}

void BM_Stream_Text_Torvu16(benchmark::State& state) {
    FILE* f = DevNull();
    Run(state,
        [&](int i) { return fprintfU16(f, Units(kText), i, kName, i, i, (long long)i << 33); });
}
void BM_Stream_Text_Icu(benchmark::State& state) {
    UFILE* u = u_finit(DevNull(), "en_US", "UTF-8");
    Run(state,
        [&](int i) { return u_fprintf_u(u, kTextIcu, i, kNameIcu, i, i, (long long)i << 33); });
    u_fflush(u);
    u_fclose(u);
}
void BM_Stream_Text_Libc(benchmark::State& state) {
    FILE* f = DevNull();
    Run(state, [&](int i) { return std::fprintf(f, kText8, i, kName8, i, i, (long long)i << 33); });
}

}  // namespace

BENCHMARK(BM_Buffer_Mix_Torvu16);
BENCHMARK(BM_Buffer_Mix_Icu);
BENCHMARK(BM_Buffer_Mix_Libc);
BENCHMARK(BM_Buffer_Text_Torvu16);
BENCHMARK(BM_Buffer_Text_Icu);
BENCHMARK(BM_Buffer_Text_Libc);
BENCHMARK(BM_Stream_Mix_Torvu16);
BENCHMARK(BM_Stream_Mix_Icu);
BENCHMARK(BM_Stream_Mix_Libc);
BENCHMARK(BM_Stream_Text_Torvu16);
BENCHMARK(BM_Stream_Text_Icu);
BENCHMARK(BM_Stream_Text_Libc);

BENCHMARK_MAIN();
