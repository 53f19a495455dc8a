// SPDX-License-Identifier: GPL-3.0-or-later
// PrintPages on the virtual printer: the job title, one printer page per recorded page,
// and a failing page that aborts the job without ending it.

#include "preview/qt/Printing.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <stdexcept>
#include <vector>

#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"

namespace zelk {
namespace {

QString PdfInfo(const QString& path) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {path});
  if (!p.waitForFinished(10000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(printer_.SelectPrinter(QStringLiteral("PDF")));
    printer_.SetOutputFile(dir_.filePath(QStringLiteral("out.pdf")));
  }
  // Records `count` pages, each with a frame and a line.
  void Record(int count) {
    preview_.BeginDoc();
    for (int i = 0; i < count; ++i) {
      if (i > 0) preview_.NewPage();
      TCanvas& c = preview_.GetCanvas();
      c.Rectangle(100, 100, 2000, 3000);
      c.MoveTo(100, 100);
      c.LineTo(2000, 3000);
    }
    preview_.EndDoc();
  }

  QTemporaryDir dir_;
  TPrinterService printer_;
  TQtTextMeasurer measurer_;
  TPrintPreview preview_{printer_, measurer_};
};

TEST_F(Printing, EachRecordedPageIsOnePrinterPageUnderTheJobTitle) {
  for (int pages : {1, 3}) {
    Record(pages);
    const TPrintResult r = PrintPages(preview_, printer_);
    ASSERT_EQ(r.Outcome, TPrintOutcome::Printed) << r.Error.toStdString();
    EXPECT_EQ(r.PagesDrawn, pages);
    const QString info = PdfInfo(printer_.OutputFile());
    EXPECT_TRUE(info.contains(QStringLiteral("Title:           印刷プレビュー")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))))
        << info.toStdString();
    EXPECT_FALSE(printer_.Printing());
  }
}

TEST_F(Printing, PagesAreReplayedAtNaturalSizeAtTheOrigin) {
  Record(1);
  QRectF seen;
  const TPrintResult r = PrintPages(preview_, printer_, [&](QPainter& p, const TMetafileEx& page) {
    seen = p.transform().mapRect(QRectF(0, 0, page.HorzRes, page.VertRes));
    DrawPageAtNaturalSize(p, page);
  });
  ASSERT_EQ(r.Outcome, TPrintOutcome::Printed);
  const TMetafileEx& page = *preview_.GetPage(0);
  // The painter maps device units with the printable area's top-left as origin: the
  // natural-size page starts at the printer's offsets (in the writer's units, scaled
  // from the printer's resolution).
  const double scale = seen.width() / page.HorzRes;
  EXPECT_GT(scale, 0);
  EXPECT_NEAR(seen.left(), printer_.GetDeviceCaps(TDeviceCap::PhysicalOffsetX) * scale, 1e-6);
  EXPECT_NEAR(seen.top(), printer_.GetDeviceCaps(TDeviceCap::PhysicalOffsetY) * scale, 1e-6);
}

TEST_F(Printing, FailingPageAbortsAtOnceAndKeepsThePages) {
  Record(3);
  int calls = 0;
  const TPrintResult r = PrintPages(preview_, printer_, [&](QPainter& p, const TMetafileEx& page) {
    if (++calls == 2) throw std::runtime_error("paper jam");
    DrawPageAtNaturalSize(p, page);
  });
  EXPECT_EQ(r.Outcome, TPrintOutcome::Aborted);
  EXPECT_EQ(r.Error, QStringLiteral("paper jam"));
  EXPECT_EQ(r.PagesDrawn, 1);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(printer_.Printing());
  // The aborted virtual job leaves no half document behind.
  EXPECT_FALSE(QFile::exists(printer_.OutputFile()));
  EXPECT_EQ(preview_.GetPageCount(), 3);
  // A second attempt prints the same pages.
  EXPECT_EQ(PrintPages(preview_, printer_).Outcome, TPrintOutcome::Printed);
  EXPECT_TRUE(PdfInfo(printer_.OutputFile()).contains(QRegularExpression("Pages:\\s+3\\n")));
}

TEST_F(Printing, NoRecordedPagesBeginsAndEndsAnEmptyJob) {
  const TPrintResult r = PrintPages(preview_, printer_);
  EXPECT_EQ(r.Outcome, TPrintOutcome::Printed);
  EXPECT_EQ(r.PagesDrawn, 0);
  EXPECT_FALSE(printer_.Printing());
}

TEST_F(Printing, JobThatCannotBeginReportsWhy) {
  Record(1);
  printer_.SetOutputFile(QString());
  TPrintResult r = PrintPages(preview_, printer_);
  EXPECT_EQ(r.Outcome, TPrintOutcome::BeginFailed);
  EXPECT_FALSE(r.Error.isEmpty());
  printer_.SetOutputFile(dir_.filePath(QStringLiteral("no/such/dir/out.pdf")));
  r = PrintPages(preview_, printer_);
  EXPECT_EQ(r.Outcome, TPrintOutcome::BeginFailed);
  EXPECT_TRUE(r.Error.contains(QStringLiteral("out.pdf")));
  EXPECT_EQ(printer_.Title(), kPrintJobTitle);
}

// A disk that fills up during the job (a limit on the size of files this process may
// write): the job fails with the reason, within a few pages of the failure for a long
// job and at its end for one that fits the write buffer, and the old file stays as it
// was with no temporary file beside it.
TEST_F(Printing, AFullDiskFailsTheJobAndKeepsTheOldFile) {
  Record(1);
  const QString out = printer_.OutputFile();
  {
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("the old PDF") == 11);
  }
  struct TCase {
    int Pages;
    rlim_t Limit;
  };
  for (const TCase c : {TCase{1, 256}, TCase{5000, 64 * 1024}}) {
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = c.Limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const TPrintResult r = PrintPages(
        c.Pages, [this](int) -> const TMetafileEx& { return *preview_.GetPage(0); }, printer_);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(r.Outcome, TPrintOutcome::EndFailed) << c.Pages;
    EXPECT_TRUE(r.Error.contains(QStringLiteral("書き込めません")) ||
                r.Error.contains(QStringLiteral("書き込みに失敗しました")))
        << r.Error.toStdString();
    if (c.Pages > 1) {
      EXPECT_LT(r.PagesDrawn, c.Pages / 4);
    }
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the old PDF"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
  }
}

}  // namespace
}  // namespace zelk

namespace zelk {
namespace {

// The print dialog's pages and copies, for a printer that makes no copies itself: the
// pages a job sends, in order, of a document of five pages.
TEST(JobPagesTest, RangeAndCopiesGiveThePagesInOrder) {
  struct {
    const char* Name;
    TJobPages Job;
    std::vector<int> Pages;  // from 1
  } const rows[] = {
      {"all, once", {}, {1, 2, 3, 4, 5}},
      {"pages 2 to 3", {2, 3, 1, true}, {2, 3}},
      {"pages 2 to 3 twice, collated", {2, 3, 2, true}, {2, 3, 2, 3}},
      {"pages 2 to 3 twice, not collated", {2, 3, 2, false}, {2, 2, 3, 3}},
      {"from 4 to the end", {4, 0, 1, true}, {4, 5}},
      {"a last page past the end", {4, 9, 1, true}, {4, 5}},
      {"a first page before the start", {-3, 1, 1, true}, {1}},
      {"a first page past the end is the last", {7, 0, 1, true}, {5}},
      {"no copies are one", {5, 5, 0, true}, {5}},
  };
  for (const auto& row : rows) {
    std::vector<int> pages;
    for (int i = 0; i < row.Job.Count(5); ++i) pages.push_back(row.Job.PageOf(i, 5) + 1);
    EXPECT_EQ(pages, row.Pages) << row.Name;
  }
}

}  // namespace
}  // namespace zelk
