#include "r3sim/Figures.h"

#include <cmath>

namespace r3sim {
namespace {

uint64_t Mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

Figures::Key Figures::KeyOf(std::string_view key) const {
    uint64_t h = 0xCBF29CE484222325ull ^ Mix(seed_);
    for (char c : key) h = (h ^ static_cast<uint8_t>(c)) * 0x100000001B3ull;
    return Key{h};
}

uint64_t Figures::Hash(Key key, int64_t salt) const {
    return Mix(key.hash ^ Mix(static_cast<uint64_t>(salt)));
}

uint64_t Figures::Hash(std::string_view key, int64_t salt) const {
    return Hash(KeyOf(key), salt);
}

double Figures::Unit(Key key, int64_t salt) const {
    return static_cast<double>(Hash(key, salt) >> 11) * 0x1.0p-53;
}

double Figures::Unit(std::string_view key, int64_t salt) const {
    return Unit(KeyOf(key), salt);
}

int64_t Figures::Between(Key key, int64_t salt, int64_t low, int64_t high) const {
    if (high <= low) return low;
    const auto span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int64_t>(Hash(key, salt) % span);
}

int64_t Figures::Between(std::string_view key, int64_t salt, int64_t low, int64_t high) const {
    return Between(KeyOf(key), salt, low, high);
}

double Figures::Wave(std::string_view key, int64_t unixSeconds, double base, double amplitude,
                     double periodSeconds) const {
    const double phase = Unit(key, -1) * kTwoPi;
    const double t = periodSeconds > 0 ? static_cast<double>(unixSeconds) / periodSeconds : 0;
    const int64_t minute = unixSeconds >= 0 ? unixSeconds / 60 : (unixSeconds - 59) / 60;
    const double noise = (Unit(key, minute) - 0.5) * 0.2 * amplitude;
    return base + amplitude * std::sin(kTwoPi * t + phase) + noise;
}

uint64_t Figures::Counter(std::string_view key, int64_t unixSeconds, double ratePerSecond) const {
    if (unixSeconds <= 0 || ratePerSecond <= 0) return 0;
    // Whole minutes at the mean rate, plus this minute's share at 80 to 100%
    // of it: never more than a whole minute, so the counter never falls.
    const int64_t minute = unixSeconds / 60;
    const double meanPart = static_cast<double>(minute) * 60.0 * ratePerSecond;
    const double thisMinute =
        static_cast<double>(unixSeconds % 60) * ratePerSecond * (0.8 + 0.2 * Unit(key, minute));
    return static_cast<uint64_t>(meanPart + thisMinute);
}

}  // namespace r3sim
