#include "r3sim/ModuleRegistry.h"

namespace r3sim {

void ModuleRegistry::Register(const std::string& name, ModuleHandler handler) {
    handlers_[name] = std::move(handler);
}

const ModuleHandler* ModuleRegistry::Find(const std::string& name) const {
    auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : &it->second;
}

std::vector<std::string> ModuleRegistry::Names() const {
    std::vector<std::string> names;
    for (const auto& [name, handler] : handlers_) names.push_back(name);
    return names;
}

ModuleRegistry StandardModules() {
    ModuleRegistry registry;
    RegisterBasisModules(registry);
    RegisterAuthorityModules(registry);
    return registry;
}

}  // namespace r3sim
