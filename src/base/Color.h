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

}  // namespace zelk
