#include "collect/core/MessageChannel.h"

#include <chrono>
#include <thread>

#include "platform/FixedText.h"
#include "platform/TimeFormat.h"

MessageChannel& MessageChannel::Instance() {
    static MessageChannel channel;
    return channel;
}

void MessageChannel::SetMainWindow(MessageTarget* target) {
    std::lock_guard lock(MessageRingLock);
    mainWindow_ = target;
}

int MessageChannel::Post(unsigned message, std::u16string_view line) {
    std::lock_guard lock(MessageRingLock);
    int slot;
    {
        std::lock_guard slots(slotLock_);
        MessageRingIndex = (MessageRingIndex + 1) % kRingSize;
        slot = MessageRingIndex;
        MessageRing[static_cast<size_t>(slot)] = platform::ReplaceAll(line, u"\n", u" ");
    }
    if (mainWindow_ != nullptr) {
        while (!mainWindow_->PostMessage(message, 0, slot)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return slot;
}

std::u16string MessageChannel::Slot(int index) const {
    if (index < 0 || index >= kRingSize) return {};
    std::lock_guard slots(slotLock_);
    return MessageRing[static_cast<size_t>(index)];
}

int MessageChannel::LastIndex() const {
    std::lock_guard slots(slotLock_);
    return MessageRingIndex;
}

void MessageChannel::Reset() {
    std::lock_guard lock(MessageRingLock);
    std::lock_guard slots(slotLock_);
    for (auto& s : MessageRing) s.clear();
    MessageRingIndex = 0;
    mainWindow_ = nullptr;
}

std::u16string MessageTimeStamp(const platform::DateTime& localTime) {
    return platform::FormatDateTime(u"  %#I:%M %p   %a, %b %#d, %Y  ", localTime);
}

std::u16string MessageTimeStamp() {
    return MessageTimeStamp(platform::CurrentLocalTime());
}
