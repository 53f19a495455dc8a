// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer's page geometry in the current orientation, as a plain record.

#include <cstdint>

namespace zelk {

/// The printer's page geometry, filled in one go by GetPrinterInfo and copied by value.
/// All values describe the paper as it lies in the current orientation: in landscape
/// `PhysicalWidth` is the long side.
struct TPrinterInfo {
  int32_t HorzRes = 0;          ///< width of the printable area, printer pixels
  int32_t VertRes = 0;          ///< height of the printable area, printer pixels
  int32_t PhysicalWidth = 0;    ///< width of the paper, printer pixels
  int32_t PhysicalHeight = 0;   ///< height of the paper, printer pixels
  double PaperWidthMm = 0;      ///< PhysicalWidth / LogPixelsX x 25.4
  double PaperHeightMm = 0;     ///< PhysicalHeight / LogPixelsY x 25.4
  int32_t LogPixelsX = 0;       ///< horizontal resolution, pixels per inch
  int32_t LogPixelsY = 0;       ///< vertical resolution, pixels per inch
  int32_t PhysicalOffsetX = 0;  ///< paper's left edge to the printable area, printer pixels
  int32_t PhysicalOffsetY = 0;  ///< paper's top edge to the printable area, printer pixels

  bool operator==(const TPrinterInfo& o) const;
  bool operator!=(const TPrinterInfo& o) const { return !(*this == o); }
};

/// Pixels to millimetres as the record computes them: in double precision, the division
/// first, then the multiplication by 25.4. A resolution of 0 or less gives 0 rather than
/// a division by zero.
double PixelsToMm(int32_t pixels, int32_t resolution);

}  // namespace zelk
