// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user-settable fields of TPrintSetting by name, in declaration order: what the
// command line's --set and the JSON dump walk over.

#include <optional>
#include <string>
#include <vector>

#include "settings/PrintSetting.h"

namespace zelk {

enum class TFieldKind { Text, Double, Int, Flag, Font };

struct TSettingField {
  const char* Name;
  TFieldKind Kind;
  std::u16string TPrintSetting::*Text = nullptr;
  double TPrintSetting::*Double = nullptr;
  int32_t TPrintSetting::*Int = nullptr;
  bool TPrintSetting::*Flag = nullptr;
  TFont TPrintSetting::*Font = nullptr;
};

/// Every user-settable field, in the record's declaration order.
const std::vector<TSettingField>& SettingFields();

/// The first length of `s` that a numeric field cannot show (LengthFitsField), or null
/// when all fit: a file written elsewhere may hold 1e308 or NaN.
const TSettingField* FirstUnfitLength(const TPrintSetting& s);

/// The field of that exact name, or null.
const TSettingField* FindSettingField(const std::string& name);

/// Whether `field` holds a colour (LineColor, FrameColor, FoldColor).
bool IsColorField(const TSettingField& field);

/// A colour from its text: "#RRGGBB", a palette name ("brown", "茶", …; kManuscriptPalette)
/// or a decimal TColor. Nothing when the text is none of these.
std::optional<TColor> ParseColorText(const std::string& text);

/// Sets a field from its command-line text (UTF-8):
/// - texts as they stand;
/// - doubles as decimal numbers ("." as the point) that a numeric field can hold
///   (LengthFitsField), ints as decimal integers;
/// - colours as ParseColorText takes them;
/// - flags as 0/1, true/false or yes/no;
/// - fonts as "FACE[,POINTS][,bold][,italic][,underline][,strikeout]" (the size is set
///   through the font's size view, so its height follows).
/// Setting `Tategaki` or `Yokogaki` also sets the other to its opposite. Returns false
/// with a one-line reason in `error` when the value does not fit the field's kind.
bool SetFieldFromText(TPrintSetting& s, const TSettingField& field, const std::string& value,
                      std::string* error);

}  // namespace zelk
