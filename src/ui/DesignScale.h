// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows are designed in pixels for a 96-dpi screen with an 8-point Tahoma; this is
// how those pixels become the pixels of the screen and font in use.

#include <QFont>
#include <QRect>

class QWidget;

namespace zelk {

/// A factor from designed pixels to the pixels of this screen and font. It is the
/// screen's logical dpi over 96, raised further when the window font's line is taller
/// than the 13 pixels of the designed font at that dpi, so that no caption is clipped.
class TDesignScale {
 public:
  /// The identity: designed pixels are screen pixels.
  TDesignScale() = default;
  /// A fixed factor; values below 0.1 are taken as 0.1.
  explicit TDesignScale(double factor) : factor_(factor < 0.1 ? 0.1 : factor) {}
  /// The factor for `font` on a screen of `logicalDpi` (96 when 0 or less).
  static TDesignScale For(const QFont& font, int logicalDpi);

  double Factor() const { return factor_; }
  /// A designed length on this screen, rounded to the nearest pixel.
  int operator()(int designed) const;
  /// A designed rectangle (left, top, width, height) on this screen. The right and
  /// bottom edges are scaled as positions, so that designed rectangles that touch
  /// still touch.
  QRect Rect(int left, int top, int width, int height) const;

 private:
  double factor_ = 1.0;
};

/// The font of the windows: the main window font (Tahoma, 8 points) as installed here,
/// at the screen's logical dpi (96 when 0 or less).
QFont WindowFont(int logicalDpi);

/// Makes the windows' glyphs (:/ui/icons/...) available. A static library's resources
/// are only linked in when something refers to them; the windows call this first.
/// Idempotent.
void InitUiResources();

/// The logical dpi of the primary screen, 96 without one.
int ScreenLogicalDpi();

}  // namespace zelk
