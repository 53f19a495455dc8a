// SPDX-License-Identifier: GPL-3.0-or-later
// The small files kept beside the state file, the printer chosen last and the text set
// last: what is written comes back, and whatever else a file holds is never taken for
// what it does not hold.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "settings/PrinterChoice.h"
#include "settings/RememberedText.h"

namespace zelk {
namespace {

TEST(PrinterChoice, WhatIsWrittenIsReadBack) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "printer-choice";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "zelk.printer").string();
  const TPrinterChoice b4{"cups:ZelkB4", "B4 (JIS)", 257, 364, false};
  std::string error;
  ASSERT_TRUE(SavePrinterChoice(path, b4, &error)) << error;
  const auto read = LoadPrinterChoice(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Printer, "cups:ZelkB4");
  EXPECT_EQ(read->Paper, "B4 (JIS)");
  EXPECT_EQ(read->WidthMm, 257);
  EXPECT_EQ(read->HeightMm, 364);
  EXPECT_FALSE(read->Portrait);
  // A name with a line break stays on its line.
  const TPrinterChoice odd{"cups:a\nsize=1x1", "x", 210.97, 297.01, true};
  EXPECT_EQ(FormatPrinterChoice(odd),
            "printer=cups:a size=1x1\npaper=x\nsize=210.97x297.01\norientation=portrait\n");
  EXPECT_FALSE(LoadPrinterChoice((dir / "missing").string()));
  EXPECT_FALSE(LoadPrinterChoice(dir.string()));  // a folder
  std::filesystem::remove_all(dir);
}

struct TParseCase {
  const char* Name;
  std::string Text;
  bool Named;
  double Width;  // 0: no size taken
  bool Portrait;
};

class ParseChoice : public ::testing::TestWithParam<TParseCase> {};

TEST_P(ParseChoice, TakesOnlyWhatItUnderstands) {
  const auto choice = ParsePrinterChoice(GetParam().Text);
  ASSERT_EQ(bool(choice), GetParam().Named) << GetParam().Name;
  if (!choice) return;
  EXPECT_EQ(choice->WidthMm, GetParam().Width) << GetParam().Name;
  EXPECT_EQ(choice->Portrait, GetParam().Portrait) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseChoice,
    ::testing::Values(
        TParseCase{"empty", "", false, 0, true},
        TParseCase{"no printer line", "paper=A4\nsize=210x297\n", false, 0, true},
        TParseCase{"only the printer", "printer=PDF", true, 0, true},
        TParseCase{"unknown keys and garbage lines", "x\n=\nfoo=bar\nprinter=PDF\n\xff\xfe\n", true,
                   0, true},
        TParseCase{"landscape", "printer=PDF\norientation=landscape\n", true, 0, false},
        TParseCase{"a size of zero", "printer=PDF\nsize=0x297\n", true, 0, true},
        TParseCase{"a size not a number", "printer=PDF\nsize=nanxinf\n", true, 0, true},
        TParseCase{"an absurd size", "printer=PDF\nsize=1e9x1e9\n", true, 0, true},
        TParseCase{"a usable size", "printer=PDF\nsize=182x257\n", true, 182, true},
        TParseCase{"the printer past the readable length",
                   std::string(kMaxPrinterChoiceBytes, '\n') + "printer=PDF\n", false, 0, true}),
    [](const ::testing::TestParamInfo<TParseCase>& info) { return std::to_string(info.index); });

TEST(RememberedText, WhatIsWrittenIsReadBack) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "remembered-text";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "zelk.text").string();
  std::string error;
  ASSERT_TRUE(SaveRememberedText(path, {"/home/u/小説.txt", true, false, 2}, &error)) << error;
  const auto read = LoadRememberedText(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Path, "/home/u/小説.txt");
  EXPECT_TRUE(read->Title);
  EXPECT_FALSE(read->Hang);
  EXPECT_EQ(read->Page, 2);
  const std::string rules = "indent-brackets=no\nspace-after-marks=yes\nsmall-kana-start=no\n";
  EXPECT_EQ(FormatRememberedText({"/a/b.txt", false, true, 0}),
            "text=/a/b.txt\ntitle=no\nhang=yes\npage=1\n" + rules);
  // A name a line break would cut is not kept; the choices still are.
  EXPECT_EQ(FormatRememberedText({"/a\npage=9", true, true, 4}),
            "title=yes\nhang=yes\npage=5\n" + rules);
  // The school rules, each away from its default, come back; a file without them (as an
  // earlier version wrote) reads as the defaults.
  const TRememberedText rulesSet{"/t.txt", false, false, 0, true, false, true};
  const TRememberedText back = ParseRememberedText(FormatRememberedText(rulesSet));
  EXPECT_TRUE(back.IndentOpeningBracket && !back.SpaceAfterMarks && back.SmallKanaMayStart);
  const TRememberedText old = ParseRememberedText("text=/t.txt\npage=2\n");
  EXPECT_TRUE(!old.IndentOpeningBracket && old.SpaceAfterMarks && !old.SmallKanaMayStart);
  EXPECT_FALSE(LoadRememberedText((dir / "missing").string()));
  std::filesystem::remove_all(dir);
}

struct TTextCase {
  const char* Name;
  std::string Text;
  std::string Path;
  int Page;
};

class ParseText : public ::testing::TestWithParam<TTextCase> {};

TEST_P(ParseText, TakesOnlyWhatItUnderstands) {
  const TRememberedText r = ParseRememberedText(GetParam().Text);
  EXPECT_EQ(r.Path, GetParam().Path) << GetParam().Name;
  EXPECT_EQ(r.Page, GetParam().Page) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseText,
    ::testing::Values(
        TTextCase{"empty", "", "", 0},
        TTextCase{"a page and a text", "page=12\ntext=/t.txt\n", "/t.txt", 11},
        TTextCase{"written on another system", "text=/t.txt\r\npage=2\r\n", "/t.txt", 1},
        TTextCase{"a relative name", "text=t.txt\n", "", 0},
        TTextCase{"only a slash", "text=/\n", "", 0}, TTextCase{"page zero", "page=0\n", "", 0},
        TTextCase{"a negative page", "page=-3\n", "", 0},
        TTextCase{"a page past any text", "page=99999999999\n", "", 0},
        TTextCase{"a page with trailing garbage", "page=3x\n", "", 0},
        TTextCase{"the text past the readable length",
                  std::string(kMaxRememberedTextBytes, '\n') + "text=/t.txt\n", "", 0}),
    [](const ::testing::TestParamInfo<TTextCase>& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace zelk
