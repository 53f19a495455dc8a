// SPDX-License-Identifier: GPL-3.0-or-later
// Sheet geometry: the exact millimetre conversion, the layout of the default sheet and
// its variants, and the edge descriptors.

#include "sheet/Geometry.h"

#include <gtest/gtest.h>

#include <limits>

#include "form/FormTransfer.h"
#include "preview/VirtualPrinter.h"
#include "settings/NumberText.h"
#include "settings/PrintSetting.h"

namespace zelk {
namespace {

TPrinterInfo Info(int32_t resX, int32_t resY) {
  TPrinterInfo info;
  info.LogPixelsX = resX;
  info.LogPixelsY = resY;
  return info;
}

struct ConversionCase {
  const char* name;
  double mm;
  int32_t res;
  int32_t expected;
};

class MmToDeviceTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(MmToDeviceTest, TruncatesTheExtendedPrecisionProduct) {
  const auto& c = GetParam();
  EXPECT_EQ(MmToDevice(Info(c.res, 1), c.mm, true), c.expected);
  EXPECT_EQ(MmToDevice(Info(1, c.res), c.mm, false), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, MmToDeviceTest,
    ::testing::Values(
        // The double nearest 279.4 lies below it, so the decimal 6600 comes out one short.
        ConversionCase{"letter_height_one_short", 279.4, 600, 6599},
        ConversionCase{"one_inch", 25.4, 600, 600}, ConversionCase{"top_margin", 12, 600, 283},
        ConversionCase{"left_margin", 15, 600, 354}, ConversionCase{"line_width", 0.3, 600, 7},
        ConversionCase{"too_thin_for_a_dot", 0.01, 600, 0},
        ConversionCase{"negative_truncates_toward_zero", -12, 600, -283},
        ConversionCase{"zero_resolution", 100, 0, 0},
        ConversionCase{"saturates_high", 1e300, 600, std::numeric_limits<int32_t>::max()},
        ConversionCase{"saturates_low", -1e300, 600, std::numeric_limits<int32_t>::min()},
        ConversionCase{"infinity", std::numeric_limits<double>::infinity(), 600,
                       std::numeric_limits<int32_t>::max()},
        ConversionCase{"nan", std::numeric_limits<double>::quiet_NaN(), 600, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MmToDevice, UsesTheResolutionOfItsAxis) {
  const TPrinterInfo info = Info(600, 300);
  EXPECT_EQ(MmToDevice(info, 25.4, true), 600);
  EXPECT_EQ(MmToDevice(info, 25.4, false), 300);
}

TEST(DeviceToMm, InvertsWithTheAxisResolution) {
  const TPrinterInfo info = Info(600, 300);
  EXPECT_DOUBLE_EQ(DeviceToMm(info, 600, true), 25.4);
  EXPECT_DOUBLE_EQ(DeviceToMm(info, 600, false), 50.8);
  EXPECT_DOUBLE_EQ(DeviceToMm(Info(0, 0), 600, true), 0.0);
}

TEST(MmTextToDevice, FallsBackOnlyWhenTheTextIsNoNumber) {
  const TPrinterInfo info = Info(600, 600);
  EXPECT_EQ(MmTextToDevice(u"25.4", info, true, 12), 600);
  EXPECT_EQ(MmTextToDevice(u"", info, true, 12), 283);
  EXPECT_EQ(MmTextToDevice(u"1,5", info, true, 12), 283);
  EXPECT_EQ(MmTextToDevice(u"0", info, true, 12), 0);
}

// The default sheet as a first start shows it on the virtual A4 600-dpi printer.
TPrintSetting DefaultSheet(TVirtualPrinter& printer) {
  TPrintSetting s = FirstStartSettings(printer, u"A4");
  PrepareForDrawing(s, printer);
  return s;
}

struct LayoutCase {
  const char* name;
  int32_t orime;
  bool portrait;
  int32_t cellSize, pitchX, pitchY, foldX, halfYoko;
};

class DefaultLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// Paper texts "209.97" x "297.01" give 4959 x 7015 units; the margins 354/283 leave an
// area of 4251 x 6449 (portrait) or 6307 x 4393 (landscape).
TEST_P(DefaultLayoutTest, MatchesTheHandComputedFigures) {
  const auto& c = GetParam();
  TVirtualPrinter printer;
  if (!c.portrait) printer.SetOrientation(TPrinterOrientation::poLandscape);
  TPrintSetting s = DefaultSheet(printer);
  s.Orime = c.orime;
  ComputeLayout(s);
  EXPECT_EQ(s.CellSize, c.cellSize);
  EXPECT_EQ(s.PitchX, c.pitchX);
  EXPECT_EQ(s.PitchY, c.pitchY);
  EXPECT_EQ(s.FoldX, c.foldX);
  EXPECT_EQ(s.FoldY, 0);
  EXPECT_EQ(s.HalfYoko, c.halfYoko);
  EXPECT_EQ(s.Yoko, 20) << "the raised count is lowered again";
}

INSTANTIATE_TEST_SUITE_P(
    Orime, DefaultLayoutTest,
    ::testing::Values(
        // 4251 / 21 = 202 with nothing left for the gaps; the band is one pitch.
        LayoutCase{"one_line_band", 1, true, 202, 202, 202, 202, 10},
        LayoutCase{"no_band", 0, true, 212, 212, 212, 0, 10},
        // The 12 mm band is 283 units: (4251 - 283) / 20 = 198.
        LayoutCase{"band_of_given_width", 2, true, 198, 198, 198, 283, 10},
        // Landscape: 4393 / 20 = 219 limits the cell; (6307 - 219 x 21) / 21 = 81 gap.
        LayoutCase{"landscape_one_line_band", 1, false, 219, 300, 219, 300, 10},
        LayoutCase{"landscape_no_band", 0, false, 219, 315, 219, 0, 10},
        LayoutCase{"landscape_band_of_given_width", 2, false, 219, 301, 219, 283, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComputeArea, ShiftsTheOriginByThePrintableOffset) {
  TVirtualPrinter printer;
  ASSERT_TRUE(printer.SetOffsets(100, 50));
  TPrintSetting s = DefaultSheet(printer);
  EXPECT_EQ(s.OriginX, 354 - 100);
  EXPECT_EQ(s.OriginY, 283 - 50);
  EXPECT_EQ(s.AreaWidth, 4251);
  EXPECT_EQ(s.AreaHeight, 6449);
}

TEST(ComputeArea, UsesTheFallbacksForTextsThatAreNoNumbers) {
  TPrintSetting s;
  s.PrinterInfo = Info(600, 600);
  ComputeArea(s, u"", u"x", u"", u"", u"", u"");
  EXPECT_EQ(s.AreaWidth, MmToDevice(s.PrinterInfo, 203.2, true) - 2 * 354);
  EXPECT_EQ(s.AreaHeight, 6599 - 2 * 283);
}

TEST(ComputeArea, SaturatesInsteadOfOverflowing) {
  TPrintSetting s;
  s.PrinterInfo = Info(600, 600);
  ComputeArea(s, u"1e300", u"-1e300", u"1e300", u"-1e300", u"1e300", u"1e300");
  EXPECT_EQ(s.AreaWidth, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(s.AreaHeight, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(s.OriginX, std::numeric_limits<int32_t>::min());
}

TEST(ComputePenWidths, AreAtLeastTwo) {
  TPrintSetting s;
  s.PrinterInfo = Info(600, 300);
  ComputePenWidths(s, u"0.3");
  EXPECT_EQ(s.PenWidthX, 7);
  EXPECT_EQ(s.PenWidthY, 3);
  ComputePenWidths(s, u"0.01");
  EXPECT_EQ(s.PenWidthX, 2);
  EXPECT_EQ(s.PenWidthY, 2);
  ComputePenWidths(s, u"");  // falls back to 0.2 mm
  EXPECT_EQ(s.PenWidthX, 4);
  EXPECT_EQ(s.PenWidthY, 2);
}

TEST(ComputeLayout, DefaultEdgesInVerticalWriting) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  ComputeLayout(s);
  // Cell width 179.97 / 21 = 8.57 mm -> 202 units; the gap strips are empty.
  const TCell& c = s.Cell;
  EXPECT_NEAR(c.CellOuter.Width, 179.97 / 21, 1e-12);
  EXPECT_NEAR(c.GapStart.Width, 0.0, 1e-12);
  EXPECT_EQ(c.CellOuter.StepX, 0);
  EXPECT_EQ(c.CellOuter.StepY, 202);
  EXPECT_EQ(c.CellEnd.StepX, 202);
  EXPECT_EQ(c.CellStart.StepX, -202);
  EXPECT_EQ(c.GapOuter.StepY, -202);
  EXPECT_EQ(c.CellOuter.DotWidth, 7);
  EXPECT_EQ(c.CellOuter.DotCountY, 14);  // 202 / 14
  EXPECT_EQ(c.CellOuter.DotPitchY, 14);
  EXPECT_EQ(c.CellOuter.DotCountX, 1);
  EXPECT_EQ(c.CellOuter.DotPitchX, 0);
  EXPECT_EQ(c.CellStart.DotPitchX, -14);  // -202 / 14 truncates toward zero
  EXPECT_EQ(c.Yoko, 20);
  EXPECT_EQ(c.HalfYoko, 10);
  EXPECT_FALSE(c.Yokogaki);
  for (int i = 0; i < TCell::kEdgeCount; ++i) {
    EXPECT_EQ(c.Edge(i).LineType, lsRound) << i;
    EXPECT_DOUBLE_EQ(c.Edge(i).LineWidth, 0.3) << i;
  }
}

TEST(ComputeLayout, HorizontalWritingPutsTheSpareRoomIntoRowGaps) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  s.SetTategaki(false);
  ComputeLayout(s);
  // One-line band across the rows: 4251 / 20 = 212 and 6449 / 21 = 307 -> cell 212;
  // the rows share (6449 - 212 x 21) / 21 = 95 of gap.
  EXPECT_EQ(s.CellSize, 212);
  EXPECT_EQ(s.PitchX, 212);
  EXPECT_EQ(s.PitchY, 307);
  EXPECT_EQ(s.FoldY, 307);
  EXPECT_EQ(s.FoldX, 0);
  EXPECT_EQ(s.HalfTate, 10);
  EXPECT_TRUE(s.Cell.Yokogaki);
  // Horizontal writing: CellOuter runs along the bottom, +x.
  EXPECT_EQ(s.Cell.CellOuter.StepY, 0);
  EXPECT_GT(s.Cell.CellOuter.StepX, 0);
  EXPECT_LT(s.Cell.CellEnd.StepY, 0);
}

TEST(ComputeLayout, TallPageLimitsTheCellByTheWidth) {
  TVirtualPrinter printer;
  ASSERT_TRUE(printer.SetPaper({u"", 100, 1000}));
  for (const bool tategaki : {true, false}) {
    TPrintSetting s = FirstStartSettings(printer, u"");
    s.Tate = 3;
    s.Yoko = 4;
    s.Orime = 0;
    s.SetTategaki(tategaki);
    PrepareForDrawing(s, printer);
    ComputeLayout(s);
    EXPECT_EQ(s.CellSize, s.AreaWidth / 4) << tategaki;
    if (tategaki) {
      EXPECT_EQ(s.PitchY, s.CellSize) << "the spare height stays below the grid";
      EXPECT_LT(FrameRect(s).Bottom, s.OriginY + s.AreaHeight);
    } else {
      EXPECT_EQ(s.PitchY, s.CellSize + (s.AreaHeight - 3 * s.CellSize) / 3);
      EXPECT_GT(s.PitchY, 2 * s.CellSize) << "the spare height goes into the gap strips";
    }
  }
}

TEST(ComputeLayout, SingleColumnKeepsItsBandAfterTheColumn) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  s.Yoko = 1;
  s.LineType = lsStraight;
  ComputeLayout(s);
  EXPECT_EQ(s.HalfYoko, 1);
  EXPECT_EQ(s.CellSize, 4251 / 2 < 6449 / 20 ? 4251 / 2 : 6449 / 20);
  EXPECT_EQ(UnitPosition(s, 0, 0).X, s.OriginX);
  EXPECT_EQ(FrameRect(s).Right, s.OriginX + s.FoldX + s.PitchX);
}

TEST(ComputeLayout, OddCountsPutTheExtraColumnAfterTheBand) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  s.Yoko = 21;
  s.LineType = lsStraight;
  ComputeLayout(s);
  EXPECT_EQ(s.HalfYoko, 10);
  EXPECT_EQ(UnitPosition(s, 9, 0).X, s.OriginX + 9 * s.PitchX);
  EXPECT_EQ(UnitPosition(s, 10, 0).X, s.OriginX + 10 * s.PitchX + s.FoldX);
  EXPECT_EQ(UnitPosition(s, 20, 0).X + s.PitchX, FrameRect(s).Right)
      << "the last column ends at the frame's right edge";
}

TEST(ComputeLayout, BandOfZeroWidthIsNoBand) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  s.Orime = 2;
  s.OrimeWidth = 0;
  ComputeLayout(s);
  EXPECT_EQ(s.FoldX, 0);
  EXPECT_EQ(s.CellSize, 212);
}

TEST(ComputeLayout, CountsBelowOneFromAFileNeverDivideByZero) {
  TVirtualPrinter printer;
  for (const int32_t count :
       {0, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
    for (const int32_t orime : {0, 1, 2}) {
      TPrintSetting s = DefaultSheet(printer);
      s.Yoko = count;
      s.Tate = count;
      s.Orime = orime;
      ComputeLayout(s);
      EXPECT_GE(s.HalfYoko, 1);
      EXPECT_GE(s.HalfTate, 1);
      EXPECT_EQ(s.Yoko, count) << "the stored count is kept";
      FrameRect(s);
      TextRect(s);
    }
  }
}

TEST(ComputeLayout, HugeLengthsSaturate) {
  TPrintSetting s;
  s.PrinterInfo = Info(600, 600);
  ComputeArea(s, u"1e300", u"1e300", u"0", u"0", u"0", u"0");
  ComputePenWidths(s, u"1e300");
  s.PaperWidth = s.PaperHeight = 1e300;
  s.OrimeWidth = 1e300;
  s.LineWidth = 1e300;
  s.Orime = 2;
  ComputeLayout(s);
  const TDeviceRect frame = FrameRect(s);
  EXPECT_LE(frame.Left, frame.Right);
  EXPECT_GE(s.Cell.CellOuter.DotCountY, 1);
}

TEST(ComputeLayout, TinyLineWidthStillMakesVisibleDots) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  s.LineWidth = 0.01;
  ComputePenWidths(s, u"0.01");
  ComputeLayout(s);
  EXPECT_EQ(s.Cell.CellOuter.DotWidth, 1);
  EXPECT_EQ(s.Cell.CellOuter.DotHeight, 1);
  EXPECT_EQ(s.PenWidthX, 2);
  EXPECT_EQ(s.PenWidthY, 2);
}

struct EdgeCase {
  const char* name;
  int dirX, dirY;
  int32_t stepX, stepY, countX, countY, pitchX, pitchY;
};

class DeriveEdgeTest : public ::testing::TestWithParam<EdgeCase> {};

// A 9 mm edge is 212 units at 600 dpi; 0.3 mm dots are 7 units, so 212 / 14 = 15 dots
// spaced 212 / 15 = 14 units.
TEST_P(DeriveEdgeTest, LaysDotsAtLeastTwoDotWidthsApart) {
  const auto& c = GetParam();
  TCellWidth e;
  e.Width = 9;
  e.LineWidth = 0.3;
  DeriveEdge(e, Info(600, 600), c.dirX, c.dirY);
  EXPECT_EQ(e.StepX, c.stepX);
  EXPECT_EQ(e.StepY, c.stepY);
  EXPECT_EQ(e.DotWidth, 7);
  EXPECT_EQ(e.DotHeight, 7);
  EXPECT_EQ(e.DotCountX, c.countX);
  EXPECT_EQ(e.DotCountY, c.countY);
  EXPECT_EQ(e.DotPitchX, c.pitchX);
  EXPECT_EQ(e.DotPitchY, c.pitchY);
}

INSTANTIATE_TEST_SUITE_P(Directions, DeriveEdgeTest,
                         ::testing::Values(EdgeCase{"right", 1, 0, 212, 0, 15, 1, 14, 0},
                                           EdgeCase{"left", -1, 0, -212, 0, 15, 1, -14, 0},
                                           EdgeCase{"down", 0, 1, 0, 212, 1, 15, 0, 14},
                                           EdgeCase{"up", 0, -1, 0, -212, 1, 15, 0, -14}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DeriveEdge, AnisotropicResolutionsCountEachAxisApart) {
  TCellWidth e;
  e.Width = 25.4;
  e.LineWidth = 0.3;
  DeriveEdge(e, Info(600, 300), 0, 1);
  EXPECT_EQ(e.StepY, 300);
  EXPECT_EQ(e.DotWidth, 7);
  EXPECT_EQ(e.DotHeight, 3);
  EXPECT_EQ(e.DotCountY, 50);
  EXPECT_EQ(e.DotPitchY, 6);
}

TEST(FrameRect, DotShapesCentreTheFrameOnTheDots) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  ComputeLayout(s);
  EXPECT_EQ(FrameRect(s), (TDeviceRect{357, 286, 357 + 202 + 20 * 202, 286 + 20 * 202}));
  s.LineType = lsStraight;
  EXPECT_EQ(FrameRect(s).Left, 354);
  EXPECT_EQ(FrameRect(s).Top, 283);
}

TEST(FrameRect, OuterAndTextRectanglesGrowByTheOuterWidth) {
  TVirtualPrinter printer;
  TPrintSetting s = DefaultSheet(printer);
  ComputeLayout(s);
  const TDeviceRect f = FrameRect(s);
  const int32_t w = 47;  // 2 mm
  EXPECT_EQ(OuterLineRect(s),
            (TDeviceRect{f.Left - 2 * w, f.Top - 2 * w, f.Right + 2 * w, f.Bottom + 2 * w}));
  EXPECT_EQ(TextRect(s),
            (TDeviceRect{f.Left - 2 * w, f.Top - 2 * w, f.Right + 4 * w, f.Bottom + 2 * w}));
  s.OuterLine = false;
  EXPECT_EQ(OuterLineRect(s), f);
  EXPECT_EQ(TextRect(s), f);
}

}  // namespace
}  // namespace zelk
