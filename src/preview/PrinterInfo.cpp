#include "preview/PrinterInfo.h"

#include "preview/PrinterDevice.h"

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
