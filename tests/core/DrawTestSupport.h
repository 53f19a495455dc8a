// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared fixtures of the drawing tests: a measurer with fixed metrics, a canvas that
// records into a plain page, and prepared settings on the virtual printer.

#include <string>

#include "form/FormTransfer.h"
#include "preview/Metafile.h"
#include "preview/PrintPreview.h"
#include "preview/VirtualPrinter.h"
#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"

namespace zelk::testing {

/// Fixed metrics: every UTF-16 unit is one em wide; an em is points x res / 72 pixels.
class TFixedMeasurer : public TTextMeasurer {
 public:
  TTextExtent Measure(const TFont& font, const std::u16string& text, int32_t resX,
                      int32_t resY) const override {
    ++Calls;
    LastFont = font;
    LastResX = resX;
    LastResY = resY;
    const int64_t pts = font.Size();
    return {static_cast<int32_t>(static_cast<int64_t>(text.size()) * pts * resX / 72),
            static_cast<int32_t>(pts * resY / 72)};
  }
  mutable int Calls = 0;
  mutable TFont LastFont;
  mutable int32_t LastResX = 0;
  mutable int32_t LastResY = 0;
};

/// A recording canvas over its own page, measuring at 600 dpi.
struct TPageCanvas {
  TFixedMeasurer Measurer;
  TMetafileEx Page;
  TRecordingCanvas Canvas{Page, Measurer, 600, 600};
};

/// First-start settings on `printer` (A4 portrait 600 dpi by default) after `edit`,
/// prepared for drawing as the window does.
template <typename Edit>
TPrintSetting PreparedSettings(TVirtualPrinter& printer, Edit edit) {
  TPrintSetting s = FirstStartSettings(printer, u"A4");
  edit(s);
  PrepareForDrawing(s, printer);
  return s;
}

inline TPrintSetting PreparedSettings(TVirtualPrinter& printer) {
  return PreparedSettings(printer, [](TPrintSetting&) {});
}

}  // namespace zelk::testing
