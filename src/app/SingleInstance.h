// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running zelk per user and executable name. The first instance holds a lock file
// and listens on a local socket, both in $XDG_RUNTIME_DIR (private to the user, never a
// name under /tmp shared by everyone). A later start finds the lock held, tells the
// user, asks the first instance to bring its main window back (with a file to open,
// when one was given) and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace zelk {

/// The instance name: the executable's file name with its extension, upper-cased with
/// the locale's rules ("ZELK" for /usr/bin/zelk, "X.EXE" for x.exe).
QString InstanceName(const QString& exePath);

/// The user's runtime folder: $XDG_RUNTIME_DIR when it is set, absolute and private
/// (a real folder of ours with mode 0700 or stricter, which after su it is not), else a
/// folder of our own, /tmp/zelk-runtime-<uid>, made with mode 0700. A name there that is
/// a symbolic link, someone else's, or open to others is refused and left alone, and
/// the folder "runtime" in the user's cache (made the same way) serves instead.
QString RuntimeFolder();

/// Before the application object exists: when $XDG_RUNTIME_DIR is not set, or not a
/// private folder of ours (as root, after su, in a container), sets it to RuntimeFolder(),
/// so that Qt, which otherwise warns about it on every start, uses the same folder
/// quietly.
void UsePrivateRuntimeFolder();

/// The text shown by a second start: "すでに起動しています <" + title + ">".
QString AlreadyRunningMessage(const QString& applicationTitle);

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  /// `folder` holds the lock file `<name>.lock` and the socket `<name>.socket`.
  TSingleInstance(const QString& name, const QString& folder, QObject* parent = nullptr);
  ~TSingleInstance() override;

  /// True when this process is the first instance: it then holds the lock for its
  /// whole life and listens for later starts. A lock left by a process that no longer
  /// runs (a crash) is taken over. False when another live process holds the lock, or
  /// when neither lock nor socket can be made (then the caller treats the program as
  /// running, as any failure of the guard counts as a running instance).
  bool TryBecomeFirst();

  /// From a later start that found the lock held: true when a first instance answers on
  /// the socket. A lock that cannot be read (empty, garbled, no process id, however
  /// long) has no owner to wait for, and false comes at once; when it names a process,
  /// that process is given `timeoutMs` to start listening, as a first instance still
  /// starting up may not listen yet.
  bool FirstAnswers(int timeoutMs = 2000);

  /// Takes over a stale lock, one whose owner does not answer (FirstAnswers() false):
  /// removes the lock file and the socket left at their paths (files only: anything
  /// else there stays and the take-over fails) and tries again to become first.
  bool TakeOverStaleLock();

  /// From a later start: asks the first instance to restore and raise its window, and
  /// to open `filePath` when it is not empty. False when it cannot be reached within
  /// `timeoutMs`.
  bool NotifyFirst(const QString& filePath, int timeoutMs = 3000);

  QString LockPath() const;
  QString SocketPath() const;

 signals:
  /// The first instance got a request from a later start; `filePath` may be empty.
  void activationRequested(const QString& filePath);

 private:
  void ReadRequest(class QLocalSocket* socket);

  QString name_;
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
};

/// Shows `window` normally (restoring it when minimised), raises and activates it; where
/// the window system refuses to hand over the focus, asks for attention instead.
void BringToFront(QWidget* window);

}  // namespace zelk
