// Choosing the library behind rfc32u.h: a library that cannot be loaded or
// lacks a function is refused with one line naming it, and our own
// protocol stays in use.
#include <gtest/gtest.h>

#include <string>

#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"

namespace {

std::string Refusal(const char* path) {
    RFC_ERROR_INFO_EX info{};
    EXPECT_EQ(RfcUseNetWeaverLibraryU(path, nullptr, &info), RFC_FAILURE);
    return platform::ToUtf8(platform::FieldText(info.message, std::size(info.message)));
}

std::string Description() {
    RFC_CHAR text[256] = {};
    RfcGetLibraryDescriptionU(text, std::size(text));
    return platform::ToUtf8(platform::FieldText(text, std::size(text)));
}

TEST(LibraryChoiceTest, AMissingOrIncompleteLibraryIsRefusedByName) {
    const std::string own = Description();
    EXPECT_NE(own.find("librfc32u"), std::string::npos) << own;

    const std::string missing = Refusal("/nonexistent/libsapnwrfc.so");
    EXPECT_EQ(missing.rfind("cannot load the RFC library /nonexistent/libsapnwrfc.so: ", 0), 0u)
        << missing;
    EXPECT_EQ(missing.find('\n'), std::string::npos);

    const std::string incomplete = Refusal(QUORVEL_INCOMPLETE_NWRFC);
    EXPECT_EQ(incomplete, std::string("the RFC library ") + QUORVEL_INCOMPLETE_NWRFC +
                              " lacks the function RfcOpenConnection");

    // Refused choices leave our own protocol in place.
    EXPECT_EQ(Description(), own);
    RFC_ERROR_INFO_EX info{};
    EXPECT_EQ(RfcUseNetWeaverLibraryU(nullptr, nullptr, &info), RFC_OK);
}

}  // namespace
