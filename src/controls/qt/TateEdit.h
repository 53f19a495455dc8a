#pragma once
// The vertical text edit: one column of Japanese text running downward, drawn with the
// same vertical text rendering as the sheet, with its own bevelled border, a caret that
// moves up and down the column, and whole-text copy and paste.
//
// The text is edited by characters, not by UTF-16 units: a surrogate pair (𠮷) is one
// character for Backspace, Delete, Up, Down and the mouse, so half a character can
// never be left in the text.

#include <QWidget>
#include <vector>

#include "controls/qt/CaretBlink.h"
#include "settings/Font.h"

namespace zelk {

enum TTateAlignment { alTopLeft = 0, alMiddleLeft = 1, alBottomLeft = 2 };
enum TEditBevel { bbLowered = 0, bbNone = 1, bbRaised = 2, bbXpStyle = 3 };
enum TEditState { bsUp = 0, bsDown = 1, bsDisabled = 2 };

/// A text cut into characters: a surrogate pair stays one element.
std::vector<QString> SplitCharacters(const QString& text);

/// `c` with each of red, green and blue raised by 64 (at most 255) / lowered by 64 (at
/// least 0): the light and dark copies of embossed disabled text.
QColor GetHighlightColor(const QColor& c);
QColor GetShadowColor(const QColor& c);

/// Where each character of a read-only text that is too long or slightly short goes
/// when it is fitted to a column of `length` pixels: its offset down the column and its
/// advance, the advances scaled by `Ratio` (1 when the text fits). The last character
/// ends exactly at `length` whenever there are two characters or more.
struct TFittedColumn {
  double Ratio = 1;
  std::vector<int> Pos;
  std::vector<int> Advance;
};
TFittedColumn FitColumn(const std::vector<int>& advances, int length);

class TTateEdit : public QWidget {
  Q_OBJECT

 public:
  /// 20 × 121 pixels, face "@ＭＳ ゴシック" 8 points, lowered bevel of 2, offset 2.
  explicit TTateEdit(QWidget* parent = nullptr);

  /// The text (ReadCaption) and SetCaption2: a different text replaces it and raises
  /// OnChange; the caret index stays where it was.
  QString ReadCaption() const { return text_; }
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
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool TransParent() const { return transParent_; }
  void SetTransParent(bool on);
  TEditState State() const { return state_; }

  /// The caret index: UTF-16 units of the text above the caret. May lie beyond the end
  /// after a paste or SetCaption2 made the text shorter.
  int SelStart() const { return selStart_; }
  /// The caret's top-left point in widget coordinates (a bar across the column, one
  /// pixel high).
  QPoint CaretPoint() const;
  bool CaretShown() const { return hasCaret_ && caret_.Phase(); }
  /// The face as a vertical face name ("@" before the family).
  QString FaceName() const;

  /// Pixel extent of a text down the column / the column's thickness, in the control's
  /// font.
  int TextAdvance(const QString& text) const;
  int ColumnThickness() const;

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

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
  void SetText(const QString& text);
  void TypeCharacter(QChar ch);
  bool HandleKey(QKeyEvent* event);
  void Backspace();
  void DeleteBelow();
  void SetCursolPos();
  int CaretY(int prefixAdvance) const;
  int UnitsBefore(int index) const;  // units of the character ending at index
  int UnitsAfter(int index) const;   // units of the character starting at index
  void PaintText(QPainter& p, int d, const QColor& color);
  void DrawColumnText(QPainter& p, int x, int y, const QString& s);
  void DrawFittedText(QPainter& p, int x, int y, int yEnd, const QString& s);

  QString text_;
  QString pending_;  // a high surrogate waiting for its low half
  TTateAlignment alignment_ = alTopLeft;
  TEditBevel bevelStyle_ = bbLowered;
  int bevelSize_ = 2;
  bool border_ = true;
  TColor color_;
  int offset_ = 2;
  bool readOnly_ = false;
  bool transParent_ = false;
  TEditState state_ = bsUp;
  bool focused_ = false;
  int selStart_ = 0;
  TCaretBlink caret_;
  bool hasCaret_ = false;
};

}  // namespace zelk
