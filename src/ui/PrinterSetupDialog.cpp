// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PrinterSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "preview/VirtualPrinter.h"
#include "preview/qt/PrinterService.h"

namespace zelk {

namespace {

// The named sizes of the virtual printer, in the order a paper list shows them.
const char* const kVirtualPapers[] = {"A3", "A4", "A5", "B4", "B5", "Letter"};

constexpr int kMaxPaperNameLength = 255;

// The internal paper name behind a displayed one ("JIS B4" -> "B4" for the virtual
// printer, whose parser knows the JIS sizes by their plain names).
QString VirtualPaperName(const QString& display) {
  if (display == QLatin1String("JIS B4")) return QStringLiteral("B4");
  if (display == QLatin1String("JIS B5")) return QStringLiteral("B5");
  return display;
}

}  // namespace

QString PaperDisplayName(const QString& name) {
  if (name == QLatin1String("B4")) return QStringLiteral("JIS B4");
  if (name == QLatin1String("B5")) return QStringLiteral("JIS B5");
  return name;
}

TPrinterSetupDialog::TPrinterSetupDialog(TPrinterService& printer, QWidget* parent)
    : QDialog(parent), printer_(printer) {
  setWindowTitle(QStringLiteral("印刷設定"));
  printerBox_ = new QComboBox(this);
  paperBox_ = new QComboBox(this);
  portrait_ = new QRadioButton(QStringLiteral("縦(&O)"), this);
  landscape_ = new QRadioButton(QStringLiteral("横(&A)"), this);

  auto* printerGroup = new QGroupBox(QStringLiteral("プリンター"), this);
  auto* printerForm = new QFormLayout(printerGroup);
  printerForm->addRow(QStringLiteral("プリンター名(&N):"), printerBox_);
  gone_ = new QLabel(this);
  gone_->setWordWrap(true);
  gone_->hide();
  printerForm->addRow(gone_);

  auto* paperGroup = new QGroupBox(QStringLiteral("用紙"), this);
  auto* paperForm = new QFormLayout(paperGroup);
  paperForm->addRow(QStringLiteral("サイズ(&Z):"), paperBox_);

  auto* orientationGroup = new QGroupBox(QStringLiteral("印刷の向き"), this);
  auto* orientationBox = new QVBoxLayout(orientationGroup);
  orientationBox->addWidget(portrait_);
  orientationBox->addWidget(landscape_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* lower = new QHBoxLayout;
  lower->addWidget(paperGroup, 1);
  lower->addWidget(orientationGroup);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(printerGroup);
  layout->addLayout(lower);
  layout->addWidget(buttons);

  connect(printerBox_, &QComboBox::currentIndexChanged, this,
          [this](int index) { FillPapers(index, PaperOnSelecting(index)); });
  LoadFromPrinter();
}

void TPrinterSetupDialog::LoadFromPrinter() {
  QSignalBlocker block(printerBox_);
  printerBox_->clear();
  for (const auto& name : printer_.Printers())
    printerBox_->addItem(QString::fromStdU16String(name));
  printerBox_->setCurrentIndex(printer_.PrinterIndex());
  FillPapers(printer_.PrinterIndex(), PaperDisplayName(printer_.PaperName()));
  const bool landscape = printer_.Orientation() == TPrinterOrientation::poLandscape;
  landscape_->setChecked(landscape);
  portrait_->setChecked(!landscape);
}

QStringList TPrinterSetupDialog::PapersOf(int index) const {
  QStringList papers;
  const auto names = printer_.Printers();
  if (index < 0 || index >= static_cast<int>(names.size())) return papers;
  if (index == static_cast<int>(names.size()) - 1) {
    for (const char* p : kVirtualPapers) papers << PaperDisplayName(QString::fromLatin1(p));
    return papers;
  }
  const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdU16String(names[index]));
  for (const QPageSize& size : info.supportedPageSizes()) papers << PaperDisplayName(size.name());
  return papers;
}

QString TPrinterSetupDialog::PaperOnSelecting(int index) const {
  // A queue decides its paper: it starts on its own default, as the printer service
  // opens it. The virtual printer keeps the paper shown.
  const auto names = printer_.Printers();
  if (index >= 0 && index + 1 < static_cast<int>(names.size())) {
    const QPageSize paper = QueueDefaultPaper(QString::fromStdU16String(names[index]));
    if (paper.isValid()) return PaperDisplayName(paper.name());
  }
  return paperBox_->currentText();
}

void TPrinterSetupDialog::FillPapers(int printerIndex, const QString& select) {
  paperBox_->clear();
  QStringList papers = PapersOf(printerIndex);
  // A custom size of the current printer is offered too, so that opening and closing
  // the dialog never changes the paper by itself.
  if (!select.isEmpty() && !papers.contains(select)) papers.prepend(select);
  paperBox_->addItems(papers);
  const int i = paperBox_->findText(select);
  if (i >= 0) {
    paperBox_->setCurrentIndex(i);
  } else {
    const int a4 = paperBox_->findText(QStringLiteral("A4"));
    paperBox_->setCurrentIndex(a4 >= 0 ? a4 : 0);
  }
}

QString TPrinterSetupDialog::PaperText() const {
  return paperBox_->currentText().left(kMaxPaperNameLength);
}

int TPrinterSetupDialog::exec() {
  // Queues come and go while the program runs: the list is the scheduler's of now.
  const QString before = QString::fromStdU16String(printer_.PrinterName());
  replaced_ = !printer_.RescanPrinters();
  gone_->setText(replaced_ ? QStringLiteral("⚠ プリンター %1 が見つからないので、%2 を選びました。")
                                 .arg(before, QString::fromStdU16String(printer_.PrinterName()))
                           : QString());
  gone_->setVisible(replaced_);
  LoadFromPrinter();
  return QDialog::exec();
}

void TPrinterSetupDialog::done(int result) {
  if (result == QDialog::Accepted && !Apply()) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("選んだプリンターまたは用紙を設定できませんでした。"));
    return;
  }
  emit Closed(PaperText());
  QDialog::done(result);
}

bool TPrinterSetupDialog::Apply() {
  if (!printer_.SetPrinterIndex(printerBox_->currentIndex())) return false;
  const auto orientation =
      landscape_->isChecked() ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
  const QString paper = paperBox_->currentText();
  if (printer_.IsVirtual()) {
    const auto size = ParsePaperSize(VirtualPaperName(paper).toStdString());
    if (size && !printer_.Virtual().SetPaper(*size)) return false;
  } else if (QPrinter* qt = printer_.QtPrinter()) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(qt->printerName());
    for (const QPageSize& size : info.supportedPageSizes()) {
      if (PaperDisplayName(size.name()) != paper) continue;
      QPageLayout layout = qt->pageLayout();
      layout.setPageSize(size);
      if (!qt->setPageLayout(layout)) return false;
      break;
    }
  }
  printer_.SetOrientation(orientation);
  printer_.Refresh();
  return true;
}

}  // namespace zelk
