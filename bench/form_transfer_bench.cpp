// SPDX-License-Identifier: GPL-3.0-or-later
// The settings form round trip that runs after every change in the window and before
// every drawing, and the numeric edit's work per typed character and per paint.

#include <benchmark/benchmark.h>

#include <QPixmap>

#include "controls/SaNumEditModel.h"
#include "controls/qt/SaNumEdit.h"
#include "form/FormTransfer.h"
#include "preview/VirtualPrinter.h"

namespace zelk {
namespace {

void BM_ReadFromForm(benchmark::State& state) {
  TVirtualPrinter printer;
  THeadlessSettingsForm form;
  form.ShowPrinterInfo(printer, u"A4");
  TPrintSetting s;
  for (auto _ : state) {
    ReadFromForm(s, form, printer);
    benchmark::DoNotOptimize(s.AreaWidth);
  }
}
BENCHMARK(BM_ReadFromForm);

void BM_WriteThenReadThroughAFreshForm(benchmark::State& state) {
  TVirtualPrinter printer;
  TPrintSetting s = FirstStartSettings(printer, u"A4");
  for (auto _ : state) {
    PrepareForDrawing(s, printer);
    benchmark::DoNotOptimize(s.PenWidthX);
  }
}
BENCHMARK(BM_WriteThenReadThroughAFreshForm);

// Typing nine digits and three decimals, then deleting them again.
void BM_TypeAndDelete(benchmark::State& state) {
  TSaNumEditModel m;
  for (auto _ : state) {
    for (char16_t c : std::u16string(u"123456789.125")) m.KeyPress(c);
    while (!m.GetText().empty()) m.OneCharDelete();
    benchmark::DoNotOptimize(m.ValText());
  }
}
BENCHMARK(BM_TypeAndDelete);

void BM_PaintNumEdit(benchmark::State& state) {
  TSaNumEdit edit;
  edit.SetText("1234567.891");
  QPixmap target(edit.size());
  for (auto _ : state) {
    edit.render(&target);
    benchmark::DoNotOptimize(target.cacheKey());
  }
}
BENCHMARK(BM_PaintNumEdit);

}  // namespace
}  // namespace zelk
