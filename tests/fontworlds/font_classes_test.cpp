// SPDX-License-Identifier: GPL-3.0-or-later
// Face classes in each font world of the tests (run once with the IPA fonts, once with
// Noto CJK): every face a settings file may name resolves to an installed family of its
// class, and its Japanese text, horizontal and vertical, is drawn with real glyphs.

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextLayout>

#include "preview/qt/FontMapping.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

struct TClassCase {
  const char16_t* Face;
  const char* Family;          ///< what the resolved family's name shows of its class
  const char* JapaneseFamily;  ///< likewise for the family of its Japanese characters
};

// Japanese, brackets and punctuation with vertical forms, kana, the long-vowel mark, a
// Latin letter and a digit: the characters a caption or an edit holds.
const QString kSample = QString::fromUtf16(u"原稿用紙「あア」、。ーA1");

QFont Font(const TClassCase& c, bool vertical) {
  TFont f;
  f.SetName(vertical ? std::u16string(u"@") + c.Face : std::u16string(c.Face));
  f.SetSize(24);
  return ToQFont(f, 96);
}

// The .notdef glyph of `raw`, drawn alone: what a character without a glyph looks like.
QImage Picture(const QRawFont& raw, quint32 glyph) {
  QImage image(64, 64, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  QGlyphRun run;
  run.setRawFont(raw);
  run.setGlyphIndexes({glyph});
  run.setPositions({QPointF(8, 48)});
  p.drawGlyphRun(QPointF(0, 0), run);
  return image;
}

// Every glyph is a real one: not glyph 0, and not drawn like the font's .notdef box.
void ExpectRealGlyphs(const QRawFont& raw, const QVector<quint32>& glyphs, const char* where) {
  const QImage notdef = Picture(raw, 0);
  for (quint32 g : glyphs) {
    EXPECT_NE(g, 0u) << where << " in " << raw.familyName().toStdString();
    EXPECT_NE(Picture(raw, g), notdef) << where << " glyph " << g;
  }
}

class FaceClass : public ::testing::TestWithParam<TClassCase> {};

TEST_P(FaceClass, ResolvesWithinItsClass) {
  const TResolvedFace face = ResolveFace(QString::fromUtf16(GetParam().Face));
  EXPECT_TRUE(face.Family.contains(QRegularExpression(QString::fromLatin1(GetParam().Family))))
      << face.Family.toStdString();
  EXPECT_TRUE(face.JapaneseFamily.contains(
      QRegularExpression(QString::fromLatin1(GetParam().JapaneseFamily))))
      << face.JapaneseFamily.toStdString();
  // The family really is installed: the font engine loads it and not a stand-in.
  EXPECT_EQ(QRawFont::fromFont(Font(GetParam(), false)).familyName(), face.Family);
}

TEST_P(FaceClass, HorizontalTextHasRealGlyphs) {
  QTextLayout layout(kSample, Font(GetParam(), false));
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns())
    ExpectRealGlyphs(run.rawFont(), run.glyphIndexes(), "horizontal");
}

TEST_P(FaceClass, VerticalTextHasRealGlyphs) {
  const TVerticalLayout layout = LayoutVerticalText(Font(GetParam(), true), kSample);
  int glyphs = 0;
  for (const TVerticalRun& run : layout.Runs) {
    ExpectRealGlyphs(run.Font, run.Glyphs, "vertical");
    glyphs += run.Glyphs.size();
  }
  EXPECT_EQ(glyphs, kSample.size());
}

// Class names as the families of both worlds spell them: IPAMincho, IPAPGothic, Noto
// Serif CJK JP, Noto Sans Mono CJK JP, DejaVu Sans …
INSTANTIATE_TEST_SUITE_P(
    Faces, FaceClass,
    ::testing::Values(TClassCase{u"ＭＳ 明朝", "Mincho|Serif", "Mincho|Serif"},
                      TClassCase{u"ＭＳ Ｐ明朝", "Mincho|Serif", "Mincho|Serif"},
                      TClassCase{u"MS Mincho", "Mincho|Serif", "Mincho|Serif"},
                      TClassCase{u"ＭＳ ゴシック", "Gothic|Sans", "Gothic|Sans"},
                      TClassCase{u"ＭＳ Ｐゴシック", "Gothic|Sans", "Gothic|Sans"},
                      TClassCase{u"MS UI Gothic", "Gothic|Sans", "Gothic|Sans"},
                      TClassCase{u"メイリオ", "Gothic|Sans", "Gothic|Sans"},
                      TClassCase{u"Tahoma", "^DejaVu Sans$", "Gothic|Sans"},
                      TClassCase{u"Times New Roman", "Serif", "Mincho|Serif"},
                      TClassCase{u"Courier New", "Mono", "Gothic|Sans"},
                      // Faces of other systems, known by their names' class.
                      TClassCase{u"IPAMincho", "Mincho|Serif", "Mincho|Serif"},
                      TClassCase{u"游明朝", "Mincho|Serif", "Mincho|Serif"},
                      TClassCase{u"HG丸ゴシックM-PRO", "Gothic|Sans", "Gothic|Sans"}));

TEST(FontWorld, ProportionalFacesWhereInstalled) {
  // The IPA world has the P faces; Noto CJK's faces are proportional themselves.
  const QString p = InstalledFamily(QString::fromUtf16(u"ＭＳ Ｐ明朝"));
  const QString fixed = InstalledFamily(QString::fromUtf16(u"ＭＳ 明朝"));
  if (fixed == QLatin1String("IPAMincho"))
    EXPECT_EQ(p, QStringLiteral("IPAPMincho"));
  else
    EXPECT_EQ(p, fixed);
}

TEST(FontWorld, CharacterFallbackReachesAnyInstalledFont) {
  // ☺ and א are in DejaVu only, in both worlds: a Japanese face borrows them.
  const QFont font = ToQFont(TFont(), 96);
  TFont mincho;
  mincho.SetName(u"@ＭＳ 明朝");
  mincho.SetSize(24);
  const TVerticalLayout layout =
      LayoutVerticalText(ToQFont(mincho, 96), QString::fromUtf16(u"名☺א"));
  ASSERT_EQ(layout.Runs.size(), 3u);  // 名, ☺ upright from DejaVu, א turned
  for (const TVerticalRun& run : layout.Runs) ExpectRealGlyphs(run.Font, run.Glyphs, "fallback");
  EXPECT_TRUE(layout.Runs[1].Font.familyName().startsWith(QLatin1String("DejaVu")));
  EXPECT_TRUE(layout.Runs[2].Rotated);
  EXPECT_EQ(FamilyWithCharacter(font.family(), U'\U0010FFFD'), QString());
}

}  // namespace
}  // namespace zelk
