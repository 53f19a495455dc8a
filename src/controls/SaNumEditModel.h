// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The value model of the numeric edit: a short normalised number text that only grows at
// its end, the display text derived from it, the single undo level, the all-or-nothing
// selection, the clipboard operations and the layout arithmetic of the control. The Qt
// widget forwards its events here and paints what this class computes; the headless
// settings form uses it so that filtering is the same everywhere.

#include <cstdint>
#include <functional>
#include <string>

#include "base/Color.h"

namespace zelk {

enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum TVertAlignment { taTopJustify = 0, taBottomJustify = 1, taVCenter = 2 };
enum class TBorderStyle { bsNone, bsSingle };

enum TSaNumEditOption {
  eoMinusOnly = 0,      ///< a value text "-" survives leaving the control
  eoArrowUp = 1,        ///< with ArrowFocusMove, Up moves the focus to the previous control
  eoArrowDown = 2,      ///< with ArrowFocusMove, Down moves the focus to the next control
  eoAutoWidthSize = 3,  ///< automatic width (design state only)
  eoORInputStop = 4,    ///< typing stops when the display text would not fit
};

/// A set of TSaNumEditOption, bit n for the option of ordinal n.
using TSaNumEditOptions = uint8_t;
constexpr TSaNumEditOptions SaNumOption(TSaNumEditOption o) {
  return static_cast<TSaNumEditOptions>(1u << o);
}
constexpr bool HasSaNumOption(TSaNumEditOptions set, TSaNumEditOption o) {
  return (set & SaNumOption(o)) != 0;
}

/// Plain-text clipboard. A clipboard without a text format counts as empty.
class TClipboardText {
 public:
  virtual ~TClipboardText() = default;
  virtual bool HasText() const = 0;
  virtual std::u16string Text() const = 0;
  virtual void SetText(const std::u16string& text) = 0;
};

/// What the model needs of the control that shows it. Every hook has a harmless default,
/// so the model also runs without a window (measuring every text as 0 wide).
class TSaNumEditView {
 public:
  virtual ~TSaNumEditView() = default;
  /// Pixel width of a one-line text in the control's font, without the extra pixel.
  virtual int MeasureText(const std::u16string& /*text*/) const { return 0; }
  virtual void Repaint() {}
  /// The number may have moved: put the caret (and the input method) at GetCaretPoint.
  virtual void CaretMove() {}
  /// The automatic width may have changed (only relevant in a form designer).
  virtual void AutoWidthSize() {}
};

struct TIntRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return Left + Width; }
  bool operator==(const TIntRect& o) const {
    return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
  }
};

struct TIntPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TIntPoint& o) const { return X == o.X && Y == o.Y; }
};

/// What a character given to KeyPress asks of the surroundings.
enum class TCharOutcome { Consumed, FocusNext };

/// The value text is empty or: an optional leading "-", an integer part of at most
/// `IntegerLength` digits without leading zeros (empty only for "-" alone), optionally
/// "." and at most `DecimalLength` decimals (trailing zeros kept; "12." while typing).
/// Every operation keeps that form. The model never throws; rejected typing calls the
/// beep (when ErrorBeep) and changes nothing.
class TSaNumEditModel {
 public:
  TSaNumEditModel();

  // --- surroundings ------------------------------------------------------------
  /// The view, not owned; null means none (all hooks do nothing). Default null.
  void SetView(TSaNumEditView* view) { view_ = view; }
  /// The clipboard, not owned; null means an empty clipboard that ignores writes.
  void SetClipboard(TClipboardText* clipboard) { clipboard_ = clipboard; }
  /// Called for every beep the model sounds (only when ErrorBeep is true).
  std::function<void()> OnBeep;
  /// Raised after the user edits listed in the effects table (never by SetText).
  std::function<void()> OnChange;

  // --- value properties --------------------------------------------------------
  /// Filters `text` to its longest acceptable beginning, applies the leading-zero rule
  /// and stores it. Nothing happens when `text` equals the value text. No undo state,
  /// Modified untouched, no OnChange.
  void SetText(const std::u16string& text);
  const std::u16string& GetText() const { return text_; }
  /// The display text: CreateDrawString of the value text.
  const std::u16string& ValText() const { return valText_; }

  int IntegerLength() const { return integerLength_; }
  /// Ignored when negative or unchanged; otherwise refilters the value text.
  void SetIntegerLength(int length);
  int DecimalLength() const { return decimalLength_; }
  /// Ignored when negative or unchanged; otherwise refilters the value text.
  void SetDecimalLength(int length);
  bool Minus() const { return minus_; }
  /// Refilters the value text when changed (switching off empties a negative value).
  void SetMinus(bool minus);
  bool Comma() const { return comma_; }
  void SetComma(bool comma);
  bool IntegerFixed() const { return integerFixed_; }
  void SetIntegerFixed(bool fixed);
  bool DecimalFixed() const { return decimalFixed_; }
  void SetDecimalFixed(bool fixed);
  const std::u16string& LeftMark() const { return leftMark_; }
  void SetLeftMark(const std::u16string& mark);
  const std::u16string& RightMark() const { return rightMark_; }
  void SetRightMark(const std::u16string& mark);

  bool ErrorBeep = true;
  bool ImageCopy = false;
  bool ReadOnly = false;
  TSaNumEditOptions Options = SaNumOption(eoArrowUp) | SaNumOption(eoArrowDown);
  bool Modified = false;
  bool CanUndo() const { return canUndo_; }
  int SelStart() const { return 0; }
  int SelLength() const { return selLength_; }
  bool Selected() const { return selLength_ > 0; }

  // --- display and behaviour properties (used by the widget) -------------------
  int TopMargin = 2;
  int LeftMargin = 2;
  int BottomMargin = 2;
  int RightMargin = 2;
  TAlignment Alignment = taRightJustify;
  TVertAlignment VertAlignment = taVCenter;
  TColor DisabledColor = clGrayText;
  TColor Color = clWindow;
  bool EnterFocusMove = false;
  bool ArrowFocusMove = false;
  bool AutoSelect = true;
  bool AutoSize = true;
  bool HideSelection = true;
  TBorderStyle BorderStyle = TBorderStyle::bsSingle;
  bool Ctl3D = true;
  /// The height of the text line ("M"), pixels. Set by the widget from its font.
  int FontHeight = 0;
  /// The client area inside the border, pixels. Set by the widget on resize.
  int ClientWidth = 121;
  int ClientHeight = 20;

  // --- public operations -------------------------------------------------------
  /// Records undo, empties the value, drops the selection, Modified false, no OnChange.
  void Clear();
  void ClearSelect();
  /// Clear when something is selected.
  void ClearSelection();
  void ClearUndo();
  /// Only with a selection: the value text (or with ImageCopy the display text).
  void CopyToClipboard();
  /// Only with a selection: copy, Clear, then OnChange.
  void CutToClipboard();
  /// Only when the clipboard holds text: appends it (or replaces the selected value),
  /// filtered; records undo, drops the selection, raises OnChange. No width test.
  void PasteFromClipboard();
  /// Selects the whole display text; an empty display text cannot be selected.
  void SelectAll();
  /// Exchanges the value text with the undo buffer, selects all, raises OnChange.
  void Undo();

  // --- typing ------------------------------------------------------------------
  /// The character table: digits, ".", "-" are typed; Backspace and the Ctrl+A/C/V/X
  /// characters are dropped silently; Enter asks for the next control with
  /// EnterFocusMove and beeps otherwise; anything else beeps. A read-only control drops
  /// every character silently.
  TCharOutcome KeyPress(char16_t key);
  /// Full-width digits, minus and stop from an input method become ASCII; other
  /// characters pass unchanged.
  static char16_t ImeCharToAscii(char16_t ch);
  /// Each takes the typed character and sets it to 0 once consumed.
  void AddChar(char16_t& key);
  void AddDot(char16_t& key);
  void AddMinus(char16_t& key);
  /// Backspace or Delete: drops the last character (and a "." left at the end), or
  /// with a selection clears.
  void OneCharDelete();
  /// On leaving: a lone "-" is emptied unless eoMinusOnly. No undo, no OnChange.
  void ExitMinusRule();

  // --- text rules --------------------------------------------------------------
  /// The longest acceptable beginning of `s` under the digit limits (full-width digits,
  /// minus and stop converted, commas skipped; too many integer digits give "").
  std::u16string NumFilter(const std::u16string& s) const;
  /// The leading-zero rule: "007" → "7", "000" → "0", ".5" → "0.5", "-." → "-0.".
  static std::u16string MaeZeroSyori(const std::u16string& s);
  /// "," between groups of three counted from the right: "1234567" → "1,234,567".
  static std::u16string InsertComma(const std::u16string& s);
  /// Display of a value text without marks (commas, fixed parts).
  std::u16string CreateDrawString2(const std::u16string& s) const;
  /// CreateDrawString2 with the marks around it, or "" when that is empty.
  std::u16string CreateDrawString(const std::u16string& s) const;
  /// The widest display of the value in the current configuration, without marks.
  std::u16string MaxTextStr() const;
  /// "-" (with Minus), IntegerLength zeros (with commas), ".", DecimalLength zeros.
  std::u16string MaxTextStr2() const;

  // --- measurement and layout (integer pixels) ---------------------------------
  /// 0 for "", else the measured width plus 1.
  int StrWidth(const std::u16string& s) const;
  int MaxTextWidth() const { return StrWidth(MaxTextStr()); }
  /// Room inside margins and border: ClientWidth − margins − 2·e, e 2 for a single
  /// 3-D border, else 1.
  int CalcDrawWidth() const;
  int CalcStringWidth(const std::u16string& s) const { return StrWidth(CreateDrawString(s)); }
  /// Width of the typed part of the value as displayed (no zero fill of decimals).
  int CalcStringWidth2() const;
  bool StringWidthCheck(const std::u16string& s) const {
    return CalcStringWidth(s) <= CalcDrawWidth();
  }
  TIntRect GetLeftMarkRect() const;
  TIntRect GetValueRect() const;
  TIntRect GetValueTextRect() const;
  TIntRect GetRightMarkRect() const;
  /// Right after the last typed character, at the top of the text line.
  TIntPoint GetCaretPoint() const;
  /// The value text rectangle widened over the marks that are not empty: the band
  /// filled behind the number.
  TIntRect GetFillRect() const;

 private:
  struct TParts {
    std::u16string Sign, IntPart, Dot, DecPart;
  };
  static TParts TextEncode(const std::u16string& s);
  static std::u16string TextDecode(const TParts& p);

  struct TLayout {
    int Y0, Lw, Rw, M, W, T;
  };
  TLayout Layout() const;
  int BlockCentreLeft(const TLayout& l) const;

  void Beep() const;
  void UndoDataSet();
  void UndoDataChange();
  void Commit(const std::u16string& candidate, char16_t& key);
  bool RejectedByWidth(const std::u16string& candidate) const;
  void Refilter();
  void Redisplay();
  void UpdateValText();
  void Changed();
  void Repaint() {
    if (view_) view_->Repaint();
  }
  void CaretMove() {
    if (view_) view_->CaretMove();
  }

  TSaNumEditView* view_ = nullptr;
  TClipboardText* clipboard_ = nullptr;

  bool minus_ = true;
  int integerLength_ = 9;
  int decimalLength_ = 3;
  bool comma_ = true;
  bool integerFixed_ = false;
  bool decimalFixed_ = false;
  std::u16string leftMark_;
  std::u16string rightMark_;

  std::u16string text_;
  std::u16string valText_;
  int selLength_ = 0;
  std::u16string undoBuffer_;
  bool canUndo_ = false;
};

}  // namespace zelk
