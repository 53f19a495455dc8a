// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tagged stream primitives of zelk's binary files (layout in FileFormat.h), over a
// byte stream that the caller opened and closes: the primitives never open, close or
// seek.
//
// Readers never fail: a read past the end gives 0 (0.0, the empty text), so every
// reader loop ends at the end of the stream as at an end marker. Writers never report
// either; a failed write is remembered by the writer (TByteWriter::Failed) and the
// caller checks it once at the end.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/Font.h"

namespace zelk {

/// A source of bytes.
class TByteReader {
 public:
  virtual ~TByteReader() = default;

  /// Reads up to `n` bytes into `dst` and returns how many arrived. Fewer than `n` only
  /// at the end of the stream or after a read error; from then on HitEnd() is true.
  size_t Read(void* dst, size_t n);
  /// Bytes consumed so far.
  uint64_t Position() const { return position_; }
  /// True once a read came back short: the stream ended (or failed) there.
  bool HitEnd() const { return hitEnd_; }
  /// The errno of a read error, or 0 when the stream only ended.
  int Error() const { return error_; }

 protected:
  /// Reads at least one and up to `n` bytes, or returns 0 at the end; on a read error
  /// returns 0 and sets `*error`.
  virtual size_t ReadSome(void* dst, size_t n, int* error) = 0;

 private:
  uint64_t position_ = 0;
  bool hitEnd_ = false;
  int error_ = 0;
};

/// A sink of bytes. After the first failed write nothing more is written.
class TByteWriter {
 public:
  virtual ~TByteWriter() = default;

  void Write(const void* src, size_t n);
  bool Failed() const { return failed_; }
  /// The errno of the first failure (EIO when the sink gave none).
  int Error() const { return error_; }
  /// Bytes written successfully.
  uint64_t Position() const { return position_; }

 protected:
  /// Writes all `n` bytes; false with errno set on failure.
  virtual bool WriteAll(const void* src, size_t n) = 0;

 private:
  uint64_t position_ = 0;
  bool failed_ = false;
  int error_ = 0;
};

/// Reads from memory the caller keeps alive.
class TMemoryReader : public TByteReader {
 public:
  TMemoryReader(const void* data, size_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}
  explicit TMemoryReader(const std::string& bytes) : TMemoryReader(bytes.data(), bytes.size()) {}
  /// Bytes not yet read.
  size_t Remaining() const { return size_ - offset_; }

 protected:
  size_t ReadSome(void* dst, size_t n, int* error) override;

 private:
  const unsigned char* data_;
  size_t size_;
  size_t offset_ = 0;
};

/// Collects the bytes written in memory.
class TMemoryWriter : public TByteWriter {
 public:
  const std::string& Bytes() const { return bytes_; }

 protected:
  bool WriteAll(const void* src, size_t n) override;

 private:
  std::string bytes_;
};

/// Reads from a stdio stream opened in binary mode; the caller closes it.
class TFileReader : public TByteReader {
 public:
  explicit TFileReader(std::FILE* file) : file_(file) {}

 protected:
  size_t ReadSome(void* dst, size_t n, int* error) override;

 private:
  std::FILE* file_;
};

/// Writes to a stdio stream opened in binary mode; the caller flushes and closes it.
class TFileWriter : public TByteWriter {
 public:
  explicit TFileWriter(std::FILE* file) : file_(file) {}

 protected:
  bool WriteAll(const void* src, size_t n) override;

 private:
  std::FILE* file_;
};

/// The four values of a Rect entry.
struct TFileRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  /// The width and height, exact for any corners a file may hold (they may be negative).
  int64_t Width() const { return int64_t{Right} - Left; }
  int64_t Height() const { return int64_t{Bottom} - Top; }
  bool operator==(const TFileRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

// Writers: the tag first, then the payload.

/// A bare tag: a Marker, or the end marker when `tag` is 0.
void WriteMarker(TByteWriter& w, int32_t tag);
void WriteInt(TByteWriter& w, int32_t tag, int32_t value);
void WriteDouble(TByteWriter& w, int32_t tag, double value);
void WriteRect(TByteWriter& w, int32_t tag, int32_t left, int32_t top, int32_t right,
               int32_t bottom);
/// The code-unit count, then the units as UTF-16LE; an empty text is the count 0 alone.
void WriteWideString(TByteWriter& w, int32_t tag, const std::u16string& text);
/// The text in code page 932 (unmappable characters as "?"), counted in bytes.
void WriteAnsiString(TByteWriter& w, int32_t tag, const std::u16string& text);
/// Sub-entries 33 to 39, then 40 to 43 for each style that is set, then 0.
void WriteFont(TByteWriter& w, int32_t tag, const TFont& font);

// Readers: the payload only; the caller's dispatch loop has read the tag with ReadInt.

/// An int32; 0 when fewer than 4 bytes remain (those bytes are consumed).
int32_t ReadInt(TByteReader& r);
/// A double, bit for bit (NaN payloads included); 0.0 when fewer than 8 bytes remain.
double ReadDouble(TByteReader& r);
/// Four ReadInt: left, top, right, bottom.
TFileRect ReadRect(TByteReader& r);
/// A text of n UTF-16 code units. n of 0 or less: the empty text, only the count is
/// consumed. n above kMaxTextCount: the empty text, and the next read starts right after
/// the count. Otherwise n units are consumed (fewer when the stream ends, an odd last
/// byte is dropped) and the text is cut at the first NUL unit.
///
/// Memory grows with the bytes that actually arrive, never with what the count claims.
std::u16string ReadWideString(TByteReader& r);
/// As ReadWideString with n bytes of code page 932, converted to UTF-16 (invalid bytes
/// as U+FFFD) after the cut at the first NUL byte.
std::u16string ReadAnsiString(TByteReader& r);

/// The most UTF-16 code units a text may keep when read with a limit.
struct TTextLimit {
  size_t MaxUnits;
  /// Set to true when a text was longer and was shortened; left alone otherwise.
  bool* Shortened = nullptr;
};

/// As ReadWideString, but a text longer than `limit.MaxUnits` keeps only its first
/// units: the stream is consumed exactly as without a limit, and the memory used stays
/// within the limit whatever the count claims. A surrogate pair is never split.
std::u16string ReadWideString(TByteReader& r, const TTextLimit& limit);
/// As ReadAnsiString with the same limit, counted after the conversion to UTF-16.
std::u16string ReadAnsiString(TByteReader& r, const TTextLimit& limit);
/// A font: starts from TFont(), applies sub-entries until one that is not 33 to 43 (the
/// end marker 0 included). Size (39) recomputes the height from the pixels per inch read
/// so far, height (35) recomputes the size; pixels per inch (38) changes neither; a
/// pixels per inch of 0 or less leaves the other view as it is.
TFont ReadFont(TByteReader& r);
/// As ReadFont, the face name read with `limit`.
TFont ReadFont(TByteReader& r, const TTextLimit& limit);

}  // namespace zelk
