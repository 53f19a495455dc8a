// SPDX-License-Identifier: GPL-3.0-or-later
// The About box, the hidden tray form and the visual style.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ModalDialogs.h"
#include "ZelkVersion.h"
#include "app/ABOUT.h"
#include "app/HideUnit.h"
#include "app/Translations.h"
#include "app/VisualStyle.h"

using namespace zelk;

namespace {

// Closes the next message box once it is up, remembering its text.
void AnswerNextMessageBox(QString* text) {
  zelk::test::WhenModal([text](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) *text = box->text();
    zelk::test::CloseDialog(w);
  });
}

// Presses Esc in the next modal dialog once it is up.
void EscapeNextDialog() {
  zelk::test::WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
}

}  // namespace

class ShellFormsTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() {
    // A dialog the test waited for never came up.
    QCOMPARE(zelk::test::TModalAnswer::DropPending(), 0);
  }

  void versionTextIsParsedAsFourNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("full") << "1.2.3.4"
                          << "Version 1.2.3  Build(4)";
    QTest::newRow("three") << "1.2.3"
                           << "Version 1.2.3  Build(-1)";
    QTest::newRow("stops at junk") << "1.x.3.4"
                                   << "Version 1.-1.-1  Build(-1)";
    QTest::newRow("empty") << ""
                           << "Version -1.-1.-1  Build(-1)";
    QTest::newRow("too large") << "1.99999999999.3.4"
                               << "Version 1.-1.-1  Build(-1)";
    QTest::newRow("trailing") << "0.1.0.57 beta"
                              << "Version 0.1.0  Build(57)";
  }
  void versionTextIsParsedAsFourNumbers() {
    QFETCH(QString, text);
    QFETCH(QString, label);
    QCOMPARE(VersionLabelText(ParseFileVersion(text)), label);
  }

  void builtVersionComesFromTheProjectVersion() {
    const TVerInfo v = ParseFileVersion(BuiltFileVersion());
    QCOMPARE(v.Major, ZELK_VERSION_MAJOR);
    QCOMPARE(v.Minor, ZELK_VERSION_MINOR);
    QCOMPARE(v.Release, ZELK_VERSION_PATCH);
    QCOMPARE(v.Build, ZELK_BUILD_NUMBER);
  }

  void aboutBoxShowsTheVersionOnShow() {
    TAboutBox box(nullptr, QStringLiteral("1.2.3.4"));
    QCOMPARE(box.windowTitle(), QStringLiteral("バージョン情報"));
    QCOMPARE(box.Version()->text(), QStringLiteral("バージョン番号"));
    box.show();
    QCOMPARE(box.Version()->text(), QStringLiteral("Version 1.2.3  Build(4)"));
  }

  void aboutBoxWithoutVersionRecordSaysSoThenShowsMinusOnes() {
    TAboutBox box(nullptr, std::nullopt);
    QString message;
    AnswerNextMessageBox(&message);
    box.show();
    QCOMPARE(message, QStringLiteral("GetFileVersionInfoSize == 0"));
    QCOMPARE(box.Version()->text(), QStringLiteral("Version -1.-1.-1  Build(-1)"));
  }

  void escapeClosesTheBoxAlthoughCancelIsHidden() {
    TAboutBox box(nullptr, QStringLiteral("1.0.0.0"));
    EscapeNextDialog();
    QCOMPARE(box.exec(), int(QDialog::Rejected));
    auto* ok = box.findChild<QPushButton*>(QStringLiteral("OKButton"));
    QVERIFY(ok && ok->isDefault());
  }

  void missingHelpFileGivesTheMessageAndTheBoxStays() {
    QTemporaryDir dir;
    const QString help = dir.filePath(QStringLiteral("zelk.html"));
    int opened = 0;
    TAboutBox box(nullptr, QStringLiteral("1.0.0.0"), help,
                  [&opened](const QString&, const TOpenFailed&) { ++opened; });
    box.show();
    QString message;
    AnswerNextMessageBox(&message);
    box.BitBtn1Click();
    QCOMPARE(message, help + QStringLiteral("\n\n が見つからないので開けません"));
    QCOMPARE(opened, 0);
    QVERIFY(box.isVisible());
    // Present, the file goes to the desktop's opener; when that fails the message says
    // what failed and where the page is, not that it is missing.
    QFile f(help);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    box.BitBtn1Click();
    QCOMPARE(opened, 1);
    TAboutBox refusing(nullptr, QStringLiteral("1.0.0.0"), help,
                       [](const QString&, const TOpenFailed& failed) { failed("理由"); });
    message.clear();
    AnswerNextMessageBox(&message);
    refusing.BitBtn1Click();
    QCOMPARE(message, HelpOpenFailedMessage(help, "理由"));
    QVERIFY(message.contains(help) && message.contains("理由"));
  }

  // The desktop's opener, xdg-open on PATH: missing, or ending with an error (no
  // browser), it says why; ending well, it says nothing and was given the page.
  void desktopOpenerSaysWhyItFailed_data() {
    QTest::addColumn<QByteArray>("script");  // the xdg-open on PATH, none when empty
    QTest::addColumn<QString>("why");        // a part of the reason; none when empty
    QTest::newRow("no xdg-open") << QByteArray() << QStringLiteral("xdg-open を起動できません");
    QTest::newRow("no browser")
        << QByteArray("echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3")
        << QStringLiteral("ブラウザー）を見つけられません（xdg-open: no method available");
    QTest::newRow("failed") << QByteArray("exit 4")
                            << QStringLiteral("xdg-open が開けませんでした");
    QTest::newRow("opened") << QByteArray("printf %s \"$1\" >\"${0%/*}/given\"") << QString();
  }
  void desktopOpenerSaysWhyItFailed() {
    QFETCH(QByteArray, script);
    QFETCH(QString, why);
    QTemporaryDir bin;
    if (!script.isEmpty()) {
      QFile fake(bin.filePath("xdg-open"));
      QVERIFY(fake.open(QIODevice::WriteOnly));
      fake.write("#!/bin/sh\n" + script + "\n");
      fake.close();
      QVERIFY(fake.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString page = bin.filePath(QStringLiteral("ヘルプ.html"));
    QStringList reasons;
    QProcess* process =
        OpenWithDesktop(page, [&reasons](const QString& reason) { reasons << reason; });
    qputenv("PATH", path);
    QSignalSpy ended(process, &QObject::destroyed);
    QVERIFY(ended.wait(60000));
    if (why.isEmpty()) {
      QCOMPARE(reasons, QStringList());
      QFile given(bin.filePath("given"));
      QVERIFY(given.open(QIODevice::ReadOnly));
      QCOMPARE(QFile::decodeName(given.readAll()), page);
    } else {
      QCOMPARE(reasons.size(), 1);
      QVERIFY2(reasons[0].contains(why), qPrintable(reasons[0]));
    }
  }

  void helpPageIsBesideTheExecutableElseInstalled() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("share/zelk/help")));
    const QString exe = dir.filePath(QStringLiteral("bin/zelk"));
    const QString beside = dir.filePath(QStringLiteral("bin/zelk.html"));
    const QString installed = dir.filePath(QStringLiteral("share/zelk/help/zelk.html"));
    QCOMPARE(HelpFileCandidates(exe), (QStringList{beside, installed}));
    // Neither there: the installed place, which the message names.
    QCOMPARE(HelpFilePath(exe), installed);
    for (const QString& path : {installed, beside}) {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.close();
      QCOMPARE(HelpFilePath(exe), path);
    }
  }

  void hideFormWithoutTrayStaysHiddenAndBringsTheMainWindowBack() {
    THideForm hide;
    QCOMPARE(hide.windowTitle(), QStringLiteral("HideForm"));
    QVERIFY(!hide.isVisible());
    QCOMPARE(hide.TrayIcon1()->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
    QWidget main;
    hide.SetMainForm(&main);
    main.show();
    main.showMinimized();
    hide.TrayIcon1DblClick();
    QVERIFY(main.isVisible());
    QVERIFY(!(main.windowState() & Qt::WindowMinimized));
    // Without a main window the double click does nothing.
    THideForm lonely;
    lonely.TrayIcon1DblClick();
  }

  // Qt's standard buttons speak Japanese whatever the locale (the tests run in C.UTF-8),
  // so that "Yes" never stands in a Japanese question.
  void qtStandardButtonsAreJapanese() {
    QVERIFY(InstallQtTranslations(*qApp));
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Open |
                        QMessageBox::Save);
    const struct {
      QMessageBox::StandardButton Button;
      const char* Text;
    } rows[] = {{QMessageBox::Yes, "はい"},
                {QMessageBox::No, "いいえ"},
                {QMessageBox::Cancel, "キャンセル"},
                {QMessageBox::Open, "開く"},
                {QMessageBox::Save, "保存"}};
    for (const auto& row : rows)
      QVERIFY2(box.button(row.Button)->text().contains(QString::fromUtf8(row.Text)),
               qPrintable(box.button(row.Button)->text()));
  }

  void programIconIsBuiltIn() { QVERIFY(!ProgramIcon().pixmap(32, 32).isNull()); }

  void closingTheHideFormEndsTheLoop() {
    THideForm hide;
    QWidget other;  // a visible window would otherwise keep the loop alive
    other.show();
    QMetaObject::invokeMethod(&hide, &QWidget::close, Qt::QueuedConnection);
    // Only a guard against a loop that never ends, not a time limit on the test.
    bool timedOut = false;
    QTimer::singleShot(60000, &other, [&timedOut] {
      timedOut = true;
      QCoreApplication::exit(1);
    });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!timedOut);
  }

  void visualStyleIsSelectedByItsName() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(!SelectVisualStyle(*app, QStringLiteral("Emerald Light Slate")));
    QVERIFY(SelectVisualStyle(*app, QStringLiteral("Emerald Light Slate 2")));
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("#2e8b6a")));
    const QPalette p = QApplication::palette();
    // Light: dark text on a light window, an accent that white text reads on.
    QVERIFY(p.color(QPalette::Window).lightness() > 200);
    QVERIFY(p.color(QPalette::WindowText).lightness() < 60);
    QVERIFY(p.color(QPalette::Highlight).lightness() < 140);
    QVERIFY(p.color(QPalette::Window).green() > p.color(QPalette::Window).red());
  }
};

QTEST_MAIN(ShellFormsTest)
#include "shell_forms_test.moc"
