// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the printer's page geometry from a printer device.

#include "base/PrinterGeometry.h"

namespace zelk {

class TPrinterDevice;

/// Fills `info` from the printer, querying LOGPIXELSX, LOGPIXELSY, HORZRES, VERTRES,
/// PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY in this order, then
/// computes the two millimetre values. No side effects; never cached.
void GetPrinterInfo(TPrinterInfo& info, const TPrinterDevice& printer);

}  // namespace zelk
