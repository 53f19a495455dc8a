// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the program's version from the version record built into it, and the
// help page.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QIcon;
class QLabel;
class QProcess;
class QPushButton;

namespace zelk {

/// The program's icon (the same picture the desktop installs).
QIcon ProgramIcon();

/// The version record: Major, Minor, Release, Build; each -1 until read.
struct TVerInfo {
  int32_t Major = -1;
  int32_t Minor = -1;
  int32_t Release = -1;
  int32_t Build = -1;
};

/// The file version text built into the program: CMake's project version and the build
/// number, "major.minor.patch.build".
QString BuiltFileVersion();

/// Reads up to four numbers "%ld.%ld.%ld.%ld" from `text`; numbers the text does not
/// supply (or that do not fit an int32) stay -1.
TVerInfo ParseFileVersion(const QString& text);

/// "Version %d.%d.%d  Build(%d)", two spaces before "Build".
QString VersionLabelText(const TVerInfo& v);

/// Where the help page is looked for, in order: beside the executable, named after it
/// with ".html" (a copy that is not installed, as in the build folder), then where
/// installing puts it, share/zelk/help/zelk.html under the executable's prefix.
QStringList HelpFileCandidates(const QString& exePath);

/// The first of HelpFileCandidates that is a file; the installed place when none is.
QString HelpFilePath(const QString& exePath);

/// The message when the help page cannot be opened: the path, two line breaks, a space,
/// then "が見つからないので開けません".
QString HelpFileMissingMessage(const QString& path);

/// The message when the help page exists but could not be opened: what failed, then
/// the page's path, so that it can be opened by hand.
QString HelpOpenFailedMessage(const QString& path, const QString& why);

/// What went wrong opening a file; called at most once, now or when the opener ends.
using TOpenFailed = std::function<void(const QString& why)>;

/// Hands `path` to the desktop's opener, xdg-open (found on PATH). A missing xdg-open,
/// and an xdg-open that ends with an error (no program for the file, such as no
/// browser), call `failed` with the reason, its own last message line included. The
/// process, returned for those who wait for it, deletes itself once it has ended.
QProcess* OpenWithDesktop(const QString& path, TOpenFailed failed);

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  /// Opens a file with the desktop's opener (OpenWithDesktop); a failure is reported
  /// through `failed`.
  using TFileOpener = std::function<void(const QString& path, TOpenFailed failed)>;

  /// `fileVersion` is the version record's text; without one the box first says
  /// "GetFileVersionInfoSize == 0" and shows -1 for every number. `helpPath` defaults to
  /// HelpFilePath of the running executable, `opener` to OpenWithDesktop.
  explicit TAboutBox(QWidget* owner, std::optional<QString> fileVersion = BuiltFileVersion(),
                     QString helpPath = QString(), TFileOpener opener = nullptr);

  QLabel* Version() const { return version_; }

 public slots:
  /// Opens the help page; a missing page gives HelpFileMissingMessage, one the desktop
  /// cannot open HelpOpenFailedMessage (when the opener has told why), and the box stays
  /// open.
  void BitBtn1Click();

 protected:
  /// Fills the Version label each time the box is shown.
  void showEvent(QShowEvent* event) override;

 private:
  std::optional<QString> fileVersion_;
  QString helpPath_;
  TFileOpener opener_;
  QLabel* version_;
};

}  // namespace zelk
