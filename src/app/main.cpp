// SPDX-License-Identifier: GPL-3.0-or-later
// The zelk executable: the window, or the command line when a subcommand is given.

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "base/Utf8.h"

namespace {

// Every byte of the arguments is kept, so that a file name that is not UTF-8 reaches
// the file system as it was given (FileNameFromUtf16 turns it back into bytes).
QStringList Arguments(int argc, char** argv) {
  QStringList list;
  for (int i = 0; i < argc; ++i) list << QString::fromStdU16String(zelk::FileNameToUtf16(argv[i]));
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  const QStringList args = Arguments(argc, argv);
  // Qt warns on every start when the runtime folder is missing or not ours.
  zelk::UsePrivateRuntimeFolder();
  if (zelk::IsCommandLineInvocation(args)) {
    // The command line draws with real fonts but needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    zelk::SetApplicationInfo();
    return zelk::RunCommandLine(args);
  }
  // Without a display Qt would abort; say why, and what works without one.
  if (!zelk::DisplayAvailable()) {
    std::fprintf(stderr, "%s\n", zelk::NoDisplayMessage().toUtf8().constData());
    return 1;
  }
  QApplication app(argc, argv);
  zelk::SetApplicationInfo();
  return zelk::RunWindowApplication(app, args);
}
