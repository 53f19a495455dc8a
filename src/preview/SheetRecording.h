// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recording one sheet: the one sequence the preview, printing, the command line, the
// tests and the benchmarks all draw a sheet with.

#include <functional>
#include <string>

#include "compose/SheetText.h"
#include "preview/PrintPreview.h"
#include "settings/PrintSetting.h"

namespace zelk {

/// What recording one sheet came to.
struct TSheetRecording {
  /// DrawSheet ran to its end and reported success.
  bool Drawn = false;
  /// The page stopped at TMetafileEx::kMaxRecordedOps; what came later is missing.
  bool Truncated = false;
  /// What stopped the recording (UTF-8), empty when nothing did.
  std::string Failure;
};

/// Records `s` as the recorder's only page: BeginDoc, the canvas font set to the main
/// window font, `prepare` (when given) to bring `s` up to date, DrawSheet, EndDoc.
///
/// An exception from `prepare` or from the drawing ends the page where it stood and is
/// returned in Failure, so the recorder always holds one finished page afterwards and
/// can be shown or printed. DrawSheet may rename the side texts' fonts in `s` to their
/// vertical ("@") form. Throws only what BeginDoc and EndDoc throw for a recorder that
/// is printing (EPrintPreviewError).
///
/// `over`, when given, draws on the sheet after DrawSheet succeeded, with `s` as drawn
/// (prepared, its layout computed); its failure is returned as the drawing's.
TSheetRecording RecordSheet(TPrintSetting& s, TPrintPreview& preview,
                            const std::function<void(TPrintSetting&)>& prepare = {},
                            const std::function<void(TCanvas&)>& over = {});

/// Records one composed page as the recorder's only page: the sheet exactly as
/// RecordSheet records it, then the page's text set on it by `setter` (made for `s`),
/// then, when `pageNumber` is above 0, that number on the page-number lines. A failure
/// of either is returned as RecordSheet returns it.
TSheetRecording RecordComposedPage(TPrintSetting& s, TPrintPreview& preview,
                                   TSheetTextSetter& setter, const TComposedPage& page,
                                   int32_t pageNumber = 0);

}  // namespace zelk
