// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AppFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zelk {
namespace {

std::string::size_type LastSlash(const std::string& path) { return path.find_last_of('/'); }

std::string ConfigFolder(const TAppEnvironment& env) {
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is ignored.
  if (!env.XdgConfigHome.empty() && env.XdgConfigHome[0] == '/') return env.XdgConfigHome + "/zelk";
  if (!env.Home.empty()) return env.Home + "/.config/zelk";
  return std::string();
}

}  // namespace

bool MakeFolders(const std::string& dir, std::string* error) {
  if (dir.empty()) return true;
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    if (error) *error = dir + ": フォルダーではありません";
    return false;
  }
  const auto slash = dir.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(dir.substr(0, slash), error))
    return false;
  if (mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) return true;
  if (error) *error = dir + ": " + std::strerror(errno);
  return false;
}

std::string ExtractFileExt(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = LastSlash(path);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  return path.substr(0, path.size() - ExtractFileExt(path).size()) + ext;
}

std::string ExtractFileName(const std::string& path) {
  const auto slash = LastSlash(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileDir(const std::string& path) {
  const auto slash = LastSlash(path);
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ExtractBaseName(const std::string& path) {
  return ChangeFileExt(ExtractFileName(path), std::string());
}

TAppEnvironment SystemEnvironment() {
  TAppEnvironment env;
  if (const char* v = std::getenv("XDG_CONFIG_HOME")) env.XdgConfigHome = v;
  if (const char* v = std::getenv("HOME")) env.Home = v;
  if (env.Home.empty())
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) env.Home = pw->pw_dir;
#ifdef ZELK_INSTALL_BINDIR
  if (char* bin = realpath(ZELK_INSTALL_BINDIR, nullptr)) {
    env.InstallBinDir = bin;
    std::free(bin);
  } else {
    env.InstallBinDir = ZELK_INSTALL_BINDIR;
  }
#endif
  env.IsWritableDir = [](const std::string& dir) {
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(dir.c_str(), W_OK) == 0;
  };
  env.FileExists = [](const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  };
  return env;
}

bool IsPortableCopy(const std::string& exePath, const TAppEnvironment& env) {
  const std::string dir = ExtractFileDir(exePath);
  if (dir.empty() || (!env.InstallBinDir.empty() && dir == env.InstallBinDir)) return false;
  return env.FileExists(dir + "/" + kPortableMarker) && env.IsWritableDir(dir);
}

TAppFiles ResolveAppFiles(const std::string& exePath, const TAppEnvironment& env) {
  TAppFiles files;
  const std::string besideSettings = ChangeFileExt(exePath, ".zelk");
  const std::string besideState = ChangeFileExt(exePath, ".dat");
  if (IsPortableCopy(exePath, env)) {
    files.SettingFileName = besideSettings;
    files.StateFileName = besideState;
    return files;
  }
  const std::string config = ConfigFolder(env);
  files.BundledSettingFileName = besideSettings;
  if (config.empty()) return files;
  files.SettingFileName = config + "/" + ExtractFileName(besideSettings);
  files.StateFileName = config + "/" + ExtractFileName(besideState);
  return files;
}

std::string SettingsFileToRead(const TAppFiles& files, const std::string& settingFileName,
                               const TAppEnvironment& env) {
  if (settingFileName.empty()) return {};
  if (env.FileExists(settingFileName)) return settingFileName;
  if (settingFileName == files.SettingFileName && !files.BundledSettingFileName.empty() &&
      env.FileExists(files.BundledSettingFileName))
    return files.BundledSettingFileName;
  return {};
}

}  // namespace zelk
