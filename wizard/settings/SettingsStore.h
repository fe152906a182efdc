// The per-user settings of one application: the key
// Software\Ostrel\VantrixSAP\<app> of the original maps to the INI file
// <XDG_CONFIG_HOME or ~/.config>/Ostrel/VantrixSAP/<app>.ini, one INI section
// per subkey. All values are strings.
//
// The file holds the collector's scrambled password, so it is created with
// mode 0600 (its directory 0700) and every write replaces it atomically: a
// copy with the change is written beside it, synced and renamed over it. A
// failed write leaves the previous file untouched and is reported.
//
// Thread rules: writes of one process are serialised by a process-wide
// mutex, writes of several processes (the main window and the console) by an
// advisory lock on the settings directory held from the read of the current file to
// the rename; reads take no lock and see the file as the last rename left it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace settings {

// Application names of the two programs that keep settings.
inline constexpr std::u16string_view kCollectorApp = u"quorvel";
inline constexpr std::u16string_view kDataReductionApp = u"Pellamy4";

// When set, the directory that holds <app>.ini instead of the per-user one
// (tests and side-by-side installations).
inline constexpr const char* kDirectoryEnv = "QUORVEL_SETTINGS_DIR";

class SettingsStore {
  public:
    // directory empty: QUORVEL_SETTINGS_DIR, else the per-user directory.
    explicit SettingsStore(std::u16string_view application, std::string directory = {});

    // The value, or fallback when the file, section or key is missing or the
    // file cannot be read.
    std::u16string GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view fallback = {}) const;

    // Writes one value; false with a reason in *error when the file could not
    // be written (the file then keeps its previous content).
    bool SetString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                   std::u16string* error = nullptr);

    // Writes several values of one section in one replacement of the file:
    // all of them or, on failure, none.
    using Values = std::vector<std::pair<std::u16string, std::u16string>>;
    bool SetStrings(std::u16string_view section, const Values& values,
                    std::u16string* error = nullptr);

    // Writes the values of several sections in one replacement of the file:
    // all of them or, on failure, none.
    struct SectionValues {
        std::u16string section;
        Values values;
    };
    bool SetSections(const std::vector<SectionValues>& sections, std::u16string* error = nullptr);

    // The INI file's path (UTF-8).
    std::string FilePath() const { return m_path; }
    const std::u16string& Application() const { return m_application; }

  private:
    std::u16string m_application;
    std::string m_directory;
    std::string m_path;
};

}  // namespace settings
