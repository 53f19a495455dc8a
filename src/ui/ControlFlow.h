// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeping designed controls apart when the fonts in use are wider or taller than the
// designed ones. Controls keep their designed places where they can; a control that
// would lie on the one before it moves along, and a line that then runs past its end
// is pushed back as far as the controls allow.

#include <QList>

class QWidget;

namespace zelk {

/// `row` (left to right, on one line) so that each control starts at least `gap` pixels
/// after the end of the one before it, moving controls right only as needed; then, when
/// the last one ends past `right`, moving controls left only as needed, so that none
/// starts before `left`. When the controls cannot fit between `left` and `right` at all,
/// the `narrowable` ones first give up width, evenly, down to `narrowest` pixels each;
/// no other size changes.
void FlowRow(const QList<QWidget*>& row, int gap, int left, int right,
             const QList<QWidget*>& narrowable = {}, int narrowest = 0);

/// The same from top to bottom for lines of controls: each line is moved down as a whole
/// until its top is `gap` pixels below the bottom of the line above, then back up as far
/// as needed for the last line to end at `bottom`.
void FlowColumn(const QList<QList<QWidget*>>& lines, int gap, int top, int bottom);

}  // namespace zelk
