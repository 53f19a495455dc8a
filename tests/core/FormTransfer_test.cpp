// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer between the settings controls and the record, on the headless form.

#include "form/FormTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "preview/PrinterQuery.h"
#include "preview/VirtualPrinter.h"
#include "settings/NumberText.h"
#include "settings/SettingFields.h"

namespace zelk {
namespace {

// A printer that notes the order of orientation changes and capability queries.
class LoggingPrinter : public TVirtualPrinter {
 public:
  void SetOrientation(TPrinterOrientation o) override {
    log.push_back(o == TPrinterOrientation::poPortrait ? "portrait" : "landscape");
    TVirtualPrinter::SetOrientation(o);
  }
  int32_t GetDeviceCaps(TDeviceCap cap) const override {
    log.push_back(Orientation() == TPrinterOrientation::poPortrait ? "caps:portrait"
                                                                   : "caps:landscape");
    return TVirtualPrinter::GetDeviceCaps(cap);
  }
  mutable std::vector<std::string> log;
};

// A headless form that notes every control it is asked about, in order.
class LoggingForm : public THeadlessSettingsForm {
 public:
  int ItemIndex(TControl n) const override { return Note(n), Base::ItemIndex(n); }
  void SetItemIndex(TControl n, int v) override { Note(n), Base::SetItemIndex(n, v); }
  int SpinValue(TControl n) const override { return Note(n), Base::SpinValue(n); }
  void SetSpinValue(TControl n, int v) override { Note(n), Base::SetSpinValue(n, v); }
  std::u16string NumText(TControl n) const override { return Note(n), Base::NumText(n); }
  void SetNumText(TControl n, const std::u16string& t) override { Note(n), Base::SetNumText(n, t); }
  std::u16string EditText(TControl n) const override { return Note(n), Base::EditText(n); }
  void SetEditText(TControl n, const std::u16string& t) override {
    Note(n), Base::SetEditText(n, t);
  }
  bool Checked(TControl n) const override { return Note(n), Base::Checked(n); }
  void SetChecked(TControl n, bool v) override { Note(n), Base::SetChecked(n, v); }
  std::u16string ReadCaption(TControl n) const override { return Note(n), Base::ReadCaption(n); }
  void SetCaption2(TControl n, const std::u16string& t) override {
    Note(n), Base::SetCaption2(n, t);
  }
  // Names noted once each, in the order of their first use.
  std::vector<std::string> Distinct() const {
    std::vector<std::string> d;
    for (const std::string& n : names)
      if (d.empty() || std::find(d.begin(), d.end(), n) == d.end()) d.push_back(n);
    return d;
  }
  mutable std::vector<std::string> names;

 private:
  using Base = THeadlessSettingsForm;
  void Note(TControl n) const { names.emplace_back(ControlName(n)); }
};

// The controls' names in the order of their table.
std::vector<std::string> TableOrder() {
  std::vector<std::string> names;
  for (const TControlSpec& c : SettingControls()) names.emplace_back(c.Name);
  return names;
}

// Field by field comparison over the user-settable fields, fonts excepted (they are not
// part of the transfer).
std::vector<std::string> DifferingFields(const TPrintSetting& a, const TPrintSetting& b) {
  std::vector<std::string> out;
  for (const TSettingField& f : SettingFields()) {
    bool same = true;
    switch (f.Kind) {
      case TFieldKind::Text:
        same = a.*f.Text == b.*f.Text;
        break;
      case TFieldKind::Double:
        same = a.*f.Double == b.*f.Double;
        break;
      case TFieldKind::Int:
        same = a.*f.Int == b.*f.Int;
        break;
      case TFieldKind::Flag:
        same = a.*f.Flag == b.*f.Flag;
        break;
      case TFieldKind::Font:
        break;
    }
    if (!same) out.push_back(f.Name);
  }
  return out;
}

// Every transferred field away from its default, each with a value that the controls
// can show exactly.
TPrintSetting Unusual() {
  TPrintSetting s;
  s.PaperName = u"B5 (JIS)";
  s.PaperWidth = 182;
  s.PaperHeight = 257.01;
  s.Portrait = true;
  s.YohakuU = 7.5;
  s.YohakuL = 0;
  s.YohakuB = 20.25;
  s.YohakuR = -3;
  s.Tate = 40;
  s.Yoko = 1;
  s.SetTategaki(false);
  s.CenterCaption = u"中央";
  s.BottomCaption = u"下";
  s.LineType = 2;
  s.LineWidth = 0.1;
  s.OuterLine = false;
  s.OuterLineWidth = 0.55;
  s.Orime = 2;
  s.OrimeLineType = 0;
  s.OrimeWidth = 3.14;
  s.Gyobi = 2;
  s.PageNumber = false;
  s.PN_UL = s.PN_UR = s.PN_LU = s.PN_LD = s.PN_RU = s.PN_RD = s.PN_BL = s.PN_BR = true;
  s.PN_UC = false;
  s.PageNumberSpace = -5;
  s.PageNumberWidth = 1000;
  s.PageNumberTitle = u"頁";
  s.TitleUL = u"左上";
  s.TitleUR = u"右上";
  s.TitleLU = u"𠮷野";  // a surrogate pair survives the vertical edit
  s.TitleLD = u"左下";
  s.TitleBL = u"下左";
  s.TitleBR = u"下右";
  s.TitleRD = u"右下";
  s.TitleRU = u"右上縦";
  s.OutsideTextSpace = 12.5;
  return s;
}

TEST(FormTransfer, FreshFormGivesTheRecordDefaults) {
  THeadlessSettingsForm form;
  TVirtualPrinter printer;
  TPrintSetting read;
  read.PaperName = u"anything";
  ReadFromForm(read, form, printer);
  TPrintSetting defaults;
  defaults.PaperName = u"";  // E_PaperName is empty until the printer is shown
  EXPECT_EQ(DifferingFields(read, defaults), std::vector<std::string>{});
  EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poLandscape);  // 横長 by design
}

TEST(FormTransfer, RoundTripOfEveryTransferredField) {
  const TPrintSetting original = Unusual();
  THeadlessSettingsForm form;
  WriteToForm(original, form);
  TVirtualPrinter printer;
  TPrintSetting read;
  read.SettingName = u"別名";
  read.Caption3 = u"三";
  read.Caption4 = u"四";
  ReadFromForm(read, form, printer);
  EXPECT_EQ(DifferingFields(read, original),
            (std::vector<std::string>{"SettingName", "Caption3", "Caption4"}));
  EXPECT_EQ(read.SettingName, u"別名");  // no control: untouched
  EXPECT_EQ(read.Caption3, u"三");
  EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poPortrait);
}

struct ChangedCase {
  const char* field;
  std::string value;     // set on the record before WriteToForm
  std::string expected;  // what ReadFromForm gives back
};

class ComesBackChanged : public ::testing::TestWithParam<ChangedCase> {};

TEST_P(ComesBackChanged, AsTheControlsHoldIt) {
  const ChangedCase& c = GetParam();
  const TSettingField* f = FindSettingField(c.field);
  ASSERT_NE(f, nullptr);
  TPrintSetting s;
  ASSERT_TRUE(SetFieldFromText(s, *f, c.value, nullptr));
  TPrintSetting expected = s;
  ASSERT_TRUE(SetFieldFromText(expected, *f, c.expected, nullptr));
  // The window's path gives the same: the record shown in the controls and read back.
  THeadlessSettingsForm form;
  WriteToForm(s, form);
  TVirtualPrinter printer;
  TPrintSetting throughForm = s;
  ReadFromForm(throughForm, form, printer);
  PrepareForDrawing(s, printer);
  EXPECT_EQ(DifferingFields(s, expected), std::vector<std::string>{});
  EXPECT_EQ(DifferingFields(s, throughForm), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ComesBackChanged,
    ::testing::Values(ChangedCase{"YohakuU", "12.346", "12.35"},
                      ChangedCase{"YohakuL", "2.999", "3"}, ChangedCase{"OrimeWidth", "0.004", "0"},
                      ChangedCase{"OutsideTextSpace", "-1.125", "-1.13"},
                      ChangedCase{"LineWidth", "0.05", "0.1"},
                      ChangedCase{"LineWidth", "-2", "0.1"}, ChangedCase{"Tate", "0", "1"},
                      ChangedCase{"Tate", "41", "40"}, ChangedCase{"Yoko", "-7", "1"},
                      ChangedCase{"Yoko", "1000", "40"},
                      ChangedCase{"PageNumberSpace", "-40", "-40"}, ChangedCase{"Orime", "7", "2"},
                      ChangedCase{"LineType", "-3", "-1"}));

TEST(FormTransfer, ThinLineWidthRaisesTheFieldButPensComeFromTheText) {
  THeadlessSettingsForm form;
  form.SetNumText(TControl::NE_LineWidth, u"0.05");
  TVirtualPrinter printer;  // 600 dpi: 0.05 mm is one device unit
  TPrintSetting s;
  ReadFromForm(s, form, printer);
  EXPECT_DOUBLE_EQ(s.LineWidth, 0.1);
  EXPECT_EQ(s.PenWidthX, 2);
  EXPECT_EQ(s.PenWidthY, 2);
  form.SetNumText(TControl::NE_LineWidth, u"0.3");
  ReadFromForm(s, form, printer);
  EXPECT_EQ(s.PenWidthX, 7);  // the same path gives real widths where they are above 2
}

TEST(FormTransfer, EmptiedOuterLineWidthStopsTheTransferThere) {
  const TPrintSetting before = Unusual();
  THeadlessSettingsForm form;  // the designed initial state differs from `before` everywhere
  TVirtualPrinter printer;
  form.ShowPrinterInfo(printer, u"A4");
  form.SetNumText(TControl::NE_OuterLineWidth, u"");
  TPrintSetting s = before;
  try {
    ReadFromForm(s, form, printer);
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'' は浮動小数点数ではありません");
  }
  // Steps up to the outer line took effect ...
  EXPECT_EQ(s.Portrait, printer.Orientation() == TPrinterOrientation::poPortrait);
  EXPECT_EQ(s.Tate, 20);
  EXPECT_DOUBLE_EQ(s.YohakuU, 12);
  EXPECT_DOUBLE_EQ(s.LineWidth, 0.3);
  EXPECT_EQ(s.Gyobi, 1);
  EXPECT_EQ(s.PaperName, u"A4");
  EXPECT_TRUE(s.OuterLine);
  EXPECT_GT(s.AreaWidth, 0);
  // ... the later ones kept their values.
  EXPECT_DOUBLE_EQ(s.OuterLineWidth, before.OuterLineWidth);
  EXPECT_DOUBLE_EQ(s.OutsideTextSpace, before.OutsideTextSpace);
  EXPECT_EQ(s.PageNumber, before.PageNumber);
  EXPECT_EQ(s.PN_UC, before.PN_UC);
  EXPECT_EQ(s.PageNumberSpace, before.PageNumberSpace);
  EXPECT_EQ(s.PageNumberTitle, before.PageNumberTitle);
  EXPECT_EQ(s.TitleUL, before.TitleUL);
  EXPECT_EQ(s.TitleRU, before.TitleRU);
}

struct BadTextCase {
  TControl control;
  std::u16string typed;  // what the numeric edit is left holding
};

class NotANumber : public ::testing::TestWithParam<BadTextCase> {};

TEST_P(NotANumber, RaisesTheConversionErrorNamingTheText) {
  THeadlessSettingsForm form;
  form.SetNumText(GetParam().control, GetParam().typed);
  TVirtualPrinter printer;
  TPrintSetting s;
  try {
    ReadFromForm(s, form, printer);
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(),
              u"'" + form.NumText(GetParam().control) + u"' は浮動小数点数ではありません");
  }
}

INSTANTIATE_TEST_SUITE_P(Controls, NotANumber,
                         ::testing::Values(BadTextCase{TControl::NE_PaperSizeV, u""},
                                           BadTextCase{TControl::NE_YohakuR, u"-"},
                                           BadTextCase{TControl::NE_OrimeW, u"abc"},
                                           BadTextCase{TControl::NE_LineWidth, u"--"},
                                           BadTextCase{TControl::NE_OutsideTextSpace,
                                                       u"1234567890"}));

TEST(FormTransfer, MinusZeroPointReadsAsZero) {
  THeadlessSettingsForm form;
  form.NumEdit(TControl::NE_YohakuU).SetText(u"");
  char16_t minus = u'-', dot = u'.';
  form.NumEdit(TControl::NE_YohakuU).AddMinus(minus);
  form.NumEdit(TControl::NE_YohakuU).AddDot(dot);
  EXPECT_EQ(form.NumText(TControl::NE_YohakuU), u"-0.");
  TVirtualPrinter printer;
  TPrintSetting s;
  ReadFromForm(s, form, printer);
  EXPECT_EQ(s.YohakuU, 0.0);
}

TEST(FormTransfer, LandscapeTurnsThePrinterBeforeItsGeometryIsRead) {
  THeadlessSettingsForm form;
  form.SetItemIndex(TControl::RG_Orientation, 1);
  LoggingPrinter printer;
  TPrintSetting s;
  ReadFromForm(s, form, printer);
  ASSERT_FALSE(printer.log.empty());
  EXPECT_EQ(printer.log.front(), "landscape");
  for (size_t i = 1; i < printer.log.size(); ++i) EXPECT_EQ(printer.log[i], "caps:landscape");
  EXPECT_GT(s.PrinterInfo.PhysicalWidth, s.PrinterInfo.PhysicalHeight);
}

TEST(FormTransfer, ReadsTheControlsInTheWindowsOrder) {
  LoggingForm form;
  TVirtualPrinter printer;
  TPrintSetting s;
  ReadFromForm(s, form, printer);
  const std::vector<std::string> expected = TableOrder();
  EXPECT_EQ(form.Distinct(), expected);
}

TEST(FormTransfer, WritesTheControlsInTheWindowsOrder) {
  LoggingForm form;
  WriteToForm(TPrintSetting(), form);
  const std::vector<std::string> expected = TableOrder();
  EXPECT_EQ(form.names, expected);  // each control written exactly once
}

TEST(FormTransfer, WriteToFormShowsHorizontalWritingAsItemOne) {
  TPrintSetting s;
  s.SetTategaki(false);
  THeadlessSettingsForm form;
  WriteToForm(s, form);
  EXPECT_EQ(form.ItemIndex(TControl::RG_Tategaki), 1);
  EXPECT_EQ(form.NumText(TControl::NE_LineWidth), u"0.3");
  EXPECT_EQ(form.NumText(TControl::NE_OutsideTextSpace), u"1.5");
}

TEST(FormTransfer, WriteToFormWithoutAWindowOnlyTellsSo) {
  std::u16string text, caption;
  WriteToForm(TPrintSetting(), nullptr, [&](const std::u16string& t, const std::u16string& c) {
    text = t;
    caption = c;
  });
  EXPECT_EQ(text, u"MainForm==NULL");
  EXPECT_EQ(caption, u"???");
}

TEST(FormTransfer, FirstStartShowsThePrinterAndKeepsItsOrientation) {
  TVirtualPrinter printer;
  printer.SetOrientation(TPrinterOrientation::poPortrait);
  const TPrintSetting s = FirstStartSettings(printer, u"A4");
  EXPECT_TRUE(s.Portrait);
  EXPECT_EQ(s.PaperName, u"A4");
  TPrinterInfo info;
  GetPrinterInfo(info, printer);
  EXPECT_EQ(FormatFloat0_00(s.PaperWidth), FormatFloat0_00(info.PaperWidthMm));
  EXPECT_DOUBLE_EQ(s.PaperHeight, StrToFloat(FormatFloat0_00(info.PaperHeightMm)));
  EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(s.PrinterInfo.PhysicalWidth, info.PhysicalWidth);
}

// --- the headless form's own rules ---------------------------------------------------

TEST(HeadlessSettingsForm, SpinEditsHoldTheirLimits) {
  THeadlessSettingsForm form;
  form.SetSpinValue(TControl::SE_Tate, 0);
  EXPECT_EQ(form.SpinValue(TControl::SE_Tate), 1);
  form.SetSpinValue(TControl::SE_Yoko, 99);
  EXPECT_EQ(form.SpinValue(TControl::SE_Yoko), 40);
  form.SetSpinValue(TControl::SE_PageNumber, -99);
  EXPECT_EQ(form.SpinValue(TControl::SE_PageNumber), -99);
  form.SetSpinValue(TControl::SE_PageNumberWidth, 5000);
  EXPECT_EQ(form.SpinValue(TControl::SE_PageNumberWidth), 5000);
}

TEST(HeadlessSettingsForm, RadioGroupsHoldAnIndexOfTheirItems) {
  THeadlessSettingsForm form;
  form.SetItemIndex(TControl::RG_LineType, 9);
  EXPECT_EQ(form.ItemIndex(TControl::RG_LineType), 4);
  form.SetItemIndex(TControl::RG_Gyobi, -5);
  EXPECT_EQ(form.ItemIndex(TControl::RG_Gyobi), -1);
  form.SetItemIndex(TControl::RG_Orientation, 0);
  EXPECT_EQ(form.ItemIndex(TControl::RG_Orientation), 0);
}

TEST(HeadlessSettingsForm, NumericTextsAreFilteredAsTheEditFiltersThem) {
  THeadlessSettingsForm form;
  form.SetNumText(TControl::NE_YohakuU, u"12abc");
  EXPECT_EQ(form.NumText(TControl::NE_YohakuU), u"12");
  form.SetNumText(TControl::NE_YohakuU, u"\uFF17.5");
  EXPECT_EQ(form.NumText(TControl::NE_YohakuU), u"7.5");
  form.SetNumText(TControl::NE_YohakuU, u"1.23456");
  EXPECT_EQ(form.NumText(TControl::NE_YohakuU), u"1.234");
}

TEST(HeadlessSettingsForm, PaperSizeEditsAreReadOnly) {
  THeadlessSettingsForm form;
  EXPECT_EQ(form.NumEdit(TControl::NE_PaperSizeV).KeyPress(u'5'), TCharOutcome::Consumed);
  EXPECT_EQ(form.NumText(TControl::NE_PaperSizeV), u"0");
  EXPECT_FALSE(form.NumEdit(TControl::NE_YohakuU).ReadOnly);
}

TEST(HeadlessSettingsForm, AskingAControlOfAnotherKindIsAProgrammingError) {
  THeadlessSettingsForm form;
  EXPECT_THROW(form.NumText(TControl::SE_Tate), std::logic_error);
  EXPECT_THROW(form.SetItemIndex(TControl::SE_Tate, 0), std::logic_error);
  EXPECT_THROW(form.Checked(TControl::E_TitleUL), std::logic_error);
}

// --- "#0.##" -------------------------------------------------------------------------

struct FormatCase {
  double value;
  std::u16string text;
};

class Format0_00 : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format0_00, RoundsToTheHundredth) {
  EXPECT_EQ(FormatFloat0_00(GetParam().value), GetParam().text);
}

// Rule: the double is read to 18 significant digits, then rounded to two decimals with
// halves away from zero. Halves that a double holds exactly round up in magnitude;
// decimal halves that the double holds just below (2.675, 1.005) round down.
INSTANTIATE_TEST_SUITE_P(Values, Format0_00,
                         ::testing::Values(FormatCase{12, u"12"}, FormatCase{0.3, u"0.3"},
                                           FormatCase{203.2, u"203.2"}, FormatCase{2.999, u"3"},
                                           FormatCase{210, u"210"},
                                           FormatCase{4960 * 25.4 / 600, u"209.97"},
                                           FormatCase{7016 * 25.4 / 600, u"297.01"},
                                           FormatCase{0, u"0"}, FormatCase{0.125, u"0.13"},
                                           FormatCase{0.375, u"0.38"}, FormatCase{-0.125, u"-0.13"},
                                           FormatCase{2.5, u"2.5"}, FormatCase{0.005, u"0.01"},
                                           FormatCase{2.675, u"2.67"}, FormatCase{1.005, u"1"},
                                           FormatCase{-0.001, u"0"}, FormatCase{0.995, u"0.99"},
                                           FormatCase{9.995, u"9.99"}, FormatCase{99.999, u"100"},
                                           FormatCase{123456789.125, u"123456789.13"}));

}  // namespace
}  // namespace zelk
