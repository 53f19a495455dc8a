// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual printer "PDF": a printer of our own that always exists, writes its jobs to a
// PDF file, and whose resolution, paper and printable-area offsets can be set, so that any
// real printer's geometry can be reproduced without one.

#include <optional>
#include <string>
#include <string_view>

#include "preview/PrinterDevice.h"

namespace zelk {

/// A paper size in millimetres, portrait (width <= height for the named sizes).
struct TPaperSize {
  std::u16string Name;  ///< "A4", "B4", ... or "" for a custom size
  double WidthMm = 0;
  double HeightMm = 0;
};

/// Parses a paper given as a name or as "WxH" millimetres ("210x297", "182.5X257").
/// The names are A3, A4, A5, B4, B5 and Letter, case-insensitive; "B4" and "B5" are the
/// Japanese JIS sizes (257 x 364 and 182 x 257 mm), as Japanese users mean them. Custom
/// sizes must lie within (0, 5000] mm on both sides. Returns nothing for anything else.
std::optional<TPaperSize> ParsePaperSize(const std::string& text);

/// True when a sheet can be laid out on a paper of `widthMm` × `heightMm`: both sides
/// finite, over 0 and at most 5000 mm (the custom sizes ParsePaperSize takes). A broken
/// file may hold zeros, negatives or worse.
bool IsUsablePaperSize(double widthMm, double heightMm);

/// True when two papers are the same size within 1 mm, in either orientation.
bool IsSamePaperSize(double widthMm, double heightMm, double otherWidthMm, double otherHeightMm);

/// The device geometry of the virtual printer.
///
/// Its paper's pixel size follows one rule: the nearest even number of device pixels to
/// mm x dpi / 25.4 (halves round up). At 600 dpi that makes A4 4960 x 7016 pixels, the
/// figures laser-printer drivers report, and a size that is a whole even number of pixels
/// (210 mm at 254 dpi) comes out exactly.
///
/// The printable area is the paper inset by the offsets on both sides (a real printer's
/// margins are near symmetric), so HORZRES = PHYSICALWIDTH - 2 x offset X. HORZSIZE and
/// VERTSIZE are the printable size in millimetres, to the nearest whole millimetre.
///
/// Resolution, paper and offsets are given for portrait. In landscape the paper turns:
/// the X and Y resolutions swap, as real drivers do, and so do the pixel sizes and the
/// offsets.
///
/// The defaults: 600 x 600 dpi, A4 portrait, no unprintable margin.
class TVirtualPrinter : public TPrinterDevice {
 public:
  /// The name shown in printer lists. It holds a space, which no CUPS queue name can,
  /// so it is never taken by a queue (printer-driver-cups-pdf adds one called "PDF").
  static constexpr char16_t kName[] = u"PDF ファイル";
  /// The short name that scripts use (`--printer PDF`); it means this printer even when
  /// a CUPS queue is called so (that one is reached as "cups:PDF").
  static constexpr char16_t kScriptName[] = u"PDF";
  /// Whether `name` names this printer: kName or kScriptName.
  static bool IsItsName(std::u16string_view name) { return name == kName || name == kScriptName; }
  static constexpr int kMaxDpi = 9600;

  TVirtualPrinter();

  std::vector<std::u16string> Printers() const override { return {kName}; }
  int PrinterIndex() const override { return 0; }
  bool SetPrinterIndex(int index) override { return index == 0; }
  TPrinterOrientation Orientation() const override { return orientation_; }
  void SetOrientation(TPrinterOrientation o) override { orientation_ = o; }
  int32_t GetDeviceCaps(TDeviceCap cap) const override;

  /// Sets the portrait resolution; false (nothing changed) unless 1 <= dpi <= kMaxDpi.
  bool SetResolution(int dpiX, int dpiY);
  int ResolutionX() const { return dpiX_; }
  int ResolutionY() const { return dpiY_; }

  /// Sets the paper; false (nothing changed) when a side is not within (0, 5000] mm,
  /// or when the current offsets would leave no printable area.
  bool SetPaper(const TPaperSize& paper);
  const TPaperSize& Paper() const { return paper_; }

  /// Sets the portrait printable-area offsets in device pixels; false (nothing changed)
  /// when one is negative or leaves no printable area on the current paper.
  bool SetOffsets(int offsetX, int offsetY);
  int OffsetX() const { return offsetX_; }
  int OffsetY() const { return offsetY_; }

  /// The paper's pixel size along one axis: the nearest even pixel count to mm x dpi / 25.4.
  static int32_t PaperPixels(double mm, int dpi);

 private:
  bool Fits(const TPaperSize& paper, int dpiX, int dpiY, int offsetX, int offsetY) const;

  int dpiX_ = 600;
  int dpiY_ = 600;
  TPaperSize paper_;
  int offsetX_ = 0;
  int offsetY_ = 0;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
};

}  // namespace zelk
