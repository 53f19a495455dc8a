#pragma once
// Settings files on disk: an atomic save that never leaves a half-written design
// behind, and a load that tells where reading stopped. Plain POSIX.

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
/// which goes to a new temporary file beside `path`; the file is flushed and synced,
/// renamed over `path`, and the folder is synced.
///
/// An existing file keeps its permission bits (and its owner, where the process may set
/// it); a new one gets 0666 less the umask. A symbolic link at `path` is followed, so the
/// file it points to is replaced and the link stays. On any failure the temporary file is
/// removed, `path` is left exactly as it was, and the result is false with a one-line
/// Japanese reason in `error` (the path, the step that failed and the system's reason).
/// A failure to sync the folder after the rename is not reported: the new content is in
/// place by then.
bool AtomicWriteFile(const std::string& path, const std::function<void(TByteWriter&)>& produce,
                     std::string* error, const TWriterFilter& filter = nullptr);

/// WriteSettingsFile into `path` through AtomicWriteFile.
bool SaveSettingsFile(const std::string& path, const TPrintSetting& s, std::string* error,
                      const TWriterFilter& filter = nullptr);

/// Reads the settings file at `path` into `s` with ReadSettingsFile; `report`, when
/// given, gets where and why reading stopped, and `trailingBytes` how many bytes follow
/// the point where it stopped. False with a one-line Japanese reason in `error` when
/// the file cannot be opened, is a folder, or a read fails; `s` is then unchanged. A
/// short or damaged file is no failure: the fields read so far take their new values.
bool LoadSettingsFile(const std::string& path, TPrintSetting& s, TReadReport* report,
                      std::string* error, uint64_t* trailingBytes = nullptr);

}  // namespace zelk
