// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sheet geometry: paper, margins and cell counts in millimetres turned into the integer
// device-unit layout that every drawing step uses.
//
// Device units are printer dots, x to the right and y down, with (0, 0) at the top-left
// of the printable area. Every integer division truncates toward zero. Any millimetre
// value, however large, converts without undefined behaviour: device values saturate
// to the int32 range, and every sum or product of device values is formed in 64 bits
// and saturated before it is stored.

#include <cstdint>
#include <string>

#include "base/Cell.h"
#include "base/DeviceGeometry.h"
#include "base/PrinterGeometry.h"

namespace zelk {

class TPrintSetting;

/// Saturates a 64-bit value to the int32 range.
int32_t SaturateInt32(int64_t v);

/// Millimetres to device units with `LogPixelsX` when `horizontal`, else `LogPixelsY`:
/// resolution x mm x (1 / 25.4), each step rounded to the 64-bit significand of an
/// x87 extended float, then truncated toward zero. So 279.4 mm at 600 dpi gives 6599,
/// one short of the decimal 6600, because the double nearest 279.4 lies below it.
/// Values beyond int32 saturate; NaN gives 0.
int32_t MmToDevice(const TPrinterInfo& info, double mm, bool horizontal);

/// Device units to millimetres: units / resolution x 25.4 in extended precision,
/// rounded to a double. A resolution of 0 or less gives 0.
double DeviceToMm(const TPrinterInfo& info, int32_t units, bool horizontal);

/// The text read as decimal millimetres ("." as the decimal point) and converted by
/// MmToDevice; when the text is not a number, `fallbackMm` is converted instead. Never
/// throws.
int32_t MmTextToDevice(const std::u16string& text, const TPrinterInfo& info, bool horizontal,
                       double fallbackMm);

/// Fills AreaWidth, AreaHeight, OriginX and OriginY from the six length texts, each
/// converted along its axis with its fallback (paper 203.2 x 279.4 mm, each margin its
/// field's designed value: top and bottom 12 mm, left and right 15 mm). Never throws.
void ComputeArea(TPrintSetting& s, const std::u16string& paperWidth,
                 const std::u16string& paperHeight, const std::u16string& top,
                 const std::u16string& left, const std::u16string& bottom,
                 const std::u16string& right);

/// Fills PenWidthX and PenWidthY from the line-width text (fallback 0.2 mm), at least 2.
void ComputePenWidths(TPrintSetting& s, const std::u16string& lineWidth);

/// Fills HalfYoko, HalfTate, FoldX, FoldY, CellSize, PitchX, PitchY and all of Cell from
/// the settings, the area values and PrinterInfo. ComputeArea and ComputePenWidths must
/// have run for the current settings.
///
/// Counts below 1 can only come from a file; they are treated as 1 in every division,
/// so no count divides by zero. The stored counts are not changed.
void ComputeLayout(TPrintSetting& s);

/// Fills the device members of one edge from its Width and LineWidth and the unit
/// direction (dirX, dirY), each -1, 0 or 1.
void DeriveEdge(TCellWidth& edge, const TPrinterInfo& info, int dirX, int dirY);

/// Top-left corner of the cell unit in column i and row j (0-based): the band is added
/// once, after column HalfYoko - 1 (or row HalfTate - 1).
TDevicePoint UnitPosition(const TPrintSetting& s, int32_t column, int32_t row);

/// The square cell of the unit in column i and row j (0-based) as the grid draws it,
/// Right and Bottom on its far lines: beside its gap strip, which lies right of it in
/// vertical writing and above it across. The cell edges must be prepared (DrawSheet).
TDeviceRect CellRect(const TPrintSetting& s, int32_t column, int32_t row);

/// The frame rectangle. With dotted shapes (LineType 3 or 4) its top-left moves by half
/// the pen width right and down, so the frame runs through the dots' centres.
TDeviceRect FrameRect(const TPrintSetting& s);

/// The outer line's width along each axis: MmToDevice(OuterLineWidth) with the horizontal
/// and the vertical resolution.
TDevicePoint OuterLineWidths(const TPrintSetting& s);

/// The frame rectangle grown by 2w left and right and 2h top and bottom when OuterLine is
/// set (w, h the outer line widths); else the frame rectangle. The page-number lines
/// measure from it.
TDeviceRect OuterLineRect(const TPrintSetting& s);

/// As OuterLineRect but grown by 4w on the right: where the texts outside the frame align.
TDeviceRect TextRect(const TPrintSetting& s);

}  // namespace zelk
