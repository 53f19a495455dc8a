// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editing model of the vertical text edit: one column of text, the caret index,
// editing by characters, caret movement, whole-text copy and paste, and the arithmetic
// that fits a read-only text to its column. It knows nothing of fonts, painting or
// events: the widget measures, forwards keys, mouse clicks, clipboard text and
// input-method text here, and paints what this class holds.
//
// Characters, not UTF-16 units, are what the user edits: a surrogate pair (𠮷) is one
// character for Backspace, Delete, Up, Down and caret placement, and typing never puts
// half a pair into the text. Indices are still counted in UTF-16 units, as the text is
// stored.

#include <functional>
#include <string>
#include <vector>

namespace zelk {

/// `text` cut into characters: a high surrogate directly followed by a low one stays one
/// element; every other unit, a lone half included, is an element of its own. "" gives
/// no elements.
std::vector<std::u16string> SplitCharacters(const std::u16string& text);

/// Where each character of a read-only text that is too long or slightly short goes
/// when it is fitted to a column of `length` pixels: its offset down the column and its
/// advance, the advances scaled by `Ratio` (1 when the text fits). The last character
/// ends exactly at `length` whenever there are two characters or more; a single
/// character keeps its place and advance; no advances give an empty fit.
struct TFittedColumn {
  double Ratio = 1;
  std::vector<int> Pos;
  std::vector<int> Advance;
};
TFittedColumn FitColumn(const std::vector<int>& advances, int length);

/// The text and caret of one vertical edit. A new model holds "" with the caret at 0,
/// is editable and has no OnChange handler. The model never throws; a refused edit
/// changes nothing and reports nothing.
class TTateEditModel {
 public:
  /// Called after every change of the text, whichever operation made it (SetText
  /// included), and never when an operation leaves the text as it was. The caret index
  /// already has its new value when it runs. Default empty (nothing is called).
  std::function<void()> OnChange;

  /// Refuses every edit: typing, Backspace, Delete, Replace and Paste change neither
  /// the text nor the caret. SetText, caret movement and CopyText still work. Default
  /// false.
  bool ReadOnly = false;

  // --- text ----------------------------------------------------------------------
  const std::u16string& Text() const { return text_; }
  /// Replaces the whole text, read-only or not. The caret index stays where it was,
  /// also beyond the end of a shorter text; a high half typed earlier keeps waiting for
  /// its partner. Returns whether the text changed.
  bool SetText(const std::u16string& text);

  // --- caret ---------------------------------------------------------------------
  /// The caret index: UTF-16 units of the text above the caret. May lie beyond the end
  /// after SetText or Paste made the text shorter; the caret is then shown at the end.
  int SelStart() const { return selStart_; }
  /// SelStart clamped to the end of the text: where the caret is shown and where
  /// typing goes in.
  int ShownCaret() const;
  /// One character up (a whole pair at once); from beyond the end one unit back
  /// towards it. Nothing at the top.
  void MoveUp();
  /// One character down (a whole pair at once). Nothing at or beyond the end.
  void MoveDown();
  /// To the UTF-16 index `index`, clamped to the text and moved up off the middle of a
  /// pair. Read-only or not.
  void SetCaret(int index);
  /// To the top / to the end of the text.
  void MoveHome() { selStart_ = 0; }
  void MoveEnd() { selStart_ = static_cast<int>(text_.size()); }
  /// Puts the caret at the character boundary nearest to `offset` pixels down from the
  /// top of the text: before the first character whose lower half (from its middle,
  /// rounded down, on) lies beyond `offset`, or at the end when there is none.
  /// `advances` holds one advance per element of SplitCharacters(Text()); a character
  /// without one counts as 0 pixels and extra advances are ignored. Read-only or not.
  void PlaceCaret(int offset, const std::vector<int>& advances);

  // --- editing -------------------------------------------------------------------
  /// One typed character (an input method's commit arrives here unit by unit):
  /// - Backspace (8) as Backspace();
  /// - Escape (27) empties the text and puts the caret at the top;
  /// - a character from 32 on (DEL 127 excepted) goes in at the caret, which moves
  ///   below it. A high surrogate is held back until its low half arrives and then goes
  ///   in with it; a low half without a held high half is dropped, and so is a held
  ///   high half when another such character follows it instead of its low half
  ///   (Backspace, Escape and ignored characters leave it held);
  /// - other control characters are ignored.
  /// Returns true when the character was acted on (Backspace, Escape or a character
  /// put in, whether or not the text changed), so the caret should be shown afresh;
  /// false when it was ignored, held back or dropped, and always when read-only.
  bool TypeCharacter(char16_t ch);
  /// Erases the character above the caret (a whole pair at once) and moves the caret up
  /// over it. From beyond the end only the caret index comes back by one unit; nothing
  /// at the top or in an empty text. Returns whether the text changed.
  bool Backspace();
  /// Erases the character below the caret (a whole pair at once); the caret stays.
  /// Nothing at or beyond the end. Returns whether the text changed.
  bool Delete();
  /// Replaces the UTF-16 units [from, to) with `text` and puts the caret right after
  /// the inserted text. `from` is clamped to the text, `to` to [from, end]: an empty
  /// range inserts. Units are taken as given, so a caller that must keep pairs whole
  /// passes character boundaries. Returns whether the text changed (the caret moves
  /// even when it did not); refused when read-only.
  bool Replace(int from, int to, const std::u16string& text);

  // --- clipboard -----------------------------------------------------------------
  /// What a copy puts on the clipboard: the whole text, wherever the caret is and
  /// read-only or not.
  const std::u16string& CopyText() const { return text_; }
  /// A paste of `clip`, without its line breaks and tabs (the edit holds one line): it
  /// replaces the whole text, or with `append` goes after its end. An empty `clip` empties the text
  /// (without `append`). The caret index stays where it was, as with SetText. Refused when
  /// read-only. Returns whether the text changed.
  bool Paste(const std::u16string& clip, bool append);
  /// `clip` without its line breaks and tabs, put in at the caret, which moves below it
  /// (a middle-click paste of the X11 selection). Refused when read-only. Returns
  /// whether the text changed.
  bool InsertAtCaret(const std::u16string& clip);

 private:
  bool Assign(std::u16string text);
  int UnitsBefore(int index) const;  // units of the character ending at index
  int UnitsAfter(int index) const;   // units of the character starting at index

  std::u16string text_;
  int selStart_ = 0;
  char16_t pendingHigh_ = 0;  // a typed high surrogate waiting for its low half; 0: none
};

}  // namespace zelk
