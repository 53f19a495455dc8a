#pragma once
// The transfer between the main window's controls and a settings record, and a form
// without a window that holds those controls' values by the same rules, so that the
// window and the command line prepare a sheet on the same path.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "controls/SaNumEditModel.h"
#include "preview/PrinterDevice.h"
#include "settings/PrintSetting.h"

namespace zelk {

/// The controls of the main window that hold the settings, addressed by their names.
/// The name's prefix tells the kind of control: "RG_" radio group, "SE_" spin edit,
/// "NE_" numeric edit, "E_" edit, "CB_" check box, "TE_" vertical edit. Setting a value
/// may raise the control's own change event, as a user's change would.
class TSettingsForm {
 public:
  virtual ~TSettingsForm() = default;

  /// The 0-based selected item of a radio group, -1 when none is selected.
  virtual int ItemIndex(std::string_view name) const = 0;
  virtual void SetItemIndex(std::string_view name, int index) = 0;
  /// A spin edit's value, held within the control's limits.
  virtual int SpinValue(std::string_view name) const = 0;
  virtual void SetSpinValue(std::string_view name, int value) = 0;
  /// A numeric edit's value text (GetText) and SetText: filtered, never raising OnChange.
  virtual std::u16string NumText(std::string_view name) const = 0;
  virtual void SetNumText(std::string_view name, const std::u16string& text) = 0;
  /// A plain edit box's text.
  virtual std::u16string EditText(std::string_view name) const = 0;
  virtual void SetEditText(std::string_view name, const std::u16string& text) = 0;
  /// A check box's ticked state.
  virtual bool Checked(std::string_view name) const = 0;
  virtual void SetChecked(std::string_view name, bool checked) = 0;
  /// A vertical edit's caption (ReadCaption) and SetCaption2.
  virtual std::u16string ReadCaption(std::string_view name) const = 0;
  virtual void SetCaption2(std::string_view name, const std::u16string& caption) = 0;
};

/// Copies every control into `s` in the window's fixed order and refreshes the
/// printer-dependent values: the printer is turned to `Portrait`'s orientation before
/// `PrinterInfo` is read; the area values and pen widths come from the numeric texts
/// with their fallbacks. `LineWidth` below 0.1 becomes 0.1.
///
/// Throws EConvertError ("'<text>' は浮動小数点数ではありません") at the first numeric
/// edit whose text is not a number (an empty text, "-", ...). Every step before it has
/// taken effect; the fields of the later steps keep their previous values.
void ReadFromForm(TPrintSetting& s, const TSettingsForm& form, TPrinterDevice& printer);

/// Shows `s` in the controls in the window's fixed order: lengths as "#0.##" texts, the
/// other values as they stand (the controls hold indices and spin values within their
/// own limits). `SettingName`, `Caption3`, `Caption4` and the fonts are not touched.
void WriteToForm(const TPrintSetting& s, TSettingsForm& form);

/// A message box: text and caption.
using TMessageBoxFn = std::function<void(const std::u16string&, const std::u16string&)>;

/// As above for a main window that may not exist: without one (`form` null), shows
/// "MainForm==NULL" with the caption "???" through `messageBox` and changes nothing.
void WriteToForm(const TPrintSetting& s, TSettingsForm* form, const TMessageBoxFn& messageBox);

/// The settings controls without a window, in the designed initial state of the main
/// window (so ReadFromForm of a fresh form gives the record's defaults). Numeric texts
/// go through the numeric edit's value model with the window's configuration; radio
/// groups hold an index between -1 and their last item; SE_Tate and SE_Yoko hold
/// 1..40, the page-number spin edits have no limits.
///
/// Every accessor throws std::out_of_range for a name that is not one of the window's
/// settings controls of that kind: a misspelt name is a programming error.
class THeadlessSettingsForm : public TSettingsForm {
 public:
  THeadlessSettingsForm();

  int ItemIndex(std::string_view name) const override;
  void SetItemIndex(std::string_view name, int index) override;
  int SpinValue(std::string_view name) const override;
  void SetSpinValue(std::string_view name, int value) override;
  std::u16string NumText(std::string_view name) const override;
  void SetNumText(std::string_view name, const std::u16string& text) override;
  std::u16string EditText(std::string_view name) const override;
  void SetEditText(std::string_view name, const std::u16string& text) override;
  bool Checked(std::string_view name) const override;
  void SetChecked(std::string_view name, bool checked) override;
  std::u16string ReadCaption(std::string_view name) const override;
  void SetCaption2(std::string_view name, const std::u16string& caption) override;

  /// The value model behind a numeric edit, for typing into it as a user would.
  TSaNumEditModel& NumEdit(std::string_view name);

  /// What the main window's printer display puts into the 基本 tab: the paper name,
  /// the printer's orientation and the paper's size as "#0.##" texts (width into
  /// NE_PaperSizeV, height into NE_PaperSizeH), read from the printer as it lies now.
  void ShowPrinterInfo(const TPrinterDevice& printer, const std::u16string& paperName);

 private:
  struct TRadio {
    int Index;
    int Count;
  };
  struct TSpin {
    int Value;
    int Min;
    int Max;  // Min == Max: no limits
  };
  template <typename T>
  static T& Find(std::map<std::string, T, std::less<>>& m, std::string_view name);
  template <typename T>
  static const T& Find(const std::map<std::string, T, std::less<>>& m, std::string_view name);

  std::map<std::string, TRadio, std::less<>> radios_;
  std::map<std::string, TSpin, std::less<>> spins_;
  std::map<std::string, TSaNumEditModel, std::less<>> numEdits_;
  std::map<std::string, std::u16string, std::less<>> edits_;
  std::map<std::string, bool, std::less<>> checks_;
  std::map<std::string, std::u16string, std::less<>> captions_;
};

/// The settings of a first start on `printer`: a fresh form shown the printer, read
/// back. The printer keeps the orientation it had.
TPrintSetting FirstStartSettings(TPrinterDevice& printer, const std::u16string& paperName);

/// A record brought up to date for drawing on the path the window takes: shown in a
/// fresh form and read back (lengths to the hundredth, counts within the controls'
/// limits, `LineWidth` at least 0.1, the printer turned and its geometry read).
/// Throws EConvertError as ReadFromForm does when a length does not fit its numeric edit
/// (more than nine integer digits, or not finite): the edit's filter empties it.
void PrepareForDrawing(TPrintSetting& s, TPrinterDevice& printer);

}  // namespace zelk
