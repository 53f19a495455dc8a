// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/DrawSheet.h"

#include <algorithm>

#include "sheet/Decorations.h"
#include "sheet/FoldDrawing.h"
#include "sheet/Geometry.h"
#include "sheet/GridDrawing.h"

namespace zelk {

void DrawFrame(const TPrintSetting& s, TCanvas& canvas) {
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Pen.Width = s.PenWidthX;
  canvas.Pen.Style = TPenStyle::psSolid;
  canvas.Pen.Color = LineDrawColor(s.FrameColor);
  const TDeviceRect frame = FrameRect(s);
  canvas.Rectangle(frame.Left, frame.Top, frame.Right, frame.Bottom);
  if (!s.OuterLine) return;
  canvas.Pen.Width = OuterLineWidths(s).X;
  const TDeviceRect outer = OuterLineRect(s);
  canvas.Rectangle(outer.Left, outer.Top, outer.Right, outer.Bottom);
}

bool DrawSheet(TPrintSetting& s, TCanvas* canvas) {
  if (canvas == nullptr) return false;
  ComputeLayout(s);
  // The page's origin is the printable area's corner; the paper reaches past it by the
  // offsets. Texts are cut to the paper (TextOutOnPaper).
  // Without a paper size nothing is cut.
  const TPrinterInfo& pi = s.PrinterInfo;
  canvas->PaperBounds.reset();
  if (pi.PhysicalWidth > 0 && pi.PhysicalHeight > 0)
    canvas->PaperBounds =
        TDeviceRect{-pi.PhysicalOffsetX, -pi.PhysicalOffsetY, pi.PhysicalWidth - pi.PhysicalOffsetX,
                    pi.PhysicalHeight - pi.PhysicalOffsetY};
  const TColor lines = LineDrawColor(s.LineColor);
  canvas->Brush.Style = TBrushStyle::bsSolid;
  canvas->Brush.Color = lines;
  canvas->Pen.Color = lines;
  // Columns are the outer loop. Counts beyond kMaxGridCount only come from a file.
  const int32_t columns = std::min(s.Yoko, kMaxGridCount);
  const int32_t rows = std::min(s.Tate, kMaxGridCount);
  for (int32_t i = 0; i < columns; ++i) {
    for (int32_t j = 0; j < rows; ++j) {
      const TDevicePoint p = UnitPosition(s, i, j);
      PrepareCell(s, i, j);
      DrawCellUnit(s, *canvas, p.X, p.Y);
    }
  }
  DrawCountLines(s, *canvas);
  if (HasFoldBand(s)) DrawFoldLines(s, *canvas);
  DrawFrame(s, *canvas);
  canvas->Pen.Color = lines;
  if (s.PageNumber) DrawPageNumberLines(s, *canvas);
  DrawCountMarks(s, *canvas);
  DrawOutsideTexts(s, *canvas);
  canvas->Brush.Style = TBrushStyle::bsClear;
  canvas->Brush.Color = kWhite;
  if (!HasFoldBand(s)) {
    canvas->Pen.Color = kBlack;
    return true;
  }
  DrawCaptions(s, *canvas);
  DrawGyobi(s, *canvas);
  canvas->Pen.Color = kBlack;
  return true;
}

}  // namespace zelk
