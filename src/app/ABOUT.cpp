// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ABOUT.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <memory>

#include "ZelkVersion.h"

// The resources of a static library are registered by hand.
static void InitAppResource() { Q_INIT_RESOURCE(app); }

namespace zelk {

QIcon ProgramIcon() {
  static const bool registered = (InitAppResource(), true);
  (void)registered;
  return QIcon(QStringLiteral(":/app/zelk.svg"));
}

QString BuiltFileVersion() {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(ZELK_VERSION_MAJOR)
      .arg(ZELK_VERSION_MINOR)
      .arg(ZELK_VERSION_PATCH)
      .arg(ZELK_BUILD_NUMBER);
}

TVerInfo ParseFileVersion(const QString& text) {
  // As sscanf with "%ld.%ld.%ld.%ld": numbers separated by single dots, stopping at the
  // first one that does not match.
  TVerInfo v;
  int32_t* fields[] = {&v.Major, &v.Minor, &v.Release, &v.Build};
  static const QRegularExpression number(QStringLiteral("\\G\\s*([+-]?\\d+)"));
  qsizetype pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != QLatin1Char('.')) break;
      ++pos;
    }
    const auto m = number.match(text, pos);
    if (!m.hasMatch()) break;
    bool ok = false;
    const qlonglong n = m.captured(1).toLongLong(&ok);
    if (!ok || n < INT32_MIN || n > INT32_MAX) break;
    *fields[i] = static_cast<int32_t>(n);
    pos = m.capturedEnd(0);
  }
  return v;
}

QString VersionLabelText(const TVerInfo& v) {
  return QString::asprintf("Version %d.%d.%d  Build(%d)", v.Major, v.Minor, v.Release, v.Build);
}

QStringList HelpFileCandidates(const QString& exePath) {
  const QFileInfo exe(exePath);
  const QString dir = exe.absolutePath();
  return {dir + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".html"),
          QDir::cleanPath(dir + QStringLiteral("/../share/zelk/help/zelk.html"))};
}

QString HelpFilePath(const QString& exePath) {
  const QStringList candidates = HelpFileCandidates(exePath);
  for (const QString& path : candidates)
    if (QFileInfo(path).isFile()) return path;
  return candidates.back();
}

QString HelpFileMissingMessage(const QString& path) {
  return path + QStringLiteral("\n\n が見つからないので開けません");
}

QString HelpOpenFailedMessage(const QString& path, const QString& why) {
  return QStringLiteral(
             "ヘルプのページを開けません: %1\n\n%2\n\nこのファイルをブラウザーで開いてください")
      .arg(why, path);
}

namespace {

// xdg-open's exit statuses, as its manual gives them.
QString XdgOpenFailure(int status) {
  switch (status) {
    case 1:
      return QStringLiteral("xdg-open が引数を受け付けません");
    case 2:
      return QStringLiteral("xdg-open がファイルを見つけられません");
    case 3:
      return QStringLiteral("xdg-open が開くためのプログラム（ブラウザー）を見つけられません");
    case 4:
      return QStringLiteral("xdg-open が開けませんでした");
    default:
      return QStringLiteral("xdg-open が終了コード %1 で終わりました").arg(status);
  }
}

}  // namespace

QProcess* OpenWithDesktop(const QString& path, TOpenFailed failed) {
  // No parent: a browser that xdg-open waits for may outlive the program, and neither
  // is killed when it quits.
  auto* process = new QProcess;
  process->setProgram(QStringLiteral("xdg-open"));
  process->setArguments({path});
  process->setStandardOutputFile(QProcess::nullDevice());
  // What it says on standard error is read as it comes (a browser it starts may say a
  // lot and must not wait for a full pipe); its last line goes into the reason.
  auto said = std::make_shared<QByteArray>();
  QObject::connect(process, &QProcess::readyReadStandardError, process, [process, said] {
    *said += process->readAllStandardError();
    if (said->size() > 4096) *said = said->right(4096);
  });
  auto report = std::make_shared<TOpenFailed>(std::move(failed));
  QObject::connect(
      process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        if (*report)
          (*report)(QStringLiteral("xdg-open を起動できません（%1）").arg(process->errorString()));
        *report = nullptr;
        process->deleteLater();
      });
  QObject::connect(process, &QProcess::finished, process,
                   [process, report, said](int status, QProcess::ExitStatus how) {
                     *said += process->readAllStandardError();
                     const QStringList lines =
                         QString::fromLocal8Bit(*said).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                     if ((how != QProcess::NormalExit || status != 0) && *report) {
                       QString why = how == QProcess::NormalExit
                                         ? XdgOpenFailure(status)
                                         : QStringLiteral("xdg-open が異常終了しました");
                       if (!lines.isEmpty())
                         why += QStringLiteral("（%1）").arg(lines.back().trimmed());
                       (*report)(why);
                     }
                     *report = nullptr;
                     process->deleteLater();
                   });
  process->start();
  return process;
}

TAboutBox::TAboutBox(QWidget* owner, std::optional<QString> fileVersion, QString helpPath,
                     TFileOpener opener)
    : QDialog(owner),
      fileVersion_(std::move(fileVersion)),
      helpPath_(helpPath.isEmpty() ? HelpFilePath(QCoreApplication::applicationFilePath())
                                   : std::move(helpPath)),
      opener_(opener ? std::move(opener) : TFileOpener([](const QString& path, TOpenFailed failed) {
        OpenWithDesktop(path, std::move(failed));
      })) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  setFixedSize(298, 217);
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(11);
  setFont(f);

  // Hidden under the panel but still the cancel button: Esc closes the box.
  auto* cancel = new QPushButton(QStringLiteral("&CANCEL"), this);
  cancel->setObjectName(QStringLiteral("B_Cancel"));
  cancel->setGeometry(208, 136, 75, 25);
  cancel->setFocusPolicy(Qt::NoFocus);  // a button nobody can see takes no focus either
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(8, 8, 281, 161);
  // The panel paints its whole area, so the cancel button beneath it cannot be seen.
  panel->setAutoFillBackground(true);
  auto* icon = new QLabel(panel);
  icon->setObjectName(QStringLiteral("ProgramIcon"));
  icon->setGeometry(8, 8, 67, 66);
  icon->setPixmap(ProgramIcon().pixmap(64, 64));
  icon->setAlignment(Qt::AlignCenter);
  auto* product = new QLabel(QStringLiteral("zelk"), panel);
  product->setObjectName(QStringLiteral("ProductName"));
  product->move(88, 16);
  version_ = new QLabel(QStringLiteral("バージョン番号"), panel);
  version_->setObjectName(QStringLiteral("Version"));
  version_->setGeometry(88, 40, 185, 16);
  auto* copyright = new QLabel(QStringLiteral("Copyright (C) the zelk developers"), panel);
  copyright->setObjectName(QStringLiteral("Copyright"));
  copyright->move(8, 80);
  auto* comments = new QLabel(QStringLiteral("原稿用紙を印刷するソフトです。"), panel);
  comments->setObjectName(QStringLiteral("Comments"));
  comments->setGeometry(8, 106, 261, 47);
  comments->setWordWrap(true);
  comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setGeometry(83, 180, 75, 25);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* help = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton),
                               QStringLiteral("ヘルプ(&H)"), this);
  help->setObjectName(QStringLiteral("BitBtn1"));
  help->setGeometry(174, 180, 88, 25);
  help->setAutoDefault(false);
  connect(help, &QPushButton::clicked, this, &TAboutBox::BitBtn1Click);
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!fileVersion_)
    QMessageBox::information(this, QString(), QStringLiteral("GetFileVersionInfoSize == 0"),
                             QMessageBox::Ok);
  version_->setText(VersionLabelText(fileVersion_ ? ParseFileVersion(*fileVersion_) : TVerInfo()));
}

void TAboutBox::BitBtn1Click() {
  // A missing file is checked first: the desktop's opener may report success for a
  // file it then fails to find.
  if (!QFileInfo(helpPath_).isFile()) {
    QMessageBox::information(this, windowTitle(), HelpFileMissingMessage(helpPath_));
    return;
  }
  const QPointer<TAboutBox> self(this);
  const QString path = helpPath_;
  opener_(path, [self, path](const QString& why) {
    if (!self) return;
    // The path can be selected and copied, to open the page by hand.
    QMessageBox box(QMessageBox::Information, self->windowTitle(), HelpOpenFailedMessage(path, why),
                    QMessageBox::Ok, self);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
  });
}

}  // namespace zelk
