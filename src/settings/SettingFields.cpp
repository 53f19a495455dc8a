// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingFields.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "base/Utf8.h"
#include "settings/NumberText.h"

namespace zelk {
namespace {

using S = TPrintSetting;

TSettingField Text(const char* n, std::u16string S::*m) {
  TSettingField f{n, TFieldKind::Text};
  f.Text = m;
  return f;
}
TSettingField Dbl(const char* n, double S::*m) {
  TSettingField f{n, TFieldKind::Double};
  f.Double = m;
  return f;
}
TSettingField Int(const char* n, int32_t S::*m) {
  TSettingField f{n, TFieldKind::Int};
  f.Int = m;
  return f;
}
TSettingField Flag(const char* n, bool S::*m) {
  TSettingField f{n, TFieldKind::Flag};
  f.Flag = m;
  return f;
}
TSettingField Font(const char* n, TFont S::*m) {
  TSettingField f{n, TFieldKind::Font};
  f.Font = m;
  return f;
}

bool ParseInt(const std::string& text, int32_t& out) {
  if (text.empty() || text.size() > 16) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < std::numeric_limits<int32_t>::min() ||
      v > std::numeric_limits<int32_t>::max())
    return false;
  out = static_cast<int32_t>(v);
  return true;
}

bool ParseFlag(const std::string& text, bool& out) {
  if (text == "1" || text == "true" || text == "yes") return out = true, true;
  if (text == "0" || text == "false" || text == "no") return out = false, true;
  return false;
}

bool ParseFont(const std::string& text, TFont& font, std::string* error) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    parts.push_back(
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts[0].empty()) {
    if (error) *error = "a font needs a face name";
    return false;
  }
  TFont f = font;
  f.SetName(FromUtf8(parts[0]));
  TFontStyles style;
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string& p = parts[i];
    int32_t points = 0;
    if (p == "bold")
      style.Bold = true;
    else if (p == "italic")
      style.Italic = true;
    else if (p == "underline")
      style.Underline = true;
    else if (p == "strikeout")
      style.StrikeOut = true;
    else if (ParseInt(p, points) && points > 0 && points <= 1000)
      f.SetSize(points);
    else {
      if (error) *error = "unknown font attribute '" + p + "'";
      return false;
    }
  }
  f.SetStyle(style);
  font = f;
  return true;
}

}  // namespace

const std::vector<TSettingField>& SettingFields() {
  static const std::vector<TSettingField> fields = {
      Text("SettingName", &S::SettingName),
      Text("PaperName", &S::PaperName),
      Dbl("PaperWidth", &S::PaperWidth),
      Dbl("PaperHeight", &S::PaperHeight),
      Flag("Portrait", &S::Portrait),
      Dbl("YohakuU", &S::YohakuU),
      Dbl("YohakuL", &S::YohakuL),
      Dbl("YohakuB", &S::YohakuB),
      Dbl("YohakuR", &S::YohakuR),
      Int("Tate", &S::Tate),
      Int("Yoko", &S::Yoko),
      Flag("Tategaki", &S::Tategaki),
      Flag("Yokogaki", &S::Yokogaki),
      Text("CenterCaption", &S::CenterCaption),
      Text("BottomCaption", &S::BottomCaption),
      Text("Caption3", &S::Caption3),
      Text("Caption4", &S::Caption4),
      Font("CenterCaptionFont", &S::CenterCaptionFont),
      Font("BottomCaptionFont", &S::BottomCaptionFont),
      Font("Caption3Font", &S::Caption3Font),
      Font("Caption4Font", &S::Caption4Font),
      Int("LineType", &S::LineType),
      Dbl("LineWidth", &S::LineWidth),
      Flag("OuterLine", &S::OuterLine),
      Dbl("OuterLineWidth", &S::OuterLineWidth),
      Int("Orime", &S::Orime),
      Int("OrimeLineType", &S::OrimeLineType),
      Dbl("OrimeWidth", &S::OrimeWidth),
      Int("Gyobi", &S::Gyobi),
      Flag("PageNumber", &S::PageNumber),
      Flag("PN_UL", &S::PN_UL),
      Flag("PN_UC", &S::PN_UC),
      Flag("PN_UR", &S::PN_UR),
      Flag("PN_LU", &S::PN_LU),
      Flag("PN_LD", &S::PN_LD),
      Flag("PN_RU", &S::PN_RU),
      Flag("PN_RD", &S::PN_RD),
      Flag("PN_BL", &S::PN_BL),
      Flag("PN_BR", &S::PN_BR),
      Int("PageNumberSpace", &S::PageNumberSpace),
      Int("PageNumberWidth", &S::PageNumberWidth),
      Text("PageNumberTitle", &S::PageNumberTitle),
      Font("PageNumberTitleFont", &S::PageNumberTitleFont),
      Text("TitleUL", &S::TitleUL),
      Text("TitleUR", &S::TitleUR),
      Text("TitleLU", &S::TitleLU),
      Text("TitleLD", &S::TitleLD),
      Text("TitleBL", &S::TitleBL),
      Text("TitleBR", &S::TitleBR),
      Text("TitleRD", &S::TitleRD),
      Text("TitleRU", &S::TitleRU),
      Font("TitleULFont", &S::TitleULFont),
      Font("TitleURFont", &S::TitleURFont),
      Font("TitleLUFont", &S::TitleLUFont),
      Font("TitleLDFont", &S::TitleLDFont),
      Font("TitleBLFont", &S::TitleBLFont),
      Font("TitleBRFont", &S::TitleBRFont),
      Font("TitleRDFont", &S::TitleRDFont),
      Font("TitleRUFont", &S::TitleRUFont),
      Dbl("OutsideTextSpace", &S::OutsideTextSpace),
      Int("LineColor", &S::LineColor),
      Int("FrameColor", &S::FrameColor),
      Int("FoldColor", &S::FoldColor),
      Int("CountMarks", &S::CountMarks),
      Int("CountLines", &S::CountLines),
  };
  return fields;
}

const TSettingField* FindSettingField(const std::string& name) {
  for (const auto& f : SettingFields())
    if (name == f.Name) return &f;
  return nullptr;
}

bool IsColorField(const TSettingField& field) {
  return field.Int == &S::LineColor || field.Int == &S::FrameColor || field.Int == &S::FoldColor;
}

std::optional<TColor> ParseColorText(const std::string& text) {
  for (const TPaletteColor& p : kManuscriptPalette)
    if (text == p.Name || FromUtf8(text) == p.Label) return p.Color;
  if (text.size() == 7 && text[0] == '#') {
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
      int v = 0;
      for (const char c : text.substr(1 + 2 * i, 2)) {
        const int d = std::isdigit(static_cast<unsigned char>(c))    ? c - '0'
                      : std::isxdigit(static_cast<unsigned char>(c)) ? (c | 0x20) - 'a' + 10
                                                                     : -1;
        if (d < 0) return std::nullopt;
        v = v * 16 + d;
      }
      rgb[i] = v;
    }
    return RgbColor(rgb[0], rgb[1], rgb[2]);
  }
  int32_t v = 0;
  if (ParseInt(text, v)) return v;
  return std::nullopt;
}

bool SetFieldFromText(TPrintSetting& s, const TSettingField& field, const std::string& value,
                      std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  switch (field.Kind) {
    case TFieldKind::Text:
      s.*field.Text = FromUtf8(value);
      return true;
    case TFieldKind::Double: {
      double v = 0;
      const std::string range = " (a length from " + LengthRangeText() + " mm)";
      if (!TryStrToFloat(FromUtf8(value), v))
        return fail("'" + value + "' is not a number" + range);
      if (!LengthFitsField(v)) return fail("'" + value + "' is out of range" + range);
      s.*field.Double = v;
      return true;
    }
    case TFieldKind::Int: {
      if (IsColorField(field)) {
        const std::optional<TColor> c = ParseColorText(value);
        if (!c)
          return fail("'" + value +
                      "' is not a colour (#RRGGBB, or brown, green, vermilion, "
                      "indigo, gray, black)");
        s.*field.Int = *c;
        return true;
      }
      int32_t v = 0;
      if (!ParseInt(value, v)) return fail("'" + value + "' is not a whole number");
      s.*field.Int = v;
      return true;
    }
    case TFieldKind::Flag: {
      bool v = false;
      if (!ParseFlag(value, v)) return fail("'" + value + "' is not 0 or 1");
      if (field.Flag == &S::Tategaki)
        s.SetTategaki(v);
      else if (field.Flag == &S::Yokogaki)
        s.SetTategaki(!v);
      else
        s.*field.Flag = v;
      return true;
    }
    case TFieldKind::Font:
      return ParseFont(value, s.*field.Font, error);
  }
  return fail("unknown field kind");
}

const TSettingField* FirstUnfitLength(const TPrintSetting& s) {
  for (const TSettingField& f : SettingFields())
    if (f.Kind == TFieldKind::Double && !LengthFitsField(s.*f.Double)) return &f;
  return nullptr;
}

}  // namespace zelk
