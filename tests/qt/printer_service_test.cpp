// SPDX-License-Identifier: GPL-3.0-or-later
// The process's printer service: the virtual printer "PDF" in the list, its jobs, and the
// orientation it hands to every later query.

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "preview/PrinterQuery.h"
#include "preview/qt/PrinterService.h"

namespace zelk {
namespace {

// The MediaBox of the first page, in points.
QSizeF MediaBox(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = f.readAll();
  const QRegularExpression re(QStringLiteral("/MediaBox \\[\\s*0 0 ([0-9.]+) ([0-9.]+)"));
  const auto m = re.match(QString::fromLatin1(data));
  if (!m.hasMatch()) return {};
  return {m.captured(1).toDouble(), m.captured(2).toDouble()};
}

class PrinterServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service.SelectPrinter(QStringLiteral("PDF"))); }
  TPrinterService service;
  QTemporaryDir dir;
};

TEST_F(PrinterServiceTest, VirtualPrinterAlwaysStandsLastInTheList) {
  const auto names = service.Printers();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), u"PDF ファイル");
  EXPECT_TRUE(service.IsVirtual());
  EXPECT_EQ(service.PrinterName(), u"PDF ファイル");
  EXPECT_EQ(service.PaperName(), QStringLiteral("A4"));
  EXPECT_FALSE(service.SetPrinterIndex(static_cast<int>(names.size())));
  EXPECT_FALSE(service.SelectPrinter(QStringLiteral("no such queue")));
  EXPECT_TRUE(service.IsVirtual()) << "a failed selection keeps the printer";
}

TEST_F(PrinterServiceTest, OrientationTurnsEveryLaterQuery) {
  ASSERT_TRUE(service.Virtual().SetResolution(600, 300));
  service.SetOrientation(TPrinterOrientation::poLandscape);
  TPrinterInfo info;
  GetPrinterInfo(info, service);
  EXPECT_EQ(info.LogPixelsX, 300);
  EXPECT_EQ(info.LogPixelsY, 600);
  EXPECT_EQ(info.PhysicalWidth, 3508);
  EXPECT_EQ(info.PhysicalHeight, 4960);
  service.SetOrientation(TPrinterOrientation::poPortrait);
  GetPrinterInfo(info, service);
  EXPECT_EQ(info.PhysicalWidth, 4960);
}

TEST_F(PrinterServiceTest, JobWithoutOutputFileDoesNotBegin) {
  QString error;
  EXPECT_FALSE(service.BeginDoc(&error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(service.Printing());
  EXPECT_EQ(service.Painter(), nullptr);
}

TEST_F(PrinterServiceTest, JobWritesOnePdfPageAtThePapersSize) {
  const QString path = dir.filePath(QStringLiteral("out.pdf"));
  service.SetOutputFile(path);
  service.SetTitle(QStringLiteral("印刷プレビュー"));
  ASSERT_TRUE(service.BeginDoc());
  ASSERT_NE(service.Painter(), nullptr);
  service.Painter()->drawRect(100, 100, 1000, 1000);
  EXPECT_FALSE(service.BeginDoc()) << "a running job cannot begin again";
  ASSERT_TRUE(service.EndDoc());
  EXPECT_FALSE(service.Printing());
  // 4960 x 7016 pixels at 600 dpi is 595.2 x 841.92 pt.
  const QSizeF box = MediaBox(path);
  EXPECT_NEAR(box.width(), 595.2, 0.5);
  EXPECT_NEAR(box.height(), 841.92, 0.5);
}

TEST_F(PrinterServiceTest, LandscapeJobTurnsThePage) {
  const QString path = dir.filePath(QStringLiteral("landscape.pdf"));
  service.SetOutputFile(path);
  service.SetOrientation(TPrinterOrientation::poLandscape);
  ASSERT_TRUE(service.BeginDoc());
  ASSERT_TRUE(service.EndDoc());
  const QSizeF box = MediaBox(path);
  EXPECT_GT(box.width(), box.height());
}

TEST_F(PrinterServiceTest, AbortLeavesNoFileBehind) {
  const QString path = dir.filePath(QStringLiteral("aborted.pdf"));
  service.SetOutputFile(path);
  ASSERT_TRUE(service.BeginDoc());
  service.Abort();
  EXPECT_FALSE(service.Printing());
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(service.EndDoc()) << "an aborted job is already ended";
}

TEST_F(PrinterServiceTest, UnwritableOutputIsReported) {
  service.SetOutputFile(dir.filePath(QStringLiteral("no/such/folder/out.pdf")));
  QString error;
  EXPECT_FALSE(service.BeginDoc(&error));
  EXPECT_TRUE(error.contains(QStringLiteral("no/such/folder")));
  EXPECT_FALSE(service.Printing());
}

}  // namespace
}  // namespace zelk
