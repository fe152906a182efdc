#include "tools/sessiondump/RecordLine.h"

#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"
#include "platform/TimeFormat.h"

namespace sessiondump {

RecordLine::RecordLine(size_t index) : line_("#" + std::to_string(index) + ":") {}

RecordLine& RecordLine::Int(std::string_view name, int64_t value) {
    line_ += " " + std::string(name) + "=" + std::to_string(value);
    return *this;
}

RecordLine& RecordLine::Real(std::string_view name, double value) {
    line_ += " " + std::string(name) + "=" + platform::ToUtf8(platform::Format(u"%g", value));
    return *this;
}

RecordLine& RecordLine::Date(std::string_view name, double oleDate) {
    platform::DateTime t;
    std::u16string text;
    if (platform::OleDate(oleDate).ToDateTime(t))
        text = platform::FormatDateTime(u"%Y-%m-%d %H:%M:%S", t);
    else
        text = platform::Format(u"invalid(%g)", oleDate);
    line_ += " " + std::string(name) + "=" + platform::ToUtf8(text);
    return *this;
}

RecordLine& RecordLine::Text(std::string_view name, const char16_t* field, size_t capacity) {
    const std::u16string text = platform::Trim(platform::FieldText(field, capacity));
    line_ += " " + std::string(name) + "=\"" + platform::ToUtf8(text) + "\"";
    return *this;
}

}  // namespace sessiondump
