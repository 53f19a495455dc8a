// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window: zoom factors, the picture's size, redraw refusals, painting only
// the exposed part, closing.

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "form/FormTransfer.h"
#include "preview/PrintPreview.h"
#include "preview/qt/PrinterService.h"
#include "ui/PreviewUnit.h"

using namespace zelk;

class PreviewTest : public QObject {
  Q_OBJECT

 private:
  // A printer service on the virtual printer, A4 portrait at 600 dpi unless changed.
  std::unique_ptr<TPrinterService> printer_;
  std::unique_ptr<THeadlessSettingsForm> form_;
  std::unique_ptr<TPrintSetting> setting_;
  std::unique_ptr<TPreviewForm> preview_;

 private slots:
  void init() {
    printer_ = std::make_unique<TPrinterService>();
    QVERIFY(printer_->SelectPrinter(QStringLiteral("PDF")));
    printer_->SetOrientation(TPrinterOrientation::poPortrait);
    form_ = std::make_unique<THeadlessSettingsForm>();
    form_->ShowPrinterInfo(*printer_, u"A4");
    setting_ = std::make_unique<TPrintSetting>();
    preview_ = std::make_unique<TPreviewForm>(*printer_, nullptr, 1.0);
    preview_->SetForm(form_.get());
    preview_->SetSetting(setting_.get());
  }
  void cleanup() {
    preview_.reset();
    form_.reset();
    setting_.reset();
    printer_.reset();
  }

  void designedWindow() {
    QVERIFY(preview_->isHidden());
    QCOMPARE(preview_->windowTitle(), QStringLiteral("印刷プレビュー"));
    QCOMPARE(preview_->TrackBar1->minimum(), 1);
    QCOMPARE(preview_->TrackBar1->maximum(), 41);
    QCOMPARE(preview_->TrackBar1->value(), 5);
    QCOMPARE(preview_->TrackBar1->tickInterval(), 2);
  }

  void zoomFactors_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("factor");
    QTest::newRow("smallest") << 1 << 0.2;
    QTest::newRow("real size") << 5 << 1.0;
    QTest::newRow("two") << 10 << 2.0;
    QTest::newRow("largest") << 41 << 8.2;
  }
  void zoomFactors() {
    QFETCH(int, position);
    QFETCH(double, factor);
    QCOMPARE(preview_->Redraw(), 1);
    preview_->TrackBar1->setValue(position);
    QVERIFY(qAbs(preview_->ZoomFactor() - factor) < 1e-12);
    // The picture's screen size follows the factor: A4 with its 150-pixel border is
    // 5110 printer pixels of 210 mm / 4960 pixels each, at 96 dpi.
    const double width = 5110.0 * 210 / 4960 / 25.4 * 96 * factor;
    QCOMPARE(preview_->Image()->width(), static_cast<int>(width));
  }

  void a4At600DpiIsLargerByTheBorder() {
    QCOMPARE(preview_->Redraw(), 1);
    const TSheetPicture& p = preview_->Image()->Picture();
    QCOMPARE(p.Info.PhysicalWidth, 4960);
    QCOMPARE(p.Info.PhysicalHeight, 7016);
    QCOMPARE(p.Width, 5110);
    QCOMPARE(p.Height, 7166);
    QVERIFY(p.Page != nullptr);
  }

  void onePageHidesThePageSelector() {
    QCOMPARE(preview_->Redraw(), 1);
    QVERIFY(preview_->TB_Page->isHidden());
    QVERIFY(preview_->L_Page->isHidden());
  }

  void aFieldWithoutNumberKeepsTheOldPicture_data() {
    QTest::addColumn<int>("field");
    for (TControl f :
         {TControl::NE_YohakuU, TControl::NE_YohakuB, TControl::NE_YohakuR, TControl::NE_YohakuL,
          TControl::NE_PaperSizeH, TControl::NE_PaperSizeV, TControl::NE_OrimeW})
      QTest::newRow(ControlName(f)) << static_cast<int>(f);
  }
  void aFieldWithoutNumberKeepsTheOldPicture() {
    QFETCH(int, field);
    QCOMPARE(preview_->Redraw(), 1);
    const TMetafileEx* before = preview_->Recorder().GetPage(0);
    const size_t ops = before->Ops.size();
    form_->SetNumText(static_cast<TControl>(field), u"");
    QCOMPARE(preview_->Redraw(), 0);
    QCOMPARE(preview_->Recorder().GetPageCount(), 1);
    QCOMPARE(preview_->Recorder().GetPage(0), before);
    QCOMPARE(preview_->Recorder().GetPage(0)->Ops.size(), ops);
    QCOMPARE(preview_->Image()->Picture().Page, before);
  }

  void nothingRecordedYetShowsNothing() {
    form_->SetNumText(TControl::NE_YohakuU, u"");
    QCOMPARE(preview_->Redraw(), 0);
    QCOMPARE(preview_->Recorder().GetPageCount(), 0);
    QVERIFY(preview_->Image()->Picture().Page == nullptr);
  }

  void aDrawingFailureKeepsWhatWasRecorded() {
    // An outer-line width that is no number fails inside the recording, after the
    // geometry was read: the recording is still ended and shown.
    form_->SetNumText(TControl::NE_OuterLineWidth, u"");
    QCOMPARE(preview_->Redraw(), 1);
    QVERIFY(!preview_->Recorder().Printing());
    QCOMPARE(preview_->Image()->Picture().Page, preview_->Recorder().GetPage(0));
  }

  void zoomDoesNotRecordAgain() {
    QCOMPARE(preview_->Redraw(), 1);
    const TMetafileEx* page = preview_->Recorder().GetPage(0);
    preview_->TrackBar1->setValue(20);
    QCOMPARE(preview_->Recorder().GetPage(0), page);
    QCOMPARE(preview_->Image()->Picture().Page, page);
  }

  void pageBeyondTheRecordingDoesNothing() {
    QCOMPARE(preview_->Redraw(), 1);
    const int width = preview_->Image()->width();
    preview_->ShowPage(1, 41, 1, 41);
    QCOMPARE(preview_->Image()->width(), width);
  }

  void exposedPartIsPaintedAtTheLargestZoom() {
    // At 8.2x the picture is some 6800 x 9500 screen pixels. Painting a 64 x 64 part of
    // it must give the colours that lie there: the shadow's grey right of the sheet, the
    // sheet's white, the scroll area's background left of the sheet.
    QCOMPARE(preview_->Redraw(), 1);
    preview_->TrackBar1->setValue(41);
    const TSheetPicture& p = preview_->Image()->Picture();
    const double sx = static_cast<double>(p.ScreenWidth) / p.Width;
    const double sy = static_cast<double>(p.ScreenHeight) / p.Height;
    auto paintAt = [&](double printerX, double printerY) {
      QImage image(64, 64, QImage::Format_RGB32);
      image.fill(Qt::blue);
      QPainter painter(&image);
      const QPoint origin(static_cast<int>(printerX * sx) - 32,
                          static_cast<int>(printerY * sy) - 32);
      painter.translate(-origin);
      PaintSheetPicture(painter, p, QRect(origin, QSize(64, 64)));
      painter.end();
      return image.pixelColor(32, 32);
    };
    EXPECT_COLOR(paintAt(20, 3000), QColor(Qt::blue));
    EXPECT_COLOR(paintAt(5050, 3000), QColor(128, 128, 128));
    EXPECT_COLOR(paintAt(2500, 20), QColor(Qt::blue));
    // Inside the sheet, clear of the grid's lines: the top margin.
    EXPECT_COLOR(paintAt(2500, 50 + 100), QColor(Qt::white));
  }

  void closingHidesAndReports() {
    preview_->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview_.get()));
    QSignalSpy closed(preview_.get(), &TPreviewForm::Closed);
    QTest::keyClick(preview_.get(), Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QVERIFY(preview_->isHidden());
  }

  void landscapeTurnsThePicture() {
    form_->SetItemIndex(TControl::RG_Orientation, 1);
    QCOMPARE(preview_->Redraw(), 1);
    const TSheetPicture& p = preview_->Image()->Picture();
    QCOMPARE(p.Width, 7016 + 150);
    QCOMPARE(p.Height, 4960 + 150);
  }

 private:
  static void EXPECT_COLOR(const QColor& got, const QColor& want) {
    QCOMPARE(got.name(), want.name());
  }
};

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
