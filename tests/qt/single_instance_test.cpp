// Single instance across two processes: this test program starts itself again as the
// later start (the Child test below, which runs only in that child).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>

#include "app/SingleInstance.h"

namespace zelk {
namespace {

const char* const kChildEnv = "ZELK_SINGLE_INSTANCE_CHILD";

// Runs the Child test in a new process with XDG_RUNTIME_DIR = `folder`, keeping this
// process's event loop running so that the first instance can answer. Returns the
// child's exit code, or -1 when it did not finish.
int RunChild(const QString& folder, const QString& filePath) {
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QString::fromLatin1(kChildEnv), filePath.isEmpty() ? QStringLiteral("-") : filePath);
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::ForwardedChannels);
  QEventLoop loop;
  QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=SingleInstanceChild.*")});
  loop.exec();
  if (child.state() != QProcess::NotRunning) {
    child.kill();
    child.waitForFinished();
    return -1;
  }
  return child.exitCode();
}

TEST(SingleInstance, NamesComeFromTheExecutable) {
  EXPECT_EQ(InstanceName(QStringLiteral("/usr/bin/zelk")), QStringLiteral("ZELK"));
  EXPECT_EQ(InstanceName(QStringLiteral("/opt/x/x.exe")), QStringLiteral("X.EXE"));
  EXPECT_EQ(AlreadyRunningMessage(QStringLiteral("zelk")),
            QStringLiteral("すでに起動しています <zelk>"));
}

TEST(SingleInstance, RuntimeFolderFollowsXdgRuntimeDir) {
  const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", "/run/user/4242");
  EXPECT_EQ(RuntimeFolder(), QStringLiteral("/run/user/4242"));
  qputenv("XDG_RUNTIME_DIR", "relative");
  EXPECT_NE(RuntimeFolder(), QStringLiteral("relative"));
  qputenv("XDG_RUNTIME_DIR", old);
}

TEST(SingleInstance, SecondInstanceInTheSameFolderIsRefusedUntilTheFirstEnds) {
  QTemporaryDir dir;
  auto first = std::make_unique<TSingleInstance>(QStringLiteral("ZELK"), dir.path());
  ASSERT_TRUE(first->TryBecomeFirst());
  EXPECT_TRUE(first->SocketPath().startsWith(dir.path() + "/"));
  TSingleInstance other(QStringLiteral("ZELK"), dir.path());
  // The same process cannot take a lock it holds through another object either.
  EXPECT_FALSE(other.TryBecomeFirst());
  TSingleInstance renamed(QStringLiteral("GENKO"), dir.path());
  EXPECT_TRUE(renamed.TryBecomeFirst());  // another executable name runs independently
  first.reset();
  TSingleInstance again(QStringLiteral("ZELK"), dir.path());
  EXPECT_TRUE(again.TryBecomeFirst());
}

TEST(SingleInstance, LaterProcessReachesTheFirstWithTheFilePath) {
  QTemporaryDir dir;
  qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
  TSingleInstance first(InstanceName(QCoreApplication::applicationFilePath()), RuntimeFolder());
  ASSERT_TRUE(first.TryBecomeFirst());
  QStringList spy;
  QObject::connect(&first, &TSingleInstance::activationRequested,
                   [&spy](const QString& p) { spy << p; });
  const QString path = QStringLiteral("/home/u/原稿 1.zelk");
  EXPECT_EQ(RunChild(dir.path(), path), 0);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0), path);
  // Without a file the request carries an empty path.
  EXPECT_EQ(RunChild(dir.path(), QString()), 0);
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(1), QString());
}

TEST(SingleInstance, StaleLockOfADeadProcessNeverBlocks) {
  QTemporaryDir dir;
  // A process that has ended leaves its id behind: the lock of a crashed instance.
  QProcess dead;
  dead.start(QStringLiteral("true"));
  ASSERT_TRUE(dead.waitForFinished());
  const qint64 pid = dead.processId() ? dead.processId() : 999999;
  TSingleInstance probe(InstanceName(QCoreApplication::applicationFilePath()), dir.path());
  QFile lock(probe.LockPath());
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(QByteArray::number(999999 > pid ? 999999 : pid) + "\nzelk\n" +
             QSysInfo::machineHostName().toUtf8() + "\n");
  lock.close();
  // A socket file left behind as well.
  QFile socket(probe.SocketPath());
  ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
  socket.close();
  TSingleInstance first(InstanceName(QCoreApplication::applicationFilePath()), dir.path());
  EXPECT_TRUE(first.TryBecomeFirst());
  QStringList spy;
  QObject::connect(&first, &TSingleInstance::activationRequested,
                   [&spy](const QString& p) { spy << p; });
  EXPECT_EQ(RunChild(dir.path(), QStringLiteral("a.zelk")), 0);
  EXPECT_EQ(spy.count(), 1);
}

TEST(SingleInstance, NobodyListeningMeansTheNotificationFails) {
  QTemporaryDir dir;
  TSingleInstance later(QStringLiteral("ZELK"), dir.path());
  EXPECT_FALSE(later.NotifyFirst(QString(), 500));
}

// The later start, run only as the child of the tests above.
TEST(SingleInstanceChild, LaterStart) {
  const QByteArray file = qgetenv(kChildEnv);
  if (file.isEmpty()) GTEST_SKIP() << "runs only as a child process";
  TSingleInstance later(InstanceName(QCoreApplication::applicationFilePath()), RuntimeFolder());
  ASSERT_FALSE(later.TryBecomeFirst());
  ASSERT_TRUE(later.NotifyFirst(file == "-" ? QString() : QString::fromUtf8(file)));
}

}  // namespace
}  // namespace zelk
