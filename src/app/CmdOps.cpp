// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk ops [FILE]`: the recorded page in the canonical op format, on standard output.

#include <cstdio>

#include "app/CommandLine.h"
#include "app/SheetOptions.h"
#include "preview/OpsFormat.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

void AddOptions(QCommandLineParser& parser) {
  AddSettingsFileArgument(parser);
  AddSheetOptions(parser);
}

int Run(QCommandLineParser& parser) {
  RequireAtMostOneSettingsFile(parser);
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = PreparedSheetSettings(parser, printer);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  RecordSheetForCommand(s, preview);
  const std::string text = OpsText(preview);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::fputs("zelk: cannot write the ops to standard output\n", stderr);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

extern const TSubcommand kOpsCommand = {
    "ops", "Print the recorded page in the canonical op format (zelk-ops 1).", AddOptions, Run};

}  // namespace zelk
