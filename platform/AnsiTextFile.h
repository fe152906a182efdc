// Text files as the collector writes them: Windows-1252 bytes, each line
// feed written as CR LF, no byte-order mark. Characters outside the code page
// become '?'. Log files are append files written one line at a time.
#pragma once

#include <string>
#include <string_view>

#include "platform/File.h"

namespace platform {

// The bytes a text stream would write for the text.
std::string EncodeAnsiText(std::u16string_view text);

class AnsiTextFile {
  public:
    void Open(const std::u16string& path, File::Mode mode) { file_.Open(path, mode); }
    void Write(std::u16string_view text);
    void WriteLine(std::u16string_view line);
    void Close() { file_.Close(); }
    int64_t CutPartialLine() { return file_.CutPartialLine(); }

  private:
    File file_;
};

// Opens the file as an append file, writes the line and a line feed, closes.
// A file left ending inside a line (a crash, a full disk) is cut back to its
// last whole line first, and a line says how much was removed.
void AppendLineToFile(const std::u16string& path, std::u16string_view line);

}  // namespace platform
