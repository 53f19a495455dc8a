// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows started as the program starts them, on a desktop whose window
// manager frames them: where they come back after a restart, what a hostile state file
// does to them, what a reopened file shows, the About box and its help page.

#include <sys/resource.h>

#include <QDataStream>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <memory>

#include "ModalDialogs.h"
#include "app/ABOUT.h"
#include "app/VisualStyle.h"
#include "preview/qt/PrinterService.h"
#include "settings/PrintSetting.h"
#include "settings/SettingsFileIO.h"
#include "ui/DocumentCommands.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"
#include "ui/WindowPlacement.h"

using namespace zelk;

namespace {

// One start of the program's windows over the files in `dir`, as the program starts them.
struct TStart {
  TPrinterService printer;
  std::unique_ptr<TPreviewForm> preview;
  std::unique_ptr<TMainForm> form;
  std::unique_ptr<TDocumentCommands> doc;

  explicit TStart(const QTemporaryDir& dir) {
    printer.SelectPrinter(QStringLiteral("PDF"));
    preview = std::make_unique<TPreviewForm>(printer);
    form = std::make_unique<TMainForm>(printer);
    form->SetPreviewForm(preview.get());
    TAppFiles files;
    files.SettingFileName = dir.filePath(QStringLiteral("zelk.zelk")).toStdString();
    files.StateFileName = dir.filePath(QStringLiteral("zelk.dat")).toStdString();
    doc = std::make_unique<TDocumentCommands>(*form, printer, files, SystemEnvironment());
    doc->PrinterSetup = [] {};
    doc->ShowMessage = [](const QString& m) { qWarning("message: %s", qPrintable(m)); };
    form->show();
    doc->FormShow();
  }
  // Framed: the window manager has put its frame around the window.
  static bool Framed(const QWidget& w) {
    return w.frameGeometry().height() > w.geometry().height();
  }
};

// A state file: the main window at (0, 0), tab 0, no settings file, the preview shown
// with `bounds` (left, top, right, bottom) and `windowState`.
QByteArray StateFile(qint32 left, qint32 top, qint32 right, qint32 bottom, qint32 windowState) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << qint32(1) << qint32(0) << qint32(2) << qint32(0) << qint32(3) << qint32(0);
  out << qint32(4) << qint32(0);
  out << qint32(0x106) << qint32(1) << qint32(0x105);
  out << qint32(0x30001) << left << top << right << bottom;
  out << qint32(0x30002) << qint32(5) << qint32(0x30008) << windowState << qint32(0);
  out << qint32(0);
  return bytes;
}

long PeakMemoryMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

QRect Available(const QWidget& w) {
  const QScreen* s = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
  return s->availableGeometry();
}

}  // namespace

class DesktopWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    // A dialog the test waited for never came up.
    QCOMPARE(zelk::test::TModalAnswer::DropPending(), 0);
  }

  void initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(SelectVisualStyle(*qApp, kVisualStyleName));
  }

  void movedWindowComesBackToTheSamePlaceStartAfterStart() {
    QTemporaryDir dir;
    const QPoint corner(300, 200);
    {
      TStart first(dir);
      QTRY_VERIFY(TStart::Framed(*first.form));
      MoveFrameTo(*first.form, corner);
      QTRY_COMPARE(FramePosition(*first.form), corner);
      QVERIFY(first.doc->WriteStateFile());
    }
    for (int start = 2; start <= 4; ++start) {
      TStart again(dir);
      QTRY_VERIFY(TStart::Framed(*again.form));
      // The frame, with its title bar, is where it was; so is the window inside it.
      QTRY_COMPARE(FramePosition(*again.form), corner);
      QVERIFY(again.form->geometry().top() > corner.y());
      QVERIFY(again.doc->WriteStateFile());
    }
  }

  void previewFrameStartsAtTheScreenCorner() {
    TPrinterService printer;
    TPreviewForm preview(printer);
    preview.show();
    QTRY_VERIFY(TStart::Framed(preview));
    QTRY_COMPARE(FramePosition(preview), Available(preview).topLeft());
  }

  void hostileStateFileOpensWithTheWindowsOnScreen_data() {
    QTest::addColumn<QByteArray>("state");
    QTest::newRow("preview of 100000 x 100000") << StateFile(0, 0, 100000, 100000, 0);
    QTest::newRow("preview of INT_MAX, maximised") << StateFile(0, 0, INT_MAX, INT_MAX, 2);
    QTest::newRow("preview far off every screen")
        << StateFile(-2000000000, 2000000000, -1999999000, 2000000700, 0);
  }

  void hostileStateFileOpensWithTheWindowsOnScreen() {
    QFETCH(QByteArray, state);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("zelk.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(state) == state.size());
    file.close();
    TStart start(dir);
    QTRY_VERIFY(start.preview->isVisible());
    QTRY_VERIFY(TStart::Framed(*start.preview));
    QVERIFY2(PeakMemoryMb() < 300, qPrintable(QString::number(PeakMemoryMb())));
    // The window manager frames a window before it has done placing (or maximising)
    // it: each window is awaited until it rests on the screen, as the program left it.
    for (const QWidget* w :
         {static_cast<QWidget*>(start.form.get()), static_cast<QWidget*>(start.preview.get())}) {
      const QRect area = Available(*w);
      const auto normal = [w] { return w->isMaximized() ? w->normalGeometry() : w->geometry(); };
      QTRY_VERIFY2(normal().width() <= area.width() && normal().height() <= area.height(),
                   qPrintable(w->objectName()));
      QTRY_VERIFY2(area.contains(FramePosition(*w)), qPrintable(w->objectName()));
    }
  }

  void reopenedOneLineFoldHidesTheWidthField() {
    QTemporaryDir dir;
    TPrintSetting oneLine;
    oneLine.Orime = 1;  // 1行分, the window's designed choice: loading it raises no click
    std::string error;
    QVERIFY(
        SaveSettingsFile(dir.filePath(QStringLiteral("zelk.zelk")).toStdString(), oneLine, &error));
    TStart start(dir);
    QCOMPARE(start.form->ItemIndex(TControl::RG_Orime), 1);
    auto* field = start.form->findChild<QWidget*>(QStringLiteral("NE_OrimeW"));
    QVERIFY(field);
    QVERIFY(!field->isVisibleTo(start.form.get()));
    // Opened again over a window that shows the field, the file hides it too.
    field->show();
    QVERIFY(start.doc->OpenSettingFile());
    QVERIFY(!field->isVisibleTo(start.form.get()));
  }

  void aboutBoxCancelCannotBeSeenAndEscCloses() {
    TAboutBox box(nullptr, QStringLiteral("1.0.0.0"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* cancel = box.findChild<QPushButton*>(QStringLiteral("B_Cancel"));
    QVERIFY(cancel);
    const QImage with = box.grab().toImage();
    cancel->hide();
    const QImage without = box.grab().toImage();
    cancel->show();
    QVERIFY2(with == without, "the cancel button shows through the panel");
    zelk::test::WhenReady(&box, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QCOMPARE(box.exec(), int(QDialog::Rejected));
  }

  void helpButtonOpensTheHelpPage() {
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("zelk.html"));
    QFile f(page);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("<html lang=\"ja\"></html>") > 0);
    f.close();
    // The desktop's opener is an xdg-open of the test's own, which notes what it was given.
    QFile opener(dir.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(
        "#!/bin/sh\nprintf %s \"$1\" >\"${0%/*}/given.part\"; mv \"${0%/*}/given.part\" "
        "\"${0%/*}/given\"\n");
    opener.close();
    QVERIFY(opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ":" + path);
    // The box's own opener, kept hold of so that the test ends only once it has.
    QPointer<QProcess> running;
    TAboutBox box(nullptr, QStringLiteral("1.0.0.0"), page,
                  [&running](const QString& p, TOpenFailed failed) {
                    running = OpenWithDesktop(p, std::move(failed));
                  });
    box.show();
    box.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    qputenv("PATH", path);
    QVERIFY(running);
    const QString given = dir.filePath(QStringLiteral("given"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(given), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(running.isNull(), 60000);
    QFile record(given);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(QFile::decodeName(record.readAll()), page);
    QVERIFY(box.isVisible());
  }
};

QTEST_MAIN(DesktopWindowsTest)
#include "desktop_windows_test.moc"
