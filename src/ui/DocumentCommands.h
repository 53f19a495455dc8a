// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's document commands (new, open, save, save as), the question before
// unsaved changes are lost, printing from the tool bar, the About box, the application
// state file, and the first showing of the window. Attached to a TMainForm through its
// command hooks.

#include <QFileSystemWatcher>
#include <QMessageBox>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "preview/ManuscriptPages.h"
#include "settings/AppFiles.h"
#include "settings/StateFile.h"
#include "ui/PreviewUnit.h"

namespace zelk {

class TMainForm;
class TPreviewForm;
class TPrinterService;
struct TPrintSetting;
struct TSheetPreset;

/// One line for each character of `s` that code page 932 cannot hold, naming the field
/// (face names of fonts included), the character and what the file stores in its place
/// (Cp932SubstitutionNotes).
QStringList TextsLostInCp932(const TPrintSetting& s);

/// The preview window's state section over a TPreviewForm.
class TPreviewStateAdapter : public TPreviewStateForm {
 public:
  explicit TPreviewStateAdapter(TPreviewForm& preview) : preview_(preview) {}
  TPreviewForm* Form() const { return &preview_; }
  TFileRect GetFormRect() const override;
  void SetFormRect(TFileRect& rect) override;
  int32_t ZoomPosition() const override;
  void SetZoomPosition(int32_t position) override;
  int32_t ScrollV() const override;
  int32_t ScrollH() const override;
  void SetScrollV(int32_t position) override;
  void SetScrollH(int32_t position) override;
  TStoredWindowState WindowState() const override;
  void SetWindowState(TStoredWindowState state) override;

 private:
  TPreviewForm& preview_;
};

/// Prints the pages `preview` holds, on the printer chosen in the print dialog. The
/// virtual printer "PDF" has the same dialog, for the pages and the copies, over a
/// QPrinter of its own; then `askPdfPath` names the output file. Cancelling either
/// prints nothing.
void PrintFromPreview(TPreviewForm& preview, TPrinterService& printer,
                      const std::function<QString()>& askPdfPath,
                      const std::function<bool(const QString&)>& askYesNo = {});

/// After how long a print job shows its progress: a shorter one never does.
inline constexpr int kProgressAfterMs = 500;

/// Prints what `preview` shows (TPreviewForm::PrintPages) with its progress: a modal
/// dialog over `parent`, "印刷中… n / N ページ" with キャンセル, once the job has run
/// kProgressAfterMs; the windows keep painting all along, but take no input. A job of
/// more than kLongJobPages pages is asked about first (`askYesNo`); nothing when the
/// user said No. キャンセル stops the job before the next page (TPrintOutcome::Cancelled):
/// the printer's job is aborted, so CUPS is sent nothing and no PDF file is made.
std::optional<TPrintResult> PrintWithProgress(TPreviewForm& preview, TPrinterService& printer,
                                              QWidget* parent,
                                              const std::function<bool(const QString&)>& askYesNo,
                                              const TJobPages& job = {});

/// Where the open and save dialogs start: the folder of the document's file, else the
/// folder chosen last in a dialog, else the user's documents folder. The program's
/// default settings file is no document of the user's, and the program's own folder is
/// never offered; a folder that does not exist (any more) is passed over.
struct TDialogFolders {
  QString CurrentFile;    ///< SettingFileName
  QString DefaultFile;    ///< the program's default settings file
  QString LastFolder;     ///< chosen last in a file dialog; empty before
  QString ProgramFolder;  ///< the executable's folder
  QString Documents;      ///< the user's documents folder
};
QString DialogStartFolder(const TDialogFolders& f);

/// The save dialog for a PDF output file, or empty when cancelled.
QString AskPdfOutputPath(QWidget* parent);

/// A text file to set into the sheet and how to set it.
struct TTextChoice {
  QString Path;  ///< empty: nothing chosen
  bool Title = false;
  bool Hang = false;
  // The school rules (TComposeOptions), each at its default.
  bool IndentOpeningBracket = false;
  bool SpaceAfterMarks = true;
  bool SmallKanaMayStart = false;
  /// How the text is set by these choices.
  TManuscriptStyle Style() const;
};

/// Where the text's open dialog starts: the folder of the last text, else of the design
/// (`designFile`, empty for none), else the documents folder, else home; only a folder
/// that exists, so that the dialog never takes a name of one that does not as the file's.
QString TextDialogStartFolder(const QString& lastText, const QString& designFile,
                              const QString& documents);

/// The open dialog for a text file, with the choices of TTextChoice as check boxes under
/// the file list, preset from `last`, starting in TextDialogStartFolder with the user's
/// documents folder, and no file name filled in.
TTextChoice AskTextChoice(QWidget* parent, const TTextChoice& last,
                          const QString& designFile = QString());

class TDocumentCommands : public QObject, public TMainStateForm {
  Q_OBJECT
 public:
  /// Installs itself in `form`'s command hooks. `files` names the default settings file
  /// and the state file; SettingFileName and StateFileName of the form are set from it.
  TDocumentCommands(TMainForm& form, TPrinterService& printer, const TAppFiles& files,
                    const TAppEnvironment& env);
  ~TDocumentCommands() override;

  // The dialogs, replaceable for tests. Each default shows Qt's dialog.
  /// The save dialog preset with a path; empty when cancelled.
  std::function<QString(const QString& preset)> AskSavePath;
  /// The open dialog; empty when cancelled.
  std::function<QString()> AskOpenPath;
  /// "データが変更されています。保存はしないのですか？" with Yes, No and Cancel.
  std::function<QMessageBox::StandardButton()> AskDiscardChanges;
  /// A message box with the text.
  std::function<void(const QString& text)> ShowMessage;
  /// Shows the About box modally.
  std::function<void()> ShowAbout;
  /// Run after the state file was written when the window closes (closes HideForm).
  std::function<void()> AfterClose;
  /// The printer-setup command of a first start (the form's SB_PrinerSetupClick).
  std::function<void()> PrinterSetup;
  /// A question with Yes and No; true for Yes.
  std::function<bool(const QString& question)> AskYesNo;
  /// The output file of a print on the virtual printer "PDF" ("*.pdf"); empty cancels.
  std::function<QString()> AskPdfPath;
  /// The open dialog of 原稿を流し込む (text files) with its two choices of how the text
  /// is set, preset to the last ones; a choice of an empty path cancels.
  std::function<TTextChoice(const TTextChoice& last)> AskText;

  /// True when the caller may go on: saved, discarded on request, or nothing changed.
  /// A save that fails says so naming the file, keeps Modified, and returns false.
  bool SaveIfModified();
  /// Reads SettingFileName (or the bundled default for it) into the window; false, with
  /// nothing changed, when there is no such file or it cannot be read.
  bool OpenSettingFile();
  /// The design in the window's controls, its printer matched to it and the preview
  /// drawn again.
  void ShowDesign();
  /// 用紙のひな形: after the question about unsaved changes, the preset as a new design
  /// without a file name, marked modified; nothing when the question was cancelled.
  void ApplyPreset(const TSheetPreset& preset);
  void SB_NewClick();
  void SB_OpenClick();
  void SB_SaveClick();
  void SB_SaveAsClick();
  /// Records the sheet again and prints it at once on the current printer.
  void SB_PrintClick();
  /// The printer chosen last (queue, paper, orientation), kept beside the state file:
  /// restored at the start of FormShow when that queue still exists, else noted beside
  /// the printer's name; written when the window closes.
  void RestorePrinterChoice();
  bool SavePrinterChoice();
  std::string PrinterChoicePath() const;

  /// True when printing may go on: the printer has the design's paper, or the user said
  /// Yes to printing on the paper it has (TMainForm::PaperMismatchQuestion()).
  bool ConfirmPaper();
  /// Reads the printer list anew as printing starts. True when the printer selected is
  /// still there; when it is gone the printer service has taken another, the window
  /// shows it with the design's paper matched again, the user is told, and false
  /// returned: nothing is printed until the user has seen the printer that will print.
  bool PrinterIsThere();
  /// 原稿を流し込む: the text file the user picks is set into the sheet.
  void SB_ComposeTextClick();
  /// Reads the text file at `path` and sets it into the sheet of the preview, which is
  /// shown at the text's first page; printing then prints every page. A file that cannot
  /// be read is reported and changes nothing. True when the text was set.
  ///
  /// The file is watched while its text is set: when it changes on disk it is read and
  /// set again (a short moment after the last change, so that a save in progress is not
  /// read half-written), on the page shown; when it is gone the blank sheet comes back
  /// and the user is told; when it cannot be read the text set stays, and the user is
  /// told.
  bool ComposeTextFile(const QString& path, const TManuscriptStyle& style = {});
  /// 原稿を外す: the blank sheet again.
  void SB_ClearTextClick();
  /// The text set last (its file, its choices, the page shown), kept beside the state
  /// file ("zelk.text"): written when the window closes, set again at the end of
  /// FormShow when its file still exists, else the user is told that it is gone. The
  /// choices preset the next text's dialog either way.
  void RestoreText();
  bool SaveRememberedText();
  std::string RememberedTextPath() const;
  /// The file of the text set into the sheet; empty when none is.
  const QString& TextPath() const { return textPath_; }
  /// The moment the watch waits after a change of the text's file before reading it.
  static constexpr int kTextRereadDelayMs = 200;
  /// Opens `path` as the open command does after its dialog (from the command line or
  /// a later start): saves changes first, then reads the file. A text file (".txt") is
  /// set into the sheet instead (ComposeTextFile), the document left as it is.
  void OpenPath(const QString& path);
  bool FormCloseQuery();
  void FormClose();
  /// The first showing: state file (printer setup on a first start), settings file or
  /// the visibility handlers, UpdateLock 0, ApplyChanges, Modified false.
  void FormShow();

  bool WriteStateFile();
  bool ReadStateFile();

  // TMainStateForm.
  int32_t FormLeft() const override;
  int32_t FormTop() const override;
  int32_t ActiveTab() const override;
  std::u16string SettingFileName() const override;
  bool ShowPreviewChecked() const override;
  void SetFormLeft(int32_t left) override;
  void SetFormTop(int32_t top) override;
  void SetActiveTab(int32_t index) override;
  void SetSettingFileName(const std::u16string& path) override;
  void SetShowPreviewChecked(bool checked) override;
  TPreviewStateForm* ExistingPreview() override;
  TPreviewStateForm& EnsurePreview() override;

 private:
  bool SaveCurrent();
  /// Reads the text file at `path`; false, after telling the user, when it cannot be read.
  bool ReadTextFile(const QString& path, std::u16string* text);
  /// Sets `text`, read from `path`, into the sheet at `place` and watches its file; the
  /// preview is drawn again when it is shown and the window takes changes.
  TPreviewForm& SetTextIntoSheet(const QString& path, std::u16string text,
                                 const TManuscriptStyle& style,
                                 const TPreviewForm::TTextPlace& place);
  /// The watched text file changed: set it again, or return to the blank sheet.
  void RereadText();
  /// Watches textPath_ and nothing else.
  void WatchTextFile();
  /// Puts the main window's frame at the corner the state file named, fitted to the
  /// screen.
  void PlaceMainWindow();

  TMainForm& form_;
  TPrinterService& printer_;
  TAppFiles files_;
  TAppEnvironment env_;
  std::unique_ptr<TPreviewStateAdapter> previewState_;
  std::unique_ptr<TPreviewForm> ownPreview_;
  QString lastFolder_;    // the folder of the file chosen last in a file dialog
  TTextChoice lastText_;  // the text set into the sheet last, and how
  QString goneChoice_;    // the printer chosen last, when it no longer exists
  QString textPath_;      // the file of the text set into the sheet; empty when none is
  QFileSystemWatcher textWatcher_;
  QTimer textReread_;
  QString StartFolder() const;
  QPoint storedCorner_;  // the main window's frame corner while the state file is read
};

}  // namespace zelk
