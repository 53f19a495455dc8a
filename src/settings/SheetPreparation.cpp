#include "settings/SheetPreparation.h"

#include <algorithm>

#include "settings/NumberText.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

// A length as its control shows it and gives it back.
double ThroughText(double mm) {
  double v = 0;
  return TryStrToFloat(FormatFloat0_00(mm), v) ? v : 0.0;
}

}  // namespace

TPrintSetting FirstStartSettings(TPrinterDevice& printer, const std::u16string& paperName) {
  TPrintSetting s;
  s.PaperName = paperName;
  s.Portrait = printer.Orientation() == TPrinterOrientation::poPortrait;
  TPrinterInfo info;
  GetPrinterInfo(info, printer);
  s.PaperWidth = ThroughText(info.PaperWidthMm);
  s.PaperHeight = ThroughText(info.PaperHeightMm);
  return s;
}

void PrepareForDrawing(TPrintSetting& s, TPrinterDevice& printer) {
  printer.SetOrientation(s.Portrait ? TPrinterOrientation::poPortrait
                                    : TPrinterOrientation::poLandscape);
  GetPrinterInfo(s.PrinterInfo, printer);
  s.Tate = std::clamp(s.Tate, 1, 40);
  s.Yoko = std::clamp(s.Yoko, 1, 40);
  const std::u16string width = FormatFloat0_00(s.PaperWidth);
  const std::u16string height = FormatFloat0_00(s.PaperHeight);
  const std::u16string top = FormatFloat0_00(s.YohakuU);
  const std::u16string left = FormatFloat0_00(s.YohakuL);
  const std::u16string bottom = FormatFloat0_00(s.YohakuB);
  const std::u16string right = FormatFloat0_00(s.YohakuR);
  s.PaperWidth = ThroughText(s.PaperWidth);
  s.PaperHeight = ThroughText(s.PaperHeight);
  s.YohakuU = ThroughText(s.YohakuU);
  s.YohakuL = ThroughText(s.YohakuL);
  s.YohakuB = ThroughText(s.YohakuB);
  s.YohakuR = ThroughText(s.YohakuR);
  ComputeArea(s, width, height, top, left, bottom, right);
  s.OrimeWidth = ThroughText(s.OrimeWidth);
  ComputePenWidths(s, FormatFloat0_00(s.LineWidth));
  s.LineWidth = std::max(0.1, ThroughText(s.LineWidth));
  s.OuterLineWidth = ThroughText(s.OuterLineWidth);
  s.OutsideTextSpace = ThroughText(s.OutsideTextSpace);
}

}  // namespace zelk
