// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/Printing.h"

#include <QPainter>
#include <algorithm>
#include <exception>
#include <utility>

#include "preview/qt/PainterPlayback.h"
#include "preview/qt/PrinterService.h"

namespace zelk {

void DrawPageAtNaturalSize(QPainter& painter, const TMetafileEx& page) {
  DrawPage(painter, page, TDeviceRect{0, 0, page.HorzRes, page.VertRes});
}

namespace {

TPrintResult Abort(TPrinterService& printer, TPrintResult result, const QString& why) {
  printer.Abort();
  result.Outcome = TPrintOutcome::Aborted;
  result.Error = why;
  return result;
}

}  // namespace

namespace {

// The range of a document of `pages` pages: its first page from 0 and how many.
std::pair<int, int> RangeOf(const TJobPages& job, int pages) {
  const int first = std::clamp(job.First, 1, std::max(pages, 1));
  const int last = job.Last <= 0 || job.Last > pages ? pages : std::max(job.Last, first);
  return {first - 1, std::max(0, last - first + 1)};
}

}  // namespace

int TJobPages::Count(int pages) const { return RangeOf(*this, pages).second * std::max(Copies, 1); }

int TJobPages::PageOf(int index, int pages) const {
  const auto [first, count] = RangeOf(*this, pages);
  if (count == 0) return first;
  return first + (Collate ? index % count : index / std::max(Copies, 1));
}

TPrintResult PrintPages(const TPrintPreview& pages, TPrinterService& printer,
                        const TPrintPageDrawer& draw) {
  return PrintPages(
      pages.GetPageCount(), [&pages](int i) -> const TMetafileEx& { return *pages.GetPage(i); },
      printer, draw);
}

TPrintResult PrintPages(int count, const TPageAt& pageAt, TPrinterService& printer,
                        const TPrintPageDrawer& draw, const TPageProgress& progress) {
  TPrintResult result;
  printer.SetTitle(kPrintJobTitle);
  if (!printer.BeginDoc(&result.Error)) {
    result.Outcome = TPrintOutcome::BeginFailed;
    return result;
  }
  result.Warning = printer.Warning();
  for (int i = 0; i < count; ++i) {
    if (progress && !progress(i, count)) {
      result = Abort(printer, result, QStringLiteral("印刷を中止しました"));
      result.Outcome = TPrintOutcome::Cancelled;
      return result;
    }
    try {
      draw(*printer.Painter(), pageAt(i));
    } catch (const std::exception& e) {
      return Abort(printer, result, QString::fromUtf8(e.what()));
    } catch (...) {
      return Abort(printer, result, QString());
    }
    ++result.PagesDrawn;
    if (i + 1 < count && !printer.NewPage()) {
      // Output that cannot be written is the job's failure, told as its end's would be.
      const QString failure = printer.EndError();
      result = Abort(printer, result,
                     failure.isEmpty() ? QStringLiteral("改ページできません") : failure);
      if (!failure.isEmpty()) result.Outcome = TPrintOutcome::EndFailed;
      return result;
    }
  }
  if (!printer.EndDoc()) {
    result.Outcome = TPrintOutcome::EndFailed;
    result.Error = printer.EndError();
  }
  return result;
}

}  // namespace zelk
