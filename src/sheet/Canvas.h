// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing surface of the sheet drawing. Coordinates are printer device units with
// (0, 0) at the top-left of the printable area.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Font.h"
#include "sheet/Geometry.h"

namespace zelk {

enum class TPenStyle { psSolid, psDot };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
  int32_t Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  TColor Color = kBlack;
  bool operator==(const TPen& o) const {
    return Width == o.Width && Style == o.Style && Color == o.Color;
  }
};

struct TBrush {
  TBrushStyle Style = TBrushStyle::bsSolid;
  TColor Color = kWhite;
  bool operator==(const TBrush& o) const { return Style == o.Style && Color == o.Color; }
};

struct TTextExtent {
  int32_t Width = 0;   ///< along the text
  int32_t Height = 0;  ///< across the text
};

/// Measures text with real fonts. The Qt layer supplies it; core tests use fixed metrics.
class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  /// The extent of `text` in `font` (its point size; the face name as the drawing set
  /// it, "@" included) on a device of the given resolutions, measured unrotated.
  virtual TTextExtent Measure(const TFont& font, const std::u16string& text, int32_t resX,
                              int32_t resY) const = 0;
};

/// The canvas the drawing Parts draw through. The state is plain data that the drawing
/// sets directly; the operations are virtual.
///
/// - Pen: width, style, colour, and a current position for LineTo.
/// - Brush: style and colour. A clear brush leaves shapes unfilled and text without a
///   background.
/// - Font: a copy of a settings font (name, size in points, style, colour, character
///   set) plus `FontOrientation` in tenths of a degree. A copied font keeps its point
///   size, so text has the same physical size at any resolution.
///
/// Rotated text: with orientation 2700 the text advances downward from (x, y), and its
/// cell extends leftward from x by the text height: placed at x it occupies
/// x - height to x.
class TCanvas {
 public:
  virtual ~TCanvas() = default;

  TPen Pen;
  TBrush Brush;
  TFont Font;
  int32_t FontOrientation = 0;
  TDevicePoint PenPos;
  /// Where drawn text can show at all, in device units (the paper); unset when not
  /// known. See TextOutOnPaper.
  std::optional<TDeviceRect> PaperBounds;

  /// Copies a settings font to the canvas: name, size, style, colour, character set.
  /// The orientation goes back to 0.
  void AssignFont(const TFont& font);

  void MoveTo(int32_t x, int32_t y) { PenPos = {x, y}; }
  /// A line from the pen position to (x, y), which becomes the pen position. The end
  /// point itself is not painted.
  void LineTo(int32_t x, int32_t y);

  /// Outline with the pen, filled with the brush unless it is clear.
  virtual void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  /// Filled with the brush, no outline; right and bottom edges excluded.
  virtual void FillRect(const TDeviceRect& rect) = 0;
  /// Inscribed in the rectangle: outline with the pen, filled with the brush.
  virtual void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  /// Closed outline with the pen, filled with the brush.
  virtual void Polygon(const std::vector<TDevicePoint>& points) = 0;
  /// The text with the current font; (x, y) is the top-left corner of the text's cell in
  /// the text's own direction.
  virtual void TextOut(int32_t x, int32_t y, const std::u16string& text) = 0;
  /// TextOut of the part of `text` that can land on the paper: a text that runs past
  /// PaperBounds along its direction (orientation 0 across, 2700 down) loses the
  /// characters wholly outside, and the rest stays where it was. What no printout can
  /// show then costs nothing to record, replay or export, however long the text. A text
  /// of at most 256 units, one within the bounds, another orientation, or no bounds:
  /// TextOut as it is.
  void TextOutOnPaper(int32_t x, int32_t y, const std::u16string& text);
  /// The extent of the text in the current font, measured unrotated.
  virtual int32_t TextWidth(const std::u16string& text) = 0;
  virtual int32_t TextHeight(const std::u16string& text) = 0;

 protected:
  /// Draws the line of LineTo; the pen position has not moved yet.
  virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
};

}  // namespace zelk
