// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text measured with the installed fonts, as the page recorder needs it.

#include "sheet/Canvas.h"

namespace zelk {

/// Measures text with the real font at the device's resolution: the font keeps its point
/// size (ToQFont), so the extent grows in proportion to the resolution.
///
/// A horizontal face gives the horizontal advance of the text as the width and the
/// font's ascent + descent as the height; a width at a horizontal resolution other than
/// the vertical one is scaled by resX / resY, as the glyphs are drawn on such a device.
///
/// A face with the vertical mark "@" is set in vertical writing whenever it is drawn, so
/// it is measured as it is drawn (VerticalText.h): the width is the length down the
/// column, in vertical device units, and the height the column's width, the font's
/// ascent + descent in horizontal units. For a square resolution both agree with the
/// horizontal measure of a full-width text.
///
/// Values are rounded to whole device units. Texts with no extent (empty) have width 0
/// and the font's height. Never throws.
class TQtTextMeasurer : public TTextMeasurer {
 public:
  TTextExtent Measure(const TFont& font, const std::u16string& text, int32_t resX,
                      int32_t resY) const override;
};

}  // namespace zelk
