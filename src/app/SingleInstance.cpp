// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLocale>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "base/Utf8.h"

namespace zelk {
namespace {

// One request per connection: this prefix, then the file path's bytes, then "\n".
const QByteArray kRequest = QByteArrayLiteral("zelk-activate\t");
// A request longer than this is no request of ours.
constexpr qint64 kMaxRequest = 64 * 1024;

}  // namespace

QString InstanceName(const QString& exePath) {
  return QLocale().toUpper(QFileInfo(exePath).fileName());
}

namespace {

// A folder that holds our lock and socket: a real folder (not a symbolic link) that
// belongs to us and that no one else may enter or write.
bool IsPrivateFolder(const QString& path) {
  struct stat st;
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Creates `path` as a private folder, or accepts it when it is one already. An existing
// folder is never changed: one planted by someone else is refused as it is.
bool MakePrivateFolder(const QString& path) {
  if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) return false;
  return IsPrivateFolder(path);
}

}  // namespace

QString RuntimeFolder() {
  const QString env = qEnvironmentVariable("XDG_RUNTIME_DIR");
  // After su, for example, the variable still names the other user's folder.
  if (!env.isEmpty() && QDir::isAbsolutePath(env) && IsPrivateFolder(env)) return env;
  // A private folder of our own, like the one Qt would make. Anyone may create names in
  // /tmp, so the name is only taken when it is ours and private.
  const QString shared = QDir::tempPath() + QStringLiteral("/zelk-runtime-%1").arg(::geteuid());
  if (MakePrivateFolder(shared)) return shared;
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir().mkpath(cache);
  const QString own = cache + QStringLiteral("/runtime");
  if (MakePrivateFolder(own)) return own;
  // Nowhere to share with later starts: a folder for this start alone, so that it runs.
  QByteArray unique = QFile::encodeName(QDir::tempPath() + QStringLiteral("/zelk-XXXXXX"));
  if (::mkdtemp(unique.data())) return QFile::decodeName(unique);
  return own;
}

void UsePrivateRuntimeFolder() {
  const QString env = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!env.isEmpty() && QDir::isAbsolutePath(env) && IsPrivateFolder(env)) return;
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(RuntimeFolder()));
}

QString AlreadyRunningMessage(const QString& applicationTitle) {
  return QStringLiteral("すでに起動しています <%1>").arg(applicationTitle);
}

TSingleInstance::TSingleInstance(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent), name_(name), folder_(folder) {}

TSingleInstance::~TSingleInstance() {
  if (server_) server_->close();
}

QString TSingleInstance::LockPath() const { return folder_ + QLatin1Char('/') + name_ + ".lock"; }

QString TSingleInstance::SocketPath() const {
  return folder_ + QLatin1Char('/') + name_ + ".socket";
}

bool TSingleInstance::TryBecomeFirst() {
  QDir().mkpath(folder_);
  auto lock = std::make_unique<QLockFile>(LockPath());
  // Never stale by age: only a lock whose process is gone is taken over.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return false;
  lock_ = std::move(lock);
  // Holding the lock, any socket left at the path belongs to a dead instance.
  QLocalServer::removeServer(SocketPath());
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(SocketPath())) {
    // Without a socket later starts cannot reach us, but this start still runs alone.
    server_.reset();
    return true;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      ReadRequest(socket);
    }
  });
  return true;
}

void TSingleInstance::ReadRequest(QLocalSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kMaxRequest) socket->abort();
    return;
  }
  QByteArray line = socket->readLine(kMaxRequest);
  if (line.endsWith('\n')) line.chop(1);
  if (!line.startsWith(kRequest)) {
    socket->abort();
    return;
  }
  socket->write("ok\n");
  socket->flush();
  // The path's bytes as the later start had them, UTF-8 or not (FileNameToUtf16).
  emit activationRequested(
      QString::fromStdU16String(FileNameToUtf16(line.mid(kRequest.size()).toStdString())));
}

bool TSingleInstance::FirstAnswers(int timeoutMs) {
  qint64 pid = 0;
  QString host, app;
  QLockFile lock(LockPath());
  const bool named = lock.getLockInfo(&pid, &host, &app) && pid > 0;
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (socket.waitForConnected(std::max(1, timeoutMs - int(clock.elapsed())))) {
      socket.abort();
      return true;
    }
    // A refused or missing socket answers at once: wait only for a named owner that may
    // still be starting, and only while it runs.
    if (!named || clock.elapsed() >= timeoutMs || ::kill(pid_t(pid), 0) != 0) return false;
    QThread::msleep(50);
  }
}

bool TSingleInstance::TakeOverStaleLock() {
  for (const QString& path : {LockPath(), SocketPath()}) {
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode) || ::unlink(native.constData()) != 0) return false;
  }
  return TryBecomeFirst();
}

bool TSingleInstance::NotifyFirst(const QString& filePath, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(SocketPath());
  if (!socket.waitForConnected(timeoutMs)) return false;
  QString path = filePath;
  path.replace(QLatin1Char('\n'), QLatin1Char(' '));  // a file name cannot end the request
  socket.write(kRequest + QByteArray::fromStdString(FileNameFromUtf16(path.toStdU16String())) +
               '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The answer tells that the first instance took the request.
  while (!socket.canReadLine())
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  return socket.readLine().startsWith("ok");
}

void BringToFront(QWidget* window) {
  if (!window) return;
  window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window->show();
  window->raise();
  window->activateWindow();
  // Wayland, and focus-stealing prevention elsewhere, may refuse to activate a window
  // for a request that came from another process.
  if (QApplication::activeWindow() != window) QApplication::alert(window);
}

}  // namespace zelk
