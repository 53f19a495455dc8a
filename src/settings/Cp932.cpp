// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <map>

namespace zelk {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// One conversion descriptor per direction and thread: iconv_open costs far more than a
// short text, and a descriptor must not be shared between threads.
class TConverter {
 public:
  TConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TConverter() {
    if (Valid()) iconv_close(cd_);
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;

  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  /// Converts as much as possible; returns 0 on success or the errno of the stop.
  int Convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
    char* src = const_cast<char*>(in);
    const size_t rc = iconv(cd_, &src, &inLeft, &out, &outLeft);
    in = src;
    return rc == static_cast<size_t>(-1) ? errno : 0;
  }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

TConverter& Encoder() {
  thread_local TConverter c("CP932", "UTF-16LE");
  return c;
}

TConverter& Decoder() {
  thread_local TConverter c("UTF-16LE", "CP932");
  return c;
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

std::string ToLittleEndianBytes(const std::u16string& text) {
  std::string bytes(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

// Without a working iconv (a system without gconv modules) only ASCII can be trusted.
std::string AsciiOnlyEncode(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    out += u < 0x80 ? static_cast<char>(u) : '?';
  }
  return out;
}

std::u16string AsciiOnlyDecode(const std::string& bytes) {
  std::u16string out;
  for (unsigned char b : bytes) out += b < 0x80 ? static_cast<char16_t>(b) : kReplacement;
  return out;
}

}  // namespace

std::string Utf16ToCp932(const std::u16string& text) {
  TConverter& cd = Encoder();
  if (!cd.Valid()) return AsciiOnlyEncode(text);
  cd.Reset();
  const std::string in = ToLittleEndianBytes(text);
  // Every code unit gives at most two bytes, and a pair of units gives one "?".
  std::string out(in.size() + 4, '\0');
  const char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0) {
    const int err = cd.Convert(src, srcLeft, dst, dstLeft);
    // E2BIG cannot happen with the size above; stop rather than write past the end.
    if (err == 0 || err == E2BIG || dstLeft == 0) break;
    *dst++ = '?';
    --dstLeft;
    if (err == EINVAL || srcLeft < 2) break;  // a high surrogate cut off at the end
    // Skip the one character iconv could not take: a surrogate pair as a whole.
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(src[0]) |
                                                static_cast<unsigned char>(src[1]) << 8);
    size_t skip = 2;
    if (IsHighSurrogate(unit) && srcLeft >= 4) {
      const char16_t next = static_cast<char16_t>(static_cast<unsigned char>(src[2]) |
                                                  static_cast<unsigned char>(src[3]) << 8);
      if (IsLowSurrogate(next)) skip = 4;
    }
    src += skip;
    srcLeft -= skip;
    cd.Reset();
  }
  out.resize(out.size() - dstLeft);
  return out;
}

std::u16string Cp932ToUtf16(const std::string& bytes) {
  TConverter& cd = Decoder();
  if (!cd.Valid()) return AsciiOnlyDecode(bytes);
  cd.Reset();
  // Every byte gives at most one code unit: the code page has no character beyond the
  // Basic Multilingual Plane.
  std::string out(bytes.size() * 2 + 2, '\0');
  const char* src = bytes.data();
  size_t srcLeft = bytes.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0) {
    const int err = cd.Convert(src, srcLeft, dst, dstLeft);
    if (err == 0 || err == E2BIG || dstLeft < 2) break;
    dst[0] = static_cast<char>(kReplacement & 0xFF);
    dst[1] = static_cast<char>(kReplacement >> 8);
    dst += 2;
    dstLeft -= 2;
    if (err == EINVAL) break;  // a lead byte without its trail byte at the end
    ++src;
    --srcLeft;
    cd.Reset();
  }
  const size_t produced = (out.size() - dstLeft) / 2;
  std::u16string text(produced, u'\0');
  for (size_t i = 0; i < produced; ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                    static_cast<unsigned char>(out[2 * i + 1]) << 8);
  return text;
}

std::vector<TCp932Substitution> Cp932Substitutions(const std::u16string& text) {
  std::vector<TCp932Substitution> found;
  if (Cp932ToUtf16(Utf16ToCp932(text)) == text) return found;
  std::map<std::u16string, bool> seen;  // whether the character survives
  for (size_t i = 0; i < text.size();) {
    const size_t n =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
    const std::u16string c = text.substr(i, n);
    i += n;
    if (seen.count(c)) continue;
    const std::u16string back = Cp932ToUtf16(Utf16ToCp932(c));
    seen[c] = back == c;
    if (back != c) found.push_back({c, back});
  }
  return found;
}

}  // namespace zelk
