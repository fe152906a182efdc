#include "rfc/RfcException.h"

#include "platform/FixedText.h"
#include "platform/Format.h"

namespace {

std::u16string RecordMessage(const RFC_ERROR_INFO_EX& error) {
    return platform::FieldText(error.message, std::size(error.message));
}

}  // namespace

void CRfcException::TakeRecord(const RFC_ERROR_INFO_EX& error) {
    m_nGroup = error.group;
    m_strKey = platform::TrimRight(platform::FieldText(error.key, std::size(error.key)));
}

CRfcException::CRfcException(std::u16string_view location, const RFC_ERROR_INFO_EX& error) {
    TakeRecord(error);
    m_strMessage = FinishExceptionMessage(
        platform::Format(u"RFC Exception: %s(): %s", location, RecordMessage(error)));
}

CRfcException::CRfcException(std::u16string_view location, std::u16string_view function,
                             const RFC_ERROR_INFO_EX& error) {
    TakeRecord(error);
    m_strMessage = FinishExceptionMessage(
        platform::Format(u"RFC Exception: %s(%s): %s", location, function, RecordMessage(error)));
}

CRfcException::CRfcException(std::u16string_view location, std::u16string_view detail)
    : m_strMessage(
          FinishExceptionMessage(platform::Format(u"RFC Exception: %s(%s)", location, detail))) {}

CRfcException::CRfcException(std::u16string_view text)
    : m_strKey(u"RFC_EXCEPTION_MESSAGE"),
      m_strMessage(FinishExceptionMessage(platform::Format(u"RFC Exception: %s", text))) {}

void ThrowRfcException(std::u16string_view location, const RFC_ERROR_INFO_EX& error) {
    throw CRfcException(location, error);
}

void ThrowRfcException(std::u16string_view location, std::u16string_view function,
                       const RFC_ERROR_INFO_EX& error) {
    throw CRfcException(location, function, error);
}

void ThrowRfcDetailException(std::u16string_view location, std::u16string_view detail) {
    throw CRfcException(location, detail);
}

void ThrowRfcMessageException(std::u16string_view text) {
    throw CRfcException(text);
}
