// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/qt/SystemColors.h"

#include <QPainter>

#include "controls/SaNumEditModel.h"

namespace zelk {

TPaletteEntry PaletteEntryOf(int index) {
  switch (index) {
    case 0:  // scroll bar
    case kColorBtnFace:
      return {QPalette::Active, QPalette::Button};
    case 1:  // desktop
    case 4:  // menu
    case 3:  // inactive caption
      return {QPalette::Active, QPalette::Window};
    case 2:   // active caption
    case 26:  // hot-tracked item
      return {QPalette::Active, QPalette::Highlight};
    case kColorWindow:
      return {QPalette::Active, QPalette::Base};
    case kColorWindowFrame:
      return {QPalette::Active, QPalette::Shadow};
    case 7:  // menu text
    case 9:  // caption text
      return {QPalette::Active, QPalette::WindowText};
    case kColorWindowText:
      return {QPalette::Active, QPalette::Text};
    case kColorHighlight:
      return {QPalette::Active, QPalette::Highlight};
    case kColorHighlightText:
      return {QPalette::Active, QPalette::HighlightedText};
    case kColorBtnShadow:
      return {QPalette::Active, QPalette::Dark};
    case kColorGrayText:
      return {QPalette::Disabled, QPalette::Text};
    case kColorBtnText:
      return {QPalette::Active, QPalette::ButtonText};
    case 19:  // inactive caption text
      return {QPalette::Disabled, QPalette::WindowText};
    case kColorBtnHighlight:
      return {QPalette::Active, QPalette::Light};
    case kColor3DDkShadow:
      return {QPalette::Active, QPalette::Shadow};
    case kColor3DLight:
      return {QPalette::Active, QPalette::Midlight};
    case 23:  // tooltip text
      return {QPalette::Active, QPalette::ToolTipText};
    case 24:  // tooltip background
      return {QPalette::Active, QPalette::ToolTipBase};
    default:
      return {QPalette::Active, QPalette::Window};
  }
}

QColor ThemeColor(TColor color, const QPalette& palette) {
  if (IsSystemColor(color)) {
    const TPaletteEntry e = PaletteEntryOf(SystemColorIndex(color));
    return palette.color(e.Group, e.Role);
  }
  return RgbOf(color);
}

TColor ToRgbColor(TColor color, const QPalette& palette) {
  const QColor c = ThemeColor(color, palette);
  return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

void DrawBevelRings(QPainter& painter, const QRect& rect, int rings, const QColor& outerTopLeft,
                    const QColor& outerBottomRight, const QColor& innerTopLeft,
                    const QColor& innerBottomRight) {
  painter.save();
  painter.setPen(Qt::NoPen);
  for (int j = 0; j < rings; ++j) {
    const int l = rect.left() + j, t = rect.top() + j;
    const int r = rect.right() - j, b = rect.bottom() - j;
    if (r < l || b < t) break;
    const QColor& tl = j == 0 ? outerTopLeft : innerTopLeft;
    const QColor& br = j == 0 ? outerBottomRight : innerBottomRight;
    // Bottom and right edges first, then top and left over them: the top-left corner
    // keeps the top-left colour, the other three corners the bottom-right one.
    painter.fillRect(QRect(QPoint(l, b), QPoint(r, b)), br);
    painter.fillRect(QRect(QPoint(r, t), QPoint(r, b)), br);
    painter.fillRect(QRect(QPoint(l, t), QPoint(r - 1, t)), tl);
    painter.fillRect(QRect(QPoint(l, t), QPoint(l, b - 1)), tl);
  }
  painter.restore();
}

void DrawSunkenEdge(QPainter& painter, const QRect& rect, const QPalette& palette) {
  DrawBevelRings(painter, rect, 2, ThemeColor(SystemColor(kColorBtnShadow), palette),
                 ThemeColor(SystemColor(kColorBtnHighlight), palette),
                 ThemeColor(SystemColor(kColor3DDkShadow), palette),
                 ThemeColor(SystemColor(kColor3DLight), palette));
}

}  // namespace zelk
