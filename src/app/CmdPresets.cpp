// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk presets`: the names of the ready-made sheets, one a line, for --preset.

#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "settings/SheetPresets.h"

namespace zelk {
namespace {

void AddOptions(QCommandLineParser&) {}

int Run(QCommandLineParser& parser) {
  if (!parser.positionalArguments().isEmpty())
    throw TUsageError{
        QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0])};
  std::string out;
  for (const TSheetPreset& p : SheetPresets()) out += std::string(p.Name) + "\n";
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fputs("zelk: cannot write the presets to standard output\n", stderr);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

extern const TSubcommand kPresetsCommand = {
    "presets", "List the ready-made sheets that --preset takes, one name a line.", AddOptions, Run};

}  // namespace zelk
