#include "platform/AnsiTextFile.h"

#include "platform/Format.h"
#include "platform/TextCodec.h"

namespace platform {

std::string EncodeAnsiText(std::u16string_view text) {
    std::string bytes = ToWindows1252(text);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

void AnsiTextFile::Write(std::u16string_view text) {
    const std::string bytes = EncodeAnsiText(text);
    file_.Write(bytes.data(), bytes.size());
}

void AnsiTextFile::WriteLine(std::u16string_view line) {
    // One write: a full disk keeps the line whole or drops it.
    std::string bytes = EncodeAnsiText(line);
    bytes += "\r\n";
    file_.Write(bytes.data(), bytes.size());
}

void AppendLineToFile(const std::u16string& path, std::u16string_view line) {
    AnsiTextFile file;
    file.Open(path, File::Mode::Append);
    if (const int64_t cut = file.CutPartialLine(); cut > 0)
        file.WriteLine(
            Format(u"removed an incomplete last line of %lld bytes.", static_cast<long long>(cut)));
    file.WriteLine(line);
    file.Close();
}

}  // namespace platform
