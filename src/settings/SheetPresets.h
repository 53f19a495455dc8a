// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ready-made sheets: the manuscript paper that shops sell and schools hand out, each a
// complete design in one step.

#include <string>
#include <vector>

#include "settings/PrintSetting.h"

namespace zelk {

/// One ready-made sheet. `Apply` sets every field a design has but the paper's (its name,
/// size and orientation come from `Paper` and `Portrait`, through the printer), starting
/// from the designed values of a new design.
struct TSheetPreset {
  const char* Name;        ///< as the command line takes it ("b4-400")
  const char16_t* Label;   ///< as the window's menu shows it ("400字詰め B4 横")
  const char16_t* Paper;   ///< the paper's name: A3, A4, B4 (JIS), B5 (JIS)
  double ShortMm, LongMm;  ///< its sides
  bool Portrait;           ///< 縦長
  void (*Apply)(TPrintSetting& s);
};

/// Every ready-made sheet, in the order the menu shows them.
const std::vector<TSheetPreset>& SheetPresets();

/// The preset of that exact name, or null.
const TSheetPreset* FindSheetPreset(const std::string& name);

/// The design of `preset` on its paper: the designed values of a new design, the paper
/// named and sized (in its orientation) as the preset has it, then the preset's fields.
/// PrinterInfo is left as constructed; the caller matches the printer to the design.
TPrintSetting PresetDesign(const TSheetPreset& preset);

}  // namespace zelk
