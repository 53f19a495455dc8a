// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/PainterPlayback.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPaintEngine>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "preview/qt/FontMapping.h"
#include "preview/qt/VectorPage.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

TDeviceRect Normalized(const TDeviceRect& r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
          std::max(r.Top, r.Bottom)};
}

// The widest pen Qt takes; a wider one silently becomes a pen of width 1.
constexpr int32_t kMaxQtPenWidth = 32767;

int64_t Extent(int32_t from, int32_t to) { return static_cast<int64_t>(to) - from; }

// Restores the painter however the replay ends.
class TPainterStateGuard {
 public:
  explicit TPainterStateGuard(QPainter& p) : p_(p) { p_.save(); }
  ~TPainterStateGuard() { p_.restore(); }
  TPainterStateGuard(const TPainterStateGuard&) = delete;
  TPainterStateGuard& operator=(const TPainterStateGuard&) = delete;

 private:
  QPainter& p_;
};

// The part of a page that a replay limited to a visible rectangle must still draw, in
// page units, widened by two device pixels for antialiasing and cosmetic pens.
class TCullRect {
 public:
  TCullRect(const QRectF& pageRect, qreal slack)
      : left_(pageRect.left() - slack),
        top_(pageRect.top() - slack),
        right_(pageRect.right() + slack),
        bottom_(pageRect.bottom() + slack) {}

  // Whether the shape of `op` can paint inside. Its box is grown by the whole pen
  // width, more than a cap or an outline reaches.
  bool Reaches(const TMetafileEx& page, const TRecordedOp& op) const {
    int64_t x1, y1, x2, y2;
    if (op.Kind == TOpKind::Text) return true;
    if (op.Kind == TOpKind::Polygon) {
      if (op.Index < 0 || op.Index >= static_cast<int64_t>(page.Polygons.size())) return false;
      const std::vector<TDevicePoint>& points = page.Polygons[op.Index];
      if (points.empty()) return false;
      x1 = x2 = points.front().X;
      y1 = y2 = points.front().Y;
      for (const TDevicePoint& p : points) {
        x1 = std::min<int64_t>(x1, p.X), x2 = std::max<int64_t>(x2, p.X);
        y1 = std::min<int64_t>(y1, p.Y), y2 = std::max<int64_t>(y2, p.Y);
      }
    } else {
      x1 = std::min(op.P1.X, op.P2.X), x2 = std::max(op.P1.X, op.P2.X);
      y1 = std::min(op.P1.Y, op.P2.Y), y2 = std::max(op.P1.Y, op.P2.Y);
    }
    const int64_t grow = op.Kind == TOpKind::FillRect ? 1 : int64_t{std::max(op.Pen.Width, 1)} + 1;
    return x1 - grow <= right_ && x2 + grow >= left_ && y1 - grow <= bottom_ && y2 + grow >= top_;
  }

 private:
  qreal left_, top_, right_, bottom_;
};

}  // namespace

TPainterDrawer::TPainterDrawer(QPainter& painter, int32_t resX, int32_t resY)
    : painter_(painter), resX_(resX > 0 ? resX : 1), resY_(resY > 0 ? resY : resX_) {
  const QPaintEngine* engine = painter_.paintEngine();
  const bool vector =
      engine &&
      (engine->type() == QPaintEngine::Pdf || engine->type() == QPaintEngine::SVG ||
       engine->type() == QPaintEngine::Picture || engine->type() == kVectorPageEngineType);
  if (vector) {
    // A vector page has no pixels of its own: the whole page moves by half a device
    // pixel (a fiftieth of a millimetre at 600 dpi) so that pixel centres, where lines
    // and dots lie, get whole-number coordinates, which the file writes shortest.
    raster_ = false;
    centre_ = 0.0;
    edge_ = -0.5;
    dotsAsLines_ = engine->type() == QPaintEngine::Pdf || engine->type() == kVectorPageEngineType;
  }
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  UpdateSquareDotLimit();
}

void TPainterDrawer::UpdateSquareDotLimit() {
  const QTransform& t = painter_.worldTransform();
  const qreal scale = std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
  const bool antialiased = painter_.testRenderHint(QPainter::Antialiasing);
  const bool reduced = raster_ && scale > 0 && t.isScaling() && !t.isRotating();
  // Two device units always: a disk of one or two pixels is a square on any device.
  squareDotLimit_ = 2;
  squareDotSide_ = 1;
  if (reduced && !antialiased) {
    // Aliased, a disk up to three target pixels across covers the same pixels as its
    // square.
    squareDotLimit_ = std::max<qreal>(2, 3 / scale);
  } else if (raster_ && antialiased) {
    // Antialiased, a disk up to two target pixels across looks the same as the square
    // of the same area, whose side is sqrt(pi) / 2 of the diameter.
    squareDotSide_ = std::sqrt(M_PI) / 2;
    if (reduced) squareDotLimit_ = std::max<qreal>(2, 2 / scale);
  }
}

qreal TPainterDrawer::Centre(int32_t v) const { return v + centre_; }

QPointF TPainterDrawer::CentreOf(TDevicePoint p) const { return QPointF(Centre(p.X), Centre(p.Y)); }

void TPainterDrawer::SetAntialiasing(bool on) {
  Flush();
  painter_.setRenderHint(QPainter::Antialiasing, on);
  if (raster_) thinOffset_ = on ? 0.5 : 0.0;
  gatherDots_ = raster_ && on;
  const QPaintDevice* device = painter_.device();
  toPixels_ = painter_.combinedTransform();
  gatherPixels_ = raster_ && !on && painter_.paintEngine() &&
                  painter_.paintEngine()->type() == QPaintEngine::Raster && device &&
                  device->devicePixelRatio() == 1 && !painter_.viewTransformEnabled() &&
                  toPixels_.type() <= QTransform::TxScale;
  UpdateSquareDotLimit();
}

void TPainterDrawer::Flush() {
  if (!pixels_.empty()) {
    TPainterStateGuard guard(painter_);
    painter_.resetTransform();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(PaperColor(dotsColor_));
    painter_.drawRects(pixels_.data(), static_cast<int>(pixels_.size()));
    pixels_.clear();
    penMode_ = TPenMode::None;
    brushSet_ = false;
  }
  if (dots_.empty()) return;
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(PaperColor(dotsColor_));
  painter_.drawRects(dots_.data(), static_cast<int>(dots_.size()));
  dots_.clear();
  penMode_ = TPenMode::None;
  brushSet_ = false;
}

void TPainterDrawer::UsePen(const TPen& pen) {
  if (penMode_ == TPenMode::Normal && pen_ == pen) return;
  QPen q(PaperColor(pen.Color));
  const bool thin = pen.Width <= 1;
  // A pen beyond Qt's limit (from a paper kilometres wide) is drawn at the limit, over
  // a metre on a 600 dpi printer, rather than falling back to a hairline.
  q.setWidthF(thin ? 0.0 : std::min(pen.Width, kMaxQtPenWidth));
  q.setCosmetic(thin);
  q.setStyle(pen.Style == TPenStyle::psDot ? Qt::DotLine : Qt::SolidLine);
  // A thin line keeps its last pixel unpainted with flat ends; a wide solid pen has
  // round ends and joins; a wide dotted one flat dots.
  q.setCapStyle(!thin && pen.Style == TPenStyle::psSolid ? Qt::RoundCap : Qt::FlatCap);
  q.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(q);
  penMode_ = TPenMode::Normal;
  pen_ = pen;
}

void TPainterDrawer::UseDotPen(TColor color, int32_t diameter) {
  if (penMode_ == TPenMode::Dot && pen_.Color == color && dotDiameter_ == diameter) return;
  QPen q(PaperColor(color), diameter, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter_.setPen(q);
  penMode_ = TPenMode::Dot;
  pen_.Color = color;
  dotDiameter_ = diameter;
}

void TPainterDrawer::UseBrush(const TBrush& brush) {
  if (brushSet_ && brush_ == brush) return;
  if (brush.Style == TBrushStyle::bsClear)
    painter_.setBrush(Qt::NoBrush);
  else
    painter_.setBrush(PaperColor(brush.Color));
  brushSet_ = true;
  brush_ = brush;
}

void TPainterDrawer::Line(const TPen& pen, TDevicePoint from, TDevicePoint to) {
  Flush();
  UsePen(pen);
  if (pen.Width > 1) {
    painter_.drawLine(CentreOf(from), CentreOf(to));
    return;
  }
  if (from == to) return;  // a thin line paints no end point
  // Qt's aliased thin lines run through the pixels their integer points name, and leave
  // out the pixel at the far end of the major axis, whichever point that is. A line
  // drawn toward smaller coordinates moves one pixel along that axis, so that it is its
  // own start point that is kept and its end point that is left out, as GDI does.
  qreal ox = thinOffset_, oy = thinOffset_;
  const int64_t dx = Extent(from.X, to.X), dy = Extent(from.Y, to.Y);
  if (raster_ && std::llabs(dx) >= std::llabs(dy) && dx < 0) ox += 1;
  if (raster_ && std::llabs(dx) < std::llabs(dy) && dy < 0) oy += 1;
  painter_.drawLine(QPointF(from.X + ox, from.Y + oy), QPointF(to.X + ox, to.Y + oy));
}

void TPainterDrawer::Rectangle(const TPen& pen, const TBrush& brush, const TDeviceRect& rect) {
  Flush();
  const TDeviceRect r = Normalized(rect);
  const int64_t w = Extent(r.Left, r.Right);
  const int64_t h = Extent(r.Top, r.Bottom);
  if (w <= 0 || h <= 0) return;
  UsePen(pen);
  UseBrush(brush);
  painter_.drawRect(QRectF(Centre(r.Left), Centre(r.Top), w - 1.0, h - 1.0));
}

void TPainterDrawer::FillRect(const TBrush& brush, const TDeviceRect& rect) {
  Flush();
  if (brush.Style == TBrushStyle::bsClear) return;
  const TDeviceRect r = Normalized(rect);
  const int64_t w = Extent(r.Left, r.Right);
  const int64_t h = Extent(r.Top, r.Bottom);
  if (w <= 0 || h <= 0) return;
  painter_.fillRect(
      QRectF(r.Left + edge_, r.Top + edge_, static_cast<qreal>(w), static_cast<qreal>(h)),
      PaperColor(brush.Color));
}

void TPainterDrawer::Ellipse(const TPen& pen, const TBrush& brush, const TDeviceRect& rect) {
  const TDeviceRect r = Normalized(rect);
  const int64_t w = Extent(r.Left, r.Right);
  const int64_t h = Extent(r.Top, r.Bottom);
  if (w <= 0 || h <= 0) return;
  const bool roundDot = w == h && brush.Style == TBrushStyle::bsSolid &&
                        pen.Style == TPenStyle::psSolid && pen.Color == brush.Color &&
                        w + std::max(pen.Width, 1) - 1 <= kMaxQtPenWidth;
  if (roundDot) {
    // The outline of a wider pen reaches (width - 1) / 2 beyond the inscribed circle.
    const int64_t diameter = w + std::max(pen.Width, 1) - 1;
    // Small dots are filled as squares, which the raster engine does many times faster
    // than it strokes a round point (see UpdateSquareDotLimit).
    if (diameter <= squareDotLimit_) {
      const qreal side = diameter * squareDotSide_;
      const qreal inset = (w - side) / 2;
      const QRectF square(r.Left + edge_ + inset, r.Top + edge_ + inset, side, side);
      if (gatherPixels_) {
        // The pixels whose centres the square covers, as the engine fills a rectangle.
        const QPoint a = toPixels_.map(square.topLeft()).toPoint();
        const QPoint b = toPixels_.map(square.bottomRight()).toPoint();
        if (a.x() == b.x() || a.y() == b.y()) return;
        if (!pixels_.empty() && dotsColor_ != brush.Color) Flush();
        pixels_.push_back(QRect::span(a, b).adjusted(0, 0, -1, -1));
        dotsColor_ = brush.Color;
        return;
      }
      if (gatherDots_) {
        if (!dots_.empty() && dotsColor_ != brush.Color) Flush();
        dots_.push_back(square);
        dotsColor_ = brush.Color;
        return;
      }
      painter_.fillRect(square, PaperColor(brush.Color));
      return;
    }
    Flush();
    UseDotPen(pen.Color, static_cast<int32_t>(diameter));
    const QPointF centre(r.Left + edge_ + w / 2.0, r.Top + edge_ + h / 2.0);
    // The raster engine draws nothing for a zero-length line, but a round point; the
    // PDF engine writes a point as a line of a thousandth, and a zero-length line with
    // round ends is a dot there.
    if (dotsAsLines_)
      painter_.drawLine(centre, centre);
    else
      painter_.drawPoint(centre);
    return;
  }
  Flush();
  UsePen(pen);
  UseBrush(brush);
  painter_.drawEllipse(QRectF(Centre(r.Left), Centre(r.Top), w - 1.0, h - 1.0));
}

void TPainterDrawer::Polygon(const TPen& pen, const TBrush& brush,
                             const std::vector<TDevicePoint>& points) {
  Flush();
  if (points.empty()) return;
  QPolygonF polygon;
  polygon.reserve(static_cast<int>(points.size()));
  for (const TDevicePoint& p : points) polygon << CentreOf(p);
  UsePen(pen);
  UseBrush(brush);
  painter_.drawPolygon(polygon, Qt::OddEvenFill);
}

namespace {

// The Qt font of a recorded text's font: consecutive texts mostly share one, and finding
// the installed face takes a fontconfig query, so the last one is kept, per thread.
const QFont& QtFontOf(const TFont& font, int resolution) {
  thread_local std::optional<std::pair<TFont, int>> key;
  thread_local QFont q;
  if (!key || key->second != resolution || !(key->first == font)) {
    q = ToQFont(font, resolution);
    key.emplace(font, resolution);
  }
  return q;
}

// Shaping vertical text is the slowest step of drawing a page of text, and a text's pages
// repeat a few thousand characters: the layouts are kept per thread, up to a bound, then
// forgotten all at once.
constexpr int kMaxCachedLayouts = 8192;

const TVerticalLayout& CachedVerticalLayout(const QFont& font, const QString& text) {
  thread_local QHash<QString, TVerticalLayout> cache;
  const QString key = font.key() + QChar(0x1F) + text;
  auto it = cache.constFind(key);
  if (it != cache.constEnd()) return *it;
  if (cache.size() >= kMaxCachedLayouts) cache.clear();
  return *cache.insert(key, LayoutVerticalText(font, text));
}

}  // namespace

void TPainterDrawer::Text(const TBrush& brush, TDevicePoint at, const TRecordedText& text) {
  Flush();
  if (text.Text.empty()) return;
  const QFont& font = QtFontOf(text.Font, resY_);
  const QString qtext = QString::fromStdU16String(text.Text);
  const QColor colour = PaperColor(text.Font.Color());
  const bool background = brush.Style == TBrushStyle::bsSolid;
  TPainterStateGuard guard(painter_);
  // A vector page keeps the whole text with what draws it, however Qt splits it by font.
  TGlyphSink* sink = GlyphSinkOf(painter_);
  if (sink) sink->BeginText(qtext);
  painter_.translate(at.X + edge_, at.Y + edge_);
  // Glyphs are made at the vertical resolution; a wider horizontal one stretches them
  // to keep their physical shape.
  if (resX_ != resY_) painter_.scale(static_cast<qreal>(resX_) / resY_, 1.0);
  painter_.setPen(colour);
  painter_.setBrush(Qt::NoBrush);
  if (text.Orientation == 2700 && IsVerticalFace(text.Font.Name())) {
    const TVerticalLayout& layout = CachedVerticalLayout(font, qtext);
    if (background)
      painter_.fillRect(QRectF(-layout.ColumnWidth, 0, layout.ColumnWidth, layout.Advance),
                        PaperColor(brush.Color));
    DrawVerticalLayout(painter_, layout, QPointF(0, 0));
  } else {
    // Orientation counts tenths of a degree counter-clockwise; Qt turns clockwise.
    painter_.rotate(-text.Orientation / 10.0);
    const QFontMetricsF metrics(font);
    if (background)
      painter_.fillRect(QRectF(0, 0, metrics.horizontalAdvance(qtext), metrics.height()),
                        PaperColor(brush.Color));
    painter_.setFont(font);
    painter_.drawText(QPointF(0, metrics.ascent()), qtext);
  }
  if (sink) sink->EndText();
  // The guard restores the painter's pen and brush; what this object last set is then
  // unknown to it.
  penMode_ = TPenMode::None;
  brushSet_ = false;
}

void TPainterPlayback::SaveAndRemoveClip() {
  painter_.save();
  ++saved_;
  painter_.setClipping(false);
}

void TPainterPlayback::RestoreClip() {
  if (saved_ == 0) return;
  --saved_;
  painter_.restore();
}

void TPainterPlayback::Play(const TMetafileEx& page, const TDeviceRect& dest) {
  if (page.HorzRes <= 0 || page.VertRes <= 0) return;
  TPainterStateGuard guard(painter_);
  painter_.translate(dest.Left, dest.Top);
  painter_.scale(static_cast<qreal>(Extent(dest.Left, dest.Right)) / page.HorzRes,
                 static_cast<qreal>(Extent(dest.Top, dest.Bottom)) / page.VertRes);
  TPainterDrawer drawer(painter_, page.ResolutionX, page.ResolutionY);
  drawer.SetAntialiasing(antialiasing_);
  std::optional<TCullRect> cull;
  const QTransform toDevice = painter_.combinedTransform();
  if (!visible_.isNull() && toDevice.isInvertible() && !toDevice.isRotating()) {
    const qreal pixel = std::min(std::abs(toDevice.m11()), std::abs(toDevice.m22()));
    if (pixel > 0) cull.emplace(toDevice.inverted().mapRect(visible_), 2 / pixel);
  }
  const auto polygons = static_cast<int32_t>(page.Polygons.size());
  const auto texts = static_cast<int32_t>(page.Texts.size());
  const size_t end = std::min(range_.End, page.Ops.size());
  for (size_t i = range_.Begin; i < end; ++i) {
    const TRecordedOp& op = page.Ops[i];
    if (cull && !cull->Reaches(page, op)) continue;
    const TDeviceRect rect{op.P1.X, op.P1.Y, op.P2.X, op.P2.Y};
    switch (op.Kind) {
      case TOpKind::Line:
        drawer.Line(op.Pen, op.P1, op.P2);
        break;
      case TOpKind::Rectangle:
        drawer.Rectangle(op.Pen, op.Brush, rect);
        break;
      case TOpKind::FillRect:
        drawer.FillRect(op.Brush, rect);
        break;
      case TOpKind::Ellipse:
        drawer.Ellipse(op.Pen, op.Brush, rect);
        break;
      case TOpKind::Polygon:
        if (op.Index >= 0 && op.Index < polygons)
          drawer.Polygon(op.Pen, op.Brush, page.Polygons[op.Index]);
        break;
      case TOpKind::Text:
        if (op.Index >= 0 && op.Index < texts) drawer.Text(op.Brush, op.P1, page.Texts[op.Index]);
        break;
    }
  }
  drawer.Flush();
}

void DrawPage(QPainter& painter, const TMetafileEx& page, const TDeviceRect& dest,
              bool antialiasing, const QRectF& visible, TOpRange range) {
  TPainterPlayback target(painter);
  target.SetOpRange(range);
  target.SetAntialiasing(antialiasing);
  target.SetVisibleRect(visible);
  page.Draw(target, dest);
}

}  // namespace zelk
