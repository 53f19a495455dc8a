// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/SheetRecording.h"

#include <exception>

#include "sheet/DrawSheet.h"

namespace zelk {

TSheetRecording RecordSheet(TPrintSetting& s, TPrintPreview& preview,
                            const std::function<void(TPrintSetting&)>& prepare,
                            const std::function<void(TCanvas&)>& over) {
  TSheetRecording result;
  preview.BeginDoc();
  try {
    preview.GetCanvas().AssignFont(MainWindowFont());
    if (prepare) prepare(s);
    result.Drawn = DrawSheet(s, &preview.GetCanvas());
    if (result.Drawn && over) {
      preview.MarkSheet();
      over(preview.GetCanvas());
    }
  } catch (const std::exception& e) {
    result.Failure = e.what();
  } catch (...) {
    result.Failure = "unknown failure";
  }
  preview.EndDoc();
  result.Truncated = preview.GetPage(0)->Truncated;
  return result;
}

TSheetRecording RecordComposedPage(TPrintSetting& s, TPrintPreview& preview,
                                   TSheetTextSetter& setter, const TComposedPage& page,
                                   int32_t pageNumber) {
  return RecordSheet(s, preview, {}, [&](TCanvas& canvas) {
    setter.Draw(canvas, page);
    if (pageNumber > 0) setter.DrawPageNumber(canvas, pageNumber);
  });
}

}  // namespace zelk
