// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The current printer of the process: CUPS queues through Qt Print Support, and the
// virtual printer "PDF", which always stands last in the list and writes its jobs to a
// PDF file.

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <memory>

#include "preview/PrinterDevice.h"
#include "preview/VirtualPrinter.h"

class QPageSize;
class QPainter;
class QPrinter;
class QPagedPaintDevice;

namespace zelk {

class TAtomicFileDevice;

class TVectorPage;

/// The paper CUPS queue `queue` starts on: its own default (invalid when it reports
/// none). A new QPrinter would start on Qt's A4 instead.
QPageSize QueueDefaultPaper(const QString& queue);

/// One current printer for the process.
///
/// Real printers are CUPS queues, driven at 600 device units per inch: Qt's print engine
/// takes any resolution, and 600 dpi is what the printers these sheets are made for
/// print at. Their margins are read back from the page layout Qt accepted.
///
/// The virtual printer "PDF" stands last in the list, and is selected when CUPS has no
/// queue. Its geometry is set through Virtual().
///
/// The print job: SetTitle, BeginDoc, Painter, NewPage, EndDoc; or Abort, which ends the
/// job by itself and must not be followed by EndDoc. The painter draws in the printer's
/// device units with (0, 0) at the top-left of the printable area, on every printer.
class TPrinterService : public TPrinterDevice {
 public:
  /// The process's printer service, created on first use. The printer list is read then.
  static TPrinterService& Instance();

  TPrinterService();
  ~TPrinterService() override;

  std::vector<std::u16string> Printers() const override;
  int PrinterIndex() const override { return index_; }
  bool SetPrinterIndex(int index) override;
  TPrinterOrientation Orientation() const override { return orientation_; }
  void SetOrientation(TPrinterOrientation orientation) override;
  int32_t GetDeviceCaps(TDeviceCap cap) const override;

  /// The prefix that names a CUPS queue whatever its name ("cups:PDF").
  static inline const QString kQueuePrefix = QStringLiteral("cups:");
  /// Selects a printer by name: the virtual printer by either of its names ("PDF"
  /// included), a CUPS queue by its name or by kQueuePrefix and its name. False when
  /// there is none by that name.
  bool SelectPrinter(const QString& name);
  /// True when the virtual printer "PDF" is selected.
  bool IsVirtual() const;
  /// The virtual printer's geometry, to set resolution, paper and offsets.
  TVirtualPrinter& Virtual() { return virtual_; }
  /// The Qt printer of the selected CUPS queue, or null for the virtual printer. Dialogs
  /// change it and then call Refresh().
  QPrinter* QtPrinter() { return printer_.get(); }
  /// Re-reads orientation and geometry after a dialog changed QtPrinter().
  void Refresh();
  /// Re-reads the list of CUPS queues. The queue selected keeps its paper and
  /// orientation when it is still there; when it is gone, the scheduler's default queue
  /// is selected (or the virtual printer, when there is none) and false is returned. A
  /// running job keeps the list as it is.
  bool RescanPrinters();

  /// The paper name the selected printer shows ("A4", "JIS B4", ...).
  QString PaperName() const;
  /// Chooses, among the media the selected CUPS queue offers, the one of `widthMm` ×
  /// `heightMm` (portrait, within 1 mm), preferring one whose name contains `name`
  /// ("Letter" takes "US Letter" over "ANSI A"). False, with the names of the sizes the
  /// queue has in `available`, when it offers none of that size or the virtual printer
  /// is selected.
  bool SelectQueuePaper(const QString& name, double widthMm, double heightMm,
                        QStringList* available = nullptr);
  /// Puts the selected printer on a paper of `widthMm` × `heightMm` (portrait): the
  /// virtual printer takes any paper its offsets leave room on, a CUPS queue one of its
  /// media (SelectQueuePaper, with `available` filled when it has none).
  bool SelectPaperOfSize(const QString& name, double widthMm, double heightMm,
                         QStringList* available = nullptr);
  /// The output file of the virtual printer's jobs; a job cannot begin without one.
  void SetOutputFile(const QString& path) { outputFile_ = path; }
  const QString& OutputFile() const { return outputFile_; }

  void SetTitle(const QString& title) { title_ = title; }
  const QString& Title() const { return title_; }
  /// Begins the job; false with `error` set when it cannot begin. A CUPS queue is asked
  /// first: one that does not take jobs, or a scheduler that does not answer, refuses
  /// the job with CUPS's reason; a paused queue takes it, with a Warning().
  bool BeginDoc(QString* error = nullptr);
  /// What the user should know of the last job that began, though it went on (a paused
  /// queue holds it); empty when nothing.
  const QString& Warning() const { return warning_; }
  /// Why the last EndDoc (or NewPage, for output that could not be written) failed (CUPS
  /// refused the job, or the output could not be
  /// written); empty when it did not.
  const QString& EndError() const { return endError_; }
  /// The job's painter, in device units with the printable area's top-left as origin;
  /// null when no job runs.
  QPainter* Painter() { return painter_.get(); }
  /// Starts the next page; false with EndError() when the output cannot be written, or
  /// when the CUPS queue was deleted, its scheduler stopped, or it stopped taking jobs
  /// meanwhile (asked every few pages).
  bool NewPage();
  /// Ends the job; false when the output could not be completed.
  bool EndDoc();
  /// Ends the job at once, discarding what the printer has not yet taken.
  void Abort();
  bool Printing() const { return painter_ != nullptr; }

 private:
  void OpenCupsPrinter(const QString& name);
  void ApplyOrientationToQt();
  void PrepareVirtualPainter();

  QStringList cups_;
  int index_ = 0;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  TVirtualPrinter virtual_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<TVectorPage> pdf_;
  std::unique_ptr<TAtomicFileDevice> pdfFile_;
  std::unique_ptr<QPainter> painter_;
  QString outputFile_;
  QString title_;
  QString warning_;
  // While a CUPS job is drawn: its queue is asked again after this many pages or this
  // long, whichever comes first (QueueStillTakesTheJob).
  static constexpr int kQueueCheckPages = 16;
  static constexpr qint64 kQueueCheckMs = 250;
  int pagesSinceQueueCheck_ = 0;
  QElapsedTimer queueCheck_;
  bool QueueStillTakesTheJob();
  QString endError_;
};

}  // namespace zelk
