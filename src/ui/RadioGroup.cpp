// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RadioGroup.h"

#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace zelk {

TRadioGroup::TRadioGroup(const QString& caption, int columns, QWidget* parent)
    : QGroupBox(caption, parent), columns_(columns < 1 ? 1 : columns) {}

void TRadioGroup::SetItems(const QStringList& items) {
  for (QRadioButton* b : buttons_) delete b;
  buttons_.clear();
  index_ = -1;
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    // Exclusivity is ours: auto-exclusive buttons cannot all be cleared for index -1.
    b->setAutoExclusive(false);
    connect(b, &QRadioButton::toggled, this, [this, i](bool on) { ButtonToggled(i, on); });
    buttons_.push_back(b);
    b->show();
  }
  ArrangeButtons();
}

QRadioButton* TRadioGroup::Button(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return buttons_[index];
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == index_) return;
  settingIndex_ = true;
  for (int i = 0; i < Count(); ++i) buttons_[i]->setChecked(i == index);
  settingIndex_ = false;
  index_ = index;
  emit Clicked();
}

void TRadioGroup::ButtonToggled(int index, bool on) {
  if (settingIndex_) return;
  if (!on) {
    // A click on the selected button would clear it; a radio group keeps its selection.
    if (index == index_) {
      QSignalBlocker block(buttons_[index]);
      buttons_[index]->setChecked(true);
    }
    return;
  }
  SetItemIndex(index);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  QStyleOptionGroupBox opt;
  initStyleOption(&opt);
  const QRect area =
      style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, this);
  const int count = Count();
  const int rows = (count + columns_ - 1) / columns_;
  const int colWidth = area.width() / columns_;
  const int rowHeight = area.height() / rows;
  const int indent = 4;
  for (int i = 0; i < count; ++i) {
    const int col = i / rows;
    const int row = i % rows;
    const int h = buttons_[i]->sizeHint().height();
    const int y = area.top() + row * rowHeight + (rowHeight - h) / 2;
    buttons_[i]->setGeometry(area.left() + indent + col * colWidth, y, colWidth - indent, h);
  }
}

}  // namespace zelk
