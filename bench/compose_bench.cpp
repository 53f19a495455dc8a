// SPDX-License-Identifier: GPL-3.0-or-later
// Composing a 100-page text (40,000 characters) on the default A4 sheet at 600 dpi: the
// composition alone, recording one page (what turning a page costs), every page recorded
// and written as one PDF (with its bytes per page), and `zelk compose -o x.pdf` as a
// whole process.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "HundredPages.h"
#include "base/Utf8.h"
#include "compose/Manuscript.h"
#include "compose/SheetText.h"
#include "form/FormTransfer.h"
#include "preview/SheetRecording.h"
#include "preview/VirtualPrinter.h"
#include "preview/qt/Export.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

struct TBenchText {
  TVirtualPrinter Printer;
  TQtTextMeasurer Measurer;
  TPrintSetting Settings;
  std::u16string Text = HundredPages();
  std::vector<TComposedPage> Pages;

  TBenchText() {
    Settings = FirstStartSettings(Printer, u"A4");
    PrepareForDrawing(Settings, Printer);
    Pages = ComposeManuscript(Text, SheetComposeOptions(Settings));
  }
};

void BM_Compose(benchmark::State& state) {
  TBenchText t;
  for (auto _ : state) {
    auto pages = ComposeManuscript(t.Text, SheetComposeOptions(t.Settings));
    benchmark::DoNotOptimize(pages.data());
  }
  state.counters["pages"] = static_cast<double>(t.Pages.size());
}

void BM_RecordComposedPage(benchmark::State& state) {
  TBenchText t;
  TPrintPreview preview(t.Printer, t.Measurer);
  TSheetTextSetter setter(t.Settings);
  RecordComposedPage(t.Settings, preview, setter, t.Pages[0]);  // the measures kept
  size_t page = 0;
  for (auto _ : state) {
    RecordComposedPage(t.Settings, preview, setter, t.Pages[page++ % t.Pages.size()]);
    benchmark::DoNotOptimize(preview.GetPage(0)->Ops.data());
  }
}

void BM_ComposedPdf(benchmark::State& state) {
  TBenchText t;
  qint64 bytes = 0;
  for (auto _ : state) {
    TPrintPreview preview(t.Printer, t.Measurer);
    TSheetTextSetter setter(t.Settings);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TPdfDocument pdf(t.Settings.PrinterInfo, out);
    for (const TComposedPage& page : t.Pages) {
      RecordComposedPage(t.Settings, preview, setter, page);
      pdf.AddPage(*preview.GetPage(0));
    }
    pdf.Finish(QStringLiteral("bench"));
    bytes = out.size();
  }
  state.counters["pages"] = static_cast<double>(t.Pages.size());
  state.counters["pdf_bytes_per_page"] = static_cast<double>(bytes) / t.Pages.size();
}

void BM_ComposeProcess(benchmark::State& state) {
  const QString zelk =
      QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../src/zelk"));
  if (!QFileInfo(zelk).isExecutable()) {
    state.SkipWithError("zelk executable not built beside the benchmarks");
    return;
  }
  QTemporaryDir dir;
  QFile text(dir.filePath(QStringLiteral("text.txt")));
  text.open(QIODevice::WriteOnly);
  const std::string bytes = ToUtf8(HundredPages());
  text.write(bytes.data(), static_cast<qint64>(bytes.size()));
  text.close();
  const QString out = dir.filePath(QStringLiteral("x.pdf"));
  for (auto _ : state) {
    QProcess proc;
    proc.start(zelk, {QStringLiteral("compose"), text.fileName(), QStringLiteral("--printer"),
                      QStringLiteral("PDF"), QStringLiteral("-o"), out});
    if (!proc.waitForFinished(60000) || proc.exitCode() != 0) {
      state.SkipWithError("zelk compose failed");
      break;
    }
  }
  state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(out).size());
  state.SetLabel("zelk compose -o x.pdf, 40,000 characters");
}

BENCHMARK(BM_Compose)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordComposedPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposedPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ComposeProcess)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace zelk
