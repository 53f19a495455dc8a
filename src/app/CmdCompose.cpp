// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk compose TEXT.txt [FILE] -o OUT.pdf|OUT.svg|OUT.png | --ops`: a text set into the
// sheet's cells, page after page.

#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>

#include "app/CommandJob.h"
#include "app/CommandLine.h"
#include "app/SheetOptions.h"
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
const QString kCount = QStringLiteral("count");
const QString kJson = QStringLiteral("json");

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
  parser.addOption({kCount, QStringLiteral("Print how long the text is instead: its characters, "
                                           "its 400字詰め sheets (20 x 20) and its pages on "
                                           "the sheet.")});
  parser.addOption({kJson, QStringLiteral("With --count: as one JSON object.")});
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

// --count: the text's length, without drawing a page.
int RunCount(const QCommandLineParser& parser, const QStringList& args) {
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = PreparedSheetSettings(parser, printer, args.size() > 1 ? &args[1] : nullptr);
  const std::unique_ptr<TManuscriptPages> text = ManuscriptForCommand(parser, args[0], s);
  const TTextCount& count = text->Count();
  const int pages = text->PageCount();
  const std::string line = parser.isSet(kJson)
                               ? "{\"characters\": " + std::to_string(count.Characters) +
                                     ", \"sheets400\": " + std::to_string(count.Sheets400) +
                                     ", \"pages\": " + std::to_string(pages) + "}\n"
                               : "文字数: " + std::to_string(count.Characters) +
                                     "\n400字詰め: " + std::to_string(count.Sheets400) +
                                     " 枚\nこの用紙: " + std::to_string(pages) + " ページ\n";
  WriteStdout(line);
  if (std::fflush(stdout) != 0) throw TCommandError{QStringLiteral("標準出力に書き込めません")};
  return kExitOk;
}

int Run(QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.isEmpty())
    throw TUsageError{
        QStringLiteral("原稿のテキストファイルを指定してください（zelk compose TEXT.txt "
                       "[FILE.zelk] -o OUT.pdf）")};
  if (args.size() > 2) throw TUsageError{QStringLiteral("余分な引数 '%1' があります").arg(args[2])};
  if (parser.isSet(kJson) && !parser.isSet(kCount))
    throw TUsageError{QStringLiteral("--json は --count と一緒に使います")};
  if (parser.isSet(kCount)) {
    if (parser.isSet(kOps) || parser.isSet(kOutput))
      throw TUsageError{QStringLiteral("--count は -o や --ops と一緒に使えません")};
    return RunCount(parser, args);
  }
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
