// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Fileiounit.h"

#include <cerrno>
#include <cstring>

#include "settings/Cp932.h"
#include "settings/FileFormat.h"

namespace zelk {
namespace {

// Texts are read in pieces of this size, so that a count read from a damaged file
// costs only the bytes that really follow it.
constexpr size_t kChunk = 16 * 1024;

void PutFixed32(unsigned char* dst, uint32_t v) {
  dst[0] = static_cast<unsigned char>(v);
  dst[1] = static_cast<unsigned char>(v >> 8);
  dst[2] = static_cast<unsigned char>(v >> 16);
  dst[3] = static_cast<unsigned char>(v >> 24);
}

uint32_t GetFixed32(const unsigned char* src) {
  return static_cast<uint32_t>(src[0]) | static_cast<uint32_t>(src[1]) << 8 |
         static_cast<uint32_t>(src[2]) << 16 | static_cast<uint32_t>(src[3]) << 24;
}

void PutInt32(TByteWriter& w, int32_t v) {
  unsigned char b[4];
  PutFixed32(b, static_cast<uint32_t>(v));
  w.Write(b, sizeof b);
}

void PutCount(TByteWriter& w, size_t n) {
  // A text beyond 2 GiB units cannot be stored; such a count is never produced by the
  // window's controls, and a negative count would read back as the empty text anyway.
  PutInt32(w, n > 0x7FFFFFFF ? 0 : static_cast<int32_t>(n));
}

void PutAnsiPayload(TByteWriter& w, const std::u16string& text) {
  const std::string bytes = Utf16ToCp932(text);
  PutCount(w, bytes.size());
  w.Write(bytes.data(), bytes.size());
}

constexpr size_t kNoLimit = static_cast<size_t>(-1);

// Reads the payload of a text: the count, then up to `count` units of `unitSize` bytes.
// Returns the raw bytes up to (not including) the first NUL unit, at most `keepUnits`
// of them; the units beyond are consumed and dropped, and `*dropped` tells so.
std::string ReadTextBytes(TByteReader& r, size_t unitSize, size_t keepUnits = kNoLimit,
                          bool* dropped = nullptr) {
  const int32_t count = ReadInt(r);
  std::string bytes;
  if (count <= 0 || count > kMaxTextCount) return bytes;
  uint64_t left = static_cast<uint64_t>(count) * unitSize;
  bool cut = false;
  unsigned char chunk[kChunk];
  while (left > 0) {
    const size_t want = left < kChunk ? static_cast<size_t>(left) : kChunk;
    const size_t got = r.Read(chunk, want);
    left -= got;
    const size_t whole = got - got % unitSize;  // a half unit at the end does not count
    for (size_t i = 0; i < whole && !cut; i += unitSize) {
      if (chunk[i] == 0 && (unitSize == 1 || chunk[i + 1] == 0)) {
        cut = true;  // keep consuming the count's units, but the text ends here
        break;
      }
      if (bytes.size() / unitSize >= keepUnits) {
        if (dropped) *dropped = true;
        cut = true;
        break;
      }
      bytes.append(reinterpret_cast<const char*>(chunk + i), unitSize);
    }
    if (got < want) break;
  }
  return bytes;
}

std::u16string WideFromBytes(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return text;
}

std::u16string Shorten(std::u16string text, bool dropped, const TTextLimit& limit) {
  if (text.size() > limit.MaxUnits) {
    size_t keep = limit.MaxUnits;
    if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
    text.resize(keep);
    dropped = true;
  }
  if (dropped && limit.Shortened) *limit.Shortened = true;
  return text;
}

}  // namespace

size_t TByteReader::Read(void* dst, size_t n) {
  size_t total = 0;
  auto* out = static_cast<unsigned char*>(dst);
  while (total < n && !hitEnd_) {
    int err = 0;
    const size_t got = ReadSome(out + total, n - total, &err);
    if (got == 0) {
      hitEnd_ = true;
      error_ = err;
      break;
    }
    total += got;
  }
  position_ += total;
  return total;
}

void TByteWriter::Write(const void* src, size_t n) {
  if (failed_ || n == 0) return;
  errno = 0;
  if (WriteAll(src, n)) {
    position_ += n;
    return;
  }
  failed_ = true;
  error_ = errno != 0 ? errno : EIO;
}

size_t TMemoryReader::ReadSome(void* dst, size_t n, int* /*error*/) {
  const size_t got = n < Remaining() ? n : Remaining();
  if (got > 0) std::memcpy(dst, data_ + offset_, got);
  offset_ += got;
  return got;
}

bool TMemoryWriter::WriteAll(const void* src, size_t n) {
  bytes_.append(static_cast<const char*>(src), n);
  return true;
}

size_t TFileReader::ReadSome(void* dst, size_t n, int* error) {
  const size_t got = std::fread(dst, 1, n, file_);
  if (got == 0 && std::ferror(file_)) *error = errno != 0 ? errno : EIO;
  return got;
}

bool TFileWriter::WriteAll(const void* src, size_t n) { return std::fwrite(src, 1, n, file_) == n; }

void WriteMarker(TByteWriter& w, int32_t tag) { PutInt32(w, tag); }

void WriteInt(TByteWriter& w, int32_t tag, int32_t value) {
  PutInt32(w, tag);
  PutInt32(w, value);
}

void WriteDouble(TByteWriter& w, int32_t tag, double value) {
  uint64_t bits = 0;
  static_assert(sizeof bits == sizeof value, "binary64 doubles");
  std::memcpy(&bits, &value, sizeof bits);
  unsigned char b[8];
  PutFixed32(b, static_cast<uint32_t>(bits));
  PutFixed32(b + 4, static_cast<uint32_t>(bits >> 32));
  PutInt32(w, tag);
  w.Write(b, sizeof b);
}

void WriteRect(TByteWriter& w, int32_t tag, int32_t left, int32_t top, int32_t right,
               int32_t bottom) {
  PutInt32(w, tag);
  PutInt32(w, left);
  PutInt32(w, top);
  PutInt32(w, right);
  PutInt32(w, bottom);
}

void WriteWideString(TByteWriter& w, int32_t tag, const std::u16string& text) {
  PutInt32(w, tag);
  PutCount(w, text.size());
  std::string bytes(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  w.Write(bytes.data(), bytes.size());
}

void WriteAnsiString(TByteWriter& w, int32_t tag, const std::u16string& text) {
  PutInt32(w, tag);
  PutAnsiPayload(w, text);
}

void WriteFont(TByteWriter& w, int32_t tag, const TFont& font) {
  PutInt32(w, tag);
  WriteInt(w, kFontCharset, font.Charset());
  WriteInt(w, kFontColor, font.Color());
  WriteInt(w, kFontHeight, font.Height());
  PutInt32(w, kFontName);
  PutAnsiPayload(w, font.Name());
  WriteInt(w, kFontPitch, font.Pitch());
  WriteInt(w, kFontPixelsPerInch, font.PixelsPerInch());
  WriteInt(w, kFontSize, font.Size());
  const TFontStyles& style = font.Style();
  if (style.Bold) WriteMarker(w, kFontBold);
  if (style.Italic) WriteMarker(w, kFontItalic);
  if (style.Underline) WriteMarker(w, kFontUnderline);
  if (style.StrikeOut) WriteMarker(w, kFontStrikeOut);
  WriteMarker(w, kEndMarker);
}

int32_t ReadInt(TByteReader& r) {
  unsigned char b[4];
  if (r.Read(b, sizeof b) != sizeof b) return 0;
  return static_cast<int32_t>(GetFixed32(b));
}

double ReadDouble(TByteReader& r) {
  unsigned char b[8];
  if (r.Read(b, sizeof b) != sizeof b) return 0.0;
  const uint64_t bits =
      static_cast<uint64_t>(GetFixed32(b)) | static_cast<uint64_t>(GetFixed32(b + 4)) << 32;
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TFileRect ReadRect(TByteReader& r) {
  TFileRect rect;
  rect.Left = ReadInt(r);
  rect.Top = ReadInt(r);
  rect.Right = ReadInt(r);
  rect.Bottom = ReadInt(r);
  return rect;
}

std::u16string ReadWideString(TByteReader& r) { return WideFromBytes(ReadTextBytes(r, 2)); }

std::u16string ReadAnsiString(TByteReader& r) { return Cp932ToUtf16(ReadTextBytes(r, 1)); }

std::u16string ReadWideString(TByteReader& r, const TTextLimit& limit) {
  bool dropped = false;
  // One unit more than the limit, so that a pair at the limit is seen whole.
  std::string bytes = ReadTextBytes(r, 2, limit.MaxUnits + 1, &dropped);
  return Shorten(WideFromBytes(bytes), dropped, limit);
}

std::u16string ReadAnsiString(TByteReader& r, const TTextLimit& limit) {
  bool dropped = false;
  // A character takes one or two bytes: twice the limit always yields enough of them.
  const std::string bytes = ReadTextBytes(r, 1, 2 * limit.MaxUnits + 2, &dropped);
  return Shorten(Cp932ToUtf16(bytes), dropped, limit);
}

namespace {

template <typename ReadName>
TFont ReadFontWith(TByteReader& r, ReadName readName) {
  TFont font;
  while (true) {
    switch (ReadInt(r)) {
      case kFontCharset:
        font.SetCharset(ReadInt(r));
        break;
      case kFontColor:
        font.SetColor(ReadInt(r));
        break;
      case kFontHeight:
        font.SetHeight(ReadInt(r));
        break;
      case kFontName:
        font.SetName(readName());
        break;
      case kFontPitch:
        font.SetPitch(ReadInt(r));
        break;
      case kFontPixelsPerInch:
        font.SetPixelsPerInch(ReadInt(r));
        break;
      case kFontSize:
        font.SetSize(ReadInt(r));
        break;
      case kFontBold:
        font.MutableStyle().Bold = true;
        break;
      case kFontItalic:
        font.MutableStyle().Italic = true;
        break;
      case kFontUnderline:
        font.MutableStyle().Underline = true;
        break;
      case kFontStrikeOut:
        font.MutableStyle().StrikeOut = true;
        break;
      default:
        return font;
    }
  }
}

}  // namespace

TFont ReadFont(TByteReader& r) {
  return ReadFontWith(r, [&r] { return ReadAnsiString(r); });
}

TFont ReadFont(TByteReader& r, const TTextLimit& limit) {
  return ReadFontWith(r, [&r, &limit] { return ReadAnsiString(r, limit); });
}

}  // namespace zelk
