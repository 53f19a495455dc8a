// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Canvas.h"

namespace zelk {

void TCanvas::AssignFont(const TFont& font) {
  // The canvas font keeps its own resolution: the point size is what carries over.
  const int32_t ppi = Font.PixelsPerInch();
  Font = font;
  Font.SetPixelsPerInch(ppi);
  Font.SetSize(font.Size());
  FontOrientation = 0;
}

namespace {

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

// Texts up to this length are drawn whole, as they always were: they cost little, and a
// short text wholly off the paper keeps its place on the recorded page.
constexpr size_t kWholeText = 256;

// The smallest n in [1, limit] with reaches(n), for reaches that is false and then true
// as n grows (true at `limit`): doubling first, so that the cost follows the answer
// rather than the limit, then halving.
template <typename Reaches>
size_t SmallestReaching(size_t limit, Reaches reaches) {
  size_t high = 1;
  while (high < limit && !reaches(high)) high = high * 2 < limit ? high * 2 : limit;
  size_t low = high / 2;  // !reaches(low) unless low is 0
  while (high - low > 1) {
    const size_t mid = low + (high - low) / 2;
    (reaches(mid) ? high : low) = mid;
  }
  return high;
}

}  // namespace

void TCanvas::TextOutOnPaper(int32_t x, int32_t y, const std::u16string& text) {
  const bool across = FontOrientation == 0;
  if (!PaperBounds || text.size() <= kWholeText || (!across && FontOrientation != 2700))
    return TextOut(x, y, text);
  const int64_t lo = across ? PaperBounds->Left : PaperBounds->Top;
  const int64_t hi = across ? PaperBounds->Right : PaperBounds->Bottom;
  int64_t start = across ? x : y;
  const int64_t end = start + TextWidth(text);
  if (start >= lo && end <= hi) return TextOut(x, y, text);
  size_t first = 0, last = text.size();
  auto width = [this, &text](size_t from, size_t to) {
    return int64_t{TextWidth(text.substr(from, to - from))};
  };
  if (start < lo) {
    // The shortest tail that reaches back to lo: what comes before it ends before lo.
    const size_t tail = SmallestReaching(
        text.size(), [&](size_t n) { return end - width(text.size() - n, text.size()) <= lo; });
    first = text.size() - tail;
    if (first > 0 && IsHighSurrogate(text[first - 1])) --first;
    start = end - width(first, text.size());
  }
  if (end > hi) {
    // The shortest head that reaches hi: what follows it starts at or after hi.
    const size_t head = SmallestReaching(
        text.size() - first, [&](size_t n) { return start + width(first, first + n) >= hi; });
    last = first + head;
    if (last < text.size() && IsHighSurrogate(text[last - 1])) ++last;
  }
  const int32_t at = SaturateInt32(start);
  TextOut(across ? at : x, across ? y : at, text.substr(first, last - first));
}

void TCanvas::LineTo(int32_t x, int32_t y) {
  DrawLine(PenPos.X, PenPos.Y, x, y);
  PenPos = {x, y};
}

}  // namespace zelk
