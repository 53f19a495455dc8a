// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The print settings record: everything that describes one manuscript sheet.

#include <cstdint>
#include <string>

#include "base/Cell.h"
#include "base/Font.h"
#include "base/PrinterGeometry.h"

namespace zelk {

/// One manuscript sheet: paper, margins, grid, writing direction, fold band, line shapes,
/// captions, page-number lines and the texts outside the frame, with a font for each text.
///
/// Members follow the record's declaration order: `Cell`, the user-settable fields,
/// `PrinterInfo`, then the derived layout values. Every field has a value from
/// construction on: the numeric fields and flags take the designed values of the main
/// window's controls that carry them (SettingControls.h: 20 × 20 cells, margins 12, 15,
/// 12, 15 mm, …), `PaperWidth`/`PaperHeight` 0 and `Portrait` false as the window's
/// design has them until the printer is shown. Each of the 13 fonts is its own value, equal to the
/// main window font.
///
/// Invariant: `Yokogaki` is always the opposite of `Tategaki`; use SetTategaki.
class TPrintSetting {
 public:
  TPrintSetting();

  /// Sets `Tategaki` and `Yokogaki` together.
  void SetTategaki(bool tategaki) {
    Tategaki = tategaki;
    Yokogaki = !tategaki;
  }

  TCell Cell;

  std::u16string SettingName;  ///< "印刷設定"; stored, shown nowhere
  std::u16string PaperName;    ///< the printer's paper name, "A4" at construction
  double PaperWidth{};         ///< mm, in the current orientation
  double PaperHeight{};        ///< mm, in the current orientation
  bool Portrait{};             ///< true "縦長", false "横長"
  double YohakuU{};            ///< top margin, mm
  double YohakuL{};            ///< left margin, mm
  double YohakuB{};            ///< bottom margin, mm
  double YohakuR{};            ///< right margin, mm
  int32_t Tate{};              ///< cells down, 1..40
  int32_t Yoko{};              ///< cells across, 1..40
  bool Tategaki{};             ///< sheet for vertical writing
  bool Yokogaki{};             ///< always !Tategaki
  std::u16string CenterCaption;
  std::u16string BottomCaption;
  std::u16string Caption3;  ///< kept in the file, never drawn
  std::u16string Caption4;  ///< kept in the file, never drawn
  TFont CenterCaptionFont;
  TFont BottomCaptionFont;
  TFont Caption3Font;
  TFont Caption4Font;
  int32_t LineType{};  ///< 0..4
  double LineWidth{};  ///< mm, at least 0.1 after a transfer from the controls
  bool OuterLine{};
  double OuterLineWidth{};  ///< mm
  int32_t Orime{};          ///< fold band: 0 none, 1 one line wide, 2 OrimeWidth wide
  int32_t OrimeLineType{};
  double OrimeWidth{};  ///< mm
  int32_t Gyobi{};      ///< fish-tail marks: 0 none, 1 "4:10:6a", 2 "4:10:6b"
  bool PageNumber{};
  bool PN_UL{};
  bool PN_UC{};
  bool PN_UR{};
  bool PN_LU{};
  bool PN_LD{};
  bool PN_RU{};
  bool PN_RD{};
  bool PN_BL{};
  bool PN_BR{};
  int32_t PageNumberSpace{};  ///< whole mm
  int32_t PageNumberWidth{};  ///< whole mm
  std::u16string PageNumberTitle;
  TFont PageNumberTitleFont;
  std::u16string TitleUL;
  std::u16string TitleUR;
  std::u16string TitleLU;
  std::u16string TitleLD;
  std::u16string TitleBL;
  std::u16string TitleBR;
  std::u16string TitleRD;
  std::u16string TitleRU;
  TFont TitleULFont;
  TFont TitleURFont;
  TFont TitleLUFont;
  TFont TitleLDFont;
  TFont TitleBLFont;
  TFont TitleBRFont;
  TFont TitleRDFont;
  TFont TitleRUFont;
  double OutsideTextSpace{};  ///< mm
  // The sheet's colours and count marks, kept in the settings file's style section.
  // Colours are RGB (red in the low byte); a value with a top byte draws black.
  TColor LineColor = kBlack;   ///< the grid's lines and dots and the page-number lines
  TColor FrameColor = kBlack;  ///< the frame and the outer line
  TColor FoldColor = kBlack;   ///< the fold band's lines and fish-tail marks
  /// Small numerals outside the frame every N lines (5 or 10), where the lines start;
  /// any other value draws none.
  int32_t CountMarks = 0;
  /// A thicker line after every N lines (5 or 10); any other value draws none.
  int32_t CountLines = 0;

  TPrinterInfo PrinterInfo;

  // Derived layout values, device units or counts.
  int32_t PitchX = 0;
  int32_t PitchY = 0;
  int32_t CellSize = 0;
  int32_t FoldX = 0;
  int32_t FoldY = 0;
  int32_t HalfYoko = 0;
  int32_t HalfTate = 0;
  int32_t PenWidthX = 0;
  int32_t PenWidthY = 0;
  int32_t AreaWidth = 0;
  int32_t AreaHeight = 0;
  int32_t OriginX = 0;
  int32_t OriginY = 0;
};

}  // namespace zelk
