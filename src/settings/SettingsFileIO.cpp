// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsFileIO.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace zelk {
namespace {

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// Removes the temporary file unless the save got as far as renaming it.
class TTempFile {
 public:
  explicit TTempFile(std::string path) : path_(std::move(path)) {}
  ~TTempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  void Release() { path_.clear(); }
  void Take(const std::string& path) { path_ = path; }

 private:
  std::string path_;
};

bool Fail(std::string* error, const std::string& what, int err) {
  if (error) {
    *error = what;
    if (err != 0) *error += std::string(" (") + std::strerror(err) + ")";
  }
  return false;
}

std::string Quoted(const std::string& path) { return "「" + path + "」"; }

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save replaces: the end of a chain of symbolic links, so the links stay.
std::string SaveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return path;  // a dangling link is replaced by the new file
  std::string target(resolved);
  std::free(resolved);
  return target;
}

const char kTempSuffix[] = ".tmp";

std::string TempName(const std::string& target, uint64_t n) {
  return DirectoryOf(target) + "/." + FileNameOf(target) + "." + std::to_string(::getpid()) + "-" +
         std::to_string(n) + kTempSuffix;
}

uint64_t RandomNumber() {
  static std::mt19937_64 random(std::random_device{}());
  return random() % 1000000000;
}

// Creates a new named file beside `target` that no one else can have opened.
int CreateNamedTemp(const std::string& target, std::string* tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = TempName(target, RandomNumber());
    const int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Gives the unnamed file `fd` a temporary name beside `target`; false when the system
// cannot (no /proc, or a file system that refuses).
bool NameUnnamedTemp(int fd, const std::string& target, std::string* tempPath) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = TempName(target, RandomNumber());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tempPath->c_str(), AT_SYMLINK_FOLLOW) == 0)
      return true;
    if (errno != EEXIST) break;
  }
  tempPath->clear();
  return false;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The process id in a name ".NAME.PID-N.tmp" that a save of ours makes (NAME being
// `target`, or any name of a settings or state file), or 0 for any other name.
pid_t TempOwner(const std::string& name, const std::string& target) {
  if (name.size() < 2 || name[0] != '.' || !EndsWith(name, kTempSuffix)) return 0;
  const std::string core = name.substr(1, name.size() - 1 - (sizeof kTempSuffix - 1));
  const size_t dot = core.rfind('.');
  if (dot == std::string::npos || dot == 0) return 0;
  const std::string saved = core.substr(0, dot);
  if (saved != target && !EndsWith(saved, ".zelk") && !EndsWith(saved, ".dat")) return 0;
  const std::string ids = core.substr(dot + 1);
  const size_t dash = ids.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == ids.size() || dash > 9) return 0;
  for (size_t i = 0; i < ids.size(); ++i)
    if (i != dash && (ids[i] < '0' || ids[i] > '9')) return 0;
  return static_cast<pid_t>(std::stol(ids.substr(0, dash)));
}

// Removes the temporary files that saves killed midway left beside `target`: our own
// regular files named as TempOwner says, whose process no longer runs.
void RemoveStaleTemps(const std::string& target) {
  DIR* folder = ::opendir(DirectoryOf(target).c_str());
  if (!folder) return;
  const int dirFd = ::dirfd(folder);
  const std::string name = FileNameOf(target);
  while (const dirent* entry = ::readdir(folder)) {
    const pid_t owner = TempOwner(entry->d_name, name);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    struct stat st;
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
      continue;
    ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(folder);
}

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes `content` to the open file through the caller's filter; false with the errno
// in `*err` on failure.
bool WriteContent(std::FILE* file, const std::string& content, const TWriterFilter& filter,
                  int* err) {
  TFileWriter fileWriter(file);
  std::unique_ptr<TByteWriter> filtered = filter ? filter(fileWriter) : nullptr;
  TByteWriter& writer = filtered ? *filtered : fileWriter;
  writer.Write(content.data(), content.size());
  if (writer.Failed())
    *err = writer.Error();
  else if (fileWriter.Failed())
    *err = fileWriter.Error();
  else if (std::fflush(file) != 0)
    *err = errno;
  else
    return true;
  return false;
}

// The fallback when the folder takes no new file: the existing regular file `target`
// is rewritten in place and synced.
bool WriteInPlace(const std::string& target, const std::string& content,
                  const TWriterFilter& filter, const std::string& cannot, std::string* error) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return Fail(error, cannot + "ファイルを開けません", errno);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Fail(error, cannot + "通常のファイルではありません", 0);
  }
  TFilePtr file(::fdopen(fd, "wb"));
  if (!file) {
    const int err = errno;
    ::close(fd);
    return Fail(error, cannot + "ファイルを開けません", err);
  }
  const std::string damaged = "書き込みに失敗しました。ファイルが壊れている可能性があります";
  int err = 0;
  if (!WriteContent(file.get(), content, filter, &err)) return Fail(error, cannot + damaged, err);
  if (::ftruncate(::fileno(file.get()), static_cast<off_t>(content.size())) != 0 ||
      ::fsync(::fileno(file.get())) != 0)
    return Fail(error, cannot + damaged, errno);
  if (std::fclose(file.release()) != 0)
    return Fail(error, cannot + "ファイルを閉じられません", errno);
  return true;
}

}  // namespace

namespace {

// What a save replaces: the resolved target, and its status when it exists.
struct TSaveTarget {
  std::string Path;
  bool Exists = false;
  struct stat Old {};
};

// Keeps what the user set on the file being replaced; an owner change may be refused,
// which only leaves the file to the user who saves it.
void KeepModeAndOwner(int fd, const TSaveTarget& target) {
  if (!target.Exists) return;
  const struct stat& old = target.Old;
  ::fchmod(fd, old.st_mode & 07777);
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) ::fchmod(fd, old.st_mode & 0777);
}

// Copies everything written to `from` into a new named temporary file beside the
// target, synced; its descriptor, or -1 with errno set.
int CopyToNamedTemp(int from, const TSaveTarget& target, std::string* tempPath) {
  const int fd = CreateNamedTemp(target.Path, tempPath);
  if (fd < 0) return -1;
  KeepModeAndOwner(fd, target);
  char buffer[65536];
  off_t offset = 0;
  int err = 0;
  while (err == 0) {
    const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
    if (got < 0) {
      if (errno != EINTR) err = errno;
      continue;
    }
    if (got == 0) {
      if (::fsync(fd) == 0) return fd;
      err = errno;
      break;
    }
    for (ssize_t done = 0; done < got && err == 0;) {
      const ssize_t put = ::write(fd, buffer + done, static_cast<size_t>(got - done));
      if (put > 0)
        done += put;
      else if (put == 0 || errno != EINTR)
        err = put < 0 ? errno : EIO;
    }
    offset += got;
  }
  ::close(fd);
  ::unlink(tempPath->c_str());
  errno = err;
  return -1;
}

}  // namespace

struct TAtomicFile::TState {
  std::string Cannot;  // "「PATH」を保存できません: "
  TSaveTarget Target;
  TWriterFilter Filter;
  bool Unnamed = false;
  std::string TempPath;
  std::unique_ptr<TTempFile> Temp;  // removes a named temporary file not renamed
  TFilePtr File;
  std::unique_ptr<TFileWriter> FileWriter;
  std::unique_ptr<TByteWriter> Filtered;
  // When the folder takes no new file: gathered, and written in place at Commit.
  std::unique_ptr<TMemoryWriter> Gathered;
  bool Ready = false;
};

TAtomicFile::TAtomicFile() : st_(std::make_unique<TState>()) {}
TAtomicFile::~TAtomicFile() = default;

bool TAtomicFile::Open(const std::string& path, std::string* error, const TWriterFilter& filter) {
  st_ = std::make_unique<TState>();
  TState& st = *st_;
  st.Cannot = Quoted(path) + "を保存できません: ";
  st.Filter = filter;
  if (path.empty()) return Fail(error, "ファイル名がないため保存できません", 0);
  TSaveTarget& target = st.Target;
  // stat follows every link, so a link to a device or a FIFO counts as one.
  target.Exists = ::stat(path.c_str(), &target.Old) == 0;
  if (target.Exists && S_ISDIR(target.Old.st_mode))
    return Fail(error, st.Cannot + "フォルダーです", 0);
  if (target.Exists && !S_ISREG(target.Old.st_mode))
    return Fail(error, st.Cannot + "通常のファイルではありません（装置や名前付きパイプなど）", 0);
  target.Path = SaveTarget(path);
  if (target.Exists && ::access(target.Path.c_str(), W_OK) != 0)
    return Fail(error, st.Cannot + "書き込みが禁止されています", errno);
  RemoveStaleTemps(target.Path);

  // Read and write, so that what was written can be copied into a named file when the
  // file system cannot give this one a name.
  int fd = ::open(DirectoryOf(target.Path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  st.Unnamed = fd >= 0;
  if (fd < 0) fd = CreateNamedTemp(target.Path, &st.TempPath);
  if (fd < 0) {
    const int err = errno;
    if (target.Exists && (err == EACCES || err == EPERM)) {
      st.Gathered = std::make_unique<TMemoryWriter>();
      st.Ready = true;
      return true;
    }
    return Fail(error, st.Cannot + "一時ファイルを作成できません", err);
  }
  st.Temp = std::make_unique<TTempFile>(st.TempPath);
  KeepModeAndOwner(fd, target);
  st.File.reset(::fdopen(fd, "wb"));
  if (!st.File) {
    const int err = errno;
    ::close(fd);
    return Fail(error, st.Cannot + "一時ファイルを作成できません", err);
  }
  st.FileWriter = std::make_unique<TFileWriter>(st.File.get());
  if (filter) st.Filtered = filter(*st.FileWriter);
  st.Ready = true;
  return true;
}

TByteWriter& TAtomicFile::Writer() {
  TState& st = *st_;
  if (st.Gathered) return *st.Gathered;
  if (st.Filtered) return *st.Filtered;
  if (st.FileWriter) return *st.FileWriter;
  // Not open: a writer that takes nothing, so that a caller's writes fail.
  if (!st.Gathered) st.Gathered = std::make_unique<TMemoryWriter>();
  return *st.Gathered;
}

bool TAtomicFile::Commit(std::string* error) {
  TState& st = *st_;
  if (!st.Ready) return Fail(error, "保存の準備ができていません", 0);
  st.Ready = false;
  if (st.Gathered)
    return WriteInPlace(st.Target.Path, st.Gathered->Bytes(), st.Filter, st.Cannot, error);
  int err = 0;
  if (st.Filtered && st.Filtered->Failed())
    err = st.Filtered->Error();
  else if (st.FileWriter->Failed())
    err = st.FileWriter->Error();
  else if (std::fflush(st.File.get()) != 0)
    err = errno;
  if (err != 0) return Fail(error, st.Cannot + "書き込みに失敗しました", err);
  if (::fsync(::fileno(st.File.get())) != 0)
    return Fail(error, st.Cannot + "ディスクに書き出せません", errno);
  if (st.Unnamed) {
    if (NameUnnamedTemp(::fileno(st.File.get()), st.Target.Path, &st.TempPath)) {
      st.Temp->Take(st.TempPath);
    } else {
      // A file system that makes unnamed files but cannot name them: a named copy.
      const int copy = CopyToNamedTemp(::fileno(st.File.get()), st.Target, &st.TempPath);
      if (copy < 0) return Fail(error, st.Cannot + "一時ファイルを作成できません", errno);
      st.Temp->Take(st.TempPath);
      if (::close(copy) != 0) return Fail(error, st.Cannot + "ファイルを閉じられません", errno);
    }
  }
  if (std::fclose(st.File.release()) != 0)
    return Fail(error, st.Cannot + "ファイルを閉じられません", errno);
  if (::rename(st.TempPath.c_str(), st.Target.Path.c_str()) != 0)
    return Fail(error, st.Cannot + "ファイルを置き換えられません", errno);
  st.Temp->Release();
  SyncDirectory(DirectoryOf(st.Target.Path));
  return true;
}

void TAtomicFile::Discard() { st_ = std::make_unique<TState>(); }

bool AtomicWriteFile(const std::string& path, const std::function<void(TByteWriter&)>& produce,
                     std::string* error, const TWriterFilter& filter) {
  TAtomicFile file;
  if (!file.Open(path, error, filter)) return false;
  produce(file.Writer());
  return file.Commit(error);
}

bool SaveSettingsFile(const std::string& path, const TPrintSetting& s, std::string* error,
                      const TWriterFilter& filter) {
  return AtomicWriteFile(
      path, [&s](TByteWriter& w) { WriteSettingsFile(w, s); }, error, filter);
}

std::FILE* OpenRegularFile(const std::string& path, std::string* error) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Fail(error, Quoted(path) + "を開けません", errno);
    return nullptr;
  }
  struct stat st;
  const char* refusal = nullptr;
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    refusal = "を読み込めません";
    err = errno;
  } else if (S_ISDIR(st.st_mode)) {
    refusal = "はフォルダーです";
  } else if (!S_ISREG(st.st_mode)) {
    refusal = "は通常のファイルではありません（装置や名前付きパイプなど）";
  } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    refusal = "を読み込めません";
    err = errno;
  }
  std::FILE* file = refusal ? nullptr : ::fdopen(fd, "rb");
  if (!file) {
    if (!refusal) {
      refusal = "を開けません";
      err = errno;
    }
    ::close(fd);
    Fail(error, Quoted(path) + refusal, err);
  }
  return file;
}

bool LoadSettingsFile(const std::string& path, TPrintSetting& s, TReadReport* report,
                      std::string* error, uint64_t* trailingBytes) {
  TFilePtr file(OpenRegularFile(path, error));
  if (!file) return false;
  struct stat st;
  if (::fstat(::fileno(file.get()), &st) != 0)
    return Fail(error, Quoted(path) + "を読み込めません", errno);

  // Read into a copy: a read error must not leave the settings half replaced.
  TPrintSetting read = s;
  TFileReader reader(file.get());
  TReadReport local;
  TReadReport& rep = report ? *report : local;
  ReadSettingsFile(reader, read, &rep);
  if (reader.Error() != 0) return Fail(error, Quoted(path) + "を読み込めません", reader.Error());
  if (trailingBytes) {
    const uint64_t size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    *trailingBytes = size > rep.ReadEnd ? size - rep.ReadEnd : 0;
  }
  s = read;
  return true;
}

}  // namespace zelk
