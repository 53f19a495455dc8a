// SPDX-License-Identifier: GPL-3.0-or-later
// The application state file: its exact bytes, cut and damaged files, the preview
// section, and where the files live.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/AppFiles.h"
#include "settings/Fileiounit.h"
#include "settings/StateFile.h"

namespace zelk {
namespace {

// Little-endian byte builders, independent of the writers under test.
std::string I32(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i)
    s[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
  return s;
}
std::string Utf16(const std::u16string& t) {
  std::string s;
  for (char16_t c : t) {
    s += static_cast<char>(c & 0xFF);
    s += static_cast<char>(c >> 8);
  }
  return s;
}

struct TFakePreview : TPreviewStateForm {
  TFileRect Rect{100, 50, 900, 750};
  int32_t Zoom = 5, V = 12, H = 34;
  TStoredWindowState State = wsNormal;
  std::vector<std::string> Calls;  // the order values were applied in

  TFileRect GetFormRect() const override { return Rect; }
  void SetFormRect(TFileRect& r) override {
    Calls.push_back("rect");
    if (r.Width() <= 0 || r.Height() <= 0) {
      r = Rect;
      return;
    }
    Rect = r;
  }
  int32_t ZoomPosition() const override { return Zoom; }
  void SetZoomPosition(int32_t p) override {
    Calls.push_back("zoom");
    Zoom = p;
  }
  int32_t ScrollV() const override { return V; }
  int32_t ScrollH() const override { return H; }
  void SetScrollV(int32_t p) override {
    Calls.push_back("v");
    V = p;
  }
  void SetScrollH(int32_t p) override {
    Calls.push_back("h");
    H = p;
  }
  TStoredWindowState WindowState() const override { return State; }
  void SetWindowState(TStoredWindowState s) override {
    Calls.push_back("state");
    State = s;
  }
};

struct TFakeMain : TMainStateForm {
  int32_t Left = 10, Top = 20, Tab = 3;
  std::u16string Path = u"/home/u/原稿.zelk";
  bool Show = true;
  bool HasPreview = true;
  int PreviewsCreated = 0;
  TFakePreview Preview;
  std::vector<std::string> Calls;

  int32_t FormLeft() const override { return Left; }
  int32_t FormTop() const override { return Top; }
  int32_t ActiveTab() const override { return Tab; }
  std::u16string SettingFileName() const override { return Path; }
  bool ShowPreviewChecked() const override { return Show; }
  void SetFormLeft(int32_t v) override {
    Calls.push_back("left");
    Left = v;
  }
  void SetFormTop(int32_t v) override {
    Calls.push_back("top");
    Top = v;
  }
  void SetActiveTab(int32_t v) override {
    Calls.push_back("tab");
    Tab = v;
  }
  void SetSettingFileName(const std::u16string& p) override {
    Calls.push_back("path");
    Path = p;
  }
  void SetShowPreviewChecked(bool c) override {
    Calls.push_back("show");
    Show = c;
  }
  TPreviewStateForm* ExistingPreview() override { return HasPreview ? &Preview : nullptr; }
  TPreviewStateForm& EnsurePreview() override {
    if (!HasPreview) ++PreviewsCreated;
    HasPreview = true;
    return Preview;
  }
};

std::string ExpectedBytes(const TFakeMain& m) {
  std::string b = I32(1) + I32(m.Left) + I32(2) + I32(m.Top) + I32(3) + I32(m.Tab) + I32(4) +
                  I32(static_cast<int32_t>(m.Path.size())) + Utf16(m.Path) + I32(0x106) +
                  I32(m.Show ? 1 : 0);
  if (m.HasPreview) {
    const TFakePreview& p = m.Preview;
    b += I32(0x105) + I32(0x30001) + I32(p.Rect.Left) + I32(p.Rect.Top) + I32(p.Rect.Right) +
         I32(p.Rect.Bottom) + I32(0x30002) + I32(p.Zoom) + I32(0x30003) + I32(p.V) + I32(0x30004) +
         I32(p.H) + I32(0x30008) + I32(p.State) + I32(0);
  }
  return b + I32(0);
}

std::string Written(TFakeMain& m) {
  TMemoryWriter w;
  WriteStateStream(w, m);
  return w.Bytes();
}

TEST(StateFile, CompleteFileHasTheExactBytesAndIs104Plus2n) {
  TFakeMain m;
  m.Preview.Rect = {-8, 700, 1200, 1700};
  m.Preview.State = wsMaximized;
  const std::string bytes = Written(m);
  EXPECT_EQ(bytes, ExpectedBytes(m));
  EXPECT_EQ(bytes.size(), 104 + 2 * m.Path.size());
}

TEST(StateFile, WithoutPreviewThereIsNoSection) {
  TFakeMain m;
  m.HasPreview = false;
  m.Show = false;
  const std::string bytes = Written(m);
  EXPECT_EQ(bytes, ExpectedBytes(m));
  EXPECT_EQ(bytes.size(), 44 + 2 * m.Path.size());
}

TEST(StateFile, EmptySettingFileNameIsTagAndZeroCount) {
  TFakeMain m;
  m.Path.clear();
  const std::string bytes = Written(m);
  EXPECT_EQ(bytes.size(), 104u);
  EXPECT_EQ(bytes.substr(24, 8), I32(4) + I32(0));
  TFakeMain r;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_TRUE(r.Path.empty());
}

TEST(StateFile, RoundTripRestoresEverythingInWrittenOrder) {
  TFakeMain m;
  m.Left = -1920;
  m.Top = 64;
  m.Tab = 5;
  m.Show = true;
  m.Preview.Rect = {30, 40, 830, 1040};
  m.Preview.Zoom = 41;
  m.Preview.V = 700;
  m.Preview.H = 1;
  m.Preview.State = wsMinimized;
  const std::string bytes = Written(m);

  TFakeMain r;
  r.HasPreview = false;
  r.Left = r.Top = r.Tab = 0;
  r.Show = false;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_EQ(r.Left, -1920);
  EXPECT_EQ(r.Top, 64);
  EXPECT_EQ(r.Tab, 5);
  EXPECT_EQ(r.Path, m.Path);
  EXPECT_TRUE(r.Show);
  EXPECT_EQ(r.PreviewsCreated, 1);
  EXPECT_EQ(r.Preview.Rect, m.Preview.Rect);
  EXPECT_EQ(r.Preview.Zoom, 41);
  EXPECT_EQ(r.Preview.V, 700);
  EXPECT_EQ(r.Preview.H, 1);
  EXPECT_EQ(r.Preview.State, wsMinimized);
  EXPECT_EQ(r.Calls, (std::vector<std::string>{"left", "top", "tab", "path", "show"}));
  EXPECT_EQ(r.Preview.Calls, (std::vector<std::string>{"rect", "zoom", "v", "h", "state"}));
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(StateFile, MaximisedPreviewAndMainPositionAreRestored) {
  TFakeMain m;
  m.Left = 333;
  m.Top = 444;
  m.Preview.State = wsMaximized;
  const std::string bytes = Written(m);
  TFakeMain r;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_EQ(r.Preview.State, wsMaximized);
  EXPECT_EQ(r.Left, 333);
  EXPECT_EQ(r.Top, 444);
}

// A file cut at every byte applies exactly the entries that are complete before the cut
// (a cut inside an Int reads a value of 0 for it) and never reads past the end.
TEST(StateFile, EveryCutAppliesOnlyWhatPrecedesIt) {
  TFakeMain m;
  m.Path = u"a.zelk";
  const std::string bytes = Written(m);
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    const std::string part = bytes.substr(0, cut);
    TFakeMain r;
    r.HasPreview = false;
    r.Left = r.Top = r.Tab = -5;
    TMemoryReader reader(part);
    ReadStateStream(reader, r);
    SCOPED_TRACE(cut);
    EXPECT_EQ(r.Left, cut >= 8 ? 10 : (cut >= 4 ? 0 : -5));
    EXPECT_EQ(r.Top, cut >= 16 ? 20 : (cut >= 12 ? 0 : -5));
    EXPECT_EQ(r.Tab, cut >= 24 ? 3 : (cut >= 20 ? 0 : -5));
    EXPECT_EQ(r.PreviewsCreated, cut >= 56 ? 1 : 0);
    EXPECT_EQ(reader.Remaining(), 0u);
  }
}

TEST(StateFile, FileEndingAfterEntry3RestoresPositionAndTabOnly) {
  TFakeMain m;
  const std::string bytes = Written(m).substr(0, 24);
  TFakeMain r;
  r.Path = u"default.zelk";
  r.Left = r.Top = r.Tab = 0;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_EQ(r.Left, 10);
  EXPECT_EQ(r.Top, 20);
  EXPECT_EQ(r.Tab, 3);
  EXPECT_EQ(r.Path, u"default.zelk");
}

TEST(StateFile, UnknownTagStopsReadingAndFlagIsAnyNonZero) {
  const std::string bytes = I32(0x106) + I32(5) + I32(3) + I32(2) + I32(77) + I32(1) + I32(9);
  TFakeMain r;
  r.Show = false;
  r.Tab = 0;
  r.Left = 0;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_TRUE(r.Show);
  EXPECT_EQ(r.Tab, 2);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(reader.Remaining(), 8u);
}

TEST(StateFile, PreviewSectionEndsAtUnknownTagWhichItConsumes) {
  // Section: zoom 9, then tag 2 is unknown to the section and ends it. The section has
  // consumed that tag, so the main loop reads the next int (77) as its tag and stops.
  const std::string bytes = I32(0x105) + I32(0x30002) + I32(9) + I32(2) + I32(77) + I32(0);
  TFakeMain r;
  r.HasPreview = false;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_EQ(r.Preview.Zoom, 9);
  EXPECT_EQ(r.Top, 20);
  EXPECT_EQ(reader.Remaining(), 4u);
}

TEST(StateFile, ZeroWidthRectLeavesWindowAndOddWindowStateIsIgnored) {
  const std::string bytes =
      I32(0x30001) + I32(500) + I32(10) + I32(500) + I32(900) + I32(0x30008) + I32(7) + I32(0);
  TFakePreview p;
  const TFileRect before = p.Rect;
  p.State = wsMaximized;
  TMemoryReader reader(bytes);
  LoadState(reader, p);
  EXPECT_EQ(p.Rect, before);
  EXPECT_EQ(p.State, wsMaximized);
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(StateFile, HugePathCountGivesEmptyPathAndStops) {
  // Count above the limit: empty text, the stream continues right after the count,
  // where the next "tag" 0 ends the file.
  const std::string bytes = I32(4) + I32(104857601) + I32(0) + I32(1) + I32(99);
  TFakeMain r;
  TMemoryReader reader(bytes);
  ReadStateStream(reader, r);
  EXPECT_TRUE(r.Path.empty());
  EXPECT_EQ(r.Left, 10);
}

class StateFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zelk-state-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string dir_;
};

TEST_F(StateFileOnDisk, WriteCreatesFoldersAndReadsBack) {
  TFakeMain m;
  const std::string path = dir_ + "/config/zelk/zelk.dat";
  const TStateSaveResult res = WriteStateFile(path, m);
  ASSERT_TRUE(res.Ok) << res.Reason;
  EXPECT_EQ(Slurp(path), ExpectedBytes(m));
  TFakeMain r;
  r.Left = 0;
  EXPECT_TRUE(ReadStateFile(path, r));
  EXPECT_EQ(r.Left, 10);
}

TEST_F(StateFileOnDisk, MissingFileOrFolderReadsFalseAndAppliesNothing) {
  TFakeMain r;
  r.Left = 0;
  EXPECT_FALSE(ReadStateFile(dir_ + "/none.dat", r));
  EXPECT_FALSE(ReadStateFile(dir_, r));
  EXPECT_TRUE(r.Calls.empty());
}

TEST_F(StateFileOnDisk, UnwritableLocationFailsAndKeepsNothingHalfWritten) {
  // A plain file where the folder should be: no permission trick, so it fails as root.
  const std::string blocker = dir_ + "/blocker";
  std::ofstream(blocker) << "x";
  TFakeMain m;
  const TStateSaveResult res = WriteStateFile(blocker + "/zelk.dat", m);
  EXPECT_FALSE(res.Ok);
  EXPECT_FALSE(res.Reason.empty());
  EXPECT_EQ(Slurp(blocker), "x");
}

TEST_F(StateFileOnDisk, FailedSaveLeavesOldFileIntact) {
  const std::string path = dir_ + "/zelk.dat";
  TFakeMain m;
  ASSERT_TRUE(WriteStateFile(path, m).Ok);
  const std::string before = Slurp(path);
  // /proc does not take new files: the save must fail without touching anything.
  EXPECT_FALSE(WriteStateFile("/proc/zelk-state-test/zelk.dat", m).Ok);
  EXPECT_EQ(Slurp(path), before);
}

TEST(StateFile, WriteErrorMessageNamesThePath) {
  EXPECT_EQ(StateFileWriteErrorMessage(u"/x/zelk.dat"), u"/x/zelk.dat\n\nを書き出せません");
}

// Path rules.
struct TExtCase {
  const char* Path;
  const char* Ext;
  const char* Changed;
  const char* Base;
};
class FileExt : public ::testing::TestWithParam<TExtCase> {};
TEST_P(FileExt, Rules) {
  const TExtCase& c = GetParam();
  EXPECT_EQ(ExtractFileExt(c.Path), c.Ext);
  EXPECT_EQ(ChangeFileExt(c.Path, ".dat"), c.Changed);
  EXPECT_EQ(ExtractBaseName(c.Path), c.Base);
}
INSTANTIATE_TEST_SUITE_P(
    Paths, FileExt,
    ::testing::Values(TExtCase{"/usr/bin/zelk", "", "/usr/bin/zelk.dat", "zelk"},
                      TExtCase{"/opt/x/zelk.exe", ".exe", "/opt/x/zelk.dat", "zelk"},
                      TExtCase{"/home/a.b/zelk", "", "/home/a.b/zelk.dat", "zelk"},
                      TExtCase{"/t/my.zelk.bin", ".bin", "/t/my.zelk.dat", "my.zelk"},
                      TExtCase{"zelk", "", "zelk.dat", "zelk"}));

// `exeDirWritable`: every folder is writable; `existing`: the regular files there are.
TAppEnvironment FakeEnv(bool exeDirWritable, std::vector<std::string> existing = {}) {
  TAppEnvironment env;
  env.Home = "/home/u";
  env.InstallBinDir = "/usr/local/bin";
  env.IsWritableDir = [exeDirWritable](const std::string&) { return exeDirWritable; };
  env.FileExists = [existing](const std::string& p) {
    for (const auto& e : existing)
      if (e == p) return true;
    return false;
  };
  return env;
}

TEST(AppFiles, PortableCopyKeepsFilesBesideTheExecutable) {
  const TAppFiles f =
      ResolveAppFiles("/home/u/tools/zelk", FakeEnv(true, {"/home/u/tools/.zelk-portable"}));
  EXPECT_EQ(f.SettingFileName, "/home/u/tools/zelk.zelk");
  EXPECT_EQ(f.StateFileName, "/home/u/tools/zelk.dat");
  EXPECT_TRUE(f.BundledSettingFileName.empty());
}

TEST(AppFiles, InstalledProgramUsesConfigFolderKeepingTheNames) {
  TAppEnvironment env = FakeEnv(false);
  TAppFiles f = ResolveAppFiles("/usr/bin/genko", env);
  EXPECT_EQ(f.SettingFileName, "/home/u/.config/zelk/genko.zelk");
  EXPECT_EQ(f.StateFileName, "/home/u/.config/zelk/genko.dat");
  EXPECT_EQ(f.BundledSettingFileName, "/usr/bin/genko.zelk");
  env.XdgConfigHome = "/xdg";
  f = ResolveAppFiles("/usr/bin/zelk", env);
  EXPECT_EQ(f.StateFileName, "/xdg/zelk/zelk.dat");
  env.XdgConfigHome = "relative/dir";  // invalid, ignored
  f = ResolveAppFiles("/usr/bin/zelk", env);
  EXPECT_EQ(f.StateFileName, "/home/u/.config/zelk/zelk.dat");
}

TEST(AppFiles, AnInstalledProgramWithoutAHomeKeepsNoFiles) {
  TAppEnvironment env = FakeEnv(false);
  env.Home.clear();
  const TAppFiles f = ResolveAppFiles("/usr/bin/zelk", env);
  EXPECT_EQ(f.StateFileName, "");
  EXPECT_EQ(f.SettingFileName, "");
}

struct TInstalledCase {
  const char* Name;
  std::string Exe;
  bool Writable;
  std::vector<std::string> Existing;
  bool Portable;
};

class Installed : public ::testing::TestWithParam<TInstalledCase> {};

// Writability alone never makes a copy portable: root may write every bin folder.
TEST_P(Installed, OnlyAMarkedWritableFolderOutsideTheInstallPrefixIsPortable) {
  const TInstalledCase& c = GetParam();
  const TAppEnvironment env = FakeEnv(c.Writable, c.Existing);
  EXPECT_EQ(IsPortableCopy(c.Exe, env), c.Portable) << c.Name;
  EXPECT_EQ(ResolveAppFiles(c.Exe, env).StateFileName,
            c.Portable ? ChangeFileExt(c.Exe, ".dat") : "/home/u/.config/zelk/zelk.dat")
      << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Installed,
    ::testing::Values(
        TInstalledCase{
            "build folder", "/src/build/src/zelk", true, {"/src/build/src/.zelk-portable"}, true},
        TInstalledCase{"root in the install prefix", "/usr/local/bin/zelk", true, {}, false},
        TInstalledCase{"marker in the install prefix",
                       "/usr/local/bin/zelk",
                       true,
                       {"/usr/local/bin/.zelk-portable"},
                       false},
        TInstalledCase{"copy without a marker", "/home/u/bin/zelk", true, {}, false},
        TInstalledCase{
            "marked but read-only", "/media/cd/zelk", false, {"/media/cd/.zelk-portable"}, false}),
    [](const ::testing::TestParamInfo<TInstalledCase>& info) {
      return std::to_string(info.index);
    });

TEST(AppFiles, BundledDefaultIsReadOnlyWhileTheUserHasNone) {
  const std::string own = "/home/u/.config/zelk/zelk.zelk";
  const std::string bundled = "/usr/bin/zelk.zelk";
  TAppEnvironment env = FakeEnv(false, {bundled});
  const TAppFiles f = ResolveAppFiles("/usr/bin/zelk", env);
  EXPECT_EQ(SettingsFileToRead(f, own, env), bundled);
  EXPECT_EQ(SettingsFileToRead(f, "/home/u/other.zelk", env), "");
  EXPECT_EQ(SettingsFileToRead(f, "", env), "");
  env = FakeEnv(false, {bundled, own});
  EXPECT_EQ(SettingsFileToRead(f, own, env), own);
}

TEST_F(StateFileOnDisk, MakeFoldersCreatesTheChainAndRefusesAFileInTheWay) {
  std::string why;
  EXPECT_TRUE(MakeFolders(dir_ + "/a/b/c", &why)) << why;
  struct stat st;
  ASSERT_EQ(stat((dir_ + "/a/b/c").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(MakeFolders(dir_ + "/a/b/c", &why));
  std::ofstream(dir_ + "/file") << "x";
  EXPECT_FALSE(MakeFolders(dir_ + "/file/d", &why));
  EXPECT_NE(why.find("/file"), std::string::npos);
}

TEST(AppFiles, SystemEnvironmentSeesWritableFolders) {
  const TAppEnvironment env = SystemEnvironment();
  EXPECT_TRUE(env.IsWritableDir("/tmp"));
  EXPECT_FALSE(env.IsWritableDir("/nonexistent-zelk-dir"));
  EXPECT_FALSE(env.FileExists("/tmp"));
}

}  // namespace
}  // namespace zelk
