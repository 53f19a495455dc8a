// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's colours and count marks: kept after the settings file's end marker, where
// a reader of the fields before it never looks, and drawn where they belong.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "DrawTestSupport.h"
#include "FileBytes.h"
#include "settings/FileFormat.h"
#include "settings/Printsettingunit.h"
#include "settings/SettingFields.h"
#include "sheet/Decorations.h"
#include "sheet/DrawSheet.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

using testing::PreparedSettings;
using testing::TFixedMeasurer;
using namespace testing_bytes;

constexpr TColor kBrown = RgbColor(0x8C, 0x5A, 0x3C);
constexpr TColor kGreen = RgbColor(0x2E, 0x7D, 0x4F);
constexpr TColor kVermilion = RgbColor(0xE3, 0x45, 0x2C);

std::string Serialize(const TPrintSetting& s) {
  TMemoryWriter w;
  WriteSettingsFile(w, s);
  return w.Bytes();
}

TPrintSetting Read(const std::string& bytes, TReadReport* report) {
  TPrintSetting s;
  TMemoryReader r(bytes);
  ReadSettingsFile(r, s, report);
  return s;
}

TPrintSetting Styled() {
  TPrintSetting s;
  s.LineColor = kBrown;
  s.FrameColor = kVermilion;
  s.FoldColor = kGreen;
  s.CountMarks = 5;
  s.CountLines = 10;
  return s;
}

TEST(StyleSection, FollowsTheUnchangedFileAndReadsBack) {
  const TPrintSetting styled = Styled();
  const std::string plain = Serialize(TPrintSetting());
  const std::string file = Serialize(styled);
  // Up to its end marker the file is that of the same design in black.
  ASSERT_GT(file.size(), plain.size());
  EXPECT_EQ(file.substr(0, plain.size()), plain);
  EXPECT_EQ(file.substr(plain.size()), I32(kStyleSectionMarker) + Int(0x20001, kBrown) +
                                           Int(0x20002, kVermilion) + Int(0x20003, kGreen) +
                                           Int(0x20004, 5) + Int(0x20005, 10) + I32(0));
  TReadReport report;
  const TPrintSetting back = Read(file, &report);
  EXPECT_EQ(back.LineColor, kBrown);
  EXPECT_EQ(back.FrameColor, kVermilion);
  EXPECT_EQ(back.FoldColor, kGreen);
  EXPECT_EQ(back.CountMarks, 5);
  EXPECT_EQ(back.CountLines, 10);
  EXPECT_EQ(report.Stop, TReadStop::EndMarker);
  EXPECT_EQ(report.StopOffset, plain.size() - 4);
  EXPECT_EQ(report.ReadEnd, file.size());
  EXPECT_TRUE(report.WasRead(0x20004));
  // One colour alone is enough for the section; black and no marks write none.
  TPrintSetting one;
  one.FoldColor = kGreen;
  EXPECT_GT(Serialize(one).size(), plain.size());
  EXPECT_FALSE(HasSheetStyle(TPrintSetting()));
}

// What follows a complete file: the style values read, and where reading ended.
TEST(StyleSection, HostileTails) {
  const std::string plain = Serialize(TPrintSetting());
  const uint64_t end = plain.size();
  const std::string marker = I32(kStyleSectionMarker);
  const struct {
    const char* name;
    std::string tail;
    TColor line;
    int32_t marks;
    uint64_t readEnd;  ///< past the file's end marker
  } rows[] = {
      {"nothing", "", kBlack, 0, 0},
      {"other bytes are left unread", "trailing", kBlack, 0, 0},
      {"another tag first is left unread", Int(0x20001, kBrown), kBlack, 0, 0},
      {"the marker alone", marker, kBlack, 0, 4},
      {"entries in any order", marker + Int(0x20004, 10) + Int(0x20001, kBrown) + I32(0), kBrown,
       10, 4 + 16 + 4},
      {"a value cut short keeps the field", marker + Int(0x20004, 5) + I32(0x20001) + "\x01\x02",
       kBlack, 5, 4 + 8},
      {"a tag cut short", marker + Int(0x20004, 5) + "\x01\x00", kBlack, 5, 4 + 8},
      {"an unknown tag ends the section",
       marker + Int(0x20004, 5) + Int(0x10403, 7) + Int(0x20001, kBrown), kBlack, 5, 4 + 8},
      {"a second marker ends it", marker + marker + Int(0x20001, kBrown), kBlack, 0, 4},
      {"any value is kept as it stands", marker + Int(0x20001, 0xFF000008) + Int(0x20004, -3),
       static_cast<TColor>(0xFF000008), -3, 4 + 16},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TReadReport report;
    const TPrintSetting s = Read(plain + row.tail, &report);
    EXPECT_EQ(s.LineColor, row.line);
    EXPECT_EQ(s.CountMarks, row.marks);
    EXPECT_EQ(report.Stop, TReadStop::EndMarker);
    EXPECT_EQ(report.StopOffset, end - 4);
    EXPECT_EQ(report.ReadEnd, end + row.readEnd);
    // The fields before the end marker are read as without the tail.
    EXPECT_EQ(Serialize(s).substr(0, end), plain);
  }
}

TEST(StyleFields, ColoursFromTheCommandLine) {
  const TSettingField* line = FindSettingField("LineColor");
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(IsColorField(*line));
  EXPECT_FALSE(IsColorField(*FindSettingField("CountMarks")));
  const struct {
    const char* text;
    bool ok;
    TColor color;
  } rows[] = {{"#8C5A3C", true, kBrown}, {"#8c5a3c", true, kBrown},
              {"brown", true, kBrown},   {"茶", true, kBrown},
              {"緑", true, kGreen},      {"255", true, 255},
              {"#8C5A3", false, 0},      {"#GG0000", false, 0},
              {"mauve", false, 0},       {"", false, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    TPrintSetting s;
    std::string error;
    EXPECT_EQ(SetFieldFromText(s, *line, row.text, &error), row.ok) << error;
    EXPECT_EQ(s.LineColor, row.ok ? row.color : kBlack);
  }
}

class SheetStyleDrawing : public ::testing::Test {
 protected:
  const TMetafileEx& Record(TPrintSetting& s) {
    preview.BeginDoc();
    EXPECT_TRUE(DrawSheet(s, &preview.GetCanvas()));
    preview.EndDoc();
    return *preview.GetPage(0);
  }
  TPrintSetting Sheet(bool yokogaki, int32_t orime) {
    return PreparedSettings(printer, [&](TPrintSetting& p) {
      p.SetTategaki(!yokogaki);
      p.Orime = orime;
      p.Gyobi = 1;
      p.OuterLine = true;
      p.PageNumber = true;
      p.TitleUL = std::u16string(1, u'題');
    });
  }
  // The colour an op draws in: its pen's, or for a filled shape without a pen its brush's.
  static TColor ColorOf(const TRecordedOp& op) {
    return op.Kind == TOpKind::FillRect ? op.Brush.Color : op.Pen.Color;
  }

  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintPreview preview{printer, measurer};
};

// Each colour reaches exactly its own shapes: the same ops as in black, only their
// colours changed, texts untouched.
TEST_F(SheetStyleDrawing, EachColourColoursItsOwnShapes) {
  for (const bool yokogaki : {false, true}) {
    SCOPED_TRACE(yokogaki ? "across" : "down");
    TPrintSetting black = Sheet(yokogaki, 2);
    const std::vector<TRecordedOp> plain = Record(black).Ops;
    const std::vector<TRecordedText> plainTexts = Record(black).Texts;
    TPrintSetting styled = black;
    styled.LineColor = kBrown;
    styled.FrameColor = kVermilion;
    styled.FoldColor = kGreen;
    const TMetafileEx& page = Record(styled);
    ASSERT_EQ(page.Ops.size(), plain.size());
    std::map<TColor, int> counts;
    for (size_t i = 0; i < plain.size(); ++i) {
      const TRecordedOp& op = page.Ops[i];
      ASSERT_EQ(op.Kind, plain[i].Kind);
      ASSERT_EQ(op.P1, plain[i].P1);
      if (op.Kind == TOpKind::Text) {
        EXPECT_EQ(page.Texts[op.Index].Font.Color(), plainTexts[plain[i].Index].Font.Color());
        continue;
      }
      const TColor c = ColorOf(op);
      ++counts[c];
      // The frame and the outer line are the only rectangles, the fish-tail marks the
      // only polygons.
      EXPECT_EQ(op.Kind == TOpKind::Rectangle, c == kVermilion);
      if (op.Kind == TOpKind::Polygon) {
        EXPECT_EQ(c, kGreen);
      }
    }
    EXPECT_EQ(counts[kVermilion], 2);  // the frame and the outer line
    EXPECT_GT(counts[kGreen], 2);      // the band's two lines and its marks
    EXPECT_GT(counts[kBrown], 100);    // the grid and the page-number lines
    EXPECT_EQ(counts[kBlack], 0);
  }
}

// A colour that only a file from elsewhere can hold (a system colour) draws black.
TEST_F(SheetStyleDrawing, ASystemColourDrawsBlack) {
  TPrintSetting s = Sheet(false, 0);
  s.LineColor = SystemColor(kColorHighlight);
  for (const TRecordedOp& op : Record(s).Ops) {
    if (op.Kind != TOpKind::Text) {
      EXPECT_EQ(ColorOf(op), kBlack);
    }
  }
}

// The numerals stand beside the lines they count, outside the frame where the lines
// start: down above the columns counted from the right, across left of the rows.
TEST_F(SheetStyleDrawing, CountMarksBesideTheirLines) {
  const struct {
    const char* name;
    bool yokogaki;
    int32_t every, orime;
    std::vector<std::u16string> marks;
  } rows[] = {{"down, every 5", false, 5, 0, {u"5", u"10", u"15", u"20"}},
              {"down with a fold band, every 10", false, 10, 2, {u"10", u"20"}},
              {"across, every 5", true, 5, 0, {u"5", u"10", u"15", u"20"}},
              {"none for another interval", false, 7, 0, {}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TPrintSetting s = Sheet(row.yokogaki, row.orime);
    s.TitleUL.clear();
    s.PageNumber = false;
    s.CountMarks = row.every;
    s.LineColor = kBrown;
    const TMetafileEx& page = Record(s);
    const TDeviceRect outer = OuterLineRect(s);
    std::vector<std::u16string> seen;
    for (const TRecordedOp& op : page.Ops) {
      if (op.Kind != TOpKind::Text) continue;
      const TRecordedText& t = page.Texts[op.Index];
      seen.push_back(t.Text);
      EXPECT_EQ(t.Font.Color(), kBrown);
      const int k = std::stoi(std::string(t.Text.begin(), t.Text.end()));
      const TDeviceRect cell = row.yokogaki ? CellRect(s, 0, k - 1) : CellRect(s, s.Yoko - k, 0);
      if (row.yokogaki) {
        EXPECT_LT(op.P1.X, outer.Left);
        EXPECT_GE(op.P1.Y, cell.Top - (cell.Bottom - cell.Top));
        EXPECT_LT(op.P1.Y, cell.Bottom);
      } else {
        EXPECT_LT(op.P1.Y, outer.Top);
        EXPECT_GE(op.P1.X, cell.Left - (cell.Right - cell.Left));
        EXPECT_LT(op.P1.X, cell.Right);
      }
    }
    EXPECT_EQ(seen, row.marks);
  }
}

// A thicker line after every fifth or tenth line, from frame side to frame side, none
// on the fold band.
TEST_F(SheetStyleDrawing, CountLinesBetweenTheirLines) {
  const struct {
    const char* name;
    bool yokogaki;
    int32_t every, orime;
    std::vector<int> after;  ///< the lines they follow
  } rows[] = {{"down, every 5", false, 5, 0, {5, 10, 15}},
              {"down with a fold band after line 10", false, 5, 2, {5, 15}},
              {"across, every 10", true, 10, 0, {10}},
              {"none for another interval", true, 3, 0, {}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TPrintSetting s = Sheet(row.yokogaki, row.orime);
    s.Gyobi = 0;
    s.CountLines = row.every;
    const TMetafileEx& page = Record(s);
    const TDeviceRect frame = FrameRect(s);
    std::vector<int> after;
    for (const TRecordedOp& op : page.Ops) {
      if (op.Kind != TOpKind::Line || op.Pen.Width < 2 * s.PenWidthX) continue;
      if (row.yokogaki) {
        EXPECT_EQ(op.P1.X, frame.Left);
        EXPECT_EQ(op.P2.X, frame.Right);
        for (int k = 1; k < s.Tate; ++k)
          if (UnitPosition(s, 0, k).Y == op.P1.Y) after.push_back(k);
      } else {
        EXPECT_EQ(op.P1.Y, frame.Top);
        EXPECT_EQ(op.P2.Y, frame.Bottom);
        for (int k = 1; k < s.Yoko; ++k)
          if (UnitPosition(s, s.Yoko - k, 0).X == op.P1.X) after.push_back(k);
      }
    }
    EXPECT_EQ(after, row.after);
  }
}

}  // namespace
}  // namespace zelk
