#include "settings/PrinterChoice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/Fileiounit.h"
#include "settings/SettingsFileIO.h"

namespace zelk {
namespace {

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

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
  return "printer=" + OneLine(choice.Printer) + "\npaper=" + OneLine(choice.Paper) +
         "\nsize=" + Millimetres(choice.WidthMm) + "x" + Millimetres(choice.HeightMm) +
         "\norientation=" + (choice.Portrait ? "portrait" : "landscape") + "\n";
}

std::optional<TPrinterChoice> ParsePrinterChoice(std::string_view text) {
  if (text.size() > kMaxPrinterChoiceBytes) text = text.substr(0, kMaxPrinterChoiceBytes);
  TPrinterChoice choice;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq);
    const std::string value(line.substr(eq + 1));
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
  if (path.empty()) return std::nullopt;
  std::string error;
  std::FILE* file = OpenRegularFile(path, &error);
  if (!file) return std::nullopt;
  std::string text(kMaxPrinterChoiceBytes, '\0');
  const size_t got = std::fread(text.data(), 1, text.size(), file);
  std::fclose(file);
  text.resize(got);
  return ParsePrinterChoice(text);
}

bool SavePrinterChoice(const std::string& path, const TPrinterChoice& choice, std::string* error) {
  const std::string text = FormatPrinterChoice(choice);
  return AtomicWriteFile(
      path, [&text](TByteWriter& w) { w.Write(text.data(), text.size()); }, error);
}

}  // namespace zelk
