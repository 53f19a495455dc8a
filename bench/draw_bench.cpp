// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet's drawing path at 600 dpi, for the default A4 sheet, the 40 × 40 round-dot
// sheet and a sheet whose thirteen texts are as long as a field holds (32767 characters):
// recording (ComputeLayout + DrawSheet into the page recorder), replay onto a screen-sized
// image, PDF and SVG export (with their sizes in bytes), and `zelk render` as a whole
// process.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "form/FormTransfer.h"
#include "preview/SheetRecording.h"
#include "preview/VirtualPrinter.h"
#include "preview/qt/Export.h"
#include "preview/qt/PainterPlayback.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/Printsettingunit.h"
#include "settings/SettingFields.h"
#include "sheet/DrawSheet.h"

namespace zelk {
namespace {

enum TSheet { kDefaultSheet = 0, kDots40 = 1, kLongTexts = 2 };

// A prepared sheet on the virtual printer (A4, 600 dpi) with its recorder.
struct TBenchSheet {
  TVirtualPrinter Printer;
  TQtTextMeasurer Measurer;
  TPrintSetting Settings;
  std::unique_ptr<TPrintPreview> Preview;

  explicit TBenchSheet(int sheet) {
    Settings = FirstStartSettings(Printer, u"A4");
    if (sheet == kDots40) {
      for (const char* set : {"Tate=40", "Yoko=40", "LineType=4"}) {
        const std::string text(set);
        const auto eq = text.find('=');
        SetFieldFromText(Settings, *FindSettingField(text.substr(0, eq)), text.substr(eq + 1),
                         nullptr);
      }
    }
    if (sheet == kLongTexts) {
      Settings.PageNumber = true;
      for (const TSettingField& f : SettingFields())
        if (f.Kind == TFieldKind::Text && f.Text != &TPrintSetting::SettingName &&
            f.Text != &TPrintSetting::PaperName)
          Settings.*f.Text = std::u16string(kMaxFieldTextUnits, u'字');
    }
    PrepareForDrawing(Settings, Printer);
    Preview = std::make_unique<TPrintPreview>(Printer, Measurer);
    RecordSheet(Settings, *Preview);
  }
  const TMetafileEx& Page() const { return *Preview->GetPage(0); }
};

void SheetLabel(benchmark::State& state) {
  state.SetLabel(state.range(0) == kDots40      ? "40x40 round dots"
                 : state.range(0) == kLongTexts ? "13 texts of 32767 characters"
                                                : "default A4");
}

void BM_Record(benchmark::State& state) {
  TBenchSheet sheet(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    RecordSheet(sheet.Settings, *sheet.Preview);
    benchmark::DoNotOptimize(sheet.Preview->GetPage(0)->Ops.data());
  }
  state.counters["ops"] = static_cast<double>(sheet.Page().Ops.size());
  SheetLabel(state);
}

void ReplayScreen(benchmark::State& state, bool antialiasing) {
  TBenchSheet sheet(static_cast<int>(state.range(0)));
  QImage image(826, 1169, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawPage(painter, sheet.Page(), {0, 0, image.width(), image.height()}, antialiasing);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  SheetLabel(state);
}

void BM_ReplayScreen(benchmark::State& state) { ReplayScreen(state, false); }
void BM_ReplayScreenAntialiased(benchmark::State& state) { ReplayScreen(state, true); }

// One export of the sheet per iteration, its size in bytes as a counter.
void Export(benchmark::State& state, TExportFormat format) {
  TBenchSheet sheet(static_cast<int>(state.range(0)));
  qint64 bytes = 0;
  for (auto _ : state) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const bool ok = format == TExportFormat::Svg
                        ? ExportSvg(sheet.Page(), sheet.Settings.PrinterInfo, out)
                        : ExportPdf(sheet.Page(), sheet.Settings.PrinterInfo, out);
    if (!ok) {
      state.SkipWithError("export failed");
      break;
    }
    bytes = out.data().size();
  }
  state.counters[format == TExportFormat::Svg ? "svg_bytes" : "pdf_bytes"] =
      static_cast<double>(bytes);
  SheetLabel(state);
}

void BM_ExportPdf(benchmark::State& state) { Export(state, TExportFormat::Pdf); }
void BM_ExportSvg(benchmark::State& state) { Export(state, TExportFormat::Svg); }

// The zelk executable of the same build: <build>/src/zelk beside <build>/bench.
QString ZelkBinary() {
  const QDir bench(QCoreApplication::applicationDirPath());
  const QString path = bench.absoluteFilePath(QStringLiteral("../src/zelk"));
  return QFileInfo(path).isExecutable() ? path : QString();
}

void BM_RenderProcess(benchmark::State& state) {
  const QString zelk = ZelkBinary();
  if (zelk.isEmpty()) {
    state.SkipWithError("zelk executable not built beside the benchmarks");
    return;
  }
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("x.pdf"));
  for (auto _ : state) {
    QProcess proc;
    proc.start(zelk, {QStringLiteral("render"), QStringLiteral("-o"), out});
    if (!proc.waitForFinished(30000) || proc.exitCode() != 0) {
      state.SkipWithError("zelk render failed");
      break;
    }
  }
  state.SetLabel("zelk render -o x.pdf, default sheet");
}

BENCHMARK(BM_Record)
    ->Arg(kDefaultSheet)
    ->Arg(kDots40)
    ->Arg(kLongTexts)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReplayScreen)
    ->Arg(kDefaultSheet)
    ->Arg(kDots40)
    ->Arg(kLongTexts)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayScreenAntialiased)
    ->Arg(kDefaultSheet)
    ->Arg(kDots40)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPdf)
    ->Arg(kDefaultSheet)
    ->Arg(kDots40)
    ->Arg(kLongTexts)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSvg)
    ->Arg(kDefaultSheet)
    ->Arg(kDots40)
    ->Arg(kLongTexts)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace zelk
