// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet as the command line draws it: settings from the options, prepared as the
// window prepares them, recorded once on the chosen printer.

#include <QCommandLineParser>
#include <memory>

#include "preview/PrintPreview.h"
#include "settings/PrintSetting.h"

namespace zelk {

class TManuscriptPages;
class TPrinterService;

/// Adds the optional FILE argument of the sheet commands.
void AddSettingsFileArgument(QCommandLineParser& parser);

/// Throws TUsageError for more than one positional argument.
void RequireAtMostOneSettingsFile(const QCommandLineParser& parser);

/// The settings the sheet commands draw: those of a first start on the printer chosen
/// by the options, or of the FILE read over them (SheetSettingsFromFileOrOptions), with
/// --landscape and every --set applied, prepared for drawing
/// (PrepareForDrawing: lengths through their texts, counts held to the controls' limits,
/// the printer turned and its geometry read). The one place where the command line
/// prepares a sheet. Throws TUsageError for a bad option, TCommandError for an
/// unreadable FILE, EConvertError for a length no
/// numeric field can hold.
TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer);
/// As above with the settings file named by the caller, or none when `file` is null.
TPrintSetting PreparedSheetSettings(const QCommandLineParser& parser, TPrinterService& printer,
                                    const QString* file);

/// Records one sheet (RecordSheet of the recorder) for a command: a page cut at
/// TMetafileEx::kMaxRecordedOps is reported on standard error, and a failure of the
/// drawing throws TCommandError with its reason.
void RecordSheetForCommand(TPrintSetting& s, TPrintPreview& preview);

/// Adds --title, --hang and --number-pages: how a text is set into the sheet.
void AddManuscriptOptions(QCommandLineParser& parser);
/// Throws TUsageError when one of those options is given without a text to set.
void RequireTextForManuscriptOptions(const QCommandLineParser& parser, bool textGiven);

/// The text file `path` read (ReadManuscriptFile) and set into `s`'s sheet as the options
/// say. Throws TCommandError when the file cannot be read. Notes on standard error what
/// the sheet cannot show: page numbers without page-number lines.
std::unique_ptr<TManuscriptPages> ManuscriptForCommand(const QCommandLineParser& parser,
                                                       const QString& path, const TPrintSetting& s);

/// Records page `index` of `text` for a command: a failure of the drawing throws
/// TCommandError naming the page, a page cut at TMetafileEx::kMaxRecordedOps is noted on
/// standard error. Returns the recorded page.
const TMetafileEx& RecordTextPageForCommand(TManuscriptPages& text, TPrintSetting& s,
                                            TPrintPreview& preview, int index);

/// Notes on standard error, after every page was recorded, ruby that the sheet had no
/// strip for.
void NoteTextLeftOut(const TManuscriptPages& text);

}  // namespace zelk
