// SPDX-License-Identifier: GPL-3.0-or-later
// The canonical op format; a few sheets against golden op files checked by hand, and
// every sheet against the geometry it was laid out with.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "DrawTestSupport.h"
#include "base/Utf8.h"
#include "preview/OpsFormat.h"
#include "preview/SheetRecording.h"
#include "sheet/Geometry.h"

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

// Sheets drawn on the virtual printer (A4 portrait at 600 dpi: 4960 x 7016 pixels, read
// back as a paper of 209.97 x 297.01 mm) with fixed metrics.
using TEdit = std::function<void(TPrintSetting&)>;

TEdit Direction(bool tategaki, TEdit more) {
  return [=](TPrintSetting& s) {
    s.SetTategaki(tategaki);
    more(s);
  };
}

TEdit Lines(int shape) {
  return [=](TPrintSetting& s) {
    s.Tate = 6;
    s.Yoko = 5;
    s.LineWidth = 0.5;
    s.LineType = s.OrimeLineType = shape;
  };
}

TEdit Band(int orime, int gyobi) {
  return [=](TPrintSetting& s) {
    s.Tate = 8;
    s.Yoko = 6;
    s.LineWidth = 0.6;
    s.Orime = orime;
    s.Gyobi = gyobi;
    s.OrimeWidth = 15.5;
    // The band's shape picks the branch of the marks' placement.
    s.LineType = lsStraight;
    s.OrimeLineType = gyobi == 1 ? lsRound : lsStraight;
    s.CenterCaption = u"中央の文字";
    s.BottomCaption = u"下の文字";
    s.BottomCaptionFont.SetSize(10);
  };
}

TEdit OutsideTexts(bool outerLine) {
  return [=](TPrintSetting& s) {
    s.Tate = s.Yoko = 4;
    s.LineType = lsSquares;
    s.LineWidth = 1;
    s.OuterLine = outerLine;
    s.OuterLineWidth = 1.5;
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
  };
}

void AllPageNumbers(TPrintSetting& s) {
  s.Tate = s.Yoko = 4;
  s.LineType = lsStraight;
  s.PageNumberTitle = u"No.";
  s.PN_UL = s.PN_UC = s.PN_UR = s.PN_LU = s.PN_LD = s.PN_RU = s.PN_RD = s.PN_BL = s.PN_BR = true;
}

std::string Render(const TEdit& edit) {
  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintSetting s = PreparedSettings(printer, edit);
  TPrintPreview preview(printer, measurer);
  RecordSheet(s, preview);
  return OpsText(preview);
}

// Golden op files, kept only for sheets whose every figure a person can work out. The
// lines listed with each were worked out by hand as its comment shows; the test checks
// that the file still holds them. Set ZELK_UPDATE_GOLDEN=1 to rewrite the files from the
// current drawing, and check the diff by eye before committing it.
struct GoldenSheet {
  const char* file;
  TEdit edit;
  std::vector<std::string> handChecked;
};

std::vector<GoldenSheet> GoldenSheets() {
  return {
      // The default sheet: vertical writing, 20 x 20 cells, a one-unit band, round dots of
      // 0.3 mm = 7. The paper is 4959 x 7015 units; margins of 15 mm = 354 and 12 mm = 283
      // leave 4251 x 6449. The band counts as a 21st column: cell = pitch = 4251 / 21 = 202
      // (no room for gaps), band 202 wide from x = 354 + 10 x 202 = 2374. Round dots move
      // the frame 7 / 2 = 3 right and down: (357, 286) to (357 + 21 x 202, 286 + 20 x 202).
      // The outer line of 2 mm = 47 lies 2 x 47 outside it. Page-number pair about the
      // centre 263 + 4430 / 2 = 2478, 8 mm = 188 off it and 18 mm = 425 long; the 8 pt
      // title cell is 66 high at 192 - 2 x 66 = 60, the lines 66 lower. First mark: at 4/20
      // of 4040 below 283; pen 202 / 27 = 7, so it spans the band inside its 7-wide edge
      // lines, 2374 + 7 - 3 = 2378 to 2576; its block 202 / 3 = 67 long starts 2 x 7 past the
      // line, notch tip 22 in. First dot: the first cell's right side at x = 354 + 202, 7 x 7,
      // with the page's pen of 1.
      {"default.ops",
       [](TPrintSetting&) {},
       {"page 1 frame 21000 29700 size 4960 7016",
        "rect 357 286 4599 4326 pen 7 solid #000000 brush clear #000000",
        "rect 263 192 4693 4420 pen 47 solid #000000 brush clear #000000",
        "line 1865 126 2290 126 pen 7 solid #000000", "line 2666 126 3091 126 pen 7 solid #000000",
        "line 2378 1091 2576 1091 pen 7 solid #000000",
        "polygon 6 2378 1105 2576 1105 2576 1172 2477 1127 2378 1172 2378 1105 pen 7 solid "
        "#000000 brush solid #000000",
        "ellipse 556 283 563 290 pen 1 solid #000000 brush solid #000000"}},
      // Horizontal writing, 6 rows x 5 columns, straight lines of 0.5 mm = 11, a one-unit
      // band. The band counts as a 7th row: cell = min(4251 / 5, 6449 / 7) = 850, and the
      // rows share 6449 - 7 x 850 = 499 as gaps of 71: pitch 921 down, 850 across. The band
      // lies from y = 283 + 3 x 921 = 3046 to 3967, its lines 5 x 850 long. Frame (354, 283)
      // to (354 + 4250, 283 + 7 x 921). The first cell lies below its gap strip (3.007 mm =
      // 71): top 354, bottom 1204, right side x = 1204. Marks: pen 921 / 27 = 34 is wider
      // than the edge lines, so they start at 3967 + 11 / 2 - 34 / 2 = 3955 and reach up
      // 921 + 11 - 34 = 898 to 3057, at 4/20 and 14/20 of 4250 right of 354. The first
      // block, 921 / 3 = 307 long, starts 2 x 34 past its line, notch tip 102 in at the
      // band's middle 3955 - 449.
      {"horizontal_straight_lines.ops",
       Direction(false, Lines(lsStraight)),
       {"line 354 354 1204 354 pen 11 solid #000000",
        "line 354 1204 1204 1204 pen 11 solid #000000",
        "line 1204 1204 1204 354 pen 11 solid #000000",
        "line 354 3046 4604 3046 pen 11 solid #000000",
        "line 354 3967 4604 3967 pen 11 solid #000000",
        "rect 354 283 4604 6730 pen 11 solid #000000 brush clear #000000",
        "rect 260 189 4698 6824 pen 47 solid #000000 brush clear #000000",
        "line 1204 3955 1204 3057 pen 34 solid #000000",
        "polygon 6 1272 3955 1272 3057 1579 3057 1374 3506 1579 3955 1272 3955 pen 34 solid "
        "#000000 brush solid #000000",
        "line 3329 3955 3329 3057 pen 34 solid #000000"}},
      // Vertical writing, 8 rows x 6 columns, straight lines of 0.6 mm = 14, a band of
      // 15.5 mm = 366 with a fish-tail and a bar, two captions. Cell = min((4251 - 366) / 6,
      // 6449 / 8) = 647, no room for gaps. The band lies from x = 354 + 3 x 647 = 2295 to
      // 2661. Frame (354, 283) to (354 + 366 + 6 x 647, 283 + 8 x 647). Marks: pen 366 / 27
      // = 13, half of it below the edge lines' 14, so they span the band inside them,
      // 2295 + 7 = 2302 to 2302 + 366 - 14; at 4/20 and 14/20 of 5176 below 283. The block
      // is 366 / 3 = 122 long from 2 x 13 past its line, notch tip 40 in; the bar 40 long,
      // backward. Captions of 8 and 10 pt (66 and 83 high, 5 and 4 em = 333 long) centred
      // across the band: x = 2295 + (66 + 366) / 2 and 2295 + (83 + 366) / 2; the centre one
      // at 5/20 of 5176 below 283, the bottom one ending 2 x 14 before the grid's end at
      // 5459.
      {"vertical_wide_band_with_bar.ops",
       Direction(true, Band(2, 2)),
       {"line 2295 283 2295 5459 pen 14 solid #000000",
        "line 2661 283 2661 5459 pen 14 solid #000000",
        "rect 354 283 4602 5459 pen 14 solid #000000 brush clear #000000",
        "text 2511 1577 \"中央の文字\" font \"@Tahoma\" 8 2700 - #000000",
        "text 2519 5098 \"下の文字\" font \"@Tahoma\" 10 2700 - #000000",
        "line 2302 1318 2654 1318 pen 13 solid #000000",
        "polygon 6 2302 1344 2654 1344 2654 1466 2478 1384 2302 1466 2302 1344 pen 13 solid "
        "#000000 brush solid #000000",
        "line 2302 3906 2654 3906 pen 13 solid #000000",
        "rect 2302 3880 2654 3840 pen 13 solid #000000 brush solid #000000"}},
  };
}

int FirstDifferentLine(const std::string& a, const std::string& b) {
  int line = 1;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) return line;
    if (a[i] == '\n') ++line;
  }
  return line;
}

TEST(GoldenOps, HandCheckedSheetsMatchTheirFiles) {
  const char* update = std::getenv("ZELK_UPDATE_GOLDEN");
  const bool rewrite = update != nullptr && std::string(update) == "1";
  for (const GoldenSheet& g : GoldenSheets()) {
    const std::string path = std::string(ZELK_TEST_DATA) + "/golden/" + g.file;
    const std::string actual = Render(g.edit);
    if (rewrite) std::ofstream(path, std::ios::binary) << actual;
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << path << " (run with ZELK_UPDATE_GOLDEN=1)";
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_TRUE(expected.str() == actual)
        << g.file << ": first difference on line " << FirstDifferentLine(expected.str(), actual);
    const std::string lines = "\n" + expected.str();
    for (const std::string& line : g.handChecked)
      EXPECT_NE(lines.find("\n" + line + "\n"), std::string::npos)
          << g.file << " lacks the hand-checked line: " << line;
  }
}

// Sheets checked against the geometry they were laid out with, the golden ones among
// them: the page's ops against UnitPosition, FrameRect and the edge records of Cell,
// computed here from the same settings.
struct SheetCase {
  std::string name;
  TEdit edit;
};

std::vector<SheetCase> SheetCases() {
  struct Variant {
    const char* name;
    TEdit edit;
  };
  const Variant variants[] = {
      {"no_grid_lines", Lines(lsNone)},
      {"dotted_pen_lines", Lines(lsDotted)},
      {"straight_lines", Lines(lsStraight)},
      {"square_dots", Lines(lsSquares)},
      {"round_dots", Lines(lsRound)},
      {"marks_asked_for_without_a_band", Band(0, 1)},
      {"one_unit_band_without_marks", Band(1, 0)},
      {"one_unit_band_with_fish_tail_and_bar", Band(1, 2)},
      {"wide_band_without_marks", Band(2, 0)},
      {"wide_band_with_two_fish_tails", Band(2, 1)},
      {"wide_band_with_fish_tail_and_bar", Band(2, 2)},
      {"every_page_number_flag", AllPageNumbers},
      {"outside_texts_with_outer_line", OutsideTexts(true)},
      {"outside_texts_without_outer_line", OutsideTexts(false)},
      {"odd_counts_21_by_21",
       [](TPrintSetting& s) {
         s.Tate = s.Yoko = 21;
         s.LineType = lsSquares;
         s.LineWidth = 1.2;
       }},
      {"one_column",
       [](TPrintSetting& s) {
         s.Yoko = 1;
         s.Tate = 5;
         s.LineWidth = 1;
       }},
  };
  std::vector<SheetCase> cases = {{"default", [](TPrintSetting&) {}}};
  for (bool tategaki : {true, false})
    for (const Variant& v : variants)
      cases.push_back({std::string(tategaki ? "vertical_" : "horizontal_") + v.name,
                       Direction(tategaki, v.edit)});
  return cases;
}

// What an op draws as a stroke of the grid or of a band line: its shape (TLineShape) and
// where it lies. A line keeps its ends in order and, when solid, its pen width; a dot is
// its rectangle. Any other op has shape lsNone.
using TStroke = std::tuple<int, int32_t, int32_t, int32_t, int32_t, int32_t>;

TStroke LineStroke(int shape, TDevicePoint a, TDevicePoint b, int32_t width) {
  if (std::tie(b.X, b.Y) < std::tie(a.X, a.Y)) std::swap(a, b);
  return {shape, a.X, a.Y, b.X, b.Y, width};
}

TStroke StrokeOf(const TRecordedOp& op) {
  switch (op.Kind) {
    case TOpKind::Line:
      if (op.Pen.Style == TPenStyle::psDot) return LineStroke(lsDotted, op.P1, op.P2, 0);
      return LineStroke(lsStraight, op.P1, op.P2, op.Pen.Width);
    case TOpKind::FillRect:
      return {lsSquares, op.P1.X, op.P1.Y, op.P2.X, op.P2.Y, 0};
    case TOpKind::Ellipse:
      return {lsRound, op.P1.X, op.P1.Y, op.P2.X, op.P2.Y, 0};
    default:
      return {lsNone, op.P1.X, op.P1.Y, op.P2.X, op.P2.Y, 0};
  }
}

std::string Describe(const TStroke& k) {
  const char* shapes[] = {"other op", "dotted line", "line", "square", "round dot"};
  std::ostringstream out;
  out << shapes[std::get<0>(k)] << " " << std::get<1>(k) << "," << std::get<2>(k) << " "
      << std::get<3>(k) << "," << std::get<4>(k);
  if (std::get<5>(k) != 0) out << " pen " << std::get<5>(k);
  return out.str();
}

// The strokes of edge `e` in its LineType from `start`: one line, or its row of dots.
std::vector<TStroke> EdgeStrokes(const TCellWidth& e, TDevicePoint start) {
  const TDevicePoint end{start.X + e.StepX, start.Y + e.StepY};
  switch (e.LineType) {
    case lsDotted:
      return {LineStroke(lsDotted, start, end, 0)};
    case lsStraight:
      return {LineStroke(lsStraight, start, end, e.DotWidth)};
    case lsSquares:
    case lsRound: {
      std::vector<TStroke> dots;
      for (int32_t k = 0; k < std::max(e.DotCountX, e.DotCountY); ++k) {
        const int32_t x = start.X + k * e.DotPitchX;
        const int32_t y = start.Y + k * e.DotPitchY;
        dots.push_back({e.LineType, x, y, x + e.DotWidth, y + e.DotHeight, 0});
      }
      return dots;
    }
    default:
      return {};
  }
}

std::string Str(const TDeviceRect& r) {
  std::ostringstream out;
  out << r.Left << "," << r.Top << " " << r.Right << "," << r.Bottom;
  return out.str();
}

class SheetGeometryTest : public ::testing::TestWithParam<SheetCase> {
 protected:
  void SetUp() override {
    TPrintSetting drawn = PreparedSettings(printer, GetParam().edit);
    s = drawn;
    ComputeLayout(s);
    ASSERT_TRUE(RecordSheet(drawn, preview).Drawn);
    page = preview.GetPage(0);
    const auto& ops = page->Ops;
    gridEnd = std::find_if(ops.begin(), ops.end(),
                           [](const TRecordedOp& op) { return op.Kind == TOpKind::Rectangle; }) -
              ops.begin();
    ASSERT_LT(gridEnd, ops.size()) << "no frame";
    vertical = !s.Yokogaki;
    band = s.Orime == 1 || s.Orime == 2;
    // The band lies between the unit before it and the unit after it.
    bandStart = vertical ? UnitPosition(s, s.HalfYoko - 1, 0).X + s.PitchX
                         : UnitPosition(s, 0, s.HalfTate - 1).Y + s.PitchY;
    bandEnd = vertical ? UnitPosition(s, s.HalfYoko, 0).X : UnitPosition(s, 0, s.HalfTate).Y;
    frame = FrameRect(s);
    tolerance = std::max(s.PenWidthX, s.PenWidthY);
    fishTails = !band ? 0 : s.Gyobi == 1 ? 2 : s.Gyobi == 2 ? 1 : 0;
    bar = band && s.Gyobi == 2;
    markOps = 2 * (fishTails + bar);
  }

  int32_t Along(TDevicePoint p) const { return vertical ? p.Y : p.X; }
  int32_t Across(TDevicePoint p) const { return vertical ? p.X : p.Y; }
  int32_t FrameStart() const { return vertical ? frame.Top : frame.Left; }
  int32_t FrameEnd() const { return vertical ? frame.Bottom : frame.Right; }

  // The cell of unit (i, j), below its gap strip in horizontal writing. CellInner and
  // CellStart are two sides of the cell at right angles in either direction.
  TDeviceRect CellRect(int32_t i, int32_t j) const {
    const TCell& c = s.Cell;
    const int32_t w = std::abs(c.CellInner.StepX + c.CellStart.StepX);
    const int32_t h = std::abs(c.CellInner.StepY + c.CellStart.StepY);
    const TDevicePoint u = UnitPosition(s, i, j);
    const int32_t top = u.Y + (vertical ? 0 : std::abs(c.GapStart.StepY));
    return {u.X, top, u.X + w, top + h};
  }

  struct TSide {
    const TCellWidth* Edge;
    TDevicePoint From, To;  // From is the left or top end
  };

  // The sides a unit may draw. Vertical writing runs down the column with the gap strip
  // right of the cell: the cell's left side is its outer edge, its right side the inner
  // one, its top the start, and its bottom is the next cell's top. Horizontal writing
  // runs along the row with the gap strip above: the top is inner, the bottom outer, the
  // right side the end, and the left side is the previous cell's right.
  std::vector<TSide> UnitSides(int32_t i, int32_t j) const {
    const TCell& c = s.Cell;
    const TDeviceRect r = CellRect(i, j);
    const TDevicePoint tl{r.Left, r.Top}, tr{r.Right, r.Top}, bl{r.Left, r.Bottom},
        br{r.Right, r.Bottom};
    if (vertical) return {{&c.CellOuter, tl, bl}, {&c.CellInner, tr, br}, {&c.CellStart, tl, tr}};
    return {{&c.CellInner, tl, tr}, {&c.CellOuter, bl, br}, {&c.CellEnd, tr, br}};
  }

  // Whether a side lies on a frame side or a band edge, within the frame pen's width:
  // those lines draw it.
  bool OnFrameOrBand(const TSide& side) const {
    const bool upright = side.From.X == side.To.X;
    const int32_t at = upright ? side.From.X : side.From.Y;
    std::vector<int32_t> lines = upright ? std::vector<int32_t>{frame.Left, frame.Right}
                                         : std::vector<int32_t>{frame.Top, frame.Bottom};
    if (band && upright == vertical) lines.insert(lines.end(), {bandStart, bandEnd});
    return std::any_of(lines.begin(), lines.end(),
                       [&](int32_t line) { return std::abs(at - line) <= tolerance; });
  }

  // The band's two edge lines: one edge as long as the frame along the band, in the
  // band's shape with the grid's line width, from each edge of the band.
  std::vector<TStroke> BandStrokes() const {
    TCellWidth edge;
    edge.LineType = s.OrimeLineType;
    edge.LineWidth = s.LineWidth;
    edge.Width = DeviceToMm(s.PrinterInfo, FrameEnd() - FrameStart(), !vertical);
    DeriveEdge(edge, s.PrinterInfo, vertical ? 0 : 1, vertical ? 1 : 0);
    std::vector<TStroke> strokes;
    const TDevicePoint origin = UnitPosition(s, 0, 0);
    for (int32_t at : {bandStart, bandEnd}) {
      const auto edgeStrokes =
          EdgeStrokes(edge, vertical ? TDevicePoint{at, origin.Y} : TDevicePoint{origin.X, at});
      strokes.insert(strokes.end(), edgeStrokes.begin(), edgeStrokes.end());
    }
    return strokes;
  }

  // Every stroke the grid and the band lines may draw, each with whether it must be
  // drawn: a side on the frame or a band edge may be left to that line.
  std::map<TStroke, bool> ExpectedGridStrokes() const {
    std::map<TStroke, bool> expected;
    auto add = [&](const std::vector<TStroke>& strokes, bool required) {
      for (const TStroke& k : strokes) expected[k] = expected[k] || required;
    };
    if (band) add(BandStrokes(), true);
    for (int32_t i = 0; i < s.Yoko; ++i) {
      for (int32_t j = 0; j < s.Tate; ++j) {
        for (const TSide& side : UnitSides(i, j)) {
          const TCellWidth& e = *side.Edge;
          add(EdgeStrokes(e, e.StepX + e.StepY > 0 ? side.From : side.To), !OnFrameOrBand(side));
        }
      }
    }
    return expected;
  }

  // Where a text op's text lies by the fixed metrics: rotated text (2700) runs down from
  // its point and reaches left of it by its height.
  TDeviceRect TextBox(const TRecordedOp& op) const {
    const TRecordedText& t = page->Texts[op.Index];
    const TTextExtent e =
        measurer.Measure(t.Font, t.Text, s.PrinterInfo.LogPixelsX, s.PrinterInfo.LogPixelsY);
    if (t.Orientation == 2700) return {op.P1.X - e.Height, op.P1.Y, op.P1.X, op.P1.Y + e.Width};
    return {op.P1.X, op.P1.Y, op.P1.X + e.Width, op.P1.Y + e.Height};
  }

  std::vector<const TRecordedOp*> TextOps(const std::u16string& text) const {
    std::vector<const TRecordedOp*> found;
    for (const TRecordedOp& op : page->Ops)
      if (op.Kind == TOpKind::Text && page->Texts[op.Index].Text == text) found.push_back(&op);
    return found;
  }

  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintPreview preview{printer, measurer};
  TPrintSetting s;  // laid out by ComputeLayout alone
  const TMetafileEx* page = nullptr;
  size_t gridEnd = 0;  // the first op after the grid and the band lines: the frame
  bool vertical = true;
  bool band = false;
  int32_t bandStart = 0, bandEnd = 0;  // across the band
  TDeviceRect frame;
  int32_t tolerance = 0;  // the frame pen's width
  int fishTails = 0;
  bool bar = false;
  size_t markOps = 0;  // the page's last ops: a line and a block per mark
};

TEST_P(SheetGeometryTest, FrameRunsAlongTheGridWithTheOuterLineAroundIt) {
  // From the first unit's corner to that of the unit one past the last, the band
  // included; with dotted shapes through the dots' centres, half a pen right and down.
  const TDevicePoint first = UnitPosition(s, 0, 0);
  const TDevicePoint pastLast = UnitPosition(s, s.Yoko, s.Tate);
  const bool dots = s.LineType == lsSquares || s.LineType == lsRound;
  const int32_t dx = dots ? s.PenWidthX / 2 : 0, dy = dots ? s.PenWidthY / 2 : 0;
  EXPECT_EQ(Str(frame), Str({first.X + dx, first.Y + dy, pastLast.X + dx, pastLast.Y + dy}));

  std::vector<const TRecordedOp*> outlines;
  for (const TRecordedOp& op : page->Ops)
    if (op.Kind == TOpKind::Rectangle && op.Brush.Style == TBrushStyle::bsClear)
      outlines.push_back(&op);
  ASSERT_EQ(outlines.size(), s.OuterLine ? 2u : 1u);
  EXPECT_EQ(Str({outlines[0]->P1.X, outlines[0]->P1.Y, outlines[0]->P2.X, outlines[0]->P2.Y}),
            Str(frame));
  EXPECT_EQ(outlines[0]->Pen.Width, s.PenWidthX);
  if (!s.OuterLine) return;
  EXPECT_EQ(Str({outlines[1]->P1.X, outlines[1]->P1.Y, outlines[1]->P2.X, outlines[1]->P2.Y}),
            Str(OuterLineRect(s)));
  EXPECT_EQ(outlines[1]->Pen.Width, OuterLineWidths(s).X);
}

TEST_P(SheetGeometryTest, GridStrokesLieOnCellSidesOrBandEdges) {
  const std::map<TStroke, bool> expected = ExpectedGridStrokes();
  std::vector<std::string> stray;
  for (size_t i = 0; i < gridEnd; ++i)
    if (expected.count(StrokeOf(page->Ops[i])) == 0)
      stray.push_back(Describe(StrokeOf(page->Ops[i])));
  EXPECT_TRUE(stray.empty()) << stray.size() << " strokes off the cell sides, the first "
                             << stray.front();
}

TEST_P(SheetGeometryTest, EveryCellSideAwayFromFrameAndBandIsDrawn) {
  std::set<TStroke> drawn;
  for (size_t i = 0; i < gridEnd; ++i) drawn.insert(StrokeOf(page->Ops[i]));
  std::vector<std::string> missing;
  for (const auto& [stroke, required] : ExpectedGridStrokes())
    if (required && drawn.count(stroke) == 0) missing.push_back(Describe(stroke));
  EXPECT_TRUE(missing.empty()) << missing.size() << " strokes missing, the first "
                               << missing.front();
}

TEST_P(SheetGeometryTest, MarksOnlyInABandAtFourAndFourteenTwentieths) {
  int polygons = 0, filledRects = 0;
  for (const TRecordedOp& op : page->Ops) {
    polygons += op.Kind == TOpKind::Polygon;
    filledRects += op.Kind == TOpKind::Rectangle && op.Brush.Style == TBrushStyle::bsSolid;
  }
  EXPECT_EQ(polygons, fishTails);
  EXPECT_EQ(filledRects, bar ? 1 : 0);
  if (markOps == 0) return;
  ASSERT_GE(page->Ops.size(), gridEnd + markOps);
  // Each mark is a line across the band and a block beside it: the first at 4/20 of the
  // band's length with its block after the line, the second at 14/20 with its block before.
  const int32_t length = FrameEnd() - FrameStart();
  const int32_t origin = Along(UnitPosition(s, 0, 0));
  for (int m = 0; m < 2; ++m) {
    SCOPED_TRACE(m == 0 ? "first mark" : "second mark");
    const TRecordedOp& line = page->Ops[page->Ops.size() - 4 + 2 * m];
    const TRecordedOp& block = page->Ops[page->Ops.size() - 3 + 2 * m];
    ASSERT_EQ(line.Kind, TOpKind::Line);
    const int32_t at = origin + length * (m == 0 ? 4 : 14) / 20;
    EXPECT_EQ(Along(line.P1), at);
    EXPECT_EQ(Along(line.P2), at);
    std::vector<TDevicePoint> points = {line.P1, line.P2};
    if (block.Kind == TOpKind::Polygon) {
      points.insert(points.end(), page->Polygons[block.Index].begin(),
                    page->Polygons[block.Index].end());
    } else {
      EXPECT_TRUE(m == 1 && bar) << "a rectangle for a mark";
      points.insert(points.end(), {block.P1, block.P2});
    }
    for (size_t k = 2; k < points.size(); ++k)
      EXPECT_EQ(Along(points[k]) > at, m == 0)
          << "block point " << k << " along " << Along(points[k]);
    for (const TDevicePoint& p : points) {
      EXPECT_GE(Across(p), bandStart - tolerance);
      EXPECT_LE(Across(p), bandEnd + tolerance);
    }
  }
}

TEST_P(SheetGeometryTest, NothingButTheMarksAndCaptionsEntersTheBand) {
  // The band's inside: between its edge lines less the frame pen's width, within the frame.
  auto enters = [&](TDevicePoint a, TDevicePoint b) {
    return std::max(Across(a), Across(b)) > bandStart + tolerance &&
           std::min(Across(a), Across(b)) < bandEnd - tolerance &&
           std::max(Along(a), Along(b)) > FrameStart() + tolerance &&
           std::min(Along(a), Along(b)) < FrameEnd() - tolerance;
  };
  for (size_t i = 0; i + markOps < page->Ops.size(); ++i) {
    const TRecordedOp& op = page->Ops[i];
    bool inside = false;
    if (op.Kind == TOpKind::Rectangle) {
      const TDevicePoint tr{op.P2.X, op.P1.Y}, bl{op.P1.X, op.P2.Y};
      inside = enters(op.P1, tr) || enters(tr, op.P2) || enters(op.P2, bl) || enters(bl, op.P1);
    } else if (op.Kind == TOpKind::Polygon) {
      for (const TDevicePoint& p : page->Polygons[op.Index]) inside = inside || enters(p, p);
    } else if (op.Kind != TOpKind::Text) {
      inside = enters(op.P1, op.P2);
    }
    EXPECT_FALSE(inside) << "op " << i << " " << Describe(StrokeOf(op)) << " in the band "
                         << bandStart << ".." << bandEnd;
  }
  // The captions are centred across the band and lie within the frame along it.
  for (const std::u16string* caption : {&s.CenterCaption, &s.BottomCaption}) {
    if (caption->empty()) continue;
    const auto found = TextOps(*caption);
    ASSERT_EQ(found.size(), band ? 1u : 0u) << ToUtf8(*caption);
    if (!band) continue;
    const TDeviceRect box = TextBox(*found[0]);
    const TDevicePoint a{box.Left, box.Top}, b{box.Right, box.Bottom};
    EXPECT_LE(std::abs(Across(a) + Across(b) - bandStart - bandEnd), 2) << ToUtf8(*caption);
    EXPECT_GE(Along(a), FrameStart()) << ToUtf8(*caption);
    EXPECT_LE(Along(b), FrameEnd()) << ToUtf8(*caption);
  }
}

TEST_P(SheetGeometryTest, PageNumberLinesOnlyForTheirFlags) {
  // Vertical writing has only the top-centre pair; horizontal writing one line for each
  // of the other eight flags.
  const int flags = s.PN_UL + s.PN_UR + s.PN_LU + s.PN_LD + s.PN_RU + s.PN_RD + s.PN_BL + s.PN_BR;
  const size_t expected = !s.PageNumber ? 0 : vertical ? 2 * s.PN_UC : flags;
  // After the frame every line but the marks' is a page-number line.
  std::vector<const TRecordedOp*> lines;
  for (size_t i = gridEnd; i + markOps < page->Ops.size(); ++i)
    if (page->Ops[i].Kind == TOpKind::Line) lines.push_back(&page->Ops[i]);
  ASSERT_EQ(lines.size(), expected);
  const TDeviceRect r = OuterLineRect(s);
  const int32_t n = MmToDevice(s.PrinterInfo, s.PageNumberWidth, true);
  const int32_t th =
      measurer
          .Measure(s.PageNumberTitleFont, u"□", s.PrinterInfo.LogPixelsX, s.PrinterInfo.LogPixelsY)
          .Height;
  for (const TRecordedOp* line : lines) {
    const TDevicePoint a = line->P1, b = line->P2;
    EXPECT_EQ(a.Y, b.Y);
    EXPECT_EQ(b.X - a.X, n);
    EXPECT_EQ(line->Pen.Width, s.PenWidthX);
    EXPECT_TRUE(a.Y < r.Top || a.Y > r.Bottom || b.X < r.Left || a.X > r.Right)
        << "line " << a.X << "," << a.Y << " inside the outer line";
    // Its title stands on its left end.
    if (s.PageNumberTitle.empty()) continue;
    const auto titles = TextOps(s.PageNumberTitle);
    EXPECT_TRUE(std::any_of(titles.begin(), titles.end(),
                            [&](const TRecordedOp* t) {
                              return t->P1 == TDevicePoint{a.X, a.Y - th};
                            }))
        << "no title at " << a.X << "," << a.Y - th;
  }
  if (vertical && expected == 2) {
    // The pair is symmetric about the frame's centre.
    EXPECT_LE(std::abs(lines[0]->P1.X + lines[1]->P2.X - r.Left - r.Right), 1);
  }
}

TEST_P(SheetGeometryTest, OutsideTextsStandOffTheTextRectangle) {
  // Above and below it, OutsideTextSpace off and flush with its left or right side; beside
  // it, top- or bottom-aligned with the right edge OutsideTextSpace left of it or beyond it.
  const TDeviceRect r = TextRect(s);
  const int32_t dx = MmToDevice(s.PrinterInfo, s.OutsideTextSpace, true);
  const int32_t dy = MmToDevice(s.PrinterInfo, s.OutsideTextSpace, false);
  const struct {
    const std::u16string& text;
    int32_t x;
    bool rightEdge;
    int32_t y;
    bool bottomEdge;
  } expected[] = {
      {s.TitleUL, r.Left, false, r.Top - dy, true},
      {s.TitleUR, r.Right, true, r.Top - dy, true},
      {s.TitleBL, r.Left, false, r.Bottom + dy, false},
      {s.TitleBR, r.Right, true, r.Bottom + dy, false},
      {s.TitleLU, r.Left - dx, true, r.Top, false},
      {s.TitleLD, r.Left - dx, true, r.Bottom, true},
      {s.TitleRU, r.Right + dx, true, r.Top, false},
      {s.TitleRD, r.Right + dx, true, r.Bottom, true},
  };
  for (const auto& e : expected) {
    if (e.text.empty()) continue;
    const auto found = TextOps(e.text);
    ASSERT_EQ(found.size(), 1u) << ToUtf8(e.text);
    const TDeviceRect box = TextBox(*found[0]);
    EXPECT_EQ(e.rightEdge ? box.Right : box.Left, e.x) << ToUtf8(e.text);
    EXPECT_EQ(e.bottomEdge ? box.Bottom : box.Top, e.y) << ToUtf8(e.text);
  }
}

INSTANTIATE_TEST_SUITE_P(, SheetGeometryTest, ::testing::ValuesIn(SheetCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zelk
