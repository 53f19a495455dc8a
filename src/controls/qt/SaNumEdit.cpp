// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/qt/SaNumEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "controls/qt/SystemColors.h"
#include "controls/qt/TypedText.h"

namespace zelk {

// The system clipboard, or the X11 selection (empty and ignoring writes where the
// platform has none).
class TSaNumEdit::TQtClipboard : public TClipboardText {
 public:
  explicit TQtClipboard(QClipboard::Mode mode) : mode_(mode) {}
  bool HasText() const override {
    if (!Supported()) return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode_);
    return data && data->hasText();
  }
  std::u16string Text() const override {
    return Supported() ? QGuiApplication::clipboard()->text(mode_).toStdU16String()
                       : std::u16string();
  }
  void SetText(const std::u16string& text) override {
    if (Supported()) QGuiApplication::clipboard()->setText(QString::fromStdU16String(text), mode_);
  }

 private:
  bool Supported() const {
    return mode_ != QClipboard::Selection || QGuiApplication::clipboard()->supportsSelection();
  }
  QClipboard::Mode mode_;
};

namespace {

// Entries of the edit menu by tag; an empty caption is a separator.
constexpr const char16_t* kPopupCaptions[8] = {u"元に戻す(&U)", nullptr,          u"切り取り(&T)",
                                               u"コピー(&C)",   u"貼り付け(&P)",  u"削除(&D)",
                                               nullptr,         u"すべて選択(&A)"};

enum TPopupTag { kUndo = 0, kCut = 2, kCopy = 3, kPaste = 4, kDelete = 5, kSelectAll = 7 };

// Focus changes that are no entering or leaving of the control: the window being
// activated or deactivated, and a popup menu opening over it.
bool IsControlFocusChange(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

constexpr char16_t kDeleteChar = 127;

}  // namespace

TSaNumEdit::TSaNumEdit(QWidget* parent)
    : QWidget(parent),
      clipboard_(std::make_unique<TQtClipboard>(QClipboard::Clipboard)),
      selection_(std::make_unique<TQtClipboard>(QClipboard::Selection)) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  setCursor(Qt::IBeamCursor);
  model_.SetView(this);
  model_.SetClipboard(clipboard_.get());
  model_.OnBeep = [] { QApplication::beep(); };
  model_.OnChange = [this] {
    NotifyAccessibleTextChanged(this);
    emit OnChange();
  };
  InstallEditAccessibility();
  BuildPopup();
  resize(121, 20);
  FontChanged();
  SyncClientSize();
}

TSaNumEdit::~TSaNumEdit() { model_.SetView(nullptr); }

// --- borders and sizes ---------------------------------------------------------------

int TSaNumEdit::BorderWidth() const {
  if (model_.BorderStyle == TBorderStyle::bsNone) return 0;
  return model_.Ctl3D ? 2 : 1;
}

QRect TSaNumEdit::ClientRect() const {
  const int b = BorderWidth();
  return rect().adjusted(b, b, -b, -b);
}

void TSaNumEdit::SetCtl3D(bool on) {
  if (on == model_.Ctl3D) return;
  model_.Ctl3D = on;
  AutoHeightSize();
  SyncClientSize();
  update();
}

void TSaNumEdit::SetBorderStyle(TBorderStyle style) {
  if (style == model_.BorderStyle) return;
  model_.BorderStyle = style;
  AutoHeightSize();
  SyncClientSize();
  update();
  CaretMove();
}

void TSaNumEdit::SetImeEnabled(bool on) {
  setAttribute(Qt::WA_InputMethodEnabled, on);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

void TSaNumEdit::AutoHeightSize() {
  if (!model_.AutoSize) return;
  const int b = BorderWidth();
  resize(width(), model_.FontHeight + model_.TopMargin + model_.BottomMargin + 2 * b);
}

void TSaNumEdit::SyncClientSize() {
  const QRect client = ClientRect();
  model_.ClientWidth = client.width();
  model_.ClientHeight = client.height();
}

void TSaNumEdit::FontChanged() {
  model_.FontHeight = fontMetrics().height();
  AutoHeightSize();
  caretWidth_ = font().bold() ? 2 : 1;
  CaretMove();
}

int TSaNumEdit::MeasureText(const std::u16string& text) const {
  return fontMetrics().horizontalAdvance(QString::fromStdU16String(text));
}

void TSaNumEdit::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncClientSize();
  update();
  CaretMove();
}

void TSaNumEdit::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) FontChanged();
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) update();
}

// --- painting ------------------------------------------------------------------------

void TSaNumEdit::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QColor background = ThemeColor(model_.Color, pal);
  p.fillRect(rect(), background);
  const int b = BorderWidth();
  if (b == 1) {
    // Four filled edges rather than a pen's outline: at a fractional device pixel ratio
    // (144 dpi) a one-pixel pen on the left edge fell outside the widget.
    const QColor frame = ThemeColor(SystemColor(kColorWindowFrame), pal);
    const QRect r = rect();
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), frame);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), frame);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), frame);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), frame);
  } else if (b == 2) {
    DrawSunkenEdge(p, rect(), pal);
  }
  p.translate(b, b);
  p.setClipRect(0, 0, model_.ClientWidth, model_.ClientHeight);

  QColor band = background;
  QColor text = pal.color(QPalette::Active, QPalette::Text);
  if (!isEnabled()) {
    text = ThemeColor(model_.DisabledColor, pal);
  } else if (model_.Selected()) {
    band = ThemeColor(clHighlight, pal);
    text = ThemeColor(clHighlightText, pal);
  }
  const TIntRect fill = model_.GetFillRect();
  p.fillRect(QRect(fill.Left, fill.Top, fill.Width, fill.Height), band);

  const QString shown = QString::fromStdU16String(model_.CreateDrawString2(model_.GetText()));
  p.setFont(font());
  p.setPen(text);
  const auto draw = [&p](const TIntRect& r, const std::u16string& s) {
    p.drawText(QRect(r.Left, r.Top, std::max(r.Width, 1), r.Height),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
               QString::fromStdU16String(s));
  };
  if (!shown.isEmpty()) {
    if (!model_.LeftMark().empty()) draw(model_.GetLeftMarkRect(), model_.LeftMark());
    draw(model_.GetValueTextRect(), shown.toStdU16String());
    if (!model_.RightMark().empty()) draw(model_.GetRightMarkRect(), model_.RightMark());
  }
  if (CaretShown()) {
    const TIntPoint c = model_.GetCaretPoint();
    p.fillRect(QRect(c.X, c.Y, caretWidth_, model_.FontHeight),
               pal.color(QPalette::Active, QPalette::Text));
  }
}

// --- caret ---------------------------------------------------------------------------

void TSaNumEdit::CaretCreate() {
  hasCaret_ = true;
  CaretMove();
}

void TSaNumEdit::CaretDelete() {
  hasCaret_ = false;
  caret_.Stop();
  update();
}

void TSaNumEdit::CaretMove() {
  if (!hasCaret_) return;
  RestartCaret(caret_, this);
}

void TSaNumEdit::timerEvent(QTimerEvent* event) {
  if (!caret_.HandleTimer(event)) return QWidget::timerEvent(event);
  update();
}

QPoint TSaNumEdit::CaretPointInWidget() const {
  const TIntPoint c = model_.GetCaretPoint();
  const int b = BorderWidth();
  return {c.X + b, c.Y + b};
}

// --- input method --------------------------------------------------------------------

void TSaNumEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) TypeCharacters(event->commitString(), true);
  event->accept();
}

QVariant TSaNumEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return testAttribute(Qt::WA_InputMethodEnabled);
    case Qt::ImCursorRectangle:
      return QRect(CaretPointInWidget(), QSize(caretWidth_, model_.FontHeight));
    case Qt::ImFont:
      return font();
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
    case Qt::ImSurroundingText:
      return Text();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return static_cast<int>(Text().size());
    default:
      return QWidget::inputMethodQuery(query);
  }
}

// --- keys ----------------------------------------------------------------------------

void TSaNumEdit::TypeCharacters(const QString& text, bool fromInputMethod) {
  for (QChar c : text) {
    char16_t ch = c.unicode();
    if (fromInputMethod) ch = TSaNumEditModel::ImeCharToAscii(ch);
    if (ch == kDeleteChar) continue;  // the Delete key is handled as a key, not a character
    if (model_.KeyPress(ch) == TCharOutcome::FocusNext) PostFocusMove(true);
  }
}

void TSaNumEdit::PostFocusMove(bool next) {
  QMetaObject::invokeMethod(
      this, [this, next] { focusNextPrevChild(next); }, Qt::QueuedConnection);
}

bool TSaNumEdit::HandleKey(int key, Qt::KeyboardModifiers mods) {
  const bool none = mods == Qt::NoModifier;
  const bool shift = mods == Qt::ShiftModifier;
  const bool ctrl = mods == Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (shift) model_.SelectAll();
      if (none) model_.ClearSelect();
      return shift || none;
    case Qt::Key_A:
      if (ctrl) model_.SelectAll();
      return ctrl;
    case Qt::Key_C:
      if (ctrl) model_.CopyToClipboard();
      return ctrl;
    case Qt::Key_Insert:
      if (ctrl) {
        model_.CopyToClipboard();
        return true;
      }
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
      if (none) model_.ClearSelect();
      return none;
    case Qt::Key_Up:
    case Qt::Key_Down: {
      if (!none) return false;
      model_.ClearSelect();
      const bool up = key == Qt::Key_Up;
      if (model_.ArrowFocusMove && HasSaNumOption(model_.Options, up ? eoArrowUp : eoArrowDown))
        PostFocusMove(!up);
      return true;
    }
    default:
      break;
  }
  if (model_.ReadOnly) return false;
  switch (key) {
    case Qt::Key_V:
      if (ctrl) model_.PasteFromClipboard();
      return ctrl;
    case Qt::Key_X:
      if (ctrl) model_.CutToClipboard();
      return ctrl;
    case Qt::Key_Insert:
      if (shift) model_.PasteFromClipboard();
      return shift;
    case Qt::Key_Delete:
      if (shift) {
        model_.CutToClipboard();
        return true;
      }
      if (none) model_.OneCharDelete();
      return none;
    case Qt::Key_Backspace:
      if (none) model_.OneCharDelete();
      return none;
    default:
      return false;
  }
}

bool TSaNumEdit::WindowHasDefaultButton() const {
  for (const QPushButton* b : window()->findChildren<QPushButton*>())
    if (b->isDefault() && b->isVisible() && b->isEnabled()) return true;
  return false;
}

void TSaNumEdit::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                           Qt::AltModifier | Qt::MetaModifier);
  if (HandleKey(event->key(), mods)) {
    OfferSelection();
    return event->accept();
  }
  const int key = event->key();
  // Enter and Escape belong to the window first (its default and cancel buttons) unless
  // the control moves the focus with Enter and so claims every key.
  if (!model_.EnterFocusMove) {
    if (key == Qt::Key_Escape) return event->ignore();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && WindowHasDefaultButton())
      return event->ignore();
  }
  // Menu shortcuts (Alt, Meta) and Ctrl with a printable key type nothing.
  const QString text = TypedText(event);
  if (text.isEmpty()) return event->ignore();
  TypeCharacters(text, false);
  event->accept();
}

// --- mouse ---------------------------------------------------------------------------

namespace {

// One text as a clipboard, for an edit that goes the way of a paste.
class TTextAsClipboard : public TClipboardText {
 public:
  explicit TTextAsClipboard(std::u16string text) : text_(std::move(text)) {}
  bool HasText() const override { return true; }
  std::u16string Text() const override { return text_; }
  void SetText(const std::u16string&) override {}

 private:
  std::u16string text_;
};

}  // namespace

bool TSaNumEdit::AccessibleSelection(int* start, int* end) const {
  if (!model_.Selected()) return false;
  *start = 0;
  *end = static_cast<int>(Text().size());
  return true;
}

void TSaNumEdit::ReplaceAccessibleText(int from, int to, const QString& text) {
  if (model_.ReadOnly) return;
  QString value = Text();
  from = std::clamp(from, 0, static_cast<int>(value.size()));
  to = std::clamp(to, from, static_cast<int>(value.size()));
  value.replace(from, to - from, text);
  TTextAsClipboard clip(value.toStdU16String());
  model_.SetClipboard(&clip);
  model_.SelectAll();
  model_.PasteFromClipboard();
  model_.SetClipboard(clipboard_.get());
  update();
}

QRect TSaNumEdit::AccessibleCharacterRect(int offset) const {
  const int n = static_cast<int>(Text().size());
  if (offset < 0 || offset >= n) return QRect();
  // The value is drawn as one text; its characters share its width evenly.
  const TIntRect drawn = model_.GetValueTextRect();
  const int left = BorderWidth() + drawn.Left + drawn.Width * offset / n;
  const int right = BorderWidth() + drawn.Left + drawn.Width * (offset + 1) / n;
  return QRect(left, 0, std::max(1, right - left), height());
}

void TSaNumEdit::OfferSelection() {
  if (!model_.Selected()) return;
  model_.SetClipboard(selection_.get());
  model_.CopyToClipboard();
  model_.SetClipboard(clipboard_.get());
}

void TSaNumEdit::mousePressEvent(QMouseEvent* event) {
  const Qt::MouseButton button = event->button();
  if ((button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton) &&
      !hasFocus())
    setFocus(Qt::MouseFocusReason);
  // A middle click pastes the X11 selection, as a paste from the clipboard would.
  if (button == Qt::MiddleButton && !model_.ReadOnly) {
    model_.SetClipboard(selection_.get());
    model_.PasteFromClipboard();
    model_.SetClipboard(clipboard_.get());
  }
  if (button != Qt::LeftButton) return;
  if (!dblClickFlag_) {
    if (isActiveWindow() && !hasFocus()) setFocus(Qt::MouseFocusReason);
    model_.ClearSelect();
  }
  dblClickFlag_ = false;
}

void TSaNumEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  model_.SelectAll();
  OfferSelection();
  emit OnDblClick();
  dblClickFlag_ = true;
  // The press that comes with the double click must not clear the new selection.
  mousePressEvent(event);
}

void TSaNumEdit::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const int x = event->position().toPoint().x() - BorderWidth();
  const TIntRect drawn = model_.GetValueTextRect();
  if (x >= drawn.Left && x <= drawn.Right()) {
    model_.SelectAll();
    OfferSelection();
  }
}

// --- context menu --------------------------------------------------------------------

void TSaNumEdit::BuildPopup() {
  editPopup_ = new QMenu(this);
  for (int tag = 0; tag < 8; ++tag) {
    QAction* a = new QAction(editPopup_);
    a->setData(tag);
    if (kPopupCaptions[tag])
      a->setText(QString::fromStdU16String(kPopupCaptions[tag]));
    else
      a->setSeparator(true);
    connect(a, &QAction::triggered, this, [this, tag] { EditPopupHandler(tag); });
    editPopup_->addAction(a);
    editPopupItems_[static_cast<size_t>(tag)] = a;
  }
}

void TSaNumEdit::EditPopupOnPopup() {
  if (!hasFocus()) setFocus(Qt::OtherFocusReason);
  const bool writable = !model_.ReadOnly;
  const bool selected = model_.Selected();
  editPopupItems_[kUndo]->setEnabled(model_.CanUndo() && writable);
  editPopupItems_[kCut]->setEnabled(selected && writable);
  editPopupItems_[kCopy]->setEnabled(selected);
  editPopupItems_[kPaste]->setEnabled(clipboard_->HasText() && writable);
  editPopupItems_[kDelete]->setEnabled(selected && writable);
  editPopupItems_[kSelectAll]->setEnabled(!selected && !model_.GetText().empty());
}

void TSaNumEdit::EditPopupHandler(int tag) {
  switch (tag) {
    case kUndo:
      model_.Undo();
      break;
    case kCut:
      model_.CutToClipboard();
      break;
    case kCopy:
      model_.CopyToClipboard();
      break;
    case kPaste:
      model_.PasteFromClipboard();
      break;
    case kDelete:
      model_.Clear();
      break;
    case kSelectAll:
      model_.SelectAll();
      break;
    default:
      break;
  }
}

void TSaNumEdit::contextMenuEvent(QContextMenuEvent* event) {
  EditPopupOnPopup();
  editPopup_->exec(event->globalPos());
}

// --- focus ---------------------------------------------------------------------------

void TSaNumEdit::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  CaretCreate();
  if (IsControlFocusChange(event->reason()) && model_.AutoSelect) model_.SelectAll();
}

void TSaNumEdit::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  CaretDelete();
  if (!IsControlFocusChange(event->reason())) return;
  model_.ExitMinusRule();
  if (model_.HideSelection) model_.ClearSelect();
}

}  // namespace zelk
