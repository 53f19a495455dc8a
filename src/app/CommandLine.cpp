// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/CommandJob.h"
#include "base/Utf8.h"
#include "form/FormTransfer.h"
#include "preview/qt/CupsQueue.h"
#include "preview/qt/Export.h"
#include "preview/qt/PrinterService.h"
#include "settings/NumberText.h"
#include "settings/SettingFields.h"
#include "settings/SettingsFileIO.h"
#include "settings/SheetPresets.h"

namespace zelk {

// Defined in the Cmd*.cpp files.
extern const TSubcommand kLayoutCommand;
extern const TSubcommand kRenderCommand;
extern const TSubcommand kOpsCommand;
extern const TSubcommand kShowCommand;
extern const TSubcommand kWriteCommand;
extern const TSubcommand kPrintCommand;
extern const TSubcommand kComposeCommand;
extern const TSubcommand kPresetsCommand;

namespace {

const TSubcommand* const kCommands[] = {&kLayoutCommand,  &kRenderCommand, &kOpsCommand,
                                        &kShowCommand,    &kWriteCommand,  &kPrintCommand,
                                        &kComposeCommand, &kPresetsCommand};

const TSubcommand* FindCommand(const QString& name) {
  for (const TSubcommand* c : kCommands)
    if (name == QLatin1String(c->Name)) return c;
  return nullptr;
}

void PrintError(const QString& message) {
  std::fprintf(stderr, "zelk: %s\n", message.toUtf8().constData());
}

QString SubcommandList() {
  QStringList names;
  for (const TSubcommand* c : kCommands) names << QLatin1String(c->Name);
  return names.join(QStringLiteral(", "));
}

// An argument the window takes as the settings file to open: an existing file (not a
// folder), or the name of a new ".zelk" file that the first save will create.
bool IsWindowFileArgument(const QString& arg) {
  if (arg.isEmpty() || arg.startsWith(QLatin1Char('-'))) return false;
  struct stat st;
  if (::stat(NativePath(arg).c_str(), &st) == 0) return !S_ISDIR(st.st_mode);
  return arg.endsWith(QStringLiteral(".zelk"), Qt::CaseInsensitive);
}

// Qt's help begins with the executable's full path; a subcommand's help names the
// command as it is typed.
QString SubcommandHelp(const QCommandLineParser& parser, const TSubcommand& command) {
  QString text = parser.helpText();
  const QString qtUsage =
      QStringLiteral("Usage: ") + QCoreApplication::arguments().value(0) + QLatin1Char(' ');
  if (text.startsWith(qtUsage))
    text.replace(0, qtUsage.size(),
                 QStringLiteral("Usage: zelk %1 ").arg(QLatin1String(command.Name)));
  return text;
}

QString GeneralHelp() {
  QString text = QStringLiteral(
      "Usage: zelk [FILE.zelk]\n"
      "       zelk SUBCOMMAND [options]\n\n"
      "Designs and prints blank Japanese manuscript paper. Without a subcommand the\n"
      "window opens.\n\nSubcommands:\n");
  for (const TSubcommand* c : kCommands)
    text +=
        QStringLiteral("  %1  %2\n").arg(QLatin1String(c->Name), -8).arg(QLatin1String(c->Summary));
  text += QStringLiteral(
      "\nOptions:\n"
      "  -h, --help     Show this help.\n"
      "  -v, --version  Show the version.\n"
      "\n'zelk SUBCOMMAND --help' shows its options.\n");
  return text;
}

// What went to standard output reached it, flushed and with no error on the way; else the
// command fails with the reason, however much it wrote. A status already a failure stays.
int FinishStandardOutput(int status) {
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (status != kExitOk || (flushed && !std::ferror(stdout))) return status;
  PrintError(error != 0 ? QStringLiteral("標準出力に書き込めません: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(error)))
                        : QStringLiteral("標準出力に書き込めません"));
  return kExitFailure;
}

bool ParseIntPair(const QString& text, QChar sep, int& a, int& b, bool allowSingle) {
  const QStringList parts = text.split(sep);
  bool ok1 = false, ok2 = false;
  if (parts.size() == 1 && allowSingle) {
    a = b = parts[0].toInt(&ok1);
    return ok1;
  }
  if (parts.size() != 2) return false;
  a = parts[0].toInt(&ok1);
  b = parts[1].toInt(&ok2);
  return ok1 && ok2;
}

}  // namespace

std::string NativePath(const QString& path) { return FileNameFromUtf16(path.toStdU16String()); }

void WriteFileForCommand(const QString& path, const QByteArray& bytes) {
  std::string error;
  const bool ok = AtomicWriteFile(
      NativePath(path),
      [&bytes](TByteWriter& w) { w.Write(bytes.constData(), static_cast<size_t>(bytes.size())); },
      &error);
  if (!ok) throw TCommandError{QString::fromStdString(error)};
}

bool IsCommandLineInvocation(const QStringList& arguments) {
  if (arguments.size() < 2) return false;
  // The window takes one settings file and no option; anything else is the command
  // line's, which names what it does not know rather than open the window.
  return arguments.size() > 2 || !IsWindowFileArgument(arguments[1]);
}

namespace {
const QString kPngDpi = QStringLiteral("png-dpi");
}  // namespace

void AddPngDpiOption(QCommandLineParser& parser) {
  parser.addOption({kPngDpi,
                    QStringLiteral("Resolution of PNG output, 1 to %1 dpi (default %2).")
                        .arg(kMaxPngDpi)
                        .arg(kDefaultPngDpi),
                    QStringLiteral("N")});
}

int PngDpiOption(const QCommandLineParser& parser, bool pngOutput) {
  if (!parser.isSet(kPngDpi)) return kDefaultPngDpi;
  const QString text = parser.value(kPngDpi);
  bool ok = false;
  const int dpi = text.toInt(&ok);
  if (!ok || dpi < 1 || dpi > kMaxPngDpi)
    throw TUsageError{
        QStringLiteral("--png-dpi '%1' は 1 から %2 までです").arg(text).arg(kMaxPngDpi)};
  if (!pngOutput) throw TUsageError{QStringLiteral("--png-dpi は PNG の出力にだけ使えます")};
  return dpi;
}

void AddSheetOptions(QCommandLineParser& parser) {
  parser.addOption({QStringLiteral("printer"),
                    QStringLiteral("Printer to use: a CUPS queue, or PDF, the virtual printer "
                                   "\"PDF ファイル\" that writes a PDF file. A CUPS queue "
                                   "named PDF is reached as cups:PDF."),
                    QStringLiteral("NAME")});
  parser.addOption({QStringLiteral("dpi"),
                    QStringLiteral("Resolution of the virtual printer, for portrait: X or XxY."),
                    QStringLiteral("X[xY]")});
  parser.addOption({QStringLiteral("paper"),
                    QStringLiteral("Paper: A3, A4, A5, B4, B5 (JIS), Letter or WxH in mm; on a "
                                   "CUPS queue one of the media it offers."),
                    QStringLiteral("PAPER")});
  parser.addOption({QStringLiteral("offset"),
                    QStringLiteral("Printable-area offset of the virtual printer, device pixels."),
                    QStringLiteral("X,Y")});
  parser.addOption(
      {QStringLiteral("preset"),
       QStringLiteral("Start from a ready-made sheet ('zelk presets' lists them): its paper "
                      "when the printer offers it, grid, lines and colours; --paper, "
                      "--landscape and --set apply over it. Not with a settings FILE."),
       QStringLiteral("NAME")});
  parser.addOption(
      {QStringLiteral("landscape"), QStringLiteral("Lay the paper landscape (横長).")});
  parser.addOption(
      {QStringLiteral("set"),
       QStringLiteral("Set a settings field, e.g. Tate=10 or TitleULFont=IPAMincho,12,bold. "
                      "Repeatable."),
       QStringLiteral("Field=Value")});
}

const TSheetPreset* PresetOption(const QCommandLineParser& parser) {
  if (!parser.isSet(QStringLiteral("preset"))) return nullptr;
  const QString name = parser.value(QStringLiteral("preset"));
  if (const TSheetPreset* p = FindSheetPreset(name.toStdString())) return p;
  QStringList names;
  for (const TSheetPreset& p : SheetPresets()) names << QLatin1String(p.Name);
  throw TUsageError{QStringLiteral("no preset named '%1'; the presets are %2")
                        .arg(name, names.join(QStringLiteral(", ")))};
}

namespace {

// The preset's paper on the printer, unless --paper chose one: a printer that does not
// offer it keeps its own, with a note.
void SelectPresetPaper(const TSheetPreset& preset, TPrinterService& printer) {
  const QString name = QString::fromStdU16String(preset.Paper);
  bool selected = false;
  QStringList available;
  if (printer.IsVirtual()) {
    const auto paper = ParsePaperSize(name.toStdString());
    selected = paper && printer.Virtual().SetPaper(*paper);
  } else {
    selected = printer.SelectQueuePaper(name, preset.ShortMm, preset.LongMm, &available);
  }
  if (!selected)
    PrintError(QStringLiteral("note: the printer %1 has no paper %2; the sheet %3 is laid out on "
                              "its paper %4")
                   .arg(QString::fromStdU16String(printer.PrinterName()), name,
                        QLatin1String(preset.Name), printer.PaperName()));
}

}  // namespace

void ApplyPrinterOptions(const QCommandLineParser& parser, TPrinterService& printer) {
  if (parser.isSet(QStringLiteral("printer"))) {
    const QString name = parser.value(QStringLiteral("printer"));
    if (!printer.SelectPrinter(name)) {
      // Without a scheduler no queue can be found; say so rather than that it is unknown.
      const TQueueState queue = QueryQueue(name);
      if (queue.SchedulerDown)
        throw TCommandError{
            QStringLiteral("プリンター %1 に接続できません: CUPS が応答しません (%2)")
                .arg(name, queue.Reason)};
      throw TUsageError{QStringLiteral("no printer named '%1'").arg(name)};
    }
  }
  const bool virtualOptions =
      parser.isSet(QStringLiteral("dpi")) || parser.isSet(QStringLiteral("offset"));
  if (virtualOptions && !printer.IsVirtual())
    throw TUsageError{QStringLiteral("--dpi and --offset apply only to the printer \"PDF\"")};
  TVirtualPrinter& v = printer.Virtual();
  if (parser.isSet(QStringLiteral("paper"))) {
    const QString text = parser.value(QStringLiteral("paper"));
    const auto paper = ParsePaperSize(text.toStdString());
    if (!paper)
      throw TUsageError{QStringLiteral("bad --paper '%1' (A3, A4, A5, B4, B5, Letter, or WxH in "
                                       "mm with each side over 0 and at most 5000)")
                            .arg(text)};
    if (printer.IsVirtual() && !v.SetPaper(*paper))
      throw TUsageError{QStringLiteral("bad --paper '%1': the offsets %2,%3 leave no printable "
                                       "area on it (each offset below half the paper's side)")
                            .arg(text)
                            .arg(v.OffsetX())
                            .arg(v.OffsetY())};
    // A queue's paper is one of the media it offers.
    QStringList available;
    if (!printer.IsVirtual() &&
        !printer.SelectQueuePaper(QString::fromStdU16String(paper->Name), paper->WidthMm,
                                  paper->HeightMm, &available))
      throw TUsageError{QStringLiteral("the printer %1 has no paper '%2'; it has: %3")
                            .arg(QString::fromStdU16String(printer.PrinterName()), text,
                                 available.join(QStringLiteral(", ")))};
  }
  if (parser.isSet(QStringLiteral("dpi"))) {
    const QString text = parser.value(QStringLiteral("dpi"));
    int x = 0, y = 0;
    if (!ParseIntPair(text.toLower(), QLatin1Char('x'), x, y, true) || !v.SetResolution(x, y))
      throw TUsageError{QStringLiteral("bad --dpi '%1' (X or XxY, each 1 to %2)")
                            .arg(text)
                            .arg(TVirtualPrinter::kMaxDpi)};
  }
  if (parser.isSet(QStringLiteral("offset"))) {
    const QString text = parser.value(QStringLiteral("offset"));
    int x = 0, y = 0;
    if (!ParseIntPair(text, QLatin1Char(','), x, y, false) || !v.SetOffsets(x, y)) {
      // The printable area must keep at least one pixel between the two offsets.
      const auto most = [](int pixels) { return std::max(0, (pixels - 1) / 2); };
      throw TUsageError{
          QStringLiteral("bad --offset '%1' (X,Y device pixels: X from 0 to %2, Y from 0 to %3 "
                         "on this paper at this resolution)")
              .arg(text)
              .arg(most(TVirtualPrinter::PaperPixels(v.Paper().WidthMm, v.ResolutionX())))
              .arg(most(TVirtualPrinter::PaperPixels(v.Paper().HeightMm, v.ResolutionY())))};
    }
  }
}

void ApplySetOptions(const QCommandLineParser& parser, TPrintSetting& s) {
  for (const QString& item : parser.values(QStringLiteral("set"))) {
    const auto eq = item.indexOf(QLatin1Char('='));
    if (eq <= 0) throw TUsageError{QStringLiteral("bad --set '%1' (Field=Value)").arg(item)};
    const std::string name = item.left(eq).toStdString();
    const TSettingField* field = FindSettingField(name);
    if (!field)
      throw TUsageError{QStringLiteral("unknown field '%1'").arg(QString::fromStdString(name))};
    std::string why;
    if (!SetFieldFromText(s, *field, item.mid(eq + 1).toStdString(), &why))
      throw TUsageError{QStringLiteral("bad --set %1: %2")
                            .arg(QString::fromStdString(name), QString::fromStdString(why))};
    // A text field holds what the window's fields hold, as a file's text is read.
    if (field->Kind == TFieldKind::Text && (s.*field->Text).size() > kMaxFieldTextUnits) {
      std::u16string& text = s.*field->Text;
      size_t keep = kMaxFieldTextUnits;
      if (QChar::isHighSurrogate(text[keep - 1])) --keep;
      text.resize(keep);
      PrintError(QStringLiteral("note: --set %1: the text is longer than %2 characters; only its "
                                "first %2 are kept")
                     .arg(QString::fromStdString(name))
                     .arg(kMaxFieldTextUnits));
    }
  }
}

TPrintSetting SheetSettingsFromOptions(const QCommandLineParser& parser, TPrinterService& printer) {
  const TSheetPreset* preset = PresetOption(parser);
  ApplyPrinterOptions(parser, printer);
  if (preset && !parser.isSet(QStringLiteral("paper"))) SelectPresetPaper(*preset, printer);
  if (parser.isSet(QStringLiteral("landscape")) || (preset && !preset->Portrait)) {
    // As choosing 横長 in the window: the printer turns, and the paper fields swap.
    printer.SetOrientation(TPrinterOrientation::poLandscape);
  }
  TPrintSetting s = FirstStartSettings(printer, printer.PaperName().toStdU16String());
  if (preset) preset->Apply(s);
  ApplySetOptions(parser, s);
  return s;
}

QString ReadStopNote(const TReadReport& report, uint64_t trailingBytes) {
  auto entry = [](int32_t tag) {
    const char* name = SettingsEntryName(tag);
    return QStringLiteral("%1 (0x%2)")
        .arg(QLatin1String(name ? name : "?"))
        .arg(static_cast<uint32_t>(tag), 0, 16);
  };
  const QString at = QStringLiteral("reading stopped at byte %1: ").arg(report.StopOffset);
  switch (report.Stop) {
    case TReadStop::EndMarker:
      if (trailingBytes == 0) return QString();
      return at +
             QStringLiteral("end marker; the %1 bytes after it were not read").arg(trailingBytes);
    case TReadStop::UnknownTag:
      return at + QStringLiteral("unknown tag 0x%1; the rest of the file was not read")
                      .arg(static_cast<uint32_t>(report.StopTag), 0, 16);
    case TReadStop::EndOfFile:
      return at + QStringLiteral("the file ends without its end marker");
    case TReadStop::CutEntry:
      if (report.StopTag == 0) return at + QStringLiteral("the file ends inside a tag");
      return at + QStringLiteral("the file ends inside the entry %1 that begins at byte %2")
                      .arg(entry(report.StopTag))
                      .arg(report.EntryOffset);
  }
  return QString();
}

void LoadSettingsFileForCommand(const QString& path, TPrintSetting& s, TReadReport* report) {
  TReadReport local;
  TReadReport& rep = report ? *report : local;
  std::string error;
  uint64_t trailing = 0;
  if (!LoadSettingsFile(NativePath(path), s, &rep, &error, &trailing))
    throw TCommandError{QString::fromStdString(error)};
  const QString note = ReadStopNote(rep, trailing);
  if (!note.isEmpty()) PrintError(QStringLiteral("note: %1: %2").arg(path, note));
  for (int32_t tag : rep.TagsShortened)
    PrintError(QStringLiteral("note: %1: the text of %2 is longer than %3 characters; only its "
                              "first %3 were read")
                   .arg(path, QLatin1String(SettingsEntryName(tag)))
                   .arg(kMaxFieldTextUnits));
}

void RequireDrawableLengths(const QString& path, const TPrintSetting& s) {
  if (const TSettingField* f = FirstUnfitLength(s))
    throw TCommandError{QStringLiteral("%1: %2 = %3 is out of range (a length from %4 mm)")
                            .arg(path, QLatin1String(f->Name),
                                 QString::number(s.*f->Double, 'g', 17),
                                 QString::fromStdString(LengthRangeText()))};
}

TPrintSetting SheetSettingsFromFileOrOptions(const QCommandLineParser& parser,
                                             TPrinterService& printer) {
  const QStringList args = parser.positionalArguments();
  if (args.size() > 1) throw TUsageError{QStringLiteral("unexpected argument '%1'").arg(args[1])};
  return SheetSettingsFromFileOrOptions(parser, printer, args.isEmpty() ? nullptr : &args[0]);
}

TPrintSetting SheetSettingsFromFileOrOptions(const QCommandLineParser& parser,
                                             TPrinterService& printer, const QString* file) {
  if (!file) return SheetSettingsFromOptions(parser, printer);
  if (parser.isSet(QStringLiteral("preset")))
    throw TUsageError{QStringLiteral("--preset and a settings FILE cannot be given together")};
  ApplyPrinterOptions(parser, printer);
  TPrintSetting s = FirstStartSettings(printer, printer.PaperName().toStdU16String());
  LoadSettingsFileForCommand(*file, s);
  if (parser.isSet(QStringLiteral("landscape"))) s.Portrait = false;
  ApplySetOptions(parser, s);
  // Every --set was checked; what is left out of range came from the file.
  RequireDrawableLengths(*file, s);
  return s;
}

int RunCommandLine(const QStringList& arguments) {
  const QString first = arguments.value(1);
  if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
      first == QLatin1String("help")) {
    std::fputs(GeneralHelp().toUtf8().constData(), stdout);
    return FinishStandardOutput(kExitOk);
  }
  if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
    std::printf("zelk %s\n", QCoreApplication::applicationVersion().toUtf8().constData());
    return FinishStandardOutput(kExitOk);
  }
  const TSubcommand* command = FindCommand(first);
  if (!command) {
    PrintError(QStringLiteral("unknown command '%1'; the subcommands are %2 (see zelk --help). "
                              "The window takes one FILE.zelk and no option.")
                   .arg(first, SubcommandList()));
    return kExitUsage;
  }
  QCommandLineParser parser;
  parser.setApplicationDescription(QLatin1String(command->Summary));
  parser.addHelpOption();
  command->AddOptions(parser);
  QStringList args = arguments;
  args.removeAt(1);
  args[0] = QStringLiteral("zelk %1").arg(QLatin1String(command->Name));
  if (!parser.parse(args)) {
    PrintError(parser.errorText());
    return kExitUsage;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(SubcommandHelp(parser, *command).toUtf8().constData(), stdout);
    return FinishStandardOutput(kExitOk);
  }
  try {
    return FinishStandardOutput(command->Run(parser));
  } catch (const TUsageError& e) {
    PrintError(e.Message);
    return kExitUsage;
  } catch (const TCommandError& e) {
    PrintError(e.Message);
    return kExitFailure;
  } catch (const TJobInterrupted& e) {
    PrintError(QStringLiteral("中断しました。書きかけの出力は残していません"));
    return 128 + e.Signal;
  } catch (const EConvertError& e) {
    // A length that no numeric field can hold (too many digits, not finite).
    PrintError(QString::fromStdU16String(e.Message()));
    return kExitFailure;
  }
}

}  // namespace zelk
