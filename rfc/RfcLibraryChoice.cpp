#include "rfc/RfcLibraryChoice.h"

#include <cstdlib>

#include "platform/FixedText.h"
#include "rfc32u.h"

RfcLibraryChoice RfcLibraryFromEnvironment(RfcLibraryChoice given) {
    auto fromEnvironment = [](std::string& value, const char* name) {
        if (!value.empty()) return;
        if (const char* text = std::getenv(name)) value = text;
    };
    fromEnvironment(given.path, "QUORVEL_RFC_LIBRARY");
    fromEnvironment(given.optionsFile, "QUORVEL_RFC_OPTIONS");
    return given;
}

bool UseRfcLibrary(const RfcLibraryChoice& choice, std::u16string& error) {
    if (choice.path.empty() && !choice.optionsFile.empty()) {
        error = u"an RFC options file is for the NetWeaver RFC library; no library is named";
        return false;
    }
    RFC_ERROR_INFO_EX info{};
    if (RfcUseNetWeaverLibraryU(choice.path.c_str(), choice.optionsFile.c_str(), &info) ==
        RFC_OK)
        return true;
    error = platform::FieldText(info.message, std::size(info.message));
    return false;
}

std::u16string RfcLibraryDescription() {
    RFC_CHAR text[512] = {};
    RfcGetLibraryDescriptionU(text, std::size(text));
    return platform::FieldText(text, std::size(text));
}
