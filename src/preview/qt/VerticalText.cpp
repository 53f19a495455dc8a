// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/VerticalText.h"

#include <hb-ot.h>
#include <hb.h>
#include <unicode/uchar.h>

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <map>
#include <memory>
#include <mutex>

#include "preview/qt/FontMapping.h"
#include "preview/qt/VectorPage.h"

namespace zelk {
namespace {

// ---------------------------------------------------------------------------------------
// HarfBuzz fonts over the tables of a QRawFont, kept for the life of the process: a
// sheet draws its few texts in a handful of faces, and building a face reads its tables.

struct THbFontDeleter {
  void operator()(hb_font_t* f) const { hb_font_destroy(f); }
};
using THbFontPtr = std::unique_ptr<hb_font_t, THbFontDeleter>;

hb_blob_t* ReferenceTable(hb_face_t*, hb_tag_t tag, void* userData) {
  if (tag == 0) return nullptr;  // the whole-file blob: the OT functions never need it
  const auto* raw = static_cast<const QRawFont*>(userData);
  const char name[5] = {static_cast<char>(tag >> 24), static_cast<char>(tag >> 16),
                        static_cast<char>(tag >> 8), static_cast<char>(tag), 0};
  auto* data = new QByteArray(raw->fontTable(name));
  if (data->isEmpty()) {
    delete data;
    return nullptr;
  }
  return hb_blob_create(data->constData(), static_cast<unsigned>(data->size()),
                        HB_MEMORY_MODE_READONLY, data,
                        [](void* p) { delete static_cast<QByteArray*>(p); });
}

// A HarfBuzz font at a scale of one unit per font design unit, or null.
hb_font_t* HbFontFor(const QRawFont& raw) {
  static std::mutex mutex;
  static std::map<QString, THbFontPtr> cache;
  const QString key = QStringLiteral("%1|%2|%3|%4")
                          .arg(raw.familyName(), raw.styleName())
                          .arg(raw.weight())
                          .arg(static_cast<int>(raw.style()));
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second.get();
  auto* tables = new QRawFont(raw);
  hb_face_t* face = hb_face_create_for_tables(ReferenceTable, tables,
                                              [](void* p) { delete static_cast<QRawFont*>(p); });
  const int upem = static_cast<int>(raw.unitsPerEm());
  hb_face_set_upem(face, static_cast<unsigned>(upem));
  hb_font_t* font = hb_font_create(face);
  hb_face_destroy(face);
  hb_ot_font_set_funcs(font);
  hb_font_set_scale(font, upem, upem);
  hb_font_make_immutable(font);
  hb_font_t* result = font;
  cache.emplace(key, THbFontPtr(font));
  return result;
}

// ---------------------------------------------------------------------------------------
// Splitting the text into runs of one font and one orientation.

// The fonts one text is set in: the chosen font first, then its Japanese family, then,
// character by character, any installed font that has a glyph the others lack, in
// fontconfig's order of fallback. A character no installed font has stays with the
// chosen font (and shows its .notdef glyph).
class TFontSet {
 public:
  explicit TFontSet(const QFont& font) : font_(font) {
    Add(QRawFont::fromFont(font));
    if (font.families().size() > 1) {
      QFont japanese = font;
      japanese.setFamilies({font.families().at(1)});
      Add(QRawFont::fromFont(japanese));
    }
  }

  bool IsValid() const { return !fonts_.empty() && fonts_.front().Raw.isValid(); }
  const QRawFont& Raw(int i) const { return fonts_[static_cast<size_t>(i)].Raw; }
  hb_font_t* Hb(int i) const { return fonts_[static_cast<size_t>(i)].Hb; }

  // The first font of the set that has `cp`, loading a fallback font when none has.
  int FontFor(char32_t cp) {
    for (size_t i = 0; i < fonts_.size(); ++i)
      if (fonts_[i].Raw.supportsCharacter(static_cast<uint>(cp))) return static_cast<int>(i);
    const QString family = FamilyWithCharacter(font_.family(), cp);
    if (family.isEmpty()) return 0;
    QFont fallback = font_;
    fallback.setFamilies({family});
    const QRawFont raw = QRawFont::fromFont(fallback);
    if (!raw.supportsCharacter(static_cast<uint>(cp))) return 0;
    return Add(raw);
  }

 private:
  struct TLoaded {
    QRawFont Raw;
    hb_font_t* Hb = nullptr;
  };

  int Add(const QRawFont& raw) {
    for (size_t i = 0; i < fonts_.size(); ++i)
      if (fonts_[i].Raw.familyName() == raw.familyName() &&
          fonts_[i].Raw.styleName() == raw.styleName())
        return static_cast<int>(i);
    TLoaded loaded{raw, nullptr};
    // A font without units per em cannot scale its positions; its runs stay unshaped.
    if (raw.isValid() && raw.unitsPerEm() > 0) loaded.Hb = HbFontFor(raw);
    fonts_.push_back(loaded);
    return static_cast<int>(fonts_.size() - 1);
  }

  QFont font_;
  std::vector<TLoaded> fonts_;
};

struct TPiece {
  int Start = 0;  // UTF-16 index
  int Length = 0;
  bool Rotated = false;
  int FontIndex = 0;
};

bool IsCombining(char32_t cp) {
  const int8_t type = u_charType(static_cast<UChar32>(cp));
  return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK ||
         type == U_COMBINING_SPACING_MARK || (cp >= 0xFE00 && cp <= 0xFE0F) ||
         (cp >= 0xE0100 && cp <= 0xE01EF) || cp == 0x200D;
}

void SetupBuffer(hb_buffer_t* buffer, hb_direction_t direction) {
  hb_buffer_set_direction(buffer, direction);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  hb_buffer_guess_segment_properties(buffer);
}

const hb_feature_t kVerticalFeatures[] = {{HB_TAG('v', 'e', 'r', 't'), 1, 0, ~0u}};

// True when the font turns the character into a different glyph in vertical writing.
bool HasVerticalForm(hb_font_t* font, char32_t cp) {
  hb_codepoint_t nominal = 0;
  if (!hb_font_get_nominal_glyph(font, cp, &nominal)) return false;
  hb_buffer_t* buffer = hb_buffer_create();
  const uint32_t text[1] = {static_cast<uint32_t>(cp)};
  hb_buffer_add_utf32(buffer, text, 1, 0, 1);
  SetupBuffer(buffer, HB_DIRECTION_TTB);
  hb_shape(font, buffer, kVerticalFeatures, 1);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const bool changed = count == 1 && info[0].codepoint != nominal;
  hb_buffer_destroy(buffer);
  return changed;
}

bool StandsUpright(const TFontSet& fonts, int fontIndex, char32_t cp) {
  switch (u_getIntPropertyValue(static_cast<UChar32>(cp), UCHAR_VERTICAL_ORIENTATION)) {
    case U_VO_UPRIGHT:
    case U_VO_TRANSFORMED_UPRIGHT:
      return true;
    case U_VO_TRANSFORMED_ROTATED:
      return fonts.Hb(fontIndex) && HasVerticalForm(fonts.Hb(fontIndex), cp);
    default:
      return false;
  }
}

std::vector<TPiece> SplitIntoPieces(TFontSet& fonts, const QString& text) {
  std::vector<TPiece> pieces;
  const int n = static_cast<int>(text.size());
  for (int i = 0; i < n;) {
    char32_t cp = text[i].unicode();
    int len = 1;
    if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
      len = 2;
    }
    if (!pieces.empty() && IsCombining(cp)) {
      pieces.back().Length += len;
      i += len;
      continue;
    }
    const int fontIndex = fonts.FontFor(cp);
    const bool rotated = !StandsUpright(fonts, fontIndex, cp);
    if (!pieces.empty() && pieces.back().Rotated == rotated && pieces.back().FontIndex == fontIndex)
      pieces.back().Length += len;
    else
      pieces.push_back({i, len, rotated, fontIndex});
    i += len;
  }
  return pieces;
}

// ---------------------------------------------------------------------------------------

TVerticalRun ShapePiece(const TFontSet& fonts, const QString& text, const TPiece& piece) {
  TVerticalRun run;
  run.Font = fonts.Raw(piece.FontIndex);
  run.Rotated = piece.Rotated;
  hb_font_t* hb = fonts.Hb(piece.FontIndex);
  if (!hb) return run;
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.utf16()),
                      static_cast<int>(text.size()), static_cast<unsigned>(piece.Start),
                      piece.Length);
  SetupBuffer(buffer, piece.Rotated ? HB_DIRECTION_LTR : HB_DIRECTION_TTB);
  if (piece.Rotated)
    hb_shape(hb, buffer, nullptr, 0);
  else
    hb_shape(hb, buffer, kVerticalFeatures, 1);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  const qreal scale = run.Font.pixelSize() / run.Font.unitsPerEm();
  qreal penX = 0;
  qreal penY = 0;  // HarfBuzz's y axis points up
  run.Glyphs.reserve(static_cast<int>(count));
  run.Positions.reserve(static_cast<int>(count));
  const int pieceEnd = piece.Start + piece.Length;
  for (unsigned g = 0; g < count; ++g) {
    const int cluster = static_cast<int>(info[g].cluster);
    int next = pieceEnd;
    for (unsigned k = g + 1; k < count; ++k)
      if (static_cast<int>(info[k].cluster) != cluster) {
        if (static_cast<int>(info[k].cluster) > cluster) next = static_cast<int>(info[k].cluster);
        break;
      }
    const bool continues = g > 0 && static_cast<int>(info[g - 1].cluster) == cluster;
    run.Sources.push_back(continues ? QString() : text.mid(cluster, next - cluster));
    run.Glyphs.push_back(info[g].codepoint);
    run.Positions.push_back(
        QPointF((penX + pos[g].x_offset) * scale, -(penY + pos[g].y_offset) * scale));
    penX += pos[g].x_advance;
    penY += pos[g].y_advance;
  }
  run.Advance = piece.Rotated ? penX * scale : -penY * scale;
  hb_buffer_destroy(buffer);
  return run;
}

void DrawRun(QPainter& painter, const TVerticalRun& run, const QPointF& origin) {
  if (run.Glyphs.isEmpty()) return;
  if (TGlyphSink* sink = GlyphSinkOf(painter)) {
    sink->DrawGlyphs(origin, run.Font, run.Glyphs, run.Positions, run.Sources);
    return;
  }
  QGlyphRun glyphs;
  glyphs.setRawFont(run.Font);
  glyphs.setGlyphIndexes(run.Glyphs);
  glyphs.setPositions(run.Positions);
  painter.drawGlyphRun(origin, glyphs);
}

void DrawLines(QPainter& painter, const TVerticalLayout& layout, const QPointF& topRight) {
  const auto line = [&](qreal left) {
    painter.fillRect(QRectF(left, topRight.y(), layout.LineWidth, layout.Advance),
                     painter.pen().color());
  };
  if (layout.Underline) line(topRight.x() - layout.ColumnWidth);
  if (layout.StrikeOut) line(topRight.x() - (layout.ColumnWidth + layout.LineWidth) / 2);
}

}  // namespace

TVerticalLayout LayoutVerticalText(const QFont& font, const QString& text) {
  TVerticalLayout layout;
  layout.Text = text;
  const QFontMetricsF metrics(font);
  layout.ColumnWidth = metrics.height();
  layout.Ascent = metrics.ascent();
  layout.Underline = font.underline();
  layout.StrikeOut = font.strikeOut();
  layout.LineWidth = metrics.lineWidth();
  if (text.isEmpty()) return layout;
  TFontSet fonts(font);
  if (!fonts.IsValid()) return layout;
  for (const TPiece& piece : SplitIntoPieces(fonts, text)) {
    TVerticalRun run = ShapePiece(fonts, text, piece);
    run.Start = layout.Advance;
    layout.Advance += run.Advance;
    layout.Runs.push_back(std::move(run));
  }
  return layout;
}

QSizeF MeasureVerticalText(const QFont& font, const QString& text) {
  const TVerticalLayout layout = LayoutVerticalText(font, text);
  return QSizeF(layout.ColumnWidth, layout.Advance);
}

void DrawVerticalLayout(QPainter& painter, const TVerticalLayout& layout, const QPointF& topRight) {
  TGlyphSink* sink = GlyphSinkOf(painter);
  if (sink) sink->BeginText(layout.Text);
  const qreal centre = topRight.x() - layout.ColumnWidth / 2;
  for (const TVerticalRun& run : layout.Runs) {
    if (!run.Rotated) {
      DrawRun(painter, run, QPointF(centre, topRight.y() + run.Start));
      continue;
    }
    // Turned a quarter clockwise: the run's baseline runs down the column, the tops of
    // its letters face the column's right edge.
    painter.save();
    painter.translate(topRight.x(), topRight.y() + run.Start);
    painter.rotate(90);
    DrawRun(painter, run, QPointF(0, layout.Ascent));
    painter.restore();
  }
  DrawLines(painter, layout, topRight);
  if (sink) sink->EndText();
}

void DrawVerticalText(QPainter& painter, const QFont& font, const QPointF& topRight,
                      const QString& text) {
  DrawVerticalLayout(painter, LayoutVerticalText(font, text), topRight);
}

}  // namespace zelk
