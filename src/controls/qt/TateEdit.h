// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The vertical text edit: one column of Japanese text running downward, drawn with the
// same vertical text rendering as the sheet, with its own bevelled border, a caret that
// moves up and down the column, and whole-text copy and paste.
//
// The text, the caret and every editing rule live in TTateEditModel (characters, not
// UTF-16 units, are edited there); this widget paints, measures and forwards keys,
// mouse clicks, clipboard text and input-method commits to it.

#include <QWidget>
#include <vector>

#include "base/Font.h"
#include "controls/TateEditModel.h"
#include "controls/qt/CaretBlink.h"
#include "controls/qt/EditAccessibility.h"

namespace zelk {

enum TTateAlignment { alTopLeft = 0, alMiddleLeft = 1, alBottomLeft = 2 };
enum TEditBevel { bbLowered = 0, bbNone = 1, bbRaised = 2, bbXpStyle = 3 };
enum TEditState { bsUp = 0, bsDown = 1, bsDisabled = 2 };

/// `c` with each of red, green and blue raised by 64 (at most 255) / lowered by 64 (at
/// least 0): the light and dark copies of embossed disabled text.
QColor GetHighlightColor(const QColor& c);
QColor GetShadowColor(const QColor& c);

class TTateEdit : public QWidget, public TAccessibleEdit {
  Q_OBJECT

 public:
  /// 20 × 121 pixels, face "@ＭＳ ゴシック" 8 points, lowered bevel of 2, offset 2.
  explicit TTateEdit(QWidget* parent = nullptr);

  /// The text (ReadCaption) and SetCaption2: a different text replaces it and raises
  /// OnChange; the caret index stays where it was.
  QString ReadCaption() const { return QString::fromStdU16String(model_.Text()); }
  void SetCaption2(const QString& caption);

  TTateAlignment Alignment() const { return alignment_; }
  void SetAlignment(TTateAlignment a);
  TEditBevel BevelStyle() const { return bevelStyle_; }
  void SetBevelStyle(TEditBevel b);
  int BevelSize() const { return bevelSize_; }
  /// Values below 1 become 1.
  void SetBevelSize(int size);
  bool HasBorder() const { return border_; }
  /// A border sets a lowered bevel of 1, none switches the bevel off.
  void SetBorder(bool single);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Offset() const { return offset_; }
  /// Values below 0 become 0.
  void SetOffset(int offset);
  bool ReadOnly() const { return model_.ReadOnly; }
  void SetReadOnly(bool on);
  bool TransParent() const { return transParent_; }
  void SetTransParent(bool on);
  TEditState State() const { return state_; }

  /// The caret index: UTF-16 units of the text above the caret. May lie beyond the end
  /// after a paste or SetCaption2 made the text shorter.
  int SelStart() const { return model_.SelStart(); }
  /// The caret's top-left point in widget coordinates (a bar across the column, one
  /// pixel high).
  QPoint CaretPoint() const;
  bool CaretShown() const { return hasCaret_ && caret_.Phase(); }
  /// The text being composed by the input method (shown at the caret, not yet part of
  /// the text), and the caret's place within it.
  QString PreeditText() const { return preedit_; }
  int PreeditCursor() const { return preeditCursor_; }
  /// The column as shown: the text with the text being composed at the caret.
  QString DisplayText() const;

  /// The face as a vertical face name ("@" before the family).
  QString FaceName() const;

  /// Pixel extent of a text down the column / the column's thickness, in the control's
  /// font.
  int TextAdvance(const QString& text) const;
  int ColumnThickness() const;

  /// What the input method is told of the caret (ImCursorRectangle): the column, from
  /// the edit's top to its bottom, so that a candidate list put under it or over it
  /// leaves the column's text in view.
  QRect CandidateRect() const;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  // Screen readers (see EditAccessibility.h).
  QString AccessibleText() const override { return ReadCaption(); }
  int AccessibleCaret() const override { return model_.ShownCaret(); }
  void SetAccessibleCaret(int offset) override;
  bool AccessibleSelection(int*, int*) const override { return false; }
  bool AccessibleReadOnly() const override { return model_.ReadOnly; }
  void ReplaceAccessibleText(int from, int to, const QString& text) override;
  QRect AccessibleCharacterRect(int offset) const override;

 signals:
  /// Raised by every change of the text, by the user or by SetCaption2.
  void OnChange();
  /// Enter released on an enabled control.
  void OnClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  QSize sizeHint() const override { return {20, 121}; }

 private:
  void TypeCharacter(char16_t ch);
  bool HandleKey(QKeyEvent* event);
  void SetCursolPos();
  int CaretY(int prefixAdvance) const;
  void PaintText(QPainter& p, int d, const QColor& color);
  void DrawColumnText(QPainter& p, int x, int y, const QString& s);
  void DrawFittedText(QPainter& p, int x, int y, int yEnd, const QString& s);
  void DrawPreeditLines(QPainter& p, const QColor& color);
  int ColumnTop() const;

  TTateEditModel model_;
  TTateAlignment alignment_ = alTopLeft;
  TEditBevel bevelStyle_ = bbLowered;
  int bevelSize_ = 2;
  bool border_ = true;
  TColor color_;
  int offset_ = 2;
  bool transParent_ = false;
  TEditState state_ = bsUp;
  bool focused_ = false;
  TCaretBlink caret_;
  bool hasCaret_ = false;
  // The input method's composition: its text, caret and the segments it underlines
  // (Emphasised: the segment being converted).
  struct TPreeditSegment {
    int Start = 0;
    int Length = 0;
    bool Emphasised = false;
  };
  QString preedit_;
  int preeditCursor_ = 0;
  std::vector<TPreeditSegment> preeditSegments_;
};

}  // namespace zelk
