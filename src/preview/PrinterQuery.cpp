// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PrinterQuery.h"

#include "preview/PrinterDevice.h"

namespace zelk {

void GetPrinterInfo(TPrinterInfo& info, const TPrinterDevice& printer) {
  info.LogPixelsX = printer.GetDeviceCaps(TDeviceCap::LogPixelsX);
  info.LogPixelsY = printer.GetDeviceCaps(TDeviceCap::LogPixelsY);
  info.HorzRes = printer.GetDeviceCaps(TDeviceCap::HorzRes);
  info.VertRes = printer.GetDeviceCaps(TDeviceCap::VertRes);
  info.PhysicalWidth = printer.GetDeviceCaps(TDeviceCap::PhysicalWidth);
  info.PhysicalHeight = printer.GetDeviceCaps(TDeviceCap::PhysicalHeight);
  info.PhysicalOffsetX = printer.GetDeviceCaps(TDeviceCap::PhysicalOffsetX);
  info.PhysicalOffsetY = printer.GetDeviceCaps(TDeviceCap::PhysicalOffsetY);
  info.PaperWidthMm = PixelsToMm(info.PhysicalWidth, info.LogPixelsX);
  info.PaperHeightMm = PixelsToMm(info.PhysicalHeight, info.LogPixelsY);
}

}  // namespace zelk
