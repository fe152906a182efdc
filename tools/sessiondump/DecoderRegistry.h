// The decoders of the session-folder dump, found by file name: a decoder is
// registered for an exact name ("instance.ctl") or for an extension
// (".dss"), and turns a file's bytes into one text line per record. Each
// family of data files registers its decoders from a file of its own
// (InstanceFiles.cpp: RegisterInstanceDecoders); AllDecoders() lists the
// families.
//
// Thread rules: filled once, then only read.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sessiondump {

// Decodes a whole file; an incomplete trailing record gets a line of its own.
using Decoder = std::function<std::vector<std::string>(const std::vector<unsigned char>& bytes)>;

class DecoderRegistry {
  public:
    void AddName(std::string name, Decoder decoder);
    void AddExtension(std::string extension, Decoder decoder);
    // The decoder of a file name (without folder), exact names first; null if none.
    const Decoder* Find(std::string_view fileName) const;

  private:
    std::map<std::string, Decoder, std::less<>> names_;
    std::map<std::string, Decoder, std::less<>> extensions_;
};

void RegisterInstanceDecoders(DecoderRegistry& registry);
void RegisterHostDecoders(DecoderRegistry& registry);

// Every family's decoders.
const DecoderRegistry& AllDecoders();

// The lines of one file: "<file> #<n>: field=value ..." per record, or a
// line saying the file has no decoder or cannot be read.
std::vector<std::string> DumpFile(const std::string& path);
// Every file of the folder in name order.
std::vector<std::string> DumpFolder(const std::string& folder);

}  // namespace sessiondump
