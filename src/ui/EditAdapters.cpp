#include "ui/EditAdapters.h"

#include "controls/qt/SaNumEdit.h"
#include "controls/qt/TateEdit.h"

namespace zelk {

TSaNumEdit* CreateNumEdit(QWidget* parent) { return new TSaNumEdit(parent); }

QWidget* AsWidget(TSaNumEdit* edit) { return edit; }

void SetNumEditChange(TSaNumEdit* edit, std::function<void()> handler) {
  QObject::connect(edit, &TSaNumEdit::OnChange, edit, std::move(handler));
}

void SetNumEditFlat(TSaNumEdit* edit) { edit->SetCtl3D(false); }

void SetNumEditReadOnly(TSaNumEdit* edit, bool readOnly) { edit->Model().ReadOnly = readOnly; }

std::u16string NumEditText(const TSaNumEdit* edit) { return edit->Model().GetText(); }

void SetNumEditText(TSaNumEdit* edit, const std::u16string& text) { edit->Model().SetText(text); }

TTateEdit* CreateTateEdit(QWidget* parent) { return new TTateEdit(parent); }

QWidget* AsWidget(TTateEdit* edit) { return edit; }

void SetTateEditChange(TTateEdit* edit, std::function<void()> handler) {
  QObject::connect(edit, &TTateEdit::OnChange, edit, std::move(handler));
}

std::u16string TateEditCaption(const TTateEdit* edit) {
  return edit->ReadCaption().toStdU16String();
}

void SetTateEditCaption(TTateEdit* edit, const std::u16string& caption) {
  edit->SetCaption2(QString::fromStdU16String(caption));
}

}  // namespace zelk
