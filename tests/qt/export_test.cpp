// PDF, SVG and PNG output: the page at the printer's paper size, the recorded page at
// its printable-area offset, and failures reported without a half-written file.

#include "preview/qt/Export.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "preview/PrintPreview.h"
#include "preview/PrinterInfo.h"
#include "preview/SheetRecording.h"
#include "preview/VirtualPrinter.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/FormTransfer.h"
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

// The SVG engine writes text items by their characters, which a run of shaped glyphs
// does not carry: vertical text goes in as glyph outlines, horizontal text as text.
TEST(Export, SvgKeepsVerticalTextAsOutlines) {
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
  QString texts;  // the horizontal one, as text (Qt may split it into several elements)
  for (const auto& m : QRegularExpression(QStringLiteral(">([^<]*)</text>")).globalMatch(svg))
    texts += m.captured(1);
  EXPECT_EQ(texts, QStringLiteral("縦書き"));
  EXPECT_GE(svg.count(QStringLiteral("<path")), 1);  // the vertical one, as outlines
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

// The default sheet's PDF stays small: every dot is one zero-length segment.
TEST(Export, DefaultSheetPdfIsCompact) {
  TVirtualPrinter v;
  TPrintSetting s = FirstStartSettings(v, u"A4");
  PrepareForDrawing(s, v);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(v, measurer);
  ASSERT_TRUE(RecordSheet(s, preview).Drawn);
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  ASSERT_TRUE(ExportPdf(*preview.GetPage(0), s.PrinterInfo, out));
  EXPECT_GT(out.data().size(), 1000);
  EXPECT_LT(out.data().size(), 60 * 1024);
}

}  // namespace
}  // namespace zelk
