// SPDX-License-Identifier: GPL-3.0-or-later
// The tagged stream primitives: byte layout, reads past the end, count limits, NUL
// cuts, code page 932 texts, and fonts.

#include "settings/Fileiounit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "FileBytes.h"
#include "settings/FileFormat.h"

namespace zelk {
namespace {

using namespace testing_bytes;

TEST(Fileiounit, IntIsTagThenLittleEndianValue) {
  TMemoryWriter w;
  WriteInt(w, 0x10100, -2);
  EXPECT_EQ(w.Bytes(), std::string("\x00\x01\x01\x00\xFE\xFF\xFF\xFF", 8));
}

TEST(Fileiounit, DoubleIsBinary64LittleEndian) {
  TMemoryWriter w;
  WriteDouble(w, 0x10307, 0.3);
  EXPECT_EQ(w.Bytes(), Dbl(0x10307, 0x3FD3333333333333ull));
}

TEST(Fileiounit, RectIsFourInts) {
  TMemoryWriter w;
  WriteRect(w, 0x30001, 10, -20, 300, 400);
  EXPECT_EQ(w.Bytes(),
            I32(0x30001) + I32(10) + I32(static_cast<uint32_t>(-20)) + I32(300) + I32(400));
  TMemoryReader r(w.Bytes());
  EXPECT_EQ(ReadInt(r), 0x30001);
  EXPECT_EQ(ReadRect(r), (TFileRect{10, -20, 300, 400}));
}

TEST(Fileiounit, ValuesRoundTripBitForBit) {
  const double values[] = {0.0,
                           -0.0,
                           1.5,
                           -203.2,
                           1e308,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::infinity()};
  for (double v : values) {
    TMemoryWriter w;
    WriteDouble(w, 1, v);
    TMemoryReader r(w.Bytes());
    ReadInt(r);
    const double back = ReadDouble(r);
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;
  }
  // A NaN with a payload keeps its payload.
  const std::string nan = I32(7) + F64(0x7FF8000000ABCDEFull);
  TMemoryReader r(nan);
  ReadInt(r);
  const double back = ReadDouble(r);
  uint64_t bits = 0;
  std::memcpy(&bits, &back, sizeof bits);
  EXPECT_EQ(bits, 0x7FF8000000ABCDEFull);
}

TEST(Fileiounit, ReadsPastTheEndGiveZero) {
  const std::string two("\x05\x00", 2);
  TMemoryReader r(two);
  EXPECT_EQ(ReadInt(r), 0);
  EXPECT_TRUE(r.HitEnd());
  EXPECT_EQ(ReadInt(r), 0);

  const std::string five("\x01\x02\x03\x04\x05", 5);
  TMemoryReader d(five);
  EXPECT_EQ(ReadDouble(d), 0.0);
  EXPECT_EQ(d.Position(), 5u);

  TMemoryReader empty(nullptr, 0);
  EXPECT_EQ(ReadRect(empty), TFileRect());
  EXPECT_EQ(ReadWideString(empty), u"");
  EXPECT_EQ(ReadAnsiString(empty), u"");
  EXPECT_EQ(ReadFont(empty), TFont());
}

TEST(Fileiounit, EmptyTextIsTagAndZeroCount) {
  TMemoryWriter w;
  WriteWideString(w, 4, u"");
  WriteAnsiString(w, 0x10211, u"");
  EXPECT_EQ(w.Bytes(), I32(4) + I32(0) + I32(0x10211) + I32(0));
  TMemoryReader r(w.Bytes());
  EXPECT_EQ(ReadInt(r), 4);
  EXPECT_EQ(ReadWideString(r), u"");
  EXPECT_EQ(r.Position(), 8u);
  EXPECT_EQ(ReadInt(r), 0x10211);
  EXPECT_EQ(ReadAnsiString(r), u"");
  EXPECT_FALSE(r.HitEnd());
}

TEST(Fileiounit, WideStringIsUtf16LittleEndianUnchanged) {
  const std::u16string text = u"a髙\U0001F600\u00E9";
  TMemoryWriter w;
  WriteWideString(w, 4, text);
  EXPECT_EQ(w.Bytes(), I32(4) + I32(5) + std::string("a\0\xD9\x9A\x3D\xD8\x00\xDE\xE9\x00", 10));
  TMemoryReader r(w.Bytes());
  ReadInt(r);
  EXPECT_EQ(ReadWideString(r), text);
}

TEST(Fileiounit, AnsiStringCountsBytesAfterConversion) {
  TMemoryWriter w;
  WriteAnsiString(w, 0x10100, u"印刷設定");
  EXPECT_EQ(w.Bytes(),
            std::string("\x00\x01\x01\x00\x08\x00\x00\x00\x88\xF3\x8D\xFC\x90\xDD\x92\xE8", 16));
}

TEST(Fileiounit, AnsiStringWritesQuestionMarksOutsideCodePage932) {
  TMemoryWriter w;
  WriteAnsiString(w, 1, u"a\U0001F600\u00E9①");
  EXPECT_EQ(w.Bytes(), Ansi(1, "a??\x87\x40"));
  TMemoryReader r(w.Bytes());
  ReadInt(r);
  EXPECT_EQ(ReadAnsiString(r), u"a??①");
}

struct TCountCase {
  const char* Name;
  int32_t Count;
  std::string Data;     // bytes after the count
  std::u16string Text;  // expected text
  uint64_t Position;    // expected position after the read (count at 0..3)
};

class WideCount : public ::testing::TestWithParam<TCountCase> {};

TEST_P(WideCount, Reads) {
  const TCountCase& c = GetParam();
  const std::string bytes = I32(static_cast<uint32_t>(c.Count)) + c.Data;
  TMemoryReader r(bytes);
  EXPECT_EQ(ReadWideString(r), c.Text) << c.Name;
  EXPECT_EQ(r.Position(), c.Position) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WideCount,
    ::testing::Values(
        TCountCase{"zero", 0, std::string("A\0", 2), u"", 4},
        TCountCase{"negative consumes only the count", -1, std::string("A\0", 2), u"", 4},
        TCountCase{"most negative", std::numeric_limits<int32_t>::min(), "xx", u"", 4},
        TCountCase{"above the limit is not skipped", kMaxTextCount + 1, std::string("A\0", 2), u"",
                   4},
        TCountCase{"largest int", std::numeric_limits<int32_t>::max(), "xx", u"", 4},
        TCountCase{"the limit is read, as far as the stream goes", kMaxTextCount,
                   std::string("A\0B\0", 4), u"AB", 8},
        TCountCase{"exact", 2, std::string("A\0B\0C\0", 6), u"AB", 8},
        TCountCase{"NUL cuts the text but the units are consumed", 3, std::string("A\0\0\0B\0", 6),
                   u"A", 10},
        TCountCase{"odd last byte dropped", 2, std::string("A\0B", 3), u"A", 7}),
    [](const ::testing::TestParamInfo<TCountCase>& info) { return std::to_string(info.index); });

class AnsiCount : public ::testing::TestWithParam<TCountCase> {};

TEST_P(AnsiCount, Reads) {
  const TCountCase& c = GetParam();
  const std::string bytes = I32(static_cast<uint32_t>(c.Count)) + c.Data;
  TMemoryReader r(bytes);
  EXPECT_EQ(ReadAnsiString(r), c.Text) << c.Name;
  EXPECT_EQ(r.Position(), c.Position) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnsiCount,
    ::testing::Values(TCountCase{"zero", 0, "AB", u"", 4}, TCountCase{"negative", -5, "AB", u"", 4},
                      TCountCase{"above the limit is not skipped", kMaxTextCount + 1, "AB", u"", 4},
                      TCountCase{"the limit", kMaxTextCount,
                                 "\x88\xF3"
                                 "A",
                                 u"印A", 7},
                      TCountCase{"NUL cuts", 5, std::string("ab\0cd", 5), u"ab", 9},
                      TCountCase{"NUL first", 2, std::string("\0x", 2), u"", 6},
                      TCountCase{"double-byte character cut by the end", 4, "A\x88", u"A\uFFFD", 6},
                      TCountCase{"invalid byte then text", 3, "\x80xy", u"\uFFFDxy", 7}),
    [](const ::testing::TestParamInfo<TCountCase>& info) { return std::to_string(info.index); });

struct TLimitCase {
  const char* Name;
  bool Wide;
  std::u16string Text;  // written with its own count
  size_t MaxUnits;
  std::u16string Kept;
  bool Shortened;
};

class TextLimit : public ::testing::TestWithParam<TLimitCase> {};

// A limited read consumes the whole entry, keeps at most the limit and says so.
TEST_P(TextLimit, KeepsTheFirstUnitsAndConsumesTheEntry) {
  const TLimitCase& c = GetParam();
  TMemoryWriter w;
  c.Wide ? WriteWideString(w, 1, c.Text) : WriteAnsiString(w, 1, c.Text);
  WriteInt(w, 2, 99);
  TMemoryReader r(w.Bytes());
  ASSERT_EQ(ReadInt(r), 1);
  bool shortened = false;
  const TTextLimit limit{c.MaxUnits, &shortened};
  EXPECT_EQ(c.Wide ? ReadWideString(r, limit) : ReadAnsiString(r, limit), c.Kept) << c.Name;
  EXPECT_EQ(shortened, c.Shortened) << c.Name;
  EXPECT_EQ(ReadInt(r), 2) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextLimit,
    ::testing::Values(TLimitCase{"wide within", true, u"原稿", 2, u"原稿", false},
                      TLimitCase{"wide beyond", true, u"原稿用紙", 2, u"原稿", true},
                      TLimitCase{"wide pair at the limit", true, u"a😀b", 2, u"a", true},
                      TLimitCase{"ansi within", false, u"原稿", 2, u"原稿", false},
                      TLimitCase{"ansi double-byte beyond", false, u"原稿用紙", 3, u"原稿用", true},
                      TLimitCase{"ansi single-byte beyond", false, u"abcdefgh", 3, u"abc", true}),
    [](const ::testing::TestParamInfo<TLimitCase>& info) { return std::to_string(info.index); });

TEST(Fileiounit, RejectedCountLeavesTheStreamRightAfterIt) {
  // The units a too-large count announces are read as the next entries.
  const std::string bytes = I32(kMaxTextCount + 1) + Int(0x10403, 7);
  TMemoryReader r(bytes);
  EXPECT_EQ(ReadAnsiString(r), u"");
  EXPECT_EQ(ReadInt(r), 0x10403);
  EXPECT_EQ(ReadInt(r), 7);
}

TEST(Fileiounit, TextAfterANulStillEndsWhereTheCountSays) {
  TMemoryWriter w;
  WriteAnsiString(w, 1, std::u16string(u"前\0後", 3));
  WriteInt(w, 2, 99);
  TMemoryReader r(w.Bytes());
  EXPECT_EQ(ReadInt(r), 1);
  EXPECT_EQ(ReadAnsiString(r), u"前");
  EXPECT_EQ(ReadInt(r), 2);
  EXPECT_EQ(ReadInt(r), 99);
}

TEST(Fileiounit, LongTextsCrossManyReadChunks) {
  std::u16string text;
  for (int i = 0; i < 50000; ++i) text += static_cast<char16_t>(u'あ' + i % 80);
  TMemoryWriter w;
  WriteWideString(w, 1, text);
  WriteAnsiString(w, 2, text);
  TMemoryReader r(w.Bytes());
  ReadInt(r);
  EXPECT_EQ(ReadWideString(r), text);
  ReadInt(r);
  EXPECT_EQ(ReadAnsiString(r), text);
  EXPECT_FALSE(r.HitEnd());
}

TEST(Fileiounit, FontWithBoldAndUnderline) {
  TFont font;
  font.MutableStyle().Bold = true;
  font.MutableStyle().Underline = true;
  TMemoryWriter w;
  WriteFont(w, 0x10212, font);
  EXPECT_EQ(w.Bytes(), I32(0x10212) + DefaultFontBody() + I32(40) + I32(42) + I32(0));
  TMemoryReader r(w.Bytes());
  ReadInt(r);
  const TFont back = ReadFont(r);
  EXPECT_EQ(back.Style(), (TFontStyles{true, false, true, false}));
  EXPECT_EQ(back, font);
  EXPECT_EQ(r.Position(), w.Bytes().size());
}

TEST(Fileiounit, FontRoundTripsEveryAttribute) {
  TFont font;
  font.SetCharset(128);
  font.SetColor(0x00123456);
  font.SetName(u"ＭＳ 明朝");
  font.SetPitch(2);
  font.SetPixelsPerInch(600);
  font.SetSize(14);  // height -117 at 600 ppi
  font.SetStyle({false, true, false, true});
  TMemoryWriter w;
  WriteFont(w, 1, font);
  TMemoryReader r(w.Bytes());
  ReadInt(r);
  const TFont back = ReadFont(r);
  EXPECT_EQ(back, font);
  EXPECT_EQ(back.Height(), -117);
}

TEST(Fileiounit, FontWithoutSizeKeepsTheStoredHeight) {
  const std::string bytes =
      Int(33, 128) + Int(35, static_cast<uint32_t>(-20)) + Int(38, 120) + I32(0);
  TMemoryReader r(bytes);
  const TFont font = ReadFont(r);
  EXPECT_EQ(font.Height(), -20);
  EXPECT_EQ(font.Charset(), 128);
  EXPECT_EQ(font.PixelsPerInch(), 120);
  EXPECT_EQ(font.Name(), u"Tahoma");
}

TEST(Fileiounit, SizeUsesThePixelsPerInchReadBeforeIt) {
  const std::string bytes = Int(38, 600) + Int(39, 12) + I32(0);
  TMemoryReader r(bytes);
  EXPECT_EQ(ReadFont(r).Height(), -100);
}

struct TPpiCase {
  const char* Name;
  std::string Body;
  int32_t Height;
  int32_t Size;
};

class BadPixelsPerInch : public ::testing::TestWithParam<TPpiCase> {};

// A pixels per inch of 0 or below relates nothing: the other view stays as it was, and
// the next entry of the file is still read.
TEST_P(BadPixelsPerInch, NeitherDividesByZeroNorStopsTheFile) {
  const TPpiCase& c = GetParam();
  const std::string bytes = c.Body + I32(0) + Int(0x10403, 33);
  TMemoryReader r(bytes);
  const TFont font = ReadFont(r);
  EXPECT_EQ(font.Height(), c.Height) << c.Name;
  EXPECT_EQ(font.Size(), c.Size) << c.Name;
  EXPECT_EQ(ReadInt(r), 0x10403);
  EXPECT_EQ(ReadInt(r), 33);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadPixelsPerInch,
    ::testing::Values(
        TPpiCase{"zero, then size", Int(38, 0) + Int(39, 12), -11, 12},
        TPpiCase{"zero, then height", Int(38, 0) + Int(35, static_cast<uint32_t>(-30)), -30, 8},
        TPpiCase{"negative, then size", Int(38, static_cast<uint32_t>(-96)) + Int(39, 20), -11, 20},
        TPpiCase{"most negative", Int(38, 0x80000000u) + Int(39, 0x7FFFFFFF), -11, 0x7FFFFFFF},
        TPpiCase{"huge size at a huge ppi saturates", Int(38, 0x7FFFFFFF) + Int(39, 0x7FFFFFFF),
                 -0x7FFFFFFF, 0x7FFFFFFF}),
    [](const ::testing::TestParamInfo<TPpiCase>& info) { return std::to_string(info.index); });

TEST(Fileiounit, UnknownFontSubTagEndsTheFont) {
  // Sub-tag 44 ends the font; what follows it belongs to the enclosing loop.
  const std::string bytes = Int(33, 5) + I32(44) + Int(0x10404, 9) + Int(39, 30);
  TMemoryReader r(bytes);
  const TFont font = ReadFont(r);
  EXPECT_EQ(font.Charset(), 5);
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(ReadInt(r), 0x10404);
  EXPECT_EQ(ReadInt(r), 9);
}

TEST(Fileiounit, FontNameWithRejectedCountReadsOnAsSubTags) {
  // The face name's count is too large, so the bytes after it are sub-entries again.
  const std::string bytes = I32(36) + I32(kMaxTextCount + 1) + Int(39, 20) + I32(40) + I32(0);
  TMemoryReader r(bytes);
  const TFont font = ReadFont(r);
  EXPECT_EQ(font.Name(), u"");
  EXPECT_EQ(font.Size(), 20);
  EXPECT_TRUE(font.Style().Bold);
  EXPECT_EQ(r.Position(), bytes.size());
}

TEST(Fileiounit, StyleSubTagsCarryNoPayload) {
  const std::string bytes = I32(43) + I32(41) + I32(40) + I32(42) + I32(0);
  TMemoryReader r(bytes);
  EXPECT_EQ(ReadFont(r).Style(), (TFontStyles{true, true, true, true}));
  EXPECT_EQ(r.Position(), bytes.size());
}

// A writer that takes `budget` bytes and then fails as a full disk does.
class TFullDisk : public TByteWriter {
 public:
  explicit TFullDisk(size_t budget) : budget_(budget) {}
  std::string bytes;

 protected:
  bool WriteAll(const void* src, size_t n) override {
    if (n > budget_) {
      errno = ENOSPC;
      return false;
    }
    budget_ -= n;
    bytes.append(static_cast<const char*>(src), n);
    return true;
  }

 private:
  size_t budget_;
};

TEST(Fileiounit, AWriterStopsAtItsFirstFailure) {
  TFullDisk w(10);
  WriteInt(w, 1, 2);  // 8 bytes fit
  WriteInt(w, 3, 4);  // the tag does not fit
  WriteMarker(w, 0);  // would fit, but nothing follows a failure
  EXPECT_TRUE(w.Failed());
  EXPECT_EQ(w.Error(), ENOSPC);
  EXPECT_EQ(w.bytes, Int(1, 2));
  EXPECT_EQ(w.Position(), 8u);
}

TEST(Fileiounit, FileReaderAndWriterOverStdio) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  TFileWriter w(f);
  WriteAnsiString(w, 1, u"原稿用紙");
  WriteDouble(w, 2, 12.5);
  ASSERT_FALSE(w.Failed());
  std::rewind(f);
  TFileReader r(f);
  EXPECT_EQ(ReadInt(r), 1);
  EXPECT_EQ(ReadAnsiString(r), u"原稿用紙");
  EXPECT_EQ(ReadInt(r), 2);
  EXPECT_EQ(ReadDouble(r), 12.5);
  EXPECT_EQ(ReadInt(r), 0);
  EXPECT_TRUE(r.HitEnd());
  EXPECT_EQ(r.Error(), 0);
  std::fclose(f);
}

}  // namespace
}  // namespace zelk
