// SPDX-License-Identifier: GPL-3.0-or-later
// Setting a text into the cells: a table of texts with the cells they fill, the text
// file's decoding, and the composed page on the sheet.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "DrawTestSupport.h"
#include "base/Utf8.h"
#include "compose/Manuscript.h"
#include "compose/SheetText.h"
#include "preview/ManuscriptPages.h"
#include "preview/SheetRecording.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

using testing::PreparedSettings;
using testing::TFixedMeasurer;

// The pages as text: lines joined by "/", pages by " # ". An empty cell is "_", a cell
// of more than one character is in brackets, a hanging one follows "|"; empty cells at
// a line's end are left out. Each ruby follows its page as {line:first-last:ruby}.
std::string Render(const std::vector<TComposedPage>& pages) {
  std::string out;
  for (size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) out += " # ";
    std::map<int32_t, std::map<int32_t, const TCellPlacement*>> lines;
    int32_t lastLine = -1;
    for (const TCellPlacement& c : pages[p].Cells) {
      lines[c.Line][c.Cell] = &c;
      lastLine = std::max(lastLine, c.Line);
    }
    for (int32_t l = 0; l <= lastLine; ++l) {
      if (l > 0) out += "/";
      int32_t next = 0;
      for (const auto& [index, cell] : lines[l]) {
        if (cell->Kind == TCellKind::Hang) {
          out += "|" + ToUtf8(cell->Text);
          continue;
        }
        for (; next < index; ++next) out += "_";
        const bool many =
            cell->Text.size() > 1 &&
            !(cell->Text.size() == 2 && cell->Text[0] >= 0xD800 && cell->Text[0] <= 0xDBFF);
        out += many ? "[" + ToUtf8(cell->Text) + "]" : ToUtf8(cell->Text);
        next = index + 1;
      }
    }
    for (const TRubyPlacement& r : pages[p].Rubies)
      out += " {" + std::to_string(r.Line) + ":" + std::to_string(r.FirstCell) + "-" +
             std::to_string(r.LastCell) + ":" + ToUtf8(r.Text) + "}";
  }
  return out;
}

struct TRow {
  const char* name;
  const char* text;
  const char* expected;
  int32_t cells = 5;
  bool vertical = true;
  bool title = false;
  bool hang = false;
  int32_t heading = 2;
};

// Five cells to a line and three lines to a page unless a row says otherwise.
const TRow kRows[] = {
    {"a paragraph begins with one empty cell and runs on", "吾輩は猫である", "_吾輩は猫/である"},
    {"a line indented with a full-width space is not indented twice", "　吾輩", "_吾輩"},
    {"an empty line stays an empty line", "あ\n\nい", "_あ//_い"},
    {"punctuation at a line start joins the last cell", "あいうえ。お", "_あいう[え。]/お"},
    {"with hang it sets beyond the last cell", "あいうえ。お", "_あいうえ|。/お", 5, true, false,
     true},
    {"a closing bracket at a line start joins the last cell", "あいうえ」", "_あいう[え」]"},
    {"the long-vowel mark never begins a line", "あいうえー", "_あいう[えー]"},
    {"a middle dot never begins a line", "あいうえ・お", "_あいう[え・]/お"},
    {"an iteration mark never begins a line", "あいう時々", "_あいう[時々]"},
    {"。」 share one cell", "あ「い。」う", "_あ「い[。」]/う"},
    {"an opening bracket never ends a line", "あいう「え」", "_あいう/「え」"},
    {"small kana take a cell", "きゃっと", "_きゃっと"},
    {"small kana never begin a line", "あいうえっと", "_あいう[えっ]/と"},
    {"…… takes two cells that a line end does not split", "あいう……", "_あいう/……"},
    {"―― takes two cells", "あ――い", "_あ――い"},
    {"two digits to a cell", "2026年", "_[20][26]年"},
    {"full-width digits take a cell each, as written", "２０２６年", "_２０２６年", 6},
    {"an odd digit takes a cell of its own", "123", "_[12]3"},
    {"lower-case letters two to a cell across", "abc", "_[ab]c", 5, false},
    {"lower-case letters one to a cell down", "abc", "_abc"},
    {"upper-case letters one to a cell", "ABC", "_ABC", 5, false},
    {"ruby over the kanji before it", "漢字《かんじ》です", "_漢字です {0:1-2:かんじ}"},
    {"ruby over an explicit base", "あ｜東京《とうきょう》", "_あ東京 {0:2-3:とうきょう}"},
    {"ruby split by a line end", "あいう漢字《かんじ》", "_あいう漢/字 {0:4-4:か} {1:0-0:んじ}"},
    {"an unclosed ruby is text", "あ《い", "_あ《い"},
    {"ruby over digits", "第８《エイト》", "_第８ {0:2-2:エイト}"},
    {"ruby over Greek letters", "のγ《ガムマア》", "_のγ {0:2-2:ガムマア}"},
    {"ruby over a character of no kind is its own", "あ※《こめ》", "_あ※ {0:2-2:こめ}"},
    {"ruby with nothing before it is left out", "《るび》あ", "_あ"},
    {"ruby after ruby is left out", "漢《かん》《じ》", "_漢 {0:1-1:かん}"},
    {"a 外字 note that names its character by JIS X 0213",
     "※［＃「木＋吶のつくり」、第3水準1-85-54］", "_枘"},
    {"a 外字 note that names a code point", "※［＃「口＋世」、U+546D、56-5］", "_呭"},
    {"a 外字 that no note names stays ※ and takes the ruby as a kanji",
     "※［＃「てへん＋丑」、第4水準2-99-99］《ね》じ", "_※じ {0:1-1:ね}"},
    {"ruby over a 外字 named by plane 2", "※［＃「てへん＋丑」、第4水準2-12-93］《ね》じ倒した",
     "_扭じ倒し/た {0:1-1:ね}"},
    {"a 外字 inside a kanji run belongs to the run",
     "大※［＃「火＋稻のつくり」、U+71C4］焔《だいきえん》", "_大燄焔 {0:1-3:だいきえん}"},
    {"※ with a note that names no character stays ※", "※［＃米印］あ", "_※あ"},
    {"an unclosed annotation is text", "あ［＃い", "_あ［＃い"},
    {"a ｜ without ruby is text", "あ｜い", "_あ｜い"},
    {"a page break starts a new page", "あ\n［＃改ページ］\nい", "_あ # _い"},
    {"text after a page break goes on", "あ［＃改ページ］い", "_あ # い"},
    {"改丁, 改見開き and 改段 start a new page too",
     "あ\n［＃改丁］\nい\n［＃改見開き］\nう［＃改段］え", "_あ # _い # _う # え"},
    {"other annotations are left out", "あ［＃ママ］い［＃「い」は底本では「ゐ」］", "_あい"},
    {"傍点 beside each character named", "吾輩は猫［＃「吾輩」に傍点］",
     "_吾輩は猫 {0:1-1:﹅} {0:2-2:﹅}"},
    {"the last of them", "猫と猫［＃「猫」に白丸傍点］", "_猫と猫 {0:3-3:○}"},
    {"a block of 傍線", "あ［＃傍線］いう［＃傍線終わり］え", "_あいうえ {0:2-2:───} {0:3-3:───}"},
    {"across, a 傍線 runs along", "いう［＃「いう」に傍線］", "_いう {0:1-1:───} {0:2-2:───}", 5,
     false},
    {"a mark on a base with ruby is placed beside the ruby", "漢字《かんじ》［＃「漢字」に傍点］",
     "_漢字 {0:1-2:かんじ} {0:1-1:﹅} {0:2-2:﹅}"},
    {"a mark whose text is not there marks nothing", "あ［＃「い」に傍点］", "_あ"},
    {"ruby given by a note", "青空の下［＃「青空」に「あおぞら」のルビ］",
     "_青空の下 {0:1-2:あおぞら}"},
    {"a note's ruby on a base with ruby of its own is left out",
     "青空《あおぞら》［＃「青空」に「そら」のルビ］", "_青空 {0:1-2:あおぞら}"},
    {"a line indented, and the lines it runs on to", "［＃２字下げ］あいうえお", "__あいう/__えお"},
    {"a line indented by kanji numerals", "［＃三字下げ］あ", "___あ"},
    {"a block indented, then the paragraphs again",
     "［＃ここから１字下げ］\nあいうえお\nか\n［＃ここで字下げ終わり］\nき",
     "_あいうえ/_お/_か # _き"},
    {"a block from the first cell that runs on indented",
     "［＃ここから改行天付き、折り返して２字下げ］\nあいうえおかき\n［＃ここで字下げ終わり］",
     "あいうえお/__かき"},
    {"a line indented that runs on less", "［＃３字下げ、折り返して１字下げ］あいうえ",
     "___あい/_うえ"},
    {"set against the line's end", "［＃地付き］あい", "___あい"},
    {"set a cell short of the line's end", "［＃地から１字上げ］あい", "__あい"},
    {"a block set against the end", "［＃ここから地付き］\nあ\nい\n［＃ここで地付き終わり］\nう",
     "____あ/____い/_う"},
    {"a heading from the third cell", "第一［＃「第一」は中見出し］\n本文", "__第一/_本文"},
    {"a heading from the cell chosen", "第一［＃「第一」は中見出し］", "第一", 5, true, false,
     false, 0},
    {"a heading block", "［＃ここから大見出し］\n序\n［＃ここで大見出し終わり］\n本文",
     "__序/_本文"},
    {"an indent without its number is left out", "［＃ここから字下げ］\nあ", "_あ"},
    {"lines run on to the next page", "あ\nい\nう\nえ", "_あ/_い/_う # _え"},
    {"title from the third cell, author ending before the last", "題\n山田\n本文",
     "__題/___山田/_本文", 6, true, true},
};

TEST(Compose, Table) {
  for (const TRow& row : kRows) {
    TComposeOptions o;
    o.CellsPerLine = row.cells;
    o.LinesPerPage = 3;
    o.Vertical = row.vertical;
    o.Title = row.title;
    o.Hang = row.hang;
    o.HeadingCell = row.heading;
    EXPECT_EQ(Render(ComposeManuscript(FromUtf8(row.text), o)), row.expected) << row.name;
  }
}

// The rules that school guides differ on, each way, five cells to a line.
struct TRuleRow {
  const char* name;
  const char* text;
  const char* expected;
  bool indentBracket = false;
  bool spaceAfterMarks = true;
  bool smallKanaStart = false;
};

const TRuleRow kRuleRows[] = {
    {"a paragraph opening with 「 starts in the first cell", "「あ」\n『い』", "「あ」/『い』"},
    {"or is indented", "「あ」", "_「あ」", true},
    {"a blank cell after ？ inside a sentence, none at a line's start", "あ？い！う",
     "_あ？_[い！]/う"},
    {"none before a closing bracket or another mark", "「あ？」い！？う", "「あ？」[い！？]/う"},
    {"none at the line's end or the text's", "あいう？えお！", "_あいう？/えお！"},
    {"none at a line's start", "あいうえ？お", "_あいう[え？]/お"},
    {"or none at all", "あ？い", "_あ？い", false, false},
    {"small kana join the line before", "あいうえっと", "_あいう[えっ]/と"},
    {"or may begin a line", "あいうえっと", "_あいうえ/っと", false, true, true},
};

TEST(Compose, SchoolRules) {
  for (const TRuleRow& row : kRuleRows) {
    TComposeOptions o;
    o.CellsPerLine = 5;
    o.IndentOpeningBracket = row.indentBracket;
    o.SpaceAfterMarks = row.spaceAfterMarks;
    o.SmallKanaMayStart = row.smallKanaStart;
    EXPECT_EQ(Render(ComposeManuscript(FromUtf8(row.text), o)), row.expected) << row.name;
  }
}

// The count: the characters set, whatever the sheet, and the pages of 20 × 20.
TEST(Compose, Count) {
  struct TCase {
    const char* text;
    int64_t characters;
    int32_t sheets;
  };
  const std::u16string long400(399, u'あ');  // with the indent, one cell past a sheet
  for (const TCase& c :
       {TCase{"", 0, 0}, TCase{"\n\n", 0, 1}, TCase{"「あ。」", 4, 1}, TCase{"2026年", 5, 1},
        TCase{"漢字《かんじ》［＃傍点］", 2, 1}, TCase{"あ［＃改ページ］い", 2, 2}}) {
    const TTextCount count = CountManuscript(FromUtf8(c.text), TComposeOptions());
    EXPECT_EQ(count.Characters, c.characters) << c.text;
    EXPECT_EQ(count.Sheets400, c.sheets) << c.text;
  }
  TComposeOptions small;
  small.CellsPerLine = 5;  // the sheet the text is shown on does not change the count
  EXPECT_EQ(CountManuscript(long400 + u"い", small).Sheets400, 2);
  EXPECT_EQ(CountManuscript(long400, small).Sheets400, 1);
}

TEST(Compose, Kinds) {
  TComposeOptions o;
  const auto pages = ComposeManuscript(u"っ、12あ", o);
  ASSERT_EQ(pages.size(), 1u);
  std::vector<TCellKind> kinds;
  for (const TCellPlacement& c : pages[0].Cells) kinds.push_back(c.Kind);
  EXPECT_EQ(kinds, (std::vector<TCellKind>{TCellKind::SmallKana, TCellKind::Punctuation,
                                           TCellKind::TwoInOne, TCellKind::Normal}));
}

TEST(Compose, NothingToSetGivesOneEmptyPage) {
  for (const char16_t* text : {u"", u"［＃改ページ］", u"［＃改ページ］\n［＃改ページ］"}) {
    const auto pages = ComposeManuscript(text, TComposeOptions{});
    ASSERT_EQ(pages.size(), 1u) << ToUtf8(text);
    EXPECT_TRUE(pages[0].Cells.empty());
  }
}

// Unclosed marks by the hundred thousand on one line: each is text, and the line is
// read in one pass.
TEST(Compose, UnclosedMarksOnALongLine) {
  for (const std::u16string mark : {u"《", u"［＃", u"漢《"}) {
    std::u16string line;
    for (int i = 0; i < 100000; ++i) line += mark;
    TComposeOptions o;
    o.LinesPerPage = 40;
    o.CellsPerLine = 40;
    size_t cells = 0;
    for (const TComposedPage& page : ComposeManuscript(line, o)) cells += page.Cells.size();
    EXPECT_EQ(cells, line.size()) << ToUtf8(mark);
  }
}

TEST(Compose, Decoding) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"UTF-8", "\xE3\x81\x82\n\xE3\x81\x84", u"あ\nい"},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF\xE3\x81\x82", u"あ"},
      {"CR LF and CR", "a\r\nb\rc\n", u"a\nb\nc\n"},
      {"code page 932", "\x82\xA0\x8A\xBF\x8E\x9A\r\n", u"あ漢字\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeManuscript(c.bytes), c.text) << c.name;
}

bool Inside(const TDevicePoint& p, const TDeviceRect& r) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// Every cell's text op lies inside its cell, every ruby's inside the strip beside its
// base, both ways and with a fold band of its own width; the sheet under them is the
// blank sheet, op for op.
TEST(Compose, PagesOnTheSheet) {
  for (const bool yokogaki : {false, true}) {
    for (const int32_t orime : {0, 2}) {
      TVirtualPrinter printer;
      TPrintSetting s = PreparedSettings(printer, [&](TPrintSetting& p) {
        p.SetTategaki(!yokogaki);
        p.Orime = orime;
        // More cells along the lines than across, so that the gap strips have a width.
        p.Tate = yokogaki ? 8 : 20;
        p.Yoko = yokogaki ? 20 : 8;
      });
      TFixedMeasurer measurer;
      TPrintPreview preview(printer, measurer);
      ASSERT_TRUE(RecordSheet(s, preview).Drawn);
      const std::vector<TRecordedOp> blank = preview.GetPage(0)->Ops;

      std::u16string text;
      for (int i = 0; i < 12; ++i) text += u"吾輩《わがはい》は猫である。名前はまだ無い。2026年\n";
      const TComposeOptions o = SheetComposeOptions(s);
      EXPECT_EQ(o.LinesPerPage, 8);
      const auto pages = ComposeManuscript(text, o);
      ASSERT_GT(pages.size(), 1u);
      TSheetTextSetter setter(s);
      const std::string where =
          std::string(yokogaki ? "across" : "down") + " orime " + std::to_string(orime);
      for (const TComposedPage& page : pages) {
        ASSERT_TRUE(RecordComposedPage(s, preview, setter, page).Drawn);
        const TMetafileEx& m = *preview.GetPage(0);
        ASSERT_EQ(m.Ops.size(), blank.size() + page.Cells.size() + page.Rubies.size()) << where;
        for (size_t i = 0; i < blank.size(); ++i)
          ASSERT_EQ(m.Ops[i].P1, blank[i].P1) << where << " op " << i;
        size_t op = blank.size();
        for (const TCellPlacement& c : page.Cells) {
          const TRecordedOp& t = m.Ops[op++];
          ASSERT_EQ(t.Kind, TOpKind::Text);
          EXPECT_EQ(m.Texts[t.Index].Font.Name(),
                    c.Kind == TCellKind::TwoInOne || yokogaki ? kComposeFace : u"@" + kComposeFace);
          EXPECT_EQ(m.Texts[t.Index].Text, c.Text);
          EXPECT_TRUE(Inside(t.P1, ComposeCellRect(s, c.Line, c.Cell)))
              << where << " line " << c.Line << " cell " << c.Cell;
        }
        for (const TRubyPlacement& r : page.Rubies) {
          const TRecordedOp& t = m.Ops[op++];
          const TDeviceRect a = ComposeRubyRect(s, r.Line, r.FirstCell);
          const TDeviceRect b = ComposeRubyRect(s, r.Line, r.LastCell);
          const TDeviceRect strip{std::min(a.Left, b.Left), std::min(a.Top, b.Top),
                                  std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
          EXPECT_TRUE(Inside(t.P1, strip)) << where << " ruby on line " << r.Line;
          EXPECT_EQ(m.Texts[t.Index].Orientation, yokogaki ? 0 : 2700);
        }
      }
      // The cells of a line lie in one column (down) or row (across), in order; the
      // half beyond the fold band continues the page.
      const TDeviceRect first = ComposeCellRect(s, 0, 0);
      const TDeviceRect last = ComposeCellRect(s, o.LinesPerPage - 1, o.CellsPerLine - 1);
      if (yokogaki) {
        EXPECT_LT(first.Top, last.Top);
        EXPECT_LT(first.Left, last.Left);
      } else {
        EXPECT_GT(first.Left, last.Left);
        EXPECT_LT(first.Top, last.Top);
      }
    }
  }
}

// A 傍点 on a base with ruby: beside the ruby, away from the base, when half the strip
// holds the ruby; on a strip too narrow for that the ruby alone, in the strip's middle.
TEST(Compose, MarkBesideRuby) {
  const struct {
    const char* name;
    bool yokogaki;
    int32_t tate, yoko;
    bool room;
  } rows[] = {{"down, a wide strip", false, 20, 8, true},
              {"across, a wide strip", true, 8, 20, true},
              {"down, a strip narrower than two rubies", false, 15, 10, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TVirtualPrinter printer;
    TPrintSetting s = PreparedSettings(printer, [&](TPrintSetting& p) {
      p.SetTategaki(!row.yokogaki);
      p.Orime = 0;
      p.Tate = row.tate;
      p.Yoko = row.yoko;
      p.YohakuL = p.YohakuR = p.YohakuU = p.YohakuB = 10;
    });
    TSheetTextSetter setter(s);
    const auto pages =
        ComposeManuscript(u"漢字《かんじ》［＃「漢字」に傍点］", SheetComposeOptions(s));
    TFixedMeasurer measurer;
    TPrintPreview preview(printer, measurer);
    ASSERT_TRUE(RecordComposedPage(s, preview, setter, pages[0]).Drawn);
    ASSERT_TRUE(setter.HasRubyStrip());
    const TMetafileEx& m = *preview.GetPage(0);
    const TDeviceRect strip = ComposeRubyRect(s, 0, 1);
    // How far from the base a point lies across the strip, as a part of its width.
    const auto away = [&](const TDevicePoint& p) {
      return row.yokogaki ? double(strip.Bottom - p.Y) / (strip.Bottom - strip.Top)
                          : double(p.X - strip.Left) / (strip.Right - strip.Left);
    };
    std::vector<double> marks, rubies;
    for (const TRecordedOp& op : m.Ops) {
      if (op.Kind != TOpKind::Text) continue;
      if (m.Texts[op.Index].Text == u"﹅") marks.push_back(away(op.P1));
      if (m.Texts[op.Index].Text == u"かんじ") rubies.push_back(away(op.P1));
    }
    ASSERT_EQ(rubies.size(), 1u);
    ASSERT_EQ(marks.size(), row.room ? 2u : 0u);
    for (const double mark : marks) {
      EXPECT_GT(mark, 0.5);
      EXPECT_LE(mark, 1.0);
    }
    if (row.room) {
      EXPECT_LT(rubies[0], 0.5);
    }
  }
}

TEST(Compose, PageNumberAfterTheTitle) {
  for (const bool lines : {false, true}) {
    TVirtualPrinter printer;
    TPrintSetting s = PreparedSettings(printer, [&](TPrintSetting& p) {
      p.PageNumber = lines;
      p.PN_UC = true;
      p.PageNumberTitle = u"No.";
    });
    TFixedMeasurer measurer;
    TPrintPreview preview(printer, measurer);
    TSheetTextSetter setter(s);
    ASSERT_TRUE(RecordComposedPage(s, preview, setter, TComposedPage{}, 7).Drawn);
    std::vector<TDevicePoint> numbers, titles;
    const TMetafileEx& m = *preview.GetPage(0);
    for (const TRecordedOp& op : m.Ops) {
      if (op.Kind != TOpKind::Text) continue;
      if (m.Texts[op.Index].Text == u"7") numbers.push_back(op.P1);
      if (m.Texts[op.Index].Text == u"No.") titles.push_back(op.P1);
    }
    ASSERT_EQ(numbers.size(), lines ? 2u : 0u);
    for (size_t i = 0; i < numbers.size(); ++i) {
      EXPECT_EQ(numbers[i].Y, titles[i].Y);
      EXPECT_GT(numbers[i].X, titles[i].X);
    }
  }
}

// The texts of a recorded page's text ops.
std::vector<std::u16string> TextsOf(const TMetafileEx& m) {
  std::vector<std::u16string> texts;
  for (const TRecordedOp& op : m.Ops)
    if (op.Kind == TOpKind::Text) texts.push_back(m.Texts[op.Index].Text);
  return texts;
}

bool Has(const std::vector<std::u16string>& texts, const std::u16string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The pages a window or a print job asks for one at a time: any index gives a page, and
// the text follows the sheet's grid as it changes.
TEST(ManuscriptPages, RecordsTheAskedPageOfTheSheetAsDrawn) {
  TVirtualPrinter printer;
  TPrintSetting s = PreparedSettings(printer, [](TPrintSetting& p) { p.PageNumber = true; });
  TFixedMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  TManuscriptStyle style;
  style.NumberPages = true;
  TManuscriptPages text(u"甲\n［＃改ページ］\n乙\n［＃改ページ］\n" + std::u16string(30, u'丙'),
                        style);
  EXPECT_EQ(text.Compose(s), 3);
  const struct {
    const char* name;
    int asked, recorded;
    std::u16string cell, number;
  } rows[] = {{"the first page", 0, 0, u"甲", u"1"},
              {"a page beyond the last gives the last", 9, 2, u"丙", u"3"},
              {"a negative page gives the first", -1, 0, u"甲", u"1"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const TSheetRecording r = text.Record(s, preview, row.asked);
    ASSERT_TRUE(r.Drawn);
    EXPECT_EQ(text.RecordedPage(), row.recorded);
    const std::vector<std::u16string> texts = TextsOf(*preview.GetPage(0));
    EXPECT_TRUE(Has(texts, row.cell));
    EXPECT_TRUE(Has(texts, row.number));
  }
  // Thirty cells of 丙 are two lines of 20 cells, or three pages of 10 x 10 lines of
  // 10 cells: preparing a sheet of fewer cells composes the text again.
  const TSheetRecording r = text.Record(s, preview, 9, [](TPrintSetting& p) {
    p.Tate = 10;
    p.Yoko = 2;
  });
  ASSERT_TRUE(r.Drawn);
  EXPECT_EQ(text.PageCount(), 4);
  EXPECT_EQ(text.RecordedPage(), 3);
  EXPECT_TRUE(Has(TextsOf(*preview.GetPage(0)), u"丙"));
}

}  // namespace
}  // namespace zelk
