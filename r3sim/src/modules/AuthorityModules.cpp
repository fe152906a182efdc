// Authorisation modules: OBJECT_EXISTS and AUTHORITY_CHECK. Both answer by
// raising an exception: OBJECT_EXISTS raises OBJECT_EXISTS for an object the
// system knows; AUTHORITY_CHECK raises USER_IS_AUTHORIZED for a check that
// passes. Every object exists unless the scenario lists it as missing; every
// user holds every authorisation unless the scenario lists it as missing.
#include <algorithm>

#include "Text.h"
#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

bool ObjectKnown(const Scenario& scenario, const std::string& object) {
    return std::none_of(scenario.missingObjects.begin(), scenario.missingObjects.end(),
                        [&](const std::string& missing) { return SameName(missing, object); });
}

const UserSpec* FindUser(const Scenario& scenario, const std::string& name) {
    for (const UserSpec& user : scenario.users)
        if (SameName(user.name, name)) return &user;
    return nullptr;
}

struct Check {
    std::string object;
    std::string fields[3];
    std::string values[3];
};

bool Refused(const MissingAuthorization& missing, const Check& check) {
    if (!SameName(missing.object, check.object)) return false;
    if (missing.field.empty()) return true;
    for (int i = 0; i < 3; ++i) {
        if (!SameName(missing.field, check.fields[i])) continue;
        if (missing.value.empty() || SameName(missing.value, check.values[i])) return true;
    }
    return false;
}

}  // namespace

void RegisterAuthorityModules(ModuleRegistry& registry) {
    registry.Register("OBJECT_EXISTS",
                      {Import(Char("OBJECT", 10)), Exception("OBJECT_EXISTS"),
                       Exception("OBJECT_NOT_FOUND")},
                      [](CallContext& call) {
        const std::string object = call.ImportText(u"OBJECT");
        if (ObjectKnown(call.GetScenario(), object))
            call.Raise("OBJECT_EXISTS", "Authorization object " + object + " exists");
        else
            call.Raise("OBJECT_NOT_FOUND", "Authorization object " + object + " does not exist");
    });

    registry.Register("AUTHORITY_CHECK",
                      {Import(Char("USER", 12)).Optional(), Import(Char("OBJECT", 10)),
                       Import(Char("FIELD1", 10)).Optional(), Import(Char("VALUE1", 40)).Optional(),
                       Import(Char("FIELD2", 10)).Optional(), Import(Char("VALUE2", 40)).Optional(),
                       Import(Char("FIELD3", 10)).Optional(), Import(Char("VALUE3", 40)).Optional(),
                       Exception("USER_DONT_EXIST"), Exception("USER_IS_AUTHORIZED"),
                       Exception("USER_IS_NOT_AUTHORIZED"), Exception("OBJECT_NOT_FOUND")},
                      [](CallContext& call) {
        Check check;
        check.object = call.ImportText(u"OBJECT");
        const char16_t* fieldNames[3] = {u"FIELD1", u"FIELD2", u"FIELD3"};
        const char16_t* valueNames[3] = {u"VALUE1", u"VALUE2", u"VALUE3"};
        for (int i = 0; i < 3; ++i) {
            check.fields[i] = call.ImportText(fieldNames[i]);
            check.values[i] = call.ImportText(valueNames[i]);
        }
        const std::string userName =
            call.HasImport(u"USER") ? call.ImportText(u"USER") : call.Session().user;
        const UserSpec* user = FindUser(call.GetScenario(), userName);
        if (user == nullptr) {
            call.Raise("USER_DONT_EXIST", "User " + userName + " does not exist");
            return;
        }
        if (!ObjectKnown(call.GetScenario(), check.object)) {
            call.Raise("OBJECT_NOT_FOUND",
                       "Authorization object " + check.object + " does not exist");
            return;
        }
        for (const MissingAuthorization& missing : user->missingAuthorizations) {
            if (Refused(missing, check)) {
                call.Raise(
                    "USER_IS_NOT_AUTHORIZED",
                    "User " + user->name + " has no authorization for object " + check.object);
                return;
            }
        }
        call.Raise("USER_IS_AUTHORIZED");
    });
}

}  // namespace r3sim
