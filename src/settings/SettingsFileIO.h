// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings files on disk: an atomic save that never leaves a half-written design
// behind, and a load that tells where reading stopped. Plain POSIX.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "settings/Fileiounit.h"
#include "settings/PrintSetting.h"
#include "settings/Printsettingunit.h"

namespace zelk {

/// Puts a writer between the content and the temporary file, e.g. one that fails
/// midway in a test. It gets the file's writer and returns the writer to write to.
using TWriterFilter = std::function<std::unique_ptr<TByteWriter>(TByteWriter& file)>;

/// Writes a file atomically: `produce` writes the whole content into the writer it gets,
/// which goes straight to a new temporary file beside `path` (nothing is gathered in
/// memory, so a long output costs no more memory than a short one); the file is
/// flushed and synced, renamed over `path`, and the folder is synced (TAtomicFile).
///
/// The temporary file is made without a name (O_TMPFILE) where the file system allows,
/// and given one only just before the rename, so that a save killed midway leaves
/// nothing behind. Elsewhere it is named ".NAME.PID-N.tmp"; such files of processes that
/// no longer run, left by a save that was killed, are removed by the next save into the
/// same folder (those of the same NAME, or of any NAME ending in ".zelk" or ".dat").
///
/// Only a regular file is replaced: an existing `path` that is a folder, a device, a
/// FIFO, a socket, or a symbolic link to one of those, is refused and left untouched.
/// An existing file keeps its permission bits (and its owner, where the process may set
/// it); a new one gets 0666 less the umask. A symbolic link at `path` is followed, so the
/// file it points to is replaced and the link stays.
///
/// When the folder refuses a new file (permissions) but the existing file may be
/// written, the file is written in place instead, synced, and any failure reported; a
/// failure midway may then leave it damaged, as with any program that cannot write the
/// folder.
///
/// On any failure the temporary file is removed, `path` is left exactly as it was (but
/// see the in-place write), and the result is false with a one-line Japanese reason in
/// `error` (the path, the step that failed and the system's reason). A failure to sync
/// the folder after the rename is not reported: the new content is in place by then.
bool AtomicWriteFile(const std::string& path, const std::function<void(TByteWriter&)>& produce,
                     std::string* error, const TWriterFilter& filter = nullptr);

/// AtomicWriteFile in steps, for content that comes piece by piece: Open checks `path`
/// and makes the temporary file, Writer() takes the content, Commit replaces `path`
/// with it. Destroyed or discarded before Commit, it leaves nothing behind and `path` as
/// it was. When the folder refuses a new file but `path` may be written, the content
/// is gathered in memory and written in place by Commit, as AtomicWriteFile says.
class TAtomicFile {
 public:
  TAtomicFile();
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  /// False with the reason in `error` when `path` may not be replaced or no temporary
  /// file can be made.
  bool Open(const std::string& path, std::string* error, const TWriterFilter& filter = nullptr);
  /// Where the content goes; a failed write is kept by the writer and reported by
  /// Commit. Before a successful Open, a writer whose content Commit refuses.
  TByteWriter& Writer();
  /// Replaces `path` with what was written; false with the reason in `error`, `path`
  /// then as it was. Once only.
  bool Commit(std::string* error);
  /// Drops what was written: `path` stays as it was.
  void Discard();

 private:
  struct TState;
  std::unique_ptr<TState> st_;
};

/// WriteSettingsFile into `path` through AtomicWriteFile.
bool SaveSettingsFile(const std::string& path, const TPrintSetting& s, std::string* error,
                      const TWriterFilter& filter = nullptr);

/// Opens `path` for reading when it is a regular file (or a symbolic link to one). The
/// type is checked on the open descriptor, which is opened without blocking, so a FIFO
/// or a device is refused at once instead of waiting for a writer. Null with a one-line
/// Japanese reason in `error` otherwise. The caller closes the stream.
std::FILE* OpenRegularFile(const std::string& path, std::string* error);

/// Reads the settings file at `path` into `s` with ReadSettingsFile; `report`, when
/// given, gets where and why reading stopped, and `trailingBytes` how many bytes follow
/// the point where it stopped. False with a one-line Japanese reason in `error` when
/// the file cannot be opened, is not a regular file (see OpenRegularFile), or a read
/// fails; `s` is then unchanged. A
/// short or damaged file is no failure: the fields read so far take their new values.
bool LoadSettingsFile(const std::string& path, TPrintSetting& s, TReadReport* report,
                      std::string* error, uint64_t* trailingBytes = nullptr);

}  // namespace zelk
