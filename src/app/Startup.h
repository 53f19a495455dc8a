// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window program's start: single instance, visual style, the three windows in their
// order, the first showing of the main window, and the message loop.

#include <QStringList>

class QApplication;

namespace zelk {

/// The organisation, name and version the application reports (QCoreApplication).
void SetApplicationInfo();

/// False when the window has no display to open on: neither DISPLAY nor WAYLAND_DISPLAY
/// is set, and QT_QPA_PLATFORM chooses no platform either.
bool DisplayAvailable();

/// The one line, in Japanese and English, for a window start without a display.
QString NoDisplayMessage();

/// Runs zelk as a window program; `arguments` may name one settings file to open. A
/// later start tells the user that zelk is running, hands the file to the running
/// instance (which brings its window back) and returns 0 at once.
int RunWindowApplication(QApplication& app, const QStringList& arguments);

}  // namespace zelk
