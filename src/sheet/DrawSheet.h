// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One complete manuscript sheet drawn on a canvas: the grid, the fold lines, the frame
// and outer line, the page-number lines, the texts outside the frame and, with a fold
// band, the captions and fish-tail marks.

#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"

namespace zelk {

/// The largest cell count down or across that the grid loop walks. The settings offer
/// 1..40 and PrepareForDrawing holds the counts there; a raw count from a file beyond it
/// draws only the first kMaxGridCount columns or rows, so that no count can make a
/// drawing run for hours. A count below 1 draws no units.
constexpr int32_t kMaxGridCount = 40;

/// Draws one sheet from the settings as they are. Returns false, with nothing drawn and
/// the layout not computed, when `canvas` is null; otherwise true after drawing.
///
/// The settings must be prepared for drawing (area values, pen widths and PrinterInfo
/// current, see PrepareForDrawing in form/FormTransfer.h). DrawSheet runs ComputeLayout itself,
/// sets the DrawType of each edge of `Cell`, and may rename the fonts of the four side texts to
/// their "@" form (see DrawOutsideText). The canvas is expected in its page state: a
/// solid black pen of width 1, a solid brush, the font the caller set. The grid, the
/// page-number lines and the count marks are drawn in LineColor, the frame in FrameColor,
/// the fold band's lines and marks in FoldColor; texts in their fonts' colours.
/// Afterwards the pen is black, the brush clear and white without a fold band, and solid
/// in FoldColor (the marks') with one.
///
/// Dots that lie wholly outside the printable area (0, 0)-(HorzRes, VertRes) of
/// `PrinterInfo` are not drawn (see DrawEdge), so any paper size and line width records
/// in bounded time and memory.
bool DrawSheet(TPrintSetting& s, TCanvas* canvas);

/// The frame rectangle with a clear brush and a solid pen of width PenWidthX, then, when
/// OuterLine is set, the outer line two of its widths outside it with a pen as wide as
/// its horizontal width. Leaves the brush clear and the pen solid at the last width used.
void DrawFrame(const TPrintSetting& s, TCanvas& canvas);

}  // namespace zelk
