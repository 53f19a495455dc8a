// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk layout`: the sheet's layout figures on the chosen printer.

#include <cstdio>

#include "app/CommandLine.h"
#include "form/FormTransfer.h"
#include "preview/qt/PrinterService.h"
#include "settings/NumberText.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

void AddOptions(QCommandLineParser& parser) { AddSheetOptions(parser); }

int Run(QCommandLineParser& parser) {
  if (!parser.positionalArguments().isEmpty())
    throw TUsageError{
        QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0])};
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = SheetSettingsFromOptions(parser, printer);
  PrepareForDrawing(s, printer);
  ComputeLayout(s);
  const TPrinterInfo& p = s.PrinterInfo;
  const TDeviceRect frame = FrameRect(s);
  const TDeviceRect outer = OuterLineRect(s);
  std::printf("printer      %s\n", ToUtf8(printer.PrinterName()).c_str());
  std::printf("paper        %s %s x %s mm (%s)\n", ToUtf8(s.PaperName).c_str(),
              ToUtf8(FormatFloat0_00(p.PaperWidthMm)).c_str(),
              ToUtf8(FormatFloat0_00(p.PaperHeightMm)).c_str(), s.Portrait ? "縦長" : "横長");
  std::printf("resolution   %d x %d dpi\n", p.LogPixelsX, p.LogPixelsY);
  std::printf("paper px     %d x %d\n", p.PhysicalWidth, p.PhysicalHeight);
  std::printf("printable    %d x %d at (%d, %d)\n", p.HorzRes, p.VertRes, p.PhysicalOffsetX,
              p.PhysicalOffsetY);
  std::printf("grid         %d x %d cells, %s\n", s.Yoko, s.Tate,
              s.Tategaki ? "縦書き用" : "横書き用");
  std::printf("area         %d x %d\n", s.AreaWidth, s.AreaHeight);
  std::printf("origin       (%d, %d)\n", s.OriginX, s.OriginY);
  std::printf("cell size    %d\n", s.CellSize);
  std::printf("pitch        %d x %d\n", s.PitchX, s.PitchY);
  std::printf("fold         %d x %d (halves %d, %d)\n", s.FoldX, s.FoldY, s.HalfYoko, s.HalfTate);
  std::printf("pen width    %d x %d\n", s.PenWidthX, s.PenWidthY);
  std::printf("frame        (%d, %d) - (%d, %d)\n", frame.Left, frame.Top, frame.Right,
              frame.Bottom);
  std::printf("outer line   (%d, %d) - (%d, %d)\n", outer.Left, outer.Top, outer.Right,
              outer.Bottom);
  const TCellWidth& e = s.Cell.CellOuter;
  std::printf("cell edge    step (%d, %d), dot %d x %d, %d x %d dots at (%d, %d)\n", e.StepX,
              e.StepY, e.DotWidth, e.DotHeight, e.DotCountX, e.DotCountY, e.DotPitchX, e.DotPitchY);
  const TCellWidth& g = s.Cell.GapStart;
  std::printf("gap edge     step (%d, %d), %d x %d dots at (%d, %d)\n", g.StepX, g.StepY,
              g.DotCountX, g.DotCountY, g.DotPitchX, g.DotPitchY);
  return kExitOk;
}

}  // namespace

extern const TSubcommand kLayoutCommand = {"layout", "Print the sheet's layout figures.",
                                           AddOptions, Run};

}  // namespace zelk
