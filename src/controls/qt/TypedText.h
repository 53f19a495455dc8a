// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a key press types into the edits.

#include <QKeyEvent>
#include <QString>

namespace zelk {

/// The characters `event` types: none while Alt or Meta is held (menu and window
/// manager shortcuts), and with Ctrl only the control characters it makes (Ctrl+H is a
/// backspace), never a digit, letter or punctuation mark (Ctrl+1 types nothing).
inline QString TypedText(const QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (mods & (Qt::AltModifier | Qt::MetaModifier)) return QString();
  QString text = event->text();
  if (mods & Qt::ControlModifier)
    text.removeIf([](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
  return text;
}

}  // namespace zelk
