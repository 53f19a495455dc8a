// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: the exact bytes of a default file, round trips of every field,
// and files that are short, reordered, repeated or damaged.

#include "settings/Printsettingunit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "FileBytes.h"
#include "settings/FileFormat.h"

namespace zelk {
namespace {

using namespace testing_bytes;

std::string Serialize(const TPrintSetting& s) {
  TMemoryWriter w;
  WriteSettingsFile(w, s);
  return w.Bytes();
}

TPrintSetting ReadBytes(const std::string& bytes, TPrintSetting s = TPrintSetting(),
                        TReadReport* report = nullptr) {
  TMemoryReader r(bytes);
  ReadSettingsFile(r, s, report);
  return s;
}

// Whether the field is kept in the style section after the end of file.
bool IsStyleField(const TSettingField& f) {
  return SettingsFileTag(f) > kStyleSectionMarker && SettingsFileTag(f) < 0x30000;
}

// Every field of the file set to a value unlike its default and unlike each other, and
// distinct cell records.
TPrintSetting Distinct() {
  TPrintSetting s;
  int i = 0;
  for (const TSettingField& f : SettingFields()) {
    ++i;
    if (IsStyleField(f)) continue;  // the style section has tests of its own
    switch (f.Kind) {
      case TFieldKind::Text:
        s.*f.Text = u"文字" + std::u16string(1, char16_t(u'A' + i % 26));
        break;
      case TFieldKind::Double:
        s.*f.Double = i * 1.25 + 0.01;
        break;
      case TFieldKind::Int:
        s.*f.Int = i * 7 - 300;
        break;
      case TFieldKind::Flag:
        s.*f.Flag = !(s.*f.Flag);
        break;
      case TFieldKind::Font: {
        TFont& font = s.*f.Font;
        font.SetCharset(i);
        font.SetColor(0x010203 * i);
        font.SetName(u"書体" + std::u16string(1, char16_t(u'a' + i % 26)));
        font.SetPitch(i % 3);
        font.SetPixelsPerInch(72 + i);
        font.SetSize(6 + i);
        font.SetStyle({i % 2 == 0, i % 3 == 0, i % 5 == 0, i % 7 == 0});
        break;
      }
    }
  }
  s.SetTategaki(!TPrintSetting().Tategaki);
  for (int e = 0; e < TCell::kEdgeCount; ++e) {
    s.Cell.Edge(e).LineType = e % 5;
    s.Cell.Edge(e).Width = 3.5 + e;
    s.Cell.Edge(e).LineWidth = 0.1 * (e + 1);
  }
  return s;
}

// True when field `f` of `a` and `b` hold the same value.
bool SameField(const TSettingField& f, const TPrintSetting& a, const TPrintSetting& b) {
  switch (f.Kind) {
    case TFieldKind::Text:
      return a.*f.Text == b.*f.Text;
    case TFieldKind::Double:
      return a.*f.Double == b.*f.Double;
    case TFieldKind::Int:
      return a.*f.Int == b.*f.Int;
    case TFieldKind::Flag:
      return a.*f.Flag == b.*f.Flag;
    case TFieldKind::Font:
      return a.*f.Font == b.*f.Font;
  }
  return false;
}

bool SameCell(const TCellWidth& a, const TCellWidth& b) {
  return a.LineType == b.LineType && a.Width == b.Width && a.LineWidth == b.LineWidth;
}

size_t OffsetOfEntry(const std::string& file, uint32_t tag) {
  const size_t at = file.find(I32(tag));
  EXPECT_NE(at, std::string::npos) << std::hex << tag;
  return at;
}

TEST(SettingsFile, DefaultFileIsByteExact) {
  const std::string font = DefaultFontBody() + I32(0);
  const std::string empty;
  std::string expected;
  expected += Ansi(0x10100, "\x88\xF3\x8D\xFC\x90\xDD\x92\xE8") + Ansi(0x10101, "A4");
  for (uint32_t tag : {0x10211u, 0x10221u, 0x10231u, 0x10241u}) expected += Ansi(tag, empty);
  for (uint32_t tag : {0x10212u, 0x10222u, 0x10232u, 0x10242u}) expected += I32(tag) + font;
  expected += Dbl(0x10301, 0) + Dbl(0x10302, 0);
  expected += Dbl(0x10303, 0x4028000000000000ull) + Dbl(0x10304, 0x402E000000000000ull);
  expected += Dbl(0x10305, 0x4028000000000000ull) + Dbl(0x10306, 0x402E000000000000ull);
  expected += Dbl(0x10307, 0x3FD3333333333333ull) + Dbl(0x10503, 0x4028000000000000ull);
  expected += Dbl(0x10308, 0x4000000000000000ull) + Int(0x10309, 1) + Int(0x10401, 0);
  expected += Int(0x10403, 20) + Int(0x10404, 20) + Int(0x10405, 4) + Int(0x10406, 1);
  expected += Int(0x10501, 1) + Int(0x10502, 4) + Int(0x10407, 1) + Int(0x10601, 1);
  expected += Int(0x10602, 0) + Int(0x10603, 1);
  for (uint32_t tag = 0x10604; tag <= 0x1060a; ++tag) expected += Int(tag, 0);
  expected += Int(0x1060b, 8) + Int(0x1060c, 18) + Ansi(0x1060d, empty) + I32(0x1060e) + font;
  for (uint32_t i = 1; i <= 8; ++i) expected += Ansi(0x10700 + i, empty) + I32(0x10800 + i) + font;
  expected += Dbl(0x10901, 0x3FF8000000000000ull) + I32(0x10001);
  for (uint32_t i = 0; i < 7; ++i)
    expected += I32(33 + i) + Int(17, 0) + Dbl(18, 0) + Dbl(19, 0) + I32(0);
  expected += I32(0) + I32(0);

  const std::string file = Serialize(TPrintSetting());
  EXPECT_EQ(file.substr(0, 16),
            std::string("\x00\x01\x01\x00\x08\x00\x00\x00\x88\xF3\x8D\xFC\x90\xDD\x92\xE8", 16));
  EXPECT_EQ(file.substr(16, 10), std::string("\x01\x01\x01\x00\x02\x00\x00\x00\x41\x34", 10));
  EXPECT_EQ(file.substr(file.size() - 12), std::string(12, '\0'));
  EXPECT_EQ(file, expected);
}

TEST(SettingsFile, RoundTripsEveryFieldFontAndCellRecord) {
  const TPrintSetting written = Distinct();
  TReadReport report;
  const TPrintSetting back = ReadBytes(Serialize(written), TPrintSetting(), &report);
  for (const TSettingField& f : SettingFields()) EXPECT_TRUE(SameField(f, written, back)) << f.Name;
  for (int e = 0; e < TCell::kEdgeCount; ++e)
    EXPECT_TRUE(SameCell(written.Cell.Edge(e), back.Cell.Edge(e))) << e;
  EXPECT_EQ(report.Stop, TReadStop::EndMarker);
  EXPECT_EQ(report.StopOffset, Serialize(written).size() - 4);
  EXPECT_EQ(report.CellRecordsRead, 0x7Fu);
  ASSERT_EQ(report.TagsRead.size(), std::size(kSettingsEntries) + 1);
  for (size_t i = 0; i < std::size(kSettingsEntries); ++i)
    EXPECT_EQ(report.TagsRead[i], kSettingsEntries[i].Tag);
}

TEST(SettingsFile, EveryFieldButYokogakiHasItsOwnEntry) {
  for (const TSettingField& f : SettingFields()) {
    const bool yokogaki = std::string(f.Name) == "Yokogaki";
    EXPECT_EQ(SettingsFileTag(f) == 0, yokogaki) << f.Name;
  }
}

struct TTinyFileCase {
  const char* Name;
  std::string Bytes;
  TReadStop Stop;
  uint64_t StopOffset;
};

class UnchangedBy : public ::testing::TestWithParam<TTinyFileCase> {};

TEST_P(UnchangedBy, TinyFile) {
  const TPrintSetting before = Distinct();
  TReadReport report;
  const TPrintSetting after = ReadBytes(GetParam().Bytes, before, &report);
  EXPECT_EQ(Serialize(after), Serialize(before)) << GetParam().Name;
  EXPECT_EQ(report.Stop, GetParam().Stop);
  EXPECT_EQ(report.StopOffset, GetParam().StopOffset);
  EXPECT_TRUE(report.TagsRead.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnchangedBy,
    ::testing::Values(TTinyFileCase{"empty file", "", TReadStop::EndOfFile, 0},
                      TTinyFileCase{"end marker only", I32(0), TReadStop::EndMarker, 0},
                      TTinyFileCase{"two stray bytes", "\x01\x01", TReadStop::CutEntry, 2},
                      TTinyFileCase{"unknown tag first", Int(0x12345, 1), TReadStop::UnknownTag, 0},
                      TTinyFileCase{"a state-file tag", Int(1, 100), TReadStop::UnknownTag, 0}),
    [](const ::testing::TestParamInfo<TTinyFileCase>& info) { return std::to_string(info.index); });

TEST(SettingsFile, CutAfterEntry12SetsOnlyTheFirstTwelve) {
  const TPrintSetting full = Distinct();
  const std::string file = Serialize(full);
  const size_t cut = OffsetOfEntry(file, 0x10303);  // entry 13
  TReadReport report;
  const TPrintSetting base;
  const TPrintSetting read = ReadBytes(file.substr(0, cut), base, &report);
  std::vector<std::string> first12;
  for (int i = 0; i < 12; ++i) first12.push_back(kSettingsEntries[i].Field);
  for (const TSettingField& f : SettingFields()) {
    const bool inFile = std::find(first12.begin(), first12.end(), f.Name) != first12.end();
    EXPECT_TRUE(SameField(f, read, inFile ? full : base)) << f.Name;
  }
  EXPECT_TRUE(SameCell(read.Cell.CellOuter, base.Cell.CellOuter));
  EXPECT_EQ(report.Stop, TReadStop::EndOfFile);
  EXPECT_EQ(report.StopOffset, cut);
  EXPECT_EQ(report.TagsRead.size(), 12u);
}

TEST(SettingsFile, CutInsideADoubleSetsItToZeroAndStops) {
  const TPrintSetting full = Distinct();
  const std::string file = Serialize(full);
  const size_t entry = OffsetOfEntry(file, 0x10302);  // PaperHeight
  TReadReport report;
  const TPrintSetting base;
  const TPrintSetting read = ReadBytes(file.substr(0, entry + 4 + 5), base, &report);
  EXPECT_EQ(read.PaperHeight, 0.0);
  EXPECT_EQ(read.PaperWidth, full.PaperWidth);
  EXPECT_EQ(read.YohakuU, base.YohakuU);
  EXPECT_EQ(report.Stop, TReadStop::CutEntry);
  EXPECT_EQ(report.StopTag, 0x10302);
  EXPECT_EQ(report.EntryOffset, entry);
  EXPECT_EQ(report.StopOffset, entry + 9);
  EXPECT_TRUE(report.WasRead(0x10302));
}

TEST(SettingsFile, CutInsideAnIntSetsItToZeroAndStops) {
  const TPrintSetting full = Distinct();
  const std::string file = Serialize(full);
  const size_t entry = OffsetOfEntry(file, 0x10403);  // Tate
  TReadReport report;
  TPrintSetting base;
  const TPrintSetting read = ReadBytes(file.substr(0, entry + 4 + 2), base, &report);
  EXPECT_EQ(read.Tate, 0);
  EXPECT_EQ(read.Portrait, full.Portrait);
  EXPECT_EQ(read.Yoko, base.Yoko);
  EXPECT_EQ(report.Stop, TReadStop::CutEntry);
  EXPECT_EQ(report.StopTag, 0x10403);
}

TEST(SettingsFile, CutInsideTheCellSection) {
  const TPrintSetting full = Distinct();
  const std::string file = Serialize(full);
  // Marker, seven records of 40 bytes, the section's end marker, the file's end marker.
  const size_t section = file.size() - (4 + 7 * 40 + 4 + 4);
  ASSERT_EQ(file.substr(section, 4), I32(0x10001));
  // Record 0 complete (4 + 8 + 12 + 12 + 4 bytes), record 1 cut in its Width.
  TReadReport report;
  const TPrintSetting base;
  const TPrintSetting read = ReadBytes(file.substr(0, section + 4 + 40 + 4 + 8 + 6), base, &report);
  EXPECT_TRUE(SameCell(read.Cell.CellOuter, full.Cell.CellOuter));
  EXPECT_EQ(read.Cell.CellEnd.LineType, full.Cell.CellEnd.LineType);
  EXPECT_EQ(read.Cell.CellEnd.Width, 0.0);
  EXPECT_TRUE(SameCell(read.Cell.CellInner, base.Cell.CellInner));
  EXPECT_EQ(read.OutsideTextSpace, full.OutsideTextSpace);
  EXPECT_EQ(report.Stop, TReadStop::CutEntry);
  EXPECT_EQ(report.StopTag, kCellSectionMarker);
  EXPECT_EQ(report.CellRecordsRead, 0x3u);
}

// The entries of `s` in the reverse of the written order, the cell records too.
std::string ReversedFile(const TPrintSetting& s) {
  TMemoryWriter w;
  WriteMarker(w, kCellSectionMarker);
  for (int e = TCell::kEdgeCount - 1; e >= 0; --e) {
    const TCellWidth& edge = s.Cell.Edge(e);
    WriteMarker(w, kCellRecordBase + e);
    WriteDouble(w, kCellLineWidth, edge.LineWidth);
    WriteDouble(w, kCellWidth, edge.Width);
    WriteInt(w, kCellLineType, edge.LineType);
    WriteMarker(w, 0);
  }
  WriteMarker(w, 0);
  const auto& fields = SettingFields();
  for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
    const TSettingField& f = *it;
    const int32_t tag = SettingsFileTag(f);
    if (tag == 0 || IsStyleField(f)) continue;
    switch (f.Kind) {
      case TFieldKind::Text:
        WriteAnsiString(w, tag, s.*f.Text);
        break;
      case TFieldKind::Double:
        WriteDouble(w, tag, s.*f.Double);
        break;
      case TFieldKind::Int:
        WriteInt(w, tag, s.*f.Int);
        break;
      case TFieldKind::Flag:
        WriteInt(w, tag, s.*f.Flag);
        break;
      case TFieldKind::Font:
        WriteFont(w, tag, s.*f.Font);
        break;
    }
  }
  WriteMarker(w, 0);
  return w.Bytes();
}

TEST(SettingsFile, ReorderedEntriesReadTheSame) {
  const TPrintSetting full = Distinct();
  const std::string reversed = ReversedFile(full);
  ASSERT_NE(reversed, Serialize(full));
  ASSERT_EQ(reversed.size(), Serialize(full).size());
  EXPECT_EQ(Serialize(ReadBytes(reversed)), Serialize(full));
}

TEST(SettingsFile, DuplicateEntryLeavesItsLastValue) {
  const std::string file =
      Int(0x10403, 5) + Ansi(0x10100, "one") + Int(0x10403, 7) + Ansi(0x10100, "two") + I32(0);
  const TPrintSetting s = ReadBytes(file);
  EXPECT_EQ(s.Tate, 7);
  EXPECT_EQ(s.SettingName, u"two");
}

struct TFlagCase {
  const char* Name;
  uint32_t Tag;
  uint32_t Value;
  bool TategakiAfter;
  bool PortraitAfter;
};

class FlagValue : public ::testing::TestWithParam<TFlagCase> {};

TEST_P(FlagValue, NonZeroIsTrue) {
  TPrintSetting base;
  base.Portrait = false;
  const TPrintSetting s = ReadBytes(Int(GetParam().Tag, GetParam().Value) + I32(0), base);
  EXPECT_EQ(s.Tategaki, GetParam().TategakiAfter) << GetParam().Name;
  EXPECT_EQ(s.Yokogaki, !GetParam().TategakiAfter) << GetParam().Name;
  EXPECT_EQ(s.Portrait, GetParam().PortraitAfter) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlagValue,
    ::testing::Values(TFlagCase{"Portrait 5", 0x10401, 5, true, true},
                      TFlagCase{"Portrait -1", 0x10401, 0xFFFFFFFFu, true, true},
                      TFlagCase{"Tategaki 5", 0x10407, 5, true, false},
                      TFlagCase{"Tategaki 0 sets Yokogaki", 0x10407, 0, false, false}),
    [](const ::testing::TestParamInfo<TFlagCase>& info) { return std::to_string(info.index); });

TEST(SettingsFile, FlagsAreWrittenAsZeroOrOne) {
  TPrintSetting s;
  s.PN_BR = true;
  const std::string file = Serialize(s);
  EXPECT_NE(file.find(Int(0x1060a, 1)), std::string::npos);
  EXPECT_NE(file.find(Int(0x10609, 0)), std::string::npos);
}

TEST(SettingsFile, TextOutsideCodePage932ComesBackWithQuestionMarks) {
  TPrintSetting s;
  s.TitleUL = u"第\U0001F600回 caf\u00E9 ①";
  EXPECT_EQ(ReadBytes(Serialize(s)).TitleUL, u"第?回 caf? ①");
}

TEST(SettingsFile, NulInATextCutsIt) {
  TPrintSetting s;
  s.CenterCaption = std::u16string(u"前\0後", 3);
  const TPrintSetting back = ReadBytes(Serialize(s));
  EXPECT_EQ(back.CenterCaption, u"前");
  EXPECT_EQ(back.BottomCaption, s.BottomCaption);
  EXPECT_EQ(back.OutsideTextSpace, s.OutsideTextSpace);
}

TEST(SettingsFile, UnknownTagStopsReadingThere) {
  const std::string file = Int(0x10403, 9) + Int(0x10999, 1) + Int(0x10404, 3) + I32(0);
  TReadReport report;
  const TPrintSetting s = ReadBytes(file, TPrintSetting(), &report);
  EXPECT_EQ(s.Tate, 9);
  EXPECT_EQ(s.Yoko, 20);
  EXPECT_EQ(report.Stop, TReadStop::UnknownTag);
  EXPECT_EQ(report.StopTag, 0x10999);
  EXPECT_EQ(report.StopOffset, 8u);
}

TEST(SettingsFile, UnknownTagInACellRecordEndsTheRecordNotTheFile) {
  // In record 2 the tag 20 ends the record; its value 0 then ends the section, and the
  // main loop reads on.
  const std::string file =
      I32(0x10001) + I32(35) + Int(17, 3) + Int(20, 0) + I32(0x10403) + I32(11) + I32(0);
  const TPrintSetting s = ReadBytes(file);
  EXPECT_EQ(s.Cell.CellInner.LineType, 3);
  EXPECT_EQ(s.Tate, 11);
}

TEST(SettingsFile, CellRecordTagOutsideTheSevenEndsTheSection) {
  // The bytes after such a tag are main-loop entries again. The extremes must not
  // overflow on the way (the last row once did, under -fsanitize=undefined).
  const struct {
    const char* Name;
    uint32_t Tag;
  } rows[] = {{"one past the last", 40},
              {"one before the first", 32},
              {"zero", 0},
              {"largest", 0x7FFFFFFFu},
              {"smallest", 0x80000000u}};
  for (const auto& row : rows) {
    const std::string file = I32(0x10001) + I32(row.Tag) + Int(0x10404, 12) + I32(0);
    const TPrintSetting s = ReadBytes(file);
    EXPECT_EQ(s.Yoko, 12) << row.Name;
    EXPECT_EQ(s.Cell.Edge(0).LineType, TPrintSetting().Cell.Edge(0).LineType) << row.Name;
  }
}

TEST(SettingsFile, ValuesAreTakenAsTheyAre) {
  const std::string file = Int(0x10403, 0) + Int(0x10404, 999) + Dbl(0x10307, 0) + I32(0);
  const TPrintSetting s = ReadBytes(file);
  EXPECT_EQ(s.Tate, 0);
  EXPECT_EQ(s.Yoko, 999);
  EXPECT_EQ(s.LineWidth, 0.0);
}

TEST(SettingsFile, EntryNames) {
  EXPECT_STREQ(SettingsEntryName(0x10302), "PaperHeight");
  EXPECT_STREQ(SettingsEntryName(0x10001), "cell section");
  EXPECT_EQ(SettingsEntryName(0), nullptr);
  EXPECT_EQ(SettingsEntryName(0x10999), nullptr);
}

}  // namespace
}  // namespace zelk
