// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/qt/TateEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCharFormat>
#include <algorithm>
#include <cmath>

#include "controls/SaNumEditModel.h"
#include "controls/qt/SystemColors.h"
#include "controls/qt/TypedText.h"
#include "preview/qt/FontMapping.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

const QColor kXpBorder(127, 157, 185);
const QString kDefaultFace = QString::fromUtf8("@ＭＳ ゴシック");

// One character of the column, drawn as the sheet draws vertical text, with its
// top-right corner at `topRight`. `yScale` narrows it down the column for fitted text.
void DrawColumnGlyph(QPainter& p, const QFont& columnFont, const QPointF& topRight,
                     const QString& ch, double yScale) {
  QFont font = columnFont;
  font.setStyleStrategy(QFont::NoAntialias);
  if (yScale == 1.0) return DrawVerticalText(p, font, topRight, ch);
  p.save();
  p.translate(topRight);
  p.scale(1.0, yScale);
  DrawVerticalText(p, font, QPointF(0, 0), ch);
  p.restore();
}

bool IsControlFocusChange(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// The column's characters as the model cuts them, for measuring and drawing one by one.
std::vector<QString> Characters(const QString& text) {
  std::vector<QString> out;
  for (const std::u16string& c : SplitCharacters(text.toStdU16String()))
    out.push_back(QString::fromStdU16String(c));
  return out;
}

}  // namespace

QColor GetHighlightColor(const QColor& c) {
  return QColor(std::min(c.red() + 64, 255), std::min(c.green() + 64, 255),
                std::min(c.blue() + 64, 255));
}

QColor GetShadowColor(const QColor& c) {
  return QColor(std::max(c.red() - 64, 0), std::max(c.green() - 64, 0), std::max(c.blue() - 64, 0));
}

TTateEdit::TTateEdit(QWidget* parent) : QWidget(parent), color_(clWindow) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  QFont f(InstalledFamily(kDefaultFace));
  f.setPointSize(8);
  setFont(f);
  resize(20, 121);
  model_.OnChange = [this] {
    update();
    NotifyAccessibleTextChanged(this);
    emit OnChange();
  };
  InstallEditAccessibility();
}

void TTateEdit::SetAccessibleCaret(int offset) {
  model_.SetCaret(offset);
  SetCursolPos();
  update();
}

void TTateEdit::ReplaceAccessibleText(int from, int to, const QString& text) {
  if (model_.ReadOnly) return;
  QString line = text;
  line.remove(QRegularExpression(QStringLiteral("[\\r\\n\\t]")));
  model_.Replace(from, to, line.toStdU16String());
  SetCursolPos();
  update();
}

QRect TTateEdit::AccessibleCharacterRect(int offset) const {
  const QString text = ReadCaption();
  if (offset < 0 || offset >= text.size()) return QRect();
  const int top = CaretY(TextAdvance(text.left(offset)));
  return QRect(bevelSize_ + offset_ + 1, top, ColumnThickness(), TextAdvance(text.mid(offset, 1)));
}

QString TTateEdit::FaceName() const { return QString(QChar(kVerticalFaceMark)) + font().family(); }

// --- properties ----------------------------------------------------------------------

void TTateEdit::SetCaption2(const QString& caption) {
  model_.SetText(caption.toStdU16String());
  update();
}

void TTateEdit::SetAlignment(TTateAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  update();
}

void TTateEdit::SetBevelStyle(TEditBevel b) {
  if (b == bevelStyle_) return;
  bevelStyle_ = b;
  update();
}

void TTateEdit::SetBevelSize(int size) {
  size = std::max(size, 1);
  if (size == bevelSize_) return;
  bevelSize_ = size;
  update();
}

void TTateEdit::SetBorder(bool single) {
  if (single == border_) return;
  border_ = single;
  if (single) {
    bevelStyle_ = bbLowered;
    bevelSize_ = 1;
  } else {
    bevelStyle_ = bbNone;
  }
  update();
}

void TTateEdit::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void TTateEdit::SetOffset(int offset) {
  offset = std::max(offset, 0);
  if (offset == offset_) return;
  offset_ = offset;
  update();
}

void TTateEdit::SetReadOnly(bool on) {
  if (on == model_.ReadOnly) return;
  model_.ReadOnly = on;
  update();
}

void TTateEdit::SetTransParent(bool on) {
  if (on == transParent_) return;
  transParent_ = on;
  update();
}

// --- measurement ---------------------------------------------------------------------

int TTateEdit::TextAdvance(const QString& text) const {
  if (text.isEmpty()) return 0;
  return static_cast<int>(std::lround(MeasureVerticalText(font(), text).height()));
}

int TTateEdit::ColumnThickness() const {
  return static_cast<int>(std::lround(MeasureVerticalText(font(), QString()).width()));
}

// --- caret ---------------------------------------------------------------------------

int TTateEdit::CaretY(int prefixAdvance) const {
  const int b = bevelSize_;
  const int t = TextAdvance(DisplayText());
  const int h = height();
  switch (alignment_) {
    case alMiddleLeft:
      return b + offset_ + 1 + prefixAdvance + (h - t - 2 * b) / 2 - 1;
    case alBottomLeft:
      return h - b - 1 - t + prefixAdvance;
    case alTopLeft:
    default:
      return b + offset_ + 1 + prefixAdvance;
  }
}

QString TTateEdit::DisplayText() const {
  if (preedit_.isEmpty()) return ReadCaption();
  QString text = ReadCaption();
  return text.insert(model_.ShownCaret(), preedit_);
}

QPoint TTateEdit::CaretPoint() const {
  const int caret = model_.ShownCaret() + (preedit_.isEmpty() ? 0 : preeditCursor_);
  return {bevelSize_ + offset_ + 1, CaretY(TextAdvance(DisplayText().left(caret)))};
}

void TTateEdit::SetCursolPos() {
  if (model_.ReadOnly || !hasCaret_) return;
  RestartCaret(caret_, this);
  // The input method follows the caret with its candidate list, a screen reader with
  // its review.
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
  NotifyAccessibleCaretMoved(this, model_.ShownCaret());
}

void TTateEdit::timerEvent(QTimerEvent* event) {
  if (!caret_.HandleTimer(event)) return QWidget::timerEvent(event);
  update();
}

QRect TTateEdit::CandidateRect() const {
  return {bevelSize_ + offset_ + 1, 0, ColumnThickness(), height()};
}

QVariant TTateEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  const int caret = model_.ShownCaret();
  switch (query) {
    case Qt::ImEnabled:
      return !model_.ReadOnly && isEnabled();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
      // The whole column, top to bottom of the edit, rather than the caret: ibus and
      // fcitx5 open their candidate list under the rectangle they are given (over it when
      // the screen has no room below), which for a bar across a vertical column is over
      // the text being composed. Under the edit it covers none of the column.
      return CandidateRect();
    case Qt::ImFont:
      return font();
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhNone);
    case Qt::ImSurroundingText:
      return ReadCaption();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
    case Qt::ImAbsolutePosition:
      return caret;
    case Qt::ImTextBeforeCursor:
      return ReadCaption().left(caret);
    case Qt::ImTextAfterCursor:
      return ReadCaption().mid(caret);
    case Qt::ImCurrentSelection:
      return QString();
    case Qt::ImMaximumTextLength:
      return QVariant();  // no limit of its own
    default:
      return QWidget::inputMethodQuery(query);
  }
}

// --- painting ------------------------------------------------------------------------

void TTateEdit::paintEvent(QPaintEvent*) {
  state_ = isEnabled() ? bsUp : bsDisabled;
  QPainter p(this);
  // The column's text is drawn without antialiasing, so the embossed copies keep
  // their two exact colours.
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPalette& pal = palette();
  const QColor background = ThemeColor(color_, pal);
  const int w = width(), h = height(), b = bevelSize_;
  if (!transParent_) {
    p.fillRect(rect(), background);
    if (bevelStyle_ == bbXpStyle) {
      p.setPen(kXpBorder);
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else if (bevelStyle_ == bbLowered || bevelStyle_ == bbRaised) {
      const bool low = bevelStyle_ == bbLowered;
      const auto c = [&pal](int index) { return ThemeColor(SystemColor(index), pal); };
      DrawBevelRings(p, rect(), b, c(low ? kColorBtnShadow : kColorBtnHighlight),
                     c(low ? kColorBtnHighlight : kColorBtnShadow),
                     c(low ? kColor3DDkShadow : kColor3DLight),
                     c(low ? kColor3DLight : kColor3DDkShadow));
    }
    p.fillRect(QRect(QPoint(b, b), QPoint(w - b - 1, h - b - 1)), background);
  }
  if (!DisplayText().isEmpty()) {
    if (isEnabled()) {
      PaintText(p, 0, pal.color(QPalette::Active, QPalette::Text));
      DrawPreeditLines(p, pal.color(QPalette::Active, QPalette::Text));
    } else {
      PaintText(p, 1, GetHighlightColor(background));
      PaintText(p, 0, GetShadowColor(background));
    }
  }
  if (CaretShown()) {
    const QPoint c = CaretPoint();
    p.fillRect(QRect(c.x(), c.y(), ColumnThickness(), 1),
               pal.color(QPalette::Active, QPalette::Text));
  }
}

void TTateEdit::PaintText(QPainter& p, int d, const QColor& color) {
  const QString text = DisplayText();
  const int m = bevelSize_ + offset_;
  const int t = TextAdvance(text);
  const int h = height();
  const bool overflow = model_.ReadOnly && t > h - 2 * (d + m);
  const int x = d + m;
  int y = d + m;
  if (alignment_ == alMiddleLeft && !overflow) y = (h - 2 * m - t) / 2 + d + m;
  if (alignment_ == alBottomLeft) y = h - m - t + d;
  p.setPen(color);
  if (overflow && alignment_ != alBottomLeft)
    DrawFittedText(p, x, y, h - m + d, text);
  else
    DrawColumnText(p, x, y, text);
}

void TTateEdit::DrawColumnText(QPainter& p, int x, int y, const QString& s) {
  const int thickness = ColumnThickness();
  int pos = 0;
  for (const QString& c : Characters(s)) {
    DrawColumnGlyph(p, font(), QPointF(x + thickness + 1, y + 1 + pos), c, 1.0);
    pos += TextAdvance(c);
  }
}

void TTateEdit::DrawFittedText(QPainter& p, int x, int y, int yEnd, const QString& s) {
  const std::vector<QString> chars = Characters(s);
  std::vector<int> advances;
  for (const QString& c : chars) advances.push_back(TextAdvance(c));
  const TFittedColumn fit = FitColumn(advances, yEnd - y + 1);
  const int thickness = ColumnThickness();
  for (size_t i = 0; i < chars.size(); ++i)
    DrawColumnGlyph(p, font(), QPointF(x + thickness + 1, y + 1 + fit.Pos[i]), chars[i], fit.Ratio);
}

int TTateEdit::ColumnTop() const {
  const int m = bevelSize_ + offset_;
  const int t = TextAdvance(DisplayText());
  if (alignment_ == alMiddleLeft) return (height() - 2 * m - t) / 2 + m;
  if (alignment_ == alBottomLeft) return height() - m - t;
  return m;
}

void TTateEdit::DrawPreeditLines(QPainter& p, const QColor& color) {
  if (preedit_.isEmpty()) return;
  // Beside the composed characters, on the column's left edge: a thin line under all
  // of them, a thick one under the segment being converted.
  const QString shown = DisplayText();
  const int start = model_.ShownCaret();
  const int x = bevelSize_ + offset_;
  const int top = ColumnTop() + 1;
  for (const TPreeditSegment& seg : preeditSegments_) {
    const int y1 = top + TextAdvance(shown.left(start + seg.Start));
    const int y2 = top + TextAdvance(shown.left(start + seg.Start + seg.Length));
    if (y2 > y1) p.fillRect(QRect(x, y1, seg.Emphasised ? 2 : 1, y2 - y1 - 1), color);
  }
}

// --- editing -------------------------------------------------------------------------

void TTateEdit::TypeCharacter(char16_t ch) {
  if (!model_.TypeCharacter(ch)) return;
  SetCursolPos();
  update();
}

bool TTateEdit::HandleKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const bool shift = mods & Qt::ShiftModifier;
  // The edit has no selection of its own: a copy takes the whole text, and offers it
  // as the X11 selection too, for a middle click elsewhere.
  const auto copy = [this] {
    const QString text = QString::fromStdU16String(model_.CopyText());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    if (clipboard->supportsSelection()) clipboard->setText(text, QClipboard::Selection);
  };
  const auto paste = [this](bool append) {
    model_.Paste(QGuiApplication::clipboard()->text().toStdU16String(), append);
    update();
    SetCursolPos();
  };
  switch (event->key()) {
    case Qt::Key_Up:
      model_.MoveUp();
      SetCursolPos();
      return true;
    case Qt::Key_Down:
      model_.MoveDown();
      SetCursolPos();
      return true;
    case Qt::Key_Delete:
      if (model_.ReadOnly) return false;
      if (shift && !ctrl) {  // cut: the whole text, as a copy takes it
        copy();
        model_.SetText(std::u16string());
      } else {
        model_.Delete();
      }
      update();
      SetCursolPos();
      return true;
    case Qt::Key_C:
      if (!ctrl) return false;
      copy();
      return true;
    case Qt::Key_Insert:
      if (ctrl && !shift) {
        copy();
        return true;
      }
      if (!shift || ctrl || model_.ReadOnly) return false;
      paste(false);
      return true;
    case Qt::Key_V:
      if (!ctrl || model_.ReadOnly) return false;
      paste(shift);
      return true;
    default:
      return false;
  }
}

void TTateEdit::keyPressEvent(QKeyEvent* event) {
  if (HandleKey(event)) return event->accept();
  const QString text = TypedText(event);
  if (text.isEmpty()) return QWidget::keyPressEvent(event);
  for (QChar c : text) TypeCharacter(c.unicode());
  event->accept();
}

void TTateEdit::keyReleaseEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat() &&
      state_ != bsDisabled && isEnabled())
    emit OnClick();
  QWidget::keyReleaseEvent(event);
}

void TTateEdit::inputMethodEvent(QInputMethodEvent* event) {
  event->accept();
  if (!model_.ReadOnly) {
    // A commit may replace text around the caret (a reconversion): the range is counted
    // in UTF-16 units from the caret. Taking it out first leaves the caret at its start.
    if (event->replacementLength() > 0 || event->replacementStart() != 0) {
      const int size = static_cast<int>(model_.Text().size());
      const int from = std::clamp(model_.ShownCaret() + event->replacementStart(), 0, size);
      const int to = std::clamp(from + std::max(event->replacementLength(), 0), from, size);
      model_.Replace(from, to, std::u16string());
    }
    for (QChar c : event->commitString()) TypeCharacter(c.unicode());
  }
  preedit_ = model_.ReadOnly ? QString() : event->preeditString();
  preedit_.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
  preeditCursor_ = static_cast<int>(preedit_.size());
  preeditSegments_.clear();
  for (const QInputMethodEvent::Attribute& a : event->attributes()) {
    if (a.type == QInputMethodEvent::Cursor) {
      preeditCursor_ = std::clamp(a.start, 0, static_cast<int>(preedit_.size()));
    } else if (a.type == QInputMethodEvent::TextFormat) {
      const QTextCharFormat format = a.value.value<QTextFormat>().toCharFormat();
      const bool emphasised = format.background().style() != Qt::NoBrush ||
                              format.fontWeight() > QFont::Normal ||
                              format.underlineStyle() == QTextCharFormat::WaveUnderline;
      preeditSegments_.push_back({a.start, a.length, emphasised});
    }
  }
  if (!preedit_.isEmpty() && preeditSegments_.empty())
    preeditSegments_.push_back({0, static_cast<int>(preedit_.size()), false});
  SetCursolPos();
  update();
}

void TTateEdit::mousePressEvent(QMouseEvent* event) {
  // A click ends the composition where it stands, as in any text field.
  if (!preedit_.isEmpty()) QGuiApplication::inputMethod()->commit();
  QWidget::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  const int b = bevelSize_;
  const QString text = ReadCaption();
  const int t = TextAdvance(text);
  const int h = height();
  int top = b + offset_ + 1;
  if (alignment_ == alBottomLeft) top = h - b - t;
  if (alignment_ == alMiddleLeft) top = (h - t - 2 * b) / 2 + 4;
  std::vector<int> advances;
  for (const QString& c : Characters(text)) advances.push_back(TextAdvance(c));
  model_.PlaceCaret(static_cast<int>(event->position().y()) - top, advances);
  // A middle click puts the X11 selection in where it was made, as text fields do.
  if (event->button() == Qt::MiddleButton && !model_.ReadOnly &&
      QGuiApplication::clipboard()->supportsSelection()) {
    model_.InsertAtCaret(
        QGuiApplication::clipboard()->text(QClipboard::Selection).toStdU16String());
    update();
  }
  SetCursolPos();
}

// --- focus and state -----------------------------------------------------------------

void TTateEdit::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  hasCaret_ = true;
  if (IsControlFocusChange(event->reason())) {
    focused_ = true;
    model_.MoveEnd();
  }
  update();
  SetCursolPos();
}

void TTateEdit::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  hasCaret_ = false;
  caret_.Stop();
  preedit_.clear();
  preeditSegments_.clear();
  if (IsControlFocusChange(event->reason())) focused_ = false;
  update();
}

void TTateEdit::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    state_ = isEnabled() ? bsUp : bsDisabled;
    update();
  }
  if (event->type() == QEvent::FontChange) update();
}

}  // namespace zelk
