#pragma once
// Conversion between the UTF-16 texts the program holds and UTF-8.

#include <string>

namespace zelk {

/// UTF-16 to UTF-8 and back. Invalid sequences become U+FFFD; nothing is lost after them.
std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);

}  // namespace zelk
