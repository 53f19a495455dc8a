// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the drawing and the settings need of the current printer: its list and selected
// entry, its orientation, and its device capabilities. The Qt layer's printer service
// implements it over CUPS queues and the virtual "PDF" printer; tests implement it with
// fixed figures.

#include <cstdint>
#include <string>
#include <vector>

namespace zelk {

/// Device capability indices, named after the Windows GetDeviceCaps indices they stand for.
enum class TDeviceCap {
  LogPixelsX,       ///< horizontal resolution, pixels per inch
  LogPixelsY,       ///< vertical resolution, pixels per inch
  HorzRes,          ///< width of the printable area, device pixels
  VertRes,          ///< height of the printable area, device pixels
  PhysicalWidth,    ///< width of the paper, device pixels
  PhysicalHeight,   ///< height of the paper, device pixels
  PhysicalOffsetX,  ///< paper's left edge to the printable area, device pixels
  PhysicalOffsetY,  ///< paper's top edge to the printable area, device pixels
  HorzSize,         ///< width of the printable area, whole millimetres
  VertSize,         ///< height of the printable area, whole millimetres
};

enum class TPrinterOrientation { poPortrait, poLandscape };

/// The current printer as the core sees it. Every value describes the paper as it lies in
/// the orientation last set.
class TPrinterDevice {
 public:
  virtual ~TPrinterDevice() = default;

  /// Display names of the installed printers; the virtual "PDF" printer is always one.
  virtual std::vector<std::u16string> Printers() const = 0;
  /// Index of the selected entry of Printers().
  virtual int PrinterIndex() const = 0;
  /// Selects another printer; false (and nothing changed) for an index out of range or a
  /// printer that cannot be opened.
  virtual bool SetPrinterIndex(int index) = 0;

  virtual TPrinterOrientation Orientation() const = 0;
  virtual void SetOrientation(TPrinterOrientation orientation) = 0;

  virtual int32_t GetDeviceCaps(TDeviceCap cap) const = 0;

  /// The display name of the selected printer, or "" when the index is out of range.
  std::u16string PrinterName() const;
};

}  // namespace zelk
