// SPDX-License-Identifier: GPL-3.0-or-later
// Single instance across two processes: this test program starts itself again as the
// later start (the Child test below, which runs only in that child).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
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

// Sets an environment variable for the life of the object.
class TEnvVar {
 public:
  TEnvVar(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~TEnvVar() { qputenv(name_, old_); }

 private:
  const char* name_;
  QByteArray old_;
};

bool IsPrivateFolderOfOurs(const QString& path) {
  struct stat st;
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

struct TRuntimeCase {
  const char* Name;
  // Makes the candidate folder inside `base`; returns its path, or empty to skip.
  QString (*Make)(const QString& base);
  bool Taken;
};

class RuntimeFolderCase : public ::testing::TestWithParam<TRuntimeCase> {};

// XDG_RUNTIME_DIR is taken only when it is a private folder of ours; otherwise a
// private folder of our own serves, and the program starts rather than think another
// instance runs.
TEST_P(RuntimeFolderCase, OnlyAPrivateFolderOfOursIsTaken) {
  QTemporaryDir base;
  const QString candidate = GetParam().Make(base.path());
  if (candidate.isEmpty()) GTEST_SKIP() << "needs root to give a folder to another user";
  const TEnvVar tmp("TMPDIR", QFile::encodeName(base.path()));
  const TEnvVar xdg("XDG_RUNTIME_DIR", QFile::encodeName(candidate));
  const QString folder = RuntimeFolder();
  EXPECT_EQ(folder == candidate, GetParam().Taken) << GetParam().Name;
  EXPECT_TRUE(IsPrivateFolderOfOurs(folder)) << folder.toStdString();
  TSingleInstance guard(QStringLiteral("ZELK"), folder);
  EXPECT_TRUE(guard.TryBecomeFirst()) << GetParam().Name;
}

QString MakeFolder(const QString& base, mode_t mode) {
  const QString path = base + QStringLiteral("/run");
  ::mkdir(QFile::encodeName(path).constData(), mode);
  ::chmod(QFile::encodeName(path).constData(), mode);
  return path;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeFolderCase,
    ::testing::Values(
        TRuntimeCase{"private folder", [](const QString& b) { return MakeFolder(b, 0700); }, true},
        TRuntimeCase{"open to others", [](const QString& b) { return MakeFolder(b, 0755); }, false},
        TRuntimeCase{"relative", [](const QString&) { return QStringLiteral("relative"); }, false},
        TRuntimeCase{"symbolic link to a private folder",
                     [](const QString& b) {
                       const QString link = b + QStringLiteral("/link");
                       QFile::link(MakeFolder(b, 0700), link);
                       return link;
                     },
                     false},
        TRuntimeCase{"another user's folder, as after su",
                     [](const QString& b) {
                       if (::geteuid() != 0) return QString();
                       const QString path = MakeFolder(b, 0700);
                       return ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0
                                  ? path
                                  : QString();
                     },
                     false}),
    [](const ::testing::TestParamInfo<TRuntimeCase>& info) { return std::to_string(info.index); });

// Another user plants the shared name in the temporary folder as a link to a folder of
// ours: it is neither followed nor changed.
TEST(SingleInstance, APlantedLinkInTheTemporaryFolderIsNotFollowed) {
  QTemporaryDir base;
  const QString victim = MakeFolder(base.path(), 0755);
  const QString planted = base.path() + QStringLiteral("/zelk-runtime-%1").arg(::geteuid());
  ASSERT_TRUE(QFile::link(victim, planted));
  const TEnvVar tmp("TMPDIR", QFile::encodeName(base.path()));
  const TEnvVar xdg("XDG_RUNTIME_DIR", QByteArray());
  const QString folder = RuntimeFolder();
  EXPECT_NE(folder, planted);
  EXPECT_TRUE(IsPrivateFolderOfOurs(folder)) << folder.toStdString();
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(victim).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_TRUE(QDir(victim).isEmpty());
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

struct TBadLockCase {
  const char* Name;
  QByteArray Content;
};

class BadLock : public ::testing::TestWithParam<TBadLockCase> {};

// A lock that cannot be read, or whose owner does not answer, never keeps a start from
// its window: nobody answers, and the start takes the lock over.
TEST_P(BadLock, IsStaleAndTakenOver) {
  QTemporaryDir dir;
  TSingleInstance later(QStringLiteral("ZELK"), dir.path());
  QFile lock(later.LockPath());
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  ASSERT_EQ(lock.write(GetParam().Content), GetParam().Content.size());
  lock.close();
  ASSERT_FALSE(later.TryBecomeFirst()) << GetParam().Name;  // QLockFile alone is stuck
  EXPECT_FALSE(later.FirstAnswers(300)) << GetParam().Name;
  ASSERT_TRUE(later.TakeOverStaleLock()) << GetParam().Name;
  // Now it is the first instance: a later start reaches it.
  TSingleInstance next(QStringLiteral("ZELK"), dir.path());
  EXPECT_FALSE(next.TryBecomeFirst());
  EXPECT_TRUE(next.FirstAnswers());
}

QByteArray RandomBytes(int n) {
  QByteArray bytes(n, '\0');
  quint32 x = 2463534242u;
  for (char& c : bytes) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    c = char(x & 0xff);
  }
  return bytes;
}

QByteArray OwnLockContent() {
  return QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
         QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + "\n" +
         QSysInfo::machineHostName().toUtf8() + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadLock,
    ::testing::Values(
        TBadLockCase{"empty", QByteArray()}, TBadLockCase{"random bytes", RandomBytes(4096)},
        TBadLockCase{"only newlines", QByteArray(1000, '\n')},
        TBadLockCase{"pid 0", "0\nzelk\n" + QSysInfo::machineHostName().toUtf8() + "\n"},
        TBadLockCase{"pid -1", "-1\nzelk\n" + QSysInfo::machineHostName().toUtf8() + "\n"},
        // A live owner that does not answer: this test program itself, which does not
        // listen (QLockFile takes the lock for held, as the program's name matches).
        TBadLockCase{"a live owner that does not answer", OwnLockContent()},
        TBadLockCase{"50 MB", QByteArray(50 * 1024 * 1024, 'x')}),
    [](const ::testing::TestParamInfo<TBadLockCase>& info) { return std::to_string(info.index); });

// A folder in place of the lock is not ours to remove: the take-over fails, and the
// folder stays.
TEST(SingleInstance, AFolderInPlaceOfTheLockIsLeftAlone) {
  QTemporaryDir dir;
  TSingleInstance later(QStringLiteral("ZELK"), dir.path());
  ASSERT_TRUE(QDir().mkdir(later.LockPath()));
  EXPECT_FALSE(later.TryBecomeFirst());
  EXPECT_FALSE(later.FirstAnswers(100));
  EXPECT_FALSE(later.TakeOverStaleLock());
  EXPECT_TRUE(QFileInfo(later.LockPath()).isDir());
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
