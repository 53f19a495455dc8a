// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SheetOptions.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "form/FormTransfer.h"
#include "preview/ManuscriptPages.h"
#include "preview/SheetRecording.h"
#include "preview/qt/PrinterService.h"

namespace zelk {

void AddSettingsFileArgument(QCommandLineParser& parser) {
  parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QStringLiteral("A .zelk settings file to draw (else the first-start settings)."),
      QStringLiteral("[FILE]"));
}

void RequireAtMostOneSettingsFile(const QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.size() > 1) throw TUsageError{QStringLiteral("unexpected argument '%1'").arg(args[1])};
}

TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer) {
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer);
  PrepareForDrawing(s, printer);
  return s;
}

TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer,
                                    const QString* file) {
  TPrintSetting s = SheetSettingsFromFileOrOptions(parser, printer, file);
  PrepareForDrawing(s, printer);
  return s;
}

void RecordSheetForCommand(TPrintSetting& s, TPrintPreview& preview) {
  const TSheetRecording r = RecordSheet(s, preview);
  if (!r.Failure.empty())
    throw TCommandError{
        QStringLiteral("the sheet cannot be drawn: %1").arg(QString::fromStdString(r.Failure))};
  if (r.Truncated)
    std::fprintf(stderr,
                 "zelk: warning: the sheet needs more than %zu drawing operations; only the "
                 "first are drawn\n",
                 TMetafileEx::kMaxRecordedOps);
}

namespace {

const QString kTitle = QStringLiteral("title");
const QString kHang = QStringLiteral("hang");
const QString kNumberPages = QStringLiteral("number-pages");
const QString kHeadingCell = QStringLiteral("heading-cell");
const QString kIndentBrackets = QStringLiteral("indent-brackets");
const QString kNoSpaceAfterMarks = QStringLiteral("no-space-after-marks");
const QString kSmallKanaStart = QStringLiteral("small-kana-start");

}  // namespace

void AddManuscriptOptions(QCommandLineParser& parser) {
  parser.addOption({kTitle, QStringLiteral("The first line is the title, the second the author.")});
  parser.addOption({kHang, QStringLiteral("Punctuation that would begin a line hangs below (or "
                                          "beside) the line's last cell.")});
  parser.addOption({kNumberPages, QStringLiteral("Write each page's number on the sheet's "
                                                 "page-number lines, after their title.")});
  parser.addOption(
      {kIndentBrackets, QStringLiteral("Indent a paragraph that opens with 「 or 『 (default: it "
                                       "starts in the first cell).")});
  parser.addOption({kNoSpaceAfterMarks,
                    QStringLiteral("No blank cell after ？ and ！ inside a sentence (default: "
                                   "one).")});
  parser.addOption(
      {kSmallKanaStart, QStringLiteral("Small kana may begin a line (default: they join the line "
                                       "before).")});
  parser.addOption({kHeadingCell,
                    QStringLiteral("The cell a heading (見出し) starts in, from 1 (default 3, "
                                   "as the title)."),
                    QStringLiteral("N")});
}

void RequireTextForManuscriptOptions(const QCommandLineParser& parser, bool textGiven) {
  if (textGiven) return;
  for (const QString& name : {kTitle, kHang, kNumberPages, kHeadingCell, kIndentBrackets,
                              kNoSpaceAfterMarks, kSmallKanaStart})
    if (parser.isSet(name))
      throw TUsageError{QStringLiteral("--%1 は --text と一緒に使います").arg(name)};
}

std::unique_ptr<TManuscriptPages> ManuscriptForCommand(const QCommandLineParser& parser,
                                                       const QString& path,
                                                       const TPrintSetting& s) {
  std::u16string text;
  std::string error;
  if (!ReadManuscriptFile(NativePath(path), &text, &error))
    throw TCommandError{QString::fromStdString(error)};
  TManuscriptStyle style;
  style.Title = parser.isSet(kTitle);
  style.Hang = parser.isSet(kHang);
  style.NumberPages = parser.isSet(kNumberPages);
  style.IndentOpeningBracket = parser.isSet(kIndentBrackets);
  style.SpaceAfterMarks = !parser.isSet(kNoSpaceAfterMarks);
  style.SmallKanaMayStart = parser.isSet(kSmallKanaStart);
  if (parser.isSet(kHeadingCell)) {
    bool ok = false;
    const int cell = parser.value(kHeadingCell).toInt(&ok);
    if (!ok || cell < 1 || cell > 1000)
      throw TUsageError{QStringLiteral("--heading-cell は 1 から 1000 までです: '%1'")
                            .arg(parser.value(kHeadingCell))};
    style.HeadingCell = cell - 1;
  }
  if (style.NumberPages && !s.PageNumber)
    std::fputs(
        "zelk: 注意: この用紙にはページ番号の欄がありません（--set PageNumber=1 で付きます）\n",
        stderr);
  auto pages = std::make_unique<TManuscriptPages>(std::move(text), style);
  pages->Compose(s);
  return pages;
}

const TMetafileEx& RecordTextPageForCommand(TManuscriptPages& text, TPrintSetting& s,
                                            TPrintPreview& preview, int index) {
  const int number = index + 1;
  const TSheetRecording r = text.Record(s, preview, index);
  if (!r.Failure.empty())
    throw TCommandError{QStringLiteral("%1 ページ目を描けません: %2")
                            .arg(number)
                            .arg(QString::fromStdString(r.Failure))};
  if (r.Truncated)
    std::fprintf(stderr, "zelk: 注意: %d ページ目の描画が多すぎるため、途中までを出力します\n",
                 number);
  return *preview.GetPage(0);
}

void NoteTextLeftOut(const TManuscriptPages& text) {
  if (text.RubyLeftOut())
    std::fputs("zelk: 注意: この用紙の升目には脇の欄の幅がないため、ルビを省きました\n", stderr);
}

}  // namespace zelk
