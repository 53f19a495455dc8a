// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A settings font handed to a font dialog and back: the dialog opens on the face that is
// drawn for it, in its stored style, and a dialog confirmed without a change leaves the
// font exactly as it was.

#include <QFont>

#include "base/Font.h"

namespace zelk {

/// The font a font dialog opens on for `font`: the installed family that draws it, its
/// point size (8 when it has none), and the installed style of that family that matches
/// its weight and slant ("Book" rather than "Oblique" for a regular DejaVu Sans), so
/// that the dialog does not pick a style of its own.
QFont DialogFontFor(const TFont& font, int resolution);

/// True when two dialog fonts are the same choice: family, style, size, underline and
/// strike-out.
bool SameDialogChoice(const QFont& a, const QFont& b);

}  // namespace zelk
