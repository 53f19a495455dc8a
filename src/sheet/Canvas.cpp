#include "sheet/Canvas.h"

namespace zelk {

void TCanvas::AssignFont(const TFont& font) {
  // The canvas font keeps its own resolution: the point size is what carries over.
  const int32_t ppi = Font.PixelsPerInch();
  Font = font;
  Font.SetPixelsPerInch(ppi);
  Font.SetSize(font.Size());
  FontOrientation = 0;
}

void TCanvas::LineTo(int32_t x, int32_t y) {
  DrawLine(PenPos.X, PenPos.Y, x, y);
  PenPos = {x, y};
}

}  // namespace zelk
