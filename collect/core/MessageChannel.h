// The message channel from the collection threads to the main window.
//
// Writers take MessageRingLock, advance MessageRingIndex (wrapping from 99 to
// 0, so the first message lands in slot 1 and the 100th in slot 0), store the
// line in that slot with each line feed replaced by a blank, and post the
// window message with the slot index to the registered main window, retrying
// every 10 ms while the post fails; then they release the lock. Without a
// registered main window the line just stays in the ring.
//
// The ring's slots are guarded by a second, short lock of their own, so the
// main window copies a slot safely (an unguarded read would race with a
// writer) without ever waiting for a writer that is retrying a post.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

inline constexpr unsigned WM_SYSTEM_MESSAGE = 0x1400;
inline constexpr unsigned WM_INSTANCE_MESSAGE = 0x2400;
inline constexpr unsigned WM_HOST_MESSAGE = 0x3400;

// Where posted messages go: the main window. PostMessage returns false when
// its queue does not take the message now.
class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    virtual bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) = 0;
};

class MessageChannel {
  public:
    static constexpr int kRingSize = 100;

    static MessageChannel& Instance();

    // Registers the main window (null: none). Registration waits for a
    // writer that is posting.
    void SetMainWindow(MessageTarget* target);

    // Stores the line in the next slot, posts message with it, returns the slot.
    int Post(unsigned message, std::u16string_view line);

    // A copy of a slot's text (empty for an index outside the ring).
    std::u16string Slot(int index) const;
    int LastIndex() const;

    // Back to the start-up state: empty slots, index 0, no main window.
    void Reset();

  private:
    MessageChannel() = default;

    std::mutex MessageRingLock;    // serialises writers, held while posting
    mutable std::mutex slotLock_;  // guards MessageRing and MessageRingIndex
    std::array<std::u16string, kRingSize> MessageRing;
    int MessageRingIndex = 0;
    MessageTarget* mainWindow_ = nullptr;  // guarded by MessageRingLock
};

// The message time stamp of the current local time:
// "  %#I:%M %p   %a, %b %#d, %Y  ".
std::u16string MessageTimeStamp();
std::u16string MessageTimeStamp(const platform::DateTime& localTime);
