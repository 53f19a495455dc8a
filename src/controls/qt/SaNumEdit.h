// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numeric edit as a widget: it paints the number its value model lays out, keeps
// its own blinking caret, routes keys, mouse and input-method text to the model, and
// offers the Japanese edit menu.

#include <QWidget>
#include <array>
#include <memory>

#include "controls/SaNumEditModel.h"
#include "controls/qt/CaretBlink.h"
#include "controls/qt/EditAccessibility.h"

class QAction;
class QMenu;

namespace zelk {

class TSaNumEdit : public QWidget, private TSaNumEditView, public TAccessibleEdit {
  Q_OBJECT

 public:
  /// A control of 121 × 20 pixels with the model's defaults, a single border with the
  /// 3-D look, the I-beam cursor and input methods enabled.
  explicit TSaNumEdit(QWidget* parent = nullptr);
  ~TSaNumEdit() override;

  /// The value model; change its value and display properties through it. After
  /// changing a layout property directly (margins, alignment) call update().
  TSaNumEditModel& Model() { return model_; }
  const TSaNumEditModel& Model() const { return model_; }

  /// The value text (Part of the model: filtered, no OnChange).
  QString Text() const { return QString::fromStdU16String(model_.GetText()); }

  // Screen readers (see EditAccessibility.h). The caret stands at the end of the value;
  // an edit by the reader replaces the value as a paste of the new text would.
  QString AccessibleText() const override { return Text(); }
  int AccessibleCaret() const override { return static_cast<int>(Text().size()); }
  void SetAccessibleCaret(int) override {}
  bool AccessibleSelection(int* start, int* end) const override;
  bool AccessibleReadOnly() const override { return model_.ReadOnly; }
  void ReplaceAccessibleText(int from, int to, const QString& text) override;
  QRect AccessibleCharacterRect(int offset) const override;
  void SetText(const QString& text) { model_.SetText(text.toStdU16String()); }

  bool Ctl3D() const { return model_.Ctl3D; }
  /// The sunken two-pixel edge (true) or a flat one-pixel border; also resizes.
  void SetCtl3D(bool on);
  TBorderStyle BorderStyle() const { return model_.BorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  /// Off: the control takes no input-method composition (the main window's fields).
  void SetImeEnabled(bool on);
  /// The border width in pixels: 0 without border, 1 flat, 2 with the 3-D look.
  int BorderWidth() const;
  /// The client area (inside the border) in widget coordinates.
  QRect ClientRect() const;

  /// The built-in context menu; its entries carry the tags 0 to 7 as their data.
  QMenu* EditPopup() const { return editPopup_; }
  /// Before the menu opens: takes the focus and sets the entries' enabled states.
  void EditPopupOnPopup();
  /// Whether the caret is shown right now (it blinks while the control has the focus).
  bool CaretShown() const { return hasCaret_ && caret_.Phase(); }
  /// The caret rectangle (widget coordinates) and the font for input methods.
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 signals:
  /// Raised after the user's edits (typing, delete, cut, paste, undo); never by SetText.
  void OnChange();
  void OnDblClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  QSize sizeHint() const override { return {121, 20}; }

 private:
  // TSaNumEditView
  int MeasureText(const std::u16string& text) const override;
  void Repaint() override { update(); }
  void CaretMove() override;

  void BuildPopup();
  void EditPopupHandler(int tag);
  void PostFocusMove(bool next);
  /// Offers a selection, when there is one, as the X11 selection (middle-click paste).
  void OfferSelection();
  void TypeCharacters(const QString& text, bool fromInputMethod);
  bool HandleKey(int key, Qt::KeyboardModifiers mods);
  bool WindowHasDefaultButton() const;
  void FontChanged();
  void AutoHeightSize();
  void SyncClientSize();
  void CaretCreate();
  void CaretDelete();
  QPoint CaretPointInWidget() const;

  TSaNumEditModel model_;
  class TQtClipboard;
  std::unique_ptr<TClipboardText> clipboard_;
  std::unique_ptr<TClipboardText> selection_;  ///< the X11 selection
  QMenu* editPopup_ = nullptr;
  std::array<QAction*, 8> editPopupItems_{};
  TCaretBlink caret_;
  bool hasCaret_ = false;
  int caretWidth_ = 1;
  bool dblClickFlag_ = false;
};

}  // namespace zelk
