// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where the Windows system colour numbers that settings and controls
// carry (0xFF0000nn) meet Qt: each number stands for a palette role of the widget's
// palette, so the controls follow the desktop's theme.

#include <QColor>
#include <QPalette>
#include <QRect>

#include "base/Color.h"
#include "preview/qt/QtColor.h"

class QPainter;

namespace zelk {

/// The palette group and role that stand for system colour `index`. Unknown numbers
/// give the window background (Active, Window).
struct TPaletteEntry {
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};
TPaletteEntry PaletteEntryOf(int index);

/// A colour as QColor: a system colour reference through `palette`, otherwise the RGB
/// value (red in the low byte, blue in the third).
QColor ThemeColor(TColor color, const QPalette& palette);

/// The same colour as an opaque RGB TColor (system colours resolved through `palette`).
TColor ToRgbColor(TColor color, const QPalette& palette);

/// Draws `rings` one-pixel rings inside `rect`, outermost first. Ring 0 takes
/// `outerTopLeft` on its top and left edges (with the top-left corner) and
/// `outerBottomRight` on the bottom and right edges (with the other three corners);
/// the inner rings take `innerTopLeft` and `innerBottomRight` the same way.
void DrawBevelRings(QPainter& painter, const QRect& rect, int rings, const QColor& outerTopLeft,
                    const QColor& outerBottomRight, const QColor& innerTopLeft,
                    const QColor& innerBottomRight);

/// The sunken two-pixel client edge of Windows: button shadow and highlight outside,
/// dark shadow and 3-D light inside.
void DrawSunkenEdge(QPainter& painter, const QRect& rect, const QPalette& palette);

}  // namespace zelk
