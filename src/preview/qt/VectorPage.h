// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page painted through QPainter and written out as a compact SVG or PDF file.
//
// The page collects what is painted in device units and writes the cheapest equivalent
// primitives: consecutive strokes of one pen become one path, and a row of equally
// spaced round dots of one pen (TPainterDrawer draws a dot as a zero-length round-capped
// line) becomes one dashed stroke, whose dashes of length zero are round dots at every
// period; a row of equal filled squares likewise, with dashes of the squares' length and
// flat ends. Text stays text in the PDF: each glyph is drawn from a font whose glyphs are
// the outlines of the real font, with a Unicode mapping from the shaped characters and
// the text's exact characters as its ActualText, so that vertical forms of punctuation
// are extracted as the characters they stand for. In the SVG, texts are their glyphs'
// outlines, grouped with the text as the group's title: the picture does not depend on
// the fonts of whoever opens the file.
//
// Usage:
//   TVectorPage page(TVectorFormat::Pdf, QSize(4960, 7016), 600);
//   QPainter painter(&page);
//   ... paint ...
//   painter.end();
//   out.write(page.Write(QStringLiteral("印刷プレビュー")));

#include <QByteArray>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QRawFont>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class QIODevice;
class QPainter;

namespace zelk {

/// What a TVectorPage's paint engine reports as its type.
inline constexpr QPaintEngine::Type kVectorPageEngineType =
    static_cast<QPaintEngine::Type>(QPaintEngine::User + 1);

/// Takes glyphs that were shaped outside QPainter (vertical text) along with the text
/// they stand for: a TVectorPage's engine, which GlyphSinkOf finds behind a painter.
class TGlyphSink {
 public:
  virtual ~TGlyphSink() = default;
  /// Everything drawn until the matching EndText shows `text`. Pairs may not nest.
  virtual void BeginText(const QString& text) = 0;
  virtual void EndText() = 0;
  /// The glyphs of `font` at origin + positions[i] in the painter's current coordinates,
  /// in the colour of its pen. `sources[i]`, when there are as many as glyphs, is the
  /// text glyph i stands for (empty for a glyph that continues the one before).
  virtual void DrawGlyphs(const QPointF& origin, const QRawFont& font,
                          const QVector<quint32>& glyphs, const QVector<QPointF>& positions,
                          const QStringList& sources) = 0;
};

/// The glyph sink behind the painter, or null when its device is not a TVectorPage.
TGlyphSink* GlyphSinkOf(QPainter& painter);

enum class TVectorFormat { Svg, Pdf };

class TVectorEngine;

/// A vector drawing of `size` device units at `dpi` (both axes) per page; the paper is
/// size × 25.4 / dpi millimetres. An SVG has one page, a PDF as many as NewPage makes. Paint on it
/// with a QPainter, end the painter, then Write gives the file. Pens of width 0 (cosmetic) are the
/// thinnest line of whatever shows the file. Pixmaps and images are not drawn. Clipping is ignored.
class TVectorPage : public QPaintDevice {
 public:
  TVectorPage(TVectorFormat format, QSize size, int dpi);
  ~TVectorPage() override;
  TVectorPage(const TVectorPage&) = delete;
  TVectorPage& operator=(const TVectorPage&) = delete;

  QPaintEngine* paintEngine() const override;
  /// Ends the page being painted and starts the next, while the painter stays active;
  /// false for an SVG, which has one page.
  bool NewPage();
  /// The whole file, with `title` as the document's title (not for a page streamed).
  QByteArray Write(const QString& title) const;

  /// A PDF written into `out` page by page as each ends (TPdfStream of VectorDrawing.h)
  /// instead of held until Write: only the page being painted and the fonts stay in
  /// memory. Set before the painter begins; false for an SVG or while painting.
  bool StreamTo(QIODevice* out);
  /// After the painter ended: writes the last page and the end of the streamed file.
  /// False when a write failed (Error() says why) or nothing is streamed.
  bool Finish(const QString& title);
  QString Error() const;

  /// Streaming: what the page being painted holds so far is written once as a part
  /// that any later page may show under its own drawing, and the page goes on with it
  /// under what is painted next. Gives the part's number, or -1 (the page keeps its
  /// drawing as it is) when nothing is streamed, the page shows a part already, a text
  /// is open, or the write failed.
  int EndSharedPart();
  /// The page being painted, still empty, shows `part` (from EndSharedPart) under its
  /// own drawing; false when it cannot.
  bool ShowSharedPart(int part);

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  QSize size_;
  int dpi_;
  std::unique_ptr<TVectorEngine> engine_;
};

}  // namespace zelk
