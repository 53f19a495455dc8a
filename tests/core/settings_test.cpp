// SPDX-License-Identifier: GPL-3.0-or-later
// The print settings record, its font values and the field table.

#include <gtest/gtest.h>

#include <limits>

#include "base/Font.h"
#include "settings/NumberText.h"
#include "settings/PrintSetting.h"
#include "settings/SettingFields.h"

namespace zelk {
namespace {

TEST(PrintSetting, NewRecordHasTheDesignedDefaults) {
  const TPrintSetting s;
  EXPECT_EQ(s.SettingName, u"印刷設定");
  EXPECT_EQ(s.PaperName, u"A4");
  EXPECT_EQ(s.PrinterInfo.LogPixelsX, 0);
  EXPECT_EQ(s.PrinterInfo.LogPixelsY, 0);
  EXPECT_EQ(s.Tate, 20);
  EXPECT_EQ(s.Yoko, 20);
  EXPECT_TRUE(s.Tategaki);
  EXPECT_FALSE(s.Yokogaki);
  EXPECT_DOUBLE_EQ(s.YohakuU, 12);
  EXPECT_DOUBLE_EQ(s.YohakuL, 15);
  EXPECT_DOUBLE_EQ(s.LineWidth, 0.3);
  EXPECT_EQ(s.LineType, 4);
  EXPECT_EQ(s.Orime, 1);
  EXPECT_EQ(s.Gyobi, 1);
  EXPECT_TRUE(s.PN_UC);
  EXPECT_FALSE(s.PN_UL);
  EXPECT_EQ(s.PageNumberSpace, 8);
  EXPECT_EQ(s.PageNumberWidth, 18);
  EXPECT_DOUBLE_EQ(s.OutsideTextSpace, 1.5);
  for (const auto& f : SettingFields()) {
    if (f.Kind == TFieldKind::Font) {
      EXPECT_EQ(s.*f.Font, MainWindowFont()) << f.Name;
    }
    if (f.Kind == TFieldKind::Text && f.Text != &TPrintSetting::SettingName &&
        f.Text != &TPrintSetting::PaperName) {
      EXPECT_TRUE((s.*f.Text).empty()) << f.Name;
    }
  }
}

TEST(PrintSetting, FontsAreIndependentValues) {
  TPrintSetting s;
  s.TitleLUFont.SetName(u"@IPAMincho");
  EXPECT_EQ(s.TitleLDFont.Name(), u"Tahoma");
  EXPECT_EQ(s.CenterCaptionFont.Name(), u"Tahoma");
}

TEST(SettingFields, ListsEveryUserFieldOnceInDeclarationOrder) {
  const auto& fields = SettingFields();
  EXPECT_EQ(fields.size(), 65u);
  EXPECT_STREQ(fields.front().Name, "SettingName");
  EXPECT_STREQ(fields.back().Name, "CountLines");
  int fonts = 0, texts = 0;
  for (const auto& f : fields) {
    fonts += f.Kind == TFieldKind::Font;
    texts += f.Kind == TFieldKind::Text;
  }
  EXPECT_EQ(fonts, 13);
  EXPECT_EQ(texts, 15);
}

struct SetCase {
  const char* name;
  const char* field;
  const char* value;
  bool ok;
};

class SetFieldTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetFieldTest, AcceptsOnlyValuesOfTheFieldsKind) {
  const auto& c = GetParam();
  TPrintSetting s;
  const TSettingField* f = FindSettingField(c.field);
  ASSERT_NE(f, nullptr);
  std::string why;
  EXPECT_EQ(SetFieldFromText(s, *f, c.value, &why), c.ok) << why;
  if (!c.ok) {
    EXPECT_FALSE(why.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetFieldTest,
    ::testing::Values(SetCase{"int", "Tate", "10", true}, SetCase{"int_text", "Tate", "ten", false},
                      SetCase{"int_overflow", "Tate", "99999999999", false},
                      SetCase{"double", "OrimeWidth", "15.5", true},
                      SetCase{"double_comma", "OrimeWidth", "15,5", false},
                      SetCase{"flag", "OuterLine", "0", true},
                      SetCase{"flag_word", "OuterLine", "maybe", false},
                      SetCase{"text", "TitleUL", "名前", true},
                      SetCase{"font", "TitleULFont", "IPAMincho,12,bold,italic", true},
                      SetCase{"font_no_face", "TitleULFont", ",12", false},
                      SetCase{"font_bad_attribute", "TitleULFont", "IPAMincho,huge", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetField, WritingDirectionFlagsStayOpposite) {
  TPrintSetting s;
  ASSERT_TRUE(SetFieldFromText(s, *FindSettingField("Tategaki"), "0", nullptr));
  EXPECT_FALSE(s.Tategaki);
  EXPECT_TRUE(s.Yokogaki);
  ASSERT_TRUE(SetFieldFromText(s, *FindSettingField("Yokogaki"), "0", nullptr));
  EXPECT_TRUE(s.Tategaki);
  EXPECT_FALSE(s.Yokogaki);
}

TEST(SetField, FontTextSetsFaceSizeAndStyles) {
  TPrintSetting s;
  ASSERT_TRUE(
      SetFieldFromText(s, *FindSettingField("TitleULFont"), "IPAMincho,12,bold,italic", nullptr));
  EXPECT_EQ(s.TitleULFont.Name(), u"IPAMincho");
  EXPECT_EQ(s.TitleULFont.Size(), 12);
  EXPECT_EQ(s.TitleULFont.Height(), -16);  // 12 pt at 96 ppi
  EXPECT_TRUE(s.TitleULFont.Style().Bold);
  EXPECT_TRUE(s.TitleULFont.Style().Italic);
  EXPECT_FALSE(s.TitleULFont.Style().Underline);
}

TEST(Font, HeightAndSizeAreTwoViewsOfOneQuantity) {
  TFont f;
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  f.SetPixelsPerInch(600);
  EXPECT_EQ(f.Height(), -11) << "storing the resolution changes neither view";
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -75);  // 9 x 600 / 72 = 75
  f.SetHeight(-100);
  EXPECT_EQ(f.Size(), 12);
  f.SetPixelsPerInch(96);
  f.SetHeight(-13);  // 13 x 72 / 96 = 9.75
  EXPECT_EQ(f.Size(), 10);
}

TEST(Font, ResolutionOfZeroOrLessLeavesTheOtherView) {
  for (const int32_t ppi : {0, -96}) {
    TFont f;
    f.SetPixelsPerInch(ppi);
    f.SetSize(20);
    EXPECT_EQ(f.Height(), -11);
    f.SetHeight(-40);
    EXPECT_EQ(f.Size(), 20);
  }
}

TEST(MulDivRound, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRound(1, 1, 2), 1);
  EXPECT_EQ(MulDivRound(-1, 1, 2), -1);
  EXPECT_EQ(MulDivRound(3, 1, 2), 2);
  EXPECT_EQ(MulDivRound(1, 1, 3), 0);
  EXPECT_EQ(MulDivRound(-2, 1, 3), -1);
  EXPECT_EQ(MulDivRound(7, 1, -2), -4);
  EXPECT_EQ(MulDivRound(2147483647, 2147483647, 1), 2147483647);
  EXPECT_EQ(MulDivRound(-2147483647 - 1, 1, 1), -2147483647) << "saturates so it negates";
}

TEST(NumberText, ReadsDecimalsAsTheNumericFieldsHoldThem) {
  struct Case {
    const char16_t* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {u"12", true, 12},  {u" 0.3 ", true, 0.3}, {u"-1.5", true, -1.5}, {u"+2", true, 2},
      {u".5", true, 0.5}, {u"5.", true, 5},      {u"1e3", true, 1000},  {u"", false, 0},
      {u"-", false, 0},   {u".", false, 0},      {u"1,5", false, 0},    {u"1.2.3", false, 0},
      {u"1e", false, 0},  {u"1e999", false, 0},  {u"０", false, 0},     {u"12mm", false, 0}};
  for (const auto& c : cases) {
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v), c.ok) << ToUtf8(c.text);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << ToUtf8(c.text);
    } else {
      EXPECT_EQ(v, -99) << "a failed read leaves the value";
    }
  }
}

TEST(NumberText, ConversionErrorNamesTheText) {
  try {
    StrToFloat(u"abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'abc' は浮動小数点数ではありません");
    EXPECT_STREQ(e.what(), "'abc' は浮動小数点数ではありません");
  }
}

TEST(NumberText, Utf8RoundTripsAndRepairsBadSequences) {
  const std::u16string text = u"原稿用紙 𠮷 A";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(FromUtf8("a\xff"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xe3\x81"), u"\uFFFD\uFFFD");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(NumberText, LengthsFitWhatANumericFieldShows) {
  const struct {
    double value;
    bool fits;
  } cases[] = {{0, true},
               {999999999.99, true},
               {-999999999.99, true},
               {999999999.994, true},
               {999999999.995, false},  // shows as 1000000000
               {1e9, false},
               {1e308, false},
               {std::numeric_limits<double>::infinity(), false},
               {std::numeric_limits<double>::quiet_NaN(), false}};
  for (const auto& c : cases) EXPECT_EQ(LengthFitsField(c.value), c.fits) << c.value;
}

TEST(NumberText, FileNamesKeepEveryByte) {
  for (const std::string name : {"plain.zelk", "原稿.zelk", "bad\xff.zelk",
                                 "\xe3\x81"
                                 "cut",
                                 "\xed\xa0\x80surrogate", "\x80\xfe\xff"}) {
    EXPECT_EQ(FileNameFromUtf16(FileNameToUtf16(name)), name) << name;
  }
  EXPECT_EQ(FileNameToUtf16("原稿"), u"原稿");
  EXPECT_EQ(FileNameToUtf16("a\xff"), std::u16string(u"a") + char16_t(0xDCFF));
}

}  // namespace
}  // namespace zelk
