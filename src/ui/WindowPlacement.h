// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Putting a top-level window where a stored position says, on a desktop whose window
// manager frames it: the stored corner is the frame's outer corner, and a stored place
// that lies off every screen, or a size larger than the screen, is fitted to the screen
// first so that the title bar can always be grabbed.

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace zelk {

/// `frame` (the window's outer rectangle) fitted to a screen: the available area of the
/// screen it overlaps most, or `primary` when it overlaps none of `available`. The size
/// shrinks to at most the area's; then the rectangle moves just far enough to lie inside
/// the area. A rectangle already inside is returned unchanged.
QRect FitToScreens(const QRect& frame, const QList<QRect>& available, const QRect& primary);

/// FitToScreens with the available areas of this desktop's screens. Without any screen
/// `frame` is returned unchanged.
QRect FitToDesktop(const QRect& frame);

/// The frame's outer corner of a top-level window, also before the window manager has
/// framed it (then it is the window's own corner).
QPoint FramePosition(const QWidget& window);

/// The width and height the window manager adds around the window; zero before the
/// window is framed.
QMargins FrameMargins(const QWidget& window);

/// Puts the frame's outer corner of `window` at `corner`, whether or not the window has
/// been shown or framed yet.
void MoveFrameTo(QWidget& window, const QPoint& corner);

}  // namespace zelk
