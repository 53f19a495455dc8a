// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Font.h"

#include <cstdlib>
#include <limits>

namespace zelk {

TFont::TFont() = default;

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
  const int64_t num = static_cast<int64_t>(a) * b;
  const int64_t den = c;
  const int64_t q = num / den;
  const int64_t r = num % den;
  int64_t result = q;
  // Round half away from zero: compare twice the remainder with the divisor.
  if (2 * std::llabs(r) >= std::llabs(den)) result += ((num < 0) != (den < 0)) ? -1 : 1;
  if (result > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  // Symmetric saturation, so that negating the result never overflows.
  if (result < -std::numeric_limits<int32_t>::max()) return -std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(result);
}

void TFont::SetHeight(int32_t v) {
  height_ = v;
  if (ppi_ > 0) size_ = -MulDivRound(v, 72, ppi_);
}

void TFont::SetSize(int32_t v) {
  size_ = v;
  if (ppi_ > 0) height_ = -MulDivRound(v, ppi_, 72);
}

bool TFont::operator==(const TFont& o) const {
  return charset_ == o.charset_ && color_ == o.color_ && height_ == o.height_ && name_ == o.name_ &&
         pitch_ == o.pitch_ && ppi_ == o.ppi_ && size_ == o.size_ && style_ == o.style_;
}

const TFont& MainWindowFont() {
  static const TFont font;  // the defaults are exactly the main window font
  return font;
}

}  // namespace zelk
