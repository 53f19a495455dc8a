// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/FormTransfer.h"

#include <algorithm>
#include <stdexcept>

#include "preview/PrinterQuery.h"
#include "settings/NumberText.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

using C = TControl;

// Groups of controls that the transfer handles alike, in transfer order.
constexpr C kPaperLengths[] = {C::NE_PaperSizeV, C::NE_PaperSizeH, C::NE_YohakuU,
                               C::NE_YohakuL,    C::NE_YohakuB,    C::NE_YohakuR};
constexpr C kPagePositions[] = {C::CB_PN_UL, C::CB_PN_UC, C::CB_PN_UR, C::CB_PN_LU, C::CB_PN_LD,
                                C::CB_PN_RU, C::CB_PN_RD, C::CB_PN_BL, C::CB_PN_BR};
constexpr C kOutsideEdits[] = {C::E_TitleUL, C::E_TitleUR, C::E_TitleBL, C::E_TitleBR};
constexpr C kOutsideCaptions[] = {C::TE_TitleLU, C::TE_TitleLD, C::TE_TitleRD, C::TE_TitleRU};

template <typename T>
T TPrintSetting::*FieldOf(C id) {
  return std::get<T TPrintSetting::*>(ControlSpec(id).Field);
}

double& Length(TPrintSetting& s, C id) { return s.*FieldOf<double>(id); }
double Length(const TPrintSetting& s, C id) { return s.*FieldOf<double>(id); }

double NumberFrom(const TSettingsForm& form, C id) { return StrToFloat(form.NumText(id)); }

void SetLength(TSettingsForm& form, C id, double mm) { form.SetNumText(id, FormatFloat0_00(mm)); }

// The record seen through the controls' rules, as a form: what each control would hold
// if the record were shown in it. Numbers pass through their numeric edit's filter, so a
// length no edit can hold reads back as an empty text.
class TRecordView : public TSettingsForm {
 public:
  explicit TRecordView(const TPrintSetting& s) : s_(s) {}

  int ItemIndex(C id) const override {
    const TControlField& f = ControlSpec(id).Field;
    if (const auto flag = std::get_if<bool TPrintSetting::*>(&f)) return s_.**flag ? 0 : 1;
    return HoldToControl(id, s_.*std::get<int32_t TPrintSetting::*>(f));
  }
  int SpinValue(C id) const override { return HoldToControl(id, s_.*FieldOf<int32_t>(id)); }
  std::u16string NumText(C id) const override {
    TSaNumEditModel edit;
    edit.SetText(FormatFloat0_00(Length(s_, id)));
    return edit.GetText();
  }
  std::u16string EditText(C id) const override { return s_.*FieldOf<std::u16string>(id); }
  bool Checked(C id) const override { return s_.*FieldOf<bool>(id); }
  std::u16string ReadCaption(C id) const override { return s_.*FieldOf<std::u16string>(id); }

  // A view is read only.
  void SetItemIndex(C, int) override {}
  void SetSpinValue(C, int) override {}
  void SetNumText(C, const std::u16string&) override {}
  void SetEditText(C, const std::u16string&) override {}
  void SetChecked(C, bool) override {}
  void SetCaption2(C, const std::u16string&) override {}

 private:
  const TPrintSetting& s_;
};

}  // namespace

void ReadFromForm(TPrintSetting& s, const TSettingsForm& form, TPrinterDevice& printer) {
  s.Portrait = form.ItemIndex(C::RG_Orientation) == 0;
  s.SetTategaki(form.ItemIndex(C::RG_Tategaki) == 0);
  printer.SetOrientation(s.Portrait ? TPrinterOrientation::poPortrait
                                    : TPrinterOrientation::poLandscape);
  GetPrinterInfo(s.PrinterInfo, printer);
  s.Tate = form.SpinValue(C::SE_Tate);
  s.Yoko = form.SpinValue(C::SE_Yoko);
  for (C id : kPaperLengths) Length(s, id) = NumberFrom(form, id);
  ComputeArea(s, form.NumText(C::NE_PaperSizeV), form.NumText(C::NE_PaperSizeH),
              form.NumText(C::NE_YohakuU), form.NumText(C::NE_YohakuL), form.NumText(C::NE_YohakuB),
              form.NumText(C::NE_YohakuR));
  s.Orime = form.ItemIndex(C::RG_Orime);
  s.OrimeLineType = form.ItemIndex(C::RG_OrimeLineType);
  s.OrimeWidth = NumberFrom(form, C::NE_OrimeW);
  ComputePenWidths(s, form.NumText(C::NE_LineWidth));
  s.LineWidth = std::max(0.1, NumberFrom(form, C::NE_LineWidth));
  s.LineType = form.ItemIndex(C::RG_LineType);
  s.CenterCaption = form.EditText(C::E_CenterCaption);
  s.BottomCaption = form.EditText(C::E_BottomCaption);
  s.Gyobi = form.ItemIndex(C::RG_Gyobi);
  s.PaperName = form.EditText(C::E_PaperName);
  s.OuterLine = form.Checked(C::CB_OuterLine);
  s.OuterLineWidth = NumberFrom(form, C::NE_OuterLineWidth);
  s.OutsideTextSpace = NumberFrom(form, C::NE_OutsideTextSpace);
  s.PageNumber = form.Checked(C::CB_PageNumber);
  for (C id : kPagePositions) s.*FieldOf<bool>(id) = form.Checked(id);
  s.PageNumberSpace = form.SpinValue(C::SE_PageNumber);
  s.PageNumberWidth = form.SpinValue(C::SE_PageNumberWidth);
  s.PageNumberTitle = form.EditText(C::E_PageNumberTitle);
  for (C id : kOutsideEdits) s.*FieldOf<std::u16string>(id) = form.EditText(id);
  for (C id : kOutsideCaptions) s.*FieldOf<std::u16string>(id) = form.ReadCaption(id);
}

void WriteToForm(const TPrintSetting& s, TSettingsForm& form) {
  form.SetItemIndex(C::RG_Orientation, s.Portrait ? 0 : 1);
  form.SetItemIndex(C::RG_Tategaki, s.Tategaki ? 0 : 1);
  form.SetSpinValue(C::SE_Tate, s.Tate);
  form.SetSpinValue(C::SE_Yoko, s.Yoko);
  for (C id : kPaperLengths) SetLength(form, id, Length(s, id));
  form.SetItemIndex(C::RG_Orime, s.Orime);
  form.SetItemIndex(C::RG_OrimeLineType, s.OrimeLineType);
  SetLength(form, C::NE_OrimeW, s.OrimeWidth);
  SetLength(form, C::NE_LineWidth, s.LineWidth);
  form.SetItemIndex(C::RG_LineType, s.LineType);
  form.SetEditText(C::E_CenterCaption, s.CenterCaption);
  form.SetEditText(C::E_BottomCaption, s.BottomCaption);
  form.SetItemIndex(C::RG_Gyobi, s.Gyobi);
  form.SetEditText(C::E_PaperName, s.PaperName);
  form.SetChecked(C::CB_OuterLine, s.OuterLine);
  SetLength(form, C::NE_OuterLineWidth, s.OuterLineWidth);
  SetLength(form, C::NE_OutsideTextSpace, s.OutsideTextSpace);
  form.SetChecked(C::CB_PageNumber, s.PageNumber);
  for (C id : kPagePositions) form.SetChecked(id, s.*FieldOf<bool>(id));
  form.SetSpinValue(C::SE_PageNumber, s.PageNumberSpace);
  form.SetSpinValue(C::SE_PageNumberWidth, s.PageNumberWidth);
  form.SetEditText(C::E_PageNumberTitle, s.PageNumberTitle);
  for (C id : kOutsideEdits) form.SetEditText(id, s.*FieldOf<std::u16string>(id));
  for (C id : kOutsideCaptions) form.SetCaption2(id, s.*FieldOf<std::u16string>(id));
}

void WriteToForm(const TPrintSetting& s, TSettingsForm* form, const TMessageBoxFn& messageBox) {
  if (!form) {
    if (messageBox) messageBox(u"MainForm==NULL", u"???");
    return;
  }
  WriteToForm(s, *form);
}

// --- the headless form ---------------------------------------------------------------

THeadlessSettingsForm::THeadlessSettingsForm() {
  for (const TControlSpec& c : SettingControls()) {
    const size_t i = static_cast<size_t>(c.Id);
    if (c.Kind == TControlKind::Number) {
      numbers_[i].SetText(FormatFloat0_00(c.Default));
      numbers_[i].ReadOnly = c.ReadOnly;
    } else {
      ints_[i] = static_cast<int>(c.Default);
    }
  }
}

const TControlSpec& THeadlessSettingsForm::Expect(C id, TControlKind kind) const {
  const TControlSpec& c = ControlSpec(id);
  if (c.Kind != kind) throw std::logic_error(std::string(c.Name) + " is another kind of control");
  return c;
}

int THeadlessSettingsForm::ItemIndex(C id) const {
  Expect(id, TControlKind::Radio);
  return ints_[static_cast<size_t>(id)];
}

void THeadlessSettingsForm::SetItemIndex(C id, int index) {
  Expect(id, TControlKind::Radio);
  ints_[static_cast<size_t>(id)] = HoldToControl(id, index);
}

int THeadlessSettingsForm::SpinValue(C id) const {
  Expect(id, TControlKind::Spin);
  return ints_[static_cast<size_t>(id)];
}

void THeadlessSettingsForm::SetSpinValue(C id, int value) {
  Expect(id, TControlKind::Spin);
  ints_[static_cast<size_t>(id)] = HoldToControl(id, value);
}

std::u16string THeadlessSettingsForm::NumText(C id) const {
  Expect(id, TControlKind::Number);
  return numbers_[static_cast<size_t>(id)].GetText();
}

void THeadlessSettingsForm::SetNumText(C id, const std::u16string& text) {
  NumEdit(id).SetText(text);
}

TSaNumEditModel& THeadlessSettingsForm::NumEdit(C id) {
  Expect(id, TControlKind::Number);
  return numbers_[static_cast<size_t>(id)];
}

std::u16string THeadlessSettingsForm::EditText(C id) const {
  Expect(id, TControlKind::Edit);
  return texts_[static_cast<size_t>(id)];
}

void THeadlessSettingsForm::SetEditText(C id, const std::u16string& text) {
  Expect(id, TControlKind::Edit);
  texts_[static_cast<size_t>(id)] = text;
}

bool THeadlessSettingsForm::Checked(C id) const {
  Expect(id, TControlKind::Check);
  return ints_[static_cast<size_t>(id)] != 0;
}

void THeadlessSettingsForm::SetChecked(C id, bool checked) {
  Expect(id, TControlKind::Check);
  ints_[static_cast<size_t>(id)] = checked ? 1 : 0;
}

std::u16string THeadlessSettingsForm::ReadCaption(C id) const {
  Expect(id, TControlKind::Caption);
  return texts_[static_cast<size_t>(id)];
}

void THeadlessSettingsForm::SetCaption2(C id, const std::u16string& caption) {
  Expect(id, TControlKind::Caption);
  texts_[static_cast<size_t>(id)] = caption;
}

void THeadlessSettingsForm::ShowPrinterInfo(const TPrinterDevice& printer,
                                            const std::u16string& paperName) {
  SetEditText(C::E_PaperName, paperName);
  SetItemIndex(C::RG_Orientation, printer.Orientation() == TPrinterOrientation::poPortrait ? 0 : 1);
  TPrinterInfo info;
  GetPrinterInfo(info, printer);
  SetNumText(C::NE_PaperSizeV, FormatFloat0_00(info.PaperWidthMm));
  SetNumText(C::NE_PaperSizeH, FormatFloat0_00(info.PaperHeightMm));
}

// --- preparing a sheet -----------------------------------------------------------------

TPrintSetting FirstStartSettings(TPrinterDevice& printer, const std::u16string& paperName) {
  THeadlessSettingsForm form;
  form.ShowPrinterInfo(printer, paperName);
  TPrintSetting s;
  ReadFromForm(s, form, printer);
  return s;
}

void PrepareForDrawing(TPrintSetting& s, TPrinterDevice& printer) {
  const TPrintSetting shown = s;
  ReadFromForm(s, TRecordView(shown), printer);
}

}  // namespace zelk
