// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a TVectorPage collected, in device units with y pointing down, and the writers
// that turn it into SVG and PDF (VectorPage.h).

#include <QByteArray>
#include <QColor>
#include <QPainterPath>
#include <QRawFont>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <QVector>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class QIODevice;

namespace zelk {

struct TStrokeStyle {
  QColor Color;
  qreal Width = 0;  ///< 0: the thinnest line of the output device
  Qt::PenCapStyle Cap = Qt::FlatCap;
  Qt::PenJoinStyle Join = Qt::MiterJoin;
  QVector<qreal> Dashes;  ///< on, off, …; empty for a solid line
  qreal DashOffset = 0;
  bool operator==(const TStrokeStyle& o) const {
    return Color == o.Color && Width == o.Width && Cap == o.Cap && Join == o.Join &&
           Dashes == o.Dashes && DashOffset == o.DashOffset;
  }
};

/// A path filled, stroked or both (the fill first).
struct TShape {
  QPainterPath Path;
  std::optional<QColor> Fill;
  std::optional<TStrokeStyle> Stroke;
};

/// Shaped glyphs (on a PDF page; an SVG page has their outlines): glyph i at Positions[i] in the
/// run's own coordinates (y down, in pixels of Font), which ToDevice maps to the page.
struct TGlyphs {
  QRawFont Font;
  QVector<quint32> Glyphs;
  QVector<QPointF> Positions;
  QStringList Sources;  ///< as TGlyphSink::DrawGlyphs
  QTransform ToDevice;
  QColor Color;
};

/// The start (with the text shown) or the end of a stretch of drawing that shows a text.
struct TTextSpan {
  QString Text;
  bool Begin = true;
};

using TVectorItem = std::variant<TShape, TGlyphs, TTextSpan>;

struct TVectorDrawing {
  QSize Size;  ///< device units
  int Dpi = 72;
  /// Each page's items in painting order; every page is Size.
  std::vector<std::vector<TVectorItem>> Pages;
};

/// The first page.
QByteArray WriteSvg(const TVectorDrawing& drawing, const QString& title);
/// Every page, at least one (TPdfStream into memory).
QByteArray WritePdf(const TVectorDrawing& drawing, const QString& title);

/// A PDF written into `out` as its pages come: each page is written when it is added,
/// and only the fonts (the glyphs used so far) and an object number a page are kept;
/// Finish writes the fonts, the page tree and the cross-reference. Every write is
/// checked: once one fails, nothing more is written and Error() says why (the device's
/// own reason). Pages are `size` device units at `dpi`.
class TPdfStream {
 public:
  TPdfStream(QIODevice& out, QSize size, int dpi);
  ~TPdfStream();
  TPdfStream(const TPdfStream&) = delete;
  TPdfStream& operator=(const TPdfStream&) = delete;

  /// Writes `items` as a drawing that any page can show under its own (a form XObject)
  /// and gives its number for AddPage; -1 when a write failed (now or before), or after
  /// Finish.
  int AddForm(const std::vector<TVectorItem>& items);
  /// The page shows form `form` (from AddForm; -1 for none) first, then `items`. False
  /// when a write failed (now or before), when `form` is not one of AddForm's, or after
  /// Finish.
  bool AddPage(const std::vector<TVectorItem>& items, int form = -1);
  /// Ends the file (with an empty page when none was added); false when a write failed
  /// or it was finished before.
  bool Finish(const QString& title);
  const QString& Error() const;

 private:
  struct TState;
  std::unique_ptr<TState> st_;
};

/// A number as the files write it: at most two decimals, no trailing zeros.
void AppendNumber(QByteArray& out, qreal value);

}  // namespace zelk
