#include "collect/host/HostFiles.h"

#include <algorithm>

#include "collect/core/RecordAppend.h"
#include "platform/AnsiTextFile.h"
#include "platform/File.h"
#include "platform/FixedText.h"

using platform::File;

bool ControlFileHasName(const std::u16string& path, size_t recordSize, std::u16string_view key) {
    const std::u16string wanted = platform::Trim(key.substr(0, kControlNameWidth));
    File file;
    try {
        file.Open(path, File::Mode::Read);
    } catch (const CFileException& e) {
        if (e.m_cause == CFileException::fileNotFound) return false;
        throw;
    }
    std::vector<unsigned char> record(std::max(recordSize, kControlNameWidth * 2));
    while (file.Read(record.data(), recordSize) == recordSize) {
        char16_t name[kControlNameWidth];
        std::copy_n(record.data(), sizeof name, reinterpret_cast<unsigned char*>(name));
        if (platform::Trim(platform::FieldText(name)) == wanted) return true;
    }
    return false;
}

void AppendToControlFile(const std::u16string& path, const void* data, size_t size) {
    File file(path, File::Mode::Update);
    file.SeekToEnd();
    file.Write(data, size);
    file.Close();
}

int64_t AppendRecord(const std::u16string& path, const void* data, size_t size) {
    File file;
    const int64_t cut = OpenForRecords(file, path, size);
    file.Write(data, size);
    file.Close();
    return cut;
}

void WriteProcessSnapshot(const std::u16string& path, std::span<const tagPS_STAT> processes) {
    File file(path, File::Mode::Snapshot);
    if (!processes.empty()) file.Write(processes.data(), processes.size_bytes());
    file.Close();
}

void WriteTextListing(const std::u16string& path, const std::vector<std::u16string>& lines) {
    platform::AnsiTextFile file;
    file.Open(path, File::Mode::Snapshot);
    for (const std::u16string& line : lines) file.WriteLine(line);
    file.Close();
}
