#include "tools/pellamy4/ProgramSettings.h"

#include <unistd.h>

#include "platform/TextCodec.h"
#include "wizard/settings/SettingsStore.h"

namespace pellamy {

std::string CollectorSessionPath() {
    const settings::SettingsStore collector(settings::kCollectorApp);
    return platform::ToUtf8(collector.GetString(u"Session", u"Path"));
}

std::string RecordedProgramDirectory() {
    const settings::SettingsStore own(settings::kDataReductionApp);
    return platform::ToUtf8(own.GetString(u"Program", u"Path"));
}

bool RecordProgramDirectory(const std::string& directory, std::string& error) {
    std::string wanted = directory;
    if (wanted.empty() || wanted.back() != '/') wanted += '/';
    settings::SettingsStore own(settings::kDataReductionApp);
    const std::string recorded = platform::ToUtf8(own.GetString(u"Program", u"Path"));
    // A recorded directory that still holds the program stays: the operator
    // may have chosen it, and a copy started elsewhere must not take over.
    if (!recorded.empty() &&
        (recorded == wanted ||
         ::access((recorded + (recorded.back() == '/' ? "" : "/") + kProgramFileName).c_str(),
                  X_OK) == 0))
        return true;
    std::u16string reason;
    if (own.SetString(u"Program", u"Path", platform::FromUtf8(wanted), &reason)) return true;
    error = platform::ToUtf8(reason);
    return false;
}

}  // namespace pellamy
