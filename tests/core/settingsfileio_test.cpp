// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading settings files on disk: atomic replacement, kept permissions, and
// clean failures that leave the old file byte for byte.

#include "settings/SettingsFileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zelk {
namespace fs = std::filesystem;
namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string Serialize(const TPrintSetting& s) {
  TMemoryWriter w;
  WriteSettingsFile(w, s);
  return w.Bytes();
}

std::vector<std::string> Listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SettingsFileIO : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zelk-fileio-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    changed_.SettingName = u"縦書き二十行";
    changed_.Tate = 10;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  TPrintSetting changed_;
};

// A writer in front of the file that lets `budget` bytes through and then fails.
class TFailAfter : public TByteWriter {
 public:
  TFailAfter(TByteWriter& inner, size_t budget) : inner_(inner), budget_(budget) {}

 protected:
  bool WriteAll(const void* src, size_t n) override {
    if (n > budget_) {
      errno = ENOSPC;
      return false;
    }
    budget_ -= n;
    inner_.Write(src, n);
    return !inner_.Failed();
  }

 private:
  TByteWriter& inner_;
  size_t budget_;
};

TWriterFilter FailAfter(size_t budget) {
  return [budget](TByteWriter& file) { return std::make_unique<TFailAfter>(file, budget); };
}

TEST_F(SettingsFileIO, SaveWritesTheSettingsFileAndLoadReadsItBack) {
  const fs::path path = dir_ / "sheet.zelk";
  std::string error;
  ASSERT_TRUE(SaveSettingsFile(path.string(), changed_, &error)) << error;
  EXPECT_EQ(Slurp(path), Serialize(changed_));
  EXPECT_EQ(Listing(dir_), std::vector<std::string>{"sheet.zelk"});

  TPrintSetting back;
  TReadReport report;
  uint64_t trailing = 99;
  ASSERT_TRUE(LoadSettingsFile(path.string(), back, &report, &error, &trailing)) << error;
  EXPECT_EQ(back.SettingName, u"縦書き二十行");
  EXPECT_EQ(back.Tate, 10);
  EXPECT_EQ(report.Stop, TReadStop::EndMarker);
  EXPECT_EQ(trailing, 0u);
}

TEST_F(SettingsFileIO, NewFileGetsTheUmaskAndAnExistingOneKeepsItsMode) {
  const mode_t oldMask = ::umask(022);
  const fs::path fresh = dir_ / "new.zelk";
  ASSERT_TRUE(SaveSettingsFile(fresh.string(), changed_, nullptr));
  struct stat st;
  ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);

  const fs::path kept = dir_ / "kept.zelk";
  Put(kept, "old");
  ASSERT_EQ(::chmod(kept.c_str(), 0604), 0);
  ASSERT_TRUE(SaveSettingsFile(kept.string(), changed_, nullptr));
  ASSERT_EQ(::stat(kept.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_EQ(Slurp(kept), Serialize(changed_));
  ::umask(oldMask);
}

TEST_F(SettingsFileIO, SaveThroughASymlinkReplacesItsTargetAndKeepsTheLink) {
  const fs::path target = dir_ / "real.zelk";
  const fs::path link = dir_ / "link.zelk";
  Put(target, "old");
  fs::create_symlink(target, link);
  ASSERT_TRUE(SaveSettingsFile(link.string(), changed_, nullptr));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(target), Serialize(changed_));
}

struct TUnwritableCase {
  const char* Name;
  std::string Path;  // "%" stands for the test folder
  std::string Reason;
};

class Unwritable : public SettingsFileIO, public ::testing::WithParamInterface<TUnwritableCase> {};

// Tests run as root, where permission bits do not stop a write: the folders here cannot
// hold a new file for other reasons.
TEST_P(Unwritable, FailsWithAReasonAndLeavesNoFile) {
  Put(dir_ / "plain", "a file in place of a folder");
  fs::create_directory(dir_ / "folder.zelk");
  std::string path = GetParam().Path;
  if (path.find('%') != std::string::npos) path.replace(path.find('%'), 1, dir_.string());
  std::string error;
  EXPECT_FALSE(SaveSettingsFile(path, changed_, &error)) << GetParam().Name;
  EXPECT_NE(error.find(GetParam().Reason), std::string::npos) << error;
  if (!path.empty()) {
    EXPECT_EQ(error.find("「" + path + "」"), 0u) << error;
  }
  EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"folder.zelk", "plain"}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Unwritable,
    ::testing::Values(TUnwritableCase{"missing folder", "%/missing/sheet.zelk",
                                      "一時ファイルを作成できません (No such file or directory)"},
                      TUnwritableCase{"a file as folder", "%/plain/sheet.zelk",
                                      "一時ファイルを作成できません (Not a directory)"},
                      TUnwritableCase{"proc", "/proc/zelk-sheet.zelk",
                                      "一時ファイルを作成できません"},
                      TUnwritableCase{"a folder as the file", "%/folder.zelk", "フォルダーです"},
                      TUnwritableCase{"no name", "", "ファイル名がない"}),
    [](const ::testing::TestParamInfo<TUnwritableCase>& info) {
      return std::to_string(info.index);
    });

// Only regular files are replaced: a save never turns a device, a FIFO or what a link
// leads to into a regular file.
TEST_F(SettingsFileIO, SpecialTargetsAreRefusedAndLeftAsTheyWere) {
  ASSERT_EQ(::mkfifo((dir_ / "pipe.zelk").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", dir_ / "null.zelk");
  // A link to a pipe of the test's own, whatever its standard output is.
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), dir_ / "own-pipe.zelk");
  for (const char* name : {"pipe.zelk", "null.zelk", "own-pipe.zelk"}) {
    std::string error;
    EXPECT_FALSE(SaveSettingsFile((dir_ / name).string(), changed_, &error)) << name;
    EXPECT_NE(error.find("通常のファイルではありません"), std::string::npos) << error;
  }
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.zelk"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "null.zelk") && fs::is_character_file("/dev/null"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "own-pipe.zelk"));
  EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"null.zelk", "own-pipe.zelk", "pipe.zelk"}));
  ::close(ends[0]);
  ::close(ends[1]);
}

class FailingWrite : public SettingsFileIO, public ::testing::WithParamInterface<size_t> {};

TEST_P(FailingWrite, LeavesTheOldFileByteForByte) {
  const fs::path path = dir_ / "sheet.zelk";
  const std::string old = Serialize(TPrintSetting()) + "and some bytes the old file had";
  Put(path, old);
  std::string error;
  // SIZE_MAX stands for "all but the last byte".
  const size_t budget = GetParam() == SIZE_MAX ? Serialize(changed_).size() - 1 : GetParam();
  EXPECT_FALSE(SaveSettingsFile(path.string(), changed_, &error, FailAfter(budget)));
  EXPECT_NE(error.find("書き込みに失敗しました (No space left on device)"), std::string::npos)
      << error;
  EXPECT_EQ(Slurp(path), old);
  EXPECT_EQ(Listing(dir_), std::vector<std::string>{"sheet.zelk"});
}

INSTANTIATE_TEST_SUITE_P(Budgets, FailingWrite, ::testing::Values(0, 3, 100, 1000, SIZE_MAX));

TEST_F(SettingsFileIO, AFilterThatLetsEverythingThroughSaves) {
  const fs::path path = dir_ / "sheet.zelk";
  ASSERT_TRUE(SaveSettingsFile(path.string(), changed_, nullptr, FailAfter(1 << 20)));
  EXPECT_EQ(Slurp(path), Serialize(changed_));
}

// Content given piece by piece, as a long job writes its pages: nothing of it is in
// place before Commit, and a job given up half way leaves the old file and no temporary
// file, whichever way it ends.
TEST_F(SettingsFileIO, AFileWrittenInStepsReplacesTheOldOnlyWhenCommitted) {
  const fs::path path = dir_ / "novel.pdf";
  Put(path, "the old file");
  std::string error;
  const auto writePages = [](TAtomicFile& file) {
    for (int page = 0; page < 1000; ++page) file.Writer().Write("page of text\n", 13);
  };
  for (const bool discard : {false, true}) {
    {
      TAtomicFile file;
      ASSERT_TRUE(file.Open(path.string(), &error)) << error;
      writePages(file);
      EXPECT_EQ(Slurp(path), "the old file");
      if (discard) {
        file.Discard();
        EXPECT_FALSE(file.Commit(&error));
      }
    }
    EXPECT_EQ(Slurp(path), "the old file") << discard;
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"novel.pdf"}) << discard;
  }
  TAtomicFile file;
  ASSERT_TRUE(file.Open(path.string(), &error)) << error;
  writePages(file);
  ASSERT_TRUE(file.Commit(&error)) << error;
  EXPECT_EQ(fs::file_size(path), 13000u);
  EXPECT_FALSE(file.Commit(&error));  // once only
  EXPECT_EQ(Listing(dir_), std::vector<std::string>{"novel.pdf"});
}

TEST_F(SettingsFileIO, LoadFailuresLeaveTheSettingsUnchanged) {
  const fs::path fifo = dir_ / "pipe.zelk";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct {
    std::string Path;
    std::string Reason;
  } cases[] = {
      {(dir_ / "missing.zelk").string(), "を開けません (No such file or directory)"},
      {dir_.string(), "はフォルダーです"},
      {"/proc/self/mem", "を読み込めません"},             // every read of it fails with EIO
      {fifo.string(), "は通常のファイルではありません"},  // refused without waiting for a writer
      {"/dev/null", "は通常のファイルではありません"},
  };
  for (const auto& c : cases) {
    TPrintSetting s = changed_;
    std::string error;
    EXPECT_FALSE(LoadSettingsFile(c.Path, s, nullptr, &error)) << c.Path;
    EXPECT_NE(error.find(c.Reason), std::string::npos) << error;
    EXPECT_EQ(Serialize(s), Serialize(changed_)) << c.Path;
  }
}

TEST_F(SettingsFileIO, LoadOfADamagedFileKeepsWhatWasReadAndCountsTheRest) {
  const fs::path path = dir_ / "odd.zelk";
  std::string bytes = Serialize(changed_);
  bytes += "trailing";
  Put(path, bytes);
  TPrintSetting s;
  TReadReport report;
  uint64_t trailing = 0;
  ASSERT_TRUE(LoadSettingsFile(path.string(), s, &report, nullptr, &trailing));
  EXPECT_EQ(s.Tate, 10);
  EXPECT_EQ(trailing, 8u);

  Put(path, bytes.substr(0, 29));  // the last byte of PaperName's text is missing
  TPrintSetting cut;
  ASSERT_TRUE(LoadSettingsFile(path.string(), cut, &report, nullptr, &trailing));
  EXPECT_EQ(cut.SettingName, u"縦書き二十行");
  EXPECT_EQ(report.Stop, TReadStop::CutEntry);
  EXPECT_EQ(report.StopOffset, 29u);
  EXPECT_EQ(cut.PaperName, u"A");
  EXPECT_EQ(trailing, 0u);
}

}  // namespace
}  // namespace zelk
