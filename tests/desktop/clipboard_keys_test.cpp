// SPDX-License-Identifier: GPL-3.0-or-later
// Both edits on an X11 desktop: the X11 selection (a selection sets it, a middle click
// pastes it) and the Insert and Delete clipboard keys, as Linux text fields have them.

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "controls/qt/SaNumEdit.h"
#include "controls/qt/TateEdit.h"

using namespace zelk;

namespace {

QClipboard* Clip() { return QGuiApplication::clipboard(); }

// Both edits in one shown, active window.
struct TWindow {
  TWindow() {
    num = new TSaNumEdit(&window);
    tate = new TTateEdit(&window);
    num->setGeometry(10, 10, 80, 24);
    tate->setGeometry(100, 10, 20, 121);
    window.resize(200, 160);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
  }
  QWidget window;
  TSaNumEdit* num;
  TTateEdit* tate;
};

}  // namespace

class ClipboardKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(Clip()->supportsSelection()); }

  void selectionIsOfferedAndMiddleClickPastesIt() {
    TWindow w;
    w.num->Model().SetText(u"12.5");
    QTest::mouseDClick(w.num, Qt::LeftButton, {}, QPoint(40, 12));
    QTRY_COMPARE(Clip()->text(QClipboard::Selection), QStringLiteral("12.5"));
    // Into the vertical edit, where the click is: below "a", above "b".
    w.tate->SetCaption2(QStringLiteral("ab"));
    const int a = w.tate->TextAdvance(QStringLiteral("a"));
    QTest::mouseClick(w.tate, Qt::MiddleButton, {}, QPoint(10, 5 + a + 1));
    QCOMPARE(w.tate->ReadCaption(), QStringLiteral("a12.5b"));
    // And from the vertical edit's copy into the number.
    w.tate->SetCaption2(QStringLiteral("7"));
    QTest::keyClick(w.tate, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(Clip()->text(), QStringLiteral("7"));
    QTRY_COMPARE(Clip()->text(QClipboard::Selection), QStringLiteral("7"));
    w.num->Model().SetText(u"");
    QTest::mouseClick(w.num, Qt::MiddleButton, {}, QPoint(40, 12));
    QCOMPARE(w.num->Text(), QStringLiteral("7"));
  }

  void insertAndDeleteKeysCopyPasteAndCut() {
    TWindow w;
    // Vertical edit: Shift+Delete cuts the whole text, Shift+Insert pastes it back.
    w.tate->setFocus();
    w.tate->SetCaption2(QString::fromUtf8("原稿"));
    QTest::keyClick(w.tate, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(w.tate->ReadCaption(), QString());
    QCOMPARE(Clip()->text(), QString::fromUtf8("原稿"));
    QTest::keyClick(w.tate, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(w.tate->ReadCaption(), QString::fromUtf8("原稿"));
    // Number: Ctrl+Insert copies the selection, Shift+Delete cuts it, Shift+Insert pastes.
    w.num->setFocus();
    w.num->Model().SetText(u"30");
    w.num->Model().SelectAll();
    QTest::keyClick(w.num, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(Clip()->text(), QStringLiteral("30"));
    Clip()->setText(QStringLiteral("45"));
    w.num->Model().SelectAll();
    QTest::keyClick(w.num, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(Clip()->text(), QStringLiteral("30"));
    QCOMPARE(w.num->Text(), QString());
    QTest::keyClick(w.num, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(w.num->Text(), QStringLiteral("30"));
  }
};

QTEST_MAIN(ClipboardKeysTest)
#include "clipboard_keys_test.moc"
