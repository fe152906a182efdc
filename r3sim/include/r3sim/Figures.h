// Deterministic figures that evolve with time: the same seed, key and time
// give the same value in every run, so tests know what a capture holds and
// a running collector records curves worth looking at.
//
//   double cpu = Figures(seed).Wave("qashost1/cpu/user", now, 35, 20, 3600);
//
// Thread rules: a plain value; the functions are pure.
#pragma once

#include <cstdint>
#include <string_view>

namespace r3sim {

class Figures {
  public:
    explicit Figures(uint64_t seed) : seed_(seed) {}

    // A key hashed once, for figures drawn with many salts (rows built by the
    // thousand): Hash(KeyOf(key), salt) == Hash(key, salt).
    struct Key {
        uint64_t hash = 0;
    };
    Key KeyOf(std::string_view key) const;

    // A well-mixed 64-bit number of the seed and the key (FNV-1a, then splitmix).
    uint64_t Hash(std::string_view key, int64_t salt = 0) const;
    uint64_t Hash(Key key, int64_t salt) const;
    double Unit(Key key, int64_t salt) const;
    int64_t Between(Key key, int64_t salt, int64_t low, int64_t high) const;
    // Uniform in [0, 1) for (key, salt).
    double Unit(std::string_view key, int64_t salt = 0) const;
    // Uniform integer in [low, high].
    int64_t Between(std::string_view key, int64_t salt, int64_t low, int64_t high) const;

    // base + amplitude * (a sine of the given period in seconds, phase from
    // the key) + up to a tenth of the amplitude of noise that changes per minute.
    double Wave(std::string_view key, int64_t unixSeconds, double base, double amplitude,
                double periodSeconds) const;

    // A counter that grows by about ratePerSecond since
    // the epoch: monotonic in time, as the system's own counters are.
    uint64_t Counter(std::string_view key, int64_t unixSeconds, double ratePerSecond) const;

  private:
    uint64_t seed_;
};

}  // namespace r3sim
