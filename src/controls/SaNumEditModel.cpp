// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SaNumEditModel.h"

namespace zelk {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Full-width forms that an input method or a pasted text may carry.
constexpr char16_t kFullZero = 0xFF10;
constexpr char16_t kFullNine = 0xFF19;
constexpr char16_t kFullMinus = 0xFF0D;
constexpr char16_t kFullStop = 0xFF0E;
constexpr char16_t kFullComma = 0xFF0C;

constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
constexpr char16_t kCtrlA = 1;
constexpr char16_t kCtrlC = 3;
constexpr char16_t kCtrlV = 22;
constexpr char16_t kCtrlX = 24;

bool Contains(const std::u16string& s, char16_t c) { return s.find(c) != std::u16string::npos; }

}  // namespace

TSaNumEditModel::TSaNumEditModel() { UpdateValText(); }

// --- text rules ----------------------------------------------------------------------

char16_t TSaNumEditModel::ImeCharToAscii(char16_t ch) {
  if (ch >= kFullZero && ch <= kFullNine) return static_cast<char16_t>(u'0' + (ch - kFullZero));
  if (ch == kFullMinus) return u'-';
  if (ch == kFullStop) return u'.';
  return ch;
}

std::u16string TSaNumEditModel::NumFilter(const std::u16string& s) const {
  std::u16string t;
  t.reserve(s.size());
  for (char16_t c : s)
    if (c != kFullComma) t.push_back(ImeCharToAscii(c));

  std::u16string r;
  bool dotCopied = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char16_t c = t[i];
    if (c == u',') continue;
    if (c == u'.') {
      if (decimalLength_ == 0 || dotCopied) break;
      dotCopied = true;
    } else if (c == u'-') {
      if (!minus_ || i != 0) break;
    } else if (!IsDigit(c)) {
      break;
    }
    r.push_back(c);
  }
  if (r.empty()) return r;

  const size_t dot = r.find(u'.');
  if (dot != std::u16string::npos && r.size() - dot - 1 > static_cast<size_t>(decimalLength_))
    r.resize(dot + 1 + decimalLength_);
  int integerDigits = static_cast<int>(dot == std::u16string::npos ? r.size() : dot);
  if (Contains(r, u'-')) --integerDigits;
  if (integerDigits > integerLength_) r.clear();
  return r;
}

std::u16string TSaNumEditModel::MaeZeroSyori(const std::u16string& s) {
  const bool negative = Contains(s, u'-');
  std::u16string body = negative ? s.substr(1) : s;
  size_t zeros = 0;
  while (zeros < body.size() && body[zeros] == u'0') ++zeros;
  body.erase(0, zeros);
  if (zeros > 0 && body.empty()) body = u"0";
  if (!body.empty() && body[0] == u'.') body.insert(body.begin(), u'0');
  return negative ? u"-" + body : body;
}

std::u16string TSaNumEditModel::InsertComma(const std::u16string& s) {
  std::u16string r;
  r.reserve(s.size() + s.size() / 3);
  for (size_t i = 0; i < s.size(); ++i) {
    if (i > 0 && (s.size() - i) % 3 == 0) r.push_back(u',');
    r.push_back(s[i]);
  }
  return r;
}

TSaNumEditModel::TParts TSaNumEditModel::TextEncode(const std::u16string& s) {
  TParts p;
  std::u16string rest = s;
  if (!rest.empty() && rest[0] == u'-') {
    p.Sign = u"-";
    rest.erase(0, 1);
  }
  const size_t dot = rest.find(u'.');
  if (dot == std::u16string::npos) {
    p.IntPart = rest;
  } else {
    p.IntPart = rest.substr(0, dot);
    p.Dot = u".";
    p.DecPart = rest.substr(dot + 1);
  }
  return p;
}

std::u16string TSaNumEditModel::TextDecode(const TParts& p) {
  return p.Sign + p.IntPart + p.Dot + p.DecPart;
}

std::u16string TSaNumEditModel::CreateDrawString2(const std::u16string& s) const {
  TParts p = TextEncode(s);
  if (comma_) p.IntPart = InsertComma(p.IntPart);
  if (decimalFixed_) {
    p.DecPart = (p.DecPart + std::u16string(decimalLength_, u'0')).substr(0, decimalLength_);
    if (decimalLength_ > 0) p.Dot = u".";
  }
  if ((integerFixed_ || decimalFixed_) && p.IntPart.empty()) p.IntPart = u"0";
  return TextDecode(p);
}

std::u16string TSaNumEditModel::CreateDrawString(const std::u16string& s) const {
  const std::u16string d = CreateDrawString2(s);
  return d.empty() ? d : leftMark_ + d + rightMark_;
}

std::u16string TSaNumEditModel::MaxTextStr() const {
  TParts p = TextEncode(text_);
  if (integerFixed_) {
    p.IntPart = std::u16string(integerLength_, u'0');
    if (minus_) p.Sign = u"-";
  }
  if ((integerFixed_ || decimalFixed_) && p.IntPart.empty()) p.IntPart = u"0";
  if (decimalFixed_) {
    p.Dot = u".";
    p.DecPart = std::u16string(decimalLength_, u'0');
  }
  if (comma_) p.IntPart = InsertComma(p.IntPart);
  return TextDecode(p);
}

std::u16string TSaNumEditModel::MaxTextStr2() const {
  std::u16string integer(integerLength_, u'0');
  if (comma_) integer = InsertComma(integer);
  return (minus_ ? u"-" : u"") + integer + u"." + std::u16string(decimalLength_, u'0');
}

// --- state helpers -------------------------------------------------------------------

void TSaNumEditModel::Beep() const {
  if (ErrorBeep && OnBeep) OnBeep();
}

void TSaNumEditModel::Changed() {
  if (OnChange) OnChange();
}

void TSaNumEditModel::UpdateValText() {
  valText_ = CreateDrawString(text_);
  // The selection is all or nothing: a selection made before the display text changed
  // still covers the whole of it, and an empty display text cannot stay selected.
  if (selLength_ > 0) selLength_ = static_cast<int>(valText_.size());
}

void TSaNumEditModel::UndoDataSet() {
  undoBuffer_ = text_;
  canUndo_ = true;
}

void TSaNumEditModel::UndoDataChange() {
  std::swap(text_, undoBuffer_);
  canUndo_ = true;
}

void TSaNumEditModel::ClearUndo() {
  undoBuffer_.clear();
  canUndo_ = false;
}

void TSaNumEditModel::Commit(const std::u16string& candidate, char16_t& key) {
  UndoDataSet();
  text_ = candidate;
  UpdateValText();
  Repaint();
  CaretMove();
  key = 0;
  Modified = true;
  Changed();
}

bool TSaNumEditModel::RejectedByWidth(const std::u16string& candidate) const {
  return HasSaNumOption(Options, eoORInputStop) && !StringWidthCheck(candidate);
}

void TSaNumEditModel::Redisplay() {
  UpdateValText();
  if (view_) view_->AutoWidthSize();
  Repaint();
  CaretMove();
}

void TSaNumEditModel::Refilter() {
  text_ = NumFilter(text_);
  Redisplay();
}

// --- properties ----------------------------------------------------------------------

void TSaNumEditModel::SetText(const std::u16string& text) {
  if (text == text_) return;
  text_ = MaeZeroSyori(NumFilter(text));
  UpdateValText();
  Repaint();
  CaretMove();
}

void TSaNumEditModel::SetIntegerLength(int length) {
  if (length < 0 || length == integerLength_) return;
  integerLength_ = length;
  Refilter();
}

void TSaNumEditModel::SetDecimalLength(int length) {
  if (length < 0 || length == decimalLength_) return;
  decimalLength_ = length;
  Refilter();
}

void TSaNumEditModel::SetMinus(bool minus) {
  if (minus == minus_) return;
  minus_ = minus;
  Refilter();
}

void TSaNumEditModel::SetComma(bool comma) {
  if (comma == comma_) return;
  comma_ = comma;
  Redisplay();
}

void TSaNumEditModel::SetIntegerFixed(bool fixed) {
  if (fixed == integerFixed_) return;
  integerFixed_ = fixed;
  Redisplay();
}

void TSaNumEditModel::SetDecimalFixed(bool fixed) {
  if (fixed == decimalFixed_) return;
  decimalFixed_ = fixed;
  Redisplay();
}

void TSaNumEditModel::SetLeftMark(const std::u16string& mark) {
  if (mark == leftMark_) return;
  leftMark_ = mark;
  Redisplay();
}

void TSaNumEditModel::SetRightMark(const std::u16string& mark) {
  if (mark == rightMark_) return;
  rightMark_ = mark;
  Redisplay();
}

// --- public operations ---------------------------------------------------------------

void TSaNumEditModel::Clear() {
  UndoDataSet();
  text_.clear();
  UpdateValText();
  ClearSelect();
  Repaint();
  CaretMove();
  Modified = false;
}

void TSaNumEditModel::ClearSelect() {
  selLength_ = 0;
  Repaint();
}

void TSaNumEditModel::ClearSelection() {
  if (Selected()) Clear();
}

void TSaNumEditModel::SelectAll() {
  selLength_ = static_cast<int>(valText_.size());
  Repaint();
}

void TSaNumEditModel::CopyToClipboard() {
  if (!Selected() || !clipboard_) return;
  clipboard_->SetText(ImageCopy ? valText_ : text_);
}

void TSaNumEditModel::CutToClipboard() {
  if (!Selected()) return;
  CopyToClipboard();
  Clear();
  Changed();
}

void TSaNumEditModel::PasteFromClipboard() {
  if (!clipboard_ || !clipboard_->HasText()) return;
  const std::u16string pasted = clipboard_->Text();
  UndoDataSet();
  text_ = MaeZeroSyori(NumFilter(Selected() ? pasted : text_ + pasted));
  selLength_ = 0;
  UpdateValText();
  Repaint();
  CaretMove();
  Changed();
}

void TSaNumEditModel::Undo() {
  if (!canUndo_) return;
  UndoDataChange();
  UpdateValText();
  SelectAll();
  CaretMove();
  Changed();
}

// --- typing --------------------------------------------------------------------------

TCharOutcome TSaNumEditModel::KeyPress(char16_t key) {
  if (ReadOnly) return TCharOutcome::Consumed;
  if (IsDigit(key)) {
    AddChar(key);
  } else if (key == u'.') {
    AddDot(key);
  } else if (key == u'-') {
    AddMinus(key);
  } else if (key == kBackspace || key == kCtrlA || key == kCtrlC || key == kCtrlV ||
             key == kCtrlX) {
    // Their actions belong to the key press itself.
  } else if (key == kEnter && EnterFocusMove) {
    return TCharOutcome::FocusNext;
  } else {
    Beep();
  }
  return TCharOutcome::Consumed;
}

void TSaNumEditModel::AddChar(char16_t& key) {
  if (ReadOnly) {
    key = 0;
    return;
  }
  if (Selected()) Clear();
  const size_t dot = text_.find(u'.');
  bool accepted;
  if (dot == std::u16string::npos) {
    int integerDigits = static_cast<int>(text_.size());
    if (Contains(text_, u'-')) --integerDigits;
    accepted = integerDigits < integerLength_;
  } else {
    accepted = static_cast<int>(text_.size() - dot - 1) < decimalLength_;
  }
  if (!accepted) {
    Beep();
    key = 0;
    return;
  }
  const std::u16string candidate = MaeZeroSyori(text_ + key);
  if (RejectedByWidth(candidate)) {
    Beep();
    key = 0;
    return;
  }
  Commit(candidate, key);
}

void TSaNumEditModel::AddDot(char16_t& key) {
  if (ReadOnly) {
    key = 0;
    return;
  }
  if (decimalLength_ == 0) {
    Beep();
    key = 0;
    return;
  }
  if (Selected()) Clear();
  const std::u16string candidate = text_ + u'.';
  if (Contains(text_, u'.') || RejectedByWidth(candidate)) {
    Beep();
    key = 0;
    return;
  }
  Commit(MaeZeroSyori(candidate), key);
}

void TSaNumEditModel::AddMinus(char16_t& key) {
  if (ReadOnly) {
    key = 0;
    return;
  }
  if (!minus_) {
    Beep();
    key = 0;
    return;
  }
  if (Selected()) Clear();
  if (Contains(text_, u'-')) {
    Commit(text_.substr(1), key);
    return;
  }
  const std::u16string candidate = u"-" + text_;
  if (RejectedByWidth(candidate)) {
    Beep();
    key = 0;
    return;
  }
  Commit(candidate, key);
}

void TSaNumEditModel::OneCharDelete() {
  if (ReadOnly || text_.empty()) return;
  if (Selected()) {
    Clear();
    return;
  }
  std::u16string shorter = text_.substr(0, text_.size() - 1);
  if (!shorter.empty() && shorter.back() == u'.') shorter.pop_back();
  UndoDataSet();
  text_ = shorter;
  UpdateValText();
  Repaint();
  CaretMove();
  Modified = true;
  Changed();
}

void TSaNumEditModel::ExitMinusRule() {
  if (text_ != u"-" || HasSaNumOption(Options, eoMinusOnly)) return;
  text_.clear();
  UpdateValText();
  Repaint();
}

// --- measurement and layout ----------------------------------------------------------

int TSaNumEditModel::StrWidth(const std::u16string& s) const {
  if (s.empty()) return 0;
  return (view_ ? view_->MeasureText(s) : 0) + 1;
}

int TSaNumEditModel::CalcDrawWidth() const {
  const int e = (BorderStyle == TBorderStyle::bsSingle && Ctl3D) ? 2 : 1;
  return ClientWidth - LeftMargin - RightMargin - 2 * e;
}

int TSaNumEditModel::CalcStringWidth2() const {
  TParts p = TextEncode(text_);
  if (comma_) p.IntPart = InsertComma(p.IntPart);
  if ((integerFixed_ || decimalFixed_) && p.IntPart.empty()) p.IntPart = u"0";
  return StrWidth(TextDecode(p));
}

TSaNumEditModel::TLayout TSaNumEditModel::Layout() const {
  TLayout l{};
  switch (VertAlignment) {
    case taTopJustify:
      l.Y0 = TopMargin;
      break;
    case taBottomJustify:
      l.Y0 = ClientHeight - FontHeight - BottomMargin;
      break;
    case taVCenter:
      l.Y0 = (ClientHeight - FontHeight - TopMargin - BottomMargin) / 2 + TopMargin;
      break;
  }
  const bool showsMarks = !text_.empty() || integerFixed_ || decimalFixed_;
  l.Lw = showsMarks ? StrWidth(leftMark_) : 0;
  l.Rw = showsMarks ? StrWidth(rightMark_) : 0;
  l.M = MaxTextWidth();
  l.W = StrWidth(CreateDrawString2(text_));
  l.T = l.Lw + l.M + l.Rw;
  return l;
}

int TSaNumEditModel::BlockCentreLeft(const TLayout& l) const {
  return LeftMargin + (ClientWidth - LeftMargin - RightMargin) / 2 - l.T / 2;
}

TIntRect TSaNumEditModel::GetValueRect() const {
  const TLayout l = Layout();
  int left = 0;
  switch (Alignment) {
    case taLeftJustify:
      left = l.Lw + LeftMargin;
      break;
    case taRightJustify:
      left = ClientWidth - l.Rw - RightMargin - 1 - l.M;
      break;
    case taCenter:
      left = l.Lw + BlockCentreLeft(l);
      break;
  }
  return {left, l.Y0, l.M, FontHeight};
}

TIntRect TSaNumEditModel::GetLeftMarkRect() const {
  const TLayout l = Layout();
  int left = 0;
  switch (Alignment) {
    case taLeftJustify:
      left = LeftMargin;
      break;
    case taRightJustify:
      left = ClientWidth - l.Rw - RightMargin - 1 - l.M - l.Lw;
      break;
    case taCenter:
      left = BlockCentreLeft(l);
      break;
  }
  return {left, l.Y0, l.Lw, FontHeight};
}

TIntRect TSaNumEditModel::GetValueTextRect() const {
  const TLayout l = Layout();
  const TIntRect value = GetValueRect();
  return {value.Left + l.M - l.W, l.Y0, l.W, FontHeight};
}

TIntRect TSaNumEditModel::GetRightMarkRect() const {
  const TLayout l = Layout();
  int left = 0;
  if (Alignment == taCenter)
    left = LeftMargin + (ClientWidth - LeftMargin - RightMargin) / 2 + l.T / 2 - l.Rw;
  else
    left = GetValueRect().Left + l.M;
  return {left, l.Y0, l.Rw, FontHeight};
}

TIntPoint TSaNumEditModel::GetCaretPoint() const {
  return {GetValueTextRect().Left + CalcStringWidth2() - 1, Layout().Y0};
}

TIntRect TSaNumEditModel::GetFillRect() const {
  TIntRect r = GetValueTextRect();
  int left = r.Left;
  int right = r.Right();
  if (!leftMark_.empty()) left = GetLeftMarkRect().Left;
  if (!rightMark_.empty()) right = GetRightMarkRect().Right();
  return {left, r.Top, right - left, r.Height};
}

}  // namespace zelk
