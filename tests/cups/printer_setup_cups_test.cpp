// The printer-setup dialog and the printer service on real CUPS queues: the test's own
// scheduler with an A4, a JIS B4 and a Letter queue (fixtures/with_private_cups.sh).

#include <QComboBox>
#include <QTest>

#include "preview/qt/PrinterService.h"
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
};

QTEST_MAIN(PrinterSetupCupsTest)
#include "printer_setup_cups_test.moc"
