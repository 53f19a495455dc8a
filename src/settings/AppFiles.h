// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where zelk keeps its default settings file and its state file, and the names the
// program takes from its executable.
//
// Both files are named after the executable: its base name with ".zelk" and ".dat".
//
// An installed program keeps them in $XDG_CONFIG_HOME/zelk/, by default
// ~/.config/zelk/, whoever runs it and whatever folder it lies in; a default settings
// file shipped beside the executable is still read while the user has none of their
// own. Only a copy that is not installed, run from its build folder or from a folder it
// was unpacked into, keeps its files beside itself. What tells them apart:
//
// - a copy that is not installed has the marker file kPortableMarker beside it (the
//   build puts one beside the program it builds; `make install` installs none), and
//   its folder is writable;
// - an executable in the install prefix's bin folder (fixed when the program is
//   built) counts as installed even with a marker beside it.
//
// Writability alone cannot tell: root may write /usr/local/bin, and an installed program
// must never put its files there.

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
/// The file beside an executable that marks it as a copy that is not installed.
inline constexpr char kPortableMarker[] = ".zelk-portable";

struct TAppEnvironment {
  std::string XdgConfigHome;  ///< $XDG_CONFIG_HOME; empty or relative means unset
  std::string Home;           ///< $HOME, else the user's home folder from the passwd file
  /// The install prefix's bin folder, resolved; empty when not known.
  std::string InstallBinDir;
  /// True when the process may create files in the folder.
  std::function<bool(const std::string& dir)> IsWritableDir;
  /// True when a regular file exists at the path.
  std::function<bool(const std::string& path)> FileExists;
};

/// The process's environment: the variables above, the prefix the program was built
/// for, access(W_OK) and stat().
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

/// True when the executable at `exePath` is a copy that is not installed (see above).
bool IsPortableCopy(const std::string& exePath, const TAppEnvironment& env);

/// Resolves the files for the executable at `exePath` (absolute). A portable copy
/// (IsPortableCopy) uses its own folder; an installed program the configuration folder
/// `$XDG_CONFIG_HOME/zelk` (or `$HOME/.config/zelk`), which is not created here. Without
/// a usable configuration folder (no home folder at all) an installed program gets no
/// files: the names are empty, nothing is read, and saving them fails.
TAppFiles ResolveAppFiles(const std::string& exePath, const TAppEnvironment& env);

/// The settings file to read for `settingFileName`: the file itself when it exists,
/// else the bundled default when `settingFileName` is the default one and the bundled
/// one exists, else empty (nothing to open).
std::string SettingsFileToRead(const TAppFiles& files, const std::string& settingFileName,
                               const TAppEnvironment& env);

}  // namespace zelk
