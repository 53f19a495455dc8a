#pragma once
// Where zelk keeps its default settings file and its state file, and the names the
// program takes from its executable.
//
// Both files are named after the executable: its base name with ".zelk" and ".dat".
// A portable copy (an executable in a folder the user may write to) keeps them beside
// itself. An installed program (/usr/bin is not writable for users) keeps them in
// $XDG_CONFIG_HOME/zelk/, by default ~/.config/zelk/, so the state survives a close;
// a default settings file shipped beside such an executable is still read while the
// user has none of their own.

#include <functional>
#include <string>

namespace zelk {

/// The extension of `path`: from the last "." after the last "/", or empty.
std::string ExtractFileExt(const std::string& path);
/// `path` with its extension replaced by `ext` (which includes the "."); a path without
/// an extension gets `ext` appended.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
/// The part after the last "/".
std::string ExtractFileName(const std::string& path);
/// The folder part before the last "/", without it; empty when there is none.
std::string ExtractFileDir(const std::string& path);
/// The file name without its extension: "zelk" for "/usr/bin/zelk" and "/x/zelk.exe".
std::string ExtractBaseName(const std::string& path);

/// Creates `dir` and every missing folder above it (mode 0700, as a configuration folder
/// should be). True when `dir` is a folder afterwards; otherwise false with the reason.
bool MakeFolders(const std::string& dir, std::string* error);

/// What the resolution of the files looks at, injectable for tests.
struct TAppEnvironment {
  std::string XdgConfigHome;  ///< $XDG_CONFIG_HOME; empty or relative means unset
  std::string Home;           ///< $HOME
  /// True when the process may create files in the folder.
  std::function<bool(const std::string& dir)> IsWritableDir;
  /// True when a regular file exists at the path.
  std::function<bool(const std::string& path)> FileExists;
};

/// The process's environment: the variables above, access(W_OK) and stat().
TAppEnvironment SystemEnvironment();

/// The files of one executable.
struct TAppFiles {
  /// Where the default settings file is written (and read when it exists).
  std::string SettingFileName;
  /// The default settings file beside the executable, to read when SettingFileName does
  /// not exist; empty when the files live beside the executable anyway.
  std::string BundledSettingFileName;
  /// Where the state file is read and written.
  std::string StateFileName;
};

/// Resolves the files for the executable at `exePath` (absolute). The executable's
/// folder is used when it is writable; otherwise the configuration folder
/// `$XDG_CONFIG_HOME/zelk` (or `$HOME/.config/zelk`), which is not created here. Without
/// a usable configuration folder (no HOME either), the executable's folder is kept.
TAppFiles ResolveAppFiles(const std::string& exePath, const TAppEnvironment& env);

/// The settings file to read for `settingFileName`: the file itself when it exists,
/// else the bundled default when `settingFileName` is the default one and the bundled
/// one exists, else empty (nothing to open).
std::string SettingsFileToRead(const TAppFiles& files, const std::string& settingFileName,
                               const TAppEnvironment& env);

}  // namespace zelk
