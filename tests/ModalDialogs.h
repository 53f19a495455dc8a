// SPDX-License-Identifier: GPL-3.0-or-later
// Answers a modal dialog the way a user does: once it is up and ready for input, never
// after a fixed delay. A dialog is ready when it is visible, its window is exposed and
// the keyboard focus is inside it, which is also when its own start-up (a file dialog
// focusing and filling its file-name field) is over. What the answer does then happens
// in one step of the dialog's own event loop, so nothing of the dialog's can come between.

#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <vector>

namespace zelk::test {

/// True when `w` is shown, exposed and holds the focus (or one of its children does).
inline bool IsReadyForInput(const QWidget* w) {
  if (!w || !w->isVisible()) return false;
  const QWindow* window = w->windowHandle();
  if (!window || !window->isExposed()) return false;
  const QWidget* focus = QApplication::focusWidget();
  return focus && (focus == w || w->isAncestorOf(focus));
}

/// Closes a dialog that a test did not expect, so that a failing test cannot hang.
inline void CloseDialog(QWidget* w) {
  if (auto* dialog = qobject_cast<QDialog*>(w))
    dialog->reject();
  else
    w->close();
}

/// Waits, by events, for the next modal dialog to be ready and answers it once.
/// The watcher deletes itself after answering. When no dialog becomes ready within
/// `kGiveUpMs`, whatever modal dialog is up is closed with a warning, so that a failing
/// test fails instead of hanging, and the watcher stays pending for DropPending().
class TModalAnswer : public QObject {
 public:
  static constexpr int kGiveUpMs = 60000;

  /// `target`: the dialog to answer; the application's active modal widget when null.
  /// (A dialog that was already visible when its exec() began is not made modal.)
  explicit TModalAnswer(std::function<void(QWidget*)> answer, QWidget* target = nullptr)
      : TModalAnswer(std::move(answer), Finder(target), IsReadyForInput) {}

  /// The widget `find` returns (null while there is none) is answered once `isReady`
  /// holds for it.
  TModalAnswer(std::function<void(QWidget*)> answer, std::function<QWidget*()> find,
               std::function<bool(const QWidget*)> isReady)
      : answer_(std::move(answer)), find_(std::move(find)), isReady_(std::move(isReady)) {
    Pending().push_back(this);
    qApp->installEventFilter(this);
    giveUp_.setSingleShot(true);
    connect(&giveUp_, &QTimer::timeout, this, [this] {
      // Still pending, so that the test's cleanup() counts it.
      qWarning("no modal dialog became ready for input");
      answered_ = true;
      qApp->removeEventFilter(this);
      if (QWidget* w = Dialog()) CloseDialog(w);
    });
    giveUp_.start(kGiveUpMs);
    // The dialog may already be up (a test that arms the answer after showing it).
    QMetaObject::invokeMethod(this, &TModalAnswer::Check, Qt::QueuedConnection);
  }

  ~TModalAnswer() override { Leave(); }

  /// Drops every answer still waiting for its dialog and returns how many there were:
  /// a test's cleanup() expects 0, so that a dialog that never came fails its own test
  /// and no answer is left over for the next test's dialogs.
  static int DropPending() {
    const std::vector<TModalAnswer*> pending = Pending();
    for (TModalAnswer* a : pending) delete a;
    return int(pending.size());
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::Show:
      case QEvent::Expose:
      case QEvent::FocusIn:
      case QEvent::WindowActivate:
      case QEvent::ActivationChange:
      case QEvent::Hide:  // a dialog in front went away
        // Answer from the loop, not from inside the event that made the dialog ready.
        if (!queued_) {
          queued_ = true;
          QMetaObject::invokeMethod(this, &TModalAnswer::Check, Qt::QueuedConnection);
        }
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void Check() {
    queued_ = false;
    if (answered_) return;
    QWidget* dialog = Dialog();
    if (!dialog || !isReady_(dialog)) return;
    answered_ = true;
    Leave();
    qApp->removeEventFilter(this);
    giveUp_.stop();
    answer_(dialog);
    deleteLater();
  }

  QWidget* Dialog() const { return find_(); }

  static std::function<QWidget*()> Finder(QWidget* target) {
    if (!target) return [] { return QApplication::activeModalWidget(); };
    return [target = QPointer<QWidget>(target)] { return target.data(); };
  }

  void Leave() {
    auto& pending = Pending();
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
  }

  static std::vector<TModalAnswer*>& Pending() {
    static std::vector<TModalAnswer*> pending;
    return pending;
  }

  std::function<void(QWidget*)> answer_;
  std::function<QWidget*()> find_;
  std::function<bool(const QWidget*)> isReady_;
  QTimer giveUp_;
  bool queued_ = false;
  bool answered_ = false;
};

/// Runs `answer` on the next modal dialog once it is ready for input. `answer` must
/// close it; it may arm another answer for a dialog that the first one opens.
inline void WhenModal(std::function<void(QWidget*)> answer) { new TModalAnswer(std::move(answer)); }

/// Runs `answer` on `dialog` once it is ready for input (for a dialog that is shown
/// before its exec() begins, and so never becomes the modal widget).
inline void WhenReady(QWidget* dialog, std::function<void(QWidget*)> answer) {
  new TModalAnswer(std::move(answer), dialog);
}

/// Runs `act` on the widget `find` returns once `isReady` holds for it (for a state
/// that is no dialog's, such as a main window done with its start).
inline void WhenState(std::function<QWidget*()> find, std::function<bool(const QWidget*)> isReady,
                      std::function<void(QWidget*)> act) {
  new TModalAnswer(std::move(act), std::move(find), std::move(isReady));
}

/// Types `name` into a file dialog's own file-name field and presses its accept button,
/// as a user does. Returns false (and rejects the dialog) when `w` is no Qt file dialog.
inline bool EnterFileName(QWidget* w, const QString& name) {
  auto* dialog = qobject_cast<QFileDialog*>(w);
  auto* field = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
  if (!field) {
    CloseDialog(w);
    return false;
  }
  field->setText(name);
  static_cast<QDialog*>(dialog)->accept();  // what the Save or Open button does
  return true;
}

}  // namespace zelk::test
