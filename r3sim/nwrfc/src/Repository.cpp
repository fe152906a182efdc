#include "Repository.h"

#include <type_traits>

namespace nwsim {
namespace {

struct Repositories {
    std::mutex mutex;  // guards both members
    std::map<std::u16string, std::unique_ptr<Repository>, std::less<>> bySystem;
    // Every description ever kept: handles stay valid for the process's life.
    std::vector<std::unique_ptr<const FunctionDesc>> functions;
    std::vector<std::unique_ptr<const TypeDesc>> types;
};

Repositories& All() {
    static auto* all = new Repositories;  // outlives callers still running at exit
    return *all;
}

template <typename Desc>
const Desc* Retain(std::unique_ptr<Desc> desc) {
    Repositories& all = All();
    std::lock_guard lock(all.mutex);
    const Desc* kept = desc.get();
    if constexpr (std::is_same_v<Desc, FunctionDesc>)
        all.functions.emplace_back(std::move(desc));
    else
        all.types.emplace_back(std::move(desc));
    return kept;
}

}  // namespace

Repository& Repository::Of(std::u16string_view systemId) {
    Repositories& all = All();
    std::lock_guard lock(all.mutex);
    auto it = all.bySystem.find(systemId);
    if (it == all.bySystem.end())
        it = all.bySystem.emplace(std::u16string(systemId), std::make_unique<Repository>()).first;
    return *it->second;
}

Repository* Repository::Existing(std::u16string_view systemId) {
    Repositories& all = All();
    std::lock_guard lock(all.mutex);
    const auto it = all.bySystem.find(systemId);
    return it == all.bySystem.end() ? nullptr : it->second.get();
}

void Repository::Clear(std::u16string_view systemId) {
    Repositories& all = All();
    std::lock_guard lock(all.mutex);
    for (auto& [id, repository] : all.bySystem)
        if (systemId.empty() || id == systemId) repository->Forget();
}

void Repository::Forget() {
    std::lock_guard lock(mutex_);
    functions_.clear();
    types_.clear();
}

const FunctionDesc* Repository::Function(std::u16string_view name) {
    std::lock_guard lock(mutex_);
    const auto it = functions_.find(name);
    return it == functions_.end() ? nullptr : it->second;
}

const TypeDesc* Repository::Type(std::u16string_view name) {
    std::lock_guard lock(mutex_);
    const auto it = types_.find(name);
    return it == types_.end() ? nullptr : it->second;
}

const FunctionDesc* Repository::Keep(std::unique_ptr<FunctionDesc> desc) {
    const FunctionDesc* kept = Retain(std::move(desc));
    std::lock_guard lock(mutex_);
    return functions_.try_emplace(kept->Name(), kept).first->second;
}

const TypeDesc* Repository::Keep(std::unique_ptr<TypeDesc> desc) {
    const TypeDesc* kept = Retain(std::move(desc));
    std::lock_guard lock(mutex_);
    return types_.try_emplace(kept->Name(), kept).first->second;
}

}  // namespace nwsim
