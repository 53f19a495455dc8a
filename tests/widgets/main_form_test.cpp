// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user drives it: designed values, tab order, geometry of
// the vertical edits, visibility rules, the paper swap, fonts, conversion errors, closing,
// the preview check box and the printer display.

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "ModalDialogs.h"
#include "controls/qt/SaNumEdit.h"
#include "controls/qt/TateEdit.h"
#include "preview/Metafile.h"
#include "preview/PrintPreview.h"
#include "preview/qt/PrinterService.h"
#include "settings/NumberText.h"
#include "settings/SettingControls.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"
#include "ui/PrinterSetupDialog.h"
#include "ui/RadioGroup.h"

using namespace zelk;

namespace {

// Closes the next modal dialog once it is up, with `accept` or reject.
void CloseNextDialog(bool accept) {
  zelk::test::WhenModal([accept](QWidget* w) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (accept && dialog)
      dialog->accept();
    else
      zelk::test::CloseDialog(w);
  });
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TPrinterService> printer_;
  std::unique_ptr<TPreviewForm> preview_;
  std::unique_ptr<TMainForm> form_;
  QStringList errors_;

  // A window on the virtual printer at A4 600 dpi, shown as at a first start, with the
  // designed pixels as screen pixels.
  void Open() {
    printer_ = std::make_unique<TPrinterService>();
    QVERIFY(printer_->SelectPrinter(QStringLiteral("PDF")));
    printer_->SetOrientation(TPrinterOrientation::poPortrait);
    preview_ = std::make_unique<TPreviewForm>(*printer_, nullptr, 1.0);
    form_ = std::make_unique<TMainForm>(*printer_, nullptr, 1.0);
    form_->SetPreviewForm(preview_.get());
    errors_.clear();
    form_->ShowError = [this](const QString& m) { errors_ << m; };
  }

  void OpenAndShow() {
    Open();
    form_->show();
    form_->ShowFirstStart();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }

  QWidget* W(TSaNumEdit* e) { return e; }
  QString Text(TSaNumEdit* e) { return e->Text(); }

 private slots:
  void cleanup() {
    const int unanswered = zelk::test::TModalAnswer::DropPending();
    form_.reset();
    preview_.reset();
    printer_.reset();
    QCOMPARE(unanswered, 0);  // a dialog the test waited for never came up
  }

  // Every settings control shows the designed value of its table row, as the record's
  // defaults have it.
  void controlsShowTheirDesignedValues() {
    Open();
    const TPrintSetting defaults;
    for (const TControlSpec& c : SettingControls()) {
      switch (c.Kind) {
        case TControlKind::Number:
          QCOMPARE(form_->NumText(c.Id), FormatFloat0_00(c.Default));
          QCOMPARE(form_->NumEdit(c.Id)->Model().ReadOnly, c.ReadOnly);
          break;
        case TControlKind::Radio:
          QCOMPARE(form_->ItemIndex(c.Id), static_cast<int>(c.Default));
          break;
        case TControlKind::Spin:
          QCOMPARE(form_->SpinValue(c.Id), static_cast<int>(c.Default));
          break;
        case TControlKind::Check:
          QCOMPARE(form_->Checked(c.Id), c.Default != 0);
          break;
        case TControlKind::Edit:
          QVERIFY(form_->EditText(c.Id).empty());
          break;
        case TControlKind::Caption:
          QVERIFY(form_->ReadCaption(c.Id).empty());
          break;
      }
      QCOMPARE(form_->findChild<QWidget*>(QString::fromLatin1(c.Name)) != nullptr, true);
    }
    THeadlessSettingsForm headless;
    headless.ShowPrinterInfo(*printer_, u"");
    TPrintSetting fromWindow, fromHeadless;
    form_->ShowPrinterInfo();
    ReadFromForm(fromWindow, *form_, *printer_);
    ReadFromForm(fromHeadless, headless, *printer_);
    QCOMPARE(fromWindow.Tate, defaults.Tate);
    QCOMPARE(fromWindow.YohakuL, defaults.YohakuL);
    QCOMPARE(fromWindow.PN_UC, defaults.PN_UC);
    QCOMPARE(fromWindow.LineWidth, fromHeadless.LineWidth);
    QCOMPARE(fromWindow.Orime, fromHeadless.Orime);
    QCOMPARE(form_->UpdateLock, 1);
    QVERIFY(!form_->Modified);
  }

  void constructionReplacesTheDesignedEdits() {
    Open();
    QVERIFY(!form_->findChild<QLineEdit*>(QStringLiteral("E_YohakuU")));
    QVERIFY(!form_->findChild<QLineEdit*>(QStringLiteral("E_OutsideTextSpace")));
    // The focus links follow the names: 横： focuses the height's neighbour field.
    QCOMPARE(form_->L_PaperSizeH->buddy(), W(form_->NE_PaperSizeH));
    QCOMPARE(form_->L_YohakuU->buddy(), W(form_->NE_YohakuU));
    QCOMPARE(form_->L_OutsideTextSpace->buddy(), W(form_->NE_OutsideTextSpace));
    // Left, top and width are the designed edit's; the numeric edit sets its own height
    // from its font. (The paper's line moves down below its box's frame line.)
    QCOMPARE(W(form_->NE_YohakuU)->pos(), QPoint(150, 38));
    QCOMPARE(W(form_->NE_YohakuU)->width(), 40);
    QCOMPARE(W(form_->NE_PaperSizeH)->x(), 28);
    QCOMPARE(W(form_->NE_PaperSizeH)->width(), 77);
    QCOMPARE(W(form_->NE_PaperSizeV)->focusPolicy(), Qt::NoFocus);
    QVERIFY(form_->NE_PaperSizeV->Model().ReadOnly);
    QVERIFY(!form_->NE_OutsideTextSpace->Model().ReadOnly);
    QVERIFY(form_->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form_->Settings.size(), size_t{1});
    QCOMPARE(form_->CurrentSetting, form_->Settings.front().get());
    QVERIFY(form_->windowTitle().startsWith(QStringLiteral("原稿用紙印刷 (")));
    const QString stem = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCOMPARE(form_->windowTitle(), QStringLiteral("原稿用紙印刷 (%1) - %1").arg(stem));
  }

  void titleTabIsTabbedCounterClockwise() {
    OpenAndShow();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->PageControl1->setCurrentWidget(form_->TS_Title);
    form_->E_TitleUL->setFocus();
    QCOMPARE(QApplication::focusWidget(), form_->E_TitleUL);
    const QList<QWidget*> expected = {
        form_->TE_TitleLU, form_->TE_TitleLD, form_->E_TitleBL, form_->E_TitleBR,
        form_->TE_TitleRD, form_->TE_TitleRU, form_->E_TitleUR, W(form_->NE_OutsideTextSpace)};
    for (QWidget* next : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), next->objectName());
    }
    // The distance field accepts typing although the designed edit was read-only.
    QTest::keyClick(W(form_->NE_OutsideTextSpace), Qt::Key_End);
    QTest::keyClick(W(form_->NE_OutsideTextSpace), Qt::Key_5);
    QCOMPARE(Text(form_->NE_OutsideTextSpace), QStringLiteral("1.55"));
    QCOMPARE(form_->CurrentSetting->OutsideTextSpace, 1.55);
  }

  void verticalEditsTouchTheBevel() {
    Open();
    const QRect bevel = form_->B_Title->geometry();
    QCOMPARE(bevel, QRect(35, 35, 243, 176));
    struct {
      TTateEdit* Edit;
      bool Right;
      bool Lower;
    } const edits[] = {{form_->TE_TitleLU, false, false},
                       {form_->TE_TitleLD, false, true},
                       {form_->TE_TitleRD, true, true},
                       {form_->TE_TitleRU, true, false}};
    for (const auto& e : edits) {
      const QRect r = e.Edit->geometry();
      QCOMPARE(r.size(), QSize(20, 88));
      if (e.Right)
        QCOMPARE(r.left(), bevel.left() + bevel.width());
      else
        QCOMPARE(r.left() + r.width(), bevel.left());
      if (e.Lower)
        QCOMPARE(r.top() + r.height(), bevel.top() + bevel.height());
      else
        QCOMPARE(r.top(), bevel.top());
    }
    QCOMPARE(form_->TE_TitleLU->geometry(), QRect(15, 35, 20, 88));
    QCOMPARE(form_->TE_TitleLD->geometry(), QRect(15, 123, 20, 88));
    QCOMPARE(form_->TE_TitleRU->geometry(), QRect(278, 35, 20, 88));
  }

  void foldVisibility_data() {
    QTest::addColumn<int>("orime");
    QTest::addColumn<bool>("group");
    QTest::addColumn<bool>("width");
    QTest::newRow("付けない") << 0 << false << false;
    QTest::newRow("1行分") << 1 << true << false;
    QTest::newRow("幅指定") << 2 << true << true;
  }
  void foldVisibility() {
    QFETCH(int, orime);
    QFETCH(bool, group);
    QFETCH(bool, width);
    OpenAndShow();
    form_->RG_Orime->SetItemIndex(orime == 0 ? 2 : 0);
    form_->RG_Orime->SetItemIndex(orime);
    QCOMPARE(!form_->GB_Orime->isHidden(), group);
    QCOMPARE(!form_->RG_OrimeLineType->isHidden(), group);
    QCOMPARE(!form_->L_OrimeW->isHidden(), width);
    QCOMPARE(!W(form_->NE_OrimeW)->isHidden(), width);
    QCOMPARE(form_->CurrentSetting->Orime, orime);
    QVERIFY(form_->Modified);
  }

  void writingDirectionVisibility() {
    OpenAndShow();
    form_->CB_PN_UC->setChecked(false);
    form_->CB_PN_BR->setChecked(true);
    const QList<QCheckBox*> eight = {form_->CB_PN_UL, form_->CB_PN_UR, form_->CB_PN_LU,
                                     form_->CB_PN_LD, form_->CB_PN_RU, form_->CB_PN_RD,
                                     form_->CB_PN_BL, form_->CB_PN_BR};
    for (QCheckBox* b : eight) QVERIFY(b->isHidden());
    QVERIFY(!form_->CB_PN_UC->isHidden());
    form_->RG_Tategaki->SetItemIndex(1);
    for (QCheckBox* b : eight) QVERIFY(!b->isHidden());
    QVERIFY(form_->CB_PN_UC->isHidden());
    QCOMPARE(form_->L_PageNumber->text(), QStringLiteral("紙から(&C)"));
    QVERIFY(form_->CurrentSetting->Yokogaki);
    form_->RG_Tategaki->SetItemIndex(0);
    QCOMPARE(form_->L_PageNumber->text(), QStringLiteral("中央から(&C)"));
    // The boxes keep their states through the switches, hidden or not.
    QVERIFY(!form_->CB_PN_UC->isChecked());
    QVERIFY(form_->CB_PN_BR->isChecked());
    QVERIFY(form_->CurrentSetting->PN_BR);
  }

  void pageNumberVisibility() {
    OpenAndShow();
    form_->CB_PageNumber->setChecked(false);
    QVERIFY(form_->GB_PageNumber->isHidden());
    QVERIFY(!form_->CurrentSetting->PageNumber);
    form_->CB_PageNumber->setChecked(true);
    QVERIFY(!form_->GB_PageNumber->isHidden());
  }

  void landscapeSwapsThePaperFields() {
    OpenAndShow();
    form_->SetNumText(TControl::NE_PaperSizeV, u"209.97");
    form_->SetNumText(TControl::NE_PaperSizeH, u"297.01");
    form_->RG_Orientation->SetItemIndex(0);
    form_->SetNumText(TControl::NE_PaperSizeV, u"209.97");
    form_->SetNumText(TControl::NE_PaperSizeH, u"297.01");
    form_->RG_Orientation->SetItemIndex(1);
    QCOMPARE(Text(form_->NE_PaperSizeV), QStringLiteral("297.01"));
    QCOMPARE(Text(form_->NE_PaperSizeH), QStringLiteral("209.97"));
    QCOMPARE(printer_->Orientation(), TPrinterOrientation::poLandscape);
    QCOMPARE(form_->CurrentSetting->PaperWidth, 297.01);
    QCOMPARE(form_->UpdateLock, 0);
  }

  void noSwapWhileAFileLoads() {
    OpenAndShow();
    TPrintSetting loaded;
    loaded.Portrait = true;
    loaded.PaperWidth = 182;
    loaded.PaperHeight = 257;
    ++form_->UpdateLock;
    WriteToForm(loaded, *form_);
    --form_->UpdateLock;
    QCOMPARE(form_->RG_Orientation->ItemIndex(), 0);
    QCOMPARE(Text(form_->NE_PaperSizeV), QStringLiteral("182"));
    QCOMPARE(Text(form_->NE_PaperSizeH), QStringLiteral("257"));
  }

  void cancelledFontDialogLeavesModifiedAlone() {
    OpenAndShow();
    QVERIFY(!form_->Modified);
    const TFont before = form_->CurrentSetting->CenterCaptionFont;
    CloseNextDialog(false);
    form_->B_SetCenterCaptionFont->click();
    QVERIFY(!form_->Modified);
    QVERIFY(form_->CurrentSetting->CenterCaptionFont == before);
  }

  // Screen readers see both kinds of edit as editable text, named by their label or,
  // for the vertical edits, by their place, and can read and change the text.
  void editsAreAccessible() {
    OpenAndShow();
    struct {
      QWidget* Edit;
      QString Name;
    } rows[] = {{form_->TE_TitleLU, QString::fromUtf8("左上")},
                {form_->TE_TitleRD, QString::fromUtf8("右下")},
                {form_->NE_YohakuU, form_->L_YohakuU->text().remove(QLatin1Char('&'))}};
    for (const auto& row : rows) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(row.Edit);
      QVERIFY(a);
      QCOMPARE(a->role(), QAccessible::EditableText);
      QCOMPARE(a->text(QAccessible::Name), row.Name);
      QVERIFY(a->textInterface());
      QVERIFY(a->editableTextInterface());
      QVERIFY(a->state().editable);
    }
    QAccessibleInterface* tate = QAccessible::queryAccessibleInterface(form_->TE_TitleLU);
    tate->editableTextInterface()->insertText(0, QString::fromUtf8("原稿"));
    QCOMPARE(form_->TE_TitleLU->ReadCaption(), QString::fromUtf8("原稿"));
    QCOMPARE(tate->textInterface()->text(0, 2), QString::fromUtf8("原稿"));
    QVERIFY(!tate->textInterface()->characterRect(1).isEmpty());
    QAccessibleInterface* num = QAccessible::queryAccessibleInterface(form_->NE_YohakuU);
    num->editableTextInterface()->replaceText(0, num->textInterface()->characterCount(),
                                              QStringLiteral("20"));
    QCOMPARE(form_->CurrentSetting->YohakuU, 20.0);
  }

  void confirmedUnchangedFontStaysExactlyAsItWas_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("shown");
    QTest::newRow("vertical Windows face") << "@ＭＳ 明朝" << false << false << 8 << "IPAMincho";
    // The default face: its stand-in has an "Oblique" style that must not be taken.
    QTest::newRow("Tahoma regular") << "Tahoma" << false << false << 8 << "DejaVu Sans";
    QTest::newRow("Tahoma bold") << "Tahoma" << true << false << 11 << "DejaVu Sans";
    QTest::newRow("gothic bold italic") << "ＭＳ ゴシック" << true << true << 12 << "IPAGothic";
  }

  void confirmedUnchangedFontStaysExactlyAsItWas() {
    QFETCH(QString, face);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(int, size);
    QFETCH(QString, shown);
    OpenAndShow();
    TFont& font = form_->CurrentSetting->TitleLUFont;
    font.SetName(face.toStdU16String());
    font.SetSize(size);
    TFontStyles style;
    style.Bold = bold;
    style.Italic = italic;
    font.SetStyle(style);
    const TFont before = font;
    CloseNextDialog(true);
    form_->SB_TitleLU->click();
    QVERIFY(form_->CurrentSetting->TitleLUFont == before);
    // The dialog showed the face that is drawn for it, in the stored style where the
    // face has styles to choose from (the IPA faces have one style only).
    const QFont selected = form_->FontDialog1->selectedFont();
    QCOMPARE(selected.family(), shown);
    if (QFontDatabase::styles(shown).size() > 1) {
      QCOMPARE(selected.italic(), italic);
      QCOMPARE(selected.bold(), bold);
    }
    QVERIFY(form_->Modified);
  }

  void emptiedMarginThenDigit() {
    OpenAndShow();
    QWidget* top = W(form_->NE_YohakuU);
    top->setFocus();
    QTest::keyClick(top, Qt::Key_End);
    QTest::keyClick(top, Qt::Key_Backspace);
    QTest::keyClick(top, Qt::Key_Backspace);
    QCOMPARE(Text(form_->NE_YohakuU), QString());
    QCOMPARE(errors_.size(), 1);
    QCOMPARE(errors_.front(), QStringLiteral("'' は浮動小数点数ではありません"));
    QCOMPARE(form_->UpdateLock, 0);
    QCOMPARE(form_->CurrentSetting->YohakuU, 1.0);  // from the first deletion
    QTest::keyClick(top, Qt::Key_7);
    QCOMPARE(errors_.size(), 1);
    QCOMPARE(form_->CurrentSetting->YohakuU, 7.0);
  }

  void enterInACaptionClosesTheWindow() {
    OpenAndShow();
    bool asked = false;
    form_->Commands.CloseQuery = [&asked] { return asked = true; };
    form_->PageControl1->setCurrentWidget(form_->TabSheet3);
    form_->E_CenterCaption->setFocus();
    QTest::keyClick(form_->E_CenterCaption, Qt::Key_Return);
    QVERIFY(asked);
    QVERIFY(form_->isHidden());
  }

  void closeQueryCanKeepTheWindowOpen() {
    OpenAndShow();
    form_->Commands.CloseQuery = [] { return false; };
    form_->B_Close->click();
    QVERIFY(!form_->isHidden());
  }

  void previewCheckBoxShowsAndClosingClearsIt() {
    OpenAndShow();
    form_->CB_ShowPrivew->setChecked(true);
    QVERIFY(!preview_->isHidden());
    QCOMPARE(preview_->Recorder().GetPageCount(), 1);
    // Every change redraws the shown preview.
    const size_t opsBefore = preview_->Recorder().GetPage(0)->Ops.size();
    form_->SE_Tate->setValue(10);
    // Half the rows: the shown preview was recorded again.
    QVERIFY(preview_->Recorder().GetPage(0)->Ops.size() < opsBefore);
    QCOMPARE(form_->CurrentSetting->Tate, 10);
    preview_->close();
    QVERIFY(!form_->CB_ShowPrivew->isChecked());
    QVERIFY(preview_->isHidden());
  }

  void emptiedTopMarginShowsThePreviousPicture() {
    OpenAndShow();
    form_->CB_ShowPrivew->setChecked(true);
    const TMetafileEx* page = preview_->Recorder().GetPage(0);
    form_->CB_ShowPrivew->setChecked(false);
    form_->NE_YohakuU->Model().SetText(u"");
    form_->CB_ShowPrivew->setChecked(true);
    QVERIFY(!preview_->isHidden());
    QCOMPARE(preview_->Image()->Picture().Page, page);
    QVERIFY(errors_.isEmpty());
  }

  void printerInfoShowsTheRoundedSizes_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("A4 at 600 dpi: 4960 x 7016") << 600 << "209.97"
                                                << "297.01";
    QTest::newRow("A4 at 254 dpi: 2100 x 2970") << 254 << "210"
                                                << "297";
  }
  void printerInfoShowsTheRoundedSizes() {
    QFETCH(int, dpi);
    QFETCH(QString, width);
    QFETCH(QString, height);
    Open();
    QVERIFY(printer_->Virtual().SetResolution(dpi, dpi));
    form_->PaperName = QStringLiteral("A4");
    form_->ShowPrinterInfo();
    QCOMPARE(Text(form_->NE_PaperSizeV), width);
    QCOMPARE(Text(form_->NE_PaperSizeH), height);
    QCOMPARE(form_->E_PaperName->text(), QStringLiteral("A4"));
    QCOMPARE(form_->RG_Orientation->ItemIndex(), 0);
    QCOMPARE(form_->L_PrinterName->text(), QStringLiteral("プリンター : PDF ファイル"));
  }

  void setupDialogStoresThePaperNameAlsoOnCancel() {
    OpenAndShow();
    const QString before = form_->E_PaperName->text();
    zelk::test::WhenModal([this](QWidget*) {
      auto* d = form_->PrinterSetupDialog1;
      d->PaperBox()->setCurrentIndex(d->PaperBox()->findText(QStringLiteral("JIS B5")));
      d->reject();
    });
    form_->SB_PrinerSetup->click();
    QCOMPARE(form_->PaperName, QStringLiteral("JIS B5"));
    QCOMPARE(form_->E_PaperName->text(), before);
    QCOMPARE(printer_->Virtual().Paper().Name, std::u16string(u"A4"));
  }

  void setupDialogTurnsThePaperOnce() {
    OpenAndShow();
    QString title;
    zelk::test::WhenModal([this, &title](QWidget* w) {
      title = w->windowTitle();
      auto* d = form_->PrinterSetupDialog1;
      d->LandscapeButton()->setChecked(true);
      d->accept();
    });
    form_->SB_PrinerSetup->click();
    // One name for the dialog: the tool button's, the help page's and its title.
    QCOMPARE(title, form_->SB_PrinerSetup->toolTip());
    QCOMPARE(form_->RG_Orientation->ItemIndex(), 1);
    QCOMPARE(Text(form_->NE_PaperSizeV), QStringLiteral("297.01"));
    QCOMPARE(Text(form_->NE_PaperSizeH), QStringLiteral("209.97"));
    QVERIFY(!form_->CurrentSetting->Portrait);
    QCOMPARE(form_->CurrentSetting->PaperWidth, 297.01);
  }

  void firstStartGivesTheDefaults() {
    OpenAndShow();
    const TPrintSetting& s = *form_->CurrentSetting;
    QVERIFY(!form_->Modified);
    QCOMPARE(form_->UpdateLock, 0);
    QCOMPARE(s.YohakuU, 12.0);
    QCOMPARE(s.YohakuL, 15.0);
    QCOMPARE(s.LineWidth, 0.3);
    QCOMPARE(s.Tate, 20);
    QCOMPARE(s.LineType, 4);
    QVERIFY(s.Portrait);
    QCOMPARE(s.PaperWidth, 209.97);
    QCOMPARE(s.PrinterInfo.PhysicalWidth, 4960);
  }

  void screenshotsOfEveryTab() {
    // With ZELK_SCREENSHOTS set to a folder, every tab is saved there at the scale of
    // the screen and font; either way no caption may be wider than its control.
    printer_ = std::make_unique<TPrinterService>();
    QVERIFY(printer_->SelectPrinter(QStringLiteral("PDF")));
    printer_->SetOrientation(TPrinterOrientation::poPortrait);
    form_ = std::make_unique<TMainForm>(*printer_);
    form_->ShowError = [](const QString&) {};
    form_->show();
    form_->ShowFirstStart();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QString dir = qEnvironmentVariable("ZELK_SCREENSHOTS");
    for (int i = 0; i < form_->PageControl1->count(); ++i) {
      form_->PageControl1->setCurrentIndex(i);
      QApplication::processEvents();
      QWidget* page = form_->PageControl1->widget(i);
      for (QLabel* l : page->findChildren<QLabel*>()) {
        QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->text()));
        // A caption must not run under its field.
        if (l->buddy() && l->buddy()->parentWidget() == l->parentWidget() &&
            l->buddy()->y() < l->y() + l->height() &&
            l->y() < l->buddy()->y() + l->buddy()->height())
          QVERIFY2(
              l->geometry().right() < l->buddy()->x() || l->x() > l->buddy()->geometry().right(),
              qPrintable(l->text()));
      }
      for (QAbstractButton* b : page->findChildren<QAbstractButton*>())
        if (!b->text().isEmpty() && !qobject_cast<QToolButton*>(b))
          QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
      if (!dir.isEmpty())
        QVERIFY(
            form_->grab().save(QDir(dir).filePath(QStringLiteral("main-tab%1.png").arg(i + 1))));
    }
  }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
