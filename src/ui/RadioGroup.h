// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A titled group of radio buttons laid out in columns, with one selected item index and
// a click signal that code and user raise alike.

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace zelk {

/// A radio group: a caption, the items as radio buttons in `columns` columns filled
/// top to bottom, and the 0-based index of the selected item (-1: none).
///
/// Clicked() is raised whenever the selected index changes, by a user click or by
/// SetItemIndex alike, because the main window's handlers rely on code and user raising
/// the same event. Setting the index it already has raises nothing. The buttons fill
/// the group's client area; each column is as wide as the area divided by the columns.
class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  /// A group with `columns` columns (at least 1) and no items.
  explicit TRadioGroup(const QString& caption, int columns = 1, QWidget* parent = nullptr);

  /// Replaces the items; the selection becomes -1 without a click.
  void SetItems(const QStringList& items);
  int Count() const { return static_cast<int>(buttons_.size()); }
  /// The 0-based selected item, -1 when none is selected.
  int ItemIndex() const { return index_; }
  /// Selects item `index`; an index outside the items selects none. Raises Clicked()
  /// when the index changes, nothing otherwise.
  void SetItemIndex(int index);
  int Columns() const { return columns_; }
  /// The radio button of item `index` (for focus and tests); null when out of range.
  QRadioButton* Button(int index) const;

 signals:
  /// The selected item changed, by the user or by code.
  void Clicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ButtonToggled(int index, bool on);
  void ArrangeButtons();

  int columns_;
  int index_ = -1;
  bool settingIndex_ = false;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace zelk
