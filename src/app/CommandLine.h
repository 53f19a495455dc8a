#pragma once
// The command line of zelk: `zelk SUBCOMMAND [options]`. Without a subcommand the
// window starts.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include "settings/PrintSetting.h"

namespace zelk {

class TPrinterService;

/// Exit statuses of the command line.
enum TExitStatus { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

/// A usage error: a bad option or value, reported in one line with exit status 2.
struct TUsageError {
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

/// True when the arguments name a subcommand (or ask for help or the version), so the
/// program runs as a command-line tool rather than a window.
bool IsCommandLineInvocation(const QStringList& arguments);

/// Runs the command line. A QCoreApplication (or a GUI one) must exist.
int RunCommandLine(const QStringList& arguments);

// Shared option handling for the subcommands that draw a sheet.

/// --printer, --dpi, --paper, --offset, --landscape, --set.
void AddSheetOptions(QCommandLineParser& parser);
/// Selects and sets up the printer from --printer, --dpi, --paper and --offset.
void ApplyPrinterOptions(const QCommandLineParser& parser, TPrinterService& printer);
/// The settings of a first start on the printer, with --landscape and every --set
/// applied, in the order given.
TPrintSetting SheetSettingsFromOptions(const QCommandLineParser& parser, TPrinterService& printer);
/// Applies every --set Field=Value to `s`.
void ApplySetOptions(const QCommandLineParser& parser, TPrintSetting& s);

}  // namespace zelk
