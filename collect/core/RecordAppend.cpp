#include "collect/core/RecordAppend.h"

#include "platform/Format.h"

int64_t OpenForRecords(platform::File& file, const std::u16string& path, size_t recordSize) {
    file.Open(path, platform::File::Mode::Append);
    return file.CutPartialRecord(recordSize);
}

std::u16string TailCutMessage(const std::u16string& path, int64_t bytes) {
    return platform::Format(u"removed an incomplete last record of %lld bytes from %s.",
                            static_cast<long long>(bytes), path);
}
