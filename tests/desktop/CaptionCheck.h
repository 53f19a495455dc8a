// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds captions that a reader cannot read whole: a label, check box, radio button, push
// button, group box title or tab whose text does not fit where its style draws it, runs
// past the widget's parent, or lies on another visible widget.
//
// Where the text is drawn is asked of the widget's own style (with the application's
// style sheet), so the check sees what the user sees with the program's look.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QWidget>

namespace zelk::test {

/// The caption's text without its mnemonic marker ("&&" stays one "&").
inline QString PlainCaption(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

/// The caption of `w` with the rectangle its text needs, in `w`'s coordinates, and the
/// rectangle the style gives it. False when `w` shows no caption.
inline bool CaptionGeometry(const QWidget* w, QString& caption, QRect& needed, QRect& room) {
  const QFontMetrics fm = w->fontMetrics();
  auto place = [&](const QRect& area, Qt::Alignment align) {
    const QSize size(fm.horizontalAdvance(caption), fm.height());
    room = area;
    needed = QStyle::alignedRect(w->layoutDirection(), align, size, area);
  };
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->wordWrap() || label->text().isEmpty() || label->textFormat() == Qt::RichText)
      return false;
    caption = PlainCaption(label->text());
    place(label->contentsRect().marginsRemoved(
              QMargins(label->margin(), label->margin(), label->margin(), label->margin())),
          label->alignment());
    return true;
  }
  if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
    if (button->text().isEmpty()) return false;
    caption = PlainCaption(button->text());
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    if (qobject_cast<const QCheckBox*>(w)) {
      place(w->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, w),
            Qt::AlignLeft | Qt::AlignVCenter);
    } else if (qobject_cast<const QRadioButton*>(w)) {
      place(w->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, w),
            Qt::AlignLeft | Qt::AlignVCenter);
    } else if (qobject_cast<const QPushButton*>(w)) {
      QRect area = w->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, w);
      if (!button->icon().isNull()) area.setLeft(area.left() + button->iconSize().width() + 4);
      place(area, Qt::AlignCenter);
    } else {
      return false;  // tool buttons show icons; their text is a tool tip
    }
    return true;
  }
  if (auto* group = qobject_cast<const QGroupBox*>(w)) {
    if (group->title().isEmpty()) return false;
    caption = PlainCaption(group->title());
    QStyleOptionGroupBox opt;
    opt.initFrom(group);
    opt.text = group->title();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (group->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
    opt.textAlignment = group->alignment();
    const QRect label =
        w->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, w);
    place(label, Qt::AlignCenter);
    room = label.intersected(w->rect());
    return true;
  }
  return false;
}

/// What is wrong with the captions of `top` and every visible widget inside it, one line
/// each, naming the caption; empty when every caption can be read whole.
inline QStringList UnreadableCaptions(QWidget* top) {
  QStringList problems;
  QList<QWidget*> widgets = top->findChildren<QWidget*>();
  widgets.prepend(top);
  QList<QWidget*> visible;
  for (QWidget* w : widgets)
    // A widget wholly covered by an opaque one above it is not seen at all.
    if (w->isVisibleTo(top) && w->isVisible() && !w->size().isEmpty() &&
        !w->visibleRegion().isEmpty())
      visible << w;

  auto inTop = [top](QWidget* w, const QRect& r) {
    return QRect(w->mapTo(top, r.topLeft()), r.size());
  };
  for (QWidget* w : visible) {
    QString caption;
    QRect needed, room;
    if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) {
        const QString text = PlainCaption(tabs->tabText(i));
        const int width = tabs->fontMetrics().horizontalAdvance(text);
        if (tabs->tabRect(i).width() < width + 2 * tabs->fontMetrics().averageCharWidth())
          problems << QStringLiteral("tab 「%1」 is %2 px wide for a text of %3 px")
                          .arg(text)
                          .arg(tabs->tabRect(i).width())
                          .arg(width);
      }
      continue;
    }
    if (!CaptionGeometry(w, caption, needed, room)) continue;
    if (!room.contains(needed))
      problems << QStringLiteral("「%1」 needs %2 × %3 px but has %4 × %5")
                      .arg(caption)
                      .arg(needed.width())
                      .arg(needed.height())
                      .arg(room.width())
                      .arg(room.height());
    // Cut off by a parent that ends before the caption does.
    const QRect shown = inTop(w, needed);
    for (QWidget* p = w->parentWidget(); p && p != top->parentWidget(); p = p->parentWidget()) {
      if (!inTop(p, p->rect()).contains(shown)) {
        problems << QStringLiteral("「%1」 runs past the edge of %2")
                        .arg(caption, p->objectName().isEmpty()
                                          ? QString::fromLatin1(p->metaObject()->className())
                                          : p->objectName());
        break;
      }
    }
    // Lying on another widget: a sibling or any widget that is not its ancestor.
    for (QWidget* other : visible) {
      if (other == w || other->isAncestorOf(w) || w->isAncestorOf(other)) continue;
      if (qobject_cast<QGroupBox*>(other) || qobject_cast<QTabBar*>(other)) continue;
      if (other->isWindow() || other == top) continue;
      // Only leaves and captioned widgets are things the eye reads as "on" the caption.
      if (!other->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty() &&
          !qobject_cast<QAbstractButton*>(other))
        continue;
      const QRect o = inTop(other, other->rect());
      // A plain frame is a picture: a caption may stand on it, but not across its border.
      const bool picture = other->metaObject() == &QFrame::staticMetaObject;
      if (picture ? o.intersects(shown) && !o.contains(shown) : o.intersects(shown)) {
        QString otherName = other->objectName();
        QString otherCaption;
        QRect n2, r2;
        if (CaptionGeometry(other, otherCaption, n2, r2))
          otherName = QStringLiteral("「%1」").arg(otherCaption);
        if (otherName.isEmpty()) otherName = QString::fromLatin1(other->metaObject()->className());
        problems << QStringLiteral("「%1」 lies on %2").arg(caption, otherName);
      }
    }
  }
  problems.removeDuplicates();
  return problems;
}

}  // namespace zelk::test
