// SPDX-License-Identifier: GPL-3.0-or-later
// Raw settings, as a damaged settings file could carry them, drawn and recorded: the
// drawing must neither crash nor run away, whatever the counts, modes and lengths.
//
// The input is read as a little stream of fields; missing bytes read as 0.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "preview/OpsFormat.h"
#include "preview/PrintPreview.h"
#include "preview/PrinterQuery.h"
#include "preview/SheetRecording.h"
#include "preview/VirtualPrinter.h"
#include "settings/NumberText.h"
#include "settings/PrintSetting.h"
#include "sheet/DrawSheet.h"
#include "sheet/Geometry.h"

namespace {

using namespace zelk;

class TReader {
 public:
  TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <typename T>
  T Next() {
    T v{};
    unsigned char buf[sizeof(T)] = {};
    for (size_t i = 0; i < sizeof(T) && pos_ < size_; ++i) buf[i] = data_[pos_++];
    std::memcpy(&v, buf, sizeof(T));
    return v;
  }
  int32_t Int() { return Next<int32_t>(); }
  // Small values most of the time, so that the fuzzer reaches real sheets; any int32
  // when the top bit of the selector is set.
  int32_t Count() {
    const uint8_t sel = Next<uint8_t>();
    return (sel & 0x80) ? Int() : static_cast<int32_t>(sel % 48) - 2;
  }
  double Length() {
    const uint8_t sel = Next<uint8_t>();
    if (sel & 0x80) return Next<double>();
    return static_cast<double>(Next<uint16_t>()) / 100.0;
  }
  std::u16string Text() {
    const uint8_t n = Next<uint8_t>() % 6;
    std::u16string t;
    for (uint8_t i = 0; i < n; ++i) t += static_cast<char16_t>(0x3041 + Next<uint8_t>());
    return t;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class TFixedMeasurer : public TTextMeasurer {
 public:
  TTextExtent Measure(const TFont& font, const std::u16string& text, int32_t resX,
                      int32_t resY) const override {
    const int64_t pts = font.Size() % 1000;
    return {static_cast<int32_t>(static_cast<int64_t>(text.size()) * pts * resX / 72),
            static_cast<int32_t>(pts * resY / 72)};
  }
};

std::u16string LengthText(double mm) { return FormatFloat0_00(mm); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TReader in(data, size);
  TVirtualPrinter printer;
  const int dpiX = 1 + in.Next<uint16_t>() % 1200;
  const int dpiY = 1 + in.Next<uint16_t>() % 1200;
  printer.SetResolution(dpiX, dpiY);
  printer.SetOffsets(in.Next<uint8_t>(), in.Next<uint8_t>());
  if (in.Next<uint8_t>() & 1) printer.SetOrientation(TPrinterOrientation::poLandscape);

  TPrintSetting s;
  GetPrinterInfo(s.PrinterInfo, printer);
  s.PaperWidth = in.Length();
  s.PaperHeight = in.Length();
  s.YohakuU = in.Length();
  s.YohakuL = in.Length();
  s.YohakuB = in.Length();
  s.YohakuR = in.Length();
  s.LineWidth = in.Length();
  s.OuterLineWidth = in.Length();
  s.OrimeWidth = in.Length();
  s.OutsideTextSpace = in.Length();
  s.Tate = in.Count();
  s.Yoko = in.Count();
  s.SetTategaki(in.Next<uint8_t>() & 1);
  s.LineType = in.Count();
  s.OrimeLineType = in.Count();
  s.Orime = in.Count();
  s.Gyobi = in.Count();
  const uint16_t flags = in.Next<uint16_t>();
  s.OuterLine = flags & 1;
  s.PageNumber = flags & 2;
  s.PN_UL = flags & 4, s.PN_UC = flags & 8, s.PN_UR = flags & 16, s.PN_LU = flags & 32;
  s.PN_LD = flags & 64, s.PN_RU = flags & 128, s.PN_RD = flags & 256, s.PN_BL = flags & 512;
  s.PN_BR = flags & 1024;
  s.PageNumberSpace = in.Count();
  s.PageNumberWidth = in.Count();
  s.PageNumberTitle = in.Text();
  s.CenterCaption = in.Text();
  s.BottomCaption = in.Text();
  s.TitleUL = in.Text(), s.TitleUR = in.Text(), s.TitleLU = in.Text(), s.TitleLD = in.Text();
  s.TitleBL = in.Text(), s.TitleBR = in.Text(), s.TitleRD = in.Text(), s.TitleRU = in.Text();
  s.TitleLUFont.SetSize(in.Count());
  s.LineColor = static_cast<TColor>(in.Next<uint32_t>());
  s.FoldColor = static_cast<TColor>(in.Next<uint32_t>());
  s.CountMarks = in.Count();
  s.CountLines = in.Count();

  ComputeArea(s, LengthText(s.PaperWidth), LengthText(s.PaperHeight), LengthText(s.YohakuU),
              LengthText(s.YohakuL), LengthText(s.YohakuB), LengthText(s.YohakuR));
  ComputePenWidths(s, LengthText(s.LineWidth));

  TFixedMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  RecordSheet(s, preview);
  // Whatever the settings, the page holds what can reach the paper, not what the
  // settings would draw on a paper of any size.
  const size_t ops = preview.GetPage(0)->Ops.size();
  if (ops > TMetafileEx::kMaxRecordedOps) std::abort();
  // The text form costs about a microsecond an op; pages of millions of ops would only
  // measure that.
  if (size > 0 && (data[0] & 0x0F) == 0 && ops <= 200'000) (void)OpsText(preview);
  return 0;
}
