#include "app/SheetRecording.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "preview/SheetRecording.h"
#include "preview/qt/PrinterService.h"
#include "settings/FormTransfer.h"

namespace zelk {

void AddSettingsFileArgument(QCommandLineParser& parser) {
  parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QStringLiteral("A .zelk settings file to draw (else the first-start settings)."),
      QStringLiteral("[FILE]"));
}

void RequireAtMostOneSettingsFile(const QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.size() > 1) throw TUsageError{QStringLiteral("unexpected argument '%1'").arg(args[1])};
}

TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer) {
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer);
  PrepareForDrawing(s, printer);
  return s;
}

TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer,
                                    const QString* file) {
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer, file);
  PrepareForDrawing(s, printer);
  return s;
}

void RecordSheetForCommand(TPrintSetting& s, TPrintPreview& preview) {
  const TSheetRecording r = RecordSheet(s, preview);
  if (!r.Failure.empty())
    throw TCommandError{
        QStringLiteral("the sheet cannot be drawn: %1").arg(QString::fromStdString(r.Failure))};
  if (r.Truncated)
    std::fprintf(stderr,
                 "zelk: warning: the sheet needs more than %zu drawing operations; only the "
                 "first are drawn\n",
                 TMetafileEx::kMaxRecordedOps);
}

}  // namespace zelk
