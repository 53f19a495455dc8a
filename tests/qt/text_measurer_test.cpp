// SPDX-License-Identifier: GPL-3.0-or-later
// Text measured with the installed fonts: the point size kept at every resolution, the
// "@" faces measured as they are set down the column, non-square resolutions.

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "preview/qt/FontMapping.h"
#include "preview/qt/QtTextMeasurer.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

TFont Font(const char16_t* face, int points) {
  TFont f;
  f.SetName(face);
  f.SetSize(points);
  return f;
}

struct TResolutionCase {
  const char16_t* Face;
  const char16_t* Text;
};

class KeepsPointSize : public ::testing::TestWithParam<TResolutionCase> {};

// The same text is twice as many device units at twice the resolution (within the
// rounding of the pixel size and the extent).
TEST_P(KeepsPointSize, ExtentGrowsWithTheResolution) {
  const TQtTextMeasurer m;
  const TFont f = Font(GetParam().Face, 12);
  const TTextExtent at300 = m.Measure(f, GetParam().Text, 300, 300);
  const TTextExtent at600 = m.Measure(f, GetParam().Text, 600, 600);
  const TTextExtent at1200 = m.Measure(f, GetParam().Text, 1200, 1200);
  ASSERT_GT(at300.Width, 0);
  ASSERT_GT(at300.Height, 0);
  EXPECT_NEAR(at600.Width, 2 * at300.Width, 2);
  EXPECT_NEAR(at1200.Width, 2 * at600.Width, 2);
  EXPECT_NEAR(at600.Height, 2 * at300.Height, 2);
  EXPECT_NEAR(at1200.Height, 2 * at600.Height, 2);
}

INSTANTIATE_TEST_SUITE_P(Faces, KeepsPointSize,
                         ::testing::Values(TResolutionCase{u"ＭＳ 明朝", u"原稿用紙"},
                                           TResolutionCase{u"@ＭＳ 明朝", u"原稿用紙"},
                                           TResolutionCase{u"Tahoma", u"Page 12"},
                                           TResolutionCase{u"@Tahoma", u"名前AB"},
                                           TResolutionCase{u"ＭＳ Ｐゴシック", u"ひらがな"}));

TEST(QtTextMeasurer, HorizontalIsTheAdvanceAndTheFontHeight) {
  const TFont f = Font(u"ＭＳ ゴシック", 9);
  const TTextExtent e = TQtTextMeasurer().Measure(f, u"原稿", 600, 600);
  // 9 points at 600 dpi is a 75-pixel em; IPAGothic's full-width characters advance one
  // em, and its height is its Windows ascent + descent, as GDI's text height is:
  // (1802 + 401) / 2048 x 75 = 80.67.
  EXPECT_EQ(e.Width, 150);
  EXPECT_EQ(e.Height, 81);
  const QFontMetricsF metrics(ToQFont(f, 600));
  EXPECT_EQ(e.Height, qRound(metrics.height()));
}

TEST(QtTextMeasurer, VerticalFaceIsMeasuredDownTheColumn) {
  const TFont f = Font(u"@ＭＳ 明朝", 12);
  const std::u16string text = u"縦書きAB、";
  const TTextExtent e = TQtTextMeasurer().Measure(f, text, 600, 600);
  const QSizeF column = MeasureVerticalText(ToQFont(f, 600), QString::fromStdU16String(text));
  EXPECT_EQ(e.Width, qRound(column.height()));
  EXPECT_EQ(e.Height, qRound(column.width()));
  // Full-width characters measure the same either way.
  const TTextExtent upright = TQtTextMeasurer().Measure(f, u"縦書き", 600, 600);
  const TTextExtent flat = TQtTextMeasurer().Measure(Font(u"ＭＳ 明朝", 12), u"縦書き", 600, 600);
  EXPECT_EQ(upright.Width, flat.Width);
  EXPECT_EQ(upright.Height, flat.Height);
}

TEST(QtTextMeasurer, NonSquareResolution) {
  const TQtTextMeasurer m;
  const TFont flat = Font(u"ＭＳ ゴシック", 9);
  const TTextExtent square = m.Measure(flat, u"原稿", 300, 300);
  // 600 x 300 dpi: the font is made at the vertical resolution and its glyphs are twice
  // as many units wide.
  const TTextExtent wide = m.Measure(flat, u"原稿", 600, 300);
  EXPECT_EQ(wide.Height, square.Height);
  EXPECT_NEAR(wide.Width, 2 * square.Width, 1);
  // Down a column the length is vertical units, the width across horizontal ones.
  const TFont vertical = Font(u"@ＭＳ ゴシック", 9);
  const TTextExtent column = m.Measure(vertical, u"原稿", 600, 300);
  const TTextExtent columnSquare = m.Measure(vertical, u"原稿", 300, 300);
  EXPECT_EQ(column.Width, columnSquare.Width);
  EXPECT_NEAR(column.Height, 2 * columnSquare.Height, 1);
}

TEST(QtTextMeasurer, EdgeCases) {
  const TQtTextMeasurer m;
  const TTextExtent empty = m.Measure(Font(u"Tahoma", 8), u"", 600, 600);
  EXPECT_EQ(empty.Width, 0);
  EXPECT_GT(empty.Height, 0);
  // A broken size or resolution from a file measures something small, never crashes.
  const TTextExtent zero = m.Measure(Font(u"Tahoma", 0), u"abc", 600, 600);
  EXPECT_GE(zero.Width, 0);
  EXPECT_LE(zero.Height, 3);
  const TTextExtent noRes = m.Measure(Font(u"Tahoma", 8), u"abc", 0, 0);
  EXPECT_LE(noRes.Height, 3);
  // The largest size measures without overflow.
  const TTextExtent huge = m.Measure(Font(u"ＭＳ 明朝", 2000000000), u"大", 9600, 9600);
  EXPECT_EQ(huge.Width, kMaxFontPixelSize);
}

}  // namespace
}  // namespace zelk
