#include "tools/sessiondump/DecoderRegistry.h"

#include <algorithm>
#include <filesystem>

#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

namespace sessiondump {

void DecoderRegistry::AddName(std::string name, Decoder decoder) {
    names_[std::move(name)] = std::move(decoder);
}

void DecoderRegistry::AddExtension(std::string extension, Decoder decoder) {
    extensions_[std::move(extension)] = std::move(decoder);
}

const Decoder* DecoderRegistry::Find(std::string_view fileName) const {
    if (auto it = names_.find(fileName); it != names_.end()) return &it->second;
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return nullptr;
    if (auto it = extensions_.find(fileName.substr(dot)); it != extensions_.end())
        return &it->second;
    return nullptr;
}

const DecoderRegistry& AllDecoders() {
    static const DecoderRegistry registry = [] {
        DecoderRegistry r;
        RegisterInstanceDecoders(r);
        RegisterHostDecoders(r);
        return r;
    }();
    return registry;
}

std::vector<std::string> DumpFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const Decoder* decoder = AllDecoders().Find(name);
    if (decoder == nullptr) return {name + ": no decoder"};
    std::vector<unsigned char> bytes;
    try {
        bytes = platform::ReadWholeFile(platform::FromUtf8(path));
    } catch (const CException& e) {
        return {name + ": " + platform::ToUtf8(e.ReportText())};
    }
    std::vector<std::string> lines = (*decoder)(bytes);
    for (std::string& line : lines) line.insert(0, name + " ");
    return lines;
}

std::vector<std::string> DumpFolder(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> lines;
    for (const std::string& file : files) {
        for (std::string& line : DumpFile(file)) lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace sessiondump
