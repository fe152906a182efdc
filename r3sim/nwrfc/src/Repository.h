// The metadata repository: function and type descriptions cached per
// partner system id, shared by every connection to that system, so each
// function's interface and each structure's definition is asked for once.
//
// Descriptions are never freed while the process runs: callers hold their
// handles without owning them, even across RfcClearRepository.
//
// Thread rules: every method may be called from any thread. Lookups take a
// short lock; Fetching() serialises the first reading of descriptions per
// system, so two connections never ask for the same one twice.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Descriptions.h"

namespace nwsim {

class Repository {
  public:
    // The repository of a system id; created on first use.
    static Repository& Of(std::u16string_view systemId);
    // The repository of a system id, or nullptr when none was created.
    static Repository* Existing(std::u16string_view systemId);
    // Forgets the cached descriptions of one system (every system when
    // systemId is empty); handles given out stay valid.
    static void Clear(std::u16string_view systemId);

    const FunctionDesc* Function(std::u16string_view name);
    const TypeDesc* Type(std::u16string_view name);
    // Keep a description; when another thread kept one of the same name
    // first, that one is returned and this one retired.
    const FunctionDesc* Keep(std::unique_ptr<FunctionDesc> desc);
    const TypeDesc* Keep(std::unique_ptr<TypeDesc> desc);

    std::mutex& Fetching() { return fetching_; }

  private:
    void Forget();

    std::mutex fetching_;
    std::mutex mutex_;  // guards the maps
    std::map<std::u16string, const FunctionDesc*, std::less<>> functions_;
    std::map<std::u16string, const TypeDesc*, std::less<>> types_;
};

}  // namespace nwsim
