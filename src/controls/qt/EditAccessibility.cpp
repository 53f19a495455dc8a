// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/qt/EditAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <algorithm>

namespace zelk {
namespace {

class TEditAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
 public:
  TEditAccessible(QWidget* w, TAccessibleEdit* edit)
      : QAccessibleWidget(w, QAccessible::EditableText), edit_(edit) {}

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
      return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !edit_->AccessibleReadOnly();
    s.readOnly = edit_->AccessibleReadOnly();
    s.selectableText = true;
    return s;
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return edit_->AccessibleText();
    return QAccessibleWidget::text(t);
  }

  // --- text --------------------------------------------------------------------------
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index == 0) edit_->AccessibleSelection(start, end);
  }
  int selectionCount() const override {
    int s = 0, e = 0;
    return edit_->AccessibleSelection(&s, &e) && e > s ? 1 : 0;
  }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return edit_->AccessibleCaret(); }
  void setCursorPosition(int position) override { edit_->SetAccessibleCaret(position); }
  QString text(int start, int end) const override {
    const QString all = edit_->AccessibleText();
    start = std::clamp(start, 0, static_cast<int>(all.size()));
    end = std::clamp(end, start, static_cast<int>(all.size()));
    return all.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(edit_->AccessibleText().size()); }
  QRect characterRect(int offset) const override {
    const QRect r = edit_->AccessibleCharacterRect(offset);
    return r.isEmpty() ? QRect() : QRect(widget()->mapToGlobal(r.topLeft()), r.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    const QPoint local = widget()->mapFromGlobal(point);
    for (int i = 0; i < characterCount(); ++i)
      if (edit_->AccessibleCharacterRect(i).contains(local)) return i;
    return -1;
  }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return QString();
  }

  // --- editable text -----------------------------------------------------------------
  void deleteText(int start, int end) override { edit_->ReplaceAccessibleText(start, end, {}); }
  void insertText(int offset, const QString& text) override {
    edit_->ReplaceAccessibleText(offset, offset, text);
  }
  void replaceText(int start, int end, const QString& text) override {
    edit_->ReplaceAccessibleText(start, end, text);
  }

 private:
  TAccessibleEdit* edit_;
};

QAccessibleInterface* EditFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  auto* edit = dynamic_cast<TAccessibleEdit*>(object);
  return widget && edit ? new TEditAccessible(widget, edit) : nullptr;
}

}  // namespace

void InstallEditAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(EditFactory);
    return true;
  }();
  (void)installed;
}

void NotifyAccessibleTextChanged(QWidget* edit) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent event(edit, QAccessible::TextUpdated);
  QAccessible::updateAccessibility(&event);
}

void NotifyAccessibleCaretMoved(QWidget* edit, int offset) {
  if (!QAccessible::isActive()) return;
  QAccessibleTextCursorEvent event(edit, offset);
  QAccessible::updateAccessibility(&event);
}

}  // namespace zelk
