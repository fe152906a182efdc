// The edge between the collector's UTF-16 strings and Qt's.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace wizard {

inline QString ToQt(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

inline std::u16string FromQt(const QString& s) {
    return s.toStdU16String();
}

inline std::u16string ToUpper(std::u16string_view s) {
    return FromQt(ToQt(s).toUpper());
}

}  // namespace wizard
