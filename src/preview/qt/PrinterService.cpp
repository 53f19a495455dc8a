// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/PrinterService.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "preview/qt/AtomicFileDevice.h"
#include "preview/qt/CupsQueue.h"
#include "preview/qt/VectorPage.h"

namespace zelk {
namespace {

constexpr int kCupsResolution = 600;

QPageLayout::Orientation ToQt(TPrinterOrientation o) {
  return o == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

}  // namespace

QPageSize QueueDefaultPaper(const QString& queue) {
  return QPrinterInfo::printerInfo(queue).defaultPageSize();
}

TPrinterService& TPrinterService::Instance() {
  static TPrinterService service;
  return service;
}

TPrinterService::TPrinterService() {
  cups_ = QPrinterInfo::availablePrinterNames();
  const QString def = QPrinterInfo::defaultPrinterName();
  index_ = static_cast<int>(cups_.size());  // the virtual printer
  if (!cups_.isEmpty()) SetPrinterIndex(std::max(0, static_cast<int>(cups_.indexOf(def))));
}

TPrinterService::~TPrinterService() {
  if (painter_) Abort();
}

std::vector<std::u16string> TPrinterService::Printers() const {
  std::vector<std::u16string> names;
  for (const QString& n : cups_) names.push_back(n.toStdU16String());
  names.emplace_back(TVirtualPrinter::kName);
  return names;
}

bool TPrinterService::IsVirtual() const { return index_ == static_cast<int>(cups_.size()); }

bool TPrinterService::SetPrinterIndex(int index) {
  if (painter_ || index < 0 || index > static_cast<int>(cups_.size())) return false;
  if (index == static_cast<int>(cups_.size())) {
    printer_.reset();
    index_ = index;
    return true;
  }
  OpenCupsPrinter(cups_[index]);
  if (!printer_) return false;
  index_ = index;
  return true;
}

bool TPrinterService::SelectPrinter(const QString& name) {
  if (TVirtualPrinter::IsItsName(name.toStdU16String()))
    return SetPrinterIndex(static_cast<int>(cups_.size()));
  const QString queue = name.startsWith(kQueuePrefix) ? name.mid(kQueuePrefix.size()) : name;
  const auto i = cups_.indexOf(queue);
  return i >= 0 && SetPrinterIndex(static_cast<int>(i));
}

bool TPrinterService::RescanPrinters() {
  if (painter_) return true;
  const QString current = IsVirtual() ? QString() : cups_[index_];
  cups_ = QPrinterInfo::availablePrinterNames();
  const int last = static_cast<int>(cups_.size());
  if (current.isEmpty()) {
    index_ = last;
    return true;
  }
  // The Qt printer open stays: opening the queue again would forget its paper.
  const int kept = static_cast<int>(cups_.indexOf(current));
  if (kept >= 0 && printer_) {
    index_ = kept;
    return true;
  }
  const int fallback = static_cast<int>(cups_.indexOf(QPrinterInfo::defaultPrinterName()));
  if (fallback < 0 || !SetPrinterIndex(fallback)) SetPrinterIndex(last);
  return false;
}

void TPrinterService::OpenCupsPrinter(const QString& name) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setPrinterName(name);
  if (!printer->isValid()) {
    printer_.reset();
    return;
  }
  printer->setResolution(kCupsResolution);
  printer->setFullPage(false);
  // The queue decides the paper; CUPS would otherwise fit Qt's A4 onto the queue's
  // paper. The margins follow the size chosen.
  const QPageSize queuePaper = QueueDefaultPaper(name);
  if (queuePaper.isValid()) printer->setPageSize(queuePaper);
  printer_ = std::move(printer);
  ApplyOrientationToQt();
}

void TPrinterService::ApplyOrientationToQt() {
  if (!printer_) return;
  QPageLayout layout = printer_->pageLayout();
  layout.setOrientation(ToQt(orientation_));
  // A queue may refuse a layout it cannot do; what it accepted is read back either way.
  printer_->setPageLayout(layout);
  orientation_ = printer_->pageLayout().orientation() == QPageLayout::Landscape
                     ? TPrinterOrientation::poLandscape
                     : TPrinterOrientation::poPortrait;
}

void TPrinterService::SetOrientation(TPrinterOrientation orientation) {
  if (painter_) return;  // a running job keeps its layout
  orientation_ = orientation;
  virtual_.SetOrientation(orientation);
  ApplyOrientationToQt();
}

void TPrinterService::Refresh() {
  if (!printer_) return;
  orientation_ = printer_->pageLayout().orientation() == QPageLayout::Landscape
                     ? TPrinterOrientation::poLandscape
                     : TPrinterOrientation::poPortrait;
  virtual_.SetOrientation(orientation_);
  if (printer_->resolution() != kCupsResolution) printer_->setResolution(kCupsResolution);
}

int32_t TPrinterService::GetDeviceCaps(TDeviceCap cap) const {
  if (!printer_) return virtual_.GetDeviceCaps(cap);
  const QRect paper = printer_->paperRect(QPrinter::DevicePixel).toAlignedRect();
  const QRect page = printer_->pageRect(QPrinter::DevicePixel).toAlignedRect();
  const int res = printer_->resolution();
  switch (cap) {
    case TDeviceCap::LogPixelsX:
    case TDeviceCap::LogPixelsY:
      return res;
    case TDeviceCap::HorzRes:
      return page.width();
    case TDeviceCap::VertRes:
      return page.height();
    case TDeviceCap::PhysicalWidth:
      return paper.width();
    case TDeviceCap::PhysicalHeight:
      return paper.height();
    case TDeviceCap::PhysicalOffsetX:
      return page.left() - paper.left();
    case TDeviceCap::PhysicalOffsetY:
      return page.top() - paper.top();
    case TDeviceCap::HorzSize:
      return printer_->widthMM();
    case TDeviceCap::VertSize:
      return printer_->heightMM();
  }
  return 0;
}

bool TPrinterService::SelectQueuePaper(const QString& name, double widthMm, double heightMm,
                                       QStringList* available) {
  if (!printer_ || painter_) return false;
  const QList<QPageSize> sizes =
      QPrinterInfo::printerInfo(printer_->printerName()).supportedPageSizes();
  const QPageSize* chosen = nullptr;
  for (const QPageSize& size : sizes) {
    const QSizeF mm = size.size(QPageSize::Millimeter);
    if (std::abs(mm.width() - widthMm) > 1 || std::abs(mm.height() - heightMm) > 1) continue;
    if (!chosen) chosen = &size;
    if (!name.isEmpty() && size.name().contains(name, Qt::CaseInsensitive)) {
      chosen = &size;
      break;
    }
  }
  if (!chosen) {
    if (available) {
      available->clear();
      for (const QPageSize& size : sizes) available->append(size.name());
    }
    return false;
  }
  if (!printer_->setPageSize(*chosen)) return false;
  ApplyOrientationToQt();
  return true;
}

bool TPrinterService::SelectPaperOfSize(const QString& name, double widthMm, double heightMm,
                                        QStringList* available) {
  if (IsVirtual()) return virtual_.SetPaper(TPaperSize{name.toStdU16String(), widthMm, heightMm});
  return SelectQueuePaper(name, widthMm, heightMm, available);
}

QString TPrinterService::PaperName() const {
  if (printer_) return printer_->pageLayout().pageSize().name();
  const auto& paper = virtual_.Paper();
  if (!paper.Name.empty()) return QString::fromStdU16String(paper.Name);
  return QStringLiteral("%1 x %2 mm").arg(paper.WidthMm).arg(paper.HeightMm);
}

void TPrinterService::PrepareVirtualPainter() {
  // The writer works at the horizontal resolution; a different vertical resolution is a
  // scale of the painter, so the job still draws in the virtual printer's device units.
  const double resX = virtual_.GetDeviceCaps(TDeviceCap::LogPixelsX);
  const double resY = virtual_.GetDeviceCaps(TDeviceCap::LogPixelsY);
  const double writerRes = pdf_->logicalDpiX();
  painter_->scale(writerRes / resX, writerRes / resY);
  painter_->translate(virtual_.GetDeviceCaps(TDeviceCap::PhysicalOffsetX),
                      virtual_.GetDeviceCaps(TDeviceCap::PhysicalOffsetY));
}

bool TPrinterService::BeginDoc(QString* error) {
  auto fail = [error](const QString& why) {
    if (error) *error = why;
    return false;
  };
  if (painter_) return fail(QStringLiteral("印刷中です"));
  warning_.clear();
  endError_.clear();
  if (printer_) {
    const QString queue = printer_->printerName();
    const TQueueState state = QueryQueue(queue);
    if (!state.Reachable)
      return fail(QStringLiteral("プリンター %1 に接続できません: %2").arg(queue, state.Reason));
    if (!state.Accepting)
      return fail(
          QStringLiteral("プリンター %1 はジョブを受け付けていません: %2")
              .arg(queue, state.Reason.isEmpty() ? QStringLiteral("理由不明") : state.Reason));
    if (state.Paused)
      warning_ = QStringLiteral("プリンター %1 は一時停止中です。ジョブは再開されるまで待ちます")
                     .arg(queue);
    printer_->setDocName(title_);
    printer_->setOutputFileName(QString());
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get()))
      return fail(
          QStringLiteral("プリンター %1 で印刷を開始できません").arg(printer_->printerName()));
    painter_ = std::move(painter);
    pagesSinceQueueCheck_ = 0;
    queueCheck_.start();
    return true;
  }
  if (outputFile_.isEmpty()) return fail(QStringLiteral("PDF の出力先が指定されていません"));
  // The file is replaced when the job ends complete; until then an existing one stays.
  auto file = std::make_unique<TAtomicFileDevice>();
  if (!file->OpenFile(outputFile_)) return fail(file->Reason());
  // The page is the paper's pixel size at the larger resolution, so the PDF page matches
  // the device geometry.
  const int resX = virtual_.GetDeviceCaps(TDeviceCap::LogPixelsX);
  const int resY = virtual_.GetDeviceCaps(TDeviceCap::LogPixelsY);
  const int writerRes = std::max(resX, resY);
  const QSize size(static_cast<int>(std::lround(virtual_.GetDeviceCaps(TDeviceCap::PhysicalWidth) *
                                                static_cast<double>(writerRes) / resX)),
                   static_cast<int>(std::lround(virtual_.GetDeviceCaps(TDeviceCap::PhysicalHeight) *
                                                static_cast<double>(writerRes) / resY)));
  pdf_ = std::make_unique<TVectorPage>(TVectorFormat::Pdf, size, writerRes);
  // Each page goes to the file as it ends: a long job holds one page, not all of them.
  pdf_->StreamTo(file.get());
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(pdf_.get())) {
    pdf_.reset();
    return fail(QStringLiteral("%1 に書き込めません").arg(outputFile_));
  }
  pdfFile_ = std::move(file);
  painter_ = std::move(painter);
  PrepareVirtualPainter();
  return true;
}

bool TPrinterService::NewPage() {
  if (!painter_) return false;
  if (printer_) {
    if (!QueueStillTakesTheJob()) return false;
    return printer_->newPage();
  }
  painter_->resetTransform();
  if (!pdf_->NewPage()) return false;
  // A page that could not be written (a full disk) ends the job now, not at its end.
  if (!pdf_->Error().isEmpty()) {
    endError_ = QStringLiteral("%1 に書き込めません: %2").arg(outputFile_, pdf_->Error());
    return false;
  }
  PrepareVirtualPainter();
  return true;
}

bool TPrinterService::QueueStillTakesTheJob() {
  // The job reaches CUPS only when it ends: a queue deleted or a scheduler gone while
  // its pages are drawn is asked for now and then, so that the job stops within a few
  // pages instead of after all of them.
  if (++pagesSinceQueueCheck_ < kQueueCheckPages && !queueCheck_.hasExpired(kQueueCheckMs))
    return true;
  pagesSinceQueueCheck_ = 0;
  queueCheck_.restart();
  const QString queue = printer_->printerName();
  const TQueueState state = QueryQueue(queue);
  if (!state.Reachable)
    endError_ =
        QStringLiteral("プリンター %1 に接続できなくなりました: %2").arg(queue, state.Reason);
  else if (!state.Accepting)
    endError_ = QStringLiteral("プリンター %1 がジョブを受け付けなくなりました: %2")
                    .arg(queue, state.Reason.isEmpty() ? QStringLiteral("理由不明") : state.Reason);
  return endError_.isEmpty();
}

bool TPrinterService::EndDoc() {
  if (!painter_) return false;
  bool ok = painter_->end();
  // Qt's engine hands the job to CUPS while the painter ends and does not pass on a
  // refusal; CUPS's own last answer does.
  if (printer_) {
    const QString refused = LastCupsFailure();
    if (!refused.isEmpty()) {
      ok = false;
      endError_ = QStringLiteral("プリンター %1 がジョブを受け付けませんでした: %2")
                      .arg(printer_->printerName(), refused);
    }
  }
  if (ok && pdf_) {
    // The file replaces the target only complete: every write and the commit checked.
    if (!pdf_->Finish(title_)) {
      ok = false;
      endError_ = QStringLiteral("%1 に書き込めません: %2").arg(outputFile_, pdf_->Error());
    } else if (!pdfFile_->Commit()) {
      ok = false;
      endError_ = pdfFile_->Reason();
    }
  }
  if (!ok && endError_.isEmpty()) endError_ = QStringLiteral("印刷を完了できません");
  painter_.reset();
  pdf_.reset();
  pdfFile_.reset();
  return ok;
}

void TPrinterService::Abort() {
  if (!painter_) return;
  if (printer_) printer_->abort();
  painter_->end();
  painter_.reset();
  // The unfinished file is discarded; a file that was there before stays.
  pdf_.reset();
  pdfFile_.reset();
}

}  // namespace zelk
