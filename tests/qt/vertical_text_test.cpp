// SPDX-License-Identifier: GPL-3.0-or-later
// Vertical writing: vertical forms through `vert`, upright and turned runs, and the
// column rule (placed at x, a text occupies x − height to x and runs down from y).

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include "preview/qt/FontMapping.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

QFont Face(const char16_t* name, int pixels) {
  TFont f;
  f.SetName(name);
  f.SetSize(pixels);  // at 72 dpi one point is one pixel
  return ToQFont(f, 72);
}

// The bounding box of the pixels darker than white, or a null rect.
QRect Ink(const QImage& image) {
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(line[x]) > 200) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage White(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

quint32 NominalGlyph(const QRawFont& font, QChar c) {
  const QVector<quint32> g = font.glyphIndexesForString(QString(c));
  return g.isEmpty() ? 0 : g[0];
}

class VerticalForms : public ::testing::TestWithParam<const char16_t*> {};

// Each of 「」、。ー is replaced by the font's vertical form: another glyph, drawn upright
// (not turned) in the column.
TEST_P(VerticalForms, GlyphDiffersFromTheHorizontalOne) {
  for (const char16_t* face : {u"ＭＳ 明朝", u"ＭＳ ゴシック", u"ＭＳ Ｐゴシック"}) {
    const QFont font = Face(face, 64);
    const QString text = QString::fromUtf16(GetParam());
    const TVerticalLayout layout = LayoutVerticalText(font, text);
    ASSERT_EQ(layout.Runs.size(), 1u);
    const TVerticalRun& run = layout.Runs[0];
    EXPECT_FALSE(run.Rotated);
    ASSERT_EQ(run.Glyphs.size(), 1);
    EXPECT_NE(run.Glyphs[0], NominalGlyph(run.Font, text[0])) << text.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Punctuation, VerticalForms,
                         ::testing::Values(u"「", u"」", u"、", u"。", u"ー"));

TEST(VerticalText, LongVowelMarkRunsDownTheColumn) {
  const QFont font = Face(u"ＭＳ ゴシック", 64);
  const TVerticalLayout layout = LayoutVerticalText(font, QStringLiteral("ー"));
  const TVerticalRun& run = layout.Runs.at(0);
  const QRectF vertical = run.Font.boundingRect(run.Glyphs.at(0));
  const QRectF horizontal = run.Font.boundingRect(NominalGlyph(run.Font, u'ー'));
  EXPECT_GT(horizontal.width(), 3 * horizontal.height());
  EXPECT_GT(vertical.height(), 3 * vertical.width());
}

TEST(VerticalText, CommaAndStopMoveToTheUpperRight) {
  const QFont font = Face(u"ＭＳ 明朝", 64);
  for (QChar c : {QChar(u'、'), QChar(u'。')}) {
    const TVerticalLayout layout = LayoutVerticalText(font, QString(c));
    const TVerticalRun& run = layout.Runs.at(0);
    const QRectF vertical = run.Font.boundingRect(run.Glyphs.at(0));
    const QRectF horizontal = run.Font.boundingRect(NominalGlyph(run.Font, c));
    EXPECT_GT(vertical.center().x(), horizontal.center().x() + 16);
    EXPECT_LT(vertical.center().y(), horizontal.center().y() - 16);
  }
}

TEST(VerticalText, JapaneseUprightLatinAndDigitsTurned) {
  const QFont font = Face(u"ＭＳ ゴシック", 40);
  const TVerticalLayout layout = LayoutVerticalText(font, QStringLiteral("原稿AB12用紙"));
  ASSERT_EQ(layout.Runs.size(), 3u);
  EXPECT_FALSE(layout.Runs[0].Rotated);
  EXPECT_TRUE(layout.Runs[1].Rotated);
  EXPECT_FALSE(layout.Runs[2].Rotated);
  EXPECT_EQ(layout.Runs[0].Glyphs.size(), 2);
  EXPECT_EQ(layout.Runs[1].Glyphs.size(), 4);
  // Full-width characters advance one em down the column; the runs follow each other.
  EXPECT_NEAR(layout.Runs[0].Advance, 80, 0.5);
  EXPECT_NEAR(layout.Runs[1].Start, 80, 0.5);
  EXPECT_NEAR(layout.Runs[2].Start, layout.Runs[1].Start + layout.Runs[1].Advance, 0.01);
  EXPECT_NEAR(layout.Advance, layout.Runs[2].Start + 80, 0.5);
}

TEST(VerticalText, TurnedLatinLiesAcrossTheColumn) {
  // "l" is tall and thin: stacked upright, a row of them would be one stroke wide; turned
  // a quarter, the column is as wide as an "l" is tall.
  const QFont font = Face(u"ＭＳ ゴシック", 60);
  QImage image = White(200, 400);
  {
    QPainter p(&image);
    p.setPen(Qt::black);
    DrawVerticalText(p, font, QPointF(150, 20), QStringLiteral("llllll"));
  }
  const QRect ink = Ink(image);
  ASSERT_FALSE(ink.isNull());
  EXPECT_GT(ink.width(), 30);
  EXPECT_GT(ink.height(), 2 * ink.width());
  // Turned clockwise: the tops of the letters face the right edge, so the ink keeps
  // clear of the column's left part, where the descent lies.
  const QFontMetricsF m(font);
  EXPECT_GT(ink.left(), 150 - m.ascent() - 1);
}

class ColumnRule : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(ColumnRule, TextOccupiesXMinusHeightToXAndRunsDown) {
  const QFont font = Face(GetParam(), 48);
  const QString text = QStringLiteral("原稿用紙「テスト」ABC");
  const QSizeF size = MeasureVerticalText(font, text);
  EXPECT_NEAR(size.width(), QFontMetricsF(font).height(), 0.01);
  QImage image = White(300, 1200);
  const QPointF topRight(200, 50);
  {
    QPainter p(&image);
    p.setPen(Qt::black);
    DrawVerticalText(p, font, topRight, text);
  }
  const QRect ink = Ink(image);
  ASSERT_FALSE(ink.isNull());
  EXPECT_GE(ink.left(), topRight.x() - size.width() - 1);
  EXPECT_LE(ink.right(), topRight.x() + 1);
  EXPECT_GE(ink.top(), topRight.y() - 1);
  EXPECT_LE(ink.bottom(), topRight.y() + size.height() + 1);
  // It fills most of that length: the text really runs down, not across.
  EXPECT_GT(ink.height(), size.height() * 0.85);
  EXPECT_LT(ink.width(), size.width() * 1.05);
}

INSTANTIATE_TEST_SUITE_P(Faces, ColumnRule,
                         ::testing::Values(u"ＭＳ 明朝", u"ＭＳ Ｐゴシック", u"Tahoma"));

TEST(VerticalText, FallbackSuppliesJapaneseForTahoma) {
  const QFont font = Face(u"Tahoma", 40);
  const TVerticalLayout layout = LayoutVerticalText(font, QStringLiteral("名前"));
  ASSERT_EQ(layout.Runs.size(), 1u);
  EXPECT_EQ(layout.Runs[0].Font.familyName(), JapaneseFallbackFamily(QStringLiteral("Tahoma")));
  for (quint32 g : layout.Runs[0].Glyphs) EXPECT_NE(g, 0u);
  EXPECT_FALSE(layout.Runs[0].Rotated);
}

TEST(VerticalText, EmptyTextAndCombiningMarks) {
  const QFont font = Face(u"ＭＳ 明朝", 40);
  const TVerticalLayout empty = LayoutVerticalText(font, QString());
  EXPECT_TRUE(empty.Runs.empty());
  EXPECT_EQ(empty.Advance, 0);
  EXPECT_GT(empty.ColumnWidth, 0);
  // か followed by a combining voiced mark stays one upright run.
  const TVerticalLayout voiced = LayoutVerticalText(font, QString::fromUtf16(u"か\u3099"));
  ASSERT_EQ(voiced.Runs.size(), 1u);
  EXPECT_FALSE(voiced.Runs[0].Rotated);
}

TEST(VerticalText, UnderlineRunsDownTheColumnsLeftEdge) {
  QFont font = Face(u"ＭＳ 明朝", 48);
  font.setUnderline(true);
  const TVerticalLayout layout = LayoutVerticalText(font, QStringLiteral("下線"));
  QImage image = White(200, 200);
  {
    QPainter p(&image);
    p.setPen(Qt::black);
    DrawVerticalLayout(p, layout, QPointF(150, 10));
  }
  const int x = static_cast<int>(150 - layout.ColumnWidth);
  int dark = 0;
  for (int y = 11; y < 10 + static_cast<int>(layout.Advance) - 1; ++y)
    dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  EXPECT_EQ(dark, static_cast<int>(layout.Advance) - 2);
  EXPECT_GE(Ink(image).left(), x - 1);
}

}  // namespace
}  // namespace zelk
