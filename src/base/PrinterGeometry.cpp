// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PrinterGeometry.h"

namespace zelk {

bool TPrinterInfo::operator==(const TPrinterInfo& o) const {
  return HorzRes == o.HorzRes && VertRes == o.VertRes && PhysicalWidth == o.PhysicalWidth &&
         PhysicalHeight == o.PhysicalHeight && PaperWidthMm == o.PaperWidthMm &&
         PaperHeightMm == o.PaperHeightMm && LogPixelsX == o.LogPixelsX &&
         LogPixelsY == o.LogPixelsY && PhysicalOffsetX == o.PhysicalOffsetX &&
         PhysicalOffsetY == o.PhysicalOffsetY;
}

double PixelsToMm(int32_t pixels, int32_t resolution) {
  if (resolution <= 0) return 0.0;
  return static_cast<double>(pixels) / resolution * 25.4;
}

}  // namespace zelk
