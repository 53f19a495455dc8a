// SPDX-License-Identifier: GPL-3.0-or-later
// PDF, SVG and PNG output: the page at the printer's paper size, the recorded page at
// its printable-area offset, and failures reported without a half-written file.

#include "preview/qt/Export.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "form/FormTransfer.h"
#include "preview/PrintPreview.h"
#include "preview/PrinterQuery.h"
#include "preview/SheetRecording.h"
#include "preview/VirtualPrinter.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/SettingFields.h"
#include "sheet/DrawSheet.h"

namespace zelk {
namespace {

// A page with one black square at the top-left corner of the printable area and one at
// its bottom-right corner, a fifth of an inch each.
TMetafileEx CornerPage(const TPrinterInfo& p) {
  TMetafileEx page;
  page.HorzRes = p.HorzRes;
  page.VertRes = p.VertRes;
  page.ResolutionX = p.LogPixelsX;
  page.ResolutionY = p.LogPixelsY;
  const int32_t side = p.LogPixelsX / 5;
  TRecordedOp op;
  op.Kind = TOpKind::FillRect;
  op.Brush = {TBrushStyle::bsSolid, kBlack};
  op.P1 = {0, 0};
  op.P2 = {side, side};
  page.Ops.push_back(op);
  op.P1 = {p.HorzRes - side, p.VertRes - side};
  op.P2 = {p.HorzRes, p.VertRes};
  page.Ops.push_back(op);
  return page;
}

TPrinterInfo Printer(TVirtualPrinter& v) {
  TPrinterInfo info;
  GetPrinterInfo(info, v);
  return info;
}

struct TPaperCase {
  const char* Paper;
  int Dpi;
  int OffsetX, OffsetY;
  bool Landscape;
};

class PaperExport : public ::testing::TestWithParam<TPaperCase> {
 protected:
  void SetUp() override {
    const TPaperCase& c = GetParam();
    ASSERT_TRUE(v_.SetResolution(c.Dpi, c.Dpi));
    ASSERT_TRUE(v_.SetPaper(*ParsePaperSize(c.Paper)));
    ASSERT_TRUE(v_.SetOffsets(c.OffsetX, c.OffsetY));
    v_.SetOrientation(c.Landscape ? TPrinterOrientation::poLandscape
                                  : TPrinterOrientation::poPortrait);
    info_ = Printer(v_);
    page_ = CornerPage(info_);
  }
  TVirtualPrinter v_;
  TPrinterInfo info_;
  TMetafileEx page_;
};

// The PNG is the paper at the chosen resolution, and the corner squares sit at the
// printable area's corners, offset from the paper's edges.
TEST_P(PaperExport, PngIsThePaperWithThePageAtItsOffset) {
  const int dpi = 100;
  QString error;
  const QImage image = RenderPaperImage(page_, info_, dpi, &error);
  ASSERT_FALSE(image.isNull()) << error.toStdString();
  const double s = static_cast<double>(dpi) / info_.LogPixelsX;
  EXPECT_EQ(image.width(), qRound(info_.PhysicalWidth * s));
  EXPECT_EQ(image.height(), qRound(info_.PhysicalHeight * s));
  EXPECT_EQ(image.dotsPerMeterX(), qRound(dpi / 0.0254));
  const int ox = qRound(info_.PhysicalOffsetX * s), oy = qRound(info_.PhysicalOffsetY * s);
  const int sq = qRound(info_.LogPixelsX / 5 * s);
  EXPECT_EQ(qGray(image.pixel(ox + sq / 2, oy + sq / 2)), 0);
  if (ox > 1) {
    EXPECT_EQ(qGray(image.pixel(ox - 2, oy + sq / 2)), 255);
  }
  if (oy > 1) {
    EXPECT_EQ(qGray(image.pixel(ox + sq / 2, oy - 2)), 255);
  }
  const int rx = qRound((info_.PhysicalOffsetX + info_.HorzRes) * s);
  const int by = qRound((info_.PhysicalOffsetY + info_.VertRes) * s);
  EXPECT_EQ(qGray(image.pixel(rx - sq / 2, by - sq / 2)), 0);
  if (rx + 1 < image.width()) {
    EXPECT_EQ(qGray(image.pixel(rx + 1, by - sq / 2)), 255);
  }
}

TEST_P(PaperExport, SvgIsThePaperSizeInMillimetres) {
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QString error;
  ASSERT_TRUE(ExportSvg(page_, info_, out, {}, &error)) << error.toStdString();
  const QString svg = QString::fromUtf8(out.data());
  const QRegularExpression size(QStringLiteral("width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\""));
  const auto m = size.match(svg);
  ASSERT_TRUE(m.hasMatch()) << svg.left(400).toStdString();
  EXPECT_NEAR(m.captured(1).toDouble(), info_.PaperWidthMm, 0.2);
  EXPECT_NEAR(m.captured(2).toDouble(), info_.PaperHeightMm, 0.2);
  EXPECT_TRUE(svg.contains(
      QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(info_.PhysicalWidth).arg(info_.PhysicalHeight)));
}

TEST_P(PaperExport, PdfPageIsThePaperSize) {
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  if (pdfinfo.isEmpty()) GTEST_SKIP() << "pdfinfo is not installed";
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("page.pdf"));
  QString error;
  ASSERT_TRUE(ExportPage(page_, info_, path, {}, &error)) << error.toStdString();
  QProcess proc;
  proc.start(pdfinfo, {path});
  ASSERT_TRUE(proc.waitForFinished(20000));
  const QString out = QString::fromUtf8(proc.readAllStandardOutput());
  const auto m =
      QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(out);
  ASSERT_TRUE(m.hasMatch()) << out.toStdString();
  EXPECT_NEAR(m.captured(1).toDouble(), info_.PaperWidthMm / 25.4 * 72, 1.0);
  EXPECT_NEAR(m.captured(2).toDouble(), info_.PaperHeightMm / 25.4 * 72, 1.0);
  EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\n"))));
  EXPECT_TRUE(out.contains(QRegularExpression(QString::fromUtf8("Title:\\s+印刷プレビュー"))));
}

INSTANTIATE_TEST_SUITE_P(Papers, PaperExport,
                         ::testing::Values(TPaperCase{"A4", 600, 0, 0, false},
                                           TPaperCase{"A4", 600, 100, 150, false},
                                           TPaperCase{"B5", 300, 50, 30, true},
                                           TPaperCase{"Letter", 1200, 200, 100, false},
                                           TPaperCase{"100x150", 360, 0, 20, true}));

// Texts, vertical and horizontal, go in as glyph outlines, so that the picture does not
// depend on the viewer's fonts; each in a group titled with its characters.
TEST(Export, SvgHasTextsAsOutlinesTitledWithTheirCharacters) {
  TVirtualPrinter v;
  const TPrinterInfo info = Printer(v);
  TMetafileEx page = CornerPage(info);
  page.Ops.clear();
  for (const auto& [face, orientation] :
       {std::pair<const char16_t*, int>{u"@ＭＳ 明朝", 2700}, {u"ＭＳ 明朝", 0}}) {
    TRecordedText t;
    t.Text = u"縦書き";
    t.Font.SetName(face);
    t.Font.SetSize(12);
    t.Orientation = orientation;
    page.Texts.push_back(t);
    TRecordedOp op;
    op.Kind = TOpKind::Text;
    op.P1 = {1000, 1000};
    op.Brush = {TBrushStyle::bsClear, kWhite};
    op.Index = static_cast<int32_t>(page.Texts.size() - 1);
    page.Ops.push_back(op);
  }
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  ASSERT_TRUE(ExportSvg(page, info, out));
  const QString svg = QString::fromUtf8(out.data());
  EXPECT_FALSE(svg.contains(QStringLiteral("<text")));
  EXPECT_EQ(svg.count(QStringLiteral("<g><title>縦書き</title>\n<path")), 2) << svg.toStdString();
}

TEST(Export, FormatBySuffix) {
  EXPECT_EQ(ExportFormatFor(QStringLiteral("a/x.pdf")), TExportFormat::Pdf);
  EXPECT_EQ(ExportFormatFor(QStringLiteral("x.PDF")), TExportFormat::Pdf);
  EXPECT_EQ(ExportFormatFor(QStringLiteral("x.svg")), TExportFormat::Svg);
  EXPECT_EQ(ExportFormatFor(QStringLiteral("x.Png")), TExportFormat::Png);
  EXPECT_FALSE(ExportFormatFor(QStringLiteral("x.jpg")));
  EXPECT_FALSE(ExportFormatFor(QStringLiteral("pdf")));
  EXPECT_FALSE(ExportFormatFor(QString()));
}

TEST(Export, OversizedPngIsRefusedWithAMessage) {
  TVirtualPrinter v;
  ASSERT_TRUE(v.SetPaper(*ParsePaperSize("5000x5000")));
  const TPrinterInfo info = Printer(v);
  QString error;
  EXPECT_TRUE(RenderPaperImage(CornerPage(info), info, 600, &error).isNull());
  EXPECT_TRUE(error.contains(QStringLiteral("大きすぎます"))) << error.toStdString();
  EXPECT_TRUE(RenderPaperImage(CornerPage(info), info, 0, &error).isNull());
  EXPECT_TRUE(RenderPaperImage(CornerPage(info), info, kMaxPngDpi + 1, &error).isNull());
}

TEST(Export, UnknownGeometryIsRefused) {
  TPrinterInfo none;
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QString error;
  EXPECT_FALSE(ExportPdf(TMetafileEx(), none, out, {}, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(ExportSvg(TMetafileEx(), none, out, {}, &error));
  EXPECT_TRUE(RenderPaperImage(TMetafileEx(), none, 150, &error).isNull());
}

TEST(Export, FailureLeavesTheExistingFileAlone) {
  TVirtualPrinter v;
  ASSERT_TRUE(v.SetPaper(*ParsePaperSize("5000x5000")));
  const TPrinterInfo info = Printer(v);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("keep.png"));
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  TExportOptions options;
  options.PngDpi = 600;
  QString error;
  EXPECT_FALSE(ExportPage(CornerPage(info), info, path, options, &error));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("old"));
  EXPECT_FALSE(
      ExportPage(CornerPage(info), info, dir.filePath(QStringLiteral("x.txt")), {}, &error));
  EXPECT_FALSE(ExportPage(CornerPage(info), info, dir.filePath(QStringLiteral("no/such/dir/x.pdf")),
                          {}, &error));
  EXPECT_FALSE(error.isEmpty());
}

// A sheet of the virtual printer (A4, 600 dpi) recorded with the fields `sets`
// ("Field=value", as `zelk --set` takes them).
class TRecordedSheet {
 public:
  explicit TRecordedSheet(const std::vector<std::string>& sets) {
    settings_ = FirstStartSettings(printer_, u"A4");
    for (const std::string& set : sets) {
      const auto eq = set.find('=');
      const TSettingField* field = FindSettingField(set.substr(0, eq));
      EXPECT_TRUE(field && SetFieldFromText(settings_, *field, set.substr(eq + 1), nullptr)) << set;
    }
    PrepareForDrawing(settings_, printer_);
    preview_ = std::make_unique<TPrintPreview>(printer_, measurer_);
    EXPECT_TRUE(RecordSheet(settings_, *preview_).Drawn);
  }
  const TMetafileEx& Page() const { return *preview_->GetPage(0); }
  const TPrinterInfo& Info() const { return settings_.PrinterInfo; }

 private:
  TVirtualPrinter printer_;
  TQtTextMeasurer measurer_;
  TPrintSetting settings_;
  std::unique_ptr<TPrintPreview> preview_;
};

const std::vector<std::string> kDots40 = {"Tate=40", "Yoko=40"};
const std::vector<std::string> kSquareDots = {"LineType=3"};
const std::vector<std::string> kMixedSheet = {"CenterCaption=「原稿」、用紙。ー",
                                              "BottomCaption=下部AB12",
                                              "TitleUL=横書き見出し",
                                              "TitleLU=左上の縦書き",
                                              "TitleRU=右上",
                                              "TitleRUFont=ＭＳ 明朝,12,bold",
                                              "LineType=2",
                                              "LineWidth=0.5",
                                              "OuterLineWidth=1"};

QByteArray Exported(TExportFormat format, const TRecordedSheet& sheet) {
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QString error;
  const bool ok = format == TExportFormat::Svg
                      ? ExportSvg(sheet.Page(), sheet.Info(), out, {}, &error)
                      : ExportPdf(sheet.Page(), sheet.Info(), out, {}, &error);
  EXPECT_TRUE(ok) << error.toStdString();
  return out.data();
}

struct TSizeCase {
  const char* Name;
  TExportFormat Format;
  std::vector<std::string> Sets;
  int MaxBytes;
};

class ExportSize : public ::testing::TestWithParam<TSizeCase> {};

// Rows of equal dots go out as dashed strokes, strokes of one pen as one path.
TEST_P(ExportSize, StaysWithinItsBudget) {
  const TRecordedSheet sheet(GetParam().Sets);
  const QByteArray bytes = Exported(GetParam().Format, sheet);
  EXPECT_GT(bytes.size(), 1000);
  EXPECT_LE(bytes.size(), GetParam().MaxBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, ExportSize,
    ::testing::Values(TSizeCase{"DefaultSheetSvg", TExportFormat::Svg, {}, 150 * 1000},
                      TSizeCase{"Dots40Svg", TExportFormat::Svg, kDots40, 300 * 1000},
                      TSizeCase{"DefaultSheetPdf", TExportFormat::Pdf, {}, 20 * 1000},
                      TSizeCase{"Dots40Pdf", TExportFormat::Pdf, kDots40, 40 * 1000},
                      TSizeCase{"SquareDotsSvg", TExportFormat::Svg, kSquareDots, 150 * 1000},
                      TSizeCase{"SquareDotsPdf", TExportFormat::Pdf, kSquareDots, 20 * 1000}),
    [](const auto& info) { return std::string(info.param.Name); });

bool Ink(const QImage& image, int x, int y, int below) { return qGray(image.pixel(x, y)) < below; }

// How many pixels of strong ink in `a` (three quarters black) have no trace of ink in
// `b` (a quarter black) within one pixel: the room antialiasing takes.
int InkMissingFrom(const QImage& a, const QImage& b) {
  const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
  int missing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!Ink(a, x, y, 64)) continue;
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx)
          found =
              x + dx >= 0 && y + dy >= 0 && x + dx < w && y + dy < h && Ink(b, x + dx, y + dy, 192);
      missing += !found;
    }
  return missing;
}

// The ink of the whole image: how much darker than white it is, in pixels of black.
double InkTotal(const QImage& image) {
  double total = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) total += 255 - qGray(image.pixel(x, y));
  return total / 255;
}

// The picture of a vector export is the PNG's apart from antialiasing: every ink pixel
// of one lies within a pixel of ink in the other, and both have as much ink within 15 %
// (renderers antialias dots a pixel or two across differently).
void ExpectSamePicture(const QImage& png, const QImage& vector) {
  ASSERT_FALSE(vector.isNull());
  EXPECT_LE(std::abs(png.width() - vector.width()), 1);
  EXPECT_LE(std::abs(png.height() - vector.height()), 1);
  EXPECT_EQ(InkMissingFrom(png, vector), 0);
  EXPECT_EQ(InkMissingFrom(vector, png), 0);
  const double pngInk = InkTotal(png), vectorInk = InkTotal(vector);
  EXPECT_GT(pngInk, 1000);
  EXPECT_NEAR(vectorInk, pngInk, pngInk * 0.15);
}

QImage RasterOfSvg(const QByteArray& svg, QSize size) {
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) return QImage();
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(QPointF(0, 0), size));
  return image;
}

// pdftoppm's raster of the PDF at `dpi`, or a null image when poppler is not there.
QImage RasterOfPdf(const QByteArray& pdf, int dpi) {
  const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  QTemporaryDir dir;
  if (pdftoppm.isEmpty() || !dir.isValid()) return QImage();
  QFile file(dir.filePath(QStringLiteral("page.pdf")));
  if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) return QImage();
  file.close();
  QProcess proc;
  proc.start(pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                        QStringLiteral("-singlefile"), file.fileName(),
                        dir.filePath(QStringLiteral("page"))});
  if (!proc.waitForFinished(60000) || proc.exitCode() != 0) return QImage();
  return QImage(dir.filePath(QStringLiteral("page.png"))).convertToFormat(QImage::Format_RGB32);
}

struct TPictureCase {
  const char* Name;
  std::vector<std::string> Sets;
};

class VectorPicture : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(VectorPicture, SvgLooksLikeThePng) {
  const TRecordedSheet sheet(GetParam().Sets);
  const QImage png = RenderPaperImage(sheet.Page(), sheet.Info(), kDefaultPngDpi);
  ExpectSamePicture(png, RasterOfSvg(Exported(TExportFormat::Svg, sheet), png.size()));
}

TEST_P(VectorPicture, PdfLooksLikeThePng) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
    GTEST_SKIP() << "pdftoppm is not installed";
  const TRecordedSheet sheet(GetParam().Sets);
  const QImage png = RenderPaperImage(sheet.Page(), sheet.Info(), kDefaultPngDpi);
  ExpectSamePicture(png, RasterOfPdf(Exported(TExportFormat::Pdf, sheet), kDefaultPngDpi));
}

INSTANTIATE_TEST_SUITE_P(Sheets, VectorPicture,
                         ::testing::Values(TPictureCase{"DefaultSheet", {}},
                                           TPictureCase{"SquareDots", kSquareDots},
                                           TPictureCase{"TextsFoldAndThickLines", kMixedSheet}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace zelk

namespace zelk {
namespace {

// The pixels of `image` of about `colour` (its tints toward white included, where the
// shapes' edges are antialiased), and those of no colour but grey or black ink.
struct TColourCount {
  int Near = 0;
  int Neutral = 0;
};
TColourCount CountColour(const QImage& image, QColor colour) {
  TColourCount count;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c(image.pixel(x, y));
      if (c == Qt::white) continue;
      const int spread =
          std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
      if (spread < 8 && c.lightness() < 200) ++count.Neutral;
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <
          40)
        ++count.Near;
    }
  }
  return count;
}

// A coloured sheet keeps its colours in every export, as vector colours in SVG and PDF:
// each of the three colours has its shapes, and nothing is drawn black.
TEST(Export, ColouredSheetKeepsItsColours) {
  const TRecordedSheet sheet({"LineColor=brown", "FrameColor=vermilion", "FoldColor=green",
                              "Orime=2", "Gyobi=1", "OuterLine=1", "LineType=2", "OrimeLineType=2",
                              "PageNumber=0"});
  const QColor brown(0x8C, 0x5A, 0x3C), vermilion(0xE3, 0x45, 0x2C), green(0x2E, 0x7D, 0x4F);
  const QByteArray svg = Exported(TExportFormat::Svg, sheet);
  for (const char* hex : {"#8c5a3c", "#e3452c", "#2e7d4f"})
    EXPECT_TRUE(svg.toLower().contains(hex)) << hex;
  const QImage png = RenderPaperImage(sheet.Page(), sheet.Info(), kDefaultPngDpi);
  std::vector<std::pair<const char*, QImage>> images = {{"png", png},
                                                        {"svg", RasterOfSvg(svg, png.size())}};
  if (!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
    images.emplace_back("pdf", RasterOfPdf(Exported(TExportFormat::Pdf, sheet), kDefaultPngDpi));
  for (const auto& [name, image] : images) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(CountColour(image, brown).Near, 1000);
    EXPECT_GT(CountColour(image, vermilion).Near, 500);
    EXPECT_GT(CountColour(image, green).Near, 100);
    EXPECT_EQ(CountColour(image, brown).Neutral, 0);
  }
}

}  // namespace
}  // namespace zelk
