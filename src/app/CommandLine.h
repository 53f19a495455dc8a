// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of zelk: `zelk SUBCOMMAND [options]`. Without a subcommand the
// window starts.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <string>

#include "settings/PrintSetting.h"
#include "settings/Printsettingunit.h"

namespace zelk {

class TPrinterService;
struct TSheetPreset;

/// Exit statuses of the command line.
enum TExitStatus { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

/// A usage error: a bad option or value, reported in one line with exit status 2.
struct TUsageError {
  QString Message;
};

/// A failure of the command's own work, such as a file that cannot be read or written:
/// reported in one line with exit status 1.
struct TCommandError {
  QString Message;
};

/// One subcommand: its name, a one-line summary, the options it adds, and its run.
struct TSubcommand {
  const char* Name;
  const char* Summary;
  /// Adds the subcommand's own options and positional arguments to the parser.
  void (*AddOptions)(QCommandLineParser& parser);
  /// Runs it after parsing; throws TUsageError for bad values.
  int (*Run)(QCommandLineParser& parser);
};

/// The bytes of a file name given on the command line: the arguments keep every byte
/// of a name that is not UTF-8 (FileNameToUtf16), and this gives them back.
std::string NativePath(const QString& path);

/// Writes `bytes` to the file `path` through AtomicWriteFile (only a regular file is
/// replaced, and only whole); a failure throws TCommandError with its reason.
void WriteFileForCommand(const QString& path, const QByteArray& bytes);

/// False only when the window is to start: no argument, or a single one that is an
/// existing file (not a folder) or the name of a new ".zelk" file. Everything else
/// (a subcommand, help, an option, a mistyped command, more arguments) is the command
/// line's, which refuses what it does not know.
bool IsCommandLineInvocation(const QStringList& arguments);

/// Runs the command line. A QCoreApplication (or a GUI one) must exist.
int RunCommandLine(const QStringList& arguments);

// Shared option handling for the subcommands that draw a sheet.

/// --printer, --dpi, --paper, --offset, --preset, --landscape, --set.
void AddSheetOptions(QCommandLineParser& parser);
/// The ready-made sheet --preset names, or null without it. Throws TUsageError, listing
/// the names, for a name that is none.
const TSheetPreset* PresetOption(const QCommandLineParser& parser);
/// --png-dpi N, the resolution of PNG output.
void AddPngDpiOption(QCommandLineParser& parser);
/// The --png-dpi given, or the default without it. Throws TUsageError for a value
/// outside 1..kMaxPngDpi, or for one given though the output is no PNG.
int PngDpiOption(const QCommandLineParser& parser, bool pngOutput);
/// Selects and sets up the printer from --printer, --dpi, --paper and --offset.
void ApplyPrinterOptions(const QCommandLineParser& parser, TPrinterService& printer);
/// The settings of a first start on the printer, with --preset (its paper unless --paper
/// chose one and the printer offers it, its orientation, its fields), --landscape and
/// every --set applied, in that order.
TPrintSetting SheetSettingsFromOptions(const QCommandLineParser& parser, TPrinterService& printer);
/// Applies every --set Field=Value to `s`.
void ApplySetOptions(const QCommandLineParser& parser, TPrintSetting& s);

/// As SheetSettingsFromOptions, but when the parser holds one positional argument it is
/// a settings file, read over the first-start settings as opening it in the window does
/// (fields the file lacks keep their first-start values); then --landscape (as
/// Portrait=0) and every --set apply. More than one positional argument is a
/// TUsageError; a file that cannot be read is a TCommandError. A file that stops early
/// is no failure: a note on standard error says where reading stopped. A length the
/// file holds beyond what a numeric field can (LengthFitsField), and that no --set
/// replaced, is a TCommandError naming the field, the value and the range.
TPrintSetting SheetSettingsFromFileOrOptions(const QCommandLineParser& parser,
                                             TPrinterService& printer);
/// As above with the settings file named by the caller, or none when `file` is null.
TPrintSetting SheetSettingsFromFileOrOptions(const QCommandLineParser& parser,
                                             TPrinterService& printer, const QString* file);

/// Reads the settings file `path` into `s` (see LoadSettingsFile); prints the note of
/// ReadStopNote on standard error when reading stopped early, and one note for each
/// text that was shortened to kMaxFieldTextUnits. Throws TCommandError when
/// the file cannot be read.
void LoadSettingsFileForCommand(const QString& path, TPrintSetting& s,
                                TReadReport* report = nullptr);

/// One line saying where and why reading a settings file stopped, or an empty text for
/// a complete file (its end marker read, nothing after it).
QString ReadStopNote(const TReadReport& report, uint64_t trailingBytes);

}  // namespace zelk
