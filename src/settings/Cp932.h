// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Code page 932 (Windows-31J, the Japanese ANSI code page of settings files) to UTF-16
// and back.

#include <string>
#include <vector>

namespace zelk {

/// UTF-16 text as code page 932 bytes, through glibc iconv "CP932": the Windows mapping
/// with the NEC and IBM extensions (①, 髙). Its encoder is lenient in the Windows way:
/// U+301C "〜" becomes 0x8160, as U+FF5E does.
///
/// A character without a mapping becomes one "?" (0x3F); a surrogate pair is one
/// character and gives one "?", and so does a lone surrogate. U+0000 is written as the
/// byte 0. The result never holds more than two bytes per code unit.
std::string Utf16ToCp932(const std::u16string& text);

/// Code page 932 bytes as UTF-16 text. An invalid byte becomes U+FFFD and decoding
/// goes on with the next byte; a lead byte cut off at the end becomes U+FFFD too.
/// Nothing after a bad byte is lost. Bytes the code page leaves undefined (0x80, 0xA0,
/// 0xFD to 0xFF) are invalid bytes.
std::u16string Cp932ToUtf16(const std::string& bytes);

/// A character that code page 932 does not keep: what a text held, and what reads back
/// from the file in its place ("?" for an emoji, "\\" for "¥", "～" for "〜").
struct TCp932Substitution {
  std::u16string Original;  ///< one character (a surrogate pair counts as one)
  std::u16string Stored;
};

/// The characters of `text` that do not survive Utf16ToCp932 and Cp932ToUtf16, each
/// once, in the order they first appear.
std::vector<TCp932Substitution> Cp932Substitutions(const std::u16string& text);

}  // namespace zelk
