#include "settings/PrintSetting.h"

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
      TitleRUFont(MainWindowFont()) {}

}  // namespace zelk
