// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PrintSetting.h"

#include "settings/SettingControls.h"

namespace zelk {

TPrintSetting::TPrintSetting()
    : SettingName(u"印刷設定"),
      PaperName(u"A4"),
      CenterCaptionFont(MainWindowFont()),
      BottomCaptionFont(MainWindowFont()),
      Caption3Font(MainWindowFont()),
      Caption4Font(MainWindowFont()),
      PageNumberTitleFont(MainWindowFont()),
      TitleULFont(MainWindowFont()),
      TitleURFont(MainWindowFont()),
      TitleLUFont(MainWindowFont()),
      TitleLDFont(MainWindowFont()),
      TitleBLFont(MainWindowFont()),
      TitleBRFont(MainWindowFont()),
      TitleRDFont(MainWindowFont()),
      TitleRUFont(MainWindowFont()) {
  // The designed values of the controls that carry a field; texts start empty.
  for (const TControlSpec& c : SettingControls()) {
    if (const auto flag = std::get_if<bool TPrintSetting::*>(&c.Field)) {
      // A radio group's flag is its first item.
      this->** flag = c.Kind == TControlKind::Radio ? c.Default == 0 : c.Default != 0;
    } else if (const auto count = std::get_if<int32_t TPrintSetting::*>(&c.Field)) {
      this->** count = static_cast<int32_t>(c.Default);
    } else if (const auto length = std::get_if<double TPrintSetting::*>(&c.Field)) {
      this->** length = c.Default;
    }
  }
  SetTategaki(Tategaki);
}

}  // namespace zelk
