#include "app/core/CollectorException.h"

#include "platform/FixedText.h"
#include "platform/Format.h"

std::u16string FinishExceptionMessage(std::u16string text) {
    text = platform::TrimRight(text);
    if (text.size() > kExceptionMessageCapacity) text.resize(kExceptionMessageCapacity);
    return text;
}

CCollectorException::CCollectorException(std::u16string_view text)
    : m_strError(FinishExceptionMessage(platform::Format(u"Collector Exception: %s", text))) {}

void ThrowCollectorException(std::u16string_view text) {
    throw CCollectorException(text);
}
