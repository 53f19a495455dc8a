// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingControls.h"

#include <algorithm>

namespace zelk {
namespace {

using K = TControlKind;
using S = TPrintSetting;
constexpr int kLastShape = lsRound;

// clang-format off
constexpr std::array<TControlSpec, kControlCount> kControls = {{
    // id                            name                    kind       default min max  ro     field
    {TControl::RG_Orientation,       "RG_Orientation",       K::Radio,  1,      0, 1,    false, &S::Portrait},
    {TControl::RG_Tategaki,          "RG_Tategaki",          K::Radio,  0,      0, 1,    false, &S::Tategaki},
    {TControl::SE_Tate,              "SE_Tate",              K::Spin,   20,     1, 40,   false, &S::Tate},
    {TControl::SE_Yoko,              "SE_Yoko",              K::Spin,   20,     1, 40,   false, &S::Yoko},
    {TControl::NE_PaperSizeV,        "NE_PaperSizeV",        K::Number, 0,      0, 0,    true,  &S::PaperWidth},
    {TControl::NE_PaperSizeH,        "NE_PaperSizeH",        K::Number, 0,      0, 0,    true,  &S::PaperHeight},
    {TControl::NE_YohakuU,           "NE_YohakuU",           K::Number, 12,     0, 0,    false, &S::YohakuU},
    {TControl::NE_YohakuL,           "NE_YohakuL",           K::Number, 15,     0, 0,    false, &S::YohakuL},
    {TControl::NE_YohakuB,           "NE_YohakuB",           K::Number, 12,     0, 0,    false, &S::YohakuB},
    {TControl::NE_YohakuR,           "NE_YohakuR",           K::Number, 15,     0, 0,    false, &S::YohakuR},
    {TControl::RG_Orime,             "RG_Orime",             K::Radio,  1,      0, 2,    false, &S::Orime},
    {TControl::RG_OrimeLineType,     "RG_OrimeLineType",     K::Radio,  lsRound, 0, kLastShape, false, &S::OrimeLineType},
    {TControl::NE_OrimeW,            "NE_OrimeW",            K::Number, 12,     0, 0,    false, &S::OrimeWidth},
    {TControl::NE_LineWidth,         "NE_LineWidth",         K::Number, 0.3,    0, 0,    false, &S::LineWidth},
    {TControl::RG_LineType,          "RG_LineType",          K::Radio,  lsRound, 0, kLastShape, false, &S::LineType},
    {TControl::E_CenterCaption,      "E_CenterCaption",      K::Edit,   0,      0, 0,    false, &S::CenterCaption},
    {TControl::E_BottomCaption,      "E_BottomCaption",      K::Edit,   0,      0, 0,    false, &S::BottomCaption},
    {TControl::RG_Gyobi,             "RG_Gyobi",             K::Radio,  1,      0, 2,    false, &S::Gyobi},
    {TControl::E_PaperName,          "E_PaperName",          K::Edit,   0,      0, 0,    false, &S::PaperName},
    {TControl::CB_OuterLine,         "CB_OuterLine",         K::Check,  1,      0, 0,    false, &S::OuterLine},
    {TControl::NE_OuterLineWidth,    "NE_OuterLineWidth",    K::Number, 2,      0, 0,    false, &S::OuterLineWidth},
    {TControl::NE_OutsideTextSpace,  "NE_OutsideTextSpace",  K::Number, 1.5,    0, 0,    false, &S::OutsideTextSpace},
    {TControl::CB_PageNumber,        "CB_PageNumber",        K::Check,  1,      0, 0,    false, &S::PageNumber},
    {TControl::CB_PN_UL,             "CB_PN_UL",             K::Check,  0,      0, 0,    false, &S::PN_UL},
    {TControl::CB_PN_UC,             "CB_PN_UC",             K::Check,  1,      0, 0,    false, &S::PN_UC},
    {TControl::CB_PN_UR,             "CB_PN_UR",             K::Check,  0,      0, 0,    false, &S::PN_UR},
    {TControl::CB_PN_LU,             "CB_PN_LU",             K::Check,  0,      0, 0,    false, &S::PN_LU},
    {TControl::CB_PN_LD,             "CB_PN_LD",             K::Check,  0,      0, 0,    false, &S::PN_LD},
    {TControl::CB_PN_RU,             "CB_PN_RU",             K::Check,  0,      0, 0,    false, &S::PN_RU},
    {TControl::CB_PN_RD,             "CB_PN_RD",             K::Check,  0,      0, 0,    false, &S::PN_RD},
    {TControl::CB_PN_BL,             "CB_PN_BL",             K::Check,  0,      0, 0,    false, &S::PN_BL},
    {TControl::CB_PN_BR,             "CB_PN_BR",             K::Check,  0,      0, 0,    false, &S::PN_BR},
    {TControl::SE_PageNumber,        "SE_PageNumber",        K::Spin,   8,      0, 0,    false, &S::PageNumberSpace},
    {TControl::SE_PageNumberWidth,   "SE_PageNumberWidth",   K::Spin,   18,     0, 0,    false, &S::PageNumberWidth},
    {TControl::E_PageNumberTitle,    "E_PageNumberTitle",    K::Edit,   0,      0, 0,    false, &S::PageNumberTitle},
    {TControl::E_TitleUL,            "E_TitleUL",            K::Edit,   0,      0, 0,    false, &S::TitleUL},
    {TControl::E_TitleUR,            "E_TitleUR",            K::Edit,   0,      0, 0,    false, &S::TitleUR},
    {TControl::E_TitleBL,            "E_TitleBL",            K::Edit,   0,      0, 0,    false, &S::TitleBL},
    {TControl::E_TitleBR,            "E_TitleBR",            K::Edit,   0,      0, 0,    false, &S::TitleBR},
    {TControl::TE_TitleLU,           "TE_TitleLU",           K::Caption, 0,     0, 0,    false, &S::TitleLU},
    {TControl::TE_TitleLD,           "TE_TitleLD",           K::Caption, 0,     0, 0,    false, &S::TitleLD},
    {TControl::TE_TitleRD,           "TE_TitleRD",           K::Caption, 0,     0, 0,    false, &S::TitleRD},
    {TControl::TE_TitleRU,           "TE_TitleRU",           K::Caption, 0,     0, 0,    false, &S::TitleRU},
}};
// clang-format on

constexpr bool RowsFollowTheEnum() {
  for (size_t i = 0; i < kControls.size(); ++i)
    if (static_cast<size_t>(kControls[i].Id) != i) return false;
  return true;
}
static_assert(RowsFollowTheEnum(), "the table lists the controls in TControl's order");

}  // namespace

const std::array<TControlSpec, kControlCount>& SettingControls() { return kControls; }

int HoldToControl(TControl id, int value) {
  const TControlSpec& c = ControlSpec(id);
  switch (c.Kind) {
    case TControlKind::Radio:
      return std::clamp(value, -1, c.Max);
    case TControlKind::Spin:
      return c.Min == c.Max ? value : std::clamp(value, c.Min, c.Max);
    default:
      return value;
  }
}

}  // namespace zelk
