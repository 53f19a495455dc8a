#include "app/SheetRecording.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "preview/qt/PrinterService.h"
#include "settings/FormTransfer.h"
#include "sheet/DrawSheet.h"

namespace zelk {

void AddSettingsFileArgument(QCommandLineParser& parser) {
  parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QStringLiteral("A .zelk settings file to draw (else the first-start settings)."),
      QStringLiteral("[FILE]"));
}

bool CheckSettingsFileArgument(const QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.size() > 1) throw TUsageError{QStringLiteral("unexpected argument '%1'").arg(args[1])};
  return true;
}

TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer) {
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer);
  PrepareForDrawing(s, printer);
  return s;
}

void RecordSheet(TPrintSetting& s, TPrintPreview& preview) {
  preview.BeginDoc();
  preview.GetCanvas().AssignFont(MainWindowFont());
  DrawSheet(s, &preview.GetCanvas());
  preview.EndDoc();
  if (preview.GetPage(0)->Truncated)
    std::fprintf(stderr,
                 "zelk: warning: the sheet needs more than %zu drawing operations; only the "
                 "first are drawn\n",
                 TMetafileEx::kMaxRecordedOps);
}

}  // namespace zelk
