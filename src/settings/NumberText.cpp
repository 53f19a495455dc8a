// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zelk {

EConvertError::EConvertError(const std::u16string& text)
    : std::runtime_error(ToUtf8(u"'" + text + u"' は浮動小数点数ではありません")),
      message_(u"'" + text + u"' は浮動小数点数ではありません") {}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool TryStrToFloat(const std::u16string& text, double& value) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  if (b == e || e - b > 256) return false;
  std::string ascii;
  size_t i = b;
  if (text[i] == u'+' || text[i] == u'-') ascii += static_cast<char>(text[i++]);
  int digits = 0;
  while (i < e && IsDigit(text[i])) ascii += static_cast<char>(text[i++]), ++digits;
  if (i < e && text[i] == u'.') {
    ascii += '.';
    ++i;
    while (i < e && IsDigit(text[i])) ascii += static_cast<char>(text[i++]), ++digits;
  }
  if (digits == 0) return false;
  if (i < e && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < e && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
    int expDigits = 0;
    while (i < e && IsDigit(text[i])) ascii += static_cast<char>(text[i++]), ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != e) return false;
  // from_chars does not take a leading "+".
  const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
  double v = 0;
  const auto res = std::from_chars(first, ascii.data() + ascii.size(), v);
  if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size() || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

double StrToFloat(const std::u16string& text) {
  double v = 0;
  if (!TryStrToFloat(text, v)) throw EConvertError(text);
  return v;
}

std::u16string FormatFloat0_00(double value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  // 18 significant digits: d.ddddddddddddddddde[+-]x
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
  std::string mant;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p != '.') mant += *p;
  const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
  // The digits of mant stand for positions 10^exp10, 10^(exp10-1), ...
  // Keep the digits down to 10^-2, and round on the next one (halves away from zero).
  const int keep = exp10 + 3;  // number of digits at or above 10^-2
  std::string digits;
  bool roundUp = false;
  if (keep <= 0) {
    roundUp = (keep == 0) && mant[0] >= '5';
    digits = "";
  } else if (keep >= static_cast<int>(mant.size())) {
    digits = mant + std::string(static_cast<size_t>(keep) - mant.size(), '0');
  } else {
    digits = mant.substr(0, static_cast<size_t>(keep));
    roundUp = mant[static_cast<size_t>(keep)] >= '5';
  }
  // digits now holds the value in hundredths; pad so it has at least three digits.
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  if (roundUp) {
    int k = static_cast<int>(digits.size()) - 1;
    while (k >= 0 && digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k--)] = '0';
    if (k < 0)
      digits.insert(0, "1");
    else
      ++digits[static_cast<size_t>(k)];
  }
  std::string intPart = digits.substr(0, digits.size() - 2);
  std::string frac = digits.substr(digits.size() - 2);
  while (intPart.size() > 1 && intPart[0] == '0') intPart.erase(0, 1);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string out;
  const bool zero = intPart == "0" && frac.empty();
  if (value < 0 && !zero) out += '-';
  out += intPart;
  if (!frac.empty()) out += "." + frac;
  return FromUtf8(out);
}

bool LengthFitsField(double value) {
  if (!std::isfinite(value)) return false;
  const std::u16string text = FormatFloat0_00(value);
  const size_t digits = text.find(u'.') == std::u16string::npos ? text.size() : text.find(u'.');
  return digits - (text[0] == u'-' ? 1 : 0) <= 9;
}

std::string LengthRangeText() { return "-999999999.99 to 999999999.99"; }

}  // namespace zelk
