// The built libsapnwrfc.so, loaded as the SDK backend loads SAP's library:
// every name of our declarations is found, and a connection through it
// reaches the simulated system.
#include <dlfcn.h>

#include <fstream>

#include "SdkSystem.h"

namespace nwsimtest {
namespace {

class SdkLibrary : public SdkSystem {
  protected:
    void SetUp() override {
        SdkSystem::SetUp();
        library_ = dlopen(NWRFC_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
    }
    void TearDown() override {
        // Not unloaded: its threads' and statics' lifetimes end with the process.
        SdkSystem::TearDown();
    }
    template <typename Function>
    Function* Find(const char* name) {
        return reinterpret_cast<Function*>(dlsym(library_, name));
    }
    void* library_ = nullptr;
};

TEST_F(SdkLibrary, ExportsEveryDeclaredFunction) {
    std::ifstream names(NWRFC_NAMES_FILE);
    ASSERT_TRUE(names.good());
    std::string name;
    size_t found = 0;
    while (std::getline(names, name)) {
        if (name.empty()) continue;
        EXPECT_NE(dlsym(library_, name.c_str()), nullptr) << name;
        ++found;
    }
    EXPECT_GT(found, 100u);
    // Internals stay inside: our client's entry points are not exported.
    EXPECT_EQ(dlsym(library_, "RfcOpenExU"), nullptr);
}

TEST_F(SdkLibrary, AConnectionThroughTheLoadedLibraryReachesTheSystem) {
    auto& system = Start();
    auto* open = Find<decltype(nwrfc::RfcOpenConnection)>("RfcOpenConnection");
    auto* ping = Find<decltype(nwrfc::RfcPing)>("RfcPing");
    auto* close = Find<decltype(nwrfc::RfcCloseConnection)>("RfcCloseConnection");
    auto* version = Find<decltype(nwrfc::RfcGetVersion)>("RfcGetVersion");
    ASSERT_TRUE(open && ping && close && version);
    EXPECT_NE(reinterpret_cast<void*>(open), reinterpret_cast<void*>(&nwrfc::RfcOpenConnection));
    unsigned major = 0;
    version(&major, nullptr, nullptr);
    EXPECT_EQ(major, 7500u);
    const Logon logon = Collector();
    std::vector<nwrfc::RFC_CONNECTION_PARAMETER> list;
    for (const auto& [n, v] : logon.pairs) list.push_back({n.c_str(), v.c_str()});
    RFC_ERROR_INFO error{};
    nwrfc::RFC_CONNECTION_HANDLE handle = open(list.data(), static_cast<unsigned>(list.size()), &error);
    ASSERT_NE(handle, nullptr) << Text(error.message);
    EXPECT_EQ(ping(handle, &error), nwrfc::RFC_OK);
    EXPECT_EQ(system.Counters().Calls("RFC_PING"), 1u);
    EXPECT_EQ(close(handle, &error), nwrfc::RFC_OK);
    // The handle belongs to the loaded library's registry, not the linked one's.
    int valid = 1;
    EXPECT_EQ(nwrfc::RfcIsConnectionHandleValid(handle, &valid, nullptr),
              nwrfc::RFC_INVALID_HANDLE);
}

}  // namespace
}  // namespace nwsimtest
