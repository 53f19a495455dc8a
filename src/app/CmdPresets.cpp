// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk presets`: the names of the ready-made sheets, one a line, for --preset.

#include <cstdio>

#include "app/CommandLine.h"
#include "settings/SheetPresets.h"

namespace zelk {
namespace {

void AddOptions(QCommandLineParser&) {}

int Run(QCommandLineParser& parser) {
  if (!parser.positionalArguments().isEmpty())
    throw TUsageError{
        QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0])};
  // The command line flushes standard output after the command and fails when it cannot.
  for (const TSheetPreset& p : SheetPresets()) std::printf("%s\n", p.Name);
  return kExitOk;
}

}  // namespace

extern const TSubcommand kPresetsCommand = {
    "presets", "List the ready-made sheets that --preset takes, one name a line.", AddOptions, Run};

}  // namespace zelk
