// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/Export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <cmath>

#include "base/Utf8.h"
#include "preview/qt/PainterPlayback.h"
#include "preview/qt/VectorPage.h"
#include "settings/SettingsFileIO.h"

namespace zelk {
namespace {

bool Fail(QString* error, const QString& message) {
  if (error) *error = message;
  return false;
}

bool CheckGeometry(const TPrinterInfo& p, QString* error) {
  if (p.LogPixelsX <= 0 || p.LogPixelsY <= 0 || p.PhysicalWidth <= 0 || p.PhysicalHeight <= 0)
    return Fail(error, QStringLiteral("プリンターの用紙の大きさが分かりません"));
  return true;
}

// The recorded page's place on the paper, in the paper's device pixels.
TDeviceRect PrintableArea(const TMetafileEx& page, const TPrinterInfo& p) {
  const auto right = static_cast<int64_t>(p.PhysicalOffsetX) + page.HorzRes;
  const auto bottom = static_cast<int64_t>(p.PhysicalOffsetY) + page.VertRes;
  return {p.PhysicalOffsetX, p.PhysicalOffsetY, SaturateInt32(right), SaturateInt32(bottom)};
}

// Vector outputs work in units of 1 / LogPixelsX inch; a different vertical resolution
// is a scale of the painter, so the page still replays in the printer's device pixels.
qreal VerticalScale(const TPrinterInfo& p) {
  return static_cast<qreal>(p.LogPixelsX) / p.LogPixelsY;
}

bool ReplayOnto(QPaintDevice& device, const TMetafileEx& page, const TPrinterInfo& p, qreal sx,
                qreal sy, bool antialiasing, QString* error) {
  QPainter painter;
  if (!painter.begin(&device)) return Fail(error, QStringLiteral("出力を開始できません"));
  painter.scale(sx, sy);
  DrawPage(painter, page, PrintableArea(page, p), antialiasing);
  if (!painter.end()) return Fail(error, QStringLiteral("出力を書き終えられません"));
  return true;
}

// The paper as a vector page of LogPixelsX units per inch both ways.
bool ExportVector(TVectorFormat format, const TMetafileEx& page, const TPrinterInfo& p,
                  QIODevice& out, const TExportOptions& options, QString* error) {
  if (!CheckGeometry(p, error)) return false;
  const QSize size(p.PhysicalWidth,
                   static_cast<int>(std::lround(p.PhysicalHeight * VerticalScale(p))));
  TVectorPage vector(format, size, p.LogPixelsX);
  if (!ReplayOnto(vector, page, p, 1.0, VerticalScale(p), false, error)) return false;
  const QByteArray bytes = vector.Write(options.Title);
  if (out.write(bytes) != bytes.size())
    return Fail(error, QStringLiteral("出力を書き終えられません"));
  return true;
}

QString Pixels(qint64 w, qint64 h) { return QStringLiteral("%1 × %2").arg(w).arg(h); }

}  // namespace

std::optional<TExportFormat> ExportFormatFor(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("pdf")) return TExportFormat::Pdf;
  if (suffix == QLatin1String("svg")) return TExportFormat::Svg;
  if (suffix == QLatin1String("png")) return TExportFormat::Png;
  return std::nullopt;
}

bool ExportPdf(const TMetafileEx& page, const TPrinterInfo& p, QIODevice& out,
               const TExportOptions& options, QString* error) {
  return ExportVector(TVectorFormat::Pdf, page, p, out, options, error);
}

bool ExportSvg(const TMetafileEx& page, const TPrinterInfo& p, QIODevice& out,
               const TExportOptions& options, QString* error) {
  return ExportVector(TVectorFormat::Svg, page, p, out, options, error);
}

QImage RenderPaperImage(const TMetafileEx& page, const TPrinterInfo& p, int dpi, QString* error) {
  if (!CheckGeometry(p, error)) return QImage();
  if (dpi < 1 || dpi > kMaxPngDpi) {
    Fail(error, QStringLiteral("PNG の解像度は 1 から %1 dpi までです").arg(kMaxPngDpi));
    return QImage();
  }
  const qreal sx = static_cast<qreal>(dpi) / p.LogPixelsX;
  const qreal sy = static_cast<qreal>(dpi) / p.LogPixelsY;
  const qint64 w = std::max<qint64>(1, std::llround(p.PhysicalWidth * sx));
  const qint64 h = std::max<qint64>(1, std::llround(p.PhysicalHeight * sy));
  if (w > kMaxPngSide || h > kMaxPngSide || w * h > kMaxPngPixels) {
    Fail(error, QStringLiteral("PNG の画像が大きすぎます（%1 ピクセル）。解像度を下げてください")
                    .arg(Pixels(w, h)));
    return QImage();
  }
  QImage image(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
  if (image.isNull()) {
    Fail(error,
         QStringLiteral("PNG の画像（%1 ピクセル）のメモリーが足りません").arg(Pixels(w, h)));
    return QImage();
  }
  image.fill(Qt::white);
  const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  if (!ReplayOnto(image, page, p, sx, sy, true, error)) return QImage();
  return image;
}

bool ExportPng(const TMetafileEx& page, const TPrinterInfo& p, QIODevice& out,
               const TExportOptions& options, QString* error) {
  const QImage image = RenderPaperImage(page, p, options.PngDpi, error);
  if (image.isNull()) return false;
  if (!image.save(&out, "PNG")) return Fail(error, QStringLiteral("PNG を書き出せません"));
  return true;
}

struct TPdfDocument::TState {
  explicit TState(QIODevice& out) : Out(out) {}
  QIODevice& Out;
  TPrinterInfo Printer;
  std::unique_ptr<TVectorPage> Vector;
  QPainter Painter;
  bool Finished = false;
  // The sheet under the last pages' drawing, written once, and its part of the file.
  TMetafileEx Sheet;
  int SheetPart = -1;
};

TPdfDocument::TPdfDocument(const TPrinterInfo& printer, QIODevice& out)
    : state_(std::make_unique<TState>(out)) {
  state_->Printer = printer;
}

TPdfDocument::~TPdfDocument() {
  if (state_->Painter.isActive()) state_->Painter.end();
}

bool TPdfDocument::AddPage(const TMetafileEx& page, QString* error) {
  TState& st = *state_;
  const TPrinterInfo& p = st.Printer;
  if (st.Finished) return Fail(error, QStringLiteral("出力を書き終えた後です"));
  if (!CheckGeometry(p, error)) return false;
  if (!st.Vector) {
    const QSize size(p.PhysicalWidth,
                     static_cast<int>(std::lround(p.PhysicalHeight * VerticalScale(p))));
    st.Vector = std::make_unique<TVectorPage>(TVectorFormat::Pdf, size, p.LogPixelsX);
    st.Vector->StreamTo(&st.Out);
    if (!st.Painter.begin(st.Vector.get())) {
      st.Vector.reset();
      return Fail(error, QStringLiteral("出力を開始できません"));
    }
  } else {
    st.Vector->NewPage();
    if (!st.Vector->Error().isEmpty())
      return Fail(error, QStringLiteral("書き込めません: %1").arg(st.Vector->Error()));
  }
  st.Painter.save();
  st.Painter.scale(1.0, VerticalScale(p));
  const TDeviceRect area = PrintableArea(page, p);
  // A sheet that every page shares is written once, and each page draws only what lies
  // on it.
  size_t own = 0;
  if (st.SheetPart >= 0 && page.SameSheet(st.Sheet) && st.Vector->ShowSharedPart(st.SheetPart)) {
    own = page.SheetOps;
  } else if (page.SheetOps > 0) {
    DrawPage(st.Painter, page, area, false, QRectF(), TOpRange{0, page.SheetOps});
    st.SheetPart = st.Vector->EndSharedPart();
    if (st.SheetPart >= 0) st.Sheet = page.SheetOnly();
    own = page.SheetOps;
  }
  DrawPage(st.Painter, page, area, false, QRectF(), TOpRange{own});
  st.Painter.restore();
  return true;
}

bool TPdfDocument::Finish(const QString& title, QString* error) {
  TState& st = *state_;
  if (!st.Vector || st.Finished) return Fail(error, QStringLiteral("出力するページがありません"));
  st.Finished = true;
  st.Painter.end();
  if (st.Vector->Finish(title)) return true;
  return Fail(error, QStringLiteral("書き込めません: %1").arg(st.Vector->Error()));
}

bool ExportToBytes(const TMetafileEx& page, const TPrinterInfo& p, TExportFormat format,
                   const TExportOptions& options, QByteArray& bytes, QString* error) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (format) {
    case TExportFormat::Pdf:
      return ExportPdf(page, p, buffer, options, error);
    case TExportFormat::Svg:
      return ExportSvg(page, p, buffer, options, error);
    case TExportFormat::Png:
      return ExportPng(page, p, buffer, options, error);
  }
  return false;
}

bool ExportPage(const TMetafileEx& page, const TPrinterInfo& p, const QString& path,
                const TExportOptions& options, QString* error) {
  const auto format = ExportFormatFor(path);
  if (!format)
    return Fail(error, QStringLiteral("%1: 出力の形式は .pdf、.svg、.png のどれかです").arg(path));
  QByteArray bytes;
  if (!ExportToBytes(page, p, *format, options, bytes, error)) return false;
  std::string failure;
  const bool ok = AtomicWriteFile(
      FileNameFromUtf16(path.toStdU16String()),
      [&bytes](TByteWriter& w) { w.Write(bytes.constData(), static_cast<size_t>(bytes.size())); },
      &failure);
  return ok || Fail(error, QString::fromStdString(failure));
}

}  // namespace zelk
