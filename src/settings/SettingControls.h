// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's controls that hold the settings, in one table: each control's kind,
// designed value, limits and the record's field it carries. The window builds its
// controls from it, the headless form holds its values by it, and the record takes its
// defaults from it, so a designed value is written once and a misspelt control does not
// compile.

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "settings/PrintSetting.h"

namespace zelk {

/// The settings controls, named as in the window's design, in the order the table
/// lists them.
enum class TControl : int {
  RG_Orientation,
  RG_Tategaki,
  SE_Tate,
  SE_Yoko,
  NE_PaperSizeV,
  NE_PaperSizeH,
  NE_YohakuU,
  NE_YohakuL,
  NE_YohakuB,
  NE_YohakuR,
  RG_Orime,
  RG_OrimeLineType,
  NE_OrimeW,
  NE_LineWidth,
  RG_LineType,
  E_CenterCaption,
  E_BottomCaption,
  RG_Gyobi,
  E_PaperName,
  CB_OuterLine,
  NE_OuterLineWidth,
  NE_OutsideTextSpace,
  CB_PageNumber,
  CB_PN_UL,
  CB_PN_UC,
  CB_PN_UR,
  CB_PN_LU,
  CB_PN_LD,
  CB_PN_RU,
  CB_PN_RD,
  CB_PN_BL,
  CB_PN_BR,
  SE_PageNumber,
  SE_PageNumberWidth,
  E_PageNumberTitle,
  E_TitleUL,
  E_TitleUR,
  E_TitleBL,
  E_TitleBR,
  TE_TitleLU,
  TE_TitleLD,
  TE_TitleRD,
  TE_TitleRU,
};
constexpr int kControlCount = static_cast<int>(TControl::TE_TitleRU) + 1;

/// What kind of control: radio group ("RG_"), spin edit ("SE_"), numeric edit ("NE_"),
/// edit box ("E_"), check box ("CB_"), vertical edit ("TE_").
enum class TControlKind { Radio, Spin, Number, Edit, Check, Caption };

/// The record's field a control carries. A radio group that carries a flag means "the
/// first item": index 0 is true.
using TControlField = std::variant<int32_t TPrintSetting::*, bool TPrintSetting::*,
                                   double TPrintSetting::*, std::u16string TPrintSetting::*>;

struct TControlSpec {
  TControl Id;
  const char* Name;  ///< the control's name in the window
  TControlKind Kind;
  /// The designed value: a radio group's 0-based item, a spin value, a numeric edit's
  /// millimetres, a check box's 1 or 0. Edit boxes and vertical edits start empty.
  double Default;
  /// A radio group's items are 0..Max; a spin edit holds Min..Max, or any value when
  /// Min == Max. Unused for the other kinds.
  int Min;
  int Max;
  /// A numeric edit the user cannot type into (it shows what the printer reports).
  bool ReadOnly;
  TControlField Field;
};

/// The table, one row per control in TControl's order.
const std::array<TControlSpec, kControlCount>& SettingControls();
inline const TControlSpec& ControlSpec(TControl id) {
  return SettingControls()[static_cast<size_t>(id)];
}
inline const char* ControlName(TControl id) { return ControlSpec(id).Name; }

/// Holds a spin edit's or a radio group's value within its limits, as the control does;
/// a radio group may also hold -1 (nothing selected).
int HoldToControl(TControl id, int value);

}  // namespace zelk
