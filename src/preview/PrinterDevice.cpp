// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PrinterDevice.h"

namespace zelk {

std::u16string TPrinterDevice::PrinterName() const {
  const auto names = Printers();
  const int index = PrinterIndex();
  if (index < 0 || index >= static_cast<int>(names.size())) return {};
  return names[static_cast<size_t>(index)];
}

}  // namespace zelk
