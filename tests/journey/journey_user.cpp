// SPDX-License-Identifier: GPL-3.0-or-later
// The window program itself, started as a user starts it, with a user at its window.
// Each run is one start: the program's own start-up (RunWindowApplication) with its own
// printer, files and windows, and a user who, once the window is ready for input, does
// what the arguments say through its buttons and dialogs, writes what the window shows
// into the report, and clicks 終了.
//
// Usage: zelk ACTION... (the executable is called zelk, as the program is)
//   setup=QUEUE:PAPER   印刷設定; in the dialog, the queue and the paper, portrait; OK
//   print               印刷
//   compose=FILE        原稿を流し込む; the file typed into its dialog
//   page=N              the preview's page selector put on page N (from 1)
//   edit=FILE           two pages added to FILE, as an editor saves it (a new file
//                       written over it), then waits for the preview to count them
//   answer=yes|no       how questions are answered (yes unless told)
// The printer-setup dialog of a first start is answered OK as it opens.
//
// The report ($ZELK_JOURNEY_REPORT) gets one "key=value" line each:
//   dialog=printer-setup, question=TEXT, message=TEXT   each dialog, as it came up
//   printer, warning, paper, width, height, orientation, pages   the window at the end
// Exit status: the program's, or 3 when the user met something that was not expected.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QSaveFile>
#include <QSlider>
#include <QTest>
#include <QTextStream>
#include <QWindow>
#include <cstdio>

#include "ModalDialogs.h"
#include "app/Startup.h"
#include "settings/SettingControls.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"
#include "ui/PrinterSetupDialog.h"

using namespace zelk;

namespace {

class TUser : public QObject {
 public:
  explicit TUser(QStringList actions) : actions_(std::move(actions)) {
    for (const QString& a : actions_)
      if (a.startsWith(QLatin1String("answer="))) yes_ = a.mid(7) != QLatin1String("no");
    report_.setFileName(qEnvironmentVariable("ZELK_JOURNEY_REPORT"));
    if (!report_.open(QIODevice::WriteOnly | QIODevice::Append)) Fail("no report file");
    ArmDialogs();
    WaitForTheWindow();
  }

  bool Failed() const { return failed_; }

 private:
  // The user acts once the main window is shown and exposed, its first showing is over
  // (its lock is down) and no dialog of the start is up. Its focus may be in the preview
  // window that the start opened too: the user clicks the main window's buttons all the
  // same.
  void WaitForTheWindow() {
    test::WhenState(
        [] {
          for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TMainForm*>(w)) return static_cast<QWidget*>(form);
          return static_cast<QWidget*>(nullptr);
        },
        [](const QWidget* w) {
          const QWindow* window = w->windowHandle();
          return w->isVisible() && window && window->isExposed() &&
                 static_cast<const TMainForm*>(w)->UpdateLock == 0 &&
                 !QApplication::activeModalWidget();
        },
        [this](QWidget* w) { Act(*static_cast<TMainForm*>(w)); });
  }

  void Report(const QString& key, const QString& value) {
    QString line = value;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    report_.write((key + QLatin1Char('=') + line + QLatin1Char('\n')).toUtf8());
    report_.flush();
  }
  void Fail(const QString& why) {
    std::fprintf(stderr, "journey user: %s\n", qPrintable(why));
    failed_ = true;
  }

  static QAbstractButton* Button(QWidget& form, const QString& hint) {
    for (QAbstractButton* b : form.findChildren<QAbstractButton*>())
      if (b->toolTip() == hint || b->text() == hint) return b;
    return nullptr;
  }
  bool Click(QWidget& form, const QString& hint) {
    QAbstractButton* b = Button(form, hint);
    if (!b || !b->isEnabled()) {
      Fail(QStringLiteral("no button %1").arg(hint));
      return false;
    }
    QTest::mouseClick(b, Qt::LeftButton);
    return true;
  }

  // Every dialog the program shows is answered as it becomes ready, and logged.
  void ArmDialogs() {
    test::WhenModal([this](QWidget* w) {
      ArmDialogs();  // a dialog may open another
      Answer(w);
    });
  }
  void Answer(QWidget* w) {
    if (auto* setup = qobject_cast<TPrinterSetupDialog*>(w)) {
      Report(QStringLiteral("dialog"), QStringLiteral("printer-setup"));
      if (!setupQueue_.isEmpty()) {
        const int queue = setup->PrinterBox()->findText(setupQueue_);
        if (queue < 0) Fail(QStringLiteral("the dialog lists no %1").arg(setupQueue_));
        setup->PrinterBox()->setCurrentIndex(queue);
        const int paper = setup->PaperBox()->findText(setupPaper_);
        if (paper < 0) Fail(QStringLiteral("%1 offers no %2").arg(setupQueue_, setupPaper_));
        setup->PaperBox()->setCurrentIndex(paper);
        setup->PortraitButton()->setChecked(true);
      }
      setup->accept();
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      const bool question = box->button(QMessageBox::Yes) != nullptr;
      Report(question ? QStringLiteral("question") : QStringLiteral("message"), box->text());
      if (question)
        box->button(yes_ ? QMessageBox::Yes : QMessageBox::No)->click();
      else
        box->accept();
      return;
    }
    if (qobject_cast<QFileDialog*>(w) && !fileToType_.isEmpty()) {
      test::EnterFileName(w, fileToType_);
      return;
    }
    Fail(QStringLiteral("an unexpected dialog: %1").arg(w->metaObject()->className()));
    test::CloseDialog(w);
  }

  void Act(TMainForm& form) {
    for (const QString& action : actions_) {
      const QString value = action.section(QLatin1Char('='), 1);
      if (action.startsWith(QLatin1String("setup="))) {
        setupQueue_ = value.section(QLatin1Char(':'), 0, 0);
        setupPaper_ = value.section(QLatin1Char(':'), 1);
        Click(form, QStringLiteral("印刷設定"));
      } else if (action == QLatin1String("print")) {
        Click(form, QStringLiteral("印刷"));
      } else if (action.startsWith(QLatin1String("compose="))) {
        fileToType_ = value;
        Click(form, QStringLiteral("原稿を流し込む"));
      } else if (action.startsWith(QLatin1String("page="))) {
        if (form.PreviewForm()) form.PreviewForm()->TB_Page->setValue(value.toInt() - 1);
      } else if (action.startsWith(QLatin1String("edit="))) {
        Edit(form, value);
      } else if (!action.startsWith(QLatin1String("answer="))) {
        Fail(QStringLiteral("unknown action %1").arg(action));
      }
    }
    ReportWindow(form);
    Click(form, QStringLiteral("終了(&X)"));
  }

  // Two pages more, saved as an editor saves; the preview counts them when it has set
  // the file again.
  void Edit(TMainForm& form, const QString& path) {
    TPreviewForm* preview = form.PreviewForm();
    QFile old(path);
    if (!preview || !old.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("nothing to edit"));
    const QByteArray text = old.readAll() + "［＃改ページ］\n追加の一\n［＃改ページ］\n追加の二\n";
    old.close();
    const int before = preview->TB_Page->maximum();
    QEventLoop loop;
    connect(preview->TB_Page, &QSlider::rangeChanged, &loop, [&loop, before](int, int max) {
      if (max != before) loop.quit();
    });
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
      return Fail(QStringLiteral("cannot write %1").arg(path));
    loop.exec();
  }

  void ReportWindow(TMainForm& form) {
    Report(QStringLiteral("printer"), form.ShownPrinterCaption());
    Report(QStringLiteral("warning"), form.PrinterWarningText());
    Report(QStringLiteral("paper"),
           QString::fromStdU16String(form.EditText(TControl::E_PaperName)));
    Report(QStringLiteral("width"),
           QString::fromStdU16String(form.NumText(TControl::NE_PaperSizeV)));
    Report(QStringLiteral("height"),
           QString::fromStdU16String(form.NumText(TControl::NE_PaperSizeH)));
    Report(QStringLiteral("orientation"), form.ItemIndex(TControl::RG_Orientation) == 0
                                              ? QStringLiteral("portrait")
                                              : QStringLiteral("landscape"));
    const TPreviewForm* preview = form.PreviewForm();
    Report(QStringLiteral("pages"),
           preview && preview->isVisible() && preview->L_PageOf->isVisible()
               ? preview->L_PageOf->text()
               : QString());
  }

  QStringList actions_;
  QFile report_;
  bool yes_ = true;
  bool failed_ = false;
  QString setupQueue_, setupPaper_, fileToType_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetApplicationInfo();
  QStringList actions = QCoreApplication::arguments().mid(1);
  TUser user(actions);
  // The program is started with no file of its own to open.
  const int status = RunWindowApplication(app, {QCoreApplication::arguments().first()});
  test::TModalAnswer::DropPending();  // the answer armed for a dialog that never came
  return user.Failed() ? 3 : status;
}
