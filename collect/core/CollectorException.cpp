#include "collect/core/CollectorException.h"

#include "platform/Format.h"

CCollectorException::CCollectorException(std::u16string_view text)
    : m_strError(FinishExceptionMessage(platform::Format(u"Collector Exception: %s", text))) {}

void ThrowCollectorException(std::u16string_view text) {
    throw CCollectorException(text);
}
