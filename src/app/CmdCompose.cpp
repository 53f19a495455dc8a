// `zelk compose TEXT.txt [FILE] -o OUT.pdf|OUT.svg|OUT.png | --ops`: a text set into the
// sheet's cells, page after page.

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>

#include "app/CommandLine.h"
#include "app/SheetRecording.h"
#include "compose/Manuscript.h"
#include "compose/SheetText.h"
#include "preview/OpsFormat.h"
#include "preview/SheetRecording.h"
#include "preview/qt/Export.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/SettingsFileIO.h"

namespace zelk {
namespace {

const QString kOutput = QStringLiteral("output");
const QString kOps = QStringLiteral("ops");
const QString kTitle = QStringLiteral("title");
const QString kHang = QStringLiteral("hang");
const QString kPngDpi = QStringLiteral("png-dpi");
const QString kNumberPages = QStringLiteral("number-pages");

void AddOptions(QCommandLineParser& parser) {
  parser.addPositionalArgument(
      QStringLiteral("TEXT"),
      QStringLiteral("The text to set: UTF-8 (or code page 932), with Aozora ruby 漢字《かんじ》, "
                     "｜親文字《るび》 and ［＃改ページ］."),
      QStringLiteral("TEXT.txt"));
  AddSettingsFileArgument(parser);
  parser.addOption({{QStringLiteral("o"), kOutput},
                    QStringLiteral("Output: OUT.pdf (one file of every page), or OUT.svg or "
                                   "OUT.png (one file per page: OUT-001.png, OUT-002.png, ...)."),
                    QStringLiteral("OUT")});
  parser.addOption({kOps, QStringLiteral("Print the recorded pages in the op format instead.")});
  parser.addOption({kTitle, QStringLiteral("The first line is the title, the second the author.")});
  parser.addOption({kHang, QStringLiteral("Punctuation that would begin a line hangs below (or "
                                          "beside) the line's last cell.")});
  parser.addOption({kNumberPages, QStringLiteral("Write each page's number on the sheet's "
                                                 "page-number lines, after their title.")});
  parser.addOption({kPngDpi,
                    QStringLiteral("Resolution of PNG output, 1 to %1 dpi (default %2).")
                        .arg(kMaxPngDpi)
                        .arg(kDefaultPngDpi),
                    QStringLiteral("N")});
  AddSheetOptions(parser);
}

// The bytes of the text file; a file that is no regular file or is too large is refused
// (opened as settings files are, so a FIFO does not block).
std::string ReadText(const QString& path) {
  std::string error;
  std::unique_ptr<std::FILE, decltype(&std::fclose)> in(OpenRegularFile(NativePath(path), &error),
                                                        &std::fclose);
  if (!in) throw TCommandError{QString::fromStdString(error)};
  std::string bytes;
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
    bytes.append(buffer, got);
    if (bytes.size() > kMaxManuscriptBytes)
      throw TCommandError{QStringLiteral("%1: テキストが大きすぎます（%2 バイトまで）")
                              .arg(path)
                              .arg(kMaxManuscriptBytes)};
  }
  if (std::ferror(in.get())) throw TCommandError{QStringLiteral("%1: 読み込めません").arg(path)};
  return bytes;
}

// OUT.png gives OUT-001.png for the first page.
QString PagePath(const QString& path, int index) {
  const int dot = path.lastIndexOf(QLatin1Char('.'));
  return path.left(dot) + QStringLiteral("-%1").arg(index, 3, 10, QLatin1Char('0')) + path.mid(dot);
}

void WriteStdout(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    throw TCommandError{QStringLiteral("標準出力に書き込めません")};
}

int Run(QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.isEmpty())
    throw TUsageError{
        QStringLiteral("原稿のテキストファイルを指定してください（zelk compose TEXT.txt "
                       "[FILE.zelk] -o OUT.pdf）")};
  if (args.size() > 2) throw TUsageError{QStringLiteral("余分な引数 '%1' があります").arg(args[2])};
  const bool ops = parser.isSet(kOps);
  const QString out = parser.value(kOutput);
  if (ops == parser.isSet(kOutput))
    throw TUsageError{ops ? QStringLiteral("-o と --ops は一緒に使えません")
                          : QStringLiteral("出力を -o OUT.pdf|OUT.svg|OUT.png か --ops で指定して"
                                           "ください")};
  TExportFormat format = TExportFormat::Pdf;
  if (!ops) {
    const std::optional<TExportFormat> named = ExportFormatFor(out);
    if (!named || QFileInfo(out).completeBaseName().isEmpty())
      throw TUsageError{
          QStringLiteral("-o '%1' の形式が分かりません（OUT.pdf、OUT.svg、OUT.png）").arg(out)};
    format = *named;
  }
  TExportOptions exportOptions;
  if (parser.isSet(kPngDpi)) {
    const QString text = parser.value(kPngDpi);
    bool ok = false;
    exportOptions.PngDpi = text.toInt(&ok);
    if (!ok || exportOptions.PngDpi < 1 || exportOptions.PngDpi > kMaxPngDpi)
      throw TUsageError{
          QStringLiteral("--png-dpi '%1' は 1 から %2 までです").arg(text).arg(kMaxPngDpi)};
    if (ops || format != TExportFormat::Png)
      throw TUsageError{QStringLiteral("--png-dpi は PNG の出力にだけ使えます")};
  }

  const std::u16string text = DecodeManuscript(ReadText(args[0]));
  TPrinterService& printer = TPrinterService::Instance();
  TPrintSetting s = PreparedSheetSettings(parser, printer, args.size() > 1 ? &args[1] : nullptr);
  TComposeOptions options = SheetComposeOptions(s);
  options.Title = parser.isSet(kTitle);
  options.Hang = parser.isSet(kHang);
  const std::vector<TComposedPage> pages = ComposeManuscript(text, options);

  const bool numbered = parser.isSet(kNumberPages);
  if (numbered && !s.PageNumber)
    std::fputs(
        "zelk: 注意: この用紙にはページ番号の欄がありません（--set PageNumber=1 で付きます）\n",
        stderr);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  TSheetTextSetter setter(s);
  std::unique_ptr<TPdfDocument> pdf;
  if (!ops && format == TExportFormat::Pdf) pdf = std::make_unique<TPdfDocument>(s.PrinterInfo);
  if (ops) WriteStdout("zelk-ops 1\n");
  for (size_t i = 0; i < pages.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const TSheetRecording r =
        RecordComposedPage(s, preview, setter, pages[i], numbered ? number : 0);
    if (!r.Failure.empty())
      throw TCommandError{QStringLiteral("%1 ページ目を描けません: %2")
                              .arg(number)
                              .arg(QString::fromStdString(r.Failure))};
    if (r.Truncated)
      std::fprintf(stderr, "zelk: 注意: %d ページ目の描画が多すぎるため、途中までを出力します\n",
                   number);
    const TMetafileEx& page = *preview.GetPage(0);
    QString error;
    if (ops) {
      std::ostringstream text;
      WriteOpsPage(text, page, number);
      WriteStdout(text.str());
    } else if (pdf) {
      if (!pdf->AddPage(page, &error)) throw TCommandError{error};
    } else if (!ExportPage(page, s.PrinterInfo, PagePath(out, number), exportOptions, &error)) {
      throw TCommandError{error};
    }
  }
  const bool ruby = std::any_of(pages.begin(), pages.end(),
                                [](const TComposedPage& p) { return !p.Rubies.empty(); });
  if (ruby && !setter.HasRubyStrip())
    std::fputs("zelk: 注意: この用紙の升目には脇の欄の幅がないため、ルビを省きました\n", stderr);
  if (ops && std::fflush(stdout) != 0)
    throw TCommandError{QStringLiteral("標準出力に書き込めません")};
  if (pdf) WriteFileForCommand(out, pdf->Finish(QFileInfo(args[0]).completeBaseName()));
  return kExitOk;
}

}  // namespace

extern const TSubcommand kComposeCommand = {
    "compose", "Set a text into the sheet's cells, page after page (PDF, SVG, PNG or ops).",
    AddOptions, Run};

}  // namespace zelk
