// The program's own exception for every failure that is not an RFC error:
// invalid wizard input, a cancelled wizard, directories that cannot be made
// or entered, files that cannot be opened, refused authorisations.
#pragma once

#include <string>
#include <string_view>

#include "platform/Exception.h"

class CCollectorException : public CException {
  public:
    // m_strError = "Collector Exception: <text>", trailing white space
    // removed, cut to its first 511 characters.
    explicit CCollectorException(std::u16string_view text);

    std::u16string ReportText() const override { return m_strError; }

    std::u16string m_strError;
};

// Throws a CCollectorException with the text; never returns.
[[noreturn]] void ThrowCollectorException(std::u16string_view text);
