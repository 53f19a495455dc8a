// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ControlFlow.h"

#include <QWidget>
#include <algorithm>
#include <climits>
#include <vector>

namespace zelk {
namespace {

// Places spans (start, length) one after the other with `gap` between them, first
// forwards from their own starts, then backwards from `end`, never before `begin`.
std::vector<int> Flow(const std::vector<std::pair<int, int>>& spans, int gap, int begin, int end) {
  std::vector<int> starts;
  int next = begin;
  for (const auto& [start, length] : spans) {
    starts.push_back(std::max(start, next));
    next = starts.back() + length + gap;
  }
  int limit = end;
  for (size_t i = spans.size(); i-- > 0;) {
    const int latest = limit - spans[i].second;
    if (starts[i] > latest) starts[i] = std::max(latest, begin);
    limit = starts[i] - gap;
  }
  return starts;
}

}  // namespace

void FlowRow(const QList<QWidget*>& row, int gap, int left, int right,
             const QList<QWidget*>& narrowable, int narrowest) {
  int needed = gap * (static_cast<int>(row.size()) - 1);
  for (const QWidget* w : row) needed += w->width();
  int excess = needed - (right - left);
  // One pixel at a time from each narrowable control in turn, so they give up evenly.
  for (bool gave = true; excess > 0 && gave;) {
    gave = false;
    for (QWidget* w : narrowable) {
      if (excess <= 0 || w->width() <= narrowest) continue;
      w->resize(w->width() - 1, w->height());
      --excess;
      gave = true;
    }
  }
  std::vector<std::pair<int, int>> spans;
  for (const QWidget* w : row) spans.emplace_back(w->x(), w->width());
  const std::vector<int> starts = Flow(spans, gap, left, right);
  for (int i = 0; i < row.size(); ++i)
    if (starts[i] != row[i]->x()) row[i]->move(starts[i], row[i]->y());
}

void FlowColumn(const QList<QList<QWidget*>>& lines, int gap, int top, int bottom) {
  std::vector<std::pair<int, int>> spans;
  for (const QList<QWidget*>& line : lines) {
    int first = INT_MAX, last = INT_MIN;
    for (const QWidget* w : line) {
      first = std::min(first, w->y());
      last = std::max(last, w->y() + w->height());
    }
    spans.emplace_back(first, last - first);
  }
  const std::vector<int> starts = Flow(spans, gap, top, bottom);
  for (int i = 0; i < lines.size(); ++i) {
    const int shift = starts[i] - spans[i].first;
    if (shift == 0) continue;
    for (QWidget* w : lines[i]) w->move(w->x(), w->y() + shift);
  }
}

}  // namespace zelk
