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

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  /// Opens a file with the desktop's handler of its URL; true when it was handed over.
  using TFileOpener = std::function<bool(const QString& path)>;

  /// `fileVersion` is the version record's text; without one the box first says
  /// "GetFileVersionInfoSize == 0" and shows -1 for every number. `helpPath` defaults to
  /// HelpFilePath of the running executable, `opener` to QDesktopServices.
  explicit TAboutBox(QWidget* owner, std::optional<QString> fileVersion = BuiltFileVersion(),
                     QString helpPath = QString(), TFileOpener opener = nullptr);

  QLabel* Version() const { return version_; }

 public slots:
  /// Opens the help page; a missing page, or one the desktop cannot open, gives the
  /// message and the box stays open.
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
