// SPDX-License-Identifier: GPL-3.0-or-later
// Where restored windows go and where the file dialogs start.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "ui/DocumentCommands.h"
#include "ui/WindowPlacement.h"

namespace zelk {
namespace {

const QRect kLeft(0, 0, 1600, 1170);      // the left screen, a panel along its bottom
const QRect kRight(1600, 0, 1280, 1024);  // the right screen
const QList<QRect> kScreens = {kLeft, kRight};

struct TFitCase {
  const char* Name;
  QRect Stored;
  QRect Fitted;
};

class FitToScreensTest : public ::testing::TestWithParam<TFitCase> {};

TEST_P(FitToScreensTest, Fits) {
  EXPECT_EQ(FitToScreens(GetParam().Stored, kScreens, kLeft), GetParam().Fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitToScreensTest,
    ::testing::Values(
        TFitCase{"inside_the_left_screen_stays", QRect(300, 200, 334, 340),
                 QRect(300, 200, 334, 340)},
        TFitCase{"inside_the_right_screen_stays", QRect(2000, 100, 730, 460),
                 QRect(2000, 100, 730, 460)},
        TFitCase{"title_bar_above_the_screen_comes_down", QRect(300, -40, 334, 340),
                 QRect(300, 0, 334, 340)},
        TFitCase{"past_the_bottom_comes_up", QRect(300, 1000, 334, 340), QRect(300, 830, 334, 340)},
        TFitCase{"mostly_on_the_right_screen_fits_it", QRect(2700, 900, 400, 300),
                 QRect(2480, 724, 400, 300)},
        TFitCase{"larger_than_the_screen_shrinks_to_it", QRect(0, 0, 100000, 100000),
                 QRect(0, 0, 1600, 1170)},
        TFitCase{"on_no_screen_goes_to_the_primary", QRect(-2000000000, 2000000000, 1000, 700),
                 QRect(0, 470, 1000, 700)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DialogStartFolderTest, DocumentThenLastThenDocumentsNeverTheProgram) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* sub : {"program", "work", "last", "Documents"}) QDir(dir.path()).mkpath(sub);
  const QString program = dir.filePath("program");
  const QString work = dir.filePath("work");
  const QString last = dir.filePath("last");
  const QString documents = dir.filePath("Documents");
  const QString defaults = program + "/zelk.zelk";
  struct {
    const char* Name;
    QString Current;
    QString Last;
    QString Expected;
  } const rows[] = {
      {"the document's folder", work + "/用紙.zelk", last, work},
      {"the folder used last for the default file", defaults, last, last},
      {"documents at first", defaults, QString(), documents},
      {"documents for an unnamed document", QString(), QString(), documents},
      {"a document in the program's folder is passed over", program + "/mine.zelk", QString(),
       documents},
      {"a folder that is gone is passed over", dir.filePath("gone/a.zelk"), dir.filePath("gone2"),
       documents},
  };
  for (const auto& row : rows) {
    TDialogFolders f;
    f.CurrentFile = row.Current;
    f.DefaultFile = defaults;
    f.LastFolder = row.Last;
    f.ProgramFolder = program;
    f.Documents = documents;
    EXPECT_EQ(DialogStartFolder(f), row.Expected) << row.Name;
  }
}

// The text's dialog: the last text's folder, the design's, documents, home; a folder
// that does not exist is passed over rather than given as a file name.
TEST(TextDialogStartFolderTest, LastTextThenDesignThenDocumentsThenHome) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* sub : {"texts", "designs", "Documents"}) QDir(dir.path()).mkpath(sub);
  const QString texts = dir.filePath("texts");
  const QString designs = dir.filePath("designs");
  const QString documents = dir.filePath("Documents");
  const QString gone = dir.filePath("gone");
  struct {
    const char* Name;
    QString LastText;
    QString Design;
    QString Documents;
    QString Expected;
  } const rows[] = {
      {"the last text's folder", texts + "/原稿.txt", designs + "/a.zelk", documents, texts},
      {"the design's folder before any text", QString(), designs + "/a.zelk", documents, designs},
      {"the design's folder when the text's is gone", gone + "/t.txt", designs + "/a.zelk",
       documents, designs},
      {"documents without a design", QString(), QString(), documents, documents},
      {"home without documents", QString(), QString(), gone + "/Documents", QDir::homePath()},
      {"home when every folder is gone", gone + "/t.txt", gone + "/a.zelk", gone, QDir::homePath()},
  };
  for (const auto& row : rows)
    EXPECT_EQ(TextDialogStartFolder(row.LastText, row.Design, row.Documents), row.Expected)
        << row.Name;
}

}  // namespace
}  // namespace zelk
