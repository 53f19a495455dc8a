// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The blinking of a caret that a self-painting control draws itself.

#include <QBasicTimer>

class QObject;
class QTimerEvent;
class QWidget;

namespace zelk {

/// The caret's on/off phase and the timer that flips it at half the platform's cursor
/// flash time. A flash time of 0 or less means no blinking: the caret stays shown.
class TCaretBlink {
 public:
  /// Shows the caret at once and (re)starts the blinking, with `owner` receiving the timer.
  void Restart(QObject* owner);
  /// Stops the blinking; the phase is left as it is.
  void Stop() { timer_.stop(); }
  /// Flips the phase when `event` is this blink's timer. Returns false for other timers.
  bool HandleTimer(const QTimerEvent* event);
  /// True in the phase where the caret is drawn.
  bool Phase() const { return phase_; }

 private:
  QBasicTimer timer_;
  bool phase_ = false;
};

/// Restarts the blink, repaints `widget`, and when it has the focus tells the input
/// method that the caret and font moved.
void RestartCaret(TCaretBlink& blink, QWidget* widget);

}  // namespace zelk
