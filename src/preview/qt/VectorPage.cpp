// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/VectorPage.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTextLayout>
#include <climits>
#include <cmath>
#include <optional>

#include "preview/qt/VectorDrawing.h"

namespace zelk {
namespace {

bool Near(qreal a, qreal b) { return std::abs(a - b) < 1e-6; }
bool Near(const QPointF& a, const QPointF& b) { return Near(a.x(), b.x()) && Near(a.y(), b.y()); }

// The scale of a transform that keeps shapes (no shear, equal scale on both axes), or
// nothing: a pen's width is then a width on the page too.
std::optional<qreal> UniformScale(const QTransform& t) {
  if (t.type() == QTransform::TxProject) return std::nullopt;
  const qreal sx = std::hypot(t.m11(), t.m12());
  const qreal sy = std::hypot(t.m21(), t.m22());
  const qreal dot = t.m11() * t.m21() + t.m12() * t.m22();
  if (sx <= 0 || std::abs(sx - sy) > 1e-9 * sx || std::abs(dot) > 1e-9 * sx * sy)
    return std::nullopt;
  return sx;
}

// A row of equal dots being collected, by their centres: First, First + Step, …, Last.
// Round dots (a round-capped pen's points) have a diameter of Size.width(); squares
// (filled rectangles) are Size.
struct TDotRow {
  int Count = 0;
  bool Square = false;
  QColor Color;
  QSizeF Size;
  QPointF First, Last, Step;
};

// The character each glyph shows, by the font's own mapping of the text's characters; an
// empty string where the glyph is none of them.
QStringList CharactersOf(const QRawFont& font, const QVector<quint32>& glyphs,
                         const QString& text) {
  QHash<quint32, QString> byGlyph;
  for (int i = 0; i < text.size();) {
    const int length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    const QVector<quint32> glyph = font.glyphIndexesForString(character);
    if (glyph.size() == 1 && !byGlyph.contains(glyph[0])) byGlyph.insert(glyph[0], character);
    i += length;
  }
  QStringList characters;
  for (quint32 g : glyphs) characters << byGlyph.value(g);
  return characters;
}

}  // namespace

class TVectorEngine : public QPaintEngine, public TGlyphSink {
 public:
  TVectorEngine(TVectorFormat format, QSize size, int dpi)
      : QPaintEngine(PaintEngineFeatures(AllFeatures) & ~PerspectiveTransform & ~PorterDuff),
        format_(format) {
    drawing_.Size = size;
    drawing_.Dpi = dpi;
  }

  const TVectorDrawing& Drawing() const { return drawing_; }
  TVectorFormat Format() const { return format_; }

  bool begin(QPaintDevice*) override {
    drawing_.Pages.assign(1, {});
    row_ = {};
    spans_ = 0;
    setActive(true);
    return true;
  }
  // Ends the page and starts the next; a text begun on it ends with it. A page streamed
  // is written and let go.
  void NewPage() {
    FlushDots();
    while (spans_ > 0) EndText();
    if (stream_) {
      stream_->AddPage(Items(), form_);
      form_ = -1;
      drawing_.Pages.assign(1, {});
      return;
    }
    drawing_.Pages.emplace_back();
  }

  void StreamTo(QIODevice* out) {
    stream_ = out ? std::make_unique<TPdfStream>(*out, drawing_.Size, drawing_.Dpi) : nullptr;
  }
  TPdfStream* Stream() const { return stream_.get(); }
  // The last page, streamed.
  void WriteLastPage() {
    if (stream_ && !drawing_.Pages.empty()) stream_->AddPage(drawing_.Pages.back(), form_);
    form_ = -1;
    drawing_.Pages.clear();
  }
  // What the page holds so far becomes a form of the stream, shown under the rest.
  int EndShared() {
    if (!stream_ || form_ >= 0 || spans_ > 0) return -1;
    FlushDots();
    const int form = stream_->AddForm(Items());
    if (form < 0) return -1;
    Items().clear();
    form_ = form;
    return form;
  }
  bool ShowShared(int form) {
    if (!stream_ || form_ >= 0 || form < 0 || !Items().empty()) return false;
    form_ = form;
    return true;
  }

  bool end() override {
    FlushDots();
    while (spans_ > 0) EndText();
    setActive(false);
    return true;
  }
  Type type() const override { return kVectorPageEngineType; }

  void updateState(const QPaintEngineState& state) override {
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyPen) pen_ = state.pen();
    if (dirty & DirtyBrush) brush_ = state.brush();
    if (dirty & DirtyTransform) {
      transform_ = state.transform();
      scale_ = UniformScale(transform_);  // asked for every dot: worked out once
    }
  }

  void drawPath(const QPainterPath& path) override { AddShape(path, true); }

  void drawRects(const QRectF* rects, int count) override {
    if (count == 1 && AddSquare(rects[0])) return;
    QPainterPath path;
    for (int i = 0; i < count; ++i) path.addRect(rects[i]);
    AddShape(path, true);
  }

  void drawEllipse(const QRectF& rect) override {
    QPainterPath path;
    path.addEllipse(rect);
    AddShape(path, true);
  }

  void drawLines(const QLineF* lines, int count) override {
    QPainterPath path;
    for (int i = 0; i < count; ++i) {
      if (lines[i].p1() == lines[i].p2() && AddDot(lines[i].p1())) continue;
      path.moveTo(lines[i].p1());
      path.lineTo(lines[i].p2());
    }
    if (!path.isEmpty()) AddShape(path, false);
  }

  void drawPoints(const QPointF* points, int count) override {
    for (int i = 0; i < count; ++i) {
      if (AddDot(points[i])) continue;
      // A square of the pen's width, or of one device unit for a cosmetic pen.
      const qreal side = pen_.isCosmetic() ? 1.0 : pen_.widthF() * scale_.value_or(1);
      const QPointF centre = transform_.map(points[i]);
      QPainterPath square;
      square.addRect(QRectF(centre - QPointF(side / 2, side / 2), QSizeF(side, side)));
      FlushDots();
      AddItem(TShape{square, pen_.color(), std::nullopt});
    }
  }

  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    if (count <= 0) return;
    QPainterPath path;
    path.moveTo(points[0]);
    for (int i = 1; i < count; ++i) path.lineTo(points[i]);
    if (mode == PolylineMode) {
      AddShape(path, false);
      return;
    }
    path.closeSubpath();
    path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
    AddShape(path, true);
  }

  // The pages hold no images.
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

  void drawTextItem(const QPointF& at, const QTextItem& item) override {
    const QString text = item.text();
    if (pen_.style() == Qt::NoPen) return;
    if (text.isEmpty()) {
      // Glyphs without characters: Qt's own drawing, their outlines filled.
      QPaintEngine::drawTextItem(at, item);
      return;
    }
    FlushDots();
    // Shaped again with the item's font, which gives the glyphs QPainter placed.
    const bool ownSpan = spans_ == 0;
    if (ownSpan) BeginText(text);
    // At the page's resolution, as QPainter laid out the item, for fonts sized in points.
    QTextLayout layout(text, item.font(), painter() ? painter()->device() : nullptr);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid()) {
      const QPointF origin = at - QPointF(0, line.ascent());
      for (const QGlyphRun& run : layout.glyphRuns())
        DrawGlyphs(origin, run.rawFont(), run.glyphIndexes(), run.positions(),
                   CharactersOf(run.rawFont(), run.glyphIndexes(), text));
    }
    if (ownSpan) EndText();
  }

  void BeginText(const QString& text) override {
    FlushDots();
    if (spans_++ == 0) AddItem(TTextSpan{text, true});
  }
  void EndText() override {
    FlushDots();
    if (spans_ > 0 && --spans_ == 0) AddItem(TTextSpan{QString(), false});
  }

  void DrawGlyphs(const QPointF& origin, const QRawFont& font, const QVector<quint32>& glyphs,
                  const QVector<QPointF>& positions, const QStringList& sources) override {
    if (glyphs.isEmpty() || glyphs.size() != positions.size() || !font.isValid()) return;
    FlushDots();
    QPainter* p = painter();
    const QTransform toDevice = QTransform::fromTranslate(origin.x(), origin.y()) *
                                (p ? p->combinedTransform() : transform_);
    const QColor colour = p ? p->pen().color() : pen_.color();
    if (format_ == TVectorFormat::Svg) {
      // Outlines: the same picture wherever the file is shown, with or without the fonts.
      QPainterPath path;
      for (int i = 0; i < glyphs.size(); ++i)
        path.addPath(font.pathForGlyph(glyphs[i]).translated(positions[i]));
      path.setFillRule(Qt::WindingFill);
      AddItem(TShape{toDevice.map(path), colour, std::nullopt});
      return;
    }
    AddItem(TGlyphs{font, glyphs, positions,
                    sources.size() == glyphs.size() ? sources : QStringList(), toDevice, colour});
  }

 private:
  // A round dot of the current pen at `centre` (user units) when the pen draws one; false
  // when the point needs the general path.
  bool AddDot(const QPointF& centre) {
    if (pen_.style() != Qt::SolidLine || pen_.capStyle() != Qt::RoundCap || pen_.isCosmetic())
      return false;
    const auto scale = scale_;
    if (!scale) return false;
    const qreal width = pen_.widthF() * *scale;
    return AddToRow(false, pen_.color(), transform_.map(centre), QSizeF(width, width));
  }

  // A filled rectangle without outline, as a square dot, when the transform keeps it
  // upright; false when it needs the general path.
  bool AddSquare(const QRectF& rect) {
    if (pen_.style() != Qt::NoPen || brush_.style() != Qt::SolidPattern ||
        transform_.type() > QTransform::TxScale)
      return false;
    const QRectF r = transform_.mapRect(rect);
    return AddToRow(true, brush_.color(), r.center(), r.size());
  }

  // Adds the dot to the row being collected when it continues it: the same kind, colour
  // and size, one step further (a step along x or y, the same each time). A dot the same
  // as the last one is dropped. Squares join only with a gap between them.
  bool AddToRow(bool square, const QColor& colour, const QPointF& c, const QSizeF& size) {
    if (colour.alpha() != 255) return false;  // overlapping dots would darken
    if (row_.Count > 0 && row_.Square == square && row_.Color == colour &&
        Near(row_.Size.width(), size.width()) && Near(row_.Size.height(), size.height())) {
      if (Near(c, row_.Last)) return true;
      const QPointF step = c - row_.Last;
      const bool alongX = !Near(step.x(), 0) && Near(step.y(), 0);
      const bool alongY = Near(step.x(), 0) && !Near(step.y(), 0);
      const bool apart = !square || (alongX && std::abs(step.x()) > size.width()) ||
                         (alongY && std::abs(step.y()) > size.height());
      if ((row_.Count == 1 && (alongX || alongY) && apart) ||
          (row_.Count > 1 && Near(step, row_.Step))) {
        row_.Step = step;
        row_.Last = c;
        ++row_.Count;
        return true;
      }
    }
    FlushDots();
    row_ = {1, square, colour, size, c, c, QPointF()};
    return true;
  }

  // The collected row as one dashed stroke, one period apart from the first dot: round
  // dots are dashes of length zero with round caps along their centres; squares are
  // dashes of their length with flat ends, the pen as wide as they are across. The
  // stroke runs half a gap past the last dot, so that no rounding of the length loses it.
  void FlushDots() {
    if (row_.Count == 0) return;
    const TDotRow row = row_;
    row_ = {};
    if (row.Square && row.Count == 1) {
      QPainterPath square;
      square.addRect(
          QRectF(row.First - QPointF(row.Size.width(), row.Size.height()) / 2, row.Size));
      AddItem(TShape{square, row.Color, std::nullopt});
      return;
    }
    TStrokeStyle style;
    style.Color = row.Color;
    style.Cap = row.Square ? Qt::FlatCap : Qt::RoundCap;
    style.Join = Qt::RoundJoin;
    QPainterPath path;
    if (row.Count == 1) {
      // A single round dot takes the period of the row before it when it has the same
      // pen, so that both share one path.
      qreal period = std::max<qreal>(2, 2 * row.Size.width());
      if (!Items().empty()) {
        if (const auto* last = std::get_if<TShape>(&Items().back());
            last && last->Stroke && !last->Fill && last->Stroke->Dashes.size() == 2 &&
            last->Stroke->Dashes[0] == 0 && last->Stroke->Dashes[1] >= 2 &&
            last->Stroke->Color == row.Color && last->Stroke->Width == row.Size.width())
          period = last->Stroke->Dashes[1];
      }
      style.Width = row.Size.width();
      style.Dashes = {0, period};
      path.moveTo(row.First);
      path.lineTo(row.First + QPointF(1, 0));
      AddItem(TShape{path, std::nullopt, style});
      return;
    }
    const qreal period = std::hypot(row.Step.x(), row.Step.y());
    const QPointF direction = row.Step / period;
    const bool alongX = !Near(row.Step.x(), 0);
    const qreal length = row.Square ? (alongX ? row.Size.width() : row.Size.height()) : 0;
    style.Width = row.Square && alongX ? row.Size.height() : row.Size.width();
    style.Dashes = {length, period - length};
    path.moveTo(row.First - direction * length / 2);
    path.lineTo(row.Last + direction * period / 2);
    AddItem(TShape{path, std::nullopt, style});
  }

  // `path` in user units with the current pen and, when `fillable`, brush.
  void AddShape(const QPainterPath& path, bool fillable) {
    FlushDots();
    std::optional<QColor> fill;
    if (fillable && brush_.style() != Qt::NoBrush) fill = brush_.color();
    const bool stroked = pen_.style() != Qt::NoPen;
    if (!fill && !stroked) return;
    const auto scale = scale_;
    if (stroked && !pen_.isCosmetic() && !scale) {
      // A wide pen under a stretching transform: its outline, filled.
      if (fill) AddItem(TShape{transform_.map(path), fill, std::nullopt});
      QPainterPathStroker stroker(pen_);
      QPainterPath outline = stroker.createStroke(path);
      outline.setFillRule(Qt::WindingFill);
      AddItem(TShape{transform_.map(outline), pen_.color(), std::nullopt});
      return;
    }
    std::optional<TStrokeStyle> stroke;
    if (stroked) {
      TStrokeStyle s;
      s.Color = pen_.color();
      s.Width = pen_.isCosmetic() ? 0 : pen_.widthF() * *scale;
      s.Cap = pen_.capStyle();
      s.Join = pen_.joinStyle();
      if (pen_.style() != Qt::SolidLine && pen_.style() != Qt::NoPen) {
        // Qt's dash lengths count pen widths; a cosmetic pen's, device units.
        const qreal unit = std::max<qreal>(1, s.Width);
        for (qreal d : pen_.dashPattern()) s.Dashes.push_back(d * unit);
        s.DashOffset = pen_.dashOffset() * unit;
      }
      stroke = s;
    }
    QPainterPath devicePath = transform_.map(path);
    devicePath.setFillRule(path.fillRule());
    AddItem(TShape{devicePath, fill, stroke});
  }

  // Appends `item`, joining a stroke-only shape to the one before it when their strokes
  // are alike: painted in order, the two look the same as one path (opaque colours).
  void AddItem(TVectorItem item) {
    if (auto* shape = std::get_if<TShape>(&item); shape && !Items().empty()) {
      if (auto* last = std::get_if<TShape>(&Items().back());
          last && !last->Fill && !shape->Fill && last->Stroke && shape->Stroke &&
          *last->Stroke == *shape->Stroke && shape->Stroke->Color.alpha() == 255) {
        last->Path.addPath(shape->Path);
        return;
      }
    }
    Items().push_back(std::move(item));
  }

  std::vector<TVectorItem>& Items() {
    if (drawing_.Pages.empty()) drawing_.Pages.emplace_back();
    return drawing_.Pages.back();
  }

  TVectorFormat format_;
  TVectorDrawing drawing_;
  std::unique_ptr<TPdfStream> stream_;
  int form_ = -1;  // the form the page being painted shows first
  QPen pen_;
  QBrush brush_;
  QTransform transform_;
  std::optional<qreal> scale_ = 1.0;  // UniformScale(transform_)
  TDotRow row_;
  int spans_ = 0;
};

TGlyphSink* GlyphSinkOf(QPainter& painter) {
  auto* engine = painter.paintEngine();
  if (!engine || engine->type() != kVectorPageEngineType) return nullptr;
  return static_cast<TVectorEngine*>(engine);
}

TVectorPage::TVectorPage(TVectorFormat format, QSize size, int dpi)
    : size_(size), dpi_(dpi > 0 ? dpi : 72), engine_(new TVectorEngine(format, size, dpi_)) {}

TVectorPage::~TVectorPage() = default;

QPaintEngine* TVectorPage::paintEngine() const { return engine_.get(); }

bool TVectorPage::NewPage() {
  if (engine_->Format() != TVectorFormat::Pdf) return false;
  engine_->NewPage();
  return true;
}

bool TVectorPage::StreamTo(QIODevice* out) {
  if (engine_->Format() != TVectorFormat::Pdf || engine_->isActive()) return false;
  engine_->StreamTo(out);
  return true;
}

bool TVectorPage::Finish(const QString& title) {
  TPdfStream* stream = engine_->Stream();
  if (!stream || engine_->isActive()) return false;
  engine_->WriteLastPage();
  return stream->Finish(title);
}

int TVectorPage::EndSharedPart() { return engine_->EndShared(); }

bool TVectorPage::ShowSharedPart(int part) { return engine_->ShowShared(part); }

QString TVectorPage::Error() const {
  return engine_->Stream() ? engine_->Stream()->Error() : QString();
}

QByteArray TVectorPage::Write(const QString& title) const {
  return engine_->Format() == TVectorFormat::Svg ? WriteSvg(engine_->Drawing(), title)
                                                 : WritePdf(engine_->Drawing(), title);
}

int TVectorPage::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth:
      return size_.width();
    case PdmHeight:
      return size_.height();
    case PdmWidthMM:
      return static_cast<int>(std::lround(size_.width() * 25.4 / dpi_));
    case PdmHeightMM:
      return static_cast<int>(std::lround(size_.height() * 25.4 / dpi_));
    case PdmNumColors:
      return INT_MAX;
    case PdmDepth:
      return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return dpi_;
    case PdmDevicePixelRatio:
      return 1;
    case PdmDevicePixelRatioScaled:
      return static_cast<int>(devicePixelRatioFScale());
  }
  return 0;
}

}  // namespace zelk
