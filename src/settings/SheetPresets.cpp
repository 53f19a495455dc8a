// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SheetPresets.h"

namespace zelk {
namespace {

constexpr TColor kBrown = kManuscriptPalette[0].Color;
constexpr TColor kGreen = kManuscriptPalette[1].Color;
constexpr TColor kVermilion = kManuscriptPalette[2].Color;
constexpr TColor kIndigo = kManuscriptPalette[3].Color;

// The grid, its direction and margins, and one colour for every line.
void Grid(TPrintSetting& s, bool tategaki, int32_t cells, int32_t lines, TColor color) {
  s.SetTategaki(tategaki);
  // A line runs down the columns in vertical writing and along the rows across.
  s.Tate = tategaki ? cells : lines;
  s.Yoko = tategaki ? lines : cells;
  s.LineColor = s.FrameColor = s.FoldColor = color;
  // Straight lines, as printed sheets have them, and no page-number lines.
  s.LineType = s.OrimeLineType = 2;
  s.PageNumber = false;
  // No fold band unless FoldBand gives one.
  s.Orime = 0;
  s.Gyobi = 0;
  s.OuterLine = false;
}

void Margins(TPrintSetting& s, double top, double left, double bottom, double right) {
  s.YohakuU = top;
  s.YohakuL = left;
  s.YohakuB = bottom;
  s.YohakuR = right;
}

// A fold band of `width` mm with fish-tail marks, and an outer line: the classic sheet.
void FoldBand(TPrintSetting& s, double width) {
  s.Orime = 2;
  s.OrimeWidth = width;
  s.Gyobi = 1;
  s.OuterLine = true;
}

}  // namespace

const std::vector<TSheetPreset>& SheetPresets() {
  static const std::vector<TSheetPreset> presets = {
      {"b4-400", u"400字詰め B4 横", u"B4", 257, 364, false,
       [](TPrintSetting& s) {
         Grid(s, true, 20, 20, kBrown);
         Margins(s, 30, 20, 25, 20);
         FoldBand(s, 10);
       }},
      {"a4-400", u"400字詰め A4 縦", u"A4", 210, 297, true,
       [](TPrintSetting& s) {
         Grid(s, true, 20, 20, kGreen);
         Margins(s, 20, 15, 20, 15);
         s.CountMarks = 5;
       }},
      {"b5-200", u"200字詰め B5 縦", u"B5", 182, 257, true,
       [](TPrintSetting& s) {
         Grid(s, true, 20, 10, kBrown);
         Margins(s, 22, 15, 22, 15);
       }},
      {"low-15x16", u"低学年用 15字×16行 A4 横", u"A4", 210, 297, false,
       [](TPrintSetting& s) {
         Grid(s, true, 15, 16, kGreen);
         Margins(s, 12, 15, 12, 15);
         FoldBand(s, 10);
         s.CountMarks = 5;
       }},
      {"low-10x8", u"低学年用 10字×8行 A4 横", u"A4", 210, 297, false,
       [](TPrintSetting& s) {
         Grid(s, true, 10, 8, kGreen);
         Margins(s, 12, 40, 12, 40);
       }},
      {"a4-yokogaki", u"横書き作文用紙 A4 縦", u"A4", 210, 297, true,
       [](TPrintSetting& s) {
         Grid(s, false, 20, 20, kIndigo);
         Margins(s, 20, 15, 20, 15);
         s.CountMarks = 5;
       }},
      {"a3-400", u"400字詰め A3 横", u"A3", 297, 420, false,
       [](TPrintSetting& s) {
         Grid(s, true, 20, 20, kVermilion);
         Margins(s, 25, 20, 25, 20);
         FoldBand(s, 15);
       }},
  };
  return presets;
}

const TSheetPreset* FindSheetPreset(const std::string& name) {
  for (const TSheetPreset& p : SheetPresets())
    if (name == p.Name) return &p;
  return nullptr;
}

TPrintSetting PresetDesign(const TSheetPreset& preset) {
  TPrintSetting s;
  s.PaperName = preset.Paper;
  s.Portrait = preset.Portrait;
  s.PaperWidth = preset.Portrait ? preset.ShortMm : preset.LongMm;
  s.PaperHeight = preset.Portrait ? preset.LongMm : preset.ShortMm;
  preset.Apply(s);
  return s;
}

}  // namespace zelk
