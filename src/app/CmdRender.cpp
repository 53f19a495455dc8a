// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk render [FILE] -o OUT.pdf|OUT.svg|OUT.png`: the sheet as the program prints it.

#include <cstdio>
#include <optional>

#include "app/CommandLine.h"
#include "app/SheetOptions.h"
#include "preview/qt/Export.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

const QString kOutput = QStringLiteral("output");
const QString kFormat = QStringLiteral("format");
const QString kStdout = QStringLiteral("-");

void AddOptions(QCommandLineParser& parser) {
  AddSettingsFileArgument(parser);
  parser.addOption({{QStringLiteral("o"), kOutput},
                    QStringLiteral("Output file: OUT.pdf, OUT.svg or OUT.png; - writes to "
                                   "standard output (PDF unless --format says otherwise)."),
                    QStringLiteral("OUT")});
  parser.addOption({kFormat, QStringLiteral("Output format with -o -: pdf, svg or png."),
                    QStringLiteral("FORMAT")});
  AddPngDpiOption(parser);
  AddSheetOptions(parser);
}

// The output options, checked before anything is drawn.
TExportOptions OutputOptions(const QCommandLineParser& parser, QString& path,
                             TExportFormat& chosen) {
  if (!parser.isSet(kOutput))
    throw TUsageError{QStringLiteral("missing -o OUT.pdf|OUT.svg|OUT.png")};
  path = parser.value(kOutput);
  std::optional<TExportFormat> format;
  if (path == kStdout) {
    const QString name = parser.isSet(kFormat) ? parser.value(kFormat) : QStringLiteral("pdf");
    format = ExportFormatFor(QStringLiteral("out.") + name);
    if (!format || name.contains(QLatin1Char('.')))
      throw TUsageError{QStringLiteral("bad --format '%1' (pdf, svg or png)").arg(name)};
  } else {
    format = ExportFormatFor(path);
    if (path.isEmpty() || !format)
      throw TUsageError{QStringLiteral("bad -o '%1' (OUT.pdf, OUT.svg, OUT.png or -)").arg(path)};
    if (parser.isSet(kFormat)) throw TUsageError{QStringLiteral("--format applies only to -o -")};
  }
  chosen = *format;
  TExportOptions options;
  options.PngDpi = PngDpiOption(parser, *format == TExportFormat::Png);

  return options;
}

void WriteOutput(const QString& path, const QByteArray& bytes) {
  if (path == kStdout) {
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) !=
            static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0)
      throw TCommandError{QStringLiteral("cannot write to standard output")};
    return;
  }
  WriteFileForCommand(path, bytes);
}

int Run(QCommandLineParser& parser) {
  QString path;
  TExportFormat format = TExportFormat::Pdf;
  const TExportOptions options = OutputOptions(parser, path, format);
  RequireAtMostOneSettingsFile(parser);
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = PreparedSheetSettings(parser, printer);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  RecordSheetForCommand(s, preview);
  // The whole output in memory: a file is then replaced in one step, or standard output
  // gets it at once.
  QString error;
  QByteArray bytes;
  if (!ExportToBytes(*preview.GetPage(0), s.PrinterInfo, format, options, bytes, &error)) {
    std::fprintf(stderr, "zelk: %s\n", error.toUtf8().constData());
    return kExitFailure;
  }
  WriteOutput(path, bytes);
  return kExitOk;
}

}  // namespace

extern const TSubcommand kRenderCommand = {
    "render", "Draw the sheet as it prints, to a PDF, SVG or PNG file.", AddOptions, Run};

}  // namespace zelk
