// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/qt/CaretBlink.h"

#include <QApplication>
#include <QInputMethod>
#include <QTimerEvent>
#include <QWidget>

namespace zelk {

void TCaretBlink::Restart(QObject* owner) {
  phase_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (flash > 0)
    timer_.start(flash / 2, owner);
  else
    timer_.stop();
}

bool TCaretBlink::HandleTimer(const QTimerEvent* event) {
  if (event->timerId() != timer_.timerId()) return false;
  phase_ = !phase_;
  return true;
}

void RestartCaret(TCaretBlink& blink, QWidget* widget) {
  blink.Restart(widget);
  widget->update();
  if (widget->hasFocus())
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImFont);
}

}  // namespace zelk
