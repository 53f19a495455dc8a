#include "settings/SettingsFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

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

// Creates a new file beside `target` that no one else can have opened.
int CreateTempBeside(const std::string& target, std::string* tempPath) {
  static std::mt19937_64 random(std::random_device{}());
  const std::string stem = DirectoryOf(target) + "/." + FileNameOf(target) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath =
        stem + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000000) + ".tmp";
    const int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool AtomicWriteFile(const std::string& path, const std::function<void(TByteWriter&)>& produce,
                     std::string* error, const TWriterFilter& filter) {
  const std::string cannot = Quoted(path) + "を保存できません: ";
  if (path.empty()) return Fail(error, "ファイル名がないため保存できません", 0);
  const std::string target = SaveTarget(path);
  struct stat old;
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return Fail(error, cannot + "フォルダーです", 0);
  if (exists && ::access(target.c_str(), W_OK) != 0)
    return Fail(error, cannot + "書き込みが禁止されています", errno);

  std::string tempPath;
  const int fd = CreateTempBeside(target, &tempPath);
  if (fd < 0) return Fail(error, cannot + "一時ファイルを作成できません", errno);
  TTempFile temp(tempPath);
  if (exists) {
    // Keep what the user set on the file; an owner change may be refused, which only
    // leaves the file to the user who saves it.
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

  TFileWriter fileWriter(file.get());
  std::unique_ptr<TByteWriter> filtered = filter ? filter(fileWriter) : nullptr;
  TByteWriter& writer = filtered ? *filtered : fileWriter;
  produce(writer);
  if (writer.Failed()) return Fail(error, cannot + "書き込みに失敗しました", writer.Error());
  if (fileWriter.Failed())
    return Fail(error, cannot + "書き込みに失敗しました", fileWriter.Error());
  if (std::fflush(file.get()) != 0) return Fail(error, cannot + "書き込みに失敗しました", errno);
  if (::fsync(::fileno(file.get())) != 0)
    return Fail(error, cannot + "ディスクに書き出せません", errno);
  if (std::fclose(file.release()) != 0)
    return Fail(error, cannot + "ファイルを閉じられません", errno);
  if (::rename(tempPath.c_str(), target.c_str()) != 0)
    return Fail(error, cannot + "ファイルを置き換えられません", errno);
  temp.Release();
  SyncDirectory(DirectoryOf(target));
  return true;
}

bool SaveSettingsFile(const std::string& path, const TPrintSetting& s, std::string* error,
                      const TWriterFilter& filter) {
  return AtomicWriteFile(
      path, [&s](TByteWriter& w) { WriteSettingsFile(w, s); }, error, filter);
}

bool LoadSettingsFile(const std::string& path, TPrintSetting& s, TReadReport* report,
                      std::string* error, uint64_t* trailingBytes) {
  TFilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return Fail(error, Quoted(path) + "を開けません", errno);
  struct stat st;
  if (::fstat(::fileno(file.get()), &st) != 0)
    return Fail(error, Quoted(path) + "を読み込めません", errno);
  if (S_ISDIR(st.st_mode)) return Fail(error, Quoted(path) + "はフォルダーです", 0);

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
