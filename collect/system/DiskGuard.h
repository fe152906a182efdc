// The data directory's free space against the space to keep free. Below it
// the big capture (the quarter hour's dialog steps) pauses and the small
// ones go on; when space returns the dialog steps catch up from the last
// captured time, because an instance's window only advances when it writes.
//
// Thread rules: Check, Paused, Last and Message on the system thread's
// worker; SetMinimum from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

class DiskGuard {
  public:
    static constexpr uint64_t kDefaultCeiling = uint64_t{1} << 30;  // 1 GiB
    static constexpr uint64_t kDefaultPercent = 2;

    enum class Change { None, Paused, Resumed };

    struct Reading {
        uint64_t availableBytes = 0;
        uint64_t minimumBytes = 0;
        bool paused = false;
        bool known = false;  // false: the file system could not be read
    };

    // minimum: the bytes to keep free; none: 1 GiB or 2% of the file system,
    // whichever is smaller.
    void SetMinimum(std::optional<uint64_t> minimum) { minimum_ = minimum.value_or(kUseDefault); }

    // Reads the file system of path and moves the state; returns what changed.
    // A file system that cannot be read changes nothing.
    Change Check(const std::u16string& path);
    bool Paused() const { return reading_.paused; }
    const Reading& Last() const { return reading_; }

    // The line for a change, "" for none.
    std::u16string Message(Change change, const std::u16string& path) const;

    // The default for a file system of totalBytes.
    static uint64_t DefaultMinimum(uint64_t totalBytes);

  private:
    static constexpr uint64_t kUseDefault = UINT64_MAX;
    std::atomic<uint64_t> minimum_{kUseDefault};
    Reading reading_;
};

// "1.5 GiB", "300 MiB", "12 KiB", "512 bytes": sizes in messages.
std::u16string ByteSizeText(uint64_t bytes);
