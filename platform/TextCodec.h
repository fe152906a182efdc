// Conversions between the collector's UTF-16 text and the byte encodings it
// meets: UTF-8 (file names, the console, the wire of our own tools) and
// Windows-1252, the code page of every text file the collector writes.
//
// All functions are pure and thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD (EF BF BD).
std::string ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16. Invalid, truncated or overlong sequences and encoded
// surrogates become U+FFFD, one per maximal invalid subpart.
std::u16string FromUtf8(std::string_view bytes);

// UTF-16 to Windows-1252. Characters outside the code page (lone surrogates
// and pairs included) become '?', one per character.
std::string ToWindows1252(std::u16string_view text);

// Windows-1252 to UTF-16. The five bytes the code page leaves undefined
// (81, 8D, 8F, 90, 9D) map to the C1 controls of the same value.
std::u16string FromWindows1252(std::string_view bytes);

// The Windows-1252 byte for a character, or -1 when the code page lacks it.
int Windows1252Byte(char16_t c);

}  // namespace platform
