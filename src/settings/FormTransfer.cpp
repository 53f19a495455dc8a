#include "settings/FormTransfer.h"

#include <algorithm>
#include <stdexcept>

#include "preview/PrinterInfo.h"
#include "settings/NumberText.h"
#include "sheet/Geometry.h"

namespace zelk {
namespace {

// The nine page-number position boxes and their fields, in transfer order.
struct TFlagControl {
  const char* Name;
  bool TPrintSetting::*Field;
};
constexpr TFlagControl kPagePositions[] = {
    {"CB_PN_UL", &TPrintSetting::PN_UL}, {"CB_PN_UC", &TPrintSetting::PN_UC},
    {"CB_PN_UR", &TPrintSetting::PN_UR}, {"CB_PN_LU", &TPrintSetting::PN_LU},
    {"CB_PN_LD", &TPrintSetting::PN_LD}, {"CB_PN_RU", &TPrintSetting::PN_RU},
    {"CB_PN_RD", &TPrintSetting::PN_RD}, {"CB_PN_BL", &TPrintSetting::PN_BL},
    {"CB_PN_BR", &TPrintSetting::PN_BR},
};

struct TTextControl {
  const char* Name;
  std::u16string TPrintSetting::*Field;
};
constexpr TTextControl kOutsideEdits[] = {
    {"E_TitleUL", &TPrintSetting::TitleUL},
    {"E_TitleUR", &TPrintSetting::TitleUR},
    {"E_TitleBL", &TPrintSetting::TitleBL},
    {"E_TitleBR", &TPrintSetting::TitleBR},
};
constexpr TTextControl kOutsideCaptions[] = {
    {"TE_TitleLU", &TPrintSetting::TitleLU},
    {"TE_TitleLD", &TPrintSetting::TitleLD},
    {"TE_TitleRD", &TPrintSetting::TitleRD},
    {"TE_TitleRU", &TPrintSetting::TitleRU},
};

// The paper and margin fields with their numeric edits, in transfer order.
struct TLengthControl {
  const char* Name;
  double TPrintSetting::*Field;
};
constexpr TLengthControl kPaperLengths[] = {
    {"NE_PaperSizeV", &TPrintSetting::PaperWidth}, {"NE_PaperSizeH", &TPrintSetting::PaperHeight},
    {"NE_YohakuU", &TPrintSetting::YohakuU},       {"NE_YohakuL", &TPrintSetting::YohakuL},
    {"NE_YohakuB", &TPrintSetting::YohakuB},       {"NE_YohakuR", &TPrintSetting::YohakuR},
};

double NumberFrom(const TSettingsForm& form, std::string_view name) {
  return StrToFloat(form.NumText(name));
}

void SetLength(TSettingsForm& form, std::string_view name, double mm) {
  form.SetNumText(name, FormatFloat0_00(mm));
}

}  // namespace

void ReadFromForm(TPrintSetting& s, const TSettingsForm& form, TPrinterDevice& printer) {
  s.Portrait = form.ItemIndex("RG_Orientation") == 0;
  s.SetTategaki(form.ItemIndex("RG_Tategaki") == 0);
  printer.SetOrientation(s.Portrait ? TPrinterOrientation::poPortrait
                                    : TPrinterOrientation::poLandscape);
  GetPrinterInfo(s.PrinterInfo, printer);
  s.Tate = form.SpinValue("SE_Tate");
  s.Yoko = form.SpinValue("SE_Yoko");
  for (const TLengthControl& c : kPaperLengths) s.*c.Field = NumberFrom(form, c.Name);
  ComputeArea(s, form.NumText("NE_PaperSizeV"), form.NumText("NE_PaperSizeH"),
              form.NumText("NE_YohakuU"), form.NumText("NE_YohakuL"), form.NumText("NE_YohakuB"),
              form.NumText("NE_YohakuR"));
  s.Orime = form.ItemIndex("RG_Orime");
  s.OrimeLineType = form.ItemIndex("RG_OrimeLineType");
  s.OrimeWidth = NumberFrom(form, "NE_OrimeW");
  ComputePenWidths(s, form.NumText("NE_LineWidth"));
  s.LineWidth = std::max(0.1, NumberFrom(form, "NE_LineWidth"));
  s.LineType = form.ItemIndex("RG_LineType");
  s.CenterCaption = form.EditText("E_CenterCaption");
  s.BottomCaption = form.EditText("E_BottomCaption");
  s.Gyobi = form.ItemIndex("RG_Gyobi");
  s.PaperName = form.EditText("E_PaperName");
  s.OuterLine = form.Checked("CB_OuterLine");
  s.OuterLineWidth = NumberFrom(form, "NE_OuterLineWidth");
  s.OutsideTextSpace = NumberFrom(form, "NE_OutsideTextSpace");
  s.PageNumber = form.Checked("CB_PageNumber");
  for (const TFlagControl& c : kPagePositions) s.*c.Field = form.Checked(c.Name);
  s.PageNumberSpace = form.SpinValue("SE_PageNumber");
  s.PageNumberWidth = form.SpinValue("SE_PageNumberWidth");
  s.PageNumberTitle = form.EditText("E_PageNumberTitle");
  for (const TTextControl& c : kOutsideEdits) s.*c.Field = form.EditText(c.Name);
  for (const TTextControl& c : kOutsideCaptions) s.*c.Field = form.ReadCaption(c.Name);
}

void WriteToForm(const TPrintSetting& s, TSettingsForm& form) {
  form.SetItemIndex("RG_Orientation", s.Portrait ? 0 : 1);
  form.SetItemIndex("RG_Tategaki", s.Tategaki ? 0 : 1);
  form.SetSpinValue("SE_Tate", s.Tate);
  form.SetSpinValue("SE_Yoko", s.Yoko);
  for (const TLengthControl& c : kPaperLengths) SetLength(form, c.Name, s.*c.Field);
  form.SetItemIndex("RG_Orime", s.Orime);
  form.SetItemIndex("RG_OrimeLineType", s.OrimeLineType);
  SetLength(form, "NE_OrimeW", s.OrimeWidth);
  SetLength(form, "NE_LineWidth", s.LineWidth);
  form.SetItemIndex("RG_LineType", s.LineType);
  form.SetEditText("E_CenterCaption", s.CenterCaption);
  form.SetEditText("E_BottomCaption", s.BottomCaption);
  form.SetItemIndex("RG_Gyobi", s.Gyobi);
  form.SetEditText("E_PaperName", s.PaperName);
  form.SetChecked("CB_OuterLine", s.OuterLine);
  SetLength(form, "NE_OuterLineWidth", s.OuterLineWidth);
  SetLength(form, "NE_OutsideTextSpace", s.OutsideTextSpace);
  form.SetChecked("CB_PageNumber", s.PageNumber);
  for (const TFlagControl& c : kPagePositions) form.SetChecked(c.Name, s.*c.Field);
  form.SetSpinValue("SE_PageNumber", s.PageNumberSpace);
  form.SetSpinValue("SE_PageNumberWidth", s.PageNumberWidth);
  form.SetEditText("E_PageNumberTitle", s.PageNumberTitle);
  for (const TTextControl& c : kOutsideEdits) form.SetEditText(c.Name, s.*c.Field);
  for (const TTextControl& c : kOutsideCaptions) form.SetCaption2(c.Name, s.*c.Field);
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
  radios_ = {{"RG_Orientation", {1, 2}},   {"RG_Tategaki", {0, 2}}, {"RG_Orime", {1, 3}},
             {"RG_OrimeLineType", {4, 5}}, {"RG_LineType", {4, 5}}, {"RG_Gyobi", {1, 3}}};
  spins_ = {{"SE_Tate", {20, 1, 40}},
            {"SE_Yoko", {20, 1, 40}},
            {"SE_PageNumber", {8, 0, 0}},
            {"SE_PageNumberWidth", {18, 0, 0}}};
  const std::pair<const char*, const char16_t*> numbers[] = {
      {"NE_PaperSizeH", u"0"},        {"NE_PaperSizeV", u"0"},  {"NE_OrimeW", u"12"},
      {"NE_YohakuU", u"12"},          {"NE_YohakuL", u"15"},    {"NE_YohakuB", u"12"},
      {"NE_YohakuR", u"15"},          {"NE_LineWidth", u"0.3"}, {"NE_OuterLineWidth", u"2"},
      {"NE_OutsideTextSpace", u"1.5"}};
  for (const auto& [name, text] : numbers) numEdits_[name].SetText(text);
  numEdits_["NE_PaperSizeH"].ReadOnly = true;
  numEdits_["NE_PaperSizeV"].ReadOnly = true;
  for (const char* name : {"E_PaperName", "E_CenterCaption", "E_BottomCaption", "E_PageNumberTitle",
                           "E_TitleUL", "E_TitleUR", "E_TitleBL", "E_TitleBR"})
    edits_[name];
  checks_ = {{"CB_OuterLine", true}, {"CB_PageNumber", true}};
  for (const TFlagControl& c : kPagePositions) checks_[c.Name] = false;
  checks_["CB_PN_UC"] = true;
  for (const TTextControl& c : kOutsideCaptions) captions_[c.Name];
}

template <typename T>
T& THeadlessSettingsForm::Find(std::map<std::string, T, std::less<>>& m, std::string_view name) {
  const auto it = m.find(name);
  if (it == m.end()) throw std::out_of_range("no settings control named " + std::string(name));
  return it->second;
}

template <typename T>
const T& THeadlessSettingsForm::Find(const std::map<std::string, T, std::less<>>& m,
                                     std::string_view name) {
  const auto it = m.find(name);
  if (it == m.end()) throw std::out_of_range("no settings control named " + std::string(name));
  return it->second;
}

int THeadlessSettingsForm::ItemIndex(std::string_view name) const {
  return Find(radios_, name).Index;
}

void THeadlessSettingsForm::SetItemIndex(std::string_view name, int index) {
  TRadio& r = Find(radios_, name);
  r.Index = std::clamp(index, -1, r.Count - 1);
}

int THeadlessSettingsForm::SpinValue(std::string_view name) const {
  return Find(spins_, name).Value;
}

void THeadlessSettingsForm::SetSpinValue(std::string_view name, int value) {
  TSpin& s = Find(spins_, name);
  s.Value = s.Min == s.Max ? value : std::clamp(value, s.Min, s.Max);
}

std::u16string THeadlessSettingsForm::NumText(std::string_view name) const {
  return Find(numEdits_, name).GetText();
}

void THeadlessSettingsForm::SetNumText(std::string_view name, const std::u16string& text) {
  Find(numEdits_, name).SetText(text);
}

TSaNumEditModel& THeadlessSettingsForm::NumEdit(std::string_view name) {
  return Find(numEdits_, name);
}

std::u16string THeadlessSettingsForm::EditText(std::string_view name) const {
  return Find(edits_, name);
}

void THeadlessSettingsForm::SetEditText(std::string_view name, const std::u16string& text) {
  Find(edits_, name) = text;
}

bool THeadlessSettingsForm::Checked(std::string_view name) const { return Find(checks_, name); }

void THeadlessSettingsForm::SetChecked(std::string_view name, bool checked) {
  Find(checks_, name) = checked;
}

std::u16string THeadlessSettingsForm::ReadCaption(std::string_view name) const {
  return Find(captions_, name);
}

void THeadlessSettingsForm::SetCaption2(std::string_view name, const std::u16string& caption) {
  Find(captions_, name) = caption;
}

void THeadlessSettingsForm::ShowPrinterInfo(const TPrinterDevice& printer,
                                            const std::u16string& paperName) {
  SetEditText("E_PaperName", paperName);
  SetItemIndex("RG_Orientation", printer.Orientation() == TPrinterOrientation::poPortrait ? 0 : 1);
  TPrinterInfo info;
  GetPrinterInfo(info, printer);
  SetNumText("NE_PaperSizeV", FormatFloat0_00(info.PaperWidthMm));
  SetNumText("NE_PaperSizeH", FormatFloat0_00(info.PaperHeightMm));
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
  THeadlessSettingsForm form;
  WriteToForm(s, form);
  ReadFromForm(s, form, printer);
}

}  // namespace zelk
