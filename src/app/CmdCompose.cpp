// `zelk compose TEXT.txt [FILE] -o OUT.pdf|OUT.svg|OUT.png | --ops`: a text set into the
// sheet's cells, page after page.

#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>

#include "app/CommandJob.h"
#include "app/CommandLine.h"
#include "app/SheetRecording.h"
#include "preview/ManuscriptPages.h"
#include "preview/OpsFormat.h"
#include "preview/qt/AtomicFileDevice.h"
#include "preview/qt/Export.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

const QString kOutput = QStringLiteral("output");
const QString kOps = QStringLiteral("ops");

void AddOptions(QCommandLineParser& parser) {
  parser.addPositionalArgument(
      QStringLiteral("TEXT"),
      QStringLiteral("The text to set: UTF-8 (or code page 932), with Aozora ruby 漢字《かんじ》, "
                     "｜親文字《るび》 and ［＃改ページ］."),
      QStringLiteral("TEXT.txt"));
  AddSettingsFileArgument(parser);
  parser.addOption({{QStringLiteral("o"), kOutput},
                    QStringLiteral("Output: OUT.pdf (one file of every page), or OUT.svg or "
                                   "OUT.png (one file per page: OUT-001.png, OUT-002.png, ...)."),
                    QStringLiteral("OUT")});
  parser.addOption({kOps, QStringLiteral("Print the recorded pages in the op format instead.")});
  AddManuscriptOptions(parser);
  AddPngDpiOption(parser);
  AddQuietOption(parser);
  AddSheetOptions(parser);
}

// OUT.png gives OUT-001.png for the first page.
QString PagePath(const QString& path, int index) {
  const int dot = path.lastIndexOf(QLatin1Char('.'));
  return path.left(dot) + QStringLiteral("-%1").arg(index, 3, 10, QLatin1Char('0')) + path.mid(dot);
}

void WriteStdout(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    throw TCommandError{QStringLiteral("標準出力に書き込めません")};
}

int Run(QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.isEmpty())
    throw TUsageError{
        QStringLiteral("原稿のテキストファイルを指定してください（zelk compose TEXT.txt "
                       "[FILE.zelk] -o OUT.pdf）")};
  if (args.size() > 2) throw TUsageError{QStringLiteral("余分な引数 '%1' があります").arg(args[2])};
  const bool ops = parser.isSet(kOps);
  const QString out = parser.value(kOutput);
  if (ops == parser.isSet(kOutput))
    throw TUsageError{ops ? QStringLiteral("-o と --ops は一緒に使えません")
                          : QStringLiteral("出力を -o OUT.pdf|OUT.svg|OUT.png か --ops で指定して"
                                           "ください")};
  TExportFormat format = TExportFormat::Pdf;
  if (!ops) {
    const std::optional<TExportFormat> named = ExportFormatFor(out);
    if (!named || QFileInfo(out).completeBaseName().isEmpty())
      throw TUsageError{
          QStringLiteral("-o '%1' の形式が分かりません（OUT.pdf、OUT.svg、OUT.png）").arg(out)};
    format = *named;
  }
  TExportOptions exportOptions;
  exportOptions.PngDpi = PngDpiOption(parser, !ops && format == TExportFormat::Png);

  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = PreparedSheetSettings(parser, printer, args.size() > 1 ? &args[1] : nullptr);
  const std::unique_ptr<TManuscriptPages> text = ManuscriptForCommand(parser, args[0], s);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  // A PDF goes into its file page by page; the file is in place only when complete.
  TAtomicFileDevice pdfFile;
  std::unique_ptr<TPdfDocument> pdf;
  if (!ops && format == TExportFormat::Pdf) {
    if (!pdfFile.OpenFile(out)) throw TCommandError{pdfFile.Reason()};
    pdf = std::make_unique<TPdfDocument>(s.PrinterInfo, pdfFile);
  }
  if (ops) WriteStdout("zelk-ops 1\n");
  TCommandJob job(parser, text->PageCount());
  for (int i = 0; i < text->PageCount(); ++i) {
    job.Page(i);
    const TMetafileEx& page = RecordTextPageForCommand(*text, s, preview, i);
    QString error;
    if (ops) {
      std::ostringstream opsText;
      WriteOpsPage(opsText, page, i + 1);
      WriteStdout(opsText.str());
    } else if (pdf) {
      if (!pdf->AddPage(page, &error)) throw TCommandError{error};
    } else if (!ExportPage(page, s.PrinterInfo, PagePath(out, i + 1), exportOptions, &error)) {
      throw TCommandError{error};
    }
  }
  NoteTextLeftOut(*text);
  if (ops && std::fflush(stdout) != 0)
    throw TCommandError{QStringLiteral("標準出力に書き込めません")};
  if (pdf) {
    QString error;
    if (!pdf->Finish(QFileInfo(args[0]).completeBaseName(), &error))
      throw TCommandError{QStringLiteral("%1 に%2").arg(out, error)};
    if (!pdfFile.Commit()) throw TCommandError{pdfFile.Reason()};
  }
  return kExitOk;
}

}  // namespace

extern const TSubcommand kComposeCommand = {
    "compose", "Set a text into the sheet's cells, page after page (PDF, SVG, PNG or ops).",
    AddOptions, Run};

}  // namespace zelk
