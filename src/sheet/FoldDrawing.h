// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What belongs to the fold band: its two edge lines, the two fish-tail marks (魚尾) in
// it and the two captions written along it. All three draw nothing without a band
// (HasFoldBand false).

#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"
#include "sheet/GridDrawing.h"

namespace zelk {

/// The two lines along the band's edges in the shape OrimeLineType, with the grid's
/// LineWidth: one edge descriptor as long as the grid along the band (its length passes
/// through millimetres, so it may end a unit short), drawn from each edge of the band.
/// Sets a solid black brush first; shapes 1 and 4 use the pen the grid left behind.
void DrawFoldLines(const TPrintSetting& s, TCanvas& canvas);

/// The centre caption, then the bottom caption, each in its own font, centred across
/// the band. In vertical writing the canvas font (not the settings font) gets the "@"
/// prefix unless it has one, and orientation 2700. Along the band the centre caption is
/// centred on the grid, or starts at 5/20 of it when Gyobi > 0; the bottom caption ends
/// two frame-pen widths before the grid's far end. An empty caption is not drawn, but
/// its font is still set on the canvas. Draws with the brush as it is (clear in
/// DrawSheet).
void DrawCaptions(const TPrintSetting& s, TCanvas& canvas);

/// The fish-tail marks: Gyobi 1 ("4:10:6a") a mark at 4/20 of the band facing forward
/// and one at 14/20 facing backward; Gyobi 2 ("4:10:6b") the second one a bar mark.
/// Sets a solid black brush; each mark sets its own pen width (1/27 of the band width,
/// so 0 for a band narrower than 27 units). Gyobi 0 or an unknown value draws no mark.
void DrawGyobi(const TPrintSetting& s, TCanvas& canvas);

}  // namespace zelk
