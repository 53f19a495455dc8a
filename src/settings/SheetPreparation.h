#pragma once
// How a settings record becomes ready to draw outside the window: the values pass
// through the texts the main window's controls would show, and come back the way the
// controls give them.

#include <string>

#include "preview/PrinterDevice.h"
#include "settings/PrintSetting.h"

namespace zelk {

/// The settings of a first start: the designed defaults, with the printer's paper name,
/// orientation and paper size as the main window shows them (the sizes through their
/// "#0.##" texts).
TPrintSetting FirstStartSettings(TPrinterDevice& printer, const std::u16string& paperName);

/// Brings `s` up to date for drawing as the window does before every drawing: sets the
/// printer's orientation from `Portrait`, refreshes `PrinterInfo`, holds `Tate` and
/// `Yoko` within 1..40, rounds every length to its "#0.##" text, computes the area values
/// and pen widths from those texts, and raises `LineWidth` to at least 0.1.
void PrepareForDrawing(TPrintSetting& s, TPrinterDevice& printer);

}  // namespace zelk
