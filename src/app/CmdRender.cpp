// `zelk render [FILE] -o OUT.pdf|OUT.svg|OUT.png`: the sheet as the program prints it.

#include <cstdio>

#include "app/CommandLine.h"
#include "app/SheetRecording.h"
#include "preview/qt/Export.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

const QString kOutput = QStringLiteral("output");
const QString kPngDpi = QStringLiteral("png-dpi");

void AddOptions(QCommandLineParser& parser) {
  AddSettingsFileArgument(parser);
  parser.addOption({{QStringLiteral("o"), kOutput},
                    QStringLiteral("Output file: OUT.pdf, OUT.svg or OUT.png."),
                    QStringLiteral("OUT")});
  parser.addOption({kPngDpi,
                    QStringLiteral("Resolution of PNG output, 1 to %1 dpi (default %2).")
                        .arg(kMaxPngDpi)
                        .arg(kDefaultPngDpi),
                    QStringLiteral("N")});
  AddSheetOptions(parser);
}

// The output options, checked before anything is drawn.
TExportOptions OutputOptions(const QCommandLineParser& parser, QString& path) {
  if (!parser.isSet(kOutput))
    throw TUsageError{QStringLiteral("missing -o OUT.pdf|OUT.svg|OUT.png")};
  path = parser.value(kOutput);
  const auto format = ExportFormatFor(path);
  if (path.isEmpty() || !format)
    throw TUsageError{QStringLiteral("bad -o '%1' (OUT.pdf, OUT.svg or OUT.png)").arg(path)};
  TExportOptions options;
  if (parser.isSet(kPngDpi)) {
    const QString text = parser.value(kPngDpi);
    bool ok = false;
    options.PngDpi = text.toInt(&ok);
    if (!ok || options.PngDpi < 1 || options.PngDpi > kMaxPngDpi)
      throw TUsageError{QStringLiteral("bad --png-dpi '%1' (1 to %2)").arg(text).arg(kMaxPngDpi)};
    if (*format != TExportFormat::Png)
      throw TUsageError{QStringLiteral("--png-dpi applies only to PNG output")};
  }
  return options;
}

int Run(QCommandLineParser& parser) {
  QString path;
  const TExportOptions options = OutputOptions(parser, path);
  RequireAtMostOneSettingsFile(parser);
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = PreparedSheetSettings(parser, printer);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  RecordSheetForCommand(s, preview);
  QString error;
  if (!ExportPage(*preview.GetPage(0), s.PrinterInfo, path, options, &error)) {
    std::fprintf(stderr, "zelk: %s\n", error.toUtf8().constData());
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

extern const TSubcommand kRenderCommand = {
    "render", "Draw the sheet as it prints, to a PDF, SVG or PNG file.", AddOptions, Run};

}  // namespace zelk
