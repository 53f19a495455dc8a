#include "preview/SheetRecording.h"

#include <exception>

#include "sheet/DrawSheet.h"

namespace zelk {

TSheetRecording RecordSheet(TPrintSetting& s, TPrintPreview& preview,
                            const std::function<void(TPrintSetting&)>& prepare) {
  TSheetRecording result;
  preview.BeginDoc();
  try {
    preview.GetCanvas().AssignFont(MainWindowFont());
    if (prepare) prepare(s);
    result.Drawn = DrawSheet(s, &preview.GetCanvas());
  } catch (const std::exception& e) {
    result.Failure = e.what();
  } catch (...) {
    result.Failure = "unknown failure";
  }
  preview.EndDoc();
  result.Truncated = preview.GetPage(0)->Truncated;
  return result;
}

}  // namespace zelk
