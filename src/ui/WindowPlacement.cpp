// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zelk {
namespace {

int64_t OverlapArea(const QRect& a, const QRect& b) {
  const QRect i = a.intersected(b);
  return i.isEmpty() ? 0 : int64_t(i.width()) * i.height();
}

// `start` and `length` on one axis moved just far enough into [areaStart, areaStart +
// areaLength); `length` is at most `areaLength` already.
int FitAxis(int start, int length, int areaStart, int areaLength) {
  const int64_t last = int64_t(areaStart) + areaLength - length;
  return static_cast<int>(std::clamp<int64_t>(start, areaStart, last));
}

}  // namespace

QRect FitToScreens(const QRect& frame, const QList<QRect>& available, const QRect& primary) {
  QRect area = primary;
  int64_t best = 0;
  for (const QRect& a : available) {
    const int64_t overlap = OverlapArea(frame, a);
    if (overlap > best) {
      best = overlap;
      area = a;
    }
  }
  if (area.isEmpty()) return frame;
  if (area.contains(frame)) return frame;
  const int width = std::clamp(frame.width(), 1, area.width());
  const int height = std::clamp(frame.height(), 1, area.height());
  return QRect(FitAxis(frame.left(), width, area.left(), area.width()),
               FitAxis(frame.top(), height, area.top(), area.height()), width, height);
}

QRect FitToDesktop(const QRect& frame) {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return frame;
  QList<QRect> areas;
  for (const QScreen* s : QGuiApplication::screens()) areas << s->availableGeometry();
  return FitToScreens(frame, areas, primary->availableGeometry());
}

QPoint FramePosition(const QWidget& window) { return window.frameGeometry().topLeft(); }

QMargins FrameMargins(const QWidget& window) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void MoveFrameTo(QWidget& window, const QPoint& corner) {
  // A window that exists on the desktop is moved through its platform window, which
  // asks the window manager to put the frame there even while the frame's size is not
  // known yet. QWidget::move would then place the window's own corner instead.
  if (QWindow* handle = window.windowHandle();
      handle && window.testAttribute(Qt::WA_WState_Created))
    handle->setFramePosition(corner);
  else
    window.move(corner);
}

}  // namespace zelk
