// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorChoice.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>
#include <iterator>

#include "preview/qt/QtColor.h"

namespace zelk {
namespace {

constexpr int kFollows = -1;  // the item data of "線と同じ"
constexpr int kOther = -2;    // and of "その他の色..."

QIcon Swatch(TColor color) {
  QPixmap pixmap(14, 14);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QColor(0x60, 0x60, 0x60));
  painter.setBrush(RgbOf(color));
  painter.drawRect(0, 0, 13, 13);
  return QIcon(pixmap);
}

QString HexText(TColor color) {
  const QColor c = RgbOf(color);
  return QStringLiteral("#%1%2%3")
      .arg(c.red(), 2, 16, QLatin1Char('0'))
      .arg(c.green(), 2, 16, QLatin1Char('0'))
      .arg(c.blue(), 2, 16, QLatin1Char('0'))
      .toUpper();
}

}  // namespace

TColorChoice::TColorChoice(QWidget* parent, bool follows) : QComboBox(parent), follows_(follows) {
  if (follows_) addItem(QStringLiteral("線と同じ"), kFollows);
  for (const TPaletteColor& p : kManuscriptPalette)
    addItem(Swatch(p.Color), QString::fromStdU16String(p.Label), static_cast<int>(p.Color));
  addItem(QStringLiteral("その他の色..."), kOther);
  AskColor = [this](TColor& color) {
    const QColor chosen = QColorDialog::getColor(RgbOf(color), window(), QStringLiteral("線の色"));
    if (!chosen.isValid()) return false;
    color = RgbColor(chosen.red(), chosen.green(), chosen.blue());
    return true;
  };
  SetColor(kBlack, follows_);
  connect(this, qOverload<int>(&QComboBox::activated), this, &TColorChoice::Picked);
}

int TColorChoice::IndexOf(TColor color) const {
  for (int i = 0; i < count(); ++i) {
    const int data = itemData(i).toInt();
    if (data != kFollows && data != kOther && data == static_cast<int>(color)) return i;
  }
  return -1;
}

void TColorChoice::SetColor(TColor color, bool follows) {
  color = LineDrawColor(color);
  color_ = color;
  int index = follows && follows_ ? 0 : IndexOf(color);
  if (index < 0) {
    // A colour of its own, just before "その他の色...": one at a time.
    const int other = count() - 1;
    const int first = follows_ ? 1 : 0;
    if (other - first > static_cast<int>(std::size(kManuscriptPalette))) removeItem(other - 1);
    index = count() - 1;
    insertItem(index, Swatch(color), HexText(color), static_cast<int>(color));
  }
  setCurrentIndex(index);
  shown_ = index;
}

bool TColorChoice::Follows() const {
  return follows_ && itemData(currentIndex()).toInt() == kFollows;
}

void TColorChoice::Picked(int index) {
  const int data = itemData(index).toInt();
  if (data == kOther) {
    TColor color = color_;
    if (!AskColor || !AskColor(color)) {
      setCurrentIndex(shown_);
      return;
    }
    SetColor(color);
  } else if (data == kFollows) {
    shown_ = index;
  } else {
    color_ = static_cast<TColor>(data);
    shown_ = index;
  }
  emit Changed();
}

}  // namespace zelk
