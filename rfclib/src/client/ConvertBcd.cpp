// The C entry points for packed decimals.
#include <span>

#include "wire/Bcd.h"
#include "client/ErrorState.h"
#include "rfc32u.h"

using namespace rfclib;

extern "C" {

RFC_RC RfcConvertCharToBcdU(const RFC_CHAR* in, unsigned int in_length, int decimals, void* out,
                            unsigned int out_length) {
    if ((in == nullptr && in_length > 0) || out == nullptr)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcConvertCharToBcd: NULL buffer"), RFC_FAILURE);
    std::string reason;
    std::u16string_view text(in == nullptr ? u"" : in, in == nullptr ? 0 : in_length);
    if (!TextToBcd(text, decimals, std::span(static_cast<uint8_t*>(out), out_length), reason))
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcConvertCharToBcd: " + reason), RFC_FAILURE);
    return RFC_OK;
}

RFC_RC RfcConvertBcdToCharU(const void* in, unsigned int in_length, int decimals, RFC_CHAR* out,
                            unsigned int out_length) {
    if (in == nullptr || out == nullptr)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcConvertBcdToChar: NULL buffer"), RFC_FAILURE);
    std::string reason;
    std::u16string text;
    if (!BcdToText(std::span(static_cast<const uint8_t*>(in), in_length), decimals, text, reason))
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcConvertBcdToChar: " + reason), RFC_FAILURE);
    // Right-aligned with the sign behind: "-12.50" becomes "  12.50-".
    if (!text.empty() && text.front() == u'-') text = text.substr(1) + u"-";
    if (out_length == 0 || text.size() > out_length - 1)
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              "RfcConvertBcdToChar: " + std::to_string(text.size() + 1) +
                                  " characters needed, " + std::to_string(out_length) + " given"),
                    RFC_FAILURE);
    const size_t pad = out_length - 1 - text.size();
    for (size_t i = 0; i < pad; ++i) out[i] = u' ';
    for (size_t i = 0; i < text.size(); ++i) out[pad + i] = text[i];
    out[out_length - 1] = 0;
    return RFC_OK;
}

}  // extern "C"
