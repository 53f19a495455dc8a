// SPDX-License-Identifier: GPL-3.0-or-later
// The whole sheet: drawing order and state, values checked by hand against the
// geometry, the "@" rules, and bounded work for absurd settings.

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <tuple>

#include "DrawTestSupport.h"
#include "preview/OpsFormat.h"
#include "sheet/Decorations.h"
#include "sheet/DrawSheet.h"
#include "sheet/FoldDrawing.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

using testing::PreparedSettings;
using testing::TFixedMeasurer;

class DrawSheetTest : public ::testing::Test {
 protected:
  // Draws `s` into a fresh recording and returns the page.
  const TMetafileEx& Record(TPrintSetting& s) {
    preview.BeginDoc();
    EXPECT_TRUE(DrawSheet(s, &preview.GetCanvas()));
    preview.EndDoc();
    return *preview.GetPage(0);
  }

  // A4 at exactly 210 x 297 mm, so the figures below can be worked out by hand:
  // 210 mm = 4960 units, 297 mm = 7015, 15 mm = 354, 12 mm = 283, 0.3 mm = 7, 2 mm = 47.
  TPrintSetting HandSheet() {
    return PreparedSettings(printer, [](TPrintSetting& s) {
      s.PaperWidth = 210;
      s.PaperHeight = 297;
    });
  }

  std::vector<const TRecordedOp*> OfKind(const TMetafileEx& p, TOpKind kind) {
    std::vector<const TRecordedOp*> out;
    for (const TRecordedOp& op : p.Ops)
      if (op.Kind == kind) out.push_back(&op);
    return out;
  }

  const TRecordedText& TextOf(const TMetafileEx& p, const std::u16string& text) {
    for (const TRecordedText& t : p.Texts)
      if (t.Text == text) return t;
    ADD_FAILURE() << "no text op";
    static TRecordedText none;
    return none;
  }
  TDevicePoint TextAt(const TMetafileEx& p, const std::u16string& text) {
    for (const TRecordedOp& op : p.Ops)
      if (op.Kind == TOpKind::Text && p.Texts[op.Index].Text == text) return op.P1;
    ADD_FAILURE() << "no text op";
    return {};
  }

  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintPreview preview{printer, measurer};
};

TEST_F(DrawSheetTest, NoCanvasDrawsNothingAndComputesNoLayout) {
  TPrintSetting s = HandSheet();
  EXPECT_FALSE(DrawSheet(s, nullptr));
  EXPECT_EQ(s.CellSize, 0);
  EXPECT_EQ(s.PitchX, 0);
}

TEST_F(DrawSheetTest, DefaultFrameAndOuterLineByHand) {
  TPrintSetting s = HandSheet();
  const TMetafileEx& p = Record(s);
  // 21 columns' worth across 4252 units: cell 202, no gap, band one pitch wide.
  EXPECT_EQ(s.CellSize, 202);
  EXPECT_EQ(s.PitchX, 202);
  EXPECT_EQ(s.FoldX, 202);
  const auto rects = OfKind(p, TOpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  // Round dots: the frame moves by 7 / 2 right and down; right = 357 + 202 + 20 x 202.
  EXPECT_EQ(rects[0]->P1, (TDevicePoint{357, 286}));
  EXPECT_EQ(rects[0]->P2, (TDevicePoint{4599, 4326}));
  EXPECT_EQ(rects[0]->Pen.Width, 7);
  EXPECT_EQ(rects[0]->Brush.Style, TBrushStyle::bsClear);
  // Two outer widths (2 x 47) outside, drawn with a 47-unit pen.
  EXPECT_EQ(rects[1]->P1, (TDevicePoint{263, 192}));
  EXPECT_EQ(rects[1]->P2, (TDevicePoint{4693, 4420}));
  EXPECT_EQ(rects[1]->Pen.Width, 47);
}

TEST_F(DrawSheetTest, DefaultFishTailMarksByHand) {
  TPrintSetting s = HandSheet();
  const TMetafileEx& p = Record(s);
  // Band from x = 354 + 10 x 202 = 2374, 202 wide; edge lines 7 wide; pen 202/27 = 7;
  // q = 3 < 7, so the marks span x = 2374 + 7 - 3 = 2378 over 202 - 7 + 3 = 198.
  // Band length 4040: marks at 283 + 808 = 1091 and 283 + 2828 = 3111.
  const auto polys = OfKind(p, TOpKind::Polygon);
  ASSERT_EQ(polys.size(), 2u);
  const std::vector<TDevicePoint> forward = {{2378, 1105}, {2576, 1105}, {2576, 1172},
                                             {2477, 1127}, {2378, 1172}, {2378, 1105}};
  const std::vector<TDevicePoint> backward = {{2378, 3097}, {2576, 3097}, {2576, 3030},
                                              {2477, 3075}, {2378, 3030}, {2378, 3097}};
  EXPECT_EQ(p.Polygons[polys[0]->Index], forward);
  EXPECT_EQ(p.Polygons[polys[1]->Index], backward);
  EXPECT_EQ(polys[0]->Pen.Width, 7);
  EXPECT_EQ(polys[0]->Brush.Style, TBrushStyle::bsSolid);
  EXPECT_EQ(polys[0]->Brush.Color, kBlack);
  // Each mark's thin line lies 2 x 7 before its block.
  const TRecordedOp& last = p.Ops.back();
  EXPECT_EQ(last.Kind, TOpKind::Polygon);
  const TRecordedOp& line = *(&last - 1);
  EXPECT_EQ(line.Kind, TOpKind::Line);
  EXPECT_EQ(line.P1, (TDevicePoint{2378, 3111}));
  EXPECT_EQ(line.P2, (TDevicePoint{2576, 3111}));
}

TEST_F(DrawSheetTest, DefaultPageNumberLinesByHand) {
  TPrintSetting s = HandSheet();
  const TMetafileEx& p = Record(s);
  // Outer rectangle 263..4693, centre 2478; d = 8 mm = 188, n = 18 mm = 425; the title
  // font is 8 points: th = 66 at 600 dpi; y = 192 - 132 = 60, lines at y + th = 126.
  std::vector<std::pair<TDevicePoint, TDevicePoint>> lines;
  for (const TRecordedOp* op : OfKind(p, TOpKind::Line))
    if (op->P1.Y == op->P2.Y && op->P1.Y == 126) lines.push_back({op->P1, op->P2});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].first, (TDevicePoint{1865, 126}));
  EXPECT_EQ(lines[0].second, (TDevicePoint{2290, 126}));
  EXPECT_EQ(lines[1].first, (TDevicePoint{2666, 126}));
  EXPECT_EQ(lines[1].second, (TDevicePoint{3091, 126}));
}

TEST_F(DrawSheetTest, CaptionsAndOutsideTextsByHand) {
  TPrintSetting s = HandSheet();
  s.CenterCaption = u"中央";
  s.BottomCaption = u"下";
  s.TitleUL = u"上";
  s.TitleUR = u"右上";
  s.TitleRU = u"右";
  s.TitleLD = u"左下";
  const TMetafileEx& p = Record(s);
  // Fixed metrics at 8 points: one character is 66 units high, two are 133 wide.
  // Vertical captions: x = 2374 + (66 + 202) / 2; the centre one at 5/20 of 20 x 202.
  EXPECT_EQ(TextAt(p, u"中央"), (TDevicePoint{2508, 283 + 1010}));
  EXPECT_EQ(TextAt(p, u"下"), (TDevicePoint{2508, 283 + 4040 - 66 - 14}));
  // Text rectangle: 263 left, 4599 + 4 x 47 = 4787 right, 192 top, 4420 bottom;
  // 1.5 mm = 35.
  EXPECT_EQ(TextAt(p, u"上"), (TDevicePoint{263, 192 - 35 - 66}));
  EXPECT_EQ(TextAt(p, u"右上"), (TDevicePoint{4787 - 133, 192 - 35 - 66}));
  EXPECT_EQ(TextAt(p, u"右"), (TDevicePoint{4787 + 35, 192}));
  EXPECT_EQ(TextAt(p, u"左下"), (TDevicePoint{263 - 35, 4420 - 133}));
  EXPECT_EQ(TextOf(p, u"右").Orientation, 2700);
  EXPECT_EQ(TextOf(p, u"上").Orientation, 0);
}

// A long text that runs off the paper keeps only the characters that can land on it, at
// the place they had; the paper of HandSheet is 4960 x 7015 units without offsets, and a
// character of the fixed metrics is 66.67 units long.
TEST_F(DrawSheetTest, TextsRunningOffThePaperKeepWhatLandsOnIt) {
  const struct {
    const char* Name;
    std::u16string TPrintSetting::*Field;
    char16_t Char;
    size_t Count;
    size_t Kept;
    TDevicePoint At;
  } rows[] = {
      // 263 + 71 x 66.67 reaches 4960.
      {"left-aligned, cut at the right", &TPrintSetting::TitleUL, u'上', 400, 71, {263, 91}},
      // Right-aligned at 4787: the last 72 characters reach back to 0.
      {"right-aligned, cut at the left", &TPrintSetting::TitleUR, u'右', 400, 72, {-13, 91}},
      // Down from 192: 103 characters reach 7015.
      {"vertical, cut at the bottom", &TPrintSetting::TitleRU, u'縦', 400, 103, {4822, 192}},
      // Short texts stay whole, even where they run off the paper.
      {"short", &TPrintSetting::TitleUL, u'上', 200, 200, {263, 91}},
  };
  for (const auto& row : rows) {
    TPrintSetting s = HandSheet();
    s.*row.Field = std::u16string(row.Count, row.Char);
    const TMetafileEx& p = Record(s);
    EXPECT_EQ(TextAt(p, std::u16string(row.Kept, row.Char)), row.At) << row.Name;
  }
}

TEST_F(DrawSheetTest, HorizontalBandWithBarMarkByHand) {
  TPrintSetting s = HandSheet();
  s.SetTategaki(false);
  s.Orime = 2;
  s.OrimeWidth = 15.5;  // 366 units down
  s.Gyobi = 2;
  s.OrimeLineType = lsStraight;
  s.CenterCaption = u"中央";
  s.BottomCaption = u"下";
  const TMetafileEx& p = Record(s);
  // Cell 4252 / 20 = 212; rows (6449 - 366) / 20 = 304 high with a gap of 92.
  ASSERT_EQ(s.CellSize, 212);
  ASSERT_EQ(s.PitchY, 304);
  // Band from 283 + 10 x 304 = 3323 to 3689; e = 7, p = 366/27 = 13 > e, so the marks
  // start at 3689 + 3 - 6 = 3686 and span 366 + 7 - 13 = 360 upward. Band length 4240:
  // marks at 354 + 848 = 1202 and 354 + 2968 = 3322.
  const auto polys = OfKind(p, TOpKind::Polygon);
  ASSERT_EQ(polys.size(), 1u);
  const std::vector<TDevicePoint> fish = {{1228, 3686}, {1228, 3326}, {1350, 3326},
                                          {1268, 3506}, {1350, 3686}, {1228, 3686}};
  EXPECT_EQ(p.Polygons[polys[0]->Index], fish);
  EXPECT_EQ(polys[0]->Pen.Width, 13);
  const auto rects = OfKind(p, TOpKind::Rectangle);
  ASSERT_EQ(rects.size(), 3u);  // frame, outer line, bar
  EXPECT_EQ(rects[2]->P1, (TDevicePoint{3296, 3686}));
  EXPECT_EQ(rects[2]->P2, (TDevicePoint{3256, 3326}));
  EXPECT_EQ(rects[2]->Brush.Style, TBrushStyle::bsSolid);
  const TRecordedOp& barLine = *(rects[2] - 1);
  EXPECT_EQ(barLine.P1, (TDevicePoint{3322, 3686}));
  EXPECT_EQ(barLine.P2, (TDevicePoint{3322, 3326}));
  // Captions across the band: y = 3323 + (366 - 66) / 2; the centre one at 5/20 of
  // 20 x 212, the bottom one 2 x 7 before the grid's right end.
  EXPECT_EQ(TextAt(p, u"中央"), (TDevicePoint{354 + 1060, 3473}));
  EXPECT_EQ(TextAt(p, u"下"), (TDevicePoint{354 + 4240 - 66 - 14, 3473}));
}

TEST_F(DrawSheetTest, BandTooNarrowForMarksDrawsThemWithAZeroPen) {
  TPrintSetting s = HandSheet();
  s.Orime = 2;
  s.OrimeWidth = 1;  // 23 units: 23 / 27 = 0
  const TMetafileEx& p = Record(s);
  const auto polys = OfKind(p, TOpKind::Polygon);
  ASSERT_EQ(polys.size(), 2u);
  for (const TRecordedOp* op : polys) EXPECT_EQ(op->Pen.Width, 0);
  // t1 = 7, t2 = 2, t3 = 0: the block starts on the line itself.
  const std::vector<TDevicePoint>& fish = p.Polygons[polys[0]->Index];
  EXPECT_EQ(fish[2].Y - fish[0].Y, 7);
  EXPECT_EQ(fish[3].Y - fish[0].Y, 2);
}

TEST_F(DrawSheetTest, ZeroWidthBandStillRecordsInBoundedWork) {
  for (bool tategaki : {true, false}) {
    TPrintSetting s = HandSheet();
    s.SetTategaki(tategaki);
    s.Orime = 2;
    s.OrimeWidth = 0;
    const TMetafileEx& p = Record(s);
    EXPECT_EQ(tategaki ? s.FoldX : s.FoldY, 0);
    EXPECT_EQ(OfKind(p, TOpKind::Polygon).size(), 2u);
    EXPECT_LT(p.Ops.size(), 30000u);
  }
}

TEST_F(DrawSheetTest, OuterLineOffMeasuresFromTheFrame) {
  TPrintSetting s = HandSheet();
  s.OuterLine = false;
  s.TitleUR = u"右上";
  const TMetafileEx& p = Record(s);
  ASSERT_EQ(OfKind(p, TOpKind::Rectangle).size(), 1u);
  EXPECT_EQ(TextAt(p, u"右上"), (TDevicePoint{4599 - 133, 286 - 35 - 66}));
}

TEST_F(DrawSheetTest, StraightLinesKeepTheFrameOnTheOrigin) {
  TPrintSetting s = HandSheet();
  s.LineType = lsStraight;
  const TMetafileEx& p = Record(s);
  EXPECT_EQ(OfKind(p, TOpKind::Rectangle)[0]->P1, (TDevicePoint{354, 283}));
}

TEST_F(DrawSheetTest, NoFoldBandDrawsNoBandLinesCaptionsOrMarks) {
  TPrintSetting s = HandSheet();
  s.Orime = 0;
  s.OrimeLineType = lsStraight;
  s.CenterCaption = u"中央";
  s.TitleUL = u"上";
  const TMetafileEx& p = Record(s);
  EXPECT_TRUE(OfKind(p, TOpKind::Polygon).empty());
  ASSERT_EQ(p.Texts.size(), 1u);
  EXPECT_EQ(p.Texts[0].Text, u"上");
  // Without a band no line is as long as the grid: the fold lines are missing.
  for (const TRecordedOp* op : OfKind(p, TOpKind::Line)) EXPECT_LT(op->P2.Y - op->P1.Y, 1000);
  EXPECT_EQ(OfKind(p, TOpKind::Rectangle).size(), 2u);
}

TEST_F(DrawSheetTest, BrushIsClearAndWhiteAfterDrawingUnlessTheMarksSetTheirs) {
  for (int orime : {0, 1}) {
    TPrintSetting s = HandSheet();
    s.Orime = orime;
    preview.BeginDoc();
    DrawSheet(s, &preview.GetCanvas());
    const TBrush brush = preview.GetCanvas().Brush;
    preview.EndDoc();
    EXPECT_EQ(brush.Style, orime ? TBrushStyle::bsSolid : TBrushStyle::bsClear) << orime;
    EXPECT_EQ(brush.Color, orime ? kBlack : kWhite) << orime;
  }
}

TEST_F(DrawSheetTest, FoldLinesUseThePenTheGridLeftBehind) {
  TPrintSetting s = HandSheet();
  s.LineType = lsStraight;  // leaves a pen of DotWidth 7
  s.OrimeLineType = lsRound;
  s.Gyobi = 0;
  const TMetafileEx& p = Record(s);
  const auto ellipses = OfKind(p, TOpKind::Ellipse);
  ASSERT_FALSE(ellipses.empty());
  for (const TRecordedOp* op : ellipses) {
    EXPECT_EQ(op->Pen.Width, 7);
    EXPECT_EQ(op->Brush.Style, TBrushStyle::bsSolid);
    EXPECT_EQ(op->Brush.Color, kBlack);
  }
  // The two band lines start at the band's edges.
  EXPECT_EQ(ellipses.front()->P1, (TDevicePoint{2374, 283}));
}

TEST_F(DrawSheetTest, DrawingTwiceGivesTheSamePage) {
  TPrintSetting s = HandSheet();
  s.TitleLU = u"左";
  Record(s);
  const std::string first = OpsText(preview);
  Record(s);
  EXPECT_EQ(OpsText(preview), first);
}

TEST_F(DrawSheetTest, OnlyTheLineBesideAnEmptyGapStripIsDrawnTwice) {
  // In straight lines every edge of the grid is drawn by one unit, leaving the outer
  // boundary to the frame and the band's sides to the fold lines. The one line drawn
  // twice is the cell's inner side when the gap strip beside it is empty: it lies on
  // the neighbour's outer side. Portrait and landscape give empty gap strips in one
  // direction and real ones in the other; the band modes change which unit lines meet
  // the fold lines.
  struct Case {
    bool tategaki, portrait;
    int orime;
  };
  const Case cases[] = {{true, true, 1},  {false, true, 1},  {true, false, 1}, {false, false, 1},
                        {true, true, 0},  {false, false, 0}, {true, true, 2},  {false, false, 2},
                        {false, true, 2}, {true, false, 2}};
  int emptyGaps = 0;
  for (const Case& c : cases) {
    TPrintSetting s = PreparedSettings(printer, [&](TPrintSetting& x) {
      x.SetTategaki(c.tategaki);
      x.Portrait = c.portrait;
      x.Orime = c.orime;
      x.LineType = lsStraight;
      if (!c.portrait) std::swap(x.PaperWidth, x.PaperHeight);
    });
    const TMetafileEx& p = Record(s);
    const bool emptyGap = c.tategaki ? s.PitchX == s.CellSize : s.PitchY == s.CellSize;
    emptyGaps += emptyGap;
    std::map<std::tuple<int, int, int, int>, int> seen;
    int twice = 0;
    for (const TRecordedOp& op : p.Ops) {
      if (op.Kind != TOpKind::Line) continue;
      const TDevicePoint a = std::min(op.P1, op.P2, [](TDevicePoint l, TDevicePoint r) {
        return std::tie(l.X, l.Y) < std::tie(r.X, r.Y);
      });
      const TDevicePoint b = a == op.P1 ? op.P2 : op.P1;
      if (++seen[{a.X, a.Y, b.X, b.Y}] < 2) continue;
      ++twice;
      const bool alongTheStrip = c.tategaki ? a.X == b.X : a.Y == b.Y;
      EXPECT_TRUE(emptyGap && alongTheStrip)
          << "tategaki " << c.tategaki << " portrait " << c.portrait << " orime " << c.orime
          << " line " << a.X << "," << a.Y << " to " << b.X << "," << b.Y;
    }
    EXPECT_EQ(twice > 0, emptyGap)
        << "tategaki " << c.tategaki << " portrait " << c.portrait << " orime " << c.orime;
  }
  // The table holds both kinds of sheet.
  EXPECT_GT(emptyGaps, 0);
  EXPECT_LT(emptyGaps, 10);
}

TEST_F(DrawSheetTest, CaptionsPrefixOnlyTheCanvasFont) {
  TPrintSetting s = HandSheet();
  s.CenterCaption = u"中央";
  s.BottomCaption = u"下";
  s.BottomCaptionFont.SetName(u"@IPAMincho");
  const TMetafileEx& p = Record(s);
  EXPECT_EQ(TextOf(p, u"中央").Font.Name(), u"@Tahoma");
  EXPECT_EQ(TextOf(p, u"中央").Orientation, 2700);
  EXPECT_EQ(TextOf(p, u"下").Font.Name(), u"@IPAMincho");
  EXPECT_EQ(s.CenterCaptionFont.Name(), u"Tahoma");
  EXPECT_EQ(s.BottomCaptionFont.Name(), u"@IPAMincho");

  s.SetTategaki(false);
  const TMetafileEx& h = Record(s);
  EXPECT_EQ(TextOf(h, u"中央").Font.Name(), u"Tahoma");
  EXPECT_EQ(TextOf(h, u"中央").Orientation, 0);
}

TEST_F(DrawSheetTest, SideTextsRenameTheSettingsFontsThemselves) {
  TPrintSetting s = HandSheet();
  s.TitleLD = u"左下";
  s.TitleRU = u"右上";
  s.TitleRDFont.SetName(u"@IPAGothic");
  s.TitleRD = u"右下";
  s.TitleUL = u"上";
  const TMetafileEx& p = Record(s);
  EXPECT_EQ(s.TitleLDFont.Name(), u"@Tahoma");
  EXPECT_EQ(s.TitleRUFont.Name(), u"@Tahoma");
  EXPECT_EQ(s.TitleRDFont.Name(), u"@IPAGothic");
  EXPECT_EQ(TextOf(p, u"左下").Font.Name(), u"@Tahoma");
  // Empty side texts and the horizontal texts leave their fonts alone.
  EXPECT_EQ(s.TitleLUFont.Name(), u"Tahoma");
  EXPECT_EQ(s.TitleULFont.Name(), u"Tahoma");
  // A second drawing finds the prefix and keeps it single.
  Record(s);
  EXPECT_EQ(s.TitleLDFont.Name(), u"@Tahoma");
}

TEST_F(DrawSheetTest, EmptyOutsideTextTouchesNeitherFontNorCanvas) {
  testing::TPageCanvas pc;
  TFont f;
  pc.Canvas.FontOrientation = 900;
  DrawOutsideText(pc.Canvas, 10, 10, true, f, u"", 0, -1);
  EXPECT_EQ(f.Name(), u"Tahoma");
  EXPECT_EQ(pc.Canvas.FontOrientation, 900);
  EXPECT_TRUE(pc.Page.Ops.empty());
}

TEST_F(DrawSheetTest, VerticalTextIsPlacedByItsHeightAndWidth) {
  testing::TPageCanvas pc;
  TFont f;
  f.SetSize(12);  // one character 100 units at 600 dpi
  DrawOutsideText(pc.Canvas, 1000, 2000, true, f, u"縦書き", 0, -1);
  DrawOutsideText(pc.Canvas, 1000, 2000, false, f, u"横", -1, -1);
  ASSERT_EQ(pc.Page.Ops.size(), 2u);
  EXPECT_EQ(pc.Page.Ops[0].P1, (TDevicePoint{1000, 2000 - 300}));
  EXPECT_EQ(pc.Page.Texts[0].Orientation, 2700);
  EXPECT_EQ(pc.Page.Ops[1].P1, (TDevicePoint{900, 1900}));
  EXPECT_EQ(pc.Page.Texts[1].Orientation, 0);
}

struct PageNumberCase {
  bool tategaki;
  bool ul, uc, ur, lu, ld, ru, rd, bl, br;
  size_t lines;
};

class PageNumberTest : public DrawSheetTest,
                       public ::testing::WithParamInterface<PageNumberCase> {};

TEST_P(PageNumberTest, OnlyTheFlagsOfTheWritingDirectionCount) {
  const PageNumberCase& c = GetParam();
  TPrintSetting s = HandSheet();
  s.SetTategaki(c.tategaki);
  s.LineType = lsNone;
  s.OrimeLineType = lsNone;
  s.Gyobi = 0;
  s.PageNumberTitle = u"No.";
  s.PN_UL = c.ul, s.PN_UC = c.uc, s.PN_UR = c.ur, s.PN_LU = c.lu, s.PN_LD = c.ld;
  s.PN_RU = c.ru, s.PN_RD = c.rd, s.PN_BL = c.bl, s.PN_BR = c.br;
  const TMetafileEx& p = Record(s);
  EXPECT_EQ(OfKind(p, TOpKind::Line).size(), c.lines);
  EXPECT_EQ(OfKind(p, TOpKind::Text).size(), c.lines);
  s.PageNumber = false;
  EXPECT_TRUE(OfKind(Record(s), TOpKind::Line).empty());
}

INSTANTIATE_TEST_SUITE_P(
    , PageNumberTest,
    ::testing::Values(
        PageNumberCase{true, true, false, false, false, false, false, false, false, false, 0},
        PageNumberCase{true, true, true, true, true, true, true, true, true, true, 2},
        PageNumberCase{false, false, true, false, false, false, false, false, false, false, 0},
        PageNumberCase{false, true, true, true, true, true, true, true, true, true, 8},
        PageNumberCase{false, false, false, false, false, true, false, false, true, false, 2}));

TEST_F(DrawSheetTest, HorizontalPageNumberPositionsByHand) {
  TPrintSetting s = HandSheet();
  s.SetTategaki(false);
  s.LineType = lsNone;
  s.OrimeLineType = lsNone;
  s.Gyobi = 0;
  s.PN_UC = false;
  s.PN_LD = s.PN_BR = true;
  const TMetafileEx& p = Record(s);
  const auto lines = OfKind(p, TOpKind::Line);
  ASSERT_EQ(lines.size(), 2u);
  const TDeviceRect r = OuterLineRect(s);
  // LD: x = L - d - n, y = B - 2 th, the line th lower. BR: x = R - n, y = B + th.
  EXPECT_EQ(lines[0]->P1, (TDevicePoint{r.Left - 188 - 425, r.Bottom - 66}));
  EXPECT_EQ(lines[0]->P2, (TDevicePoint{r.Left - 188, r.Bottom - 66}));
  EXPECT_EQ(lines[1]->P1, (TDevicePoint{r.Right - 425, r.Bottom + 132}));
}

TEST_F(DrawSheetTest, AKilometreOfPaperWithThinnestLinesRecordsBoundedWork) {
  for (bool tategaki : {true, false}) {
    TPrintSetting s = PreparedSettings(printer, [&](TPrintSetting& x) {
      x.SetTategaki(tategaki);
      x.PaperWidth = 1000000;
      x.Orime = 2;
      x.OrimeWidth = 0;
      x.LineWidth = 0;
    });
    s.LineWidth = 0;  // below what the window allows: the thinnest dots there are
    const TMetafileEx& p = Record(s);
    // Dots two units apart could fill the printable page at most with
    // 4960 x 7016 / 4 ~ 8.7 million; the sheet's lines on the page are far fewer.
    EXPECT_LT(p.Ops.size(), 200'000u) << tategaki;
    EXPECT_GT(p.Ops.size(), 100u) << tategaki;
    for (const TRecordedOp& op : p.Ops) {
      if (op.Kind != TOpKind::Ellipse) continue;
      ASSERT_GT(op.P2.X, -op.Pen.Width);
      ASSERT_LT(op.P1.X, 4960 + op.Pen.Width);
    }
  }
}

TEST_F(DrawSheetTest, RawCountsFromAFileAreBounded) {
  struct Case {
    int32_t tate, yoko;
  };
  const Case cases[] = {{std::numeric_limits<int32_t>::max(), 20},
                        {20, std::numeric_limits<int32_t>::max()},
                        {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()},
                        {100, 100}};
  for (const Case& c : cases) {
    for (bool tategaki : {true, false}) {
      TPrintSetting s = PreparedSettings(printer);
      s.SetTategaki(tategaki);
      s.Tate = c.tate;
      s.Yoko = c.yoko;
      const TMetafileEx& p = Record(s);
      // At most 40 x 40 units of three drawn edges, each at most ~25 dots here.
      EXPECT_LT(p.Ops.size(), 40u * 40u * 3u * 30u + 1000u);
    }
  }
}

// Found by fuzzing: a count of -2^31 with a huge cell made the marks' 14/20 of the
// band length overflow 64 bits. Lengths along the grid now saturate to device range;
// the sanitizer build checks that no arithmetic overflows.
TEST_F(DrawSheetTest, NegativeCountsWithAHugeCellDoNotOverflow) {
  for (bool tategaki : {true, false}) {
    TPrintSetting s = PreparedSettings(printer, [&](TPrintSetting& x) { x.SetTategaki(tategaki); });
    s.PaperWidth = s.PaperHeight = 1e9;
    ComputeArea(s, u"1000000000", u"1000000000", u"12", u"15", u"12", u"15");
    s.Tate = s.Yoko = std::numeric_limits<int32_t>::min();
    s.CenterCaption = u"中央";
    const TMetafileEx& p = Record(s);
    ASSERT_GT(s.CellSize, 1 << 29);
    EXPECT_EQ(OfKind(p, TOpKind::Polygon).size(), 2u);
    EXPECT_TRUE(OfKind(p, TOpKind::Ellipse).empty());
  }
}

TEST_F(DrawSheetTest, CountsBelowOneDrawNoUnits) {
  for (int32_t count : {0, -1, std::numeric_limits<int32_t>::min()}) {
    TPrintSetting s = PreparedSettings(printer);
    s.Tate = count;
    s.OrimeLineType = lsNone;
    s.Gyobi = 0;
    const TMetafileEx& p = Record(s);
    EXPECT_TRUE(OfKind(p, TOpKind::Ellipse).empty()) << count;
    EXPECT_EQ(OfKind(p, TOpKind::Rectangle).size(), 2u) << count;
  }
}

}  // namespace
}  // namespace zelk
