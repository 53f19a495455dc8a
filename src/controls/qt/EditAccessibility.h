// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Both edits as screen readers (Orca, over AT-SPI) see them: an editable text with its
// label's name, its caret, its selection and its characters' places, which the reader
// can also change.

#include <QRect>
#include <QString>

class QWidget;

namespace zelk {

/// What an edit tells its accessibility interface. Offsets count UTF-16 units.
class TAccessibleEdit {
 public:
  virtual ~TAccessibleEdit() = default;
  virtual QString AccessibleText() const = 0;
  virtual int AccessibleCaret() const = 0;
  virtual void SetAccessibleCaret(int offset) = 0;
  /// The selected range, when there is one.
  virtual bool AccessibleSelection(int* start, int* end) const = 0;
  virtual bool AccessibleReadOnly() const = 0;
  /// Replaces [from, to) with `text` as the user's edit would (refused when read-only).
  virtual void ReplaceAccessibleText(int from, int to, const QString& text) = 0;
  /// The character's place in the widget's coordinates; empty when unknown.
  virtual QRect AccessibleCharacterRect(int offset) const = 0;
};

/// Registers the accessibility factory for widgets that are TAccessibleEdits (role
/// EditableText, the text and editable-text interfaces; the name is the widget's
/// accessible name, else its label's text). Idempotent.
void InstallEditAccessibility();

/// Tells a running screen reader that the edit's text / caret changed.
void NotifyAccessibleTextChanged(QWidget* edit);
void NotifyAccessibleCaretMoved(QWidget* edit, int offset);

}  // namespace zelk
