// SPDX-License-Identifier: GPL-3.0-or-later
// The grid: which edges each unit draws, the edge walk, the five line shapes and the
// dots that are left out because they cannot reach the paper.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "DrawTestSupport.h"
#include "sheet/Geometry.h"
#include "sheet/GridDrawing.h"

namespace zelk {
namespace {

using testing::TPageCanvas;

TPrinterInfo Info600() {
  TPrinterInfo info;
  info.LogPixelsX = info.LogPixelsY = 600;
  info.HorzRes = 4960;
  info.VertRes = 7016;
  return info;
}

const TDeviceRect kPaper{0, 0, 4960, 7016};

TCellWidth Edge(double widthMm, double lineWidthMm, int dirX, int dirY, int shape) {
  TCellWidth e;
  e.Width = widthMm;
  e.LineWidth = lineWidthMm;
  e.LineType = e.DrawType = shape;
  DeriveEdge(e, Info600(), dirX, dirY);
  return e;
}

TEST(DrawEdge, DefaultDotsOnA212UnitEdgeAreFifteenAtPitchFourteen) {
  // 8.98 mm is 212.1 units at 600 dpi; 0.3 mm is 7.08 units.
  const TCellWidth e = Edge(8.98, 0.3, 0, 1, lsRound);
  ASSERT_EQ(e.StepY, 212);
  EXPECT_EQ(e.DotHeight, 7);
  EXPECT_EQ(e.DotCountY, 15);  // 212 / 14
  EXPECT_EQ(e.DotPitchY, 14);  // 212 / 15
  TPageCanvas pc;
  TDevicePoint p{100, 200};
  DrawEdge(e, pc.Canvas, p, kPaper);
  EXPECT_EQ(p, (TDevicePoint{100, 412}));
  // The first row along x is the start dot alone; the second lays the 15 dots along y.
  ASSERT_EQ(pc.Page.Ops.size(), 16u);
  EXPECT_EQ(pc.Page.Ops[0].P1, (TDevicePoint{100, 200}));
  for (int k = 0; k < 15; ++k) {
    const TRecordedOp& op = pc.Page.Ops[1 + k];
    EXPECT_EQ(op.Kind, TOpKind::Ellipse);
    EXPECT_EQ(op.P1, (TDevicePoint{100, 200 + 14 * k})) << k;
    EXPECT_EQ(op.P2, (TDevicePoint{107, 207 + 14 * k})) << k;
  }
  // The last dot starts a pitch before the end point, where the next edge begins.
  EXPECT_LT(pc.Page.Ops.back().P1.Y, 412 - 7);
}

TEST(DrawEdge, EdgeAlongXLaysItsRowThenOneMoreDotOnTheStart) {
  const TCellWidth e = Edge(8.98, 0.3, 1, 0, lsSquares);
  TPageCanvas pc;
  TDevicePoint p{0, 0};
  DrawEdge(e, pc.Canvas, p, kPaper);
  ASSERT_EQ(pc.Page.Ops.size(), 16u);
  std::set<std::pair<int, int>> starts;
  for (const TRecordedOp& op : pc.Page.Ops) {
    EXPECT_EQ(op.Kind, TOpKind::FillRect);
    EXPECT_EQ(op.P2.X - op.P1.X, 7);
    starts.insert({op.P1.X, op.P1.Y});
  }
  EXPECT_EQ(starts.size(), 15u);
  EXPECT_EQ(pc.Page.Ops.back().P1, (TDevicePoint{0, 0}));
  EXPECT_EQ(pc.Page.Ops[14].P1, (TDevicePoint{14 * 14, 0}));
}

TEST(DrawEdge, NegativeStepLaysDotsLeftwardEachHangingRight) {
  const TCellWidth e = Edge(8.98, 0.3, -1, 0, lsRound);
  ASSERT_EQ(e.StepX, -212);
  ASSERT_EQ(e.DotPitchX, -14);
  TPageCanvas pc;
  TDevicePoint p{1000, 50};
  DrawEdge(e, pc.Canvas, p, kPaper);
  EXPECT_EQ(p, (TDevicePoint{788, 50}));
  ASSERT_EQ(pc.Page.Ops.size(), 16u);
  EXPECT_EQ(pc.Page.Ops[1].P1, (TDevicePoint{986, 50}));
  EXPECT_EQ(pc.Page.Ops[1].P2, (TDevicePoint{993, 57}));
}

TEST(DrawEdge, ShapesSetOnlyThePenAndBrushTheyNeed) {
  struct Case {
    int shape;
    size_t ops;
    TOpKind kind;
    TPen pen;
    TBrushStyle brush;
  };
  // The canvas starts with a red pen of width 3 and a solid black brush.
  const Case cases[] = {
      {lsNone, 0, TOpKind::Line, {3, TPenStyle::psSolid, 0xFF}, TBrushStyle::bsSolid},
      {lsDotted, 1, TOpKind::Line, {3, TPenStyle::psDot, 0xFF}, TBrushStyle::bsClear},
      {lsStraight, 1, TOpKind::Line, {7, TPenStyle::psSolid, 0xFF}, TBrushStyle::bsSolid},
      {lsSquares, 16, TOpKind::FillRect, {3, TPenStyle::psSolid, 0xFF}, TBrushStyle::bsSolid},
      {lsRound, 16, TOpKind::Ellipse, {3, TPenStyle::psSolid, 0xFF}, TBrushStyle::bsSolid},
  };
  for (const Case& c : cases) {
    TPageCanvas pc;
    pc.Canvas.Pen = {3, TPenStyle::psSolid, 0xFF};
    pc.Canvas.Brush = {TBrushStyle::bsSolid, kBlack};
    pc.Canvas.MoveTo(-5, -5);
    TDevicePoint p{10, 20};
    DrawEdge(Edge(8.98, 0.3, 0, 1, c.shape), pc.Canvas, p, kPaper);
    EXPECT_EQ(p, (TDevicePoint{10, 232})) << c.shape;
    ASSERT_EQ(pc.Page.Ops.size(), c.ops) << c.shape;
    EXPECT_EQ(pc.Canvas.Pen, c.pen) << c.shape;
    EXPECT_EQ(pc.Canvas.Brush.Style, c.brush) << c.shape;
    if (c.ops == 0) continue;
    EXPECT_EQ(pc.Page.Ops[0].Kind, c.kind) << c.shape;
    if (c.kind == TOpKind::Line) {
      EXPECT_EQ(pc.Page.Ops[0].P1, (TDevicePoint{10, 20}));
      EXPECT_EQ(pc.Page.Ops[0].P2, (TDevicePoint{10, 232}));
      EXPECT_EQ(pc.Canvas.PenPos, (TDevicePoint{10, 232}));
    }
  }
}

// Whether a dot at (x, y) can touch the area, written independently of the code under
// test: its rectangle, grown by the margin, overlaps the half-open area.
bool Touches(int64_t x, int64_t y, int32_t w, int32_t h, int32_t margin, const TDeviceRect& a) {
  return x - margin < a.Right && x + w + margin > a.Left && y - margin < a.Bottom &&
         y + h + margin > a.Top;
}

TEST(DrawEdge, CullsExactlyTheDotsThatCannotTouchThePrintableArea) {
  const TDeviceRect area{100, 100, 300, 260};
  const int starts[] = {-500, 0, 90, 93, 94, 100, 150, 299, 300, 301, 800};
  for (int shape : {lsSquares, lsRound}) {
    for (int dirX : {-1, 0, 1}) {
      for (int dirY : {-1, 0, 1}) {
        if (dirX != 0 && dirY != 0) continue;
        for (int sx : starts) {
          for (int sy : starts) {
            const TCellWidth e = Edge(30, 0.3, dirX, dirY, shape);  // 708 units, 50 dots
            TPageCanvas pc;
            pc.Canvas.Pen.Width = 5;
            TDevicePoint p{sx, sy};
            DrawEdge(e, pc.Canvas, p, area);
            const int margin = shape == lsRound ? 5 / 2 + 1 : 0;
            std::vector<std::pair<int64_t, int64_t>> expected;
            for (int count : {e.DotCountX, e.DotCountY}) {
              for (int k = 0; k < count; ++k) {
                const int64_t x = sx + int64_t{k} * e.DotPitchX;
                const int64_t y = sy + int64_t{k} * e.DotPitchY;
                if (Touches(x, y, e.DotWidth, e.DotHeight, margin, area))
                  expected.push_back({x, y});
              }
            }
            std::vector<std::pair<int64_t, int64_t>> got;
            for (const TRecordedOp& op : pc.Page.Ops) got.push_back({op.P1.X, op.P1.Y});
            EXPECT_EQ(got, expected)
                << shape << " dir " << dirX << "," << dirY << " from " << sx << "," << sy;
          }
        }
      }
    }
  }
}

TEST(DrawEdge, AMillionDotsOffThePaperCostNothing) {
  // A kilometre-long edge with the thinnest dots: a million dots in principle.
  const TCellWidth e = Edge(1e6, 0, 1, 0, lsRound);
  ASSERT_GT(e.DotCountX, 10'000'000);
  TPageCanvas pc;
  TDevicePoint p{-1'000'000, 50};
  DrawEdge(e, pc.Canvas, p, {0, 0, 100, 100});
  EXPECT_LE(pc.Page.Ops.size(), 53u);
  EXPECT_GE(pc.Page.Ops.size(), 49u);
  for (const TRecordedOp& op : pc.Page.Ops) {
    EXPECT_GT(op.P2.X, -2);
    EXPECT_LT(op.P1.X, 102);
  }
}

// PrepareCell: which of the seven edges a unit draws. Letters in edge order:
// CellOuter, CellEnd, CellInner, CellStart, GapEnd, GapOuter, GapStart; '1' drawn.
std::string Drawn(const TPrintSetting& s) {
  std::string out;
  for (int i = 0; i < TCell::kEdgeCount; ++i) out += s.Cell.Edge(i).DrawType ? '1' : '0';
  return out;
}

struct PrepareCase {
  bool yokogaki;
  int orime;
  int column, row;
  bool emptyGap;
  const char* drawn;
};

class PrepareCellTest : public ::testing::TestWithParam<PrepareCase> {};

TEST_P(PrepareCellTest, LeavesOutTheLinesOthersDraw) {
  const PrepareCase& c = GetParam();
  TPrintSetting s;
  s.SetTategaki(!c.yokogaki);
  s.Orime = c.orime;
  s.Yoko = 5;
  s.Tate = 7;
  s.LineType = lsStraight;
  s.CellSize = 100;
  s.PitchX = s.PitchY = c.emptyGap ? 100 : 120;
  TCell& cell = s.Cell;
  for (int i = 0; i < TCell::kEdgeCount; ++i) cell.Edge(i).LineType = lsStraight;
  cell.Yokogaki = c.yokogaki;
  cell.Yoko = 5;
  cell.Tate = 7;
  cell.HalfYoko = 2;
  cell.HalfTate = 3;
  PrepareCell(s, c.column, c.row);
  EXPECT_EQ(Drawn(s), c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    , PrepareCellTest,
    ::testing::Values(
        // Horizontal writing: the right side except in the last column, the bottom
        // except in the last row and the row before the band, always the top.
        PrepareCase{true, 1, 0, 0, false, "1110000"}, PrepareCase{true, 1, 4, 0, false, "1010000"},
        PrepareCase{true, 1, 1, 2, false, "0110000"}, PrepareCase{true, 0, 1, 2, false, "1110000"},
        PrepareCase{true, 2, 1, 6, false, "0110000"}, PrepareCase{true, 1, 4, 6, false, "0010000"},
        // An empty gap strip changes nothing: the line beside it is still drawn.
        PrepareCase{true, 1, 1, 1, true, "1110000"},
        // Vertical writing: the left side except in the first column and the column
        // after the band, the top except in the first row, always the right side.
        PrepareCase{false, 1, 0, 0, false, "0010000"},
        PrepareCase{false, 1, 1, 1, false, "1011000"},
        PrepareCase{false, 1, 2, 1, false, "0011000"},
        PrepareCase{false, 0, 2, 1, false, "1011000"},
        PrepareCase{false, 2, 2, 0, false, "0010000"},
        PrepareCase{false, 1, 4, 6, false, "1011000"}, PrepareCase{false, 1, 3, 3, true, "1011000"},
        PrepareCase{false, 1, 0, 0, true, "0010000"}));

TEST(PrepareCell, LineTypeNoneDrawsNothingAnywhere) {
  TPrintSetting s;
  s.Cell.Yoko = s.Cell.Tate = 4;
  s.Cell.HalfYoko = s.Cell.HalfTate = 2;
  for (bool yoko : {false, true}) {
    s.Cell.Yokogaki = yoko;
    for (int i = 0; i < 4; ++i) {
      PrepareCell(s, i, 3 - i);
      EXPECT_EQ(Drawn(s), "0000000");
    }
  }
}

}  // namespace
}  // namespace zelk
