// SPDX-License-Identifier: GPL-3.0-or-later
// The face substitution table, TFont ↔ QFont at a resolution, and TColor.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QRawFont>

#include "preview/qt/FontMapping.h"

namespace zelk {
namespace {

struct TFaceCase {
  const char16_t* Face;
  const char* Family;
};

class FaceSubstitution : public ::testing::TestWithParam<TFaceCase> {};

TEST_P(FaceSubstitution, PlainAndVerticalFormsResolveToTheInstalledFamily) {
  const QString face = QString::fromUtf16(GetParam().Face);
  const QString family = QString::fromLatin1(GetParam().Family);
  EXPECT_EQ(InstalledFamily(face), family);
  EXPECT_EQ(InstalledFamily(QChar(u'@') + face), family);
  // The family really is installed: the font engine loads it and not a stand-in.
  TFont f;
  f.SetName(GetParam().Face);
  f.SetSize(10);
  EXPECT_EQ(QRawFont::fromFont(ToQFont(f, 600)).familyName(), family);
}

INSTANTIATE_TEST_SUITE_P(Table, FaceSubstitution,
                         ::testing::Values(TFaceCase{u"ＭＳ ゴシック", "IPAGothic"},
                                           TFaceCase{u"ＭＳ 明朝", "IPAMincho"},
                                           TFaceCase{u"ＭＳ Ｐゴシック", "IPAPGothic"},
                                           TFaceCase{u"ＭＳ Ｐ明朝", "IPAPMincho"},
                                           TFaceCase{u"MS UI Gothic", "IPAPGothic"},
                                           TFaceCase{u"メイリオ", "IPAPGothic"},
                                           TFaceCase{u"Tahoma", "DejaVu Sans"},
                                           TFaceCase{u"tahoma", "DejaVu Sans"},
                                           TFaceCase{u"MS Mincho", "IPAMincho"}));

TEST(FontMapping, UnknownAndEmptyFaces) {
  EXPECT_EQ(InstalledFamily(QStringLiteral("IPAMincho")), QStringLiteral("IPAMincho"));
  EXPECT_EQ(InstalledFamily(QStringLiteral("@IPAMincho")), QStringLiteral("IPAMincho"));
  // A face that is not installed is fontconfig's best match for it.
  EXPECT_EQ(InstalledFamily(QStringLiteral("NoSuchFace")), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(InstalledFamily(QString()), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(InstalledFamily(QStringLiteral("@")), QStringLiteral("DejaVu Sans"));
}

TEST(FontMapping, VerticalMark) {
  EXPECT_TRUE(IsVerticalFace(std::u16string(u"@ＭＳ 明朝")));
  EXPECT_FALSE(IsVerticalFace(std::u16string(u"ＭＳ 明朝")));
  EXPECT_FALSE(IsVerticalFace(std::u16string()));
  EXPECT_EQ(HorizontalFace(QStringLiteral("@Tahoma")), QStringLiteral("Tahoma"));
  EXPECT_EQ(HorizontalFace(QStringLiteral("Tahoma")), QStringLiteral("Tahoma"));
  EXPECT_EQ(HorizontalFace(QStringLiteral("@@x")), QStringLiteral("@x"));  // one mark only
}

TEST(FontMapping, InsertedSubstitutionsResolveWindowsNamesDirectly) {
  InstallFontSubstitutions();
  InstallFontSubstitutions();  // idempotent
  QFont q(QString::fromUtf16(u"ＭＳ 明朝"));
  EXPECT_EQ(QFontInfo(q).family(), QStringLiteral("IPAMincho"));
  QFont v(QString::fromUtf16(u"@ＭＳ ゴシック"));
  EXPECT_EQ(QFontInfo(v).family(), QStringLiteral("IPAGothic"));
}

struct TPixelCase {
  int Points;
  int Resolution;
  int Pixels;
};

class PixelSize : public ::testing::TestWithParam<TPixelCase> {};

TEST_P(PixelSize, KeepsThePointSize) {
  EXPECT_EQ(FontPixelSize(GetParam().Points, GetParam().Resolution), GetParam().Pixels);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PixelSize,
                         ::testing::Values(TPixelCase{9, 600, 75}, TPixelCase{8, 96, 11},
                                           TPixelCase{10, 96, 13},   // 13.33
                                           TPixelCase{12, 150, 25},  // 25.0
                                           TPixelCase{9, 100, 13},   // 12.5 rounds up
                                           TPixelCase{-9, 600, 75},  // a cell height
                                           TPixelCase{0, 600, 1}, TPixelCase{9, 0, 1},
                                           TPixelCase{9, -600, 1},
                                           TPixelCase{2000000000, 9600, kMaxFontPixelSize}));

TEST(FontMapping, ToQFontCarriesSizeAndStyle) {
  TFont f;
  f.SetName(u"@ＭＳ 明朝");
  f.SetSize(12);
  TFontStyles st;
  st.Bold = true;
  st.Underline = true;
  f.SetStyle(st);
  const QFont q600 = ToQFont(f, 600);
  EXPECT_EQ(q600.family(), QStringLiteral("IPAMincho"));
  EXPECT_EQ(q600.pixelSize(), 100);
  EXPECT_TRUE(q600.bold());
  EXPECT_FALSE(q600.italic());
  EXPECT_TRUE(q600.underline());
  EXPECT_FALSE(q600.strikeOut());
  EXPECT_EQ(ToQFont(f, 150).pixelSize(), 25);
}

TEST(FontMapping, FromQFontKeepsBaseAttributes) {
  TFont base;
  base.SetColor(0x0000FF);
  base.SetCharset(128);
  QFont q(QStringLiteral("IPAGothic"));
  q.setPointSize(14);
  q.setItalic(true);
  const TFont f = FromQFont(q, 96, base);
  EXPECT_EQ(f.Name(), u"IPAGothic");
  EXPECT_EQ(f.Size(), 14);
  EXPECT_TRUE(f.Style().Italic);
  EXPECT_EQ(f.Color(), 0x0000FF);
  EXPECT_EQ(f.Charset(), 128);
  QFont px(QStringLiteral("IPAGothic"));
  px.setPixelSize(25);
  EXPECT_EQ(FromQFont(px, 150, base).Size(), 12);
}

TEST(FontMapping, Colours) {
  EXPECT_EQ(PaperColor(0x0000FF), QColor(255, 0, 0));  // red is the low byte
  EXPECT_EQ(PaperColor(0x00FF00), QColor(0, 255, 0));
  EXPECT_EQ(PaperColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(PaperColor(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(PaperColor(clWindowText), QColor(0, 0, 0));
  EXPECT_EQ(PaperColor(static_cast<TColor>(0xFF000005u)), QColor(255, 255, 255));
  EXPECT_EQ(PaperColor(kWhite), QColor(255, 255, 255));
}

}  // namespace
}  // namespace zelk
