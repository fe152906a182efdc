// The function modules the simulated system serves: one handler per module,
// registered by name, with the module's interface, and the dictionary of the
// structures those interfaces use. StandardModules() holds every module we
// simulate; tests may register more before the system starts.
//
// A module registered without an interface is one that callers reach with
// fixed parameter lists only (the connection's own checks); asking for its
// interface answers "not found", as for an unknown module.
//
// Thread rules: filled before the system starts, then only read.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "r3sim/CallContext.h"
#include "r3sim/Dictionary.h"

namespace r3sim {

using ModuleHandler = std::function<void(CallContext&)>;

struct ModuleEntry {
    ModuleHandler handler;
    std::optional<Interface> interface;
};

class ModuleRegistry {
  public:
    void Register(const std::string& name, ModuleHandler handler);
    // Throws DictionaryError when a parameter names a structure not yet in Structures().
    void Register(const std::string& name, Interface interface, ModuleHandler handler);

    const ModuleEntry* Find(const std::string& name) const;
    std::vector<std::string> Names() const;

    Dictionary& Structures() { return dictionary_; }
    const Dictionary& Structures() const { return dictionary_; }

  private:
    std::map<std::string, ModuleEntry> modules_;
    Dictionary dictionary_;
};

ModuleRegistry StandardModules();

// Families of modules, each in its own source file.
void RegisterBasisModules(ModuleRegistry& registry);
void RegisterAuthorityModules(ModuleRegistry& registry);
void RegisterSystemModules(ModuleRegistry& registry);
void RegisterDatabaseModules(ModuleRegistry& registry);
void RegisterInstanceModules(ModuleRegistry& registry);
void RegisterInstanceTuneModules(ModuleRegistry& registry);
void RegisterWorkloadModules(ModuleRegistry& registry);
void RegisterSaposcolModules(ModuleRegistry& registry);

}  // namespace r3sim
