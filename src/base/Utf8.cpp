// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Utf8.h"

#include <cstdint>

namespace zelk {

namespace {

// A byte that is no part of valid UTF-8, kept in a file name as U+DC80 + byte.
constexpr char16_t kEscapeBase = 0xDC00;
bool IsEscapedByte(uint32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

std::string EncodeUtf8(const std::u16string& text, bool unescapeBytes) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (unescapeBytes && IsEscapedByte(c)) {
      out += static_cast<char>(c - kEscapeBase);
      continue;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string DecodeUtf8(const std::string& text, bool escapeBytes) {
  std::u16string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    uint32_t c = s[i];
    int extra = 0;
    uint32_t min = 0;
    if (c < 0x80) {
      extra = 0;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, c &= 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, c &= 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, c &= 0x07, min = 0x10000;
    } else {
      out += escapeBytes ? static_cast<char16_t>(kEscapeBase + s[i]) : u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= n || (s[i + k] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += escapeBytes ? static_cast<char16_t>(kEscapeBase + s[i]) : u'\uFFFD';
      ++i;
      continue;
    }
    i += static_cast<size_t>(extra) + 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

}  // namespace

std::string ToUtf8(const std::u16string& text) { return EncodeUtf8(text, false); }
std::u16string FromUtf8(const std::string& text) { return DecodeUtf8(text, false); }

std::u16string FileNameToUtf16(const std::string& bytes) { return DecodeUtf8(bytes, true); }
std::string FileNameFromUtf16(const std::u16string& name) { return EncodeUtf8(name, true); }

}  // namespace zelk
