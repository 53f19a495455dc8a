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
#include "preview/qt/FontMapping.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

constexpr char16_t kBackspace = 8;
constexpr char16_t kEscape = 27;
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

}  // namespace

std::vector<QString> SplitCharacters(const QString& text) {
  std::vector<QString> out;
  for (int i = 0; i < text.size(); ++i) {
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    out.push_back(text.mid(i, pair ? 2 : 1));
    if (pair) ++i;
  }
  return out;
}

QColor GetHighlightColor(const QColor& c) {
  return QColor(std::min(c.red() + 64, 255), std::min(c.green() + 64, 255),
                std::min(c.blue() + 64, 255));
}

QColor GetShadowColor(const QColor& c) {
  return QColor(std::max(c.red() - 64, 0), std::max(c.green() - 64, 0), std::max(c.blue() - 64, 0));
}

TFittedColumn FitColumn(const std::vector<int>& advances, int length) {
  TFittedColumn fit;
  fit.Advance = advances;
  const int n = static_cast<int>(advances.size());
  int total = 0;
  for (int w : advances) total += w;
  int diff = length - total;
  int step = 0, rem = 0;
  if (diff > 0 && n > 1) {
    step = diff / (n - 1);
    rem = diff % (n - 1);
  }
  if (diff < 0) {
    fit.Ratio = static_cast<double>(length) / total;
    int fitted = 0;
    for (int& w : fit.Advance) {
      w = static_cast<int>(std::lround(w * fit.Ratio));
      fitted += w;
    }
    diff = length - fitted;
    if (n > 1) {
      if (diff > 0) {
        step = diff / (n - 1);
        rem = diff % (n - 1);
      } else {
        rem = diff;
      }
    }
  }
  int pos = 0;
  for (int i = 1; i <= n; ++i) {
    fit.Pos.push_back(pos);
    pos += fit.Advance[static_cast<size_t>(i - 1)] + step;
    if (i <= std::abs(rem)) pos += diff > 0 ? 1 : -1;
  }
  return fit;
}

TTateEdit::TTateEdit(QWidget* parent) : QWidget(parent), color_(clWindow) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  QFont f(InstalledFamily(kDefaultFace));
  f.setPointSize(8);
  setFont(f);
  resize(20, 121);
}

QString TTateEdit::FaceName() const { return QString(QChar(kVerticalFaceMark)) + font().family(); }

// --- properties ----------------------------------------------------------------------

void TTateEdit::SetCaption2(const QString& caption) {
  SetText(caption);
  update();
}

void TTateEdit::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
  emit OnChange();
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
  if (on == readOnly_) return;
  readOnly_ = on;
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

int TTateEdit::UnitsBefore(int index) const {
  if (index >= 2 && index <= text_.size() && text_[index - 1].isLowSurrogate() &&
      text_[index - 2].isHighSurrogate())
    return 2;
  return 1;
}

int TTateEdit::UnitsAfter(int index) const {
  if (index + 1 < text_.size() && text_[index].isHighSurrogate() &&
      text_[index + 1].isLowSurrogate())
    return 2;
  return 1;
}

// --- caret ---------------------------------------------------------------------------

int TTateEdit::CaretY(int prefixAdvance) const {
  const int b = bevelSize_;
  const int t = TextAdvance(text_);
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
  const int shown = std::min(selStart_, static_cast<int>(text_.size()));
  return {bevelSize_ + offset_ + 1, CaretY(TextAdvance(text_.left(shown)))};
}

void TTateEdit::SetCursolPos() {
  if (readOnly_ || !hasCaret_) return;
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
      const int t = TextAdvance(text_);
      return QRect(QPoint(x, y), QPoint(x + hc + 10, y + t + 150));
    }
    case Qt::ImFont:
      return font();
    case Qt::ImSurroundingText:
      return text_;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return std::min(selStart_, static_cast<int>(text_.size()));
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
  const QColor background = ToQColor(color_, pal);
  const int w = width(), h = height(), b = bevelSize_;
  if (!transParent_) {
    p.fillRect(rect(), background);
    if (bevelStyle_ == bbXpStyle) {
      p.setPen(kXpBorder);
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else if (bevelStyle_ == bbLowered || bevelStyle_ == bbRaised) {
      const bool low = bevelStyle_ == bbLowered;
      const auto c = [&pal](int index) { return ToQColor(SystemColor(index), pal); };
      DrawBevelRings(p, rect(), b, c(low ? kColorBtnShadow : kColorBtnHighlight),
                     c(low ? kColorBtnHighlight : kColorBtnShadow),
                     c(low ? kColor3DDkShadow : kColor3DLight),
                     c(low ? kColor3DLight : kColor3DDkShadow));
    }
    p.fillRect(QRect(QPoint(b, b), QPoint(w - b - 1, h - b - 1)), background);
  }
  if (!text_.isEmpty()) {
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
  const int m = bevelSize_ + offset_;
  const int t = TextAdvance(text_);
  const int h = height();
  const bool overflow = readOnly_ && t > h - 2 * (d + m);
  const int x = d + m;
  int y = d + m;
  if (alignment_ == alMiddleLeft && !overflow) y = (h - 2 * m - t) / 2 + d + m;
  if (alignment_ == alBottomLeft) y = h - m - t + d;
  p.setPen(color);
  if (overflow && alignment_ != alBottomLeft)
    DrawFittedText(p, x, y, h - m + d, text_);
  else
    DrawColumnText(p, x, y, text_);
}

void TTateEdit::DrawColumnText(QPainter& p, int x, int y, const QString& s) {
  const int thickness = ColumnThickness();
  int pos = 0;
  for (const QString& c : SplitCharacters(s)) {
    DrawColumnGlyph(p, font(), QPointF(x + thickness + 1, y + 1 + pos), c, 1.0);
    pos += TextAdvance(c);
  }
}

void TTateEdit::DrawFittedText(QPainter& p, int x, int y, int yEnd, const QString& s) {
  const std::vector<QString> chars = SplitCharacters(s);
  std::vector<int> advances;
  for (const QString& c : chars) advances.push_back(TextAdvance(c));
  const TFittedColumn fit = FitColumn(advances, yEnd - y + 1);
  const int thickness = ColumnThickness();
  for (size_t i = 0; i < chars.size(); ++i)
    DrawColumnGlyph(p, font(), QPointF(x + thickness + 1, y + 1 + fit.Pos[i]), chars[i], fit.Ratio);
}

// --- editing -------------------------------------------------------------------------

void TTateEdit::Backspace() {
  const int len = static_cast<int>(text_.size());
  if (text_.isEmpty()) return;
  if (selStart_ > len) {
    --selStart_;  // the caret shows at the end; only the index comes back
    return;
  }
  if (selStart_ == 0) return;
  const int units = UnitsBefore(selStart_);
  selStart_ -= units;
  SetText(text_.left(selStart_) + text_.mid(selStart_ + units));
}

void TTateEdit::DeleteBelow() {
  if (readOnly_ || text_.isEmpty() || selStart_ >= text_.size()) return;
  const int units = UnitsAfter(selStart_);
  SetText(text_.left(selStart_) + text_.mid(selStart_ + units));
}

void TTateEdit::TypeCharacter(QChar ch) {
  if (readOnly_) return;
  const char16_t c = ch.unicode();
  if (c == kBackspace) {
    Backspace();
  } else if (c == kEscape) {
    selStart_ = 0;
    SetText(QString());
  } else if (c >= 32 && c != 127) {
    // Only whole pairs go into the text: a high half waits for its low half, and a half
    // without its partner is dropped rather than left to corrupt the text and the file.
    if (ch.isLowSurrogate() && pending_.isEmpty()) return;
    if (!ch.isLowSurrogate()) pending_.clear();
    pending_ += ch;
    if (pending_.back().isHighSurrogate()) return;
    const int at = std::min(selStart_, static_cast<int>(text_.size()));
    const QString inserted = pending_;
    pending_.clear();
    selStart_ = at + static_cast<int>(inserted.size());
    SetText(text_.left(at) + inserted + text_.mid(at));
  } else {
    return;
  }
  SetCursolPos();
  update();
}

bool TTateEdit::HandleKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const int len = static_cast<int>(text_.size());
  switch (event->key()) {
    case Qt::Key_Up:
      if (selStart_ > 0) selStart_ -= selStart_ > len ? 1 : UnitsBefore(selStart_);
      SetCursolPos();
      return true;
    case Qt::Key_Down:
      if (selStart_ < len) selStart_ += UnitsAfter(selStart_);
      SetCursolPos();
      return true;
    case Qt::Key_Delete:
      if (readOnly_) return false;
      DeleteBelow();
      update();
      SetCursolPos();
      return true;
    case Qt::Key_C:
      if (!ctrl) return false;
      QGuiApplication::clipboard()->setText(text_);
      return true;
    case Qt::Key_V:
      if (!ctrl || readOnly_) return false;
      if (mods & Qt::ShiftModifier)
        SetText(text_ + QGuiApplication::clipboard()->text());
      else
        SetText(QGuiApplication::clipboard()->text());
      update();
      SetCursolPos();
      return true;
    default:
      return false;
  }
}

void TTateEdit::keyPressEvent(QKeyEvent* event) {
  if (HandleKey(event)) return event->accept();
  const QString text = event->text();
  if (text.isEmpty() || (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)))
    return QWidget::keyPressEvent(event);
  for (QChar c : text) TypeCharacter(c);
  event->accept();
}

void TTateEdit::keyReleaseEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat() &&
      state_ != bsDisabled && isEnabled())
    emit OnClick();
  QWidget::keyReleaseEvent(event);
}

void TTateEdit::inputMethodEvent(QInputMethodEvent* event) {
  for (QChar c : event->commitString()) TypeCharacter(c);
  event->accept();
}

void TTateEdit::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  const int b = bevelSize_;
  const int t = TextAdvance(text_);
  const int h = height();
  int top = b + offset_ + 1;
  if (alignment_ == alBottomLeft) top = h - b - t;
  if (alignment_ == alMiddleLeft) top = (h - t - 2 * b) / 2 + 4;
  const int r = static_cast<int>(event->position().y()) - top;
  int acc = 0, units = 0;
  selStart_ = static_cast<int>(text_.size());
  for (const QString& c : SplitCharacters(text_)) {
    const int w = TextAdvance(c);
    if (acc + w / 2 > r) {
      selStart_ = units;
      break;
    }
    acc += w;
    units += static_cast<int>(c.size());
  }
  SetCursolPos();
}

// --- focus and state -----------------------------------------------------------------

void TTateEdit::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  hasCaret_ = true;
  if (IsControlFocusChange(event->reason())) {
    focused_ = true;
    selStart_ = static_cast<int>(text_.size());
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
