#include "collect/metrics/RecordReadBack.h"

#include "platform/File.h"

namespace metrics {

std::vector<unsigned char> ReadWholeRecords(const std::u16string& path, size_t recordSize,
                                            int64_t& offset) {
    platform::File file(path, platform::File::Mode::Read);
    const int64_t length = file.Length();
    // A file shorter than what was read before was started anew.
    if (length < offset) offset = 0;
    const int64_t whole = (length - offset) / static_cast<int64_t>(recordSize);
    std::vector<unsigned char> bytes(static_cast<size_t>(whole) * recordSize);
    if (bytes.empty()) return bytes;
    file.Seek(offset);
    bytes.resize(file.Read(bytes.data(), bytes.size()) / recordSize * recordSize);
    offset += static_cast<int64_t>(bytes.size());
    return bytes;
}

std::vector<unsigned char> ReadLastWholeRecord(const std::u16string& path, size_t recordSize) {
    platform::File file(path, platform::File::Mode::Read);
    const int64_t records = file.Length() / static_cast<int64_t>(recordSize);
    if (records == 0) return {};
    std::vector<unsigned char> bytes(recordSize);
    file.Seek((records - 1) * static_cast<int64_t>(recordSize));
    if (file.Read(bytes.data(), bytes.size()) != recordSize) return {};
    return bytes;
}

}  // namespace metrics
