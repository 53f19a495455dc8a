// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/GridDrawing.h"

#include <algorithm>
#include <limits>

namespace zelk {
namespace {

// floor(a / b) and ceil(a / b) for b != 0; C++ division truncates toward zero.
int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && ((a < 0) == (b < 0))) ? q + 1 : q;
}

struct TKRange {
  int64_t First;
  int64_t Last;  // inclusive; empty when Last < First
};

// The k for which lo < start + k * pitch < hi.
TKRange OpenIntervalSteps(int64_t start, int64_t pitch, int64_t lo, int64_t hi) {
  constexpr int64_t kAll = std::numeric_limits<int32_t>::max();
  if (pitch == 0) {
    if (lo < start && start < hi) return {0, kAll};
    return {0, -1};
  }
  if (pitch > 0) return {FloorDiv(lo - start, pitch) + 1, CeilDiv(hi - start, pitch) - 1};
  return {FloorDiv(hi - start, pitch) + 1, CeilDiv(lo - start, pitch) - 1};
}

// The dots k in [0, count) whose rectangle, grown by `margin`, meets `area`.
TKRange VisibleDots(TDevicePoint start, int32_t pitchX, int32_t pitchY, int32_t count,
                    int32_t dotWidth, int32_t dotHeight, int32_t margin, const TDeviceRect& area) {
  // The dot at x covers [x - margin, x + dotWidth + margin), which meets [Left, Right)
  // exactly when Left - dotWidth - margin < x < Right + margin.
  const TKRange kx = OpenIntervalSteps(start.X, pitchX, int64_t{area.Left} - dotWidth - margin,
                                       int64_t{area.Right} + margin);
  const TKRange ky = OpenIntervalSteps(start.Y, pitchY, int64_t{area.Top} - dotHeight - margin,
                                       int64_t{area.Bottom} + margin);
  return {std::max<int64_t>({kx.First, ky.First, 0}),
          std::min<int64_t>({kx.Last, ky.Last, int64_t{count} - 1})};
}

// Dots k = 0 .. count - 1 of the edge, at k x (DotPitchX, DotPitchY) from `start`.
// Dots that lie wholly outside the printable area are skipped: they cannot reach the
// paper, and a kilometre of paper must not record a million dots nobody can see.
void DrawDotRow(const TCellWidth& e, TCanvas& canvas, TDevicePoint start, int32_t count,
                const TDeviceRect& printable) {
  const int32_t pitchX = e.DotPitchX;
  const int32_t pitchY = e.DotPitchY;
  const bool round = e.DrawType == lsRound;
  const int32_t margin = round ? canvas.Pen.Width / 2 + 1 : 0;
  const TKRange ks =
      VisibleDots(start, pitchX, pitchY, count, e.DotWidth, e.DotHeight, margin, printable);
  for (int64_t k = ks.First; k <= ks.Last; ++k) {
    const int32_t x = SaturateInt32(start.X + k * pitchX);
    const int32_t y = SaturateInt32(start.Y + k * pitchY);
    const int32_t x2 = SaturateInt32(int64_t{x} + e.DotWidth);
    const int32_t y2 = SaturateInt32(int64_t{y} + e.DotHeight);
    if (round) {
      canvas.Ellipse(x, y, x2, y2);
    } else {
      canvas.FillRect({x, y, x2, y2});
    }
  }
}

TDevicePoint Advance(TDevicePoint p, const TCellWidth& e) {
  return {SaturateInt32(int64_t{p.X} + e.StepX), SaturateInt32(int64_t{p.Y} + e.StepY)};
}

}  // namespace

TDeviceRect PrintableArea(const TPrintSetting& s) {
  return {0, 0, s.PrinterInfo.HorzRes, s.PrinterInfo.VertRes};
}

bool HasFoldBand(const TPrintSetting& s) { return s.Orime == 1 || s.Orime == 2; }

void PrepareCell(TPrintSetting& s, int32_t column, int32_t row) {
  TCell& c = s.Cell;
  for (int i = 0; i < TCell::kEdgeCount; ++i) c.Edge(i).DrawType = c.Edge(i).LineType;
  c.GapEnd.DrawType = 0;
  c.GapOuter.DrawType = 0;
  c.GapStart.DrawType = 0;
  const bool band = HasFoldBand(s);
  if (c.Yokogaki) {
    c.CellStart.DrawType = 0;
    if (column == c.Yoko - 1) c.CellEnd.DrawType = 0;
    if (row == c.Tate - 1 || (band && row == c.HalfTate - 1)) c.CellOuter.DrawType = 0;
  } else {
    c.CellEnd.DrawType = 0;
    if (column == 0 || (band && column == c.HalfYoko)) c.CellOuter.DrawType = 0;
    if (row == 0) c.CellStart.DrawType = 0;
  }
}

void DrawCellUnit(const TPrintSetting& s, TCanvas& canvas, int32_t x, int32_t y) {
  const TCell& c = s.Cell;
  const TDeviceRect printable = PrintableArea(s);
  TDevicePoint point{x, y};
  canvas.MoveTo(x, y);
  auto draw = [&](const TCellWidth& e) { DrawEdge(e, canvas, point, printable); };
  if (c.Yokogaki) {
    draw(c.GapStart);
    const TDevicePoint cellTopLeft = point;
    draw(c.CellStart);
    draw(c.CellOuter);
    draw(c.CellEnd);
    draw(c.GapEnd);
    draw(c.GapOuter);
    point = cellTopLeft;
  } else {
    draw(c.CellOuter);
    draw(c.CellEnd);
    draw(c.GapEnd);
    draw(c.GapOuter);
    draw(c.GapStart);
    const TDevicePoint innerTop = point;
    draw(c.CellStart);
    point = innerTop;
  }
  canvas.MoveTo(point.X, point.Y);
  draw(c.CellInner);
}

void DrawEdge(const TCellWidth& e, TCanvas& canvas, TDevicePoint& point,
              const TDeviceRect& printable) {
  canvas.MoveTo(point.X, point.Y);
  const TDevicePoint end = Advance(point, e);
  switch (e.DrawType) {
    case lsDotted:
      canvas.Brush.Style = TBrushStyle::bsClear;
      canvas.Pen.Style = TPenStyle::psDot;
      canvas.LineTo(end.X, end.Y);
      break;
    case lsStraight:
      canvas.Pen.Width = e.DotWidth;
      canvas.Pen.Style = TPenStyle::psSolid;
      canvas.LineTo(end.X, end.Y);
      break;
    case lsSquares:
    case lsRound:
      // One of the counts is 1 for any edge along x or y, so the pair lays the row once
      // and puts one more dot on its start.
      DrawDotRow(e, canvas, point, e.DotCountX, printable);
      DrawDotRow(e, canvas, point, e.DotCountY, printable);
      break;
    default:
      break;
  }
  point = end;
}

}  // namespace zelk
