// SPDX-License-Identifier: GPL-3.0-or-later
// The printer-setup dialog, the printer service and printing on real CUPS queues: the
// test's own scheduler with an A4, a JIS B4 and a Letter queue
// (fixtures/with_private_cups.sh).

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <stdexcept>

#include "ModalDialogs.h"
#include "preview/PrintPreview.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/Printing.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/AppFiles.h"
#include "settings/PrintSetting.h"
#include "settings/SettingControls.h"
#include "settings/SettingsFileIO.h"
#include "ui/DocumentCommands.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"
#include "ui/PrinterSetupDialog.h"

using namespace zelk;

namespace {

// The jobs the scheduler has for `queue`, done or not.
int JobCount(const QString& queue) {
  QProcess lpstat;
  lpstat.start(QStringLiteral("lpstat"),
               {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue});
  if (!lpstat.waitForFinished(30000)) return -1;
  return int(lpstat.readAllStandardOutput().count('\n'));
}

// Adds a queue with the driver of the scheduler's others, printing into nothing.
bool AddQueue(const QString& name) {
  return QProcess::execute(QStringLiteral("lpadmin"),
                           {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                            QStringLiteral("file:///dev/null"), QStringLiteral("-P"),
                            QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")}) == 0;
}
bool DeleteQueue(const QString& name) {
  return QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}) == 0;
}
int AllJobs() {
  return JobCount(QStringLiteral("ZelkA4")) + JobCount(QStringLiteral("ZelkB4")) +
         JobCount(QStringLiteral("ZelkLetter"));
}

// One start of the window in `dir`, on a printer service of its own (the scheduler's
// default queue until the start restores another), shown as FormShow shows it.
struct TStart {
  TPrinterService printer;
  TMainForm form{printer, nullptr, 1.0};
  TDocumentCommands doc;
  QStringList messages;
  explicit TStart(const QTemporaryDir& dir) : doc(form, printer, Files(dir), SystemEnvironment()) {
    doc.PrinterSetup = [] {};
    doc.ShowMessage = [this](const QString& m) { messages << m; };
    doc.FormShow();
  }
  static TAppFiles Files(const QTemporaryDir& dir) {
    TAppFiles files;
    files.SettingFileName = dir.filePath(QStringLiteral("zelk.zelk")).toStdString();
    files.StateFileName = dir.filePath(QStringLiteral("zelk.dat")).toStdString();
    return files;
  }
};

}  // namespace

class PrinterSetupCupsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QCOMPARE(zelk::test::TModalAnswer::DropPending(), 0); }

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

  // A design opened on a queue takes its paper there when the queue has it; when not,
  // the window says so beside the printer's name, and printing asks before it prints
  // on the queue's paper (No sends nothing).
  void anOpenedDesignsPaperIsSelectedOnTheQueueOrWarned_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("paper");   // the queue's paper afterwards
    QTest::addColumn<QString>("warned");  // in the warning; empty for none
    QTest::newRow("JIS B4 landscape on the A4 queue")
        << 364.0 << 257.0 << QStringLiteral("B4 (JIS)") << QString();
    QTest::newRow("100 x 100 mm, which no queue has")
        << 100.0 << 100.0 << QStringLiteral("A4") << QStringLiteral("100 × 100 mm");
  }
  void anOpenedDesignsPaperIsSelectedOnTheQueueOrWarned() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, paper);
    QFETCH(QString, warned);
    QTemporaryDir dir;
    TPrinterService printer;
    QVERIFY(printer.SelectPrinter(QStringLiteral("ZelkA4")));
    TMainForm form(printer, nullptr, 1.0);
    TPreviewForm preview(printer, nullptr, 1.0);
    form.SetPreviewForm(&preview);
    TAppFiles files;
    files.SettingFileName = dir.filePath(QStringLiteral("zelk.zelk")).toStdString();
    files.StateFileName = dir.filePath(QStringLiteral("zelk.dat")).toStdString();
    TDocumentCommands doc(form, printer, files, SystemEnvironment());
    doc.PrinterSetup = [] {};
    QStringList messages, questions;
    doc.ShowMessage = [&messages](const QString& m) { messages << m; };
    doc.AskYesNo = [&questions](const QString& q) {
      questions << q;
      return false;
    };
    doc.FormShow();
    TPrintSetting design = *form.CurrentSetting;
    design.PaperName = u"";
    design.PaperWidth = width;
    design.PaperHeight = height;
    design.Portrait = width < height;
    const QString path = dir.filePath(QStringLiteral("design.zelk"));
    std::string error;
    QVERIFY2(SaveSettingsFile(path.toStdString(), design, &error), error.c_str());
    doc.OpenPath(path);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    QCOMPARE(printer.PaperName(), paper);
    QCOMPARE(form.PaperMismatch(), !warned.isEmpty());
    if (warned.isEmpty()) {
      QVERIFY2(form.PrinterWarning().isEmpty(), qPrintable(form.PrinterWarning()));
      return;
    }
    QVERIFY2(form.PrinterWarning().contains(warned) &&
                 form.PrinterWarning().contains(QStringLiteral("ZelkA4")),
             qPrintable(form.PrinterWarning()));
    const int jobs = JobCount(QStringLiteral("ZelkA4"));
    doc.SB_PrintClick();
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].contains(warned));
    QCOMPARE(JobCount(QStringLiteral("ZelkA4")), jobs);
  }

  // The printer chosen (queue, paper, orientation) comes back at the next start, and the
  // sheet shown is its paper; once the queue is deleted, the next start says which
  // printer it used before and which it uses now.
  void thePrinterChosenComesBackAndAGoneOneIsNamed() {
    QVERIFY(AddQueue(QStringLiteral("ZelkGone")));
    QTemporaryDir dir;
    {
      TStart first(dir);
      QVERIFY(first.printer.SelectPrinter(QStringLiteral("ZelkGone")));
      QVERIFY(first.printer.SelectQueuePaper(QStringLiteral("B4"), 257, 364));
      first.printer.SetOrientation(TPrinterOrientation::poLandscape);
      first.doc.FormClose();
      QVERIFY2(first.messages.isEmpty(), qPrintable(first.messages.join('\n')));
    }
    {
      TStart second(dir);
      QCOMPARE(QString::fromStdU16String(second.printer.PrinterName()), QStringLiteral("ZelkGone"));
      QCOMPARE(second.printer.PaperName(), QStringLiteral("B4 (JIS)"));
      QCOMPARE(second.printer.Orientation(), TPrinterOrientation::poLandscape);
      QCOMPARE(second.form.EditText(TControl::E_PaperName), std::u16string(u"B4 (JIS)"));
      QVERIFY(std::abs(second.form.CurrentSetting->PaperWidth - 364) < 1);
      QVERIFY(second.form.PrinterWarning().isEmpty());
    }
    QVERIFY(DeleteQueue(QStringLiteral("ZelkGone")));
    TStart third(dir);
    QCOMPARE(QString::fromStdU16String(third.printer.PrinterName()), QStringLiteral("ZelkLetter"));
    QVERIFY2(third.form.PrinterWarning().contains(QStringLiteral("ZelkGone")) &&
                 third.form.PrinterWarning().contains(QStringLiteral("ZelkLetter")),
             qPrintable(third.form.PrinterWarning()));
  }

  // Queues added or deleted while the program runs: the printer-setup dialog lists the
  // queues of the moment it opens; printing on a queue deleted meanwhile sends nothing,
  // says so and shows the printer taken instead, and so does the dialog.
  void queuesAddedOrDeletedWhileRunningAreSeen() {
    QTemporaryDir dir;
    TStart start(dir);
    QVERIFY(AddQueue(QStringLiteral("ZelkLate")));
    QStringList listed;
    zelk::test::WhenModal([&listed](QWidget* w) {
      auto* dialog = qobject_cast<TPrinterSetupDialog*>(w);
      if (!dialog) return zelk::test::CloseDialog(w);
      for (int i = 0; i < dialog->PrinterBox()->count(); ++i)
        listed << dialog->PrinterBox()->itemText(i);
      dialog->PrinterBox()->setCurrentIndex(listed.indexOf(QStringLiteral("ZelkLate")));
      dialog->accept();
    });
    start.form.SB_PrinerSetupClick();
    QVERIFY2(listed.contains(QStringLiteral("ZelkLate")), qPrintable(listed.join(' ')));
    QCOMPARE(QString::fromStdU16String(start.printer.PrinterName()), QStringLiteral("ZelkLate"));

    QVERIFY(DeleteQueue(QStringLiteral("ZelkLate")));
    const int jobs = AllJobs();
    start.doc.SB_PrintClick();
    QCOMPARE(start.messages.size(), 1);
    QVERIFY2(start.messages[0].contains(QStringLiteral("ZelkLate")) &&
                 start.messages[0].contains(QStringLiteral("ZelkLetter")),
             qPrintable(start.messages[0]));
    QCOMPARE(QString::fromStdU16String(start.printer.PrinterName()), QStringLiteral("ZelkLetter"));
    QVERIFY(start.form.ShownPrinterCaption().contains(QStringLiteral("ZelkLetter")));
    QCOMPARE(AllJobs(), jobs);

    // The dialog opened after a deletion opens on the printer taken, and says why.
    QVERIFY(AddQueue(QStringLiteral("ZelkLate")));
    QVERIFY(start.printer.RescanPrinters());
    QVERIFY(start.printer.SelectPrinter(QStringLiteral("ZelkLate")));
    QVERIFY(DeleteQueue(QStringLiteral("ZelkLate")));
    QString note, shown;
    zelk::test::WhenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<TPrinterSetupDialog*>(w);
      if (!dialog) return zelk::test::CloseDialog(w);
      note = dialog->GoneNote()->isVisible() ? dialog->GoneNote()->text() : QString();
      shown = dialog->PrinterBox()->currentText();
      dialog->reject();
    });
    start.form.SB_PrinerSetupClick();
    QVERIFY2(note.contains(QStringLiteral("ZelkLate")), qPrintable(note));
    QCOMPARE(shown, QStringLiteral("ZelkLetter"));
    QVERIFY(start.form.ShownPrinterCaption().contains(QStringLiteral("ZelkLetter")));
  }

  // A queue deleted while a long job is drawn stops the job within a few pages, with
  // the reason; nothing reaches the scheduler.
  void aQueueDeletedDuringAJobStopsIt() {
    QVERIFY(AddQueue(QStringLiteral("ZelkMidJob")));
    TPrinterService printer;
    QVERIFY(printer.SelectPrinter(QStringLiteral("ZelkMidJob")));
    const TQtTextMeasurer measurer;
    TPrintPreview pages(printer, measurer);
    pages.BeginDoc();
    pages.GetCanvas().Rectangle(100, 100, 2000, 3000);
    pages.EndDoc();
    const int jobs = AllJobs();
    const TPrintResult result = PrintPages(
        5000,
        [&](int i) -> const TMetafileEx& {
          if (i == 5 && !DeleteQueue(QStringLiteral("ZelkMidJob")))
            throw std::runtime_error("cannot delete the queue");
          return *pages.GetPage(0);
        },
        printer);
    QCOMPARE(result.Outcome, TPrintOutcome::EndFailed);
    QVERIFY2(result.Error.contains(QStringLiteral("ZelkMidJob")), qPrintable(result.Error));
    QVERIFY2(result.PagesDrawn < 5 + 2 * 16, qPrintable(QString::number(result.PagesDrawn)));
    QCOMPARE(AllJobs(), jobs);
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
