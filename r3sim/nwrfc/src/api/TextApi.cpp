// The SDK's conversions between UTF-8 and SAP_UC (UTF-16). The size given
// in and out counts units including the terminator; a buffer too small
// answers RFC_BUFFER_TOO_SMALL with the size needed.
#include <cstring>
#include <string_view>

#include "Errors.h"
#include "platform/TextCodec.h"

using namespace nwsim;

namespace {

template <typename Unit, typename Text>
nwrfc::RFC_RC Deliver(const Text& text, Unit* out, unsigned* size, unsigned* resultLength,
                      nwrfc::RFC_ERROR_INFO* info) {
    const size_t needed = text.size() + 1;
    if (*size < needed) {
        *size = static_cast<unsigned>(needed);
        return Report(MakeFailure(nwrfc::RFC_BUFFER_TOO_SMALL, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                                  std::to_string(needed) + " units needed"),
                      info);
    }
    std::memcpy(out, text.data(), text.size() * sizeof(Unit));
    out[text.size()] = 0;
    if (resultLength != nullptr) *resultLength = static_cast<unsigned>(text.size());
    return Succeed(info);
}

}  // namespace

extern "C" {

nwrfc::RFC_RC RfcUTF8ToSAPUC(const nwrfc::RFC_BYTE* utf8, unsigned utf8Length, nwrfc::SAP_UC* sapuc,
                             unsigned* sapucSize, unsigned* resultLength,
                             nwrfc::RFC_ERROR_INFO* errorInfo) {
    if ((utf8 == nullptr && utf8Length > 0) || sapuc == nullptr || sapucSize == nullptr)
        return Report(InvalidParameter("RfcUTF8ToSAPUC: buffers and size required"), errorInfo);
    const std::u16string text = platform::FromUtf8(
        std::string_view(reinterpret_cast<const char*>(utf8), utf8 == nullptr ? 0 : utf8Length));
    return Deliver(text, sapuc, sapucSize, resultLength, errorInfo);
}

nwrfc::RFC_RC RfcSAPUCToUTF8(const nwrfc::SAP_UC* sapuc, unsigned sapucLength, nwrfc::RFC_BYTE* utf8,
                             unsigned* utf8Size, unsigned* resultLength,
                             nwrfc::RFC_ERROR_INFO* errorInfo) {
    if ((sapuc == nullptr && sapucLength > 0) || utf8 == nullptr || utf8Size == nullptr)
        return Report(InvalidParameter("RfcSAPUCToUTF8: buffers and size required"), errorInfo);
    const std::string text =
        platform::ToUtf8(std::u16string_view(sapuc == nullptr ? u"" : sapuc, sapucLength));
    return Deliver(text, utf8, utf8Size, resultLength, errorInfo);
}

}  // extern "C"
