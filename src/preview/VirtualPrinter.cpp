// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/VirtualPrinter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zelk {
namespace {

// Five metres: beyond any roll a printer takes, and small enough that a sheet on it
// records in bounded time and memory.
constexpr double kMaxPaperMm = 5000.0;

bool SideOk(double mm) { return std::isfinite(mm) && mm > 0 && mm <= kMaxPaperMm; }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A plain decimal number: digits with at most one ".", nothing else.
std::optional<double> ParseDecimal(const std::string& s) {
  if (s.empty() || s.size() > 32) return std::nullopt;
  int dots = 0;
  bool digit = false;
  for (char c : s) {
    if (c == '.') {
      if (++dots > 1) return std::nullopt;
    } else if (c >= '0' && c <= '9') {
      digit = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  return std::strtod(s.c_str(), nullptr);
}

}  // namespace

bool IsUsablePaperSize(double widthMm, double heightMm) {
  return SideOk(widthMm) && SideOk(heightMm);
}

bool IsSamePaperSize(double widthMm, double heightMm, double otherWidthMm, double otherHeightMm) {
  return std::abs(std::min(widthMm, heightMm) - std::min(otherWidthMm, otherHeightMm)) <= 1 &&
         std::abs(std::max(widthMm, heightMm) - std::max(otherWidthMm, otherHeightMm)) <= 1;
}

std::optional<TPaperSize> ParsePaperSize(const std::string& text) {
  struct Named {
    const char* key;
    const char16_t* name;
    double w, h;
  };
  static const Named kNamed[] = {
      {"a3", u"A3", 297, 420}, {"a4", u"A4", 210, 297}, {"a5", u"A5", 148, 210},
      {"b4", u"B4", 257, 364}, {"b5", u"B5", 182, 257}, {"letter", u"Letter", 215.9, 279.4},
  };
  const std::string key = Lower(text);
  for (const auto& n : kNamed)
    if (key == n.key) return TPaperSize{n.name, n.w, n.h};
  const auto x = key.find('x');
  if (x == std::string::npos) return std::nullopt;
  const auto w = ParseDecimal(key.substr(0, x));
  const auto h = ParseDecimal(key.substr(x + 1));
  if (!w || !h || !SideOk(*w) || !SideOk(*h)) return std::nullopt;
  return TPaperSize{u"", *w, *h};
}

TVirtualPrinter::TVirtualPrinter() : paper_{u"A4", 210, 297} {}

int32_t TVirtualPrinter::PaperPixels(double mm, int dpi) {
  const long double exact = static_cast<long double>(mm) * dpi / 25.4L;
  const long double even = 2.0L * std::floor(exact / 2.0L + 0.5L);
  if (!(even < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max() - 1;
  if (even < 0) return 0;
  return static_cast<int32_t>(even);
}

bool TVirtualPrinter::Fits(const TPaperSize& paper, int dpiX, int dpiY, int offsetX,
                           int offsetY) const {
  if (offsetX < 0 || offsetY < 0) return false;
  const int64_t w = PaperPixels(paper.WidthMm, dpiX);
  const int64_t h = PaperPixels(paper.HeightMm, dpiY);
  return 2 * static_cast<int64_t>(offsetX) < w && 2 * static_cast<int64_t>(offsetY) < h;
}

bool TVirtualPrinter::SetResolution(int dpiX, int dpiY) {
  if (dpiX < 1 || dpiY < 1 || dpiX > kMaxDpi || dpiY > kMaxDpi) return false;
  if (!Fits(paper_, dpiX, dpiY, offsetX_, offsetY_)) return false;
  dpiX_ = dpiX;
  dpiY_ = dpiY;
  return true;
}

bool TVirtualPrinter::SetPaper(const TPaperSize& paper) {
  if (!SideOk(paper.WidthMm) || !SideOk(paper.HeightMm)) return false;
  if (!Fits(paper, dpiX_, dpiY_, offsetX_, offsetY_)) return false;
  paper_ = paper;
  return true;
}

bool TVirtualPrinter::SetOffsets(int offsetX, int offsetY) {
  if (!Fits(paper_, dpiX_, dpiY_, offsetX, offsetY)) return false;
  offsetX_ = offsetX;
  offsetY_ = offsetY;
  return true;
}

int32_t TVirtualPrinter::GetDeviceCaps(TDeviceCap cap) const {
  const bool landscape = orientation_ == TPrinterOrientation::poLandscape;
  // Portrait figures first; landscape turns the paper a quarter.
  int32_t resX = dpiX_, resY = dpiY_;
  int32_t width = PaperPixels(paper_.WidthMm, dpiX_);
  int32_t height = PaperPixels(paper_.HeightMm, dpiY_);
  int32_t offX = offsetX_, offY = offsetY_;
  if (landscape) {
    std::swap(resX, resY);
    std::swap(width, height);
    std::swap(offX, offY);
  }
  const int32_t horzRes = width - 2 * offX;
  const int32_t vertRes = height - 2 * offY;
  switch (cap) {
    case TDeviceCap::LogPixelsX:
      return resX;
    case TDeviceCap::LogPixelsY:
      return resY;
    case TDeviceCap::HorzRes:
      return horzRes;
    case TDeviceCap::VertRes:
      return vertRes;
    case TDeviceCap::PhysicalWidth:
      return width;
    case TDeviceCap::PhysicalHeight:
      return height;
    case TDeviceCap::PhysicalOffsetX:
      return offX;
    case TDeviceCap::PhysicalOffsetY:
      return offY;
    case TDeviceCap::HorzSize:
      return static_cast<int32_t>(std::lround(static_cast<double>(horzRes) * 25.4 / resX));
    case TDeviceCap::VertSize:
      return static_cast<int32_t>(std::lround(static_cast<double>(vertRes) * 25.4 / resY));
  }
  return 0;
}

}  // namespace zelk
