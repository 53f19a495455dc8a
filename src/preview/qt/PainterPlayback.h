// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recorded pages replayed on a QPainter: the one drawing backend behind the preview,
// printing and the PDF, SVG and PNG exports.

#include <QPainter>
#include <QPen>
#include <QRect>
#include <QTransform>
#include <vector>

#include "preview/Metafile.h"
#include "sheet/Canvas.h"

namespace zelk {

/// Draws canvas operations on a QPainter with the conventions the sheet drawing relies
/// on (those of Windows GDI), in the painter's current coordinates, one unit being one
/// device unit of the recording printer.
///
/// - A device point (x, y) is the pixel whose area is [x, x + 1) × [y, y + 1); lines
///   and outlines run through pixel centres.
/// - Pen: width 0 or 1 is the thinnest (cosmetic) line of the target device; wider pens
///   have round ends and joins. Dotted is Qt::DotLine. Colours come from TColor.
/// - Line: from the first point to the second; the end point itself is not painted.
/// - Rectangle and Ellipse take (x1, y1, x2, y2) with x2 and y2 excluded: the outline
///   of a thin pen covers x1 to x2 − 1; the brush fills the inside unless it is clear.
/// - FillRect covers left to right − 1 and top to bottom − 1, with the brush only.
/// - Text: (x, y) is the top-left corner of the text's cell in its own direction. A
///   solid brush paints the cell behind the text, a clear one leaves it. Orientation
///   2700 with a face marked "@" is set in vertical writing (VerticalText.h); any other
///   orientation turns the horizontal text counter-clockwise by that many tenths of a
///   degree. Either way a text at 2700 placed at x occupies x − text height to x.
///
/// A round dot (an ellipse as wide as high whose pen is solid and of the brush's
/// colour) is drawn as one point of a round-capped pen of the same diameter (a
/// zero-length round-capped line): the same pixels, at a fraction of the cost on every
/// paint engine. Where the dot comes out at most three target pixels across on an
/// aliased raster (a reduced preview), its square is filled instead: an aliased disk
/// that small covers the same pixels. Antialiased, a dot at most two target pixels
/// across is filled as the square of the same area, which looks the same. The drawer
/// reads the painter's transform and antialiasing for this when it is made or
/// SetAntialiasing is called; set the transform first.
///
/// On vector devices (PDF, SVG) the whole drawing moves up and left by half a device
/// pixel, so that the pixel centres where lines and dots lie are whole numbers: the
/// files come out markedly smaller, and half a printer dot is invisible on paper.
///
/// Antialiasing of shapes is off unless SetAntialiasing is called (the printer's
/// output is aliased; text is always antialiased).
class TPainterDrawer {
 public:
  /// `resX`/`resY` are the recording printer's resolutions; fonts keep their point size
  /// at them, and glyphs keep their shape on a device whose resolutions differ.
  TPainterDrawer(QPainter& painter, int32_t resX, int32_t resY);

  void SetAntialiasing(bool on);

  void Line(const TPen& pen, TDevicePoint from, TDevicePoint to);
  void Rectangle(const TPen& pen, const TBrush& brush, const TDeviceRect& r);
  void FillRect(const TBrush& brush, const TDeviceRect& r);
  void Ellipse(const TPen& pen, const TBrush& brush, const TDeviceRect& r);
  void Polygon(const TPen& pen, const TBrush& brush, const std::vector<TDevicePoint>& points);
  void Text(const TBrush& brush, TDevicePoint at, const TRecordedText& text);
  /// Paints the small dots that drawing on a raster gathers (see Ellipse). Every
  /// other drawing call paints them first, to keep the order of the page; the owner
  /// calls it when it has no more to draw, and the destructor does too.
  void Flush();
  ~TPainterDrawer() { Flush(); }
  TPainterDrawer(const TPainterDrawer&) = delete;
  TPainterDrawer& operator=(const TPainterDrawer&) = delete;

 private:
  void UpdateSquareDotLimit();
  qreal Centre(int32_t v) const;
  QPointF CentreOf(TDevicePoint p) const;
  void UsePen(const TPen& pen);
  void UseDotPen(TColor color, int32_t diameter);
  void UseBrush(const TBrush& brush);

  QPainter& painter_;
  int32_t resX_;
  int32_t resY_;
  // Where a pixel's centre and its top-left edge lie relative to its integer
  // coordinate, and the extra shift of thin lines (whose pixels Qt's aliased raster
  // already picks from integer coordinates).
  bool raster_ = true;
  qreal centre_ = 0.5;
  qreal edge_ = 0.0;
  qreal thinOffset_ = 0;
  bool dotsAsLines_ = false;
  qreal squareDotLimit_ = 2;  ///< device units; smaller round dots are drawn as squares
  qreal squareDotSide_ = 1;   ///< the square's side as a part of the dot's diameter
  // What was last handed to the painter, so that an unchanged pen or brush is not set
  // again for each of many thousand dots.
  enum class TPenMode { None, Normal, Dot };
  TPenMode penMode_ = TPenMode::None;
  TPen pen_;
  int32_t dotDiameter_ = 0;
  bool brushSet_ = false;
  TBrush brush_;
  // Antialiased on a raster, a filled rectangle goes through a general path of its own,
  // where a drawn one without a pen takes the raster's quick way for rectangles;
  // consecutive dots of one colour are gathered and drawn in one call.
  bool gatherDots_ = false;
  std::vector<QRectF> dots_;
  TColor dotsColor_{};
  // Aliased on an image under a scaling transform, a dot's pixels are worked out here as
  // the raster engine works out a filled rectangle's, and gathered to be filled at once
  // without a transform.
  bool gatherPixels_ = false;
  QTransform toPixels_;
  std::vector<QRect> pixels_;
};

/// A QPainter as the target of TMetafileEx::Draw. The painter must be active for the
/// life of the object.
///
/// Play maps the page's natural size (HorzRes × VertRes device units, which its frame
/// of FrameWidth × FrameHeight 0.01 mm stands for) onto `dest`, given in the painter's
/// coordinates with Right and Bottom excluded, and replays every recorded op in order
/// with the pen, brush and font recorded for it. The painter's state (transform, pen,
/// brush, font, hints) is as it was afterwards. A page without size draws nothing.
///
/// The clipping region: SaveAndRemoveClip saves the painter's state and turns clipping
/// off; RestoreClip restores that state, clipping included.
class TPainterPlayback : public TPlaybackTarget {
 public:
  explicit TPainterPlayback(QPainter& painter) : painter_(painter) {}

  /// Antialiased shapes (for images shown or saved at a reduced resolution).
  void SetAntialiasing(bool on) { antialiasing_ = on; }
  /// Replays only the shapes that can reach `rect`, in the painter's device coordinates
  /// (a widget's exposed rectangle); texts are always replayed. A null rectangle, the
  /// default, replays everything. Inside `rect` the result is the same as a full
  /// replay; outside it, shapes may be missing. Ignored under a rotating transform.
  void SetVisibleRect(const QRectF& rect) { visible_ = rect; }
  /// Replays only the ops of `range` (ends beyond the last op stand for the last).
  void SetOpRange(TOpRange range) { range_ = range; }

  bool HasClip() const override { return painter_.hasClipping(); }
  void SaveAndRemoveClip() override;
  void RestoreClip() override;
  void Play(const TMetafileEx& page, const TDeviceRect& dest) override;

 private:
  QPainter& painter_;
  bool antialiasing_ = false;
  QRectF visible_;
  TOpRange range_;
  int saved_ = 0;
};

/// The whole replay in one call: page.Draw through a TPainterPlayback, limited to
/// `visible` when it is not null (see TPainterPlayback::SetVisibleRect), of the ops in
/// `range`.
void DrawPage(QPainter& painter, const TMetafileEx& page, const TDeviceRect& dest,
              bool antialiasing = false, const QRectF& visible = QRectF(),
              TOpRange range = TOpRange());

}  // namespace zelk
