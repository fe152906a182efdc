// System-wide software modules: OCS_GET_INFO, the installed components,
// add-ons and patches as fixed-column text lines.
//
// Column layout of the lines (characters counted from 1):
//   TT_COMPONENT (100): 1-30 component, 31-40 release, 41-50 level, 51-100 text
//   TT_ADDON     (200): 1-10 add-on id, 11-20 release, 21-30 level,
//                       31-40 kind, 103-142 description
//   TT_PATCH     (300): 1-20 patch name, 21-80 short text, 81-100 component,
//                       101-107 status, 108-115 date YYYYMMDD, 116-121 time HHMMSS,
//                       122-133 importing user
#include <cstdio>
#include <string>

#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

std::string Column(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

// The standard software of a release: the basis components, one add-on
// and a few support packages per component, dated in the release's era.
SoftwareSpec StandardSoftware(const std::string& release) {
    SoftwareSpec out;
    const bool old = release < "610";
    const std::string year = old ? "2003" : "2008";
    const std::string basisLevel = old ? "0045" : "0012";
    const char* names[] = {"SAP_BASIS", "SAP_ABA", "SAP_APPL", "SAP_HR"};
    const char* texts[] = {"SAP Basis Component", "Cross-Application Component",
                           "Logistics and Accounting", "Human Resources"};
    const char* letters[] = {"B", "A", "H", "E"};
    for (int i = 0; i < 4; ++i) {
        out.components.push_back({names[i], release, basisLevel, texts[i]});
        for (int sp = 1; sp <= 3; ++sp) {
            char name[24], text[64], date[12], time[8];
            const int level = std::stoi(basisLevel) - 3 + sp;
            std::snprintf(name, sizeof name, "SAPK%s%s%02d", letters[i], release.c_str(),
                          level % 100);
            std::snprintf(text, sizeof text, "%s %s: support package %04d", names[i],
                          release.c_str(), level);
            std::snprintf(date, sizeof date, "%s%02d%02d", year.c_str(), 2 + sp * 3,
                          10 + i * 4 + sp);
            std::snprintf(time, sizeof time, "%02d%02d%02d", 8 + i + sp, 5 * sp + i, 13 * sp % 60);
            out.patches.push_back({name, text, names[i], date, time});
        }
    }
    out.addons.push_back(
        {"ST-PI", old ? "2005_1_46C" : "2008_1_700", "0002", "Solution Tools Plug-In"});
    out.addons.push_back({"SAP_HR", release, basisLevel, "Human Resources add-on"});
    out.components.push_back(
        {"ST-PI", old ? "2005_1_46C" : "2008_1_700", "0002", "Solution Tools Plug-In"});
    return out;
}

std::string ComponentLine(const ComponentSpec& c) {
    return Column(c.name, 30) + Column(c.release, 10) + Column(c.level, 10) + Column(c.text, 50);
}

std::string AddonLine(const AddonSpec& a) {
    return Column(a.id, 10) + Column(a.release, 10) + Column(a.level, 10) + Column("ADD-ON", 72) +
           Column(a.text, 40) + Column("", 58);
}

std::string PatchLine(const PatchSpec& p) {
    return Column(p.name, 20) + Column(p.text, 60) + Column(p.component, 20) + Column("I", 7) +
           Column(p.date, 8) + Column(p.time, 6) + Column("DDIC", 12) + Column("", 167);
}

void OcsGetInfo(CallContext& call) {
    const Scenario& s = call.GetScenario();
    const SoftwareSpec software = s.software.given ? s.software : StandardSoftware(s.release);
    call.Export(u"EV_SPAM_VERSION", s.release < "610" ? "0023" : "0030");
    if (call.Wants(u"TT_COMPONENT")) {
        Record row = call.NewRecord(u"TT_COMPONENT");
        for (const ComponentSpec& c : software.components)
            call.AddRow(u"TT_COMPONENT", row.SetText("LINE", ComponentLine(c)));
    }
    if (call.Wants(u"TT_ADDON")) {
        Record row = call.NewRecord(u"TT_ADDON");
        for (const AddonSpec& a : software.addons)
            call.AddRow(u"TT_ADDON", row.SetText("LINE", AddonLine(a)));
    }
    if (call.Wants(u"TT_PATCH")) {
        Record row = call.NewRecord(u"TT_PATCH");
        for (const PatchSpec& p : software.patches)
            call.AddRow(u"TT_PATCH", row.SetText("LINE", PatchLine(p)));
    }
}

}  // namespace

void RegisterSystemModules(ModuleRegistry& registry) {
    Dictionary& d = registry.Structures();
    d.Add(Structure("OCSPATCHLN", {Char("LINE", 300)}));
    d.Add(Structure("OCSADDONLN", {Char("LINE", 200)}));
    d.Add(Structure("OCSCOMPLN", {Char("LINE", 100)}));
    d.Add(Structure("OCSQUEUE", {Char("PATCH", 20), Char("STATUS", 1), Date("IMPDATE")}));
    registry.Register(
        "OCS_GET_INFO",
        {Import(Char("IV_LANGUAGE", 1)).Optional().Text("Language of the texts"),
         Export(Char("EV_SPAM_VERSION", 4)).Text("Version of the support package manager"),
         Table("TT_PATCH", "OCSPATCHLN").Text("Imported patches"),
         Table("TT_ADDON", "OCSADDONLN").Text("Installed add-ons"),
         Table("TT_COMPONENT", "OCSCOMPLN").Text("Software components"),
         Table("TT_QUEUE", "OCSQUEUE").Text("Queue of the last import")},
        OcsGetInfo);
}

}  // namespace r3sim
