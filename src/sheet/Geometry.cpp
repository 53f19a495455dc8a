// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Geometry.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "settings/NumberText.h"
#include "settings/PrintSetting.h"
#include "settings/SettingControls.h"

// The conversions depend on x87 extended precision: a 64-bit significand with rounding
// to nearest at every step. That is what long double is on x86-64.
static_assert(LDBL_MANT_DIG == 64, "MmToDevice needs long double with a 64-bit significand");

namespace zelk {
namespace {

int32_t Resolution(const TPrinterInfo& info, bool horizontal) {
  return horizontal ? info.LogPixelsX : info.LogPixelsY;
}

// The double 25.4 inverted in extended precision.
const long double kInvMmPerInch = 1.0L / static_cast<long double>(25.4);

int32_t AtLeast(int32_t v, int32_t min) { return v < min ? min : v; }
int32_t Count(int32_t v) { return v < 1 ? 1 : v; }
int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// Each named quantity of the millimetre part is evaluated in extended precision and
// then rounded to a double.
double Ext(long double v) { return static_cast<double>(v); }

}  // namespace

int32_t SaturateInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t MmToDevice(const TPrinterInfo& info, double mm, bool horizontal) {
  const long double product =
      static_cast<long double>(Resolution(info, horizontal)) * static_cast<long double>(mm);
  const long double units = product * kInvMmPerInch;
  if (std::isnan(units)) return 0;
  if (units >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (units <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(units);  // truncation toward zero
}

double DeviceToMm(const TPrinterInfo& info, int32_t units, bool horizontal) {
  const int32_t res = Resolution(info, horizontal);
  if (res <= 0) return 0.0;
  const long double inches = static_cast<long double>(units) / static_cast<long double>(res);
  return static_cast<double>(inches * static_cast<long double>(25.4));
}

int32_t MmTextToDevice(const std::u16string& text, const TPrinterInfo& info, bool horizontal,
                       double fallbackMm) {
  double mm = fallbackMm;
  if (!TryStrToFloat(text, mm)) mm = fallbackMm;
  return MmToDevice(info, mm, horizontal);
}

void ComputeArea(TPrintSetting& s, const std::u16string& paperWidth,
                 const std::u16string& paperHeight, const std::u16string& top,
                 const std::u16string& left, const std::u16string& bottom,
                 const std::u16string& right) {
  const TPrinterInfo& pi = s.PrinterInfo;
  const int64_t width = MmTextToDevice(paperWidth, pi, true, 203.2);
  const int64_t height = MmTextToDevice(paperHeight, pi, false, 279.4);
  // A margin that is not a number falls back to the field's designed value; the paper
  // has a fallback of its own (its designed value, 0, would leave no area).
  const auto designed = [](TControl id) { return ControlSpec(id).Default; };
  const int64_t t = MmTextToDevice(top, pi, false, designed(TControl::NE_YohakuU));
  const int64_t l = MmTextToDevice(left, pi, true, designed(TControl::NE_YohakuL));
  const int64_t b = MmTextToDevice(bottom, pi, false, designed(TControl::NE_YohakuB));
  const int64_t r = MmTextToDevice(right, pi, true, designed(TControl::NE_YohakuR));
  s.AreaWidth = SaturateInt32(width - l - r);
  s.AreaHeight = SaturateInt32(height - t - b);
  s.OriginX = SaturateInt32(l - pi.PhysicalOffsetX);
  s.OriginY = SaturateInt32(t - pi.PhysicalOffsetY);
}

void ComputePenWidths(TPrintSetting& s, const std::u16string& lineWidth) {
  s.PenWidthX = AtLeast(MmTextToDevice(lineWidth, s.PrinterInfo, true, 0.2), 2);
  s.PenWidthY = AtLeast(MmTextToDevice(lineWidth, s.PrinterInfo, false, 0.2), 2);
}

void DeriveEdge(TCellWidth& edge, const TPrinterInfo& info, int dirX, int dirY) {
  const int64_t stepX = static_cast<int64_t>(dirX) * MmToDevice(info, edge.Width, true);
  const int64_t stepY = static_cast<int64_t>(dirY) * MmToDevice(info, edge.Width, false);
  edge.StepX = SaturateInt32(stepX);
  edge.StepY = SaturateInt32(stepY);
  edge.DotWidth = AtLeast(MmToDevice(info, edge.LineWidth, true), 1);
  edge.DotHeight = AtLeast(MmToDevice(info, edge.LineWidth, false), 1);
  int64_t countX = Abs64(edge.StepX) / (2 * static_cast<int64_t>(edge.DotWidth));
  int64_t countY = Abs64(edge.StepY) / (2 * static_cast<int64_t>(edge.DotHeight));
  if (countX == 0) countX = 1;
  if (countY == 0) countY = 1;
  edge.DotCountX = SaturateInt32(countX);
  edge.DotCountY = SaturateInt32(countY);
  edge.DotPitchX = SaturateInt32(edge.StepX / countX);
  edge.DotPitchY = SaturateInt32(edge.StepY / countY);
}

void ComputeLayout(TPrintSetting& s) {
  const bool tategaki = !s.Yokogaki;
  const int32_t yoko = Count(s.Yoko);
  const int32_t tate = Count(s.Tate);

  // Device part.
  s.HalfYoko = s.Yoko / 2;
  if (s.HalfYoko <= 0) s.HalfYoko = 1;
  s.HalfTate = s.Tate / 2;
  if (s.HalfTate <= 0) s.HalfTate = 1;

  int64_t band = MmToDevice(s.PrinterInfo, s.OrimeWidth, tategaki);
  // With a one-line band the cell size is found as if the band were one more unit.
  int64_t yokoCalc = yoko, tateCalc = tate;
  if (s.Orime == 0) {
    band = 0;
  } else if (s.Orime == 1) {
    band = 0;
    if (tategaki)
      ++yokoCalc;
    else
      ++tateCalc;
  } else if (s.Orime != 2) {
    band = 0;  // an unknown mode from a file draws no band
  }
  const int64_t foldX = tategaki ? band : 0;
  const int64_t foldY = tategaki ? 0 : band;

  const int64_t u = (static_cast<int64_t>(s.AreaWidth) - foldX) / yokoCalc;
  const int64_t v = (static_cast<int64_t>(s.AreaHeight) - foldY) / tateCalc;
  // Saturated before use, so the products below stay within 64 bits for any count.
  const int64_t cell = SaturateInt32(u < v ? u : v);
  int64_t pitchX, pitchY;
  if (tategaki) {
    const int64_t gap = (static_cast<int64_t>(s.AreaWidth) - cell * yokoCalc - foldX) / yokoCalc;
    pitchX = cell + gap;
    pitchY = cell;
  } else {
    const int64_t gap = (static_cast<int64_t>(s.AreaHeight) - cell * tateCalc - foldY) / tateCalc;
    pitchX = cell;
    pitchY = cell + gap;
  }
  s.CellSize = SaturateInt32(cell);
  s.PitchX = SaturateInt32(pitchX);
  s.PitchY = SaturateInt32(pitchY);
  s.FoldX = SaturateInt32(foldX);
  s.FoldY = SaturateInt32(foldY);
  if (s.Orime == 1) {
    if (tategaki)
      s.FoldX = s.PitchX;
    else
      s.FoldY = s.PitchY;
  }

  // Millimetre part: the edge lengths.
  const long double fold = s.Orime == 2 ? static_cast<long double>(s.OrimeWidth) : 0.0L;
  long double yokoMm = yoko, tateMm = tate;
  if (s.Orime == 1) {
    if (tategaki)
      yokoMm += 1;
    else
      tateMm += 1;
  }
  const double availW = Ext(static_cast<long double>(s.PaperWidth) - s.YohakuL - s.YohakuR);
  const double availH = Ext(static_cast<long double>(s.PaperHeight) - s.YohakuU - s.YohakuB);
  const double cu = Ext((availW - (tategaki ? fold : 0.0L)) / yokoMm);
  const double cv = Ext((availH - (tategaki ? 0.0L : fold)) / tateMm);
  const double cellWidth = cu < cv ? cu : cv;
  double gapWidth;
  if (tategaki) {
    const double numerator = Ext(availW - yokoMm * cellWidth - fold);
    gapWidth = Ext(numerator / yokoMm);
  } else {
    const double numerator = Ext(availH - tateMm * cellWidth - fold);
    gapWidth = Ext(numerator / tateMm);
  }

  TCell& c = s.Cell;
  for (int i = 0; i < TCell::kEdgeCount; ++i) {
    TCellWidth& e = c.Edge(i);
    e.LineType = s.LineType;
    e.LineWidth = s.LineWidth;
    e.Width = cellWidth;
  }
  c.GapEnd.Width = gapWidth;
  c.GapStart.Width = gapWidth;
  c.HalfYoko = s.HalfYoko;
  c.HalfTate = s.HalfTate;
  c.Yoko = s.Yoko;
  c.Tate = s.Tate;
  c.Yokogaki = s.Yokogaki;

  struct Dir {
    int x, y;
  };
  // Directions per edge (CellOuter ... GapStart) for horizontal and vertical writing.
  static const Dir kYokogaki[TCell::kEdgeCount] = {{1, 0},  {0, -1}, {1, 0}, {0, 1},
                                                   {0, -1}, {-1, 0}, {0, 1}};
  static const Dir kTategaki[TCell::kEdgeCount] = {{0, 1}, {1, 0},  {0, 1}, {-1, 0},
                                                   {1, 0}, {0, -1}, {-1, 0}};
  const Dir* dirs = tategaki ? kTategaki : kYokogaki;
  for (int i = 0; i < TCell::kEdgeCount; ++i)
    DeriveEdge(c.Edge(i), s.PrinterInfo, dirs[i].x, dirs[i].y);
}

TDevicePoint UnitPosition(const TPrintSetting& s, int32_t column, int32_t row) {
  const int64_t x = static_cast<int64_t>(s.OriginX) + static_cast<int64_t>(column) * s.PitchX +
                    (column >= s.HalfYoko ? s.FoldX : 0);
  const int64_t y = static_cast<int64_t>(s.OriginY) + static_cast<int64_t>(row) * s.PitchY +
                    (row >= s.HalfTate ? s.FoldY : 0);
  return {SaturateInt32(x), SaturateInt32(y)};
}

TDeviceRect CellRect(const TPrintSetting& s, int32_t column, int32_t row) {
  const TCell& c = s.Cell;
  const TDevicePoint p = UnitPosition(s, column, row);
  if (!s.Yokogaki)
    return {p.X, p.Y, SaturateInt32(int64_t{p.X} + c.CellEnd.StepX),
            SaturateInt32(int64_t{p.Y} + c.CellOuter.StepY)};
  const int64_t top = int64_t{p.Y} + c.GapStart.StepY;
  return {p.X, SaturateInt32(top), SaturateInt32(int64_t{p.X} + c.CellOuter.StepX),
          SaturateInt32(top + c.CellStart.StepY)};
}

TDeviceRect FrameRect(const TPrintSetting& s) {
  int64_t left = s.OriginX, top = s.OriginY;
  if (s.LineType == lsSquares || s.LineType == lsRound) {
    left += s.PenWidthX / 2;
    top += s.PenWidthY / 2;
  }
  const int64_t right = left + s.FoldX + static_cast<int64_t>(s.PitchX) * s.Yoko;
  const int64_t bottom = top + s.FoldY + static_cast<int64_t>(s.PitchY) * s.Tate;
  return {SaturateInt32(left), SaturateInt32(top), SaturateInt32(right), SaturateInt32(bottom)};
}

TDevicePoint OuterLineWidths(const TPrintSetting& s) {
  return {MmToDevice(s.PrinterInfo, s.OuterLineWidth, true),
          MmToDevice(s.PrinterInfo, s.OuterLineWidth, false)};
}

namespace {

TDeviceRect Grow(const TDeviceRect& r, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return {SaturateInt32(r.Left - left), SaturateInt32(r.Top - top), SaturateInt32(r.Right + right),
          SaturateInt32(r.Bottom + bottom)};
}

}  // namespace

TDeviceRect OuterLineRect(const TPrintSetting& s) {
  const TDeviceRect frame = FrameRect(s);
  if (!s.OuterLine) return frame;
  const TDevicePoint w = OuterLineWidths(s);
  return Grow(frame, 2LL * w.X, 2LL * w.Y, 2LL * w.X, 2LL * w.Y);
}

TDeviceRect TextRect(const TPrintSetting& s) {
  const TDeviceRect frame = FrameRect(s);
  if (!s.OuterLine) return frame;
  const TDevicePoint w = OuterLineWidths(s);
  return Grow(frame, 2LL * w.X, 2LL * w.Y, 4LL * w.X, 2LL * w.Y);
}

}  // namespace zelk
