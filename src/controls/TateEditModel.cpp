// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TateEditModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zelk {
namespace {

constexpr char16_t kBackspace = 8;
constexpr char16_t kEscape = 27;
constexpr char16_t kDel = 127;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::vector<std::u16string> SplitCharacters(const std::u16string& text) {
  std::vector<std::u16string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
    out.push_back(text.substr(i, pair ? 2 : 1));
    if (pair) ++i;
  }
  return out;
}

TFittedColumn FitColumn(const std::vector<int>& advances, int length) {
  TFittedColumn fit;
  fit.Advance = advances;
  const int n = static_cast<int>(advances.size());
  int total = 0;
  for (int w : advances) total += w;
  int diff = length - total;
  int step = 0, rem = 0;
  if (diff > 0 && n > 1) {
    step = diff / (n - 1);
    rem = diff % (n - 1);
  }
  // Too long: every advance is scaled, then the rounding error is spread over the gaps
  // (at most half a pixel per character, so n − 1 gaps always absorb it).
  if (diff < 0 && total > 0) {
    fit.Ratio = static_cast<double>(length) / total;
    int fitted = 0;
    for (int& w : fit.Advance) {
      w = static_cast<int>(std::lround(w * fit.Ratio));
      fitted += w;
    }
    diff = length - fitted;
    if (n > 1) {
      if (diff > 0) {
        step = diff / (n - 1);
        rem = diff % (n - 1);
      } else {
        rem = diff;
      }
    }
  }
  int pos = 0;
  for (int i = 1; i <= n; ++i) {
    fit.Pos.push_back(pos);
    pos += fit.Advance[static_cast<size_t>(i - 1)] + step;
    if (i <= std::abs(rem)) pos += diff > 0 ? 1 : -1;
  }
  return fit;
}

// --- text ----------------------------------------------------------------------------

bool TTateEditModel::SetText(const std::u16string& text) { return Assign(text); }

bool TTateEditModel::Assign(std::u16string text) {
  if (text == text_) return false;
  text_ = std::move(text);
  if (OnChange) OnChange();
  return true;
}

int TTateEditModel::UnitsBefore(int index) const {
  const auto at = [this](int i) { return text_[static_cast<size_t>(i)]; };
  if (index >= 2 && index <= static_cast<int>(text_.size()) && IsLowSurrogate(at(index - 1)) &&
      IsHighSurrogate(at(index - 2)))
    return 2;
  return 1;
}

int TTateEditModel::UnitsAfter(int index) const {
  const auto at = [this](int i) { return text_[static_cast<size_t>(i)]; };
  if (index >= 0 && index + 1 < static_cast<int>(text_.size()) && IsHighSurrogate(at(index)) &&
      IsLowSurrogate(at(index + 1)))
    return 2;
  return 1;
}

// --- caret ---------------------------------------------------------------------------

int TTateEditModel::ShownCaret() const {
  return std::min(selStart_, static_cast<int>(text_.size()));
}

void TTateEditModel::MoveUp() {
  if (selStart_ <= 0) return;
  selStart_ -= selStart_ > static_cast<int>(text_.size()) ? 1 : UnitsBefore(selStart_);
}

void TTateEditModel::MoveDown() {
  if (selStart_ < static_cast<int>(text_.size())) selStart_ += UnitsAfter(selStart_);
}

void TTateEditModel::PlaceCaret(int offset, const std::vector<int>& advances) {
  int acc = 0, units = 0;
  size_t i = 0;
  for (const std::u16string& c : SplitCharacters(text_)) {
    const int w = i < advances.size() ? advances[i] : 0;
    ++i;
    if (acc + w / 2 > offset) {
      selStart_ = units;
      return;
    }
    acc += w;
    units += static_cast<int>(c.size());
  }
  MoveEnd();
}

// --- editing -------------------------------------------------------------------------

bool TTateEditModel::TypeCharacter(char16_t ch) {
  if (ReadOnly) return false;
  if (ch == kBackspace) {
    Backspace();
    return true;
  }
  if (ch == kEscape) {
    selStart_ = 0;
    Assign(std::u16string());
    return true;
  }
  if (ch < 32 || ch == kDel) return false;
  // Only whole pairs go into the text: a half without its partner would corrupt the
  // text and the file it is saved to.
  std::u16string inserted;
  if (IsLowSurrogate(ch)) {
    if (pendingHigh_ == 0) return false;
    inserted = {pendingHigh_, ch};
    pendingHigh_ = 0;
  } else if (IsHighSurrogate(ch)) {
    pendingHigh_ = ch;
    return false;
  } else {
    pendingHigh_ = 0;
    inserted = {ch};
  }
  const int at = ShownCaret();
  Replace(at, at, inserted);
  return true;
}

bool TTateEditModel::Backspace() {
  if (ReadOnly || text_.empty()) return false;
  if (selStart_ > static_cast<int>(text_.size())) {
    --selStart_;  // the caret is shown at the end already; only the index comes back
    return false;
  }
  if (selStart_ == 0) return false;
  const int units = UnitsBefore(selStart_);
  selStart_ -= units;
  std::u16string text = text_;
  text.erase(static_cast<size_t>(selStart_), static_cast<size_t>(units));
  return Assign(std::move(text));
}

bool TTateEditModel::Delete() {
  if (ReadOnly || selStart_ >= static_cast<int>(text_.size())) return false;
  std::u16string text = text_;
  text.erase(static_cast<size_t>(selStart_), static_cast<size_t>(UnitsAfter(selStart_)));
  return Assign(std::move(text));
}

bool TTateEditModel::Replace(int from, int to, const std::u16string& text) {
  if (ReadOnly) return false;
  const int len = static_cast<int>(text_.size());
  from = std::clamp(from, 0, len);
  to = std::clamp(to, from, len);
  std::u16string replaced = text_;
  replaced.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), text);
  selStart_ = from + static_cast<int>(text.size());
  return Assign(std::move(replaced));
}

void TTateEditModel::SetCaret(int index) {
  const int len = static_cast<int>(text_.size());
  index = std::clamp(index, 0, len);
  if (index > 0 && index < len && (text_[index] & 0xFC00) == 0xDC00 &&
      (text_[index - 1] & 0xFC00) == 0xD800)
    --index;
  selStart_ = index;
}

// --- clipboard -----------------------------------------------------------------------

namespace {

// One line of text, as a one-line field takes it: line breaks and tabs are dropped.
std::u16string OneLine(const std::u16string& clip) {
  std::u16string line;
  line.reserve(clip.size());
  for (char16_t c : clip)
    if (c != u'\r' && c != u'\n' && c != u'\t') line += c;
  return line;
}

}  // namespace

bool TTateEditModel::Paste(const std::u16string& clip, bool append) {
  if (ReadOnly) return false;
  const std::u16string line = OneLine(clip);
  return Assign(append ? text_ + line : line);
}

bool TTateEditModel::InsertAtCaret(const std::u16string& clip) {
  if (ReadOnly) return false;
  const int at = ShownCaret();
  return Replace(at, at, OneLine(clip));
}

}  // namespace zelk
