#include "collect/instance/InstanceRecordRules.h"

#include <cmath>
#include <limits>

#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TimeFormat.h"

namespace instrec {

namespace {

// atoi of at most count units from the start of text.
int LeadingNumber(std::u16string_view text, size_t start, size_t count) {
    if (start >= text.size()) return 0;
    text = text.substr(start, count);
    size_t p = 0;
    while (p < text.size() && platform::IsWhiteSpace(text[p])) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == u'+' || text[p] == u'-')) negative = text[p++] == u'-';
    int value = 0;
    while (p < text.size() && text[p] >= u'0' && text[p] <= u'9') {
        if (value < 100000000) value = value * 10 + (text[p] - u'0');
        ++p;
    }
    return negative ? -value : value;
}

}  // namespace

double LocalNowOle() {
    return platform::OleDate::FromDateTime(platform::CurrentLocalTime()).Value();
}

void ApplyRequestQueueLine(std::u16string_view line, RequestQueueRecord& record) {
    size_t p = 0;
    auto skip = [&] {
        while (p < line.size() && platform::IsWhiteSpace(line[p])) ++p;
    };
    skip();
    const size_t start = p;
    while (p < line.size() && !platform::IsWhiteSpace(line[p])) ++p;
    // The queue name field holds at most four characters.
    const std::u16string name =
        platform::TrimRight(line.substr(start, std::min<size_t>(p - start, 4)));
    if (p - start > 4) return;  // a longer word names no queue
    skip();
    int first = 0;
    if (p < line.size()) first = LeadingNumber(line, p, line.size() - p);
    for (size_t q = 0; q < kQueueNames.size(); ++q) {
        if (name == kQueueNames[q]) {
            record.queue[q] = first;
            return;
        }
    }
}

platform::OleDate StatrecDateTime(std::u16string_view date, std::u16string_view time) {
    platform::DateTime t;
    t.year = LeadingNumber(date, 0, 4);
    t.month = LeadingNumber(date, 4, 2);
    t.day = LeadingNumber(date, 6, 2);
    t.hour = LeadingNumber(time, 0, 2);
    t.minute = LeadingNumber(time, 2, 2);
    t.second = LeadingNumber(time, 4, 2);
    return platform::OleDate::FromDateTime(t);
}

double CollectorTime(std::u16string_view date, std::u16string_view time, double offsetDays) {
    const platform::OleDate d = StatrecDateTime(date, time);
    return d.IsValid() ? d.Value() + offsetDays : 0.0;
}

int32_t NormalResponseTime(int64_t respTime, uint32_t guiTime, uint32_t guiNetTime) {
    const uint64_t gui = uint64_t{guiTime} + guiNetTime;
    const int64_t sum = static_cast<int64_t>(static_cast<uint64_t>(respTime) + gui);
    return static_cast<int32_t>(sum / 1000);
}

int32_t BatchResponseTime(int64_t respTime) {
    return static_cast<int32_t>(respTime / 1000);
}

int32_t CpuTime(double cpuTime) {
    const double v = cpuTime * 0.001;
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t DatabaseTime(const int32_t (&times)[6]) {
    uint32_t sum = 0;
    for (int32_t t : times) sum += static_cast<uint32_t>(t);
    return static_cast<int32_t>(sum / 1000u);
}

void FormatServerTime(double collectorTime, double offsetDays, std::u16string& date,
                      std::u16string& time) {
    platform::DateTime t;
    if (!platform::OleDate(collectorTime - offsetDays).ToDateTime(t)) t = {};
    date = platform::FormatDateTime(u"%Y%m%d", t);
    time = platform::FormatDateTime(u"%H%M%S", t);
}

bool EnsureControlRecord(const std::u16string& path, std::u16string_view name,
                         const ControlRecord& record) {
    {
        platform::File file(path, platform::File::Mode::Update);
        ControlRecord existing;
        while (file.Read(&existing, sizeof existing) == sizeof existing) {
            if (platform::Trim(platform::FieldText(existing.name)) == name) return true;
        }
        file.Close();
    }
    platform::File file(path, platform::File::Mode::Update);
    file.SeekToEnd();
    file.Write(&record, sizeof record);
    file.Close();
    return false;
}

}  // namespace instrec
