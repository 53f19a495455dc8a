#pragma once
// The window program's start: single instance, visual style, the three windows in their
// order, the first showing of the main window, and the message loop.

#include <QStringList>

class QApplication;

namespace zelk {

/// The organisation, name and version the application reports (QCoreApplication).
void SetApplicationInfo();

/// Runs zelk as a window program; `arguments` may name one settings file to open. A
/// later start tells the user that zelk is running, hands the file to the running
/// instance (which brings its window back) and returns 0 at once.
int RunWindowApplication(QApplication& app, const QStringList& arguments);

}  // namespace zelk
