// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transfer between the main window's controls and a settings record, and a form
// without a window that holds those controls' values by the same rules, so that the
// window and the command line prepare a sheet on the same path.

#include <array>
#include <functional>
#include <string>

#include "controls/SaNumEditModel.h"
#include "preview/PrinterDevice.h"
#include "settings/PrintSetting.h"
#include "settings/SettingControls.h"

namespace zelk {

/// The controls of the main window that hold the settings (SettingControls.h). Each
/// accessor is for one kind of control; asking it for a control of another kind is a
/// programming error (std::logic_error). Setting a value may raise the control's own
/// change event, as a user's change would.
class TSettingsForm {
 public:
  virtual ~TSettingsForm() = default;

  /// The 0-based selected item of a radio group, -1 when none is selected.
  virtual int ItemIndex(TControl id) const = 0;
  virtual void SetItemIndex(TControl id, int index) = 0;
  /// A spin edit's value, held within the control's limits.
  virtual int SpinValue(TControl id) const = 0;
  virtual void SetSpinValue(TControl id, int value) = 0;
  /// A numeric edit's value text (GetText) and SetText: filtered, never raising OnChange.
  virtual std::u16string NumText(TControl id) const = 0;
  virtual void SetNumText(TControl id, const std::u16string& text) = 0;
  /// A plain edit box's text.
  virtual std::u16string EditText(TControl id) const = 0;
  virtual void SetEditText(TControl id, const std::u16string& text) = 0;
  /// A check box's ticked state.
  virtual bool Checked(TControl id) const = 0;
  virtual void SetChecked(TControl id, bool checked) = 0;
  /// A vertical edit's caption (ReadCaption) and SetCaption2.
  virtual std::u16string ReadCaption(TControl id) const = 0;
  virtual void SetCaption2(TControl id, const std::u16string& caption) = 0;
};

/// The accessors of TSettingsForm as a form that implements them declares them, so that
/// the list is written once.
#define ZELK_SETTINGS_FORM_ACCESSORS                                  \
  int ItemIndex(TControl id) const override;                          \
  void SetItemIndex(TControl id, int index) override;                 \
  int SpinValue(TControl id) const override;                          \
  void SetSpinValue(TControl id, int value) override;                 \
  std::u16string NumText(TControl id) const override;                 \
  void SetNumText(TControl id, const std::u16string& text) override;  \
  std::u16string EditText(TControl id) const override;                \
  void SetEditText(TControl id, const std::u16string& text) override; \
  bool Checked(TControl id) const override;                           \
  void SetChecked(TControl id, bool checked) override;                \
  std::u16string ReadCaption(TControl id) const override;             \
  void SetCaption2(TControl id, const std::u16string& caption) override;

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

/// The settings controls without a window, in the designed state of the main window
/// (SettingControls.h; so ReadFromForm of a fresh form gives the record's defaults).
/// Numeric texts go through the numeric edit's value model with the window's
/// configuration; radio groups and spin edits hold their values within the table's
/// limits.
class THeadlessSettingsForm : public TSettingsForm {
 public:
  THeadlessSettingsForm();

  ZELK_SETTINGS_FORM_ACCESSORS

  /// The value model behind a numeric edit, for typing into it as a user would.
  TSaNumEditModel& NumEdit(TControl id);

  /// What the main window's printer display puts into the 基本 tab: the paper name,
  /// the printer's orientation and the paper's size as "#0.##" texts (width into
  /// NE_PaperSizeV, height into NE_PaperSizeH), read from the printer as it lies now.
  void ShowPrinterInfo(const TPrinterDevice& printer, const std::u16string& paperName);

 private:
  const TControlSpec& Expect(TControl id, TControlKind kind) const;

  std::array<int, kControlCount> ints_{};  // radio indices, spin values, check boxes
  std::array<TSaNumEditModel, kControlCount> numbers_;
  std::array<std::u16string, kControlCount> texts_;  // edit boxes and vertical edits
};

/// The settings of a first start on `printer`: a fresh form shown the printer, read
/// back. The printer keeps the orientation it had.
TPrintSetting FirstStartSettings(TPrinterDevice& printer, const std::u16string& paperName);

/// A record brought up to date for drawing by the rules the window applies, without a
/// window: each length through its numeric edit's "#0.##" text (to the hundredth),
/// counts and items held to the controls' limits, `LineWidth` at least 0.1, the printer
/// turned and its geometry read, the area and pen widths computed.
/// Throws EConvertError as ReadFromForm does when a length does not fit its numeric edit
/// (more than nine integer digits, or not finite): the edit's filter empties it. The
/// fields before it have then been brought up to date, the later ones not.
void PrepareForDrawing(TPrintSetting& s, TPrinterDevice& printer);

}  // namespace zelk
