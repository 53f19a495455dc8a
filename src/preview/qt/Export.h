// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recorded page written out as PDF, SVG or PNG: the page laid on the printer's paper
// at its printable-area offset, exactly where a print puts it, and replayed through the
// same painter backend as the preview and the printer.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>
#include <optional>

#include "preview/Metafile.h"
#include "preview/PrinterQuery.h"

class QIODevice;

namespace zelk {

enum class TExportFormat { Pdf, Svg, Png };

/// The format named by the file name's suffix: ".pdf", ".svg" or ".png", in any case.
std::optional<TExportFormat> ExportFormatFor(const QString& path);

inline constexpr int kDefaultPngDpi = 150;
inline constexpr int kMaxPngDpi = 2400;
/// The largest PNG made, in pixels (2^27: 512 MiB of image in memory). A larger paper or
/// resolution is refused with a message rather than exhausting memory.
inline constexpr qint64 kMaxPngPixels = qint64(1) << 27;
/// The largest side of a PNG: Qt's raster painter works in 16.16 fixed point.
inline constexpr int kMaxPngSide = 32767;

struct TExportOptions {
  /// The document title written into PDF and SVG.
  QString Title = QStringLiteral("印刷プレビュー");
  /// PNG resolution in dots per inch, 1 to kMaxPngDpi.
  int PngDpi = kDefaultPngDpi;
};

// Every writer takes the printer's geometry from `printer` (GetPrinterInfo of the
// printer the page was recorded on): the paper is PhysicalWidth x PhysicalHeight device
// pixels at LogPixelsX x LogPixelsY, and the page's top-left lands at (PhysicalOffsetX,
// PhysicalOffsetY), covering HorzRes x VertRes of the page. The output is portrait in
// the sense that the paper lies as the printer reports it: a landscape printer gives a
// landscape page. Each returns false with a one-line Japanese message in `error` (when
// given) and writes nothing usable on failure; nothing throws.

/// A one-page PDF whose page is the paper's size.
bool ExportPdf(const TMetafileEx& page, const TPrinterInfo& printer, QIODevice& out,
               const TExportOptions& options = {}, QString* error = nullptr);

/// An SVG the size of the paper in millimetres, one user unit per horizontal device
/// pixel.
bool ExportSvg(const TMetafileEx& page, const TPrinterInfo& printer, QIODevice& out,
               const TExportOptions& options = {}, QString* error = nullptr);

/// The paper as an image at `dpi` (white paper, antialiased shapes): the paper's pixel
/// size times dpi / resolution, rounded, with the resolution recorded in the image. A
/// null image and `error` set when the size is beyond kMaxPngPixels or kMaxPngSide, or
/// dpi is outside 1..kMaxPngDpi.
QImage RenderPaperImage(const TMetafileEx& page, const TPrinterInfo& printer, int dpi,
                        QString* error = nullptr);

/// RenderPaperImage saved as PNG.
bool ExportPng(const TMetafileEx& page, const TPrinterInfo& printer, QIODevice& out,
               const TExportOptions& options = {}, QString* error = nullptr);

/// A PDF of many pages, added one at a time and written into `out` as each is added,
/// so that only the page at hand and the fonts are held in memory; each page is laid on
/// the paper as ExportPdf lays a single one.
class TPdfDocument {
 public:
  TPdfDocument(const TPrinterInfo& printer, QIODevice& out);
  ~TPdfDocument();
  TPdfDocument(const TPdfDocument&) = delete;
  TPdfDocument& operator=(const TPdfDocument&) = delete;

  /// Adds the page; false with a one-line Japanese message in `error` when the printer's
  /// paper is unknown, the drawing cannot start, or the page before it could not be
  /// written.
  bool AddPage(const TMetafileEx& page, QString* error = nullptr);
  /// Writes the last page and the end of the file with `title` as its title; false with
  /// the reason when no page was added or a write failed. No page can be added afterwards.
  bool Finish(const QString& title, QString* error = nullptr);

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

/// The whole output of ExportPdf, ExportSvg or ExportPng, in memory.
bool ExportToBytes(const TMetafileEx& page, const TPrinterInfo& printer, TExportFormat format,
                   const TExportOptions& options, QByteArray& bytes, QString* error = nullptr);

/// Writes the file in the format its suffix names, through AtomicWriteFile: only a
/// regular file (or nothing) at `path` is replaced, and only when the whole output was
/// made; a failure leaves an existing file as it was.
bool ExportPage(const TMetafileEx& page, const TPrinterInfo& printer, const QString& path,
                const TExportOptions& options = {}, QString* error = nullptr);

}  // namespace zelk
