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

// Writes `content` into a temporary file beside the target, syncs it and renames it
// over the target. `unnamed` first tries a file without a name (O_TMPFILE), named only
// just before the rename.
bool ReplaceThroughTemp(const TSaveTarget& target, const std::string& content,
                        const TWriterFilter& filter, bool unnamed, const std::string& cannot,
                        std::string* error) {
  const std::string dir = DirectoryOf(target.Path);
  std::string tempPath;
  int fd = unnamed ? ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
  if (fd < 0) {
    unnamed = false;
    fd = CreateNamedTemp(target.Path, &tempPath);
  }
  if (fd < 0) {
    const int err = errno;
    if (target.Exists && (err == EACCES || err == EPERM))
      return WriteInPlace(target.Path, content, filter, cannot, error);
    return Fail(error, cannot + "一時ファイルを作成できません", err);
  }
  TTempFile temp(tempPath);
  if (target.Exists) {
    // Keep what the user set on the file; an owner change may be refused, which only
    // leaves the file to the user who saves it.
    const struct stat& old = target.Old;
    ::fchmod(fd, old.st_mode & 07777);
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
      if (::fchown(fd, old.st_uid, old.st_gid) != 0) ::fchmod(fd, old.st_mode & 0777);
  }
  TFilePtr file(::fdopen(fd, "wb"));
  if (!file) {
    const int err = errno;
    ::close(fd);
    return Fail(error, cannot + "一時ファイルを作成できません", err);
  }
  int err = 0;
  if (!WriteContent(file.get(), content, filter, &err))
    return Fail(error, cannot + "書き込みに失敗しました", err);
  if (::fsync(::fileno(file.get())) != 0)
    return Fail(error, cannot + "ディスクに書き出せません", errno);
  if (unnamed) {
    // A file system that makes unnamed files but cannot name them: save the old way.
    if (!NameUnnamedTemp(::fileno(file.get()), target.Path, &tempPath))
      return ReplaceThroughTemp(target, content, filter, false, cannot, error);
    temp.Take(tempPath);
  }
  if (std::fclose(file.release()) != 0)
    return Fail(error, cannot + "ファイルを閉じられません", errno);
  if (::rename(tempPath.c_str(), target.Path.c_str()) != 0)
    return Fail(error, cannot + "ファイルを置き換えられません", errno);
  temp.Release();
  SyncDirectory(dir);
  return true;
}

}  // namespace

bool AtomicWriteFile(const std::string& path, const std::function<void(TByteWriter&)>& produce,
                     std::string* error, const TWriterFilter& filter) {
  const std::string cannot = Quoted(path) + "を保存できません: ";
  if (path.empty()) return Fail(error, "ファイル名がないため保存できません", 0);
  TSaveTarget target;
  // stat follows every link, so a link to a device or a FIFO counts as one.
  target.Exists = ::stat(path.c_str(), &target.Old) == 0;
  if (target.Exists && S_ISDIR(target.Old.st_mode))
    return Fail(error, cannot + "フォルダーです", 0);
  if (target.Exists && !S_ISREG(target.Old.st_mode))
    return Fail(error, cannot + "通常のファイルではありません（装置や名前付きパイプなど）", 0);
  target.Path = SaveTarget(path);
  if (target.Exists && ::access(target.Path.c_str(), W_OK) != 0)
    return Fail(error, cannot + "書き込みが禁止されています", errno);

  TMemoryWriter gathered;
  produce(gathered);
  RemoveStaleTemps(target.Path);
  return ReplaceThroughTemp(target, gathered.Bytes(), filter, true, cannot, error);
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
  ReadSettingsFile(reader, read, report ? report : &local);
  if (reader.Error() != 0) return Fail(error, Quoted(path) + "を読み込めません", reader.Error());
  if (trailingBytes) {
    const uint64_t size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    *trailingBytes = size > reader.Position() ? size - reader.Position() : 0;
  }
  s = read;
  return true;
}

}  // namespace zelk
