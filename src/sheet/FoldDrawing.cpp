// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/FoldDrawing.h"

#include "sheet/Geometry.h"
#include "sheet/GridDrawing.h"

namespace zelk {
namespace {

int64_t BandLeft(const TPrintSetting& s) {
  return int64_t{s.OriginX} + int64_t{s.PitchX} * s.HalfYoko;
}
int64_t BandTop(const TPrintSetting& s) {
  return int64_t{s.OriginY} + int64_t{s.PitchY} * s.HalfTate;
}

// A length along the grid, as a device value: saturated to int32, so that the fractions
// taken of it (x 5 / 20, x 14 / 20) cannot overflow even for raw counts from a file.
int64_t GridLength(int64_t unit, int64_t count, int64_t extra = 0) {
  return SaturateInt32(unit * count + extra);
}

TDevicePoint Pt(int64_t x, int64_t y) { return {SaturateInt32(x), SaturateInt32(y)}; }

// The fold band's lines and marks: a solid brush and a pen in the band's colour.
void UseFoldColor(const TPrintSetting& s, TCanvas& canvas) {
  canvas.Brush.Style = TBrushStyle::bsSolid;
  canvas.Brush.Color = canvas.Pen.Color = LineDrawColor(s.FoldColor);
}

void DrawCaption(const TPrintSetting& s, TCanvas& canvas, const std::u16string& text,
                 const TFont& font, bool centre) {
  canvas.AssignFont(font);
  const bool vertical = !s.Yokogaki;
  if (vertical) {
    if (canvas.Font.Name().rfind(u"@", 0) != 0) canvas.Font.SetName(u"@" + canvas.Font.Name());
    canvas.FontOrientation = 2700;
  }
  const int64_t w = canvas.TextWidth(text);
  const int64_t h = canvas.TextHeight(text);
  if (text.empty()) return;
  int64_t x, y;
  if (vertical) {
    const int64_t along = GridLength(s.CellSize, s.Tate);
    x = BandLeft(s) + (h + s.FoldX) / 2;
    if (!centre) {
      y = s.OriginY + along - w - 2LL * s.PenWidthX;
    } else if (s.Gyobi > 0) {
      y = s.OriginY + along * 5 / 20;
    } else {
      y = s.OriginY + (along - w) / 2;
    }
  } else {
    const int64_t along = GridLength(s.CellSize, s.Yoko);
    y = BandTop(s) + (s.FoldY - h) / 2;
    if (!centre) {
      x = s.OriginX + along - w - 2LL * s.PenWidthX;
    } else if (s.Gyobi > 0) {
      x = s.OriginX + along * 5 / 20;
    } else {
      x = s.OriginX + (along - w) / 2;
    }
  }
  canvas.TextOutOnPaper(SaturateInt32(x), SaturateInt32(y), text);
}

// Where the marks sit across the band: r is the start (the band's lower edge in
// horizontal writing, its left edge in vertical writing), b the band width, e the width
// of the band's edge lines, p the mark's pen width.
struct TAcross {
  int64_t Start;  // r'
  int64_t Span;   // b'
};

TAcross MarkAcross(const TPrintSetting& s, int64_t r, int64_t b, int64_t e, int64_t p) {
  if (s.Yokogaki) {
    if (p > e) return {r + e / 2 - p / 2, b + e - p};
    return {s.OrimeLineType <= lsStraight ? r - e / 2 : r, b - e};
  }
  if (s.OrimeLineType == lsStraight) {
    if (p / 2 < e) return {r + e / 2, b - e};
    return {r - e / 2 + p / 2, b + e - p};
  }
  const int64_t q = p / 2;
  if (q < e) return {r + e - q, b - e + q};
  return {r + q, b + e - p};
}

// A point given along the band and across it.
TDevicePoint BandPoint(const TPrintSetting& s, int64_t along, int64_t across) {
  return s.Yokogaki ? Pt(along, across) : Pt(across, along);
}

// The thin line across the band that each mark starts with. In horizontal writing the
// mark is drawn upward from r', in vertical writing rightward.
void MarkLine(const TPrintSetting& s, TCanvas& canvas, int64_t at, const TAcross& a) {
  const int64_t far = s.Yokogaki ? a.Start - a.Span : a.Start + a.Span;
  const TDevicePoint p1 = BandPoint(s, at, a.Start);
  const TDevicePoint p2 = BandPoint(s, at, far);
  canvas.MoveTo(p1.X, p1.Y);
  canvas.LineTo(p2.X, p2.Y);
}

void FishTail(const TPrintSetting& s, TCanvas& canvas, int64_t at, bool forward, const TAcross& a,
              int64_t b) {
  int64_t t1 = b / 3, t2 = t1 / 3, t3 = t2 / 3;
  canvas.Pen.Width = SaturateInt32(t3);
  if (!forward) {
    t1 = -t1;
    t2 = -t2;
    t3 = -t3;
  }
  MarkLine(s, canvas, at, a);
  const int64_t s2 = at + 2 * t3;
  const int64_t far = s.Yokogaki ? a.Start - a.Span : a.Start + a.Span;
  const int64_t mid = s.Yokogaki ? a.Start - a.Span / 2 : a.Start + a.Span / 2;
  const std::vector<TDevicePoint> points = {
      BandPoint(s, s2, a.Start),  BandPoint(s, s2, far),          BandPoint(s, s2 + t1, far),
      BandPoint(s, s2 + t2, mid), BandPoint(s, s2 + t1, a.Start), BandPoint(s, s2, a.Start)};
  canvas.Polygon(points);
  canvas.MoveTo(points[0].X, points[0].Y);
}

void BarMark(const TPrintSetting& s, TCanvas& canvas, int64_t at, bool forward, const TAcross& a,
             int64_t b) {
  int64_t s1 = b / 3, s2 = s1 / 3, s3 = s2 / 3;
  canvas.Pen.Width = SaturateInt32(s3);
  if (!forward) {
    s2 = -s2;
    s3 = -s3;
  }
  MarkLine(s, canvas, at, a);
  const int64_t start = at + 2 * s3;
  const int64_t far = s.Yokogaki ? a.Start - a.Span : a.Start + a.Span;
  const TDevicePoint p1 = BandPoint(s, start, a.Start);
  const TDevicePoint p2 = BandPoint(s, start + s2, far);
  canvas.Rectangle(p1.X, p1.Y, p2.X, p2.Y);
  canvas.MoveTo(p1.X, p1.Y);
}

}  // namespace

void DrawFoldLines(const TPrintSetting& s, TCanvas& canvas) {
  if (!HasFoldBand(s)) return;
  UseFoldColor(s, canvas);
  TCellWidth edge;
  edge.LineType = s.OrimeLineType;
  edge.DrawType = s.OrimeLineType;
  edge.LineWidth = s.LineWidth;
  const TPrinterInfo& pi = s.PrinterInfo;
  const TDeviceRect printable = PrintableArea(s);
  TDevicePoint first, second;
  if (s.Yokogaki) {
    edge.Width = DeviceToMm(pi, SaturateInt32(int64_t{s.PitchX} * s.Yoko), true);
    DeriveEdge(edge, pi, 1, 0);
    first = Pt(s.OriginX, BandTop(s));
    second = Pt(s.OriginX, BandTop(s) + s.FoldY);
  } else {
    edge.Width = DeviceToMm(pi, SaturateInt32(int64_t{s.PitchY} * s.Tate), false);
    DeriveEdge(edge, pi, 0, 1);
    first = Pt(BandLeft(s), s.OriginY);
    second = Pt(BandLeft(s) + s.FoldX, s.OriginY);
  }
  DrawEdge(edge, canvas, first, printable);
  DrawEdge(edge, canvas, second, printable);
}

void DrawCaptions(const TPrintSetting& s, TCanvas& canvas) {
  if (!HasFoldBand(s)) return;
  DrawCaption(s, canvas, s.CenterCaption, s.CenterCaptionFont, true);
  DrawCaption(s, canvas, s.BottomCaption, s.BottomCaptionFont, false);
}

void DrawGyobi(const TPrintSetting& s, TCanvas& canvas) {
  if (!HasFoldBand(s)) return;
  UseFoldColor(s, canvas);
  if (s.Gyobi != 1 && s.Gyobi != 2) return;
  const bool yoko = s.Yokogaki;
  int64_t e;
  if (s.OrimeLineType == lsNone) {
    e = 0;
  } else if (s.OrimeLineType == lsDotted) {
    e = 1;
  } else {
    e = yoko ? s.PenWidthY : s.PenWidthX;
  }
  const int64_t b = yoko ? s.FoldY : s.FoldX;
  const int64_t length =
      yoko ? GridLength(s.PitchX, s.Yoko, s.FoldX) : GridLength(s.PitchY, s.Tate, s.FoldY);
  const int64_t origin = yoko ? s.OriginX : s.OriginY;
  const int64_t r = yoko ? BandTop(s) + s.FoldY : BandLeft(s);
  const int64_t p = b / 3 / 3 / 3;
  const TAcross across = MarkAcross(s, r, b, e, p);
  FishTail(s, canvas, origin + length * 4 / 20, true, across, b);
  if (s.Gyobi == 1) {
    FishTail(s, canvas, origin + length * 14 / 20, false, across, b);
  } else {
    BarMark(s, canvas, origin + length * 14 / 20, false, across, b);
  }
}

}  // namespace zelk
