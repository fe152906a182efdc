// Standalone driver for fuzz targets when libFuzzer is not linked: replays
// every file of the given corpus directories, then feeds a fixed series of
// pseudo-random inputs and byte-level mutations of the corpus. Deterministic,
// so a failure found in CI replays the same way on a developer's machine.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::vector<uint8_t>> LoadCorpus(int argc, char** argv) {
    std::vector<std::vector<uint8_t>> corpus;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path root(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_regular_file(root, ec)) {
            std::ifstream in(root, std::ios::binary);
            corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            continue;
        }
        if (!std::filesystem::is_directory(root, ec)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return corpus;
}

void Run(const std::vector<uint8_t>& input) {
    // Copy into an exact-size heap block so AddressSanitizer sees overruns.
    std::vector<uint8_t> exact(input);
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

}  // namespace

int main(int argc, char** argv) {
    const auto corpus = LoadCorpus(argc, argv);
    for (const auto& input : corpus) Run(input);

    std::mt19937 rng(20261207u);
    constexpr int kRandomInputs = 20000;
    for (int i = 0; i < kRandomInputs; ++i) {
        std::vector<uint8_t> input;
        if (!corpus.empty() && (i % 2 == 0)) {
            input = corpus[rng() % corpus.size()];
            const int edits = 1 + static_cast<int>(rng() % 8);
            for (int e = 0; e < edits; ++e) {
                const unsigned op = rng() % 4;
                if (op == 0 && !input.empty()) {
                    input[rng() % input.size()] = static_cast<uint8_t>(rng());
                } else if (op == 1) {
                    input.insert(input.begin() + (input.empty() ? 0 : rng() % (input.size() + 1)),
                                 static_cast<uint8_t>(rng()));
                } else if (op == 2 && !input.empty()) {
                    input.erase(input.begin() + rng() % input.size());
                } else if (!input.empty()) {
                    input.resize(rng() % (input.size() + 1));
                }
            }
        } else {
            input.resize(rng() % 256);
            for (auto& b : input) b = static_cast<uint8_t>(rng());
        }
        Run(input);
    }
    std::printf("fuzz replay: %zu corpus inputs, %d generated inputs, no failure\n", corpus.size(),
                kRandomInputs);
    return 0;
}
