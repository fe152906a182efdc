// The exception of every failure in the RFC access layer. It carries the RFC
// library's error group and key and one finished message text that callers
// show and log unchanged.
#pragma once

#include <string>
#include <string_view>

#include "platform/Exception.h"
#include "rfc32u.h"

class CRfcException : public CException {
  public:
    // A failed library call that concerns no function module:
    // "RFC Exception: <location>(): <message>".
    CRfcException(std::u16string_view location, const RFC_ERROR_INFO_EX& error);
    // A failed library call on a function module:
    // "RFC Exception: <location>(<function>): <message>".
    CRfcException(std::u16string_view location, std::u16string_view function,
                  const RFC_ERROR_INFO_EX& error);
    // A lookup failure or a refusal found by the program:
    // "RFC Exception: <location>(<detail>)"; group 0, empty key.
    CRfcException(std::u16string_view location, std::u16string_view detail);
    // A program-made message: "RFC Exception: <text>"; group 0, key
    // "RFC_EXCEPTION_MESSAGE".
    explicit CRfcException(std::u16string_view text);

    std::u16string ReportText() const override { return m_strMessage; }

    int m_nGroup = 0;
    std::u16string m_strKey;
    std::u16string m_strMessage;

  private:
    void TakeRecord(const RFC_ERROR_INFO_EX& error);
};

[[noreturn]] void ThrowRfcException(std::u16string_view location, const RFC_ERROR_INFO_EX& error);
[[noreturn]] void ThrowRfcException(std::u16string_view location, std::u16string_view function,
                                    const RFC_ERROR_INFO_EX& error);
[[noreturn]] void ThrowRfcDetailException(std::u16string_view location, std::u16string_view detail);
[[noreturn]] void ThrowRfcMessageException(std::u16string_view text);
