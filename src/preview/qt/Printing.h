// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sending recorded pages to the current printer: the one printing path of the preview
// window, the main window's print button and `zelk print`.

#include <QString>
#include <functional>

#include "preview/Metafile.h"
#include "preview/PrintPreview.h"

class QPainter;

namespace zelk {

class TPrinterService;

/// The print job's title: the preview window's caption.
inline const QString kPrintJobTitle = QStringLiteral("印刷プレビュー");

/// Draws one recorded page on the printer's painter. May throw to abort the job.
using TPrintPageDrawer = std::function<void(QPainter& painter, const TMetafileEx& page)>;

/// Replays `page` at its natural size at (0, 0): one recorded unit is one printer unit,
/// the origin the printable area's top-left corner (TMetafileEx::Draw through a
/// TPainterPlayback).
void DrawPageAtNaturalSize(QPainter& painter, const TMetafileEx& page);

/// How a print job went.
enum class TPrintOutcome {
  Printed,      ///< every page was sent and the job ended
  BeginFailed,  ///< the job could not begin (no usable printer, no PDF output file)
  Aborted,      ///< a page failed; the job was aborted, and not ended a second time
  EndFailed,    ///< every page was drawn but the output could not be completed
  Cancelled,    ///< the user stopped it; the job was aborted, nothing of it kept
};

/// Jobs beyond this many pages are confirmed (in the window) or announced (on the
/// command line) before they start.
inline constexpr int kLongJobPages = 10000;

/// Told before each page of a job (`page` from 0 of `count`), in order, once each;
/// false stops the job there (TPrintOutcome::Cancelled).
using TPageProgress = std::function<bool(int page, int count)>;

struct TPrintResult {
  TPrintOutcome Outcome = TPrintOutcome::Printed;
  /// A Japanese reason for BeginFailed and EndFailed; what a failed page threw for
  /// Aborted.
  QString Error;
  /// Pages drawn completely before the job ended or was aborted.
  int PagesDrawn = 0;
  /// What the user should know though the job went on (a paused queue holds it).
  QString Warning;
};

/// Which of a document's pages a job sends, and how many times: the print dialog's page
/// range and copies, for a printer that makes no copies of its own (the virtual one).
struct TJobPages {
  int First = 1;        ///< the first page, from 1
  int Last = 0;         ///< the last page; 0 (or past the end): to the end
  int Copies = 1;       ///< how many times the job sends them
  bool Collate = true;  ///< whole copies one after the other, else each page again at once
  /// The pages the job sends of a document of `pages` pages.
  int Count(int pages) const;
  /// The document's page (from 0) that the job sends as its page `index` (from 0).
  int PageOf(int index, int pages) const;
};

/// Prints the pages the recorder holds: sets the job title to kPrintJobTitle, begins
/// the job, draws pages 0, 1, ... with `draw` (a new printer page between two pages, none
/// after the last), and ends the job. A page whose drawing throws, or a new page that
/// the printer refuses, aborts the job at once: the printer's abort ends it, so it is
/// not ended again, and the recorded pages stay for another attempt. A recorder with no
/// pages begins and ends an empty job. The recorder must not be recording.
TPrintResult PrintPages(const TPrintPreview& pages, TPrinterService& printer,
                        const TPrintPageDrawer& draw = DrawPageAtNaturalSize);

/// Page `index` of a job, from 0, valid until it is asked for the next page; it may
/// record the page only now. May throw to abort the job.
using TPageAt = std::function<const TMetafileEx&(int index)>;

/// As above with `count` pages that `pageAt` gives one after the other, so a long
/// document need not be held whole: a page that cannot be had aborts the job as a page
/// that fails to draw does.
/// `progress`, when given, is told of each page before it is drawn, and may stop the job.
TPrintResult PrintPages(int count, const TPageAt& pageAt, TPrinterService& printer,
                        const TPrintPageDrawer& draw = DrawPageAtNaturalSize,
                        const TPageProgress& progress = {});

}  // namespace zelk
