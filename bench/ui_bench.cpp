// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a user feels them, offscreen: one keystroke in a margin field with the
// preview shown (ApplyChanges, Redraw and the repaint of the visible preview), and one
// scroll of the preview at the highest zoom; with a 100-page text set into the sheet,
// turning a page and one keystroke in a margin field. Each must fit in one frame at
// 60 Hz (16 ms).
//
// The blank sheet is the 40 x 40 round-dot sheet, the text's the default 20 x 20, both on
// the virtual A4 600-dpi printer. Every iteration checks that the preview's picture was
// really painted, so a change that silently stops repainting shows up as an error rather
// than as a fast figure.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "HundredPages.h"
#include "controls/qt/SaNumEdit.h"
#include "preview/ManuscriptPages.h"
#include "preview/Metafile.h"
#include "preview/PrintPreview.h"
#include "preview/qt/PrinterService.h"
#include "settings/PrintSetting.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"
#include "ui/RadioGroup.h"

namespace zelk {
namespace {

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
 public:
  int Paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return QObject::eventFilter(watched, event);
  }
};

// The main window and its shown preview, as after a first start, with the 40 x 40
// round-dot sheet designed (or, with `text`, the default sheet and the 100-page text set
// into it) and the preview at zoom position `zoom`.
struct TShownWindows {
  TPrinterService Printer;
  std::unique_ptr<TPreviewForm> Preview;
  std::unique_ptr<TMainForm> Form;
  TPaintCounter Counter;
  bool Exposed = false;
  int64_t LastPlacement = 0;

  explicit TShownWindows(int zoom, bool text = false) {
    Printer.SelectPrinter(QStringLiteral("PDF"));
    Printer.SetOrientation(TPrinterOrientation::poPortrait);
    Preview = std::make_unique<TPreviewForm>(Printer, nullptr, 1.0);
    Form = std::make_unique<TMainForm>(Printer, nullptr, 1.0);
    Form->SetPreviewForm(Preview.get());
    Form->ShowError = [](const QString&) {};
    Form->show();
    Form->ShowFirstStart();
    if (text) {
      Preview->SetText(std::make_unique<TManuscriptPages>(HundredPages(), TManuscriptStyle{}));
    } else {
      Form->SetSpinValue(TControl::SE_Tate, 40);
      Form->SetSpinValue(TControl::SE_Yoko, 40);
      Form->SetItemIndex(TControl::RG_LineType, 4);
    }
    Form->SetPreviewShown(true);
    Preview->TrackBar1->setValue(zoom);
    Exposed = QTest::qWaitForWindowExposed(Preview.get());
    Preview->Image()->installEventFilter(&Counter);
    QApplication::processEvents();
  }

  // Lets the event loop deliver the pending repaints; false when the picture was not
  // painted.
  bool Repainted() {
    const int before = Counter.Paints;
    QApplication::processEvents();
    return Counter.Paints > before;
  }
};

// Where the recorded page puts things: it moves with the top margin, so a keystroke that
// did not record the sheet again leaves it as it was.
int64_t PagePlacement(const TPrintPreview& recorder) {
  int64_t sum = 0;
  for (const TRecordedOp& op : recorder.GetPage(0)->Ops) sum += op.P1.Y;
  return sum;
}

// The top margin's text alternates between "12" (its designed value) and "1": each
// iteration is one keystroke, and both texts are valid margins.
void BM_KeystrokeWithPreview(benchmark::State& state) {
  const bool text = state.range(0) != 0;
  TShownWindows windows(5, text);
  if (!windows.Exposed) return state.SkipWithError("the preview was not shown");
  QWidget* top = windows.Form->NumEdit(TControl::NE_YohakuU);
  top->setFocus();
  QTest::keyClick(top, Qt::Key_End);
  windows.Repainted();
  windows.LastPlacement = PagePlacement(windows.Preview->Recorder());
  bool erase = true;
  for (auto _ : state) {
    QTest::keyClick(top, erase ? Qt::Key_Backspace : Qt::Key_2);
    const bool painted = windows.Repainted();
    state.PauseTiming();
    const double expected = erase ? 1.0 : 12.0;
    const int64_t placement = PagePlacement(windows.Preview->Recorder());
    const bool recorded =
        windows.Form->CurrentSetting->YohakuU == expected && placement != windows.LastPlacement;
    windows.LastPlacement = placement;
    erase = !erase;
    state.ResumeTiming();
    if (!recorded) return state.SkipWithError("the keystroke did not record the sheet again");
    if (!painted) return state.SkipWithError("the preview was not repainted");
  }
  state.counters["zoom"] = windows.Preview->ZoomFactor();
  if (text) state.counters["pages"] = windows.Preview->Text()->PageCount();
  state.SetLabel(text ? "100-page text on 20x20, zoom 1.0" : "40x40 round dots, zoom 1.0");
}

// Turning to the next page of the 100-page text and back, alternating, from page 50: the
// page recorded and the preview repainted.
void BM_TurnTextPage(benchmark::State& state) {
  TShownWindows windows(5, true);
  if (!windows.Exposed) return state.SkipWithError("the preview was not shown");
  QSlider* pages = windows.Preview->TB_Page;
  pages->setValue(50);
  windows.Repainted();
  int step = 1;
  for (auto _ : state) {
    pages->setValue(pages->value() + step);
    step = -step;
    const bool painted = windows.Repainted();
    if (windows.Preview->ShownPage() != pages->value())
      return state.SkipWithError("the page turned to was not recorded");
    if (!painted) return state.SkipWithError("the preview was not repainted");
  }
  state.counters["pages"] = windows.Preview->Text()->PageCount();
  state.SetLabel("100-page text on 20x20, zoom 1.0");
}

// One wheel notch down or up the page at zoom 8.2, alternating, from the middle of the
// page: the newly exposed strip and whatever the scroll area repaints with it.
void BM_ScrollAtHighestZoom(benchmark::State& state) {
  TShownWindows windows(41);
  if (!windows.Exposed) return state.SkipWithError("the preview was not shown");
  QScrollBar* bar = windows.Preview->ScrollBox()->verticalScrollBar();
  bar->setValue(bar->maximum() / 2);
  windows.Repainted();
  const int notch = bar->singleStep() * QApplication::wheelScrollLines();
  int direction = 1;
  for (auto _ : state) {
    bar->setValue(bar->value() + direction * notch);
    direction = -direction;
    if (!windows.Repainted()) return state.SkipWithError("the preview was not repainted");
  }
  state.counters["zoom"] = windows.Preview->ZoomFactor();
  state.counters["picture_px"] =
      static_cast<double>(windows.Preview->Image()->width()) * windows.Preview->Image()->height();
  // The whole process's peak, to be read against the picture's size: a raster of the
  // picture alone would take four bytes a pixel.
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
  state.SetLabel("40x40 round dots, zoom 8.2");
}

}  // namespace

BENCHMARK(BM_KeystrokeWithPreview)->Unit(benchmark::kMillisecond)->ArgName("text")->Arg(0)->Arg(1);
BENCHMARK(BM_TurnTextPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollAtHighestZoom)->Unit(benchmark::kMillisecond);

}  // namespace zelk
