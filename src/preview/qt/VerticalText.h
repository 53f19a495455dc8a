// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Vertical Japanese writing (縦書き) with the installed fonts: the text runs down a
// column, Japanese characters stand upright, punctuation, brackets and the long-vowel
// mark take their vertical forms from the font's OpenType `vert` feature, and Latin
// letters and digits lie turned 90° clockwise, as in a Japanese book.
//
// The column rule, shared by every caller: a vertical text placed at (x, y) occupies
// the columns x − ColumnWidth to x and runs down from y. ColumnWidth is the text height
// of the font (ascent + descent), the same as for the font's horizontal text, so a text
// measured unrotated fits the cell it is given.
//
// Usage (a vertical text edit, the sheet's captions):
//   const QFont font = ToQFont(tfont, resolution);
//   const QSizeF size = MeasureVerticalText(font, text);   // width across, height down
//   DrawVerticalText(painter, font, QPointF(right, top), text);
// For repeated drawing of one text, LayoutVerticalText once and DrawVerticalLayout.
//
// Which characters stand upright follows the Unicode Vertical_Orientation property
// (UAX #50): U and Tu upright; R turned; Tr upright when the font has a vertical form
// for it, else turned. Combining marks stay with the character before them.

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <vector>

class QPainter;

namespace zelk {

/// A stretch of the text set in one font and one orientation.
struct TVerticalRun {
  QRawFont Font;
  QVector<quint32> Glyphs;
  /// Upright: each glyph's baseline origin relative to the column's centre line at the
  /// top of the text (x across, y down). Turned: the origins along the run's own
  /// horizontal baseline, relative to the run's start (x along the text).
  QVector<QPointF> Positions;
  /// The characters each glyph was shaped from; empty for a glyph that continues the one
  /// before it.
  QStringList Sources;
  bool Rotated = false;
  qreal Start = 0;    ///< how far down the column the run begins
  qreal Advance = 0;  ///< its length down the column
};

/// A text laid out for vertical writing, in pixels of the font's pixel size.
struct TVerticalLayout {
  QString Text;
  std::vector<TVerticalRun> Runs;
  qreal Advance = 0;      ///< the text's length down the column
  qreal ColumnWidth = 0;  ///< its extent across: ascent + descent of the font
  qreal Ascent = 0;       ///< turned runs: their baseline lies this far left of the right edge
  /// Underline and strike-out run the length of the text: the underline along the
  /// column's left edge (the side below the baseline of turned text), inside the column,
  /// the strike-out down its middle.
  bool Underline = false;
  bool StrikeOut = false;
  qreal LineWidth = 1;  ///< width of both lines
};

/// Shapes `text` in `font` for vertical writing (HarfBuzz, top to bottom, `vert` on).
/// Characters the font lacks come from its second family (the Japanese family that
/// ToQFont adds) and then, one by one, from any installed font that has them, in
/// fontconfig's order of fallback (FamilyWithCharacter); only a character that no
/// installed font has is drawn as the font's .notdef box. An empty text gives no runs, Advance 0
/// and the font's ColumnWidth. Never throws; a font that cannot be loaded gives an empty layout
/// with the metrics of the QFont.
TVerticalLayout LayoutVerticalText(const QFont& font, const QString& text);

/// The extent of the vertical text: width = ColumnWidth (across), height = Advance
/// (down the column), in pixels of the font.
QSizeF MeasureVerticalText(const QFont& font, const QString& text);

/// Draws the layout with its column's top-right corner at `topRight`, in the painter's
/// current coordinates: it covers topRight.x() − ColumnWidth to topRight.x() and
/// topRight.y() to topRight.y() + Advance. The painter's pen colour is the text colour;
/// pen, brush and transform are left as they were. A painter with a glyph sink
/// (VectorPage.h) gets the glyphs with the text they show.
void DrawVerticalLayout(QPainter& painter, const TVerticalLayout& layout, const QPointF& topRight);

/// LayoutVerticalText and DrawVerticalLayout in one.
void DrawVerticalText(QPainter& painter, const QFont& font, const QPointF& topRight,
                      const QString& text);

}  // namespace zelk
