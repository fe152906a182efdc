// The function modules the simulated system serves: one handler per module,
// registered by name. StandardModules() holds every module we simulate;
// tests may register more before the system starts.
//
// Thread rules: filled before the system starts, then only read.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "r3sim/CallContext.h"

namespace r3sim {

using ModuleHandler = std::function<void(CallContext&)>;

class ModuleRegistry {
  public:
    void Register(const std::string& name, ModuleHandler handler);
    const ModuleHandler* Find(const std::string& name) const;
    std::vector<std::string> Names() const;

  private:
    std::map<std::string, ModuleHandler> handlers_;
};

ModuleRegistry StandardModules();

// Families of modules, each in its own source file.
void RegisterBasisModules(ModuleRegistry& registry);
void RegisterAuthorityModules(ModuleRegistry& registry);

}  // namespace r3sim
