// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's visual style, selected by name at start-up.

#include <QString>

class QApplication;

namespace zelk {

/// The name of zelk's own style: a calm, light green-slate theme.
inline const QString kVisualStyleName = QStringLiteral("Emerald Light Slate 2");

/// Selects the visual style called `name` for the whole application: Qt's Fusion style
/// with the style's palette, group box titles given room for their whole text, tabs with
/// room around their text and an accent under the selected one, and an accent on
/// hovered tool buttons.
/// Returns false, leaving the look as it was, for a name it does not know or when the
/// base style is missing.
bool SelectVisualStyle(QApplication& app, const QString& name);

}  // namespace zelk
