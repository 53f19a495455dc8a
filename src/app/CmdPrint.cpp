// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk print [FILE] [--printer NAME] [-o OUT.pdf] [--text TEXT.txt]`: the sheet recorded
// as `render` records it, or every page of a text set into it as `compose` sets it, and
// printed through the same path as the window's print buttons, as one job.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "app/CommandJob.h"
#include "app/CommandLine.h"
#include "app/SheetOptions.h"
#include "form/FormTransfer.h"
#include "preview/ManuscriptPages.h"
#include "preview/PrinterQuery.h"
#include "preview/VirtualPrinter.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/Printing.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

const QString kOutput = QStringLiteral("output");
const QString kPrinter = QStringLiteral("printer");
const QString kText = QStringLiteral("text");

void AddOptions(QCommandLineParser& parser) {
  AddSettingsFileArgument(parser);
  parser.addOption({{QStringLiteral("o"), kOutput},
                    QStringLiteral("Output file of the printer \"PDF\" (selects it when no "
                                   "--printer is given)."),
                    QStringLiteral("OUT.pdf")});
  parser.addOption({kText,
                    QStringLiteral("Print every page of this text set into the sheet's cells "
                                   "(as compose sets it)."),
                    QStringLiteral("TEXT.txt")});
  AddManuscriptOptions(parser);
  AddQuietOption(parser);
  AddSheetOptions(parser);
}

// -o belongs to the virtual printer: it selects it when no printer is named, and is an
// error beside a CUPS queue, whose output goes to the queue.
void SelectOutput(const QCommandLineParser& parser, TPrinterService& printer) {
  const bool named = parser.isSet(kPrinter);
  const bool virtualNamed =
      named && TVirtualPrinter::IsItsName(parser.value(kPrinter).toStdU16String());
  if (parser.isSet(kOutput)) {
    if (named && !virtualNamed)
      throw TUsageError{QStringLiteral("-o applies only to the printer \"PDF\"")};
    const QString out = parser.value(kOutput);
    if (out.isEmpty()) throw TUsageError{QStringLiteral("empty -o")};
    // The printer writes into what it is given: a device or a FIFO is refused here.
    struct stat st;
    if (::stat(NativePath(out).c_str(), &st) == 0 && !S_ISREG(st.st_mode))
      throw TCommandError{
          QStringLiteral("「%1」に出力できません: 通常のファイルではありません").arg(out)};
    printer.SelectPrinter(QString::fromUtf16(TVirtualPrinter::kName));
    printer.SetOutputFile(out);
  } else if (virtualNamed || (!named && printer.IsVirtual())) {
    throw TUsageError{QStringLiteral("the printer \"PDF\" needs -o OUT.pdf")};
  }
}

// A design from a file prints on its own paper: a queue's media of that size, or the
// virtual printer set to it. When the queue has none, nothing is printed cut off: the
// command fails naming the papers the queue has, unless --paper chose one of them, on
// which the design is then laid out.
void PutDesignOnItsPaper(const QCommandLineParser& parser, TPrintSetting& s,
                         TPrinterService& printer) {
  printer.SetOrientation(s.Portrait ? TPrinterOrientation::poPortrait
                                    : TPrinterOrientation::poLandscape);
  const bool usable = IsUsablePaperSize(s.PaperWidth, s.PaperHeight);
  if (!usable && !parser.isSet(QStringLiteral("paper")))
    std::fprintf(stderr, "zelk: note: %s\n",
                 QStringLiteral("the design's paper (%1 x %2 mm) has no usable size; it is laid "
                                "out on the printer's paper")
                     .arg(s.PaperWidth)
                     .arg(s.PaperHeight)
                     .toUtf8()
                     .constData());
  TPrinterInfo info;
  GetPrinterInfo(info, printer);
  if (!usable || parser.isSet(QStringLiteral("paper"))) {
    s.PaperWidth = info.PaperWidthMm;
    s.PaperHeight = info.PaperHeightMm;
    s.PaperName = printer.PaperName().toStdU16String();
    return;
  }
  if (IsSamePaperSize(info.PaperWidthMm, info.PaperHeightMm, s.PaperWidth, s.PaperHeight)) return;
  const double shortSide = std::min(s.PaperWidth, s.PaperHeight);
  const double longSide = std::max(s.PaperWidth, s.PaperHeight);
  QStringList offered;
  const bool selected = printer.SelectPaperOfSize(QString::fromStdU16String(s.PaperName), shortSide,
                                                  longSide, &offered);
  if (!selected)
    throw TUsageError{
        QStringLiteral("the printer %1 has no paper of the design's size (%2 x %3 mm); it has: "
                       "%4. --paper PAPER prints the design laid out on one of them")
            .arg(QString::fromStdU16String(printer.PrinterName()))
            .arg(shortSide)
            .arg(longSide)
            .arg(offered.isEmpty() ? QStringLiteral("none") : offered.join(QStringLiteral(", ")))};
}

int Run(QCommandLineParser& parser) {
  RequireAtMostOneSettingsFile(parser);
  TPrinterService& printer = TPrinterService::Instance();
  SelectOutput(parser, printer);
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer);
  if (!parser.positionalArguments().isEmpty()) PutDesignOnItsPaper(parser, s, printer);
  PrepareForDrawing(s, printer);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  TPrintResult result;
  RequireTextForManuscriptOptions(parser, parser.isSet(kText));
  if (parser.isSet(kText)) {
    const std::unique_ptr<TManuscriptPages> text =
        ManuscriptForCommand(parser, parser.value(kText), s);
    // Each page is recorded as the printer takes it. A signal aborts the job at the next
    // page, and what the printer had is thrown away.
    TCommandJob job(parser, text->PageCount());
    result = PrintPages(
        text->PageCount(),
        [&](int i) -> const TMetafileEx& {
          try {
            job.Page(i);
            return RecordTextPageForCommand(*text, s, preview, i);
          } catch (const TCommandError& e) {  // aborts the job with its reason
            throw std::runtime_error(e.Message.toStdString());
          } catch (const TJobInterrupted&) {
            throw std::runtime_error("interrupted");
          }
        },
        printer);
    job.ThrowIfInterrupted();
    NoteTextLeftOut(*text);
  } else {
    RecordSheetForCommand(s, preview);
    result = PrintPages(preview, printer);
  }
  if (!result.Warning.isEmpty())
    std::fprintf(stderr, "zelk: warning: %s\n", result.Warning.toUtf8().constData());
  switch (result.Outcome) {
    case TPrintOutcome::Printed:
      return kExitOk;
    case TPrintOutcome::BeginFailed:
    case TPrintOutcome::EndFailed:
      throw TCommandError{result.Error};
    case TPrintOutcome::Aborted:
    case TPrintOutcome::Cancelled:
      throw TCommandError{QStringLiteral("印刷を中止しました: %1").arg(result.Error)};
  }
  return kExitFailure;
}

}  // namespace

extern const TSubcommand kPrintCommand = {
    "print", "Print the sheet on a CUPS queue, or with -o to a PDF file.", AddOptions, Run};

}  // namespace zelk
