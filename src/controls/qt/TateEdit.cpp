#include "controls/qt/TateEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPainter>
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
    emit OnChange();
  };
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
  const int t = TextAdvance(ReadCaption());
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

QPoint TTateEdit::CaretPoint() const {
  return {bevelSize_ + offset_ + 1, CaretY(TextAdvance(ReadCaption().left(model_.ShownCaret())))};
}

void TTateEdit::SetCursolPos() {
  if (model_.ReadOnly || !hasCaret_) return;
  RestartCaret(caret_, this);
}

void TTateEdit::timerEvent(QTimerEvent* event) {
  if (!caret_.HandleTimer(event)) return QWidget::timerEvent(event);
  update();
}

QVariant TTateEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImCursorRectangle: {
      // The composition window opens beside the column, from the caret's height down.
      const int hc = static_cast<int>(
          std::lround(MeasureVerticalText(font(), QString::fromUtf8("あ")).width()));
      const int x = bevelSize_ + hc + offset_ + 1;
      const int y = CaretPoint().y();
      const int t = TextAdvance(ReadCaption());
      return QRect(QPoint(x, y), QPoint(x + hc + 10, y + t + 150));
    }
    case Qt::ImFont:
      return font();
    case Qt::ImSurroundingText:
      return ReadCaption();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return model_.ShownCaret();
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
  if (!model_.Text().empty()) {
    if (isEnabled()) {
      PaintText(p, 0, pal.color(QPalette::Active, QPalette::Text));
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
  const QString text = ReadCaption();
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

// --- editing -------------------------------------------------------------------------

void TTateEdit::TypeCharacter(char16_t ch) {
  if (!model_.TypeCharacter(ch)) return;
  SetCursolPos();
  update();
}

bool TTateEdit::HandleKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
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
      model_.Delete();
      update();
      SetCursolPos();
      return true;
    case Qt::Key_C:
      if (!ctrl) return false;
      QGuiApplication::clipboard()->setText(QString::fromStdU16String(model_.CopyText()));
      return true;
    case Qt::Key_V:
      if (!ctrl || model_.ReadOnly) return false;
      model_.Paste(QGuiApplication::clipboard()->text().toStdU16String(),
                   mods.testFlag(Qt::ShiftModifier));
      update();
      SetCursolPos();
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
  for (QChar c : event->commitString()) TypeCharacter(c.unicode());
  event->accept();
}

void TTateEdit::mousePressEvent(QMouseEvent* event) {
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
