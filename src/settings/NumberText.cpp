#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zelk {

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string FromUtf8(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    uint32_t c = s[i];
    int extra = 0;
    uint32_t min = 0;
    if (c < 0x80) {
      extra = 0;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, c &= 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, c &= 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, c &= 0x07, min = 0x10000;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= n || (s[i + k] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    i += static_cast<size_t>(extra) + 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

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

}  // namespace zelk
