// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TateEditModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelk {
namespace {

const std::u16string kHigh = u"\xD842";
const std::u16string kLow = u"\xDFB7";
const std::u16string kYoshi = kHigh + kLow;  // 𠮷: one character, two units

// A model holding `text` with the caret at its end, counting OnChange from then on.
struct Edit {
  explicit Edit(const std::u16string& text, bool readOnly = false) {
    m.SetText(text);
    m.MoveEnd();
    m.ReadOnly = readOnly;
    m.OnChange = [this] { ++changes; };
  }
  // Runs a script: arrows move the caret (↑ ↓, ⇤ top, ⇥ end), ⌫ and ⌦ are Backspace()
  // and Delete(); every other unit is typed with TypeCharacter.
  void Run(const std::u16string& script) {
    for (char16_t k : script) {
      switch (k) {
        case u'↑':
          m.MoveUp();
          break;
        case u'↓':
          m.MoveDown();
          break;
        case u'⇤':
          m.MoveHome();
          break;
        case u'⇥':
          m.MoveEnd();
          break;
        case u'⌫':
          m.Backspace();
          break;
        case u'⌦':
          m.Delete();
          break;
        default:
          m.TypeCharacter(k);
      }
    }
  }
  TTateEditModel m;
  int changes = 0;
};

template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
  return info.param.name;
}

// --- typing, the editing keys and the caret ------------------------------------------

struct EditRow {
  const char* name;
  std::u16string text;
  bool readOnly;
  std::u16string script;
  std::u16string wantText;
  int wantCaret;
  int wantChanges;
};

class Editing : public ::testing::TestWithParam<EditRow> {};

TEST_P(Editing, ChangesTextAndCaret) {
  const EditRow& r = GetParam();
  Edit e(r.text, r.readOnly);
  e.Run(r.script);
  EXPECT_EQ(e.m.Text(), r.wantText);
  EXPECT_EQ(e.m.SelStart(), r.wantCaret);
  EXPECT_EQ(e.changes, r.wantChanges);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Editing,
    ::testing::Values(
        EditRow{"TypedAtTheEnd", u"", false, u"あいa", u"あいa", 3, 3},
        EditRow{"TypedAtTheCaret", u"ac", false, u"↑b", u"abc", 2, 1},
        EditRow{"PairTypedInTwoHalves", u"", false, kYoshi, kYoshi, 2, 1},
        EditRow{"PairTypedBetweenCharacters", u"ab", false, u"↑" + kYoshi, u"a" + kYoshi + u"b", 3,
                1},
        EditRow{"LoneLowHalfDropped", u"", false, kLow, u"", 0, 0},
        EditRow{"HighHalfDroppedByACharacter", u"", false, kHigh + u"a" + kLow, u"a", 1, 1},
        EditRow{"SecondHighHalfReplacesTheFirst", u"", false, kHigh + kYoshi, kYoshi, 2, 1},
        EditRow{"HighHalfWaitsOverBackspace", u"ab", false, kHigh + u"\b" + kLow, u"a" + kYoshi, 3,
                2},
        EditRow{"ControlCharactersIgnored", u"ab", false, u"\x01\t\x7F", u"ab", 2, 0},
        EditRow{"BackspaceCharacterErasesAbove", u"abc", false, u"\b", u"ab", 2, 1},
        EditRow{"BackspaceAtTheTopDoesNothing", u"abc", false, u"⇤⌫", u"abc", 0, 0},
        EditRow{"BackspaceOverAPair", u"野" + kYoshi, false, u"⌫", u"野", 1, 1},
        EditRow{"DeleteBelowAPair", u"野" + kYoshi, false, u"⇤↓⌦", u"野", 1, 1},
        EditRow{"DeleteAtTheTop", u"あいう", false, u"⇤⌦", u"いう", 0, 1},
        EditRow{"DeleteAtTheEndDoesNothing", u"abc", false, u"⌦", u"abc", 3, 0},
        EditRow{"EscapeEmptiesAndGoesToTheTop", u"abc", false, u"\x1B", u"", 0, 1},
        EditRow{"UpStepsOverPairs", kYoshi + u"野", false, u"↑↑", kYoshi + u"野", 0, 0},
        EditRow{"UpStopsAtTheTop", u"ab", false, u"↑↑↑", u"ab", 0, 0},
        EditRow{"DownStepsOverPairs", kYoshi + u"野", false, u"⇤↓", kYoshi + u"野", 2, 0},
        EditRow{"DownStopsAtTheEnd", u"ab", false, u"⇤↓↓↓", u"ab", 2, 0},
        EditRow{"HomeAndEnd", u"abc", false, u"⇤x⇥y", u"xabcy", 5, 2},
        EditRow{"ReadOnlyRefusesTyping", u"abc", true, u"x\b\x1B" + kYoshi, u"abc", 3, 0},
        EditRow{"ReadOnlyRefusesBackspaceAndDelete", u"abc", true, u"⌫↑⌦", u"abc", 2, 0},
        EditRow{"ReadOnlyStillMovesTheCaret", u"abc", true, u"⇤↓", u"abc", 1, 0}),
    RowName<EditRow>);

// What TypeCharacter tells the view: whether to show the caret afresh.
struct TakenRow {
  const char* name;
  bool readOnly;
  std::u16string typed;
  std::vector<bool> want;
};

class Taken : public ::testing::TestWithParam<TakenRow> {};

TEST_P(Taken, ReportsTheCharactersActedOn) {
  Edit e(u"", GetParam().readOnly);
  std::vector<bool> got;
  for (char16_t k : GetParam().typed) got.push_back(e.m.TypeCharacter(k));
  EXPECT_EQ(got, GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Taken,
    ::testing::Values(TakenRow{"Printable", false, u"a", {true}},
                      TakenRow{"BackspaceAndEscapeWithoutEffect", false, u"\b\x1B", {true, true}},
                      TakenRow{"ControlCharactersAndDel", false, u"\x01\x7F", {false, false}},
                      TakenRow{"PairOnlyWithItsLowHalf", false, kYoshi, {false, true}},
                      TakenRow{"LoneLowHalf", false, kLow, {false}},
                      TakenRow{"ReadOnly", true, u"a\b\x1B", {false, false, false}}),
    RowName<TakenRow>);

// --- the caret index after SetText -----------------------------------------------------

struct SetTextRow {
  const char* name;
  std::u16string text;  // replaces "abcd" with the caret at 4
  std::u16string script;
  std::u16string wantText;
  int wantCaret;
  int wantShown;
  int wantChanges;  // SetText included
};

class AfterSetText : public ::testing::TestWithParam<SetTextRow> {};

TEST_P(AfterSetText, KeepsTheIndexBeyondTheEnd) {
  const SetTextRow& r = GetParam();
  Edit e(u"abcd");
  e.m.SetText(r.text);
  e.Run(r.script);
  EXPECT_EQ(e.m.Text(), r.wantText);
  EXPECT_EQ(e.m.SelStart(), r.wantCaret);
  EXPECT_EQ(e.m.ShownCaret(), r.wantShown);
  EXPECT_EQ(e.changes, r.wantChanges);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AfterSetText,
    ::testing::Values(SetTextRow{"IndexStays", u"a", u"", u"a", 4, 1, 1},
                      SetTextRow{"BackspaceOnlyBringsTheIndexBack", u"a", u"⌫", u"a", 3, 1, 1},
                      SetTextRow{"UpBringsTheIndexBackOneUnit", u"a", u"↑", u"a", 3, 1, 1},
                      SetTextRow{"UpReachesTheTextAndCrossesIt", u"a", u"↑↑↑↑", u"a", 0, 0, 1},
                      SetTextRow{"TypingGoesInAtTheEnd", u"a", u"b", u"ab", 2, 2, 2},
                      SetTextRow{"DownAndDeleteDoNothing", u"a", u"↓⌦", u"a", 4, 1, 1},
                      SetTextRow{"BackspaceInAnEmptyTextKeepsTheIndex", u"", u"⌫", u"", 4, 0, 1},
                      SetTextRow{"SameTextRaisesNothing", u"abcd", u"", u"abcd", 4, 4, 0}),
    RowName<SetTextRow>);

// --- caret placement by the mouse ------------------------------------------------------

struct PlaceRow {
  const char* name;
  std::u16string text;
  std::vector<int> advances;
  int offset;
  int wantCaret;
};

class Placement : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(Placement, GoesToTheNearestBoundary) {
  const PlaceRow& r = GetParam();
  Edit e(r.text + u"+");  // a stale index beyond the end, unlike every expected one
  e.m.SetText(r.text);
  e.m.PlaceCaret(r.offset, r.advances);
  EXPECT_EQ(e.m.SelStart(), r.wantCaret);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    ::testing::Values(PlaceRow{"UpperHalfOfTheFirst", u"あいう", {10, 10, 10}, 4, 0},
                      PlaceRow{"MiddleBelongsBelow", u"あいう", {10, 10, 10}, 5, 1},
                      PlaceRow{"LowerHalfOfTheSecond", u"あいう", {10, 10, 10}, 16, 2},
                      PlaceRow{"AboveTheText", u"あいう", {10, 10, 10}, -3, 0},
                      PlaceRow{"BelowTheText", u"あいう", {10, 10, 10}, 100, 3},
                      PlaceRow{"NeverBetweenHalves", kYoshi + kYoshi, {12, 12}, 7, 2},
                      PlaceRow{"BelowPairs", kYoshi + kYoshi, {12, 12}, 19, 4},
                      PlaceRow{"OddAdvanceHalvedDownward", u"ab", {9, 9}, 4, 1},
                      PlaceRow{"MissingAdvancesCountAsNothing", u"abc", {10}, 8, 1},
                      PlaceRow{"EmptyText", u"", {}, 0, 0}),
    RowName<PlaceRow>);

// --- clipboard ---------------------------------------------------------------------------

struct PasteRow {
  const char* name;
  bool readOnly;
  std::u16string clip;
  bool append;
  std::u16string wantText;
  int wantChanges;
};

class Paste : public ::testing::TestWithParam<PasteRow> {};

TEST_P(Paste, ReplacesOrAppendsTheWholeText) {
  const PasteRow& r = GetParam();
  Edit e(u"abc", r.readOnly);
  e.m.MoveUp();
  e.m.Paste(r.clip, r.append);
  EXPECT_EQ(e.m.Text(), r.wantText);
  EXPECT_EQ(e.m.CopyText(), r.wantText);  // a copy always takes the whole text
  EXPECT_EQ(e.m.SelStart(), 2);           // wherever the text went, the index stays
  EXPECT_EQ(e.changes, r.wantChanges);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Paste,
    ::testing::Values(PasteRow{"ReplacesTheWholeText", false, u"XY", false, u"XY", 1},
                      PasteRow{"AppendsAtTheEnd", false, u"XY", true, u"abcXY", 1},
                      PasteRow{"EmptyClipboardEmpties", false, u"", false, u"", 1},
                      PasteRow{"EmptyClipboardAppendsNothing", false, u"", true, u"abc", 0},
                      PasteRow{"SameTextRaisesNothing", false, u"abc", false, u"abc", 0},
                      PasteRow{"ReadOnlyRefuses", true, u"XY", false, u"abc", 0},
                      PasteRow{"ReadOnlyRefusesAppending", true, u"XY", true, u"abc", 0},
                      PasteRow{"LineBreaksAndTabsAreDropped", false, u"原\r\n稿\t用\n紙", false,
                               u"原稿用紙", 1}),
    RowName<PasteRow>);

TEST(InsertAtCaret, GoesInAtTheCaretAsOneLine) {
  Edit e(u"abc", false);
  e.m.MoveUp();  // between b and c
  EXPECT_TRUE(e.m.InsertAtCaret(u"X\nY"));
  EXPECT_EQ(e.m.Text(), u"abXYc");
  EXPECT_EQ(e.m.SelStart(), 4);
  Edit ro(u"abc", true);
  EXPECT_FALSE(ro.m.InsertAtCaret(u"X"));
  EXPECT_EQ(ro.m.Text(), u"abc");
}

// --- replacing a range -------------------------------------------------------------------

struct ReplaceRow {
  const char* name;
  std::u16string text;
  bool readOnly;
  int from;
  int to;
  std::u16string insert;
  std::u16string wantText;
  int wantCaret;
  int wantChanges;
};

class Replace : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(Replace, PutsTheCaretAfterTheInsertedText) {
  const ReplaceRow& r = GetParam();
  Edit e(r.text, r.readOnly);
  EXPECT_EQ(e.m.Replace(r.from, r.to, r.insert), r.wantChanges == 1);
  EXPECT_EQ(e.m.Text(), r.wantText);
  EXPECT_EQ(e.m.SelStart(), r.wantCaret);
  EXPECT_EQ(e.changes, r.wantChanges);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Replace,
    ::testing::Values(
        ReplaceRow{"InsertsAtTheTop", u"abc", false, 0, 0, u"X", u"Xabc", 1, 1},
        ReplaceRow{"ReplacesARange", u"abcd", false, 1, 3, u"XYZ", u"aXYZd", 4, 1},
        ReplaceRow{"ErasesARange", u"abcd", false, 1, 3, u"", u"ad", 1, 1},
        ReplaceRow{"ReplacesAPairWhole", u"a" + kYoshi + u"b", false, 1, 3, u"c", u"acb", 2, 1},
        ReplaceRow{"ClampsBeyondTheEnd", u"ab", false, 5, 9, u"X", u"abX", 3, 1},
        ReplaceRow{"ClampsBeforeTheTop", u"abc", false, -3, 1, u"X", u"Xbc", 1, 1},
        ReplaceRow{"EndBeforeStartInserts", u"abc", false, 2, 1, u"X", u"abXc", 3, 1},
        ReplaceRow{"SameTextMovesOnlyTheCaret", u"abc", false, 0, 1, u"a", u"abc", 1, 0},
        ReplaceRow{"ReadOnlyRefuses", u"abc", true, 0, 3, u"X", u"abc", 3, 0}),
    RowName<ReplaceRow>);

// --- characters and the fitted column ----------------------------------------------------

struct SplitRow {
  const char* name;
  std::u16string text;
  std::vector<std::u16string> want;
};

class Split : public ::testing::TestWithParam<SplitRow> {};

TEST_P(Split, KeepsPairsWhole) { EXPECT_EQ(SplitCharacters(GetParam().text), GetParam().want); }

INSTANTIATE_TEST_SUITE_P(
    Rows, Split,
    ::testing::Values(SplitRow{"Empty", u"", {}}, SplitRow{"PlainUnits", u"ab", {u"a", u"b"}},
                      SplitRow{"PairStaysWhole", kYoshi + u"a", {kYoshi, u"a"}},
                      SplitRow{"LoneHighAlone", kHigh + u"a", {kHigh, u"a"}},
                      SplitRow{"LoneLowAlone", u"a" + kLow, {u"a", kLow}},
                      SplitRow{"ReversedHalvesAreTwo", kLow + kHigh, {kLow, kHigh}},
                      SplitRow{"HighHalfAtTheEnd", u"a" + kHigh, {u"a", kHigh}}),
    RowName<SplitRow>);

struct FitRow {
  const char* name;
  std::vector<int> advances;
  int length;
  std::vector<int> wantPos;  // empty: only the guarantees are checked
  bool narrowed;
};

class Fit : public ::testing::TestWithParam<FitRow> {};

TEST_P(Fit, LastCharacterEndsAtTheColumnLength) {
  const FitRow& r = GetParam();
  const TFittedColumn f = FitColumn(r.advances, r.length);
  ASSERT_EQ(f.Pos.size(), r.advances.size());
  ASSERT_EQ(f.Advance.size(), r.advances.size());
  EXPECT_EQ(f.Ratio < 1, r.narrowed);
  if (!r.wantPos.empty()) {
    EXPECT_EQ(f.Pos, r.wantPos);
  }
  if (f.Pos.empty()) return;
  EXPECT_EQ(f.Pos.front(), 0);
  for (size_t i = 1; i < f.Pos.size(); ++i) EXPECT_GE(f.Pos[i], f.Pos[i - 1]) << i;
  if (f.Pos.size() >= 2) {
    EXPECT_EQ(f.Pos.back() + f.Advance.back(), r.length);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Fit,
    ::testing::Values(
        FitRow{"TooLongIsNarrowed", std::vector<int>(12, 11), 100, {}, true},
        FitRow{"RoundingUpIsTakenBack", {3, 3, 3, 3}, 10, {0, 2, 4, 7}, true},
        FitRow{"RoundingDownIsSpread", {5, 5, 5}, 10, {0, 4, 7}, true},
        FitRow{"UnevenAdvancesNarrowed", {20, 7, 13, 1, 9}, 31, {}, true},
        FitRow{"SlightlyShortIsSpreadFirstGapsWider", {10, 10, 10, 10}, 45, {0, 12, 24, 35}, false},
        FitRow{"ExactFitIsUntouched", {10, 10, 10}, 30, {0, 10, 20}, false},
        FitRow{"TwoCharactersSpanTheColumn", {10, 10}, 50, {0, 40}, false},
        FitRow{"OneCharacterKeepsItsPlace", {10}, 50, {0}, false},
        FitRow{"OneLongCharacterIsNarrowed", {60}, 50, {0}, true},
        FitRow{"NoCharacters", {}, 10, {}, false}),
    RowName<FitRow>);

}  // namespace
}  // namespace zelk
