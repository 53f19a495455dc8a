#pragma once
// The main window's few needs of the numeric edit and the vertical edit, in one place,
// so that the window's code reads the same whatever those widgets' own API spells.

#include <functional>
#include <string>

class QWidget;

namespace zelk {

class TSaNumEdit;
class TTateEdit;

/// A numeric edit with the defaults of its value model, child of `parent`.
TSaNumEdit* CreateNumEdit(QWidget* parent);
QWidget* AsWidget(TSaNumEdit* edit);
/// The change event: raised by typing, never by SetNumEditText.
void SetNumEditChange(TSaNumEdit* edit, std::function<void()> handler);
/// The flat look (no 3-D border), as the window's numeric edits have it.
void SetNumEditFlat(TSaNumEdit* edit);
void SetNumEditReadOnly(TSaNumEdit* edit, bool readOnly);
/// The value text (GetText) and the filtering text setter (SetText).
std::u16string NumEditText(const TSaNumEdit* edit);
void SetNumEditText(TSaNumEdit* edit, const std::u16string& text);

/// A vertical edit with its default size, child of `parent`.
TTateEdit* CreateTateEdit(QWidget* parent);
QWidget* AsWidget(TTateEdit* edit);
/// The change event of the caption.
void SetTateEditChange(TTateEdit* edit, std::function<void()> handler);
/// ReadCaption and SetCaption2.
std::u16string TateEditCaption(const TTateEdit* edit);
void SetTateEditCaption(TTateEdit* edit, const std::u16string& caption);

}  // namespace zelk
