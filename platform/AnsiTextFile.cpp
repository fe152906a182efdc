#include "platform/AnsiTextFile.h"

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
    Write(line);
    Write(u"\n");
}

void AppendLineToFile(const std::u16string& path, std::u16string_view line) {
    AnsiTextFile file;
    file.Open(path, File::Mode::Append);
    file.WriteLine(line);
    file.Close();
}

}  // namespace platform
