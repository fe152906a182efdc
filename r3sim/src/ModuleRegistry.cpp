#include "r3sim/ModuleRegistry.h"

namespace r3sim {

void ModuleRegistry::Register(const std::string& name, ModuleHandler handler) {
    modules_[name] = ModuleEntry{std::move(handler), std::nullopt};
}

void ModuleRegistry::Register(const std::string& name, Interface interface, ModuleHandler handler) {
    for (const ParameterSpec& p : interface)
        if (p.type == 'u' || p.type == 'h') dictionary_.Get(p.structure);
    modules_[name] = ModuleEntry{std::move(handler), std::move(interface)};
}

const ModuleEntry* ModuleRegistry::Find(const std::string& name) const {
    auto it = modules_.find(name);
    return it == modules_.end() ? nullptr : &it->second;
}

std::vector<std::string> ModuleRegistry::Names() const {
    std::vector<std::string> names;
    for (const auto& [name, entry] : modules_) names.push_back(name);
    return names;
}

ModuleRegistry StandardModules() {
    ModuleRegistry registry;
    RegisterBasisModules(registry);
    RegisterAuthorityModules(registry);
    RegisterSystemModules(registry);
    RegisterDatabaseModules(registry);
    RegisterInstanceModules(registry);
    RegisterInstanceTuneModules(registry);
    RegisterWorkloadModules(registry);
    RegisterSaposcolModules(registry);
    return registry;
}

}  // namespace r3sim
