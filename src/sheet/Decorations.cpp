// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Decorations.h"

#include <algorithm>

#include "sheet/DrawSheet.h"
#include "sheet/Geometry.h"
#include "sheet/GridDrawing.h"

namespace zelk {
namespace {

// The page-number line's height reference: a full-width square fills the text cell.
const std::u16string kSquare = u"\u25A1";

}  // namespace

void DrawTitleLine(TCanvas& canvas, int32_t x, int32_t y, const std::u16string& title,
                   int32_t length) {
  const int64_t th = canvas.TextHeight(kSquare);
  if (!title.empty()) canvas.TextOutOnPaper(x, y, title);
  const int32_t lineY = SaturateInt32(y + th);
  canvas.MoveTo(x, lineY);
  canvas.LineTo(SaturateInt32(int64_t{x} + length), lineY);
}

std::vector<TDevicePoint> PageNumberLinePoints(const TPrintSetting& s, TCanvas& canvas) {
  if (!s.PageNumber) return {};
  const TDeviceRect r = OuterLineRect(s);
  const int64_t L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const TPrinterInfo& pi = s.PrinterInfo;
  const int64_t d = MmToDevice(pi, s.PageNumberSpace, true);
  const int32_t n = MmToDevice(pi, s.PageNumberWidth, true);
  const int64_t th = canvas.TextHeight(kSquare);
  auto at = [](int64_t x, int64_t y) { return TDevicePoint{SaturateInt32(x), SaturateInt32(y)}; };
  if (!s.Yokogaki) {
    if (!s.PN_UC) return {};
    const int64_t cx = L + (R - L) / 2;
    const int64_t y = T - 2 * th;
    return {at(cx - d - n, y), at(cx + d, y)};
  }
  struct TPosition {
    bool TPrintSetting::*Flag;
    int64_t X;
    int64_t Y;
  };
  const TPosition positions[] = {
      {&TPrintSetting::PN_UL, L, T - 2 * th},     {&TPrintSetting::PN_UR, R - n, T - 2 * th},
      {&TPrintSetting::PN_LU, L - d - n, T + th}, {&TPrintSetting::PN_LD, L - d - n, B - 2 * th},
      {&TPrintSetting::PN_RU, R + d, T + th},     {&TPrintSetting::PN_RD, R + d, B - 2 * th},
      {&TPrintSetting::PN_BL, L, B + th},         {&TPrintSetting::PN_BR, R - n, B + th},
  };
  std::vector<TDevicePoint> points;
  for (const TPosition& p : positions)
    if (s.*p.Flag) points.push_back(at(p.X, p.Y));
  return points;
}

void DrawPageNumberLines(const TPrintSetting& s, TCanvas& canvas) {
  if (!s.PageNumber) return;
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Pen.Width = s.PenWidthX;
  canvas.Pen.Style = TPenStyle::psSolid;
  canvas.AssignFont(s.PageNumberTitleFont);
  const int32_t n = MmToDevice(s.PrinterInfo, s.PageNumberWidth, true);
  for (const TDevicePoint& p : PageNumberLinePoints(s, canvas))
    DrawTitleLine(canvas, p.X, p.Y, s.PageNumberTitle, n);
}

void DrawOutsideText(TCanvas& canvas, int32_t x0, int32_t y0, bool vertical, TFont& font,
                     const std::u16string& text, int32_t fx, int32_t fy) {
  if (text.empty()) return;
  if (!vertical) {
    canvas.AssignFont(font);
    const int64_t w = canvas.TextWidth(text);
    const int64_t h = canvas.TextHeight(text);
    canvas.TextOutOnPaper(SaturateInt32(x0 + fx * w), SaturateInt32(y0 + fy * h), text);
    return;
  }
  if (font.Name().rfind(u"@", 0) != 0) font.SetName(u"@" + font.Name());
  canvas.AssignFont(font);
  canvas.FontOrientation = 2700;
  const int64_t h = canvas.TextHeight(text);
  const int64_t w = canvas.TextWidth(text);
  canvas.TextOutOnPaper(SaturateInt32(x0 + fx * h), SaturateInt32(y0 + fy * w), text);
}

namespace {

// The lines of the sheet as its text runs: columns from the right, or rows from the top.
int32_t SheetLines(const TPrintSetting& s) {
  return std::clamp(s.Yokogaki ? s.Tate : s.Yoko, 0, kMaxGridCount);
}

// The first cell of line `k` (from 1) as counted above.
TDeviceRect FirstCellOfLine(const TPrintSetting& s, int32_t k) {
  return s.Yokogaki ? CellRect(s, 0, k - 1) : CellRect(s, s.Yoko - k, 0);
}

}  // namespace

void DrawCountMarks(const TPrintSetting& s, TCanvas& canvas) {
  if (!IsCountInterval(s.CountMarks)) return;
  TFont font;
  font.SetSize(6);
  font.SetColor(LineDrawColor(s.LineColor));
  canvas.AssignFont(font);
  canvas.FontOrientation = 0;
  canvas.Brush.Style = TBrushStyle::bsClear;
  const TDeviceRect outer = OuterLineRect(s);
  const int64_t gap = std::max(1, s.Yokogaki ? s.PenWidthX : s.PenWidthY);
  for (int32_t k = s.CountMarks; k <= SheetLines(s); k += s.CountMarks) {
    const std::string digits = std::to_string(k);
    const std::u16string text(digits.begin(), digits.end());
    const int64_t w = canvas.TextWidth(text);
    const int64_t h = canvas.TextHeight(text);
    const TDeviceRect cell = FirstCellOfLine(s, k);
    if (s.Yokogaki)
      canvas.TextOutOnPaper(SaturateInt32(outer.Left - gap - w),
                            SaturateInt32((int64_t{cell.Top} + cell.Bottom - h) / 2), text);
    else
      canvas.TextOutOnPaper(SaturateInt32((int64_t{cell.Left} + cell.Right - w) / 2),
                            SaturateInt32(outer.Top - gap - h), text);
  }
}

void DrawCountLines(const TPrintSetting& s, TCanvas& canvas) {
  if (!IsCountInterval(s.CountLines)) return;
  canvas.Pen.Width = SaturateInt32(std::max<int64_t>(int64_t{s.PenWidthX} * 2, s.PenWidthX + 1LL));
  canvas.Pen.Style = TPenStyle::psSolid;
  canvas.Pen.Color = LineDrawColor(s.LineColor);
  const TDeviceRect frame = FrameRect(s);
  const int32_t lines = SheetLines(s);
  const bool fold = HasFoldBand(s);
  for (int32_t k = s.CountLines; k < lines; k += s.CountLines) {
    // Along the edge that the units of lines k and k + 1 share; the fold band between
    // two halves has lines of its own.
    if (s.Yokogaki) {
      if (fold && k == s.HalfTate) continue;
      const int32_t y = UnitPosition(s, 0, k).Y;
      canvas.MoveTo(frame.Left, y);
      canvas.LineTo(frame.Right, y);
    } else {
      if (fold && s.Yoko - k == s.HalfYoko) continue;
      const int32_t x = UnitPosition(s, s.Yoko - k, 0).X;
      canvas.MoveTo(x, frame.Top);
      canvas.LineTo(x, frame.Bottom);
    }
  }
}

void DrawOutsideTexts(TPrintSetting& s, TCanvas& canvas) {
  const TDeviceRect r = TextRect(s);
  const int64_t dx = MmToDevice(s.PrinterInfo, s.OutsideTextSpace, true);
  const int64_t dy = MmToDevice(s.PrinterInfo, s.OutsideTextSpace, false);
  auto text = [&](const std::u16string& t, TFont& font, bool vertical, int64_t x0, int64_t y0,
                  int32_t fx, int32_t fy) {
    DrawOutsideText(canvas, SaturateInt32(x0), SaturateInt32(y0), vertical, font, t, fx, fy);
  };
  text(s.TitleUL, s.TitleULFont, false, r.Left, r.Top - dy, 0, -1);
  text(s.TitleLU, s.TitleLUFont, true, r.Left - dx, r.Top, 0, 0);
  text(s.TitleLD, s.TitleLDFont, true, r.Left - dx, r.Bottom, 0, -1);
  text(s.TitleBL, s.TitleBLFont, false, r.Left, r.Bottom + dy, 0, 0);
  text(s.TitleBR, s.TitleBRFont, false, r.Right, r.Bottom + dy, -1, 0);
  text(s.TitleRD, s.TitleRDFont, true, r.Right + dx, r.Bottom, 0, -1);
  text(s.TitleRU, s.TitleRUFont, true, r.Right + dx, r.Top, 0, 0);
  text(s.TitleUR, s.TitleURFont, false, r.Right, r.Top - dy, -1, -1);
}

}  // namespace zelk
