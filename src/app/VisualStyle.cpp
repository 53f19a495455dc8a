// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VisualStyle.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QWidget>
#include <algorithm>

namespace zelk {
namespace {

// Slate greys with a green cast, an emerald accent; text dark enough for thin Japanese
// strokes on every background.
QPalette EmeraldLightSlatePalette() {
  const QColor window(0xE9, 0xEF, 0xEC);
  const QColor base(0xFB, 0xFD, 0xFC);
  const QColor alternate(0xF1, 0xF6, 0xF3);
  const QColor text(0x1F, 0x2D, 0x28);
  const QColor button(0xDD, 0xE7, 0xE2);
  const QColor accent(0x2E, 0x8B, 0x6A);
  const QColor disabledText(0x8A, 0x99, 0x93);
  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, alternate);
  p.setColor(QPalette::ToolTipBase, QColor(0xF4, 0xFA, 0xF6));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, disabledText);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, button);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Light, Qt::white);
  p.setColor(QPalette::Midlight, QColor(0xEE, 0xF3, 0xF0));
  p.setColor(QPalette::Mid, QColor(0xA9, 0xB8, 0xB1));
  p.setColor(QPalette::Dark, QColor(0x7A, 0x8C, 0x84));
  p.setColor(QPalette::Shadow, QColor(0x45, 0x52, 0x4D));
  p.setColor(QPalette::Highlight, accent);
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x1E, 0x6E, 0x52));
  p.setColor(QPalette::LinkVisited, QColor(0x4F, 0x6A, 0x5E));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, disabledText);
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x9F, 0xB8, 0xAD));
  return p;
}

// A style sheet rule for one state of a tab makes the sheet draw every tab by its box
// model, so the tabs get their whole box here: a border, room around the text that grows
// with the font, and the accent under the selected one.
const char* const kStyleSheet =
    "QTabBar::tab { background: #dde7e2; border: 1px solid #a9b8b1; border-bottom: none;"
    " border-top-left-radius: 3px; border-top-right-radius: 3px;"
    " padding: 0.25em 0.9em; margin-right: 1px; }"
    "QTabBar::tab:selected { background: #e9efec; border-bottom: 2px solid #2e8b6a; }"
    "QTabBar::tab:!selected { margin-top: 2px; }"
    "QToolButton:hover { background: #cfe3d9; border: 1px solid #8fb5a3; border-radius: 2px; }";

// Fusion with a group box title as wide as its text: Fusion draws the title in bold but
// sizes its room a little narrower than the text, so the last glyph lost its edge.
class TProgramStyle : public QProxyStyle {
 public:
  explicit TProgramStyle(QStyle* base) : QProxyStyle(base) {}

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_GroupBox || sub != SC_GroupBoxLabel) return r;
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (!box || box->text.isEmpty()) return r;
    QFont bold = widget ? widget->font() : QFont();
    const QFontMetrics plain(bold);
    bold.setBold(true);
    const QFontMetrics heavy(bold);
    const int width = std::max(plain.size(Qt::TextShowMnemonic, box->text).width(),
                               heavy.size(Qt::TextShowMnemonic, box->text).width()) +
                      2;
    if (r.width() < width) {
      // A title at the right edge grows to the left, any other to the right.
      if (box->textAlignment & Qt::AlignRight)
        r.setLeft(r.right() + 1 - width);
      else
        r.setWidth(width);
    }
    return r;
  }
};

}  // namespace

bool SelectVisualStyle(QApplication& app, const QString& name) {
  if (name != kVisualStyleName) return false;
  QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
  if (!fusion) return false;
  app.setStyle(new TProgramStyle(fusion));
  app.setPalette(EmeraldLightSlatePalette());
  app.setStyleSheet(QString::fromLatin1(kStyleSheet));
  return true;
}

}  // namespace zelk
