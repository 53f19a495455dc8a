// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric edit widget: key routing with exact modifiers, mouse, menu, focus and
// painting, driven through QTest on the offscreen platform.

#include "controls/qt/SaNumEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "controls/qt/SystemColors.h"

using zelk::TSaNumEdit;

namespace {

// A window with three edits in tab order.
struct Window {
  Window() {
    auto* layout = new QVBoxLayout(&w);
    for (auto*& e : edits) {
      e = new TSaNumEdit(&w);
      layout->addWidget(e);
    }
    w.show();
    QApplication::setActiveWindow(&w);
    if (!QTest::qWaitForWindowActive(&w)) qWarning("window not active");
  }
  QWidget w;
  TSaNumEdit* edits[3] = {};
};

QString Caption(QAction* a) { return a->text(); }

// Enabled entries of the edit menu, separators left out.
QStringList EnabledEntries(TSaNumEdit& e) {
  e.EditPopupOnPopup();
  QStringList out;
  for (QAction* a : e.EditPopup()->actions())
    if (!a->isSeparator() && a->isEnabled()) out << Caption(a);
  return out;
}

// Rightmost column of `image` holding a pixel that differs from `background`, or -1.
int RightmostInk(const QImage& image, const QRect& area, QColor background) {
  int right = -1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) != background) right = std::max(right, x);
  return right;
}

}  // namespace

class SaNumEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QGuiApplication::clipboard()->clear(); }

  void typingRaisesOnChangeButSetTextDoesNot() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    QSignalSpy spy(&e, &TSaNumEdit::OnChange);
    QTest::keyClicks(&e, "12.5");
    QCOMPARE(e.Text(), QString("12.5"));
    QCOMPARE(spy.count(), 4);
    e.SetText("7");
    QCOMPARE(spy.count(), 4);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(e.Text(), QString(""));  // "7" less its digit
    QCOMPARE(spy.count(), 5);
  }

  // Ctrl with a digit or the decimal point types nothing.
  void ctrlWithAPrintableKeyTypesNothing() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    e.SetText("");
    QTest::keyClick(&e, Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_Period, Qt::ControlModifier);
    QCOMPARE(e.Text(), QString(""));
    QTest::keyClick(&e, Qt::Key_1);
    QCOMPARE(e.Text(), QString("1"));
  }

  void ctrlShiftCDoesNotCopy() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    e.SetText("1234");
    e.Model().SelectAll();
    QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("1234"));
  }

  void readOnlyCopiesButNeitherPastesNorCuts() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    e.SetText("55");
    e.Model().ReadOnly = true;
    e.Model().SelectAll();
    QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("55"));
    QGuiApplication::clipboard()->setText("9");
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QTest::keyClicks(&e, "3");
    QCOMPARE(e.Text(), QString("55"));
  }

  void pasteAndCutWithCtrl() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    e.Model().ClearSelect();
    e.SetText("12");
    QGuiApplication::clipboard()->setText("3.5");
    QSignalSpy spy(&e, &TSaNumEdit::OnChange);
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.Text(), QString("123.5"));
    QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(e.Text(), QString(""));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("123.5"));
    QCOMPARE(spy.count(), 2);
  }

  void arrowKeysClearTheSelectionAndMoveFocusOnlyWhenAsked() {
    Window win;
    TSaNumEdit& first = *win.edits[0];
    TSaNumEdit& second = *win.edits[1];
    second.setFocus();
    second.SetText("8");
    second.Model().SelectAll();
    QTest::keyClick(&second, Qt::Key_Up);
    QVERIFY(!second.Model().Selected());
    QCoreApplication::processEvents();
    QVERIFY(second.hasFocus());
    second.Model().ArrowFocusMove = true;
    QTest::keyClick(&second, Qt::Key_Up);
    QCoreApplication::processEvents();
    QVERIFY(first.hasFocus());
    QTest::keyClick(&first, Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(!first.Model().Selected());  // nothing to select in an empty value
  }

  void enterWithEnterFocusMoveGoesToTheNextControl() {
    Window win;
    TSaNumEdit& first = *win.edits[0];
    first.setFocus();
    first.Model().EnterFocusMove = true;
    QTest::keyClick(&first, Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(win.edits[1]->hasFocus());
  }

  void tabbingInSelectsAllAndTypingReplaces() {
    Window win;
    win.edits[1]->SetText("123");
    win.edits[0]->setFocus();
    QTest::keyClick(win.edits[0], Qt::Key_Tab);
    TSaNumEdit& e = *win.edits[1];
    QVERIFY(e.hasFocus());
    QCOMPARE(e.Model().SelLength(), 3);
    QTest::keyClicks(&e, "9");
    QCOMPARE(e.Text(), QString("9"));
    e.Model().Undo();
    QCOMPARE(e.Text(), QString(""));
  }

  void leavingEmptiesALoneMinusAndDropsTheSelection() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    QTest::keyClicks(&e, "-");
    QTest::keyClick(&e, Qt::Key_Tab);
    QCOMPARE(e.Text(), QString(""));
    win.edits[1]->SetText("5");
    QVERIFY(win.edits[1]->Model().Selected() == false);
  }

  void doubleClickSelectionSurvivesItsPress() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.SetText("42");
    QSignalSpy spy(&e, &TSaNumEdit::OnDblClick);
    const QPoint p = e.rect().center();
    QTest::mouseClick(&e, Qt::LeftButton, {}, p);
    QVERIFY(e.hasFocus());
    QVERIFY(!e.Model().Selected());  // a single press clears the entering selection
    QTest::mouseDClick(&e, Qt::LeftButton, {}, p);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(e.Model().SelLength(), 2);
    QTest::mouseClick(&e, Qt::LeftButton, {}, p);
    QVERIFY(!e.Model().Selected());  // a later single press clears it again
  }

  void draggingAcrossTheNumberSelectsAll() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.SetText("1234");
    const zelk::TIntRect r = e.Model().GetValueTextRect();
    const int b = e.BorderWidth();
    const QPoint start(b + r.Left - 5, e.height() / 2);
    QTest::mousePress(&e, Qt::LeftButton, {}, start);
    QVERIFY(!e.Model().Selected());
    QMouseEvent move(QEvent::MouseMove, QPointF(b + r.Left + 2, e.height() / 2.0),
                     e.mapToGlobal(QPointF(b + r.Left + 2, e.height() / 2.0)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&e, &move);
    QVERIFY(e.Model().Selected());
    QTest::mouseRelease(&e, Qt::LeftButton, {}, start);
  }

  void contextMenuOnAReadOnlyControl() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.SetText("12");
    e.Model().ReadOnly = true;
    QGuiApplication::clipboard()->setText("5");
    e.Model().ClearSelect();
    e.EditPopupOnPopup();  // takes the focus, which selects all
    e.Model().ClearSelect();
    QCOMPARE(EnabledEntries(e), QStringList{QString::fromUtf8("すべて選択(&A)")});
    e.Model().SelectAll();
    QCOMPARE(EnabledEntries(e), QStringList{QString::fromUtf8("コピー(&C)")});
    QVERIFY(e.hasFocus());
  }

  void contextMenuOnAWritableControl() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    QTest::keyClicks(&e, "7");
    e.Model().SelectAll();
    QGuiApplication::clipboard()->setText("1");
    QCOMPARE(EnabledEntries(e),
             (QStringList{QString::fromUtf8("元に戻す(&U)"), QString::fromUtf8("切り取り(&T)"),
                          QString::fromUtf8("コピー(&C)"), QString::fromUtf8("貼り付け(&P)"),
                          QString::fromUtf8("削除(&D)")}));
    // 削除 empties without OnChange.
    QSignalSpy spy(&e, &TSaNumEdit::OnChange);
    for (QAction* a : e.EditPopup()->actions())
      if (a->data().toInt() == 5) a->trigger();
    QCOMPARE(e.Text(), QString(""));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(e.EditPopup()->actions().size(), 8);
    QVERIFY(e.EditPopup()->actions()[1]->isSeparator());
    QVERIFY(e.EditPopup()->actions()[6]->isSeparator());
  }

  void defaultControlLaysOutAndPaintsTheNumber() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.SetCtl3D(false);  // the flat border of the main window's fields
    e.SetText("1234.5");
    QCOMPARE(e.BorderWidth(), 1);
    const zelk::TSaNumEditModel& m = e.Model();
    QCOMPARE(m.ClientWidth, e.width() - 2);
    QCOMPARE(m.ClientHeight, m.FontHeight + 4);  // auto height
    const zelk::TIntRect text = m.GetValueTextRect();
    QCOMPARE(text.Right(), m.ClientWidth - m.RightMargin - 1);
    QCOMPARE(text.Width, e.fontMetrics().horizontalAdvance("1,234.5") + 1);
    QCOMPARE(text.Top, (m.ClientHeight - m.FontHeight - 4) / 2 + 2);
    QCOMPARE(m.GetCaretPoint().X, text.Right() - 1);
    // The ink of "1,234.5" lies inside its rectangle.
    const QImage img = e.grab().toImage();
    const QColor window = zelk::ThemeColor(zelk::clWindow, e.palette());
    const int ink = RightmostInk(img, e.rect().adjusted(1, 1, -1, -1), window);
    QVERIFY(ink >= 1 + text.Left);
    QVERIFY(ink <= 1 + text.Right());
    // The flat border is drawn on the outermost pixels.
    QCOMPARE(img.pixelColor(0, 0).rgb(), zelk::ThemeColor(zelk::SystemColor(6), e.palette()).rgb());
  }

  void selectionBandAndDisabledColours() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.SetText("88");
    e.Model().SelectAll();
    const zelk::TIntRect fill = e.Model().GetFillRect();
    const int b = e.BorderWidth();
    const QPoint inBand(b + fill.Left, b + fill.Top);
    const QColor highlight = zelk::ThemeColor(zelk::clHighlight, e.palette());
    QCOMPARE(e.grab().toImage().pixelColor(inBand).rgb(), highlight.rgb());
    e.setEnabled(false);
    QCOMPARE(e.grab().toImage().pixelColor(inBand).rgb(),
             zelk::ThemeColor(zelk::clWindow, e.palette()).rgb());
  }

  void inputMethodFullWidthDigitsAreTyped() {
    Window win;
    TSaNumEdit& e = *win.edits[0];
    e.setFocus();
    QInputMethodEvent ime;
    ime.setCommitString(QString::fromUtf8("１２．５"));
    QApplication::sendEvent(&e, &ime);
    QCOMPARE(e.Text(), QString("12.5"));
    const QRect caret = e.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QCOMPARE(caret.topLeft(), QPoint(e.BorderWidth() + e.Model().GetCaretPoint().X,
                                     e.BorderWidth() + e.Model().GetCaretPoint().Y));
    e.SetImeEnabled(false);
    QVERIFY(!e.testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!e.inputMethodQuery(Qt::ImEnabled).toBool());
  }

  void caretExistsOnlyWithTheFocus() {
    Window win;
    TSaNumEdit& e = *win.edits[1];
    QVERIFY(!e.CaretShown());
    e.setFocus();
    QVERIFY(e.CaretShown());
    win.edits[2]->setFocus();
    QVERIFY(!e.CaretShown());
  }
};

QTEST_MAIN(SaNumEditTest)
#include "SaNumEdit_test.moc"
