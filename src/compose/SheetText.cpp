// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/SheetText.h"

#include <algorithm>
#include <set>
#include <utility>

#include "sheet/Decorations.h"
#include "sheet/DrawSheet.h"
#include "sheet/Geometry.h"

namespace zelk {

const std::u16string kComposeFace = u"\uFF2D\uFF33 \u660E\u671D";  // ＭＳ 明朝

namespace {

int32_t GridCount(int32_t count) { return std::clamp(count, 1, kMaxGridCount); }

// The body takes about 80% of the cell's side, ruby about 45% of the strip's width but
// at most half the body.
constexpr double kBodyShare = 0.8;
constexpr double kRubyShare = 0.45;

int32_t PointsFor(double pixels, int32_t ppi) {
  if (ppi <= 0) return 1;
  return std::max<int32_t>(1, static_cast<int32_t>(pixels * 72.0 / ppi + 0.5));
}

int32_t Side(const TDeviceRect& r, bool across) {
  return across ? r.Right - r.Left : r.Bottom - r.Top;
}

TDeviceRect Span(const TDeviceRect& a, const TDeviceRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

// A text that Latin letters and digits alone make up is set upright across, as a whole,
// also in vertical writing (縦中横).
bool IsNarrowText(const std::u16string& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c > 0x20 && c < 0x7F; });
}

}  // namespace

TComposeOptions SheetComposeOptions(const TPrintSetting& s) {
  TComposeOptions o;
  o.Vertical = !s.Yokogaki;
  o.LinesPerPage = GridCount(o.Vertical ? s.Yoko : s.Tate);
  o.CellsPerLine = GridCount(o.Vertical ? s.Tate : s.Yoko);
  return o;
}

TDeviceRect ComposeCellRect(const TPrintSetting& s, int32_t line, int32_t cell) {
  const TComposeOptions o = SheetComposeOptions(s);
  const int32_t beyond = std::max(0, cell - (o.CellsPerLine - 1));
  cell -= beyond;
  TDeviceRect r =
      o.Vertical ? CellRect(s, o.LinesPerPage - 1 - line, cell) : CellRect(s, cell, line);
  // The place beyond the last cell lies a cell's side further along the line.
  if (o.Vertical) {
    const int64_t shift = beyond * int64_t{s.Cell.CellOuter.StepY};
    r.Top = SaturateInt32(r.Top + shift);
    r.Bottom = SaturateInt32(r.Bottom + shift);
  } else {
    const int64_t shift = beyond * int64_t{s.Cell.CellOuter.StepX};
    r.Left = SaturateInt32(r.Left + shift);
    r.Right = SaturateInt32(r.Right + shift);
  }
  return r;
}

TDeviceRect ComposeRubyRect(const TPrintSetting& s, int32_t line, int32_t cell) {
  const TDeviceRect r = ComposeCellRect(s, line, cell);
  if (!s.Yokogaki)
    return {r.Right, r.Top, SaturateInt32(int64_t{r.Right} + s.Cell.GapEnd.StepX), r.Bottom};
  return {r.Left, SaturateInt32(int64_t{r.Top} - s.Cell.GapStart.StepY), r.Right, r.Top};
}

TTextExtent TSheetTextSetter::Measure(TCanvas& canvas, const std::u16string& text) {
  const auto key = std::make_tuple(text, canvas.Font.Size(), canvas.FontOrientation != 0);
  const auto it = extents_.find(key);
  if (it != extents_.end()) return it->second;
  const TTextExtent e{canvas.TextWidth(text), canvas.TextHeight(text)};
  extents_.emplace(key, e);
  return e;
}

void TSheetTextSetter::SetText(TCanvas& canvas, const TDeviceRect& rect, const std::u16string& text,
                               int32_t points, bool upright) {
  TFont font;
  font.SetName(upright ? kComposeFace : u"@" + kComposeFace);
  font.SetColor(kBlack);
  const int32_t along = Side(rect, upright);
  TTextExtent e;
  // At most a few steps: the size shrinks in proportion until the text fits along.
  for (int step = 0; step < 4; ++step) {
    font.SetSize(points);
    canvas.AssignFont(font);
    canvas.FontOrientation = upright ? 0 : 2700;
    e = Measure(canvas, text);
    if (e.Width <= along || points == 1) break;
    points = std::max<int32_t>(1, static_cast<int32_t>(int64_t{points} * along / e.Width));
  }
  const int64_t width = rect.Right - rect.Left;
  const int64_t height = rect.Bottom - rect.Top;
  // The text's point: its top-left, or its column's top-right when set vertically.
  int64_t x = upright ? rect.Left + (width - e.Width) / 2 : rect.Left + (width + e.Height) / 2;
  int64_t y = upright ? rect.Top + (height - e.Height) / 2 : rect.Top + (height - e.Width) / 2;
  x = std::clamp<int64_t>(x, rect.Left, std::max(rect.Left, rect.Right - 1));
  y = std::clamp<int64_t>(y, rect.Top, std::max(rect.Top, rect.Bottom - 1));
  canvas.TextOut(SaturateInt32(x), SaturateInt32(y), text);
}

void TSheetTextSetter::Draw(TCanvas& canvas, const TComposedPage& page) {
  const bool vertical = !s_.Yokogaki;
  const int32_t ppi = canvas.Font.PixelsPerInch();
  canvas.Brush.Style = TBrushStyle::bsClear;
  const TDeviceRect first = ComposeCellRect(s_, 0, 0);
  const int32_t side = std::min(Side(first, true), Side(first, false));
  const int32_t body = PointsFor(side * kBodyShare, ppi);
  for (const TCellPlacement& cell : page.Cells) {
    const bool upright = !vertical || cell.Kind == TCellKind::TwoInOne || IsNarrowText(cell.Text);
    TDeviceRect rect = ComposeCellRect(s_, cell.Line, cell.Cell);
    // Across, a small kana leans toward the cell's lower left (the font sets it low);
    // down, its vertical form already sits toward the upper right.
    if (!vertical && cell.Kind == TCellKind::SmallKana) rect.Right -= (rect.Right - rect.Left) / 5;
    SetText(canvas, rect, cell.Text, body, upright);
  }
  if (!HasRubyStrip()) return;
  const int32_t strip = Side(ComposeRubyRect(s_, 0, 0), vertical);
  const int32_t ruby = std::min(PointsFor(strip * kRubyShare, ppi), std::max(1, body / 2));
  // A mark on a character with ruby goes beside the ruby, away from the base, each in half
  // the strip, when half the strip holds the ruby's size; otherwise the ruby alone.
  const bool halves = int64_t{ruby} * ppi <= int64_t{strip / 2} * 72;
  std::set<std::pair<int32_t, int32_t>> rubyCells, markCells;
  for (const TRubyPlacement& r : page.Rubies)
    for (int32_t c = r.FirstCell; c <= r.LastCell; ++c)
      (r.Mark ? markCells : rubyCells).emplace(r.Line, c);
  for (const TRubyPlacement& r : page.Rubies) {
    const auto& others = r.Mark ? rubyCells : markCells;
    bool shared = false;
    for (int32_t c = r.FirstCell; c <= r.LastCell && !shared; ++c)
      shared = others.count({r.Line, c}) > 0;
    if (shared && r.Mark && !halves) continue;
    TDeviceRect rect =
        Span(ComposeRubyRect(s_, r.Line, r.FirstCell), ComposeRubyRect(s_, r.Line, r.LastCell));
    if (shared) {
      // Down, the strip lies right of the base; across, above it.
      const bool outer = r.Mark;
      if (vertical)
        (outer ? rect.Left : rect.Right) = rect.Left + (rect.Right - rect.Left) / 2;
      else
        (outer ? rect.Bottom : rect.Top) = rect.Top + (rect.Bottom - rect.Top) / 2;
    }
    SetText(canvas, rect, r.Text, ruby, !vertical);
  }
}

bool TSheetTextSetter::HasRubyStrip() const {
  return Side(ComposeRubyRect(s_, 0, 0), !s_.Yokogaki) >= 2;
}

bool TSheetTextSetter::DrawPageNumber(TCanvas& canvas, int32_t number) {
  canvas.AssignFont(s_.PageNumberTitleFont);
  const std::vector<TDevicePoint> points = PageNumberLinePoints(s_, canvas);
  if (points.empty()) return false;
  canvas.Brush.Style = TBrushStyle::bsClear;
  const std::u16string& title = s_.PageNumberTitle;
  const int64_t after =
      title.empty() ? 0 : int64_t{canvas.TextWidth(title)} + canvas.TextWidth(u" ");
  const std::string digits = std::to_string(number);
  const std::u16string text(digits.begin(), digits.end());
  for (const TDevicePoint& p : points) canvas.TextOut(SaturateInt32(p.X + after), p.Y, text);
  return true;
}

}  // namespace zelk
