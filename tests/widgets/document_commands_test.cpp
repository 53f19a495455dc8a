// SPDX-License-Identifier: GPL-3.0-or-later
// The document state machine of the main window, with the dialogs answered by the
// test, the real file dialog and question answered as a user would once they are up,
// and the state file written and read through the real windows.

#include <malloc.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <functional>

#include "ModalDialogs.h"
#include "preview/ManuscriptPages.h"
#include "preview/PrintPreview.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/Printing.h"
#include "settings/SettingsFileIO.h"
#include "settings/SheetPresets.h"
#include "ui/ColorChoice.h"
#include "ui/DocumentCommands.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"

using namespace zelk;
using zelk::test::CloseDialog;
using zelk::test::WhenModal;

// True when one of the page's text ops is `text`.
bool PageHasText(const TMetafileEx& page, const std::u16string& text) {
  for (const TRecordedOp& op : page.Ops)
    if (op.Kind == TOpKind::Text && page.Texts[op.Index].Text == text) return true;
  return false;
}

bool PageHasText(const TPrintPreview& recorder, const std::u16string& text) {
  return recorder.GetPageCount() > 0 && PageHasText(*recorder.GetPage(0), text);
}

// Writes `bytes` into `path`: in place, or as an editor that saves a new file over it.
bool WriteFile(const QString& path, const QByteArray& bytes, bool inPlace = true) {
  if (!inPlace) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class DocumentCommandsTest : public QObject {
  Q_OBJECT

  struct TFixture {
    QTemporaryDir dir;
    TPrinterService printer;
    TMainForm form{printer, nullptr, 1.0};
    TPreviewForm preview{printer, nullptr, 1.0};
    std::unique_ptr<TDocumentCommands> doc;
    QStringList log;        // dialogs in the order they appeared
    QStringList savePaths;  // answers of the save dialog, in order ("" cancels)
    QList<QMessageBox::StandardButton> answers;
    QStringList messages;
    int printerSetups = 0;

    /// `realDialogs`: the file dialogs and the question are the program's own.
    explicit TFixture(bool realDialogs = false) {
      printer.SelectPrinter(QStringLiteral("PDF"));
      form.SetPreviewForm(&preview);
      TAppFiles files;
      files.SettingFileName = Path("zelk.zelk");
      files.StateFileName = Path("zelk.dat");
      doc = std::make_unique<TDocumentCommands>(form, printer, files, SystemEnvironment());
      doc->PrinterSetup = [this] { ++printerSetups; };
      if (realDialogs) return;
      doc->AskSavePath = [this](const QString&) {
        log << "save-dialog";
        return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
      };
      doc->AskDiscardChanges = [this] {
        log << "question";
        return answers.isEmpty() ? QMessageBox::Cancel : answers.takeFirst();
      };
      doc->ShowMessage = [this](const QString& m) { messages << m; };
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    QString QPath(const char* name) const { return dir.filePath(name); }
  };

  // A later start in the same folder, on its own virtual printer (A4 portrait), with its
  // preview window as the program has it.
  struct TLaterStart {
    TPrinterService printer;
    TMainForm form{printer, nullptr, 1.0};
    TPreviewForm preview{printer, nullptr, 1.0};
    std::unique_ptr<TDocumentCommands> doc;
    QStringList questions;
    QStringList messages;
    explicit TLaterStart(const TFixture& f) {
      printer.SelectPrinter(QStringLiteral("PDF"));
      form.SetPreviewForm(&preview);
      TAppFiles files;
      files.SettingFileName = f.Path("zelk.zelk");
      files.StateFileName = f.Path("zelk.dat");
      doc = std::make_unique<TDocumentCommands>(form, printer, files, SystemEnvironment());
      doc->PrinterSetup = [] { QFAIL("a later start asked for the printer"); };
      doc->ShowMessage = [this](const QString& m) { messages << m; };
      doc->AskYesNo = [this](const QString& q) {
        questions << q;
        return false;
      };
      doc->FormShow();
    }
  };

 private slots:
  void cleanup() {
    // A dialog the test waited for never came up.
    QCOMPARE(zelk::test::TModalAnswer::DropPending(), 0);
  }

  void firstShowingWithoutStateFileAsksForThePrinterAndEndsUnmodified() {
    TFixture f;
    f.doc->FormShow();
    QCOMPARE(f.printerSetups, 1);
    QCOMPARE(f.form.UpdateLock, 0);
    QVERIFY(!f.form.Modified);
    QVERIFY(f.form.windowTitle().endsWith(QStringLiteral(" - zelk")));
  }

  void savingUnchangedWritesNothing() {
    TFixture f;
    f.doc->FormShow();
    f.doc->SB_SaveClick();
    QVERIFY(!QFile::exists(f.QPath("zelk.zelk")));
    QVERIFY(f.log.isEmpty());
  }

  void namedChangedDocumentIsSavedSilently() {
    TFixture f;
    f.doc->FormShow();
    f.form.Modified = true;
    QVERIFY(f.doc->SaveIfModified());
    QVERIFY(QFile::exists(f.QPath("zelk.zelk")));
    QVERIFY(f.log.isEmpty());
    QVERIFY(!f.form.Modified);
  }

  void afterNewClosingAsksThenNoAsksAgainAndCancelKeepsTheWindow() {
    TFixture f;
    f.doc->FormShow();
    f.form.show();
    f.doc->SB_NewClick();
    QVERIFY(f.form.Modified);
    QVERIFY(f.form.windowTitle().endsWith(QStringLiteral(" - ")));
    f.answers = {QMessageBox::No, QMessageBox::Cancel};
    QVERIFY(!f.form.close());
    QVERIFY(f.form.isVisible());
    QCOMPARE(f.log, (QStringList{"save-dialog", "question", "save-dialog", "question"}));
    // Yes discards: the window may close, and nothing is written.
    f.log.clear();
    f.answers = {QMessageBox::Yes};
    QVERIFY(f.doc->SaveIfModified());
    QVERIFY(!f.form.Modified);
    QCOMPARE(f.log, (QStringList{"save-dialog", "question"}));
  }

  void saveAsWritesTheNewFileAndChangesTheCaption() {
    TFixture f;
    f.doc->FormShow();
    f.savePaths = {f.QPath("新しい用紙.zelk")};
    f.doc->SB_SaveAsClick();
    QVERIFY(QFile::exists(f.QPath("新しい用紙.zelk")));
    QCOMPARE(f.form.SettingFileName, f.QPath("新しい用紙.zelk"));
    QVERIFY(f.form.windowTitle().endsWith(QStringLiteral(" - 新しい用紙")));
    QVERIFY(!f.form.Modified);
    // Cancelling save-as does nothing.
    f.doc->SB_SaveAsClick();
    QCOMPARE(f.form.SettingFileName, f.QPath("新しい用紙.zelk"));
  }

  void saveAsThroughTheFileDialog() {
    TFixture f(true);
    f.doc->FormShow();
    const QString path = f.QPath("用紙");
    QString filter;
    WhenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      if (!dialog) return CloseDialog(w);
      filter = dialog->nameFilters().join(";;");
      zelk::test::EnterFileName(dialog, path);
    });
    f.doc->SB_SaveAsClick();
    QCOMPARE(filter, QStringLiteral("zelk設定ファイル (*.zelk);;全てのファイル (*)"));
    // The dialog adds the extension.
    QVERIFY(QFile::exists(path + ".zelk"));
    QVERIFY(f.form.windowTitle().endsWith(QStringLiteral(" - 用紙")));
  }

  void closingAnUnnamedChangeAsksAndCancelKeepsTheWindow() {
    TFixture f(true);
    f.doc->FormShow();
    f.form.show();
    f.doc->SB_NewClick();
    QStringList shown;
    QString question;
    WhenModal([&](QWidget* w) {
      shown << w->metaObject()->className();
      // Cancelling the save dialog brings up the question.
      WhenModal([&](QWidget* w) {
        shown << w->metaObject()->className();
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->button(QMessageBox::Cancel)) return CloseDialog(w);
        question = box->text();
        box->button(QMessageBox::Cancel)->click();
      });
      CloseDialog(w);
    });
    QVERIFY(!f.form.close());
    QCOMPARE(shown, (QStringList{"QFileDialog", "QMessageBox"}));
    QCOMPARE(question, QStringLiteral("データが変更されています。保存はしないのですか？"));
    QVERIFY(f.form.isVisible());
    QVERIFY(f.form.Modified);
  }

  void openingAFileThatDoesNotExistChangesNothing() {
    TFixture f;
    f.doc->FormShow();
    const QString caption = f.form.windowTitle();
    f.doc->AskOpenPath = [&f] { return f.QPath("none.zelk"); };
    f.doc->SB_OpenClick();
    QCOMPARE(f.form.windowTitle(), caption);
    QCOMPARE(f.form.SettingFileName, f.QPath("none.zelk"));
    QVERIFY(f.messages.isEmpty());
  }

  // What the window cannot take is said in its message box, and nothing blocks or is
  // replaced: a FIFO to open or to save over, a text longer than its field.
  void specialFilesAndLongTextsAreReported() {
    TFixture f;
    f.doc->FormShow();
    QVERIFY(::mkfifo(f.Path("pipe.zelk").c_str(), 0600) == 0);
    f.doc->OpenPath(f.QPath("pipe.zelk"));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].contains(QStringLiteral("通常のファイルではありません")));
    f.form.Modified = true;
    QVERIFY(!f.doc->SaveIfModified());
    QCOMPARE(f.messages.size(), 2);
    QVERIFY(f.messages[1].contains(QStringLiteral("通常のファイルではありません")));
    QVERIFY(QFileInfo(f.QPath("pipe.zelk")).isFile() == false);

    TPrintSetting s;
    s.TitleUL = std::u16string(40000, u'字');
    QVERIFY(SaveSettingsFile(f.Path("long.zelk"), s, nullptr));
    f.form.Modified = false;
    f.doc->OpenPath(f.QPath("long.zelk"));
    QCOMPARE(f.messages.size(), 3);
    QVERIFY(f.messages[2].contains(QStringLiteral("32767")));
    QVERIFY(f.messages[2].contains(QStringLiteral("TitleUL")));
    QCOMPARE(f.form.CurrentSetting->TitleUL.size(), size_t(32767));

    // A length no field can show is named with its value; the design stays as it was.
    s = TPrintSetting();
    s.YohakuU = 1e308;
    QVERIFY(SaveSettingsFile(f.Path("huge.zelk"), s, nullptr));
    f.doc->OpenPath(f.QPath("huge.zelk"));
    QCOMPARE(f.messages.size(), 4);
    QVERIFY(f.messages[3].contains(QStringLiteral("YohakuU")));
    QVERIFY(f.messages[3].contains(QStringLiteral("1e+308")));
    QCOMPARE(f.form.CurrentSetting->TitleUL.size(), size_t(32767));
  }

  void openingASavedFileRestoresItsDesign() {
    TFixture f;
    f.doc->FormShow();
    f.form.SetSpinValue(TControl::SE_Tate, 12);  // a change through the controls
    QVERIFY(f.form.Modified);
    f.savePaths = {f.QPath("twelve.zelk")};
    f.doc->SB_SaveAsClick();
    f.log.clear();
    f.form.SetSpinValue(TControl::SE_Tate, 30);
    f.doc->SB_SaveClick();  // named: saved silently to twelve.zelk with 30
    f.doc->AskOpenPath = [&f] { return f.QPath("twelve.zelk"); };
    f.form.SetSpinValue(TControl::SE_Tate, 7);
    f.doc->SB_NewClick();  // saves twelve.zelk with 7 first, then unnamed
    f.form.SetSpinValue(TControl::SE_Tate, 25);
    f.answers = {QMessageBox::Yes};
    f.doc->SB_OpenClick();  // unnamed and changed: no name given, the changes discarded
    QCOMPARE(f.log, (QStringList{"save-dialog", "question"}));
    QCOMPARE(f.form.SpinValue(TControl::SE_Tate), 7);
    QVERIFY(!f.form.Modified);
    QVERIFY(f.form.windowTitle().endsWith(QStringLiteral(" - twelve")));
  }

  void failedSaveNamesTheFileAndKeepsModified() {
    TFixture f;
    f.doc->FormShow();
    QFile blocker(f.QPath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.form.SettingFileName = f.QPath("blocker") + "/x.zelk";
    f.form.Modified = true;
    QVERIFY(!f.doc->SaveIfModified());
    QVERIFY(f.form.Modified);
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].contains(f.form.SettingFileName));
    // Closing then stays open rather than lose the changes.
    f.form.show();
    QVERIFY(!f.form.close());
  }

  void defaultFileInAMissingConfigFolderIsSaved() {
    TFixture f;
    TAppFiles files;
    files.SettingFileName = f.Path("config/zelk/zelk.zelk");
    files.StateFileName = f.Path("config/zelk/zelk.dat");
    TDocumentCommands doc(f.form, f.printer, files, SystemEnvironment());
    f.form.Modified = true;
    QVERIFY(doc.SaveIfModified());
    QVERIFY(QFile::exists(f.QPath("config/zelk/zelk.zelk")));
  }

  void textOutsideCodePage932IsReportedAfterSaving() {
    TFixture f;
    f.doc->FormShow();
    f.form.CurrentSetting->CenterCaption = u"春😀";
    f.form.CurrentSetting->TitleUL = u"¥100";
    f.form.Modified = true;
    QVERIFY(f.doc->SaveIfModified());
    QVERIFY(QFile::exists(f.QPath("zelk.zelk")));
    QCOMPARE(f.messages.size(), 1);
    // Each field, character and stand-in is named.
    QVERIFY(f.messages[0].contains(QStringLiteral("CenterCaption の「😀」は「?」")));
    QVERIFY(f.messages[0].contains(QStringLiteral("TitleUL の「¥」は「\\」")));
    QCOMPARE(TextsLostInCp932(TPrintSetting()), QStringList());
  }

  void stateFileRestoresTabPositionFileAndPreview() {
    TFixture f;
    f.doc->FormShow();
    f.form.SetActiveTab(4);
    f.form.move(123, 77);
    f.form.SettingFileName = f.QPath("elsewhere.zelk");
    f.preview.setGeometry(40, 50, 700, 500);
    QVERIFY(f.doc->WriteStateFile());
    QCOMPARE(QFileInfo(f.QPath("zelk.dat")).size(),
             qint64(104 + 2 * f.QPath("elsewhere.zelk").size()));

    TPrinterService printer;
    printer.SelectPrinter(QStringLiteral("PDF"));
    TMainForm again(printer, nullptr, 1.0);
    TAppFiles files;
    files.SettingFileName = f.Path("zelk.zelk");
    files.StateFileName = f.Path("zelk.dat");
    TDocumentCommands doc(again, printer, files, SystemEnvironment());
    int setups = 0;
    doc.PrinterSetup = [&setups] { ++setups; };
    doc.FormShow();
    QCOMPARE(setups, 0);
    QCOMPARE(again.ActiveTab(), 4);
    QCOMPARE(again.pos(), QPoint(123, 77));
    QCOMPARE(again.SettingFileName, f.QPath("elsewhere.zelk"));
    // The preview section created the preview window it needed.
    QVERIFY(again.PreviewForm() != nullptr);
    QCOMPARE(again.PreviewForm()->geometry(), QRect(40, 50, 700, 500));
  }

  // No start draws a sheet from a paper of no size: without a design, or with one whose
  // paper a broken file made zero or absurd, the sheet is the printer's paper.
  void aStartWithoutAUsablePaperShowsThePrintersPaper_data() {
    QTest::addColumn<bool>("design");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("said");
    QTest::newRow("state file, no settings file") << false << 0.0 << 0.0 << QString();
    QTest::newRow("paper 0 x 0") << true << 0.0 << 0.0 << QStringLiteral("0 × 0 mm");
    QTest::newRow("paper -5 x 297") << true << -5.0 << 297.0 << QStringLiteral("-5 × 297 mm");
    QTest::newRow("paper 6000 x 8000")
        << true << 6000.0 << 8000.0 << QStringLiteral("6000 × 8000 mm");
  }

  void aStartWithoutAUsablePaperShowsThePrintersPaper() {
    QFETCH(bool, design);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, said);
    TFixture f;
    f.doc->FormShow();
    QVERIFY(f.doc->WriteStateFile());  // the first start closes unchanged
    if (design) {
      TPrintSetting broken = *f.form.CurrentSetting;
      broken.PaperName = u"";
      broken.PaperWidth = width;
      broken.PaperHeight = height;
      broken.Portrait = false;
      std::string error;
      QVERIFY2(SaveSettingsFile(f.Path("zelk.zelk"), broken, &error), error.c_str());
    }
    TLaterStart later(f);
    const TPrintSetting& s = *later.form.CurrentSetting;
    QCOMPARE(later.form.EditText(TControl::E_PaperName), std::u16string(u"A4"));
    QVERIFY2(std::abs(s.PaperWidth - 210) < 1 && std::abs(s.PaperHeight - 297) < 1,
             qPrintable(QStringLiteral("%1 x %2").arg(s.PaperWidth).arg(s.PaperHeight)));
    QVERIFY(s.Portrait);
    QCOMPARE(later.form.ItemIndex(TControl::RG_Orientation), 0);
    QVERIFY2(said.isEmpty() ? later.form.PrinterWarning().isEmpty()
                            : later.form.PrinterWarning().contains(said),
             qPrintable(later.form.PrinterWarning()));
    QVERIFY(!later.form.Modified);
    // The printer has the paper shown: printing asks nothing.
    QVERIFY(later.doc->ConfirmPaper());
    QVERIFY(later.questions.isEmpty());
  }

  // The virtual printer has every paper: a B4 design opened on it prints on B4.
  void theVirtualPrinterTakesTheDesignsPaper() {
    TFixture f;
    f.doc->FormShow();
    TPrintSetting b4 = *f.form.CurrentSetting;
    b4.PaperName = u"JIS B4";
    b4.PaperWidth = 364;
    b4.PaperHeight = 257;
    b4.Portrait = false;
    std::string error;
    QVERIFY(SaveSettingsFile(f.Path("b4.zelk"), b4, &error));
    f.doc->OpenPath(f.QPath("b4.zelk"));
    QCOMPARE(f.printer.Virtual().Paper().WidthMm, 257.0);
    QCOMPARE(f.printer.Virtual().Paper().HeightMm, 364.0);
    QCOMPARE(f.printer.Orientation(), TPrinterOrientation::poLandscape);
    QVERIFY(f.form.PrinterWarning().isEmpty());
    QVERIFY(!f.form.PaperMismatch());
    QCOMPARE(f.form.CurrentSetting->PaperWidth, 364.0);
  }

  // 用紙のひな形: the menu sets every control at once as a new design, after the
  // question about the changes before; a cancelled question keeps the design.
  void aReadyMadeSheetIsANewDesignOnItsPaper() {
    TFixture f;
    f.doc->FormShow();
    f.savePaths = {f.QPath("mine.zelk")};
    f.doc->SB_SaveAsClick();
    f.form.SetSpinValue(TControl::SE_Tate, 12);
    QMenu* menu = f.form.SB_Presets->menu();
    QVERIFY(menu);
    QAction* b4 = nullptr;
    for (QAction* a : menu->actions())
      if (a->data().toString() == QLatin1String("b4-400")) b4 = a;
    QVERIFY(b4);
    QCOMPARE(b4->text(), QStringLiteral("400字詰め B4 横"));
    QCOMPARE(menu->actions().size(), int(SheetPresets().size()));

    f.answers = {QMessageBox::Cancel};
    f.form.SettingFileName.clear();  // unnamed: the question comes
    b4->trigger();
    QCOMPARE(f.form.SpinValue(TControl::SE_Tate), 12);

    f.form.SettingFileName = f.QPath("mine.zelk");
    b4->trigger();  // named and changed: saved first, silently
    TPrintSetting saved;
    std::string error;
    QVERIFY(LoadSettingsFile(f.Path("mine.zelk"), saved, nullptr, &error));
    QCOMPARE(saved.Tate, 12);
    QVERIFY(f.form.Modified);
    QVERIFY(f.form.SettingFileName.isEmpty());
    QCOMPARE(f.form.SpinValue(TControl::SE_Tate), 20);
    QCOMPARE(f.form.CurrentSetting->LineColor, kManuscriptPalette[0].Color);
    QCOMPARE(f.form.CB_LineColor->currentText(), QStringLiteral("茶"));
    QVERIFY(f.form.CB_FrameColor->Follows());
    QCOMPARE(f.printer.Virtual().Paper().WidthMm, 257.0);
    QCOMPARE(f.printer.Orientation(), TPrinterOrientation::poLandscape);
    QVERIFY(!f.form.PaperMismatch());
  }

  // The 線 tab's colours: a frame that follows the line colour changes with it, one of
  // its own keeps it; その他の色 asks, and a cancelled question changes nothing. A saved
  // design shows its colours again when opened.
  void lineColoursAreChosenSavedAndShownAgain() {
    TFixture f;
    f.doc->FormShow();
    TPrintSetting& s = *f.form.CurrentSetting;
    const auto pick = [](TColorChoice* box, const QString& text) {
      const int i = box->findText(text);
      QVERIFY2(i >= 0, qPrintable(text));
      box->setCurrentIndex(i);
      emit box->activated(i);
    };
    pick(f.form.CB_LineColor, QStringLiteral("緑"));
    QCOMPARE(s.LineColor, kManuscriptPalette[1].Color);
    QCOMPARE(s.FrameColor, s.LineColor);
    QCOMPARE(s.FoldColor, s.LineColor);
    QVERIFY(f.form.Modified);
    pick(f.form.CB_FrameColor, QStringLiteral("朱"));
    pick(f.form.CB_LineColor, QStringLiteral("藍"));
    QCOMPARE(s.FrameColor, kManuscriptPalette[2].Color);
    QCOMPARE(s.FoldColor, kManuscriptPalette[3].Color);
    f.form.CB_FoldColor->AskColor = [](TColor&) { return false; };
    pick(f.form.CB_FoldColor, QStringLiteral("その他の色..."));
    QCOMPARE(f.form.CB_FoldColor->currentText(), QStringLiteral("線と同じ"));
    f.form.CB_FoldColor->AskColor = [](TColor& c) {
      c = RgbColor(0x12, 0x34, 0x56);
      return true;
    };
    pick(f.form.CB_FoldColor, QStringLiteral("その他の色..."));
    QCOMPARE(s.FoldColor, RgbColor(0x12, 0x34, 0x56));
    QCOMPARE(f.form.CB_FoldColor->currentText(), QStringLiteral("#123456"));
    f.form.CB_CountMarks->setCurrentIndex(2);
    emit f.form.CB_CountMarks->activated(2);
    QCOMPARE(s.CountMarks, 10);

    f.savePaths = {f.QPath("colours.zelk")};
    f.doc->SB_SaveAsClick();
    f.doc->SB_NewClick();
    pick(f.form.CB_LineColor, QStringLiteral("黒"));
    f.answers = {QMessageBox::Yes};
    f.doc->AskOpenPath = [&f] { return f.QPath("colours.zelk"); };
    f.doc->SB_OpenClick();
    QCOMPARE(f.form.CB_LineColor->currentText(), QStringLiteral("藍"));
    QCOMPARE(f.form.CB_FrameColor->currentText(), QStringLiteral("朱"));
    QCOMPARE(f.form.CB_FoldColor->currentText(), QStringLiteral("#123456"));
    QCOMPARE(f.form.CB_CountMarks->currentIndex(), 2);
    QCOMPARE(f.form.CurrentSetting->FoldColor, RgbColor(0x12, 0x34, 0x56));
  }

  void printButtonRecordsAndPrintsWithThePreviewHidden() {
    TFixture f;
    f.doc->FormShow();
    QVERIFY(!f.preview.isVisible());
    int asked = 0;
    f.doc->AskPdfPath = [&] {
      ++asked;
      return f.QPath("print.pdf");
    };
    f.doc->SB_PrintClick();
    QCOMPARE(asked, 1);
    QVERIFY(QFileInfo(f.QPath("print.pdf")).size() > 0);
    QCOMPARE(f.preview.Recorder().GetPageCount(), 1);
    QVERIFY(!f.preview.isVisible());
    QCOMPARE(f.form.UpdateLock, 0);
    QVERIFY(f.messages.isEmpty());
    // Cancelling the output file prints nothing; a raised lock does nothing at all.
    f.doc->AskPdfPath = [] { return QString(); };
    QFile::remove(f.QPath("print.pdf"));
    f.doc->SB_PrintClick();
    QVERIFY(!QFile::exists(f.QPath("print.pdf")));
    f.form.UpdateLock = 1;
    f.doc->AskPdfPath = [&] {
      ++asked;
      return f.QPath("print.pdf");
    };
    f.doc->SB_PrintClick();
    QCOMPARE(asked, 1);
    f.form.UpdateLock = 0;
  }

  // 原稿を流し込む and 原稿を外す: the text's pages shown one at a time, kept across a
  // design change, all printed in order, and the blank sheet again.
  void aTextSetIntoTheSheetIsPagedPrintedAndTakenOff() {
    TFixture f;
    f.doc->FormShow();
    QVERIFY(!f.doc->ComposeTextFile(f.QPath("missing.txt")));
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(!f.preview.Text() && !f.preview.isVisible());
    f.messages.clear();

    QFile file(f.QPath("t.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("一の頁\n［＃改ページ］\n二の頁\n［＃改ページ］\n三の頁\n");
    file.close();
    TTextChoice last;
    f.doc->AskText = [&](const TTextChoice& previous) {
      last = previous;
      return TTextChoice{f.QPath("t.txt"), true, false};
    };
    f.doc->SB_ComposeTextClick();
    QCOMPARE(f.preview.Text()->Pages()[0].Cells[0].Cell, 2);  // a title from the third cell
    // Vertical writing begins at the page's right: the preview shows its top right.
    QScrollBar* across = f.preview.ScrollBox()->horizontalScrollBar();
    QTRY_VERIFY(across->maximum() > 0 && across->value() == across->maximum());
    QVERIFY(f.preview.isVisible() && f.form.PreviewShown());
    QVERIFY(f.preview.TB_Page->isVisible());
    QCOMPARE(f.preview.TB_Page->maximum(), 2);
    QCOMPARE(f.preview.L_PageOf->text(), QStringLiteral("1/3"));
    QVERIFY(PageHasText(f.preview.Recorder(), u"一"));

    f.preview.TB_Page->setValue(2);
    QCOMPARE(f.preview.ShownPage(), 2);
    QCOMPARE(f.preview.L_PageOf->text(), QStringLiteral("3/3"));
    QVERIFY(PageHasText(f.preview.Recorder(), u"三"));
    f.form.SetSpinValue(TControl::SE_Tate, 2);  // each line now takes two columns
    QCOMPARE(f.preview.Text()->Pages()[2].Cells.back().Line, 1);
    QCOMPARE(f.preview.TB_Page->maximum(), 2);
    QCOMPARE(f.preview.ShownPage(), 2);
    QVERIFY(PageHasText(f.preview.Recorder(), u"三"));

    QStringList printed;
    f.printer.SetOutputFile(f.QPath("t.pdf"));
    const TPrintResult result =
        f.preview.PrintPages(f.printer, [&](QPainter&, const TMetafileEx& page) {
          for (const char16_t* first : {u"一", u"二", u"三"})
            if (PageHasText(page, first)) printed << QString::fromStdU16String(first);
        });
    QCOMPARE(result.Outcome, TPrintOutcome::Printed);
    QCOMPARE(printed, (QStringList{"一", "二", "三"}));
    QCOMPARE(f.preview.ShownPage(), 2);  // printing leaves the page shown

    f.doc->SB_ComposeTextClick();  // the dialog offers the last choice
    QCOMPARE(last.Path, f.QPath("t.txt"));
    QVERIFY(last.Title);
    // A text named on the command line or by a later start is set in the same way.
    f.doc->SB_ClearTextClick();
    f.doc->OpenPath(f.QPath("t.txt"));
    QVERIFY(f.preview.Text());
    QCOMPARE(f.form.SettingFileName, f.QPath("zelk.zelk"));
    f.doc->SB_ClearTextClick();
    QVERIFY(!f.preview.Text() && !f.preview.TB_Page->isVisible());
    QCOMPARE(f.preview.Recorder().GetPageCount(), 1);
    QVERIFY(!PageHasText(f.preview.Recorder(), u"三"));
    QVERIFY(f.messages.isEmpty());
  }

  // The text set in comes back at the next start on the page shown, is set again when
  // its file changes on disk, however it is saved, and gives way to the blank sheet when
  // the file goes; a text whose file went while the program was not running is named.
  void aTextComesBackAtTheNextStartAndFollowsItsFile() {
    TFixture f;
    const QString t = f.QPath("t.txt");
    QVERIFY(WriteFile(t, "一\n［＃改ページ］\n二\n［＃改ページ］\n三\n"));
    f.doc->FormShow();
    f.doc->AskText = [&](const TTextChoice&) { return TTextChoice{t, true, true}; };
    f.doc->SB_ComposeTextClick();
    f.preview.TB_Page->setValue(2);
    f.doc->FormClose();
    {
      TLaterStart later(f);
      TPreviewForm* preview = &later.preview;
      QVERIFY(preview->Text() && preview->isVisible());
      QCOMPARE(later.doc->TextPath(), t);
      QVERIFY(preview->Text()->Style().Title && preview->Text()->Style().Hang);
      QCOMPARE(preview->ShownPage(), 2);
      QCOMPARE(preview->L_PageOf->text(), QStringLiteral("3/3"));

      QVERIFY(WriteFile(t, "一\n［＃改ページ］\n二\n［＃改ページ］\n三改\n［＃改ページ］\n四\n",
                        false));
      QTRY_COMPARE(preview->L_PageOf->text(), QStringLiteral("3/4"));
      QVERIFY(PageHasText(preview->Recorder(), u"改"));
      QVERIFY(WriteFile(t, "一\n［＃改ページ］\n二\n"));  // the new file is watched too
      QTRY_COMPARE(preview->L_PageOf->text(), QStringLiteral("2/2"));
      QVERIFY(later.messages.isEmpty());
      // Something that is no text file put in its place: the text set stays.
      const QByteArray fifo = f.QPath("fifo").toLocal8Bit();
      QVERIFY(mkfifo(fifo.constData(), 0600) == 0);
      QVERIFY(std::rename(fifo.constData(), t.toLocal8Bit().constData()) == 0);
      QTRY_COMPARE(later.messages.size(), 1);
      QVERIFY(later.messages[0].contains(QStringLiteral("前の原稿のまま")));
      QCOMPARE(preview->L_PageOf->text(), QStringLiteral("2/2"));
      later.messages.clear();

      QVERIFY(QFile::remove(t));
      QTRY_VERIFY(!preview->Text());
      QCOMPARE(
          later.messages,
          QStringList{
              QStringLiteral("原稿のファイル %1 がなくなったので、原稿を外しました。").arg(t)});
      QVERIFY(later.doc->TextPath().isEmpty());
    }
    // Gone between two runs: the next start shows the blank sheet and says why.
    QVERIFY(WriteFile(f.QPath("zelk.text"), ("text=" + t + "\npage=2\n").toUtf8()));
    {
      TLaterStart again(f);
      QVERIFY(!again.preview.Text());
      QCOMPARE(again.messages.size(), 1);
      QVERIFY(again.messages[0].contains(t));
    }
    // A name that is not UTF-8 comes back byte for byte.
    const std::string odd = f.dir.path().toStdString() + "/t\xff.txt";
    std::FILE* file = std::fopen(odd.c_str(), "wb");
    QVERIFY(file && std::fputs("一", file) >= 0 && std::fclose(file) == 0);
    QVERIFY(WriteFile(f.QPath("zelk.text"), QByteArray::fromStdString("text=" + odd + "\n")));
    TLaterStart odder(f);
    QVERIFY2(odder.preview.Text(), qPrintable(odder.messages.join('\n')));
  }

  // A text's job tells its progress before each page, in order, once each, and stops
  // when told to: nothing of it is printed, the old file stays, and nothing is left
  // beside it.
  void aJobCancelledHalfWayKeepsTheOldFile() {
    TFixture f;
    f.doc->FormShow();
    QVERIFY(WriteFile(f.QPath("t.txt"),
                      "一\n［＃改ページ］\n二\n［＃改ページ］\n三\n［＃改ページ］\n四\n"));
    QVERIFY(f.doc->ComposeTextFile(f.QPath("t.txt")));
    QDir out(f.QPath("out"));
    QVERIFY(out.mkpath(QStringLiteral(".")));
    const QString pdf = out.filePath(QStringLiteral("t.pdf"));
    QVERIFY(WriteFile(pdf, "the old PDF"));
    f.printer.SetOutputFile(pdf);
    for (const int stopAt : {2, -1}) {
      QList<int> told;
      const TPrintResult r =
          f.preview.PrintPages(f.printer, DrawPageAtNaturalSize, [&](int page, int count) {
            told << page;
            return count == 4 && page != stopAt;
          });
      if (stopAt >= 0) {
        QCOMPARE(r.Outcome, TPrintOutcome::Cancelled);
        QCOMPARE(told, (QList<int>{0, 1, 2}));
        QCOMPARE(r.PagesDrawn, 2);
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old PDF"));
      } else {
        QCOMPARE(r.Outcome, TPrintOutcome::Printed);
        QCOMPARE(told, (QList<int>{0, 1, 2, 3}));
      }
      QCOMPARE(out.entryList(QDir::Files | QDir::Hidden), QStringList{"t.pdf"});
    }
  }

  // Beside the page selector: the text's length in 400字詰め sheets, its characters in
  // the tip, clear of the controls after it; gone with the text.
  void thePreviewCountsTheTextIn400CharacterSheets() {
    TFixture f;
    f.doc->FormShow();
    QByteArray text;
    for (int i = 0; i < 41; ++i) text += QByteArray("あいうえおかきくけこ");  // 410 字
    QVERIFY(WriteFile(f.QPath("t.txt"), text));
    QVERIFY(f.doc->ComposeTextFile(f.QPath("t.txt")));
    QTRY_VERIFY(f.preview.L_Count->isVisible());
    QCOMPARE(f.preview.L_Count->text(), QStringLiteral("400字詰め 2 枚"));
    QVERIFY(f.preview.L_Count->toolTip().startsWith(QStringLiteral("410 字")));
    QVERIFY(f.preview.L_Count->geometry().right() < f.preview.Label2->geometry().left());
    QVERIFY(f.preview.L_PageOf->geometry().right() < f.preview.L_Count->geometry().left());
    f.doc->SB_ClearTextClick();
    QVERIFY(!f.preview.L_Count->isVisible());
  }

  // The text's dialog offers every choice of how the text is set, preset to the last,
  // and gives back what the user ticked.
  void theTextDialogOffersTheSchoolRules() {
    TFixture f;
    QVERIFY(WriteFile(f.QPath("t.txt"), "あ"));
    TTextChoice last;
    last.Path = f.QPath("t.txt");
    last.SpaceAfterMarks = false;
    QStringList boxes;
    WhenModal([&](QWidget* w) {
      for (QCheckBox* box : w->findChildren<QCheckBox*>()) {
        boxes << QStringLiteral("%1=%2").arg(box->text().left(3)).arg(box->isChecked());
        if (box->text().contains(QStringLiteral("小さい仮名"))) box->setChecked(true);
      }
      zelk::test::EnterFileName(w, f.QPath("t.txt"));
    });
    const TTextChoice choice = AskTextChoice(&f.form, last);
    QCOMPARE(boxes, (QStringList{"1 行=0", "行頭に=0", "「 や=0", "文中の=0", "小さい=0"}));
    QCOMPARE(choice.Path, f.QPath("t.txt"));
    QVERIFY(choice.SmallKanaMayStart && !choice.SpaceAfterMarks && !choice.IndentOpeningBracket);
  }

  // The text's dialog opens in the design's folder before any text, with no file name
  // filled in.
  void theTextDialogStartsInTheDesignsFolder() {
    TFixture f;
    QString folder, name = QStringLiteral("unset");
    WhenModal([&](QWidget* w) {
      if (auto* d = qobject_cast<QFileDialog*>(w)) {
        folder = d->directory().absolutePath();
        if (auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
          name = edit->text();
      }
      zelk::test::CloseDialog(w);
    });
    const TTextChoice choice = AskTextChoice(&f.form, TTextChoice(), f.QPath("用紙.zelk"));
    QCOMPARE(choice.Path, QString());
    QCOMPARE(folder, QFileInfo(f.QPath("用紙.zelk")).absolutePath());
    QCOMPARE(name, QString());
  }

  // The preview's 印刷 on the virtual printer shows the print dialog first, for the pages
  // and the copies, and then asks the file name; the job keeps to what the dialog says.
  void printingToPdfAsksThePrintDialogThenTheFileName() {
    TFixture f;
    f.doc->FormShow();
    QVERIFY(WriteFile(f.QPath("t.txt"), "一\n［＃改ページ］\n二\n［＃改ページ］\n三\n"));
    QVERIFY(f.doc->ComposeTextFile(f.QPath("t.txt")));
    QCOMPARE(f.preview.JobPageCount(), 3);
    QStringList asked;
    WhenModal([&](QWidget* w) {
      auto* d = qobject_cast<QPrintDialog*>(w);
      asked << (d ? QStringLiteral("print dialog")
                  : QString::fromLatin1(w->metaObject()->className()));
      if (!d) return zelk::test::CloseDialog(w);
      // Pages 2 to 3, two copies, collated: the pages 2 3 2 3.
      auto* range = d->findChild<QRadioButton*>(QStringLiteral("printRange"));
      auto* from = d->findChild<QSpinBox*>(QStringLiteral("from"));
      auto* to = d->findChild<QSpinBox*>(QStringLiteral("to"));
      auto* copies = d->findChild<QSpinBox*>(QStringLiteral("copies"));
      if (!range || !from || !to || !copies) return d->reject();
      // The printer is the virtual one, its file asked next: neither is chosen here.
      auto* printers = d->findChild<QWidget*>(QStringLiteral("printers"));
      auto* file = d->findChild<QWidget*>(QStringLiteral("filename"));
      if (!printers || printers->isEnabled() || !file || file->isVisible()) return d->reject();
      range->setChecked(true);
      to->setValue(3);
      from->setValue(2);
      copies->setValue(2);
      d->accept();
    });
    PrintFromPreview(f.preview, f.printer, [&] {
      asked << QStringLiteral("file name");
      return f.QPath("out.pdf");
    });
    QCOMPARE(asked, (QStringList{"print dialog", "file name"}));
    QFile pdf(f.QPath("out.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const auto pages =
        QRegularExpression(QStringLiteral("/Type/Pages/Kids\\[[^\\]]*\\]/Count (\\d+)"))
            .match(QString::fromLatin1(pdf.readAll()));
    QCOMPARE(pages.captured(1), QStringLiteral("4"));
  }

  // What a job keeps does not grow with its pages: the heap in use after page 200 is
  // within 20 KB a page of what it was after page 20 (a job that kept its pages, as the
  // virtual printer once did, keeps hundreds of kilobytes a page).
  void aLongJobKeepsNoMemoryPerPage() {
#ifdef __SANITIZE_ADDRESS__
    QSKIP("the sanitizer's allocator does not count the heap in use");
#endif
    TFixture f;
    f.doc->FormShow();
    QByteArray text;
    for (int i = 0; i < 220; ++i) text += "吾輩は猫である。名前はまだ無い。\n［＃改ページ］\n";
    QVERIFY(WriteFile(f.QPath("t.txt"), text));
    QVERIFY(f.doc->ComposeTextFile(f.QPath("t.txt")));
    f.printer.SetOutputFile(f.QPath("t.pdf"));
    size_t at20 = 0, at200 = 0;
    const TPrintResult r =
        f.preview.PrintPages(f.printer, DrawPageAtNaturalSize, [&](int page, int) {
          if (page == 20) at20 = mallinfo2().uordblks;
          if (page == 200) at200 = mallinfo2().uordblks;
          return true;
        });
    QCOMPARE(r.Outcome, TPrintOutcome::Printed);
    QVERIFY(at20 > 0);
    QVERIFY2(at200 < at20 + 180 * 20 * 1024,
             qPrintable(QStringLiteral("%1 bytes a page").arg((double(at200) - at20) / 180)));
  }

  // 印刷 of a long text: the progress dialog comes up in Japanese, and its キャンセル stops
  // the job and says so.
  void theProgressDialogOfALongJobCancels() {
    TFixture f;
    f.doc->FormShow();
    QByteArray text;
    for (int i = 0; i < 5000; ++i) text += "頁\n［＃改ページ］\n";
    QVERIFY(WriteFile(f.QPath("long.txt"), text));
    QVERIFY(f.doc->ComposeTextFile(f.QPath("long.txt")));
    f.doc->AskPdfPath = [&f] { return f.QPath("long.pdf"); };
    QString label;
    WhenModal([&label](QWidget* w) {
      auto* progress = qobject_cast<QProgressDialog*>(w);
      if (!progress) return CloseDialog(w);
      label = progress->labelText();
      progress->cancel();
    });
    f.doc->SB_PrintClick();
    QVERIFY2(label.startsWith(QStringLiteral("印刷中… ")) &&
                 label.endsWith(QStringLiteral(" / 5000 ページ")),
             qPrintable(label));
    QCOMPARE(f.messages, QStringList{QStringLiteral("印刷を中止しました。何も印刷していません。")});
    QVERIFY(!QFile::exists(f.QPath("long.pdf")));
  }

  void minimisedAndMaximisedPreviewSurviveTheStateFile() {
    for (TStoredWindowState state : {wsMinimized, wsMaximized}) {
      TFixture f;
      f.doc->FormShow();
      f.preview.setGeometry(60, 70, 640, 480);
      f.preview.show();
      TPreviewStateAdapter adapter(f.preview);
      adapter.SetWindowState(state);
      QCOMPARE(adapter.WindowState(), state);
      QVERIFY(f.doc->WriteStateFile());
      f.preview.setWindowState(Qt::WindowNoState);
      f.preview.setGeometry(0, 0, 300, 200);
      QVERIFY(f.doc->ReadStateFile());
      QCOMPARE(adapter.WindowState(), state);
      QCOMPARE(f.preview.normalGeometry().size(), QSize(640, 480));
    }
  }

  void emptyRectLeavesThePreviewWhereItIs() {
    // Zero width, and a negative one whose subtraction would overflow 32 bits.
    for (TFileRect r : {TFileRect{300, 300, 300, 900}, TFileRect{INT32_MAX, 0, INT32_MIN, 10}}) {
      TFixture f;
      f.preview.setGeometry(10, 20, 500, 400);
      TPreviewStateAdapter adapter(f.preview);
      adapter.SetFormRect(r);
      QCOMPARE(f.preview.geometry(), QRect(10, 20, 500, 400));
      QCOMPARE(r, (TFileRect{10, 20, 510, 420}));
    }
  }

  void unwritableStateFileGivesTheMessage() {
    TFixture f;
    f.form.StateFileName = "/proc/zelk-test/zelk.dat";
    QVERIFY(!f.doc->WriteStateFile());
    QCOMPARE(f.messages, QStringList{"/proc/zelk-test/zelk.dat\n\nを書き出せません"});
  }
};

QTEST_MAIN(DocumentCommandsTest)
#include "document_commands_test.moc"
