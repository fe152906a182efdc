// Runs rfc32u's own client tests with the NetWeaver backend installed over
// our implementation of the library's interface: every result the classic
// interface promises must come out the same through it.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "rfc32u.h"

namespace {

class NetWeaverBackend : public ::testing::Environment {
  public:
    void SetUp() override {
        RFC_ERROR_INFO_EX info{};
        ASSERT_EQ(RfcUseNetWeaverLibraryU(QUORVEL_NWRFC_LIBRARY, nullptr, &info), RFC_OK)
            << platform::ToUtf8(info.message);
    }
    void TearDown() override {
        RFC_ERROR_INFO_EX info{};
        RfcUseNetWeaverLibraryU(nullptr, nullptr, &info);
    }
};

const auto* const kInstalled = ::testing::AddGlobalTestEnvironment(new NetWeaverBackend);

}  // namespace
