// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decorations around the frame: the page-number lines with their titles, and the eight
// free texts outside the frame.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"

namespace zelk {

/// Nothing unless PageNumber is set. Otherwise a clear brush, a solid pen of width
/// PenWidthX and PageNumberTitleFont on the canvas, then the lines measured from the
/// outer-line rectangle: in vertical writing only PN_UC counts (two lines above the
/// frame, symmetric about its centre, PageNumberSpace from it); in horizontal writing
/// PN_UC is ignored and each of the other eight flags draws one line, in the order UL,
/// UR, LU, LD, RU, RD, BL, BR. Lengths are whole millimetres on the horizontal axis.
void DrawPageNumberLines(const TPrintSetting& s, TCanvas& canvas);

/// Where DrawPageNumberLines puts each line's title, in its order; empty when it draws
/// none. Measures with the canvas font, which must be PageNumberTitleFont.
std::vector<TDevicePoint> PageNumberLinePoints(const TPrintSetting& s, TCanvas& canvas);

/// One page-number line of `length` units with `title` at its left end: the title at
/// (x, y), the line along the bottom of its text cell, th = the text height of "□"
/// below y, with the current pen. An empty title leaves only the line.
void DrawTitleLine(TCanvas& canvas, int32_t x, int32_t y, const std::u16string& title,
                   int32_t length);

/// Nothing unless CountMarks is 5 or 10. Otherwise the count of every CountMarks-th line
/// in small numerals outside the outer-line rectangle where the lines start: in vertical
/// writing above each such column, counted from the right; across left of each such row,
/// counted from the top. In the line colour, upright, each centred on its line's cells.
void DrawCountMarks(const TPrintSetting& s, TCanvas& canvas);

/// Nothing unless CountLines is 5 or 10. Otherwise a line twice the grid's pen width, in
/// the line colour, from one side of the frame to the other after every CountLines-th
/// line, counted as DrawCountMarks counts them; none on the frame or the fold band.
void DrawCountLines(const TPrintSetting& s, TCanvas& canvas);

/// Whether `every` is an interval that count marks and count lines take: 5 or 10.
constexpr bool IsCountInterval(int32_t every) { return every == 5 || every == 10; }

/// The eight texts outside the frame, aligned on the text rectangle (the frame grown by
/// 2w left, 4w right and 2h top and bottom when OuterLine is set) and OutsideTextSpace
/// away from it, in the order UL, LU, LD, BL, BR, RD, RU, UR. The four side texts are
/// vertical and may rename their settings fonts (see DrawOutsideText). Draws with the
/// brush as it is (clear in DrawSheet).
void DrawOutsideTexts(TPrintSetting& s, TCanvas& canvas);

/// One text outside the frame with its reference (x0, y0) and the alignment factors
/// `fx`, `fy` (0 or -1: how many of its own widths or heights it is moved back).
/// - An empty text draws nothing and leaves `font` and the canvas as they are.
/// - Horizontal: the font is copied to the canvas and the text drawn at
///   (x0 + fx x width, y0 + fy x height).
/// - Vertical: a font name without the "@" prefix is renamed in `font` itself (so the
///   settings keep the "@" name from then on); the font is copied to the canvas with
///   orientation 2700 and the text drawn at (x0 + fx x height, y0 + fy x width), width
///   and height measured unrotated. By the rotated-text rule it then occupies
///   x - height to x across.
void DrawOutsideText(TCanvas& canvas, int32_t x0, int32_t y0, bool vertical, TFont& font,
                     const std::u16string& text, int32_t fx, int32_t fy);

}  // namespace zelk
