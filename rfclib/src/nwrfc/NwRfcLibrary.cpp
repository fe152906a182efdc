#include "nwrfc/NwRfcLibrary.h"

#include <dlfcn.h>

#include <filesystem>

namespace rfclib::nw {
namespace {

std::string LastDlError() {
    const char* text = ::dlerror();
    return text != nullptr ? text : "unknown reason";
}

// The unicode helper library the RFC library depends on, from the same
// folder; without it the RFC library loads only with LD_LIBRARY_PATH set.
void PreloadCompanion(const std::string& path) {
    const std::filesystem::path companion =
        std::filesystem::path(path).parent_path() / "libsapucum.so";
    std::error_code ec;
    if (std::filesystem::exists(companion, ec))
        ::dlopen(companion.c_str(), RTLD_NOW | RTLD_GLOBAL);  // a failure shows at the main load
}

}  // namespace

std::unique_ptr<NwRfcLibrary> NwRfcLibrary::Load(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "no RFC library named";
        return nullptr;
    }
    PreloadCompanion(path);
    ::dlerror();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = "cannot load the RFC library " + path + ": " + LastDlError();
        return nullptr;
    }
    std::unique_ptr<NwRfcLibrary> library(new NwRfcLibrary);
    library->path_ = path;
    Functions& f = library->functions_;
#define QUORVEL_NWRFC_FIND(name)                                                          \
    f.name = reinterpret_cast<decltype(f.name)>(::dlsym(handle, #name));                  \
    if (f.name == nullptr) {                                                              \
        error = "the RFC library " + path + " lacks the function " #name;                 \
        ::dlclose(handle);                                                                \
        return nullptr;                                                                   \
    }
    QUORVEL_NWRFC_REQUIRED(QUORVEL_NWRFC_FIND)
#undef QUORVEL_NWRFC_FIND
#define QUORVEL_NWRFC_FIND_OPTIONAL(name) \
    f.name = reinterpret_cast<decltype(f.name)>(::dlsym(handle, #name));
    QUORVEL_NWRFC_OPTIONAL(QUORVEL_NWRFC_FIND_OPTIONAL)
#undef QUORVEL_NWRFC_FIND_OPTIONAL
    // The handle is never closed: the library's own threads and connections
    // live as long as the process.
    return library;
}

std::u16string NwRfcLibrary::Version() const {
    unsigned major = 0, minor = 0, patch = 0;
    const nwrfc::SAP_UC* text = functions_.RfcGetVersion(&major, &minor, &patch);
    std::u16string version;
    if (text != nullptr)
        for (size_t i = 0; i < 256 && text[i] != 0; ++i) version.push_back(text[i]);
    if (version.empty()) {
        const std::string numbers =
            std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
        version.assign(numbers.begin(), numbers.end());
    }
    return version;
}

}  // namespace rfclib::nw
