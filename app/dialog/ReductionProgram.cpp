#include "app/dialog/ReductionProgram.h"

#include <unistd.h>

#include "platform/TextCodec.h"

namespace {

bool IsProgram(const std::u16string& path) {
    return ::access(platform::ToUtf8(path).c_str(), X_OK) == 0;
}

}  // namespace

std::u16string LocateReductionProgram(std::u16string_view storedDirectory,
                                      std::u16string_view programDirectory,
                                      std::string_view searchPath, std::u16string& tried) {
    tried.clear();
    const auto pathIn = [](std::u16string directory) {
        if (!directory.empty() && directory.back() != u'/') directory.push_back(u'/');
        return directory + kReductionProgramName;
    };
    const auto look = [&](std::u16string_view directory) -> std::u16string {
        const std::u16string path = pathIn(std::u16string(directory));
        if (!tried.empty()) tried += u", ";
        tried += path;
        return IsProgram(path) ? path : std::u16string();
    };
    // A stored directory is the operator's choice: taken even when the
    // program is not (yet) there, so that the failure to start names it.
    if (!storedDirectory.empty()) {
        tried = pathIn(std::u16string(storedDirectory));
        return tried;
    }
    if (!programDirectory.empty())
        if (std::u16string found = look(programDirectory); !found.empty())
            return found;
    size_t start = 0;
    while (start <= searchPath.size()) {
        const size_t colon = searchPath.find(':', start);
        const std::string_view entry = searchPath.substr(
            start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
        // An empty entry is the current directory, which is no place to look.
        if (!entry.empty() && entry.front() == '/')
            if (std::u16string found = look(platform::FromUtf8(std::string(entry)));
                !found.empty())
                return found;
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    return {};
}
