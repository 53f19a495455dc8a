// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SaNumEditModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelk {
namespace {

// Every character 7 pixels wide, so layout figures can be worked out by hand.
class FixedWidthView : public TSaNumEditView {
 public:
  int MeasureText(const std::u16string& text) const override {
    return 7 * static_cast<int>(text.size());
  }
  void Repaint() override { ++repaints; }
  void CaretMove() override { ++caretMoves; }
  int repaints = 0;
  int caretMoves = 0;
};

class MemoryClipboard : public TClipboardText {
 public:
  bool HasText() const override { return hasText; }
  std::u16string Text() const override { return text; }
  void SetText(const std::u16string& t) override {
    text = t;
    hasText = true;
  }
  bool hasText = false;
  std::u16string text;
};

// A model with counters on its callbacks and a clipboard.
struct Edit {
  Edit() {
    m.SetView(&view);
    m.SetClipboard(&clip);
    m.OnBeep = [this] { ++beeps; };
    m.OnChange = [this] { ++changes; };
  }
  // Types every character of `keys` through the character table.
  void Type(const std::u16string& keys) {
    for (char16_t k : keys) m.KeyPress(k);
  }
  TSaNumEditModel m;
  FixedWidthView view;
  MemoryClipboard clip;
  int beeps = 0;
  int changes = 0;
};

// --- SetText: the filter and the leading-zero rule ----------------------------------

struct FilterCase {
  std::u16string input;
  std::u16string text;
};

class SetTextFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SetTextFilter, KeepsTheLongestAcceptableBeginning) {
  Edit e;
  e.m.SetText(GetParam().input);
  EXPECT_EQ(e.m.GetText(), GetParam().text);
  EXPECT_EQ(e.changes, 0);
  EXPECT_FALSE(e.m.Modified);
  EXPECT_FALSE(e.m.CanUndo());
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, SetTextFilter,
    ::testing::Values(FilterCase{u"1234567.891", u"1234567.891"},
                      FilterCase{u"1234567890", u""},          // ten integer digits
                      FilterCase{u"123456789", u"123456789"},  // nine are fine
                      FilterCase{u"3.14159", u"3.141"}, FilterCase{u"0.30", u"0.30"},
                      FilterCase{u"12abc", u"12"}, FilterCase{u"abc", u""}, FilterCase{u" 12", u""},
                      FilterCase{u"1,234", u"1234"}, FilterCase{u"5-", u"5"},
                      FilterCase{u"--5", u"-"}, FilterCase{u"1.2.3", u"1.2"},
                      FilterCase{u"007", u"7"}, FilterCase{u".5", u"0.5"}, FilterCase{u"-0", u"-0"},
                      FilterCase{u"\uFF11\uFF12", u"12"},  // full-width twelve
                      FilterCase{u"\uFF0D\uFF13\uFF0E\uFF15", u"-3.5"},
                      FilterCase{u"1\uFF0C234", u"1234"},  // full-width comma dropped
                      FilterCase{u",-5", u""},             // the comma counts before "-"
                      FilterCase{u"-1234567890", u""}, FilterCase{u"-123456789", u"-123456789"},
                      FilterCase{u"12.", u"12."}, FilterCase{u"-.", u"-0."},
                      FilterCase{u"000", u"0"}, FilterCase{u"-0012", u"-12"},
                      FilterCase{u"1e5", u"1"}, FilterCase{u"", u""}));

TEST(SaNumEditModel, FilterWithoutDecimalsStopsAtTheDot) {
  Edit e;
  e.m.SetDecimalLength(0);
  e.m.SetText(u"12.7");
  EXPECT_EQ(e.m.GetText(), u"12");
  e.Type(u".");
  EXPECT_EQ(e.beeps, 1);
  EXPECT_EQ(e.m.GetText(), u"12");
}

TEST(SaNumEditModel, FilterWithoutMinusStopsAtTheSign) {
  Edit e;
  e.m.SetMinus(false);
  e.m.SetText(u"-5");
  EXPECT_EQ(e.m.GetText(), u"");
}

TEST(SaNumEditModel, SetTextOfTheSameTextDoesNothing) {
  Edit e;
  e.m.SetText(u"12");
  const int repaints = e.view.repaints;
  e.m.SetText(u"12");
  EXPECT_EQ(e.view.repaints, repaints);
  // Compared before filtering: "012" differs from "12" and is stored filtered.
  e.m.SetText(u"012");
  EXPECT_EQ(e.m.GetText(), u"12");
}

struct ZeroCase {
  std::u16string input;
  std::u16string output;
};

class MaeZeroSyoriRule : public ::testing::TestWithParam<ZeroCase> {};

TEST_P(MaeZeroSyoriRule, Examples) {
  EXPECT_EQ(TSaNumEditModel::MaeZeroSyori(GetParam().input), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(All, MaeZeroSyoriRule,
                         ::testing::Values(ZeroCase{u"007", u"7"}, ZeroCase{u"000", u"0"},
                                           ZeroCase{u"0", u"0"}, ZeroCase{u"00.5", u"0.5"},
                                           ZeroCase{u".5", u"0.5"}, ZeroCase{u".", u"0."},
                                           ZeroCase{u"-0012", u"-12"}, ZeroCase{u"-", u"-"},
                                           ZeroCase{u"-.", u"-0."}, ZeroCase{u"", u""},
                                           ZeroCase{u"100", u"100"}, ZeroCase{u"0.05", u"0.05"}));

TEST(SaNumEditModel, InsertCommaGroupsFromTheRight) {
  EXPECT_EQ(TSaNumEditModel::InsertComma(u"1234567"), u"1,234,567");
  EXPECT_EQ(TSaNumEditModel::InsertComma(u"123456"), u"123,456");
  EXPECT_EQ(TSaNumEditModel::InsertComma(u"1234"), u"1,234");
  EXPECT_EQ(TSaNumEditModel::InsertComma(u"123"), u"123");
  EXPECT_EQ(TSaNumEditModel::InsertComma(u""), u"");
}

// --- typing sequences ----------------------------------------------------------------

// Marks the Backspace key (its character 8 goes through the character table instead).
const std::u16string kDel = u"\x7f";

struct TypingCase {
  std::u16string start;  // set by SetText first
  std::u16string keys;   // typed; kDel runs OneCharDelete as the Backspace key does
  std::u16string text;
  int beeps;
};

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, GivesTheValueText) {
  Edit e;
  e.m.SetText(GetParam().start);
  for (char16_t k : GetParam().keys) {
    if (k == kDel[0])
      e.m.OneCharDelete();
    else
      e.m.KeyPress(k);
  }
  EXPECT_EQ(e.m.GetText(), GetParam().text);
  EXPECT_EQ(e.beeps, GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, Typing,
    ::testing::Values(TypingCase{u"", u"123.456", u"123.456", 0},
                      TypingCase{u"", u"123.4567", u"123.456", 1},      // a fourth decimal
                      TypingCase{u"", u"1234567890", u"123456789", 1},  // a tenth digit
                      TypingCase{u"", u"-1234567890", u"-123456789", 1},
                      TypingCase{u"", u".", u"0.", 0}, TypingCase{u"", u"." + kDel, u"0", 0},
                      TypingCase{u"123.4", kDel, u"123", 0}, TypingCase{u"", u"05", u"5", 0},
                      TypingCase{u"", u"00", u"0", 0}, TypingCase{u"12", u"-", u"-12", 0},
                      TypingCase{u"12", u"--", u"12", 0}, TypingCase{u"", u"-5", u"-5", 0},
                      TypingCase{u"", u"-.", u"-0.", 0},
                      TypingCase{u"1.5", u".", u"1.5", 1},  // a second dot
                      TypingCase{u"", u"a", u"", 1},        // letters beep
                      TypingCase{u"", u" ", u"", 1}, TypingCase{u"", u",", u"", 1},
                      TypingCase{u"", std::u16string(1, 26), u"", 1},    // Ctrl+Z beeps
                      TypingCase{u"", std::u16string(1, 0), u"", 1},     // a cancelled key
                      TypingCase{u"5", std::u16string(1, 13), u"5", 1},  // Enter
                      TypingCase{u"5", std::u16string(1, 8), u"5", 0},   // Backspace char
                      TypingCase{u"5", std::u16string(1, 3), u"5", 0},   // Ctrl+C char
                      TypingCase{u"1", kDel + kDel, u"", 0}, TypingCase{u"-0.", u"5", u"-0.5", 0}));

TEST(SaNumEditModel, AcceptedTypingRecordsUndoSetsModifiedAndRaisesChange) {
  Edit e;
  e.Type(u"12");
  EXPECT_EQ(e.changes, 2);
  EXPECT_TRUE(e.m.Modified);
  EXPECT_TRUE(e.m.CanUndo());
}

TEST(SaNumEditModel, RejectedTypingChangesNothing) {
  Edit e;
  e.m.SetText(u"1.234");
  e.m.ClearUndo();
  e.Type(u"5");
  EXPECT_EQ(e.m.GetText(), u"1.234");
  EXPECT_EQ(e.changes, 0);
  EXPECT_FALSE(e.m.Modified);
  EXPECT_FALSE(e.m.CanUndo());
}

TEST(SaNumEditModel, BeepsOnlyWithErrorBeep) {
  Edit e;
  e.m.ErrorBeep = false;
  e.Type(u"x");
  EXPECT_EQ(e.beeps, 0);
}

TEST(SaNumEditModel, ReadOnlyDiscardsDigitsSilentlyAndIgnoresBackspace) {
  Edit e;
  e.m.SetText(u"12");
  e.m.ReadOnly = true;
  e.Type(u"3x.");
  e.m.OneCharDelete();
  EXPECT_EQ(e.m.GetText(), u"12");
  EXPECT_EQ(e.beeps, 0);
  EXPECT_EQ(e.changes, 0);
}

TEST(SaNumEditModel, EnterWithEnterFocusMoveAsksForTheNextControl) {
  Edit e;
  e.m.EnterFocusMove = true;
  EXPECT_EQ(e.m.KeyPress(13), TCharOutcome::FocusNext);
  EXPECT_EQ(e.beeps, 0);
}

TEST(SaNumEditModel, ImeFullWidthCharactersBecomeAscii) {
  EXPECT_EQ(TSaNumEditModel::ImeCharToAscii(0xFF10), u'0');
  EXPECT_EQ(TSaNumEditModel::ImeCharToAscii(0xFF19), u'9');
  EXPECT_EQ(TSaNumEditModel::ImeCharToAscii(0xFF0D), u'-');
  EXPECT_EQ(TSaNumEditModel::ImeCharToAscii(0xFF0E), u'.');
  EXPECT_EQ(TSaNumEditModel::ImeCharToAscii(0xFF0C), 0xFF0C);
  EXPECT_EQ(TSaNumEditModel::ImeCharToAscii(u'a'), u'a');
}

// --- leaving the control -------------------------------------------------------------

TEST(SaNumEditModel, LoneMinusIsEmptiedOnExitUnlessMinusOnly) {
  Edit e;
  e.Type(u"-");
  const int changes = e.changes;
  e.m.ExitMinusRule();
  EXPECT_EQ(e.m.GetText(), u"");
  EXPECT_EQ(e.changes, changes);

  Edit keep;
  keep.m.Options |= SaNumOption(eoMinusOnly);
  keep.Type(u"-");
  keep.m.ExitMinusRule();
  EXPECT_EQ(keep.m.GetText(), u"-");

  Edit negative;
  negative.Type(u"-5");
  negative.m.ExitMinusRule();
  EXPECT_EQ(negative.m.GetText(), u"-5");
}

// --- selection, undo, clipboard ------------------------------------------------------

TEST(SaNumEditModel, UndoExchangesAndSelectsAll) {
  Edit e;
  e.m.SetText(u"12");
  e.Type(u"5");
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"12");
  EXPECT_EQ(e.m.SelLength(), 2);
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"125");
  EXPECT_EQ(e.m.SelLength(), 3);
  EXPECT_EQ(e.changes, 3);  // the typing and both undos
  EXPECT_TRUE(e.m.Modified);
}

TEST(SaNumEditModel, UndoWithoutStateDoesNothing) {
  Edit e;
  e.m.SetText(u"12");
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"12");
  EXPECT_EQ(e.changes, 0);
}

TEST(SaNumEditModel, TypingOverASelectionIsTwoRecordedChanges) {
  Edit e;
  e.m.SetText(u"123");
  e.m.SelectAll();
  e.Type(u"9");
  EXPECT_EQ(e.m.GetText(), u"9");
  EXPECT_EQ(e.m.SelLength(), 0);
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"");
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"9");
}

TEST(SaNumEditModel, RejectedCharacterOverASelectionLeavesTheControlEmpty) {
  Edit e;
  e.m.SetText(u"1.5");
  e.m.SetDecimalLength(0);  // refilter: "1"
  EXPECT_EQ(e.m.GetText(), u"1");
  e.m.SelectAll();
  e.m.SetIntegerLength(0);  // refilter: nothing fits any more
  EXPECT_EQ(e.m.GetText(), u"");
  EXPECT_EQ(e.m.SelLength(), 0);  // an empty display text cannot stay selected

  Edit full;
  full.m.SetIntegerLength(1);
  full.m.SetText(u"7");
  full.m.SelectAll();
  full.m.SetMinus(false);
  full.Type(u"-");  // beeps before the selection is touched
  EXPECT_EQ(full.m.GetText(), u"7");
  full.m.Options |= SaNumOption(eoORInputStop);
  full.m.ClientWidth = 0;  // no room at all
  full.Type(u"8");         // Clear happens, then the width test refuses
  EXPECT_EQ(full.m.GetText(), u"");
  EXPECT_EQ(full.beeps, 2);
}

TEST(SaNumEditModel, SelectAllOfAnEmptyValueSelectsNothing) {
  Edit e;
  e.m.SelectAll();
  EXPECT_FALSE(e.m.Selected());
}

TEST(SaNumEditModel, SelectionFollowsTheDisplayTextWhenTheValueIsSet) {
  Edit e;
  e.m.SetText(u"123");
  e.m.SelectAll();
  e.m.SetText(u"12345");
  EXPECT_EQ(e.m.SelLength(), static_cast<int>(e.m.ValText().size()));
}

TEST(SaNumEditModel, OneCharDeleteWithSelectionClearsWithoutChange) {
  Edit e;
  e.Type(u"12");
  e.m.SelectAll();
  const int changes = e.changes;
  e.m.OneCharDelete();
  EXPECT_EQ(e.m.GetText(), u"");
  EXPECT_EQ(e.changes, changes);
  EXPECT_FALSE(e.m.Modified);
}

struct PasteCase {
  std::u16string start;
  bool selectAll;
  std::u16string clip;
  std::u16string text;
};

class Paste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Paste, AppendsOrReplacesFiltered) {
  Edit e;
  e.m.SetText(GetParam().start);
  if (GetParam().selectAll) e.m.SelectAll();
  e.clip.SetText(GetParam().clip);
  e.m.PasteFromClipboard();
  EXPECT_EQ(e.m.GetText(), GetParam().text);
  EXPECT_EQ(e.changes, 1);
  EXPECT_EQ(e.m.SelLength(), 0);
  EXPECT_FALSE(e.m.Modified);
  EXPECT_TRUE(e.m.CanUndo());
}

INSTANTIATE_TEST_SUITE_P(Defaults, Paste,
                         ::testing::Values(PasteCase{u"12", false, u"3.5", u"123.5"},
                                           PasteCase{u"99", true, u"12.3456", u"12.345"},
                                           PasteCase{u"", false, u"1234567890", u""},
                                           PasteCase{u"12", false, u"-5", u"12"},
                                           PasteCase{u"0", false, u"07", u"7"},
                                           PasteCase{u"5", true, u"\uFF18", u"8"}));

TEST(SaNumEditModel, PasteOfAClipboardWithoutTextDoesNothing) {
  Edit e;
  e.m.SetText(u"12");
  e.m.PasteFromClipboard();
  EXPECT_EQ(e.changes, 0);
  EXPECT_FALSE(e.m.CanUndo());
}

TEST(SaNumEditModel, PasteIsNotLimitedByWidth) {
  Edit e;
  e.m.Options |= SaNumOption(eoORInputStop);
  e.m.ClientWidth = 10;
  e.clip.SetText(u"123456");
  e.m.PasteFromClipboard();
  EXPECT_EQ(e.m.GetText(), u"123456");
}

TEST(SaNumEditModel, CopyPutsValueTextOrWithImageCopyTheDisplayText) {
  Edit e;
  e.m.SetLeftMark(u"¥");
  e.m.SetText(u"1234");
  e.m.CopyToClipboard();
  EXPECT_FALSE(e.clip.hasText);  // nothing selected
  e.m.SelectAll();
  e.m.CopyToClipboard();
  EXPECT_EQ(e.clip.text, u"1234");
  e.m.ImageCopy = true;
  e.m.CopyToClipboard();
  EXPECT_EQ(e.clip.text, u"¥1,234");
}

TEST(SaNumEditModel, CutCopiesClearsAndRaisesChange) {
  Edit e;
  e.Type(u"42");
  e.m.SelectAll();
  e.m.CutToClipboard();
  EXPECT_EQ(e.clip.text, u"42");
  EXPECT_EQ(e.m.GetText(), u"");
  EXPECT_EQ(e.changes, 3);
  EXPECT_FALSE(e.m.Modified);
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"42");
}

TEST(SaNumEditModel, ClearRecordsUndoWithoutChange) {
  Edit e;
  e.Type(u"7");
  e.m.Clear();
  EXPECT_EQ(e.changes, 1);
  EXPECT_FALSE(e.m.Modified);
  e.m.Undo();
  EXPECT_EQ(e.m.GetText(), u"7");
}

// --- refilter ------------------------------------------------------------------------

TEST(SaNumEditModel, RefilterByPropertiesRecordsNothing) {
  Edit e;
  e.m.SetText(u"-5");
  e.m.SetMinus(false);
  EXPECT_EQ(e.m.GetText(), u"");
  e.m.SetText(u"2.75");
  e.m.SetDecimalLength(1);
  EXPECT_EQ(e.m.GetText(), u"2.7");
  e.m.SetText(u"12345");
  e.m.SetIntegerLength(4);
  EXPECT_EQ(e.m.GetText(), u"");
  e.m.SetIntegerLength(-1);  // ignored
  EXPECT_EQ(e.m.IntegerLength(), 4);
  EXPECT_EQ(e.changes, 0);
  EXPECT_FALSE(e.m.CanUndo());
  EXPECT_FALSE(e.m.Modified);
}

// --- display text --------------------------------------------------------------------

struct DisplayCase {
  bool decimalFixed;
  bool integerFixed;
  int decimalLength;
  std::u16string leftMark;
  std::u16string rightMark;
  std::u16string text;
  std::u16string valText;
};

class Display : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(Display, ShowsFixedPartsAndMarks) {
  const DisplayCase& c = GetParam();
  Edit e;
  e.m.SetDecimalLength(c.decimalLength);
  e.m.SetDecimalFixed(c.decimalFixed);
  e.m.SetIntegerFixed(c.integerFixed);
  e.m.SetLeftMark(c.leftMark);
  e.m.SetRightMark(c.rightMark);
  e.m.SetText(c.text);
  EXPECT_EQ(e.m.ValText(), c.valText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Display,
    ::testing::Values(DisplayCase{false, false, 3, u"", u"", u"1234567.891", u"1,234,567.891"},
                      DisplayCase{true, false, 2, u"", u"", u"12", u"12.00"},
                      DisplayCase{true, false, 2, u"", u"", u"", u"0.00"},
                      DisplayCase{true, false, 2, u"", u"", u"-", u"-0.00"},
                      DisplayCase{true, false, 2, u"", u"", u"1.5", u"1.50"},
                      DisplayCase{true, false, 0, u"", u"", u"7", u"7"},
                      DisplayCase{false, true, 3, u"¥", u"円", u"", u"¥0円"},
                      DisplayCase{false, false, 3, u"¥", u"円", u"", u""},
                      DisplayCase{false, false, 3, u"¥", u"円", u"5", u"¥5円"},
                      DisplayCase{false, false, 3, u"", u"", u"-1234", u"-1,234"}));

TEST(SaNumEditModel, MaxTextStrReservesFixedParts) {
  Edit e;
  e.m.SetText(u"12");
  EXPECT_EQ(e.m.MaxTextStr(), u"12");
  e.m.SetIntegerFixed(true);
  EXPECT_EQ(e.m.MaxTextStr(), u"-000,000,000");
  e.m.SetDecimalFixed(true);
  EXPECT_EQ(e.m.MaxTextStr(), u"-000,000,000.000");
  EXPECT_EQ(e.m.MaxTextStr2(), u"-000,000,000.000");
  e.m.SetComma(false);
  e.m.SetMinus(false);
  e.m.SetIntegerLength(3);
  EXPECT_EQ(e.m.MaxTextStr2(), u"000.000");
}

// --- width test and layout -----------------------------------------------------------

TEST(SaNumEditModel, InputStopRefusesTextWiderThanTheRoom) {
  Edit e;
  e.m.Options |= SaNumOption(eoORInputStop);
  // Room 121 − 2 − 2 − 4 = 113 px; "¥" + n digits (commas included) + 1 px must fit.
  e.m.SetLeftMark(u"¥");
  EXPECT_EQ(e.m.CalcDrawWidth(), 113);
  e.Type(u"123456789");
  // "¥123,456,789" is 12 characters: 85 px, fits; the digit limit stops later digits.
  EXPECT_EQ(e.m.GetText(), u"123456789");
  Edit narrow;
  narrow.m.Options |= SaNumOption(eoORInputStop);
  narrow.m.ClientWidth = 4 + 4 + 7 * 3 + 1;  // room for three characters exactly
  narrow.Type(u"1234");
  EXPECT_EQ(narrow.m.GetText(), u"123");
  EXPECT_EQ(narrow.beeps, 1);
  narrow.m.BorderStyle = TBorderStyle::bsNone;  // 2 more pixels of room, still < 7
  narrow.Type(u"4");
  EXPECT_EQ(narrow.m.GetText(), u"123");
}

TEST(SaNumEditModel, DefaultLayoutOfAValue) {
  Edit e;
  e.m.FontHeight = 13;
  e.m.ClientWidth = 117;
  e.m.ClientHeight = 17;
  e.m.SetText(u"1234.5");  // shown "1,234.5": 7 chars, 50 px
  const TIntRect text = e.m.GetValueTextRect();
  EXPECT_EQ(text.Right(), 117 - 2 - 1);
  EXPECT_EQ(text.Width, 50);
  EXPECT_EQ(text.Top, (17 - 13 - 4) / 2 + 2);
  EXPECT_EQ(text.Height, 13);
  EXPECT_EQ(e.m.GetValueRect(), text);  // unfixed: the widest display is the value itself
  EXPECT_EQ(e.m.GetCaretPoint(), (TIntPoint{text.Left + 50 - 1, text.Top}));
}

TEST(SaNumEditModel, DecimalFixedCaretStandsBeforeTheZeroFill) {
  Edit e;
  e.m.FontHeight = 13;
  e.m.SetDecimalFixed(true);
  e.m.SetText(u"12");
  EXPECT_EQ(e.m.ValText(), u"12.000");
  const TIntRect text = e.m.GetValueTextRect();
  // "12" is 14 px + 1: the caret at 14 px from the text's left, between "12" and ".000".
  EXPECT_EQ(e.m.GetCaretPoint().X, text.Left + 14);
  e.Type(u".5");
  EXPECT_EQ(e.m.GetCaretPoint().X, e.m.GetValueTextRect().Left + 7 * 4);
}

TEST(SaNumEditModel, EmptyValueCaretStandsOnePixelLeftOfTheText) {
  Edit e;
  EXPECT_EQ(e.m.GetCaretPoint().X, e.m.GetValueTextRect().Left - 1);
  EXPECT_EQ(e.m.GetValueTextRect().Left, 121 - 2 - 1);
}

TEST(SaNumEditModel, IntegerFixedLeftJustifiedNumberDoesNotMoveRight) {
  Edit e;
  e.m.Alignment = taLeftJustify;
  e.m.SetIntegerFixed(true);
  e.m.SetDecimalLength(0);
  const TIntRect area = e.m.GetValueRect();
  EXPECT_EQ(area.Left, 2);
  EXPECT_EQ(area.Width, 7 * 12 + 1);  // "-000,000,000"
  std::vector<int> rights;
  for (char16_t d : std::u16string(u"1234")) {
    e.m.KeyPress(d);
    rights.push_back(e.m.GetValueTextRect().Right());
  }
  for (int r : rights) EXPECT_EQ(r, area.Right());
}

TEST(SaNumEditModel, MarksAreLaidOutAroundTheValue) {
  Edit e;
  e.m.SetLeftMark(u"¥");
  e.m.SetRightMark(u"円");
  e.m.FontHeight = 13;
  // Empty and unfixed: the marks take no room.
  EXPECT_EQ(e.m.GetLeftMarkRect().Width, 0);
  e.Type(u"5");
  const TIntRect left = e.m.GetLeftMarkRect();
  const TIntRect value = e.m.GetValueTextRect();
  const TIntRect right = e.m.GetRightMarkRect();
  EXPECT_EQ(right.Right(), 121 - 2 - 1);
  EXPECT_EQ(value.Right(), right.Left);
  EXPECT_EQ(left.Right(), value.Left);
  EXPECT_EQ(e.m.GetFillRect().Left, left.Left);
  EXPECT_EQ(e.m.GetFillRect().Right(), right.Right());
}

TEST(SaNumEditModel, CentredBlockSharesTheRoom) {
  Edit e;
  e.m.Alignment = taCenter;
  e.m.SetText(u"12");  // 15 px
  const TIntRect value = e.m.GetValueTextRect();
  EXPECT_EQ(value.Left, 2 + (121 - 4) / 2 - 15 / 2);
  e.m.VertAlignment = taBottomJustify;
  e.m.FontHeight = 13;
  EXPECT_EQ(e.m.GetValueTextRect().Top, 20 - 13 - 2);
  e.m.VertAlignment = taTopJustify;
  EXPECT_EQ(e.m.GetValueTextRect().Top, 2);
}

}  // namespace
}  // namespace zelk
