// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stored RGB colour as Qt's colour. Which colour a system-colour reference stands for
// depends on where it is shown: PaperColor (FontMapping.h) for pages, ThemeColor
// (controls/qt/SystemColors.h) for the controls on screen.

#include <QColor>

#include "base/Color.h"

namespace zelk {

/// The RGB part of `color` (red in the low byte); the top byte is ignored.
inline QColor RgbOf(TColor color) {
  const auto bits = static_cast<uint32_t>(color);
  return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                static_cast<int>((bits >> 16) & 0xFFu));
}

}  // namespace zelk
