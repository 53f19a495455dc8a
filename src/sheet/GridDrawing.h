// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inside of the cell grid: which edges of each cell unit are drawn, the walk over
// the seven edges from the unit's top-left corner, and the five line shapes.

#include <cstdint>

#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"

namespace zelk {

/// The printable area of the settings' printer, (0, 0)-(HorzRes, VertRes) of
/// PrinterInfo: what can reach the paper.
TDeviceRect PrintableArea(const TPrintSetting& s);

/// True when the settings have a fold band: `Orime` 1 (one unit wide) or 2 (OrimeWidth
/// wide). Any other value, 0 or an unknown mode from a file, has none.
bool HasFoldBand(const TPrintSetting& s);

/// Sets DrawType of the seven edges of `s.Cell` for the unit at `column`, `row` (both
/// 0-based): each edge takes its LineType, except the edges that the frame, a fold line
/// or a neighbouring unit draws, which get 0. CellInner, the line between cell and gap
/// strip, is always drawn, also when the strip is empty and it lies on the neighbour's
/// line. Uses the counts held in `s.Cell` and `s.Orime`.
void PrepareCell(TPrintSetting& s, int32_t column, int32_t row);

/// Draws the unit whose top-left corner is (x, y), walking its seven edges in the fixed
/// order of the writing direction; PrepareCell must have run for this unit. Dots outside
/// PrintableArea(s) are not drawn (see DrawEdge).
void DrawCellUnit(const TPrintSetting& s, TCanvas& canvas, int32_t x, int32_t y);

/// Draws one edge from `point` in the shape of its DrawType and moves `point` to the
/// edge's end, (StepX, StepY) further, whether anything was drawn or not. The pen is
/// moved to the start first.
///
/// - 0: nothing. 1: clear brush, dotted pen (width and colour as they are), one line.
///   2: solid pen of width DotWidth, one line. 3: filled squares (FillRect with the
///   current brush). 4: ellipses outlined with the current pen, filled with the brush.
/// - Dots: DotCountX dots at k x (DotPitchX, DotPitchY) from the start, then DotCountY
///   dots at the same steps from the start again. For an edge along x the second row is
///   one more dot on the start dot; for an edge along y the first row is the single dot
///   at the start and the second lays the row, so the start dot is drawn twice either
///   way. Each dot is DotWidth x DotHeight and hangs right of and below its point.
///
/// A dot whose rectangle (for an ellipse grown by half the pen width, its outline) lies
/// wholly outside `printable` cannot reach the paper and is not drawn. The range of dots
/// that can is computed directly, so a row of a million dots off the paper costs nothing.
/// Lines are always drawn.
void DrawEdge(const TCellWidth& edge, TCanvas& canvas, TDevicePoint& point,
              const TDeviceRect& printable);

}  // namespace zelk
