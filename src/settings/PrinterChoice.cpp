// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PrinterChoice.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "settings/KeyValueFile.h"

namespace zelk {
namespace {

std::string Millimetres(double mm) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", mm);
  std::string text = buffer;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

bool ParseMillimetres(const std::string& text, double* mm) {
  if (text.empty() || text.size() > 16) return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  // At least 1 mm, so that the two decimals written keep a size a size.
  if (end != text.c_str() + text.size() || !std::isfinite(value) || value < 1 || value > 5000)
    return false;
  *mm = value;
  return true;
}

}  // namespace

std::string FormatPrinterChoice(const TPrinterChoice& choice) {
  return FormatKeyValues(
      {{"printer", choice.Printer},
       {"paper", choice.Paper},
       {"size", Millimetres(choice.WidthMm) + "x" + Millimetres(choice.HeightMm)},
       {"orientation", choice.Portrait ? "portrait" : "landscape"}});
}

std::optional<TPrinterChoice> ParsePrinterChoice(std::string_view text) {
  TPrinterChoice choice;
  for (const auto& [key, value] : ParseKeyValues(text, kMaxPrinterChoiceBytes)) {
    if (key == "printer") {
      choice.Printer = value;
    } else if (key == "paper") {
      choice.Paper = value;
    } else if (key == "size") {
      const size_t x = value.find('x');
      double w = 0, h = 0;
      if (x != std::string::npos && ParseMillimetres(value.substr(0, x), &w) &&
          ParseMillimetres(value.substr(x + 1), &h)) {
        choice.WidthMm = w;
        choice.HeightMm = h;
      }
    } else if (key == "orientation") {
      choice.Portrait = value != "landscape";
    }
  }
  if (choice.Printer.empty()) return std::nullopt;
  return choice;
}

std::optional<TPrinterChoice> LoadPrinterChoice(const std::string& path) {
  const std::optional<std::string> text = ReadSmallFile(path, kMaxPrinterChoiceBytes);
  if (!text) return std::nullopt;
  return ParsePrinterChoice(*text);
}

bool SavePrinterChoice(const std::string& path, const TPrinterChoice& choice, std::string* error) {
  return WriteSmallFile(path, FormatPrinterChoice(choice), error);
}

}  // namespace zelk
