// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>

#include "ZelkVersion.h"
#include "app/ABOUT.h"
#include "app/HideUnit.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "app/VisualStyle.h"
#include "preview/qt/PrinterService.h"
#include "settings/AppFiles.h"
#include "ui/DocumentCommands.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"

namespace zelk {

void SetApplicationInfo() {
  QCoreApplication::setOrganizationName(QStringLiteral("zelk"));
  QCoreApplication::setApplicationName(QStringLiteral("zelk"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZELK_VERSION_TEXT));
}

bool DisplayAvailable() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QString NoDisplayMessage() {
  return QStringLiteral(
      "zelk: 画面に接続できません (DISPLAY も WAYLAND_DISPLAY も設定されていません)。"
      "コマンドラインのサブコマンド (zelk --help) は画面なしで使えます / "
      "cannot connect to a display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
      "the subcommands (zelk --help) work without one.");
}

int RunWindowApplication(QApplication& app, const QStringList& arguments) {
  const QString exe = QCoreApplication::applicationFilePath();
  const QString title = QString::fromStdString(ExtractBaseName(exe.toStdString()));
  const QString file =
      arguments.size() > 1 ? QFileInfo(arguments[1]).absoluteFilePath() : QString();

  InstallQtTranslations(app);
  TSingleInstance guard(InstanceName(exe), RuntimeFolder());
  // Only an instance that answers keeps this start from opening its window: a lock
  // that cannot be read, or whose owner does not answer, is stale and taken over.
  if (!guard.TryBecomeFirst()) {
    if (guard.FirstAnswers()) {
      QMessageBox::information(nullptr, QString(), AlreadyRunningMessage(title));
      if (!guard.NotifyFirst(file))
        QMessageBox::warning(nullptr, QString(), QStringLiteral("メッセージを送れませんでした"));
      return 0;
    }
    if (!guard.TakeOverStaleLock())
      std::fprintf(stderr, "zelk: %s\n",
                   qPrintable(QStringLiteral("起動の目印 %1 を作れないので、二重起動を確かめずに"
                                             "起動します")
                                  .arg(guard.LockPath())));
  }
  if (!SelectVisualStyle(app, kVisualStyleName))
    QMessageBox::warning(nullptr, QString(),
                         QStringLiteral("スタイル %1 を選択できません").arg(kVisualStyleName));
  // The hidden form ends the program when the main window closes; a preview left open
  // does not keep it running, nor does its closing end it.
  app.setQuitOnLastWindowClosed(false);
  app.setWindowIcon(ProgramIcon());

  TPrinterService& printer = TPrinterService::Instance();
  THideForm hideForm;
  TPreviewForm previewForm(printer);
  TMainForm mainForm(printer);
  mainForm.SetPreviewForm(&previewForm);
  hideForm.SetMainForm(&mainForm);

  const TAppEnvironment env = SystemEnvironment();
  TDocumentCommands doc(mainForm, printer, ResolveAppFiles(exe.toStdString(), env), env);
  doc.AfterClose = [&hideForm] { hideForm.close(); };
  doc.ShowAbout = [&mainForm] {
    TAboutBox box(&mainForm);
    box.exec();
  };
  previewForm.PrintHandler = [&previewForm, &printer, &doc] {
    if (!doc.PrinterIsThere() || !doc.ConfirmPaper()) return;
    PrintFromPreview(
        previewForm, printer, [&previewForm] { return AskPdfOutputPath(&previewForm); },
        doc.AskYesNo);
  };
  QObject::connect(&guard, &TSingleInstance::activationRequested, &mainForm,
                   [&mainForm, &doc](const QString& path) {
                     BringToFront(&mainForm);
                     doc.OpenPath(path);
                   });

  mainForm.show();
  doc.FormShow();
  if (!file.isEmpty()) doc.OpenPath(file);
  return app.exec();
}

}  // namespace zelk
