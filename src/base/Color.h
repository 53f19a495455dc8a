// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as settings files and the controls carry them, and the system colour numbers.

#include <cstdint>

namespace zelk {

/// A colour value as files store it: for RGB colours red is the low byte, then green,
/// then blue, top byte 0; a system-colour reference has the top byte 0xFF and the
/// system colour number in the low byte.
using TColor = int32_t;

/// The system colour numbers that settings and controls refer to. How each looks is up
/// to the platform layer: on screen a role of the desktop's palette, on paper a fixed
/// colour.
enum TSystemColor : int {
  kColorWindow = 5,       ///< window background
  kColorWindowFrame = 6,  ///< flat borders
  kColorWindowText = 8,
  kColorHighlight = 13,
  kColorHighlightText = 14,
  kColorBtnFace = 15,
  kColorBtnShadow = 16,
  kColorGrayText = 17,
  kColorBtnText = 18,
  kColorBtnHighlight = 20,
  kColor3DDkShadow = 21,
  kColor3DLight = 22,
};

/// A reference to system colour number `index` (0xFF0000nn).
constexpr TColor SystemColor(int index) {
  return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(index & 0xFF));
}
/// Whether `color` refers to a system colour, and which.
constexpr bool IsSystemColor(TColor color) {
  return (static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u;
}
constexpr int SystemColorIndex(TColor color) {
  return static_cast<int>(static_cast<uint32_t>(color) & 0xFFu);
}

constexpr TColor clWindow = SystemColor(kColorWindow);
constexpr TColor clWindowText = SystemColor(kColorWindowText);
constexpr TColor clHighlight = SystemColor(kColorHighlight);
constexpr TColor clHighlightText = SystemColor(kColorHighlightText);
constexpr TColor clGrayText = SystemColor(kColorGrayText);
constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

/// The RGB colour of red `r`, green `g` and blue `b`, each 0..255.
constexpr TColor RgbColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}

/// A colour of the palette that manuscript paper comes in.
struct TPaletteColor {
  const char* Name;       ///< as the command line takes it
  const char16_t* Label;  ///< as the window shows it
  TColor Color;
};

/// The usual colours of manuscript paper, in the order the window offers them.
inline constexpr TPaletteColor kManuscriptPalette[] = {
    {"brown", u"茶", RgbColor(0x8C, 0x5A, 0x3C)},     {"green", u"緑", RgbColor(0x2E, 0x7D, 0x4F)},
    {"vermilion", u"朱", RgbColor(0xE3, 0x45, 0x2C)}, {"indigo", u"藍", RgbColor(0x1F, 0x4E, 0x89)},
    {"gray", u"灰", RgbColor(0x80, 0x80, 0x80)},      {"black", u"黒", kBlack},
};

/// The colour a sheet's line is drawn in: `color` when it is an RGB colour, black for a
/// system-colour reference or any other value with a top byte, which only a file from
/// elsewhere can hold.
constexpr TColor LineDrawColor(TColor color) {
  return (static_cast<uint32_t>(color) & 0xFF000000u) == 0 ? color : kBlack;
}

}  // namespace zelk
