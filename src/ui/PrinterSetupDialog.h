// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer-setup dialog of the windows: printer, paper and orientation of the
// process's current printer.

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QRadioButton;

namespace zelk {

class TPrinterService;

/// The name a paper is shown by: the plain "B4" and "B5" that the virtual printer and
/// some drivers use are the Japanese JIS sizes, and are shown as "JIS B4" and "JIS B5";
/// every other name is shown as it is.
QString PaperDisplayName(const QString& name);

/// A modal printer-setup dialog like the classic one: the printer list (CUPS queues and
/// "PDF"), the paper sizes the selected printer offers, portrait or landscape, OK and
/// Cancel. It opens with the printer service's current choice. OK applies the choice to
/// the printer service; Cancel leaves the printer as it was.
///
/// Whichever button closes it, Closed() reports the paper name shown in the paper box
/// at that moment (at most 255 characters), the way the window keeps the paper name.
class TPrinterSetupDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPrinterSetupDialog(TPrinterService& printer, QWidget* parent = nullptr);

  /// Loads the printer service's current printer, paper and orientation into the
  /// controls; exec() calls it first, so the dialog always opens with the current choice.
  void LoadFromPrinter();
  /// Reads the printer list anew (RescanPrinters), then shows the dialog. When the
  /// printer selected has gone meanwhile, the dialog opens on the one the printer
  /// service took instead and says so above the paper.
  int exec() override;
  /// The last exec() found the printer selected gone and selected another: the printer
  /// changed even when the dialog is cancelled.
  bool PrinterReplaced() const { return replaced_; }
  /// The note that the printer selected is gone; hidden when it is not.
  QLabel* GoneNote() const { return gone_; }
  void done(int result) override;

  /// The paper name in the paper box now.
  QString PaperText() const;
  /// The controls, for tests that drive the dialog.
  QComboBox* PrinterBox() const { return printerBox_; }
  QComboBox* PaperBox() const { return paperBox_; }
  QRadioButton* PortraitButton() const { return portrait_; }
  QRadioButton* LandscapeButton() const { return landscape_; }

  /// The paper names printer `index` of the service offers, in display form: the virtual
  /// printer's named sizes, or the page sizes a CUPS queue reports.
  QStringList PapersOf(int index) const;

 signals:
  /// The dialog closed, by OK or Cancel, with the paper name it showed.
  void Closed(const QString& paperName);

 private:
  void FillPapers(int printerIndex, const QString& select);
  /// The paper to show when printer `index` is chosen in the list.
  QString PaperOnSelecting(int index) const;
  bool Apply();

  TPrinterService& printer_;
  QComboBox* printerBox_;
  QComboBox* paperBox_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QLabel* gone_;
  bool replaced_ = false;
};

}  // namespace zelk
