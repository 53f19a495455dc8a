// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of preparing and laying out a sheet, the work done before every drawing.

#include <benchmark/benchmark.h>

#include "form/FormTransfer.h"
#include "preview/VirtualPrinter.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

void BM_PrepareAndLayout(benchmark::State& state) {
  TVirtualPrinter printer;
  TPrintSetting s = FirstStartSettings(printer, u"A4");
  s.Tate = s.Yoko = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    PrepareForDrawing(s, printer);
    ComputeLayout(s);
    benchmark::DoNotOptimize(s.CellSize);
  }
}
BENCHMARK(BM_PrepareAndLayout)->Arg(20)->Arg(40);

void BM_MmToDevice(benchmark::State& state) {
  TPrinterInfo info;
  info.LogPixelsX = info.LogPixelsY = 600;
  double mm = 0.3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MmToDevice(info, mm, true));
    mm += 1e-9;
  }
}
BENCHMARK(BM_MmToDevice);

}  // namespace
}  // namespace zelk
