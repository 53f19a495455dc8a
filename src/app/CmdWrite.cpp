// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk write [IN.zelk] -o OUT.zelk|- [--set Field=Value]...`: a settings file from the
// first-start settings or another file, with changes, saved atomically (or written to
// standard output).

#include <cstdio>

#include "app/CommandLine.h"
#include "form/FormTransfer.h"
#include "preview/qt/PrinterService.h"
#include "settings/SettingsFileIO.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

void AddOptions(QCommandLineParser& parser) {
  AddSheetOptions(parser);
  parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                    QStringLiteral("The settings file to write; replaced atomically. - writes "
                                   "to standard output."),
                    QStringLiteral("OUT.zelk")});
  parser.addPositionalArgument(
      QStringLiteral("IN"),
      QStringLiteral("A .zelk settings file to start from (else the first-start settings)."),
      QStringLiteral("[IN.zelk]"));
}

int Run(QCommandLineParser& parser) {
  const QString out = parser.value(QStringLiteral("output"));
  if (out.isEmpty()) throw TUsageError{QStringLiteral("write needs -o OUT.zelk")};
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer);
  // The cell records are derived values; store them as a drawing of these settings
  // leaves them, as a file saved from the window holds them. Nothing else changes.
  TPrintSetting drawn = s;
  PrepareForDrawing(drawn, printer);
  ComputeLayout(drawn);
  s.Cell = drawn.Cell;
  if (out == QLatin1String("-")) {
    TMemoryWriter bytes;
    WriteSettingsFile(bytes, s);
    if (std::fwrite(bytes.Bytes().data(), 1, bytes.Bytes().size(), stdout) !=
            bytes.Bytes().size() ||
        std::fflush(stdout) != 0)
      throw TCommandError{QStringLiteral("cannot write the settings file to standard output")};
  } else {
    std::string error;
    if (!SaveSettingsFile(NativePath(out), s, &error))
      throw TCommandError{QString::fromStdString(error)};
  }
  // Code page 932 keeps most but not all characters; say which were replaced.
  for (const std::string& note : Cp932SubstitutionNotes(s))
    std::fprintf(stderr, "zelk: note: %s\n", note.c_str());
  return kExitOk;
}

}  // namespace

extern const TSubcommand kWriteCommand = {
    "write", "Write a settings file: the first-start settings or IN, with every --set.", AddOptions,
    Run};

}  // namespace zelk
