// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The font descriptor that settings files carry: a value with the attributes of a
// Windows logical font, and the height/size relation between its two views.

#include <cstdint>
#include <string>

#include "base/Color.h"

namespace zelk {

/// Font style flags, in the order of their file sub-tags 40 to 43.
struct TFontStyles {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool operator==(const TFontStyles& o) const {
    return Bold == o.Bold && Italic == o.Italic && Underline == o.Underline &&
           StrikeOut == o.StrikeOut;
  }
  bool operator!=(const TFontStyles& o) const { return !(*this == o); }
};

/// Font attributes with two views of one quantity: `Height` in pixels at
/// `PixelsPerInch` (negative: character height without internal leading) and `Size` in
/// points. height = -(size x ppi / 72) and size = -(height x 72 / ppi), each rounded to
/// the nearest integer with halves away from zero.
///
/// Setting one view recomputes the other from the current pixels per inch. A pixels
/// per inch of 0 or less cannot relate the two, so the other view is then left as it
/// is: no division by zero can come from a bad file.
class TFont {
 public:
  /// The default attributes: the face "Tahoma", 8 points at 96 pixels per inch (height
  /// -11), default character set 1, the window-text colour, default pitch, no style.
  TFont();

  int32_t Charset() const { return charset_; }
  void SetCharset(int32_t v) { charset_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  int32_t Height() const { return height_; }
  /// Sets the height and recomputes the size (unless pixels per inch is 0 or less).
  void SetHeight(int32_t v);
  const std::u16string& Name() const { return name_; }
  void SetName(const std::u16string& v) { name_ = v; }
  int32_t Pitch() const { return pitch_; }
  void SetPitch(int32_t v) { pitch_ = v; }
  int32_t PixelsPerInch() const { return ppi_; }
  /// Stores the resolution the height refers to, leaving height and size unchanged.
  void SetPixelsPerInch(int32_t v) { ppi_ = v; }
  int32_t Size() const { return size_; }
  /// Sets the size in points and recomputes the height (unless pixels per inch is 0 or
  /// less).
  void SetSize(int32_t v);
  const TFontStyles& Style() const { return style_; }
  void SetStyle(const TFontStyles& v) { style_ = v; }
  TFontStyles& MutableStyle() { return style_; }

  bool operator==(const TFont& o) const;
  bool operator!=(const TFont& o) const { return !(*this == o); }

 private:
  int32_t charset_ = 1;
  TColor color_ = clWindowText;
  int32_t height_ = -11;
  std::u16string name_ = u"Tahoma";
  int32_t pitch_ = 0;
  int32_t ppi_ = 96;
  int32_t size_ = 8;
  TFontStyles style_;
};

/// a x b / c rounded to the nearest integer, halves away from zero, computed without
/// overflow; c must not be 0. The result saturates to +-INT32_MAX, so it can always be
/// negated.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

/// The main window font that every settings font starts as: "Tahoma", height -11 at
/// 96 pixels per inch (8 points), default character set, window-text colour, no style.
const TFont& MainWindowFont();

}  // namespace zelk
