// The C entry points that choose the library behind rfc32u.h.
#include <string>

#include "client/ErrorState.h"
#include "nwrfc/SdkBackend.h"
#include "rfc32u.h"

using rfclib::nw::SdkBackend;

namespace {

constexpr char16_t kOwnProtocol[] = u"librfc32u 700 over the quorvel RFC protocol";

}  // namespace

extern "C" {

RFC_RC RfcUseNetWeaverLibraryU(const char* path, const char* options_file,
                               RFC_ERROR_INFO_EX* error_info) {
    return SdkBackend::Install(path != nullptr ? path : "",
                               options_file != nullptr ? options_file : "", error_info);
}

void RfcGetLibraryDescriptionU(RFC_CHAR* text, unsigned int capacity) {
    if (text == nullptr || capacity == 0) return;
    const SdkBackend* sdk = SdkBackend::Active();
    const std::u16string description = sdk != nullptr ? sdk->Description() : kOwnProtocol;
    rfclib::CopyText(std::u16string_view(description).substr(0, capacity - 1), text, capacity);
}

}  // extern "C"
