// The printer-setup dialog, the printer service and printing on real CUPS queues: the
// test's own scheduler with an A4, a JIS B4 and a Letter queue
// (fixtures/with_private_cups.sh).

#include <QComboBox>
#include <QProcess>
#include <QTest>

#include "preview/PrintPreview.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/Printing.h"
#include "preview/qt/QtTextMeasurer.h"
#include "ui/PrinterSetupDialog.h"

using namespace zelk;

class PrinterSetupCupsTest : public QObject {
  Q_OBJECT

 private slots:
  // A queue starts on its own default paper, in the service and in the dialog.
  void aQueueStartsOnItsOwnPaper_data() {
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("paper");
    QTest::newRow("A4 queue") << "ZelkA4"
                              << "A4";
    QTest::newRow("JIS B4 queue") << "ZelkB4"
                                  << "B4 (JIS)";
    QTest::newRow("Letter queue") << "ZelkLetter"
                                  << "US Letter";
  }
  void aQueueStartsOnItsOwnPaper() {
    QFETCH(QString, queue);
    QFETCH(QString, paper);
    TPrinterService printer;
    QVERIFY(printer.SelectPrinter(QStringLiteral("PDF")));
    TPrinterSetupDialog dialog(printer);
    const int index = dialog.PrinterBox()->findText(queue);
    QVERIFY(index >= 0);
    dialog.PrinterBox()->setCurrentIndex(index);
    QCOMPARE(dialog.PaperText(), paper);
    QVERIFY(printer.SelectPrinter(queue));
    QCOMPARE(printer.PaperName(), paper);
  }

  // The dialog offers the queue's media by the names CUPS gives them; JIS and ISO B4
  // stay apart.
  void theQueueOffersItsMediaWithJisAndIsoApart() {
    TPrinterService printer;
    TPrinterSetupDialog dialog(printer);
    const int index = dialog.PrinterBox()->findText(QStringLiteral("ZelkB4"));
    QVERIFY(index >= 0);
    const QStringList papers = dialog.PapersOf(index);
    QVERIFY(papers.contains(QStringLiteral("B4 (JIS)")));
    QVERIFY(papers.contains(QStringLiteral("B4 (ISO)")));
    QVERIFY(papers.contains(QStringLiteral("A4")));
  }

  // What CUPS says of the queue reaches the print result: the reason of a queue that
  // takes no jobs, and the wait of a paused one. The recorded page stays either way.
  // Each row has a queue of its own, so that no job of another row can still be busy
  // on it and change what the queue says.
  void printingReportsWhatCupsSays_data() {
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QStringList>("before");  // a CUPS command on the queue first
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("said");  // in the error or the warning
    QTest::newRow("accepting") << "ZelkA4" << QStringList() << int(TPrintOutcome::Printed)
                               << QString();
    QTest::newRow("not accepting")
        << "ZelkB4" << QStringList{"cupsreject", "-r", "用紙切れ"}
        << int(TPrintOutcome::BeginFailed)
        << QStringLiteral("ZelkB4 はジョブを受け付けていません: 用紙切れ");
    QTest::newRow("paused") << "ZelkLetter" << QStringList{"cupsdisable"}
                            << int(TPrintOutcome::Printed)
                            << QStringLiteral("ZelkLetter は一時停止中です");
  }
  void printingReportsWhatCupsSays() {
    QFETCH(QString, queue);
    QFETCH(QStringList, before);
    QFETCH(int, outcome);
    QFETCH(QString, said);
    if (!before.isEmpty()) {
      const QString program = before.takeFirst();
      QCOMPARE(QProcess::execute(program, before << queue), 0);
    }
    TPrinterService printer;
    QVERIFY(printer.SelectPrinter(queue));
    const TQtTextMeasurer measurer;
    TPrintPreview pages(printer, measurer);
    pages.BeginDoc();
    pages.GetCanvas().Rectangle(100, 100, 2000, 3000);
    pages.EndDoc();
    const TPrintResult result = PrintPages(pages, printer);
    QCOMPARE(int(result.Outcome), outcome);
    QCOMPARE(pages.GetPageCount(), 1);
    const QString text = result.Error + result.Warning;
    if (said.isEmpty())
      QVERIFY2(text.isEmpty(), qPrintable(text));
    else
      QVERIFY2(text.contains(said), qPrintable(text));
  }
};

QTEST_MAIN(PrinterSetupCupsTest)
#include "printer_setup_cups_test.moc"
