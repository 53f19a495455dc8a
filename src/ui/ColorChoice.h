// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The choice of a line colour: the usual colours of manuscript paper, any other through
// the colour dialog, and optionally "線と同じ" for a line that takes the sheet's line
// colour.

#include <QComboBox>
#include <functional>

#include "base/Color.h"

namespace zelk {

/// A combo box of the manuscript palette (茶 緑 朱 藍 灰 黒, each with its swatch), a
/// colour of its own when one was chosen elsewhere, and "その他の色..." last, which asks
/// the colour dialog and goes back to the colour before when it is cancelled. With
/// `follows`, "線と同じ" comes first. Changed() is emitted for the user's choices only,
/// never by SetColor.
class TColorChoice : public QComboBox {
  Q_OBJECT

 public:
  TColorChoice(QWidget* parent, bool follows);

  /// Shows `color`, or "線と同じ" when `follows` and the box offers it.
  void SetColor(TColor color, bool follows = false);
  /// The colour shown; for "線と同じ", the colour it was last set to.
  TColor Color() const { return color_; }
  /// True while "線と同じ" is chosen.
  bool Follows() const;

  /// Asks for a colour other than the palette's; the colour dialog by default. Returns
  /// false when the user cancelled.
  std::function<bool(TColor& color)> AskColor;

 signals:
  void Changed();

 private:
  void Picked(int index);
  int IndexOf(TColor color) const;

  bool follows_;
  TColor color_ = kBlack;
  int shown_ = 0;  ///< the index shown before the user's choice
};

}  // namespace zelk
