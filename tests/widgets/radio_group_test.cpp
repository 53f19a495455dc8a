// SPDX-License-Identifier: GPL-3.0-or-later
// The radio group: code and user raise the same click, an unchanged index raises none.

#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "ui/RadioGroup.h"

using zelk::TRadioGroup;

class RadioGroupTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithoutSelection() {
    TRadioGroup g(QStringLiteral("紙の向き"), 2);
    g.SetItems({QStringLiteral("縦長"), QStringLiteral("横長")});
    QCOMPARE(g.ItemIndex(), -1);
    QCOMPARE(g.Count(), 2);
  }

  void settingFromCodeClicksOnceAndOnlyOnChange() {
    TRadioGroup g(QStringLiteral("書き方は"), 2);
    g.SetItems({QStringLiteral("縦書き用"), QStringLiteral("横書き用")});
    QSignalSpy clicks(&g, &TRadioGroup::Clicked);
    g.SetItemIndex(1);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(g.Button(1)->isChecked());
    QVERIFY(!g.Button(0)->isChecked());
    g.SetItemIndex(1);
    QCOMPARE(clicks.count(), 1);
    g.SetItemIndex(0);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(g.ItemIndex(), 0);
  }

  void outOfRangeSelectsNone() {
    TRadioGroup g(QStringLiteral("魚尾"), 4);
    g.SetItems({QStringLiteral("なし"), QStringLiteral("4:10:6a"), QStringLiteral("4:10:6b")});
    g.SetItemIndex(2);
    QSignalSpy clicks(&g, &TRadioGroup::Clicked);
    g.SetItemIndex(7);
    QCOMPARE(g.ItemIndex(), -1);
    QCOMPARE(clicks.count(), 1);
    for (int i = 0; i < g.Count(); ++i) QVERIFY(!g.Button(i)->isChecked());
    g.SetItemIndex(-5);
    QCOMPARE(clicks.count(), 1);
  }

  void userClickSelectsAndClicksOnce() {
    TRadioGroup g(QStringLiteral("線の形状(&T)"), 5);
    g.resize(318, 41);
    g.SetItems({QStringLiteral("なし"), QStringLiteral("波線"), QStringLiteral("直線"),
                QStringLiteral("四角"), QStringLiteral("丸")});
    g.SetItemIndex(4);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QSignalSpy clicks(&g, &TRadioGroup::Clicked);
    QTest::mouseClick(g.Button(2), Qt::LeftButton);
    QCOMPARE(g.ItemIndex(), 2);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!g.Button(4)->isChecked());
    // A click on the selected item keeps it selected and raises nothing.
    QTest::mouseClick(g.Button(2), Qt::LeftButton);
    QCOMPARE(g.ItemIndex(), 2);
    QVERIFY(g.Button(2)->isChecked());
    QCOMPARE(clicks.count(), 1);
  }

  void columnsAreFilledTopToBottom() {
    TRadioGroup g(QStringLiteral("x"), 2);
    g.resize(200, 80);
    g.SetItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    // Two rows: a and b in the first column, c in the second.
    QCOMPARE(g.Button(0)->x(), g.Button(1)->x());
    QVERIFY(g.Button(1)->y() > g.Button(0)->y());
    QVERIFY(g.Button(2)->x() > g.Button(0)->x());
    QCOMPARE(g.Button(2)->y(), g.Button(0)->y());
  }
};

QTEST_MAIN(RadioGroupTest)
#include "radio_group_test.moc"
