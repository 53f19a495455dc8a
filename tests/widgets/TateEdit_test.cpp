// SPDX-License-Identifier: GPL-3.0-or-later
// The vertical text edit: typing, the editing keys, paste rules, the caret, the bevel
// colours, the fitted read-only text and surrogate pairs.

#include "controls/qt/TateEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTextCharFormat>

#include "controls/SaNumEditModel.h"
#include "controls/qt/SystemColors.h"

using zelk::TTateEdit;

#define QCOMPARE_RGB(a, b) QCOMPARE((a).rgb(), (b).rgb())

namespace {

const QString kYoshi = QString::fromUtf8("𠮷");  // one character, two UTF-16 units

struct Shown {
  Shown() {
    e.show();
    QApplication::setActiveWindow(&e);
    if (!QTest::qWaitForWindowActive(&e)) qWarning("window not active");
    e.setFocus();
  }
  TTateEdit e;
};

void Commit(TTateEdit& e, const QString& text) {
  QInputMethodEvent ime;
  ime.setCommitString(text);
  QApplication::sendEvent(&e, &ime);
}

}  // namespace

class TateEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QGuiApplication::clipboard()->clear(); }

  // Ctrl with a digit or a punctuation key types nothing, with or without Shift.
  void ctrlWithAPrintableKeyTypesNothing() {
    Shown s;
    QSignalSpy spy(&s.e, &TTateEdit::OnChange);
    QTest::keyClick(&s.e, Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(&s.e, Qt::Key_Period, Qt::ControlModifier);
    QTest::keyClick(&s.e, Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(s.e.ReadCaption(), QString());
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(&s.e, Qt::Key_1);
    QCOMPARE(s.e.ReadCaption(), QStringLiteral("1"));
  }

  void typingThreeCharactersRaisesOnChangeThreeTimes() {
    Shown s;
    QSignalSpy spy(&s.e, &TTateEdit::OnChange);
    Commit(s.e, QString::fromUtf8("あ"));
    Commit(s.e, QString::fromUtf8("い"));
    QTest::keyClicks(&s.e, "a");
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("あいa"));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(s.e.SelStart(), 3);
  }

  void emptyControlCaretStandsAtFiveFive() {
    Shown s;
    QCOMPARE(s.e.CaretPoint(), QPoint(5, 5));
    QVERIFY(s.e.CaretShown());
  }

  void editingKeysAtTheEnds() {
    Shown s;
    s.e.SetCaption2(QString::fromUtf8("あいう"));
    s.e.clearFocus();
    s.e.setFocus();  // entering puts the caret at the end
    QCOMPARE(s.e.SelStart(), 3);
    QTest::keyClick(&s.e, Qt::Key_Down);
    QCOMPARE(s.e.SelStart(), 3);
    QTest::keyClick(&s.e, Qt::Key_Delete);  // nothing below the caret
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("あいう"));
    for (int i = 0; i < 4; ++i) QTest::keyClick(&s.e, Qt::Key_Up);
    QCOMPARE(s.e.SelStart(), 0);
    QTest::keyClick(&s.e, Qt::Key_Backspace);  // nothing above the caret
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("あいう"));
    QTest::keyClick(&s.e, Qt::Key_Delete);
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("いう"));
    QTest::keyClick(&s.e, Qt::Key_Down);
    QTest::keyClick(&s.e, Qt::Key_Backspace);
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("う"));
    QCOMPARE(s.e.SelStart(), 0);
    QTest::keyClick(&s.e, Qt::Key_Escape);
    QCOMPARE(s.e.ReadCaption(), QString());
    QCOMPARE(s.e.SelStart(), 0);
  }

  void typingGoesInAtTheCaret() {
    Shown s;
    s.e.SetCaption2("ac");
    s.e.clearFocus();
    s.e.setFocus();
    QTest::keyClick(&s.e, Qt::Key_Up);
    QTest::keyClicks(&s.e, "b");
    QCOMPARE(s.e.ReadCaption(), QString("abc"));
    QCOMPARE(s.e.SelStart(), 2);
  }

  void pasteRules() {
    Shown s;
    s.e.SetCaption2("abc");
    s.e.clearFocus();
    s.e.setFocus();
    QTest::keyClick(&s.e, Qt::Key_Up);
    QTest::keyClick(&s.e, Qt::Key_Up);
    QGuiApplication::clipboard()->setText("XY");
    QTest::keyClick(&s.e, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(s.e.ReadCaption(), QString("abcXY"));  // at the end, wherever the caret is
    QCOMPARE(s.e.SelStart(), 1);
    QTest::keyClick(&s.e, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.e.ReadCaption(), QString("XY"));
    QTest::keyClick(&s.e, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("XY"));  // Ctrl with others copies

    s.e.SetReadOnly(true);
    QGuiApplication::clipboard()->setText("Z");
    QTest::keyClick(&s.e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&s.e, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClicks(&s.e, "q");
    QCOMPARE(s.e.ReadCaption(), QString("XY"));
    QTest::keyClick(&s.e, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("XY"));
  }

  void caretBeyondAShortenedTextShowsAtTheEnd() {
    Shown s;
    s.e.SetCaption2("abcd");
    s.e.clearFocus();
    s.e.setFocus();
    s.e.SetCaption2("a");
    QCOMPARE(s.e.SelStart(), 4);  // SetCaption2 leaves the index
    QCOMPARE(s.e.CaretPoint().y(), 5 + s.e.TextAdvance("a"));
    QTest::keyClick(&s.e, Qt::Key_Backspace);  // only the index comes back
    QCOMPARE(s.e.ReadCaption(), QString("a"));
    QCOMPARE(s.e.SelStart(), 3);
    QTest::keyClicks(&s.e, "b");
    QCOMPARE(s.e.ReadCaption(), QString("ab"));
    QCOMPARE(s.e.SelStart(), 2);
  }

  void mousePressPlacesTheCaretByCharacterHalves() {
    Shown s;
    s.e.resize(20, 200);
    s.e.SetCaption2(QString::fromUtf8("あいう"));
    const int top = 5;
    const int w = s.e.TextAdvance(QString::fromUtf8("あ"));
    QTest::mouseClick(&s.e, Qt::LeftButton, {}, QPoint(10, top + w / 2 + 1));
    QCOMPARE(s.e.SelStart(), 1);  // lower half of the first character
    QTest::mouseClick(&s.e, Qt::LeftButton, {}, QPoint(10, top + 1));
    QCOMPARE(s.e.SelStart(), 0);
    QTest::mouseClick(&s.e, Qt::LeftButton, {}, QPoint(10, 190));
    QCOMPARE(s.e.SelStart(), 3);  // below the text: the end
  }

  void enterReleaseRaisesOnClick() {
    Shown s;
    QSignalSpy spy(&s.e, &TTateEdit::OnClick);
    QTest::keyRelease(&s.e, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    s.e.setEnabled(false);
    QTest::keyRelease(&s.e, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
  }

  void propertyClamps() {
    TTateEdit e;
    e.SetBevelSize(0);
    QCOMPARE(e.BevelSize(), 1);
    e.SetOffset(-3);
    QCOMPARE(e.Offset(), 0);
    e.SetBorder(false);
    QCOMPARE(e.BevelStyle(), zelk::bbNone);
    e.SetBorder(true);
    QCOMPARE(e.BevelStyle(), zelk::bbLowered);
    QCOMPARE(e.BevelSize(), 1);
    QCOMPARE(e.size(), QSize(20, 121));
    QVERIFY(e.FaceName().startsWith('@'));
  }

  void loweredBorderColoursFromAGrab() {
    TTateEdit e;
    e.show();
    const QImage img = e.grab().toImage();
    const QPalette& pal = e.palette();
    const auto sys = [&pal](int n) { return zelk::ThemeColor(zelk::SystemColor(n), pal); };
    const int w = e.width(), h = e.height();
    QCOMPARE_RGB(img.pixelColor(0, 0), sys(16));
    QCOMPARE_RGB(img.pixelColor(w / 2, 0), sys(16));      // outer top
    QCOMPARE_RGB(img.pixelColor(0, h / 2), sys(16));      // outer left
    QCOMPARE_RGB(img.pixelColor(w / 2, h - 1), sys(20));  // outer bottom
    QCOMPARE_RGB(img.pixelColor(w - 1, h / 2), sys(20));  // outer right
    QCOMPARE_RGB(img.pixelColor(w - 1, 0), sys(20));      // top-right corner
    QCOMPARE_RGB(img.pixelColor(1, h / 2), sys(21));      // inner left
    QCOMPARE_RGB(img.pixelColor(w - 2, h / 2), sys(22));  // inner right
    QCOMPARE_RGB(img.pixelColor(w / 2, h / 2), sys(5));   // the inside
  }

  void disabledTextIsEmbossedInColoursFromTheBackground() {
    TTateEdit e;
    e.SetColor(0x808080);  // mid grey, so both copies differ from it
    e.SetCaption2(QString::fromUtf8("国"));
    e.setEnabled(false);
    e.show();
    const QImage img = e.grab().toImage();
    const QColor light(0xC0, 0xC0, 0xC0), dark(0x40, 0x40, 0x40);
    bool sawLight = false, sawDark = false;
    for (int y = 4; y < e.height() - 4; ++y)
      for (int x = 4; x < e.width() - 4; ++x) {
        const QColor c = img.pixelColor(x, y);
        sawLight |= c.rgb() == light.rgb();
        sawDark |= c.rgb() == dark.rgb();
      }
    QVERIFY(sawLight);
    QVERIFY(sawDark);
    QCOMPARE(e.State(), zelk::bsDisabled);
  }

  void readOnlyOverflowIsDrawnIntoTheColumn() {
    TTateEdit e;
    e.SetReadOnly(true);
    e.SetCaption2(QString::fromUtf8("あいうえおかきくけこさしすせそ"));
    QVERIFY(e.TextAdvance(e.ReadCaption()) > e.height());
    e.show();
    const QImage img = e.grab().toImage();
    const QColor bg = zelk::ThemeColor(zelk::clWindow, e.palette());
    int lowest = -1;
    for (int y = 2; y < e.height() - 2; ++y)
      for (int x = 2; x < e.width() - 2; ++x)
        if (img.pixelColor(x, y) != bg) lowest = y;
    // Ink reaches the lower part of the column but not below it.
    QVERIFY(lowest > e.height() * 3 / 4);
    QVERIFY(lowest <= e.height() - 2 - 2 + 1);
  }

  void surrogatePairsAreOneCharacter() {
    Shown s;
    QSignalSpy spy(&s.e, &TTateEdit::OnChange);
    // An input method may deliver the pair in two pieces: nothing changes in between.
    Commit(s.e, kYoshi.left(1));
    QCOMPARE(spy.count(), 0);
    Commit(s.e, kYoshi.mid(1));
    QCOMPARE(s.e.ReadCaption(), kYoshi);
    QCOMPARE(s.e.SelStart(), 2);
    Commit(s.e, QString::fromUtf8("野"));
    QTest::keyClick(&s.e, Qt::Key_Up);
    QCOMPARE(s.e.SelStart(), 2);
    QTest::keyClick(&s.e, Qt::Key_Up);
    QCOMPARE(s.e.SelStart(), 0);  // over the whole pair
    QTest::keyClick(&s.e, Qt::Key_Down);
    QCOMPARE(s.e.SelStart(), 2);
    QTest::keyClick(&s.e, Qt::Key_Backspace);
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("野"));
    QCOMPARE(s.e.SelStart(), 0);
    s.e.SetCaption2(QString::fromUtf8("野") + kYoshi);
    QTest::keyClick(&s.e, Qt::Key_Down);
    QTest::keyClick(&s.e, Qt::Key_Delete);
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("野"));
    s.e.SetCaption2(kYoshi + kYoshi);
    const int w = s.e.TextAdvance(kYoshi);
    QTest::mouseClick(&s.e, Qt::LeftButton, {}, QPoint(10, 5 + w + w / 2 + 1));
    QCOMPARE(s.e.SelStart(), 4);
    QTest::mouseClick(&s.e, Qt::LeftButton, {}, QPoint(10, 5 + w / 2 + 1));
    QCOMPARE(s.e.SelStart(), 2);  // never between the halves
    // Halves without their partner never reach the text.
    s.e.SetCaption2(QString());
    Commit(s.e, kYoshi.left(1));
    Commit(s.e, "a");
    Commit(s.e, kYoshi.mid(1));
    QCOMPARE(s.e.ReadCaption(), QString("a"));
  }

  // Text being composed shows at the caret, underlined, before it is committed; the
  // input method's cursor decides where the caret stands.
  void preeditIsShownAtTheCaretUntilCommitted() {
    Shown s;
    s.e.SetCaption2(QString::fromUtf8("日本"));
    QTest::keyClick(&s.e, Qt::Key_Down);  // caret between 日 and 本
    const QImage before = s.e.grab().toImage();
    QTextCharFormat underline;
    underline.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    QInputMethodEvent preedit(QString::fromUtf8("ご"),
                              {{QInputMethodEvent::TextFormat, 0, 1, underline},
                               {QInputMethodEvent::Cursor, 1, 1, QVariant()}});
    QApplication::sendEvent(&s.e, &preedit);
    QVERIFY(s.e.grab().toImage() != before);
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("日本"));
    QCOMPARE(s.e.DisplayText(), QString::fromUtf8("日ご本"));
    QCOMPARE(s.e.CaretPoint().y(), 5 + s.e.TextAdvance(QString::fromUtf8("日ご")));
    Commit(s.e, QString::fromUtf8("語"));
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("日語本"));
    QCOMPARE(s.e.PreeditText(), QString());
  }

  // A reconversion replaces the characters the input method names, counted from the
  // caret.
  void commitReplacesTheNamedRange() {
    Shown s;
    s.e.SetCaption2(QString::fromUtf8("日本"));
    QTest::keyClick(&s.e, Qt::Key_Down);
    QTest::keyClick(&s.e, Qt::Key_Down);  // caret at the end
    QInputMethodEvent ime;
    ime.setCommitString(QString::fromUtf8("語"), -1, 1);
    QApplication::sendEvent(&s.e, &ime);
    QCOMPARE(s.e.ReadCaption(), QString::fromUtf8("日語"));
    QCOMPARE(s.e.SelStart(), 2);
  }

  // The rectangle the input method is given is the column from the edit's top to its
  // bottom: a candidate list under it (or over it, at the screen's foot) leaves every
  // character, the text being composed and the caret in view, wherever the column
  // stands and however long its text.
  void candidateListStaysOffTheColumn_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("preedit");
    QTest::newRow("empty, top") << int(zelk::alTopLeft) << QString() << QString();
    QTest::newRow("composing, top")
        << int(zelk::alTopLeft) << QString::fromUtf8("日本") << QString::fromUtf8("げんこう");
    QTest::newRow("composing, middle")
        << int(zelk::alMiddleLeft) << QString::fromUtf8("原稿") << QString::fromUtf8("ようし");
    QTest::newRow("composing, bottom")
        << int(zelk::alBottomLeft) << QString::fromUtf8("縦書き") << QString::fromUtf8("ぶん");
    QTest::newRow("longer than the edit")
        << int(zelk::alTopLeft) << QString::fromUtf8("吾輩は猫である。名前はまだ無い。")
        << QString::fromUtf8("どこでうまれたか");
  }
  void candidateListStaysOffTheColumn() {
    QFETCH(int, alignment);
    QFETCH(QString, text);
    QFETCH(QString, preedit);
    Shown s;
    s.e.SetAlignment(static_cast<zelk::TTateAlignment>(alignment));
    Commit(s.e, text);
    QInputMethodEvent composing(preedit, {});
    QApplication::sendEvent(&s.e, &composing);
    QCOMPARE(s.e.DisplayText(), text + preedit);
    const QRect r = s.e.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QCOMPARE(r.left(), s.e.CaretPoint().x());
    QCOMPARE(r.width(), s.e.ColumnThickness());
    QVERIFY2(r.top() <= 0 && r.bottom() >= s.e.height() - 1, "the column's ends are left out");
    const QPoint caret = s.e.CaretPoint();
    QVERIFY(!s.e.rect().contains(caret) || r.contains(caret));  // below the edit: not shown
    for (int i = 0; i < text.size(); ++i) {
      const QRect shown = s.e.AccessibleCharacterRect(i) & s.e.rect();
      QVERIFY2(shown.isEmpty() || r.contains(shown), qPrintable(QString::number(i)));
    }
    QCOMPARE(s.e.inputMethodQuery(Qt::ImAnchorRectangle).toRect(), r);
    // What Qt hands the input method: the same rectangle, in the window's coordinates.
    QCOMPARE(QGuiApplication::inputMethod()->cursorRectangle().toRect(),
             r.translated(s.e.mapTo(s.e.window(), QPoint())));
  }

  // The input method asks where the caret is (the candidate list opens beside it) and
  // what the text around it holds.
  void inputMethodQueriesDescribeTheCaret() {
    Shown s;
    s.e.SetCaption2("ab");
    QTest::keyClick(&s.e, Qt::Key_Down);
    QTest::keyClick(&s.e, Qt::Key_Down);
    QVERIFY(s.e.inputMethodQuery(Qt::ImCursorRectangle).toRect().contains(s.e.CaretPoint()));
    QCOMPARE(s.e.inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("ab"));
    QCOMPARE(s.e.inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
    QCOMPARE(s.e.inputMethodQuery(Qt::ImTextBeforeCursor).toString(), QStringLiteral("ab"));
    QVERIFY(s.e.inputMethodQuery(Qt::ImEnabled).toBool());
    QCOMPARE(s.e.inputMethodQuery(Qt::ImFont).value<QFont>(), s.e.font());
    s.e.SetReadOnly(true);
    QVERIFY(!s.e.inputMethodQuery(Qt::ImEnabled).toBool());
  }
};

QTEST_MAIN(TateEditTest)
#include "TateEdit_test.moc"
