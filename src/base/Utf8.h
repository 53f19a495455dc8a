// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversion between the UTF-16 texts the program holds and UTF-8.

#include <string>

namespace zelk {

/// UTF-16 to UTF-8 and back. Invalid sequences become U+FFFD; nothing is lost after them.
std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);

/// File names are bytes, and any bytes but "/" and NUL make one. These two keep every
/// byte: a byte that is no part of valid UTF-8 becomes the lone surrogate U+DC80 + byte
/// (which valid UTF-8 never yields), and that surrogate becomes the byte again, so a
/// name survives the way from the command line or a file to the system unchanged.
std::u16string FileNameToUtf16(const std::string& bytes);
std::string FileNameFromUtf16(const std::u16string& name);

}  // namespace zelk
