// The canonical op format, and golden op files of a set of sheets.
//
// Set ZELK_UPDATE_GOLDEN=1 to rewrite the golden files from the current drawing; check
// the diff by eye before committing it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "DrawTestSupport.h"
#include "preview/OpsFormat.h"
#include "preview/SheetRecording.h"
#include "sheet/DrawSheet.h"

namespace zelk {
namespace {

using testing::PreparedSettings;
using testing::TFixedMeasurer;

TEST(OpsFormat, Colours) {
  struct Case {
    TColor color;
    const char* text;
  };
  const Case cases[] = {{kBlack, "#000000"},
                        {kWhite, "#FFFFFF"},
                        {0x0000FF, "#FF0000"},
                        {0xFF0000, "#0000FF"},
                        {0x123456, "#563412"},
                        {clWindowText, "#000000"},
                        {static_cast<TColor>(0xFF00000Fu), "#000000"}};
  for (const Case& c : cases) EXPECT_EQ(FormatOpsColor(c.color), c.text) << c.color;
}

TEST(OpsFormat, EveryOpKindByHand) {
  TMetafileEx page;
  page.FrameWidth = 21000;
  page.FrameHeight = 29700;
  page.HorzRes = 4960;
  page.VertRes = 7016;
  const TPen pen{3, TPenStyle::psDot, 0x0000FF};
  const TBrush clear{TBrushStyle::bsClear, kWhite};
  const TBrush solid{TBrushStyle::bsSolid, kBlack};
  page.Ops.push_back({TOpKind::Line, {1, 2}, {3, -4}, pen, clear, -1});
  page.Ops.push_back({TOpKind::Rectangle, {10, 20}, {30, 40}, TPen{}, clear, -1});
  page.Ops.push_back({TOpKind::FillRect, {5, 6}, {12, 13}, pen, solid, -1});
  page.Ops.push_back({TOpKind::Ellipse, {5, 6}, {12, 13}, TPen{}, solid, -1});
  page.Polygons.push_back({{0, 0}, {9, 0}, {0, 9}, {0, 0}});
  page.Ops.push_back({TOpKind::Polygon, {}, {}, TPen{7, TPenStyle::psSolid, kBlack}, solid, 0});
  TFont f;
  f.SetName(u"@ＭＳ 明朝");
  f.SetSize(12);
  f.SetColor(clWindowText);
  f.MutableStyle().Bold = true;
  f.MutableStyle().StrikeOut = true;
  page.Texts.push_back({u"say \"a\\b\"\n", f, 2700});
  page.Ops.push_back({TOpKind::Text, {100, -200}, {}, TPen{}, clear, 0});
  TFont plain;
  page.Texts.push_back({u"頁", plain, 0});
  page.Ops.push_back({TOpKind::Text, {0, 0}, {}, TPen{}, clear, 1});
  std::ostringstream out;
  WriteOps(out, {&page, &page});
  const std::string pageText =
      "line 1 2 3 -4 pen 3 dot #FF0000\n"
      "rect 10 20 30 40 pen 1 solid #000000 brush clear #FFFFFF\n"
      "fillrect 5 6 12 13 brush solid #000000\n"
      "ellipse 5 6 12 13 pen 1 solid #000000 brush solid #000000\n"
      "polygon 4 0 0 9 0 0 9 0 0 pen 7 solid #000000 brush solid #000000\n"
      "text 100 -200 \"say \\\"a\\\\b\\\"\\n\" font \"@ＭＳ 明朝\" 12 2700 bs #000000\n"
      "text 0 0 \"頁\" font \"Tahoma\" 8 0 - #000000\n";
  EXPECT_EQ(out.str(), "zelk-ops 1\npage 1 frame 21000 29700 size 4960 7016\n" + pageText +
                           "page 2 frame 21000 29700 size 4960 7016\n" + pageText);
}

TEST(OpsFormat, ControlCharactersStayOnOneLine) {
  TMetafileEx page;
  TFont f;
  page.Texts.push_back({std::u16string(u"a\tb\rc") + char16_t(1), f, 0});
  page.Ops.push_back({TOpKind::Text, {0, 0}, {}, TPen{}, TBrush{}, 0});
  std::ostringstream out;
  WriteOpsPage(out, page, 3);
  EXPECT_EQ(out.str(),
            "page 3 frame 0 0 size 0 0\n"
            "text 0 0 \"a\\tb\\rc\\x01\" font \"Tahoma\" 8 0 - #000000\n");
}

TEST(OpsFormat, RecorderMustBeIdle) {
  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  EXPECT_EQ(OpsText(preview), "zelk-ops 1\n");
  preview.BeginDoc();
  EXPECT_THROW(OpsText(preview), EPrintPreviewError);
  preview.EndDoc();
  EXPECT_EQ(OpsText(preview), "zelk-ops 1\npage 1 frame 21000 29700 size 4960 7016\n");
}

// Golden sheets, drawn on the virtual printer (A4 portrait, 600 dpi) with fixed metrics.
using TEdit = std::function<void(TPrintSetting&)>;

struct GoldenCase {
  std::string name;
  TEdit edit;
};

TEdit Direction(bool tategaki, TEdit more) {
  return [=](TPrintSetting& s) {
    s.SetTategaki(tategaki);
    more(s);
  };
}

void AllOutsideTexts(TPrintSetting& s) {
  s.TitleUL = u"上左";
  s.TitleUR = u"上右の文字";
  s.TitleLU = u"左上";
  s.TitleLD = u"左下の文字";
  s.TitleBL = u"下左";
  s.TitleBR = u"下右の文字";
  s.TitleRD = u"右下";
  s.TitleRU = u"右上の文字";
  s.TitleRUFont.SetSize(12);
  s.TitleBRFont.SetName(u"ＭＳ 明朝");
}

void AllPageNumbers(TPrintSetting& s) {
  s.PageNumberTitle = u"No.";
  s.PN_UL = s.PN_UC = s.PN_UR = s.PN_LU = s.PN_LD = s.PN_RU = s.PN_RD = s.PN_BL = s.PN_BR = true;
}

std::vector<GoldenCase> GoldenCases() {
  std::vector<GoldenCase> cases;
  cases.push_back({"default", [](TPrintSetting&) {}});
  for (bool tate : {true, false}) {
    const std::string dir = tate ? "tate" : "yoko";
    for (int shape = 0; shape <= 4; ++shape) {
      cases.push_back(
          {dir + "_line" + std::to_string(shape), Direction(tate, [=](TPrintSetting& s) {
             s.Tate = 6;
             s.Yoko = 5;
             s.LineWidth = 0.5;
             s.LineType = s.OrimeLineType = shape;
           })});
    }
    struct Fold {
      int orime, gyobi;
    };
    for (Fold f : {Fold{0, 1}, Fold{1, 0}, Fold{1, 2}, Fold{2, 0}, Fold{2, 1}, Fold{2, 2}}) {
      cases.push_back(
          {dir + "_orime" + std::to_string(f.orime) + "_gyobi" + std::to_string(f.gyobi),
           Direction(tate, [=](TPrintSetting& s) {
             s.Tate = 8;
             s.Yoko = 6;
             s.LineWidth = 0.6;
             s.Orime = f.orime;
             s.Gyobi = f.gyobi;
             s.OrimeWidth = 15.5;
             // The band's shape picks the branch of the marks' placement.
             s.LineType = lsStraight;
             s.OrimeLineType = f.gyobi == 1 ? lsRound : lsStraight;
             s.CenterCaption = u"中央の文字";
             s.BottomCaption = u"下の文字";
             s.BottomCaptionFont.SetSize(10);
           })});
    }
    cases.push_back({dir + "_pagenumbers", Direction(tate, [](TPrintSetting& s) {
                       s.Tate = s.Yoko = 4;
                       s.LineType = lsStraight;
                       AllPageNumbers(s);
                     })});
    for (bool outer : {true, false}) {
      cases.push_back(
          {dir + "_outside_outer" + (outer ? "1" : "0"), Direction(tate, [=](TPrintSetting& s) {
             s.Tate = s.Yoko = 4;
             s.LineType = lsSquares;
             s.LineWidth = 1;
             s.OuterLine = outer;
             s.OuterLineWidth = 1.5;
             AllOutsideTexts(s);
           })});
    }
    cases.push_back({dir + "_odd_21x21", Direction(tate, [](TPrintSetting& s) {
                       s.Tate = s.Yoko = 21;
                       s.LineType = lsSquares;
                       s.LineWidth = 1.2;
                     })});
    cases.push_back({dir + "_yoko1", Direction(tate, [](TPrintSetting& s) {
                       s.Yoko = 1;
                       s.Tate = 5;
                       s.LineWidth = 1;
                     })});
  }
  return cases;
}

std::string Render(const TEdit& edit) {
  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintSetting s = PreparedSettings(printer, edit);
  TPrintPreview preview(printer, measurer);
  RecordSheet(s, preview);
  return OpsText(preview);
}

int FirstDifferentLine(const std::string& a, const std::string& b) {
  int line = 1;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) return line;
    if (a[i] == '\n') ++line;
  }
  return line;
}

TEST(GoldenOps, SheetsMatchTheirGoldenFiles) {
  const char* update = std::getenv("ZELK_UPDATE_GOLDEN");
  const bool rewrite = update != nullptr && std::string(update) == "1";
  for (const GoldenCase& c : GoldenCases()) {
    const std::string path = std::string(ZELK_TEST_DATA) + "/golden/" + c.name + ".ops";
    const std::string actual = Render(c.edit);
    if (rewrite) {
      std::ofstream(path, std::ios::binary) << actual;
      continue;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << path << " (run with ZELK_UPDATE_GOLDEN=1)";
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_TRUE(expected.str() == actual)
        << c.name << ": first difference on line " << FirstDifferentLine(expected.str(), actual);
  }
}

}  // namespace
}  // namespace zelk
