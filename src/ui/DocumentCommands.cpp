// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DocumentCommands.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

#include "base/Utf8.h"
#include "compose/Manuscript.h"
#include "form/FormTransfer.h"
#include "preview/ManuscriptPages.h"
#include "preview/PrintPreview.h"
#include "preview/PrinterQuery.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/Printing.h"
#include "settings/Cp932.h"
#include "settings/NumberText.h"
#include "settings/PrinterChoice.h"
#include "settings/RememberedText.h"
#include "settings/SettingFields.h"
#include "settings/SettingsFileIO.h"
#include "settings/SheetPresets.h"
#include "ui/MainUnit.h"
#include "ui/PreviewUnit.h"
#include "ui/PrinterSetupDialog.h"
#include "ui/UpdateLock.h"
#include "ui/WindowPlacement.h"

namespace zelk {
namespace {

const QString kFilter = QStringLiteral("zelk設定ファイル (*.zelk);;全てのファイル (*)");
const QString kCancelledMessage = QStringLiteral("印刷を中止しました。何も印刷していません。");

// Paths are held with every byte of the file name kept (FileNameToUtf16).
std::string Local(const QString& path) { return FileNameFromUtf16(path.toStdU16String()); }
// Whether something is at `path`, named by its bytes (Qt's own check would re-encode a
// name that is not UTF-8).
bool PathExists(const QString& path) {
  struct stat st;
  return ::stat(Local(path).c_str(), &st) == 0;
}
QString FromLocal(const std::string& path) {
  return QString::fromStdU16String(FileNameToUtf16(path));
}

}  // namespace

namespace {

QString ShortenedTextsMessage(const TReadReport& report) {
  QStringList names;
  for (int32_t tag : report.TagsShortened) names << QLatin1String(SettingsEntryName(tag));
  return QStringLiteral("次の文字列は長すぎるため、先頭の %1 文字だけを読み込みました。\n\n%2")
      .arg(kMaxFieldTextUnits)
      .arg(names.join(QLatin1Char('\n')));
}

}  // namespace

QStringList TextsLostInCp932(const TPrintSetting& s) {
  QStringList lost;
  for (const std::string& note : Cp932SubstitutionNotes(s)) lost << QString::fromStdString(note);
  return lost;
}

QString DialogStartFolder(const TDialogFolders& f) {
  const QString program = QDir::cleanPath(f.ProgramFolder);
  auto usable = [&program](const QString& folder) {
    return !folder.isEmpty() && QDir::cleanPath(folder) != program && QFileInfo(folder).isDir();
  };
  if (!f.CurrentFile.isEmpty() &&
      QDir::cleanPath(f.CurrentFile) != QDir::cleanPath(f.DefaultFile)) {
    const QString folder = QFileInfo(f.CurrentFile).absolutePath();
    if (usable(folder)) return folder;
  }
  if (usable(f.LastFolder)) return f.LastFolder;
  if (usable(f.Documents)) return f.Documents;
  return QDir::homePath();
}

namespace {

// The choices of how a text is set, between the dialog's choice, the file that keeps it
// and the style the text is set in, which all name them alike.
template <class From, class To>
void CopyTextChoices(const From& from, To& to) {
  to.Title = from.Title;
  to.Hang = from.Hang;
  to.IndentOpeningBracket = from.IndentOpeningBracket;
  to.SpaceAfterMarks = from.SpaceAfterMarks;
  to.SmallKanaMayStart = from.SmallKanaMayStart;
}

}  // namespace

TManuscriptStyle TTextChoice::Style() const {
  TManuscriptStyle style;
  CopyTextChoices(*this, style);
  return style;
}

QString TextDialogStartFolder(const QString& lastText, const QString& designFile,
                              const QString& documents) {
  for (const QString& file : {lastText, designFile}) {
    if (file.isEmpty()) continue;
    const QString folder = QFileInfo(file).absolutePath();
    if (QFileInfo(folder).isDir()) return folder;
  }
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

TTextChoice AskTextChoice(QWidget* parent, const TTextChoice& last, const QString& designFile) {
  const QString start = TextDialogStartFolder(
      last.Path, designFile, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  QFileDialog d(parent, QStringLiteral("原稿を流し込む"), start,
                QStringLiteral("テキスト (*.txt);;すべてのファイル (*)"));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  d.setOption(QFileDialog::DontUseNativeDialog);
  auto* title = new QCheckBox(QStringLiteral("1 行目を題名、2 行目を氏名にする(&T)"), &d);
  title->setChecked(last.Title);
  auto* hang = new QCheckBox(QStringLiteral("行頭に来る句読点を升目の外にぶら下げる(&H)"), &d);
  hang->setChecked(last.Hang);
  auto* bracket = new QCheckBox(
      QStringLiteral("「 や 『 で始まる段落も 1 マス下げる(&I)（既定: 下げない）"), &d);
  bracket->setChecked(last.IndentOpeningBracket);
  auto* space =
      new QCheckBox(QStringLiteral("文中の ？ と ！ の後を 1 マス空ける(&S)（既定: 空ける）"), &d);
  space->setChecked(last.SpaceAfterMarks);
  auto* smallKana = new QCheckBox(
      QStringLiteral("小さい仮名（っ ゃ など）を行頭に置く(&K)（既定: 前の行に入れる）"), &d);
  smallKana->setChecked(last.SmallKanaMayStart);
  // Qt's own file dialog lays itself out on a grid: the choices go on rows of their own
  // below it.
  if (auto* grid = qobject_cast<QGridLayout*>(d.layout())) {
    int row = grid->rowCount();
    for (QCheckBox* box : {title, hang, bracket, space, smallKana})
      grid->addWidget(box, row++, 0, 1, -1);
  }
  TTextChoice choice;
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return choice;
  choice.Path = d.selectedFiles()[0];
  choice.Title = title->isChecked();
  choice.Hang = hang->isChecked();
  choice.IndentOpeningBracket = bracket->isChecked();
  choice.SpaceAfterMarks = space->isChecked();
  choice.SmallKanaMayStart = smallKana->isChecked();
  return choice;
}

QString AskPdfOutputPath(QWidget* parent) {
  QFileDialog d(parent, QString(), QString(), QStringLiteral("PDF (*.pdf)"));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setDefaultSuffix(QStringLiteral("pdf"));
  d.setOption(QFileDialog::DontUseNativeDialog);
  return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles()[0]
                                                                       : QString();
}

namespace {

// The virtual printer writes a file: it needs a name before each job.
bool PrepareOutput(TPrinterService& printer, const std::function<QString()>& askPdfPath) {
  if (!printer.IsVirtual()) return true;
  const QString path = askPdfPath ? askPdfPath() : QString();
  if (path.isEmpty()) return false;
  printer.SetOutputFile(path);
  return true;
}

// Calls `shown` each time the object it filters is shown.
class TOnShow : public QObject {
 public:
  explicit TOnShow(std::function<void()> shown) : shown_(std::move(shown)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) shown_();
    return false;
  }

 private:
  std::function<void()> shown_;
};

void ReportPrintFailure(QWidget* parent, const TPrintResult& result) {
  // A failed page is dropped silently: the job was aborted and the pages stay.
  if (result.Outcome == TPrintOutcome::BeginFailed || result.Outcome == TPrintOutcome::EndFailed)
    QMessageBox::warning(parent, kPrintJobTitle, result.Error);
  else if (result.Outcome == TPrintOutcome::Cancelled)
    QMessageBox::information(parent, kPrintJobTitle, kCancelledMessage);
  else if (!result.Warning.isEmpty())
    QMessageBox::information(parent, kPrintJobTitle, result.Warning);
}

}  // namespace

std::optional<TPrintResult> PrintWithProgress(TPreviewForm& preview, TPrinterService& printer,
                                              QWidget* parent,
                                              const std::function<bool(const QString&)>& askYesNo,
                                              const TJobPages& job) {
  const int pages = job.Count(preview.JobPageCount());
  if (pages > kLongJobPages && askYesNo &&
      !askYesNo(QStringLiteral("%1 ページを印刷します。よろしいですか？").arg(pages)))
    return std::nullopt;
  std::unique_ptr<QProgressDialog> dialog;
  return preview.PrintPages(
      printer, DrawPageAtNaturalSize,
      [&](int page, int count) {
        if (!dialog) {
          dialog = std::make_unique<QProgressDialog>(parent);
          dialog->setWindowTitle(kPrintJobTitle);
          dialog->setWindowModality(Qt::ApplicationModal);
          dialog->setCancelButtonText(QStringLiteral("キャンセル"));
          dialog->setMinimumDuration(kProgressAfterMs);
          dialog->setAutoClose(false);
          dialog->setAutoReset(false);
          dialog->setRange(0, count);
          dialog->setValue(0);
        }
        dialog->setLabelText(QStringLiteral("印刷中… %1 / %2 ページ").arg(page + 1).arg(count));
        // Shown once the job has run a while; from then on it takes the input, and keeps it
        // from the other windows, as a modal dialog does.
        dialog->setValue(page);
        if (!dialog->isVisible())
          QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !dialog->wasCanceled();
      },
      job);
}

void PrintFromPreview(TPreviewForm& preview, TPrinterService& printer,
                      const std::function<QString()>& askPdfPath,
                      const std::function<bool(const QString&)>& askYesNo) {
  TJobPages job;
  if (QPrinter* qt = printer.QtPrinter()) {
    QPrintDialog dialog(qt, &preview);
    if (dialog.exec() != QDialog::Accepted) return;
    printer.Refresh();
  } else {
    // The virtual printer has no QPrinter: the same dialog over one that writes a PDF,
    // for the pages and the copies. The job makes the copies and keeps to the pages; the
    // printer stays the virtual one and its file is asked next.
    QPrinter pdf;
    pdf.setOutputFormat(QPrinter::PdfFormat);
    QPrintDialog dialog(&pdf, &preview);
    dialog.setMinMax(1, std::max(1, preview.JobPageCount()));
    // Qt's dialog offers its own printers and a file name for this one; the printer is
    // chosen in 印刷設定, and the file is asked once the dialog is done.
    // It shows its widgets for the printer as it opens, so they are set once it shows.
    TOnShow onShow([&dialog] {
      if (auto* printers = dialog.findChild<QWidget*>(QStringLiteral("printers")))
        printers->setEnabled(false);
      for (const char* name : {"lOutput", "filename", "fileBrowser"})
        if (auto* w = dialog.findChild<QWidget*>(QLatin1String(name))) w->hide();
    });
    dialog.installEventFilter(&onShow);
    if (dialog.exec() != QDialog::Accepted) return;
    if (pdf.printRange() == QPrinter::PageRange) {
      job.First = pdf.fromPage();
      job.Last = pdf.toPage();
    }
    job.Copies = std::max(1, pdf.copyCount());
    job.Collate = pdf.collateCopies();
  }
  if (!PrepareOutput(printer, askPdfPath)) return;
  const std::optional<TPrintResult> result =
      PrintWithProgress(preview, printer, &preview, askYesNo, job);
  if (result) ReportPrintFailure(&preview, *result);
}

// --- the preview's section -------------------------------------------------------------

TFileRect TPreviewStateAdapter::GetFormRect() const {
  // The frame's outer corner and the window's own size: the frame's size is the window
  // manager's and is not known before the window has been framed, so the size that is
  // stored is the one that can be given back.
  const bool normal = !preview_.isMaximized() && !preview_.isMinimized();
  const QRect inner = normal ? preview_.geometry() : preview_.normalGeometry();
  const QMargins frame = FrameMargins(preview_);
  const QPoint corner = inner.topLeft() - QPoint(frame.left(), frame.top());
  return {corner.x(), corner.y(), corner.x() + inner.width(), corner.y() + inner.height()};
}

void TPreviewStateAdapter::SetFormRect(TFileRect& rect) {
  // A width or height of zero, or a negative one from a damaged file, keeps the window.
  if (rect.Width() <= 0 || rect.Height() <= 0) {
    rect = GetFormRect();
    return;
  }
  // Fitted to the screen with the frame around it: a stored size larger than the screen
  // would cost memory for every pixel, and a place off the screen could not be reached.
  const auto side = [](int64_t v) { return static_cast<int>(std::min<int64_t>(v, INT32_MAX / 2)); };
  const QMargins frame = FrameMargins(preview_);
  const QRect wanted(rect.Left, rect.Top, side(rect.Width()) + frame.left() + frame.right(),
                     side(rect.Height()) + frame.top() + frame.bottom());
  const QRect fitted = FitToDesktop(wanted);
  preview_.resize(std::max(1, fitted.width() - frame.left() - frame.right()),
                  std::max(1, fitted.height() - frame.top() - frame.bottom()));
  MoveFrameTo(preview_, fitted.topLeft());
}

int32_t TPreviewStateAdapter::ZoomPosition() const { return preview_.TrackBar1->value(); }
void TPreviewStateAdapter::SetZoomPosition(int32_t position) {
  preview_.TrackBar1->setValue(position);
  preview_.TrackBar1Change();
}
int32_t TPreviewStateAdapter::ScrollV() const {
  return preview_.ScrollBox()->verticalScrollBar()->value();
}
int32_t TPreviewStateAdapter::ScrollH() const {
  return preview_.ScrollBox()->horizontalScrollBar()->value();
}
void TPreviewStateAdapter::SetScrollV(int32_t position) {
  preview_.ScrollBox()->verticalScrollBar()->setValue(position);  // limited to its range
}
void TPreviewStateAdapter::SetScrollH(int32_t position) {
  preview_.ScrollBox()->horizontalScrollBar()->setValue(position);
}
TStoredWindowState TPreviewStateAdapter::WindowState() const {
  if (preview_.isMinimized()) return wsMinimized;
  if (preview_.isMaximized()) return wsMaximized;
  return wsNormal;
}
void TPreviewStateAdapter::SetWindowState(TStoredWindowState state) {
  Qt::WindowStates s = preview_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == wsMinimized) s |= Qt::WindowMinimized;
  if (state == wsMaximized) s |= Qt::WindowMaximized;
  preview_.setWindowState(s);
}

// --- the document ----------------------------------------------------------------------

TDocumentCommands::TDocumentCommands(TMainForm& form, TPrinterService& printer,
                                     const TAppFiles& files, const TAppEnvironment& env)
    : QObject(&form), form_(form), printer_(printer), files_(files), env_(env) {
  form_.SettingFileName = FromLocal(files.SettingFileName);
  form_.StateFileName = FromLocal(files.StateFileName);
  form_.UpdateCaption();
  // Each change restarts the wait; the file is read once the writing has stopped.
  textReread_.setSingleShot(true);
  textReread_.setInterval(kTextRereadDelayMs);
  connect(&textWatcher_, &QFileSystemWatcher::fileChanged, &textReread_,
          qOverload<>(&QTimer::start));
  connect(&textReread_, &QTimer::timeout, this, &TDocumentCommands::RereadText);
  AskSavePath = [this](const QString& preset) {
    QFileDialog d(&form_, QString(), StartFolder(), kFilter);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("zelk"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    // The preset's name, in the start folder.
    if (!preset.isEmpty()) d.selectFile(QFileInfo(preset).fileName());
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return QString();
    lastFolder_ = QFileInfo(d.selectedFiles()[0]).absolutePath();
    return d.selectedFiles()[0];
  };
  AskOpenPath = [this] {
    QFileDialog d(&form_, QString(), StartFolder(), kFilter);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
    d.setDefaultSuffix(QStringLiteral("zelk"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return QString();
    lastFolder_ = QFileInfo(d.selectedFiles()[0]).absolutePath();
    return d.selectedFiles()[0];
  };
  AskText = [this](const TTextChoice& last) {
    // The program's default settings file is no design of the user's.
    const QString design = form_.SettingFileName;
    const bool own = QDir::cleanPath(design) ==
                     QDir::cleanPath(QFile::decodeName(files_.SettingFileName.c_str()));
    return AskTextChoice(&form_, last, own ? QString() : design);
  };
  AskDiscardChanges = [this] {
    return QMessageBox::question(&form_, QStringLiteral("確認"),
                                 QStringLiteral("データが変更されています。保存はしないのですか？"),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  };
  ShowMessage = [this](const QString& text) {
    QMessageBox::information(&form_, form_.windowTitle(), text);
  };
  AskYesNo = [this](const QString& question) {
    return QMessageBox::question(&form_, QStringLiteral("確認"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  PrinterSetup = [this] { form_.SB_PrinerSetupClick(); };
  AskPdfPath = [this] { return AskPdfOutputPath(&form_); };
  form_.Commands.New = [this] { SB_NewClick(); };
  form_.Commands.ApplyPreset = [this](const TSheetPreset& preset) { ApplyPreset(preset); };
  form_.Commands.Open = [this] { SB_OpenClick(); };
  form_.Commands.Save = [this] { SB_SaveClick(); };
  form_.Commands.SaveAs = [this] { SB_SaveAsClick(); };
  form_.Commands.Print = [this] { SB_PrintClick(); };
  form_.Commands.ComposeText = [this] { SB_ComposeTextClick(); };
  form_.Commands.ClearText = [this] { SB_ClearTextClick(); };
  form_.Commands.ShowAbout = [this] {
    if (ShowAbout) ShowAbout();
  };
  form_.Commands.CloseQuery = [this] { return FormCloseQuery(); };
  form_.Commands.Close = [this] { FormClose(); };
}

QString TDocumentCommands::StartFolder() const {
  TDialogFolders f;
  f.CurrentFile = form_.SettingFileName;
  f.DefaultFile = QFile::decodeName(files_.SettingFileName.c_str());
  f.LastFolder = lastFolder_;
  f.ProgramFolder = QCoreApplication::applicationDirPath();
  f.Documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return DialogStartFolder(f);
}

TDocumentCommands::~TDocumentCommands() { form_.Commands = TMainFormCommands(); }

bool TDocumentCommands::SaveCurrent() {
  std::string error;
  // The default file of an installed program lives in a configuration folder that the
  // first save may have to make.
  const std::string path = Local(form_.SettingFileName);
  if (path == files_.SettingFileName) MakeFolders(ExtractFileDir(path), nullptr);
  if (!SaveSettingsFile(Local(form_.SettingFileName), *form_.CurrentSetting, &error)) {
    ShowMessage(QStringLiteral("%1\n\nを保存できませんでした。\n%2")
                    .arg(form_.SettingFileName, QString::fromStdString(error)));
    return false;
  }
  const QStringList lost = TextsLostInCp932(*form_.CurrentSetting);
  if (!lost.isEmpty())
    ShowMessage(QStringLiteral("設定ファイルにはそのまま保存できない文字があり、"
                               "別の文字に置き換えて保存しました。\n\n") +
                lost.join(QLatin1Char('\n')));
  return true;
}

bool TDocumentCommands::SaveIfModified() {
  if (!form_.Modified) return true;
  while (form_.SettingFileName.isEmpty()) {
    const QString path = AskSavePath(QString());
    if (!path.isEmpty()) {
      form_.SettingFileName = path;
      break;
    }
    switch (AskDiscardChanges()) {
      case QMessageBox::Yes:
        form_.Modified = false;
        return true;
      case QMessageBox::No:
        continue;
      default:
        return false;
    }
  }
  if (!SaveCurrent()) return false;
  form_.Modified = false;
  form_.UpdateCaption();
  return true;
}

bool TDocumentCommands::OpenSettingFile() {
  const std::string source = SettingsFileToRead(files_, Local(form_.SettingFileName), env_);
  std::string error;
  if (source.empty()) {
    // Something that is not a file at all (a FIFO, a device) is refused with its reason.
    struct stat st;
    const std::string path = Local(form_.SettingFileName);
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      if (std::FILE* file = OpenRegularFile(path, &error)) std::fclose(file);
      ShowMessage(QString::fromStdString(error));
    }
    return false;
  }
  TReadReport report;
  // Read into a copy: a file refused half-way leaves the design on screen as it was.
  TPrintSetting loaded = *form_.CurrentSetting;
  if (!LoadSettingsFile(source, loaded, &report, &error)) {
    ShowMessage(QString::fromStdString(error));
    return false;
  }
  if (const TSettingField* f = FirstUnfitLength(loaded)) {
    ShowMessage(QStringLiteral("%1 を開けません: %2 の値 %3 は範囲外です（長さは %4 mm）")
                    .arg(form_.SettingFileName, QLatin1String(f->Name),
                         QString::number(loaded.*f->Double, 'g', 17),
                         QString::fromStdString(LengthRangeText())
                             .replace(QLatin1String(" to "), QStringLiteral(" から "))));
    return false;
  }
  *form_.CurrentSetting = loaded;
  if (!report.TagsShortened.empty()) ShowMessage(ShortenedTextsMessage(report));
  ShowDesign();
  form_.Modified = false;
  return true;
}

void TDocumentCommands::ShowDesign() {
  {
    const TUpdateLockGuard lock(form_.UpdateLock);
    WriteToForm(*form_.CurrentSetting, form_);
    form_.MatchPrinterToDesign();
    // A value the design leaves as it was raises no click, so the rules of all three
    // groups are applied here.
    form_.ApplyPageNumberVisibility();
    form_.ApplyOrimeVisibility();
    form_.RG_TategakiClick();
  }
  form_.ShowSheetStyle();
  form_.UpdateCaption();
  if (TPreviewForm* preview = form_.PreviewForm(); preview && form_.PreviewShown()) {
    preview->SetSetting(form_.CurrentSetting);
    preview->Redraw();
  }
}

void TDocumentCommands::ApplyPreset(const TSheetPreset& preset) {
  if (form_.UpdateLock > 0 || !SaveIfModified()) return;
  // A new design, as 新規作成 makes one: saving it asks for a name, so no design that
  // was open is replaced by the preset.
  const TPrinterInfo printer = form_.CurrentSetting->PrinterInfo;
  *form_.CurrentSetting = PresetDesign(preset);
  form_.CurrentSetting->PrinterInfo = printer;
  form_.SettingFileName.clear();
  ShowDesign();
  form_.Modified = true;
}

void TDocumentCommands::SB_NewClick() {
  if (!SaveIfModified()) return;
  form_.SettingFileName.clear();
  form_.UpdateCaption();
  form_.Modified = true;
}

void TDocumentCommands::SB_OpenClick() {
  if (!SaveIfModified()) return;
  const QString path = AskOpenPath();
  if (path.isEmpty()) return;
  form_.SettingFileName = path;
  OpenSettingFile();
}

void TDocumentCommands::OpenPath(const QString& path) {
  if (path.isEmpty()) return;
  // A text is set into the design open now, as its last choices set the one before.
  if (QFileInfo(path).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0) {
    if (ComposeTextFile(path, lastText_.Style())) lastText_.Path = path;
    return;
  }
  if (!SaveIfModified()) return;
  form_.SettingFileName = QFileInfo(path).absoluteFilePath();
  OpenSettingFile();
}

void TDocumentCommands::SB_SaveClick() { SaveIfModified(); }

void TDocumentCommands::SB_SaveAsClick() {
  const QString path = AskSavePath(form_.SettingFileName);
  if (path.isEmpty()) return;
  form_.SettingFileName = path;
  form_.Modified = true;
  SaveIfModified();
}

void TDocumentCommands::SB_PrintClick() {
  if (form_.UpdateLock > 0) return;
  const TUpdateLockGuard lock(form_.UpdateLock);
  try {
    ReadFromForm(*form_.CurrentSetting, form_, printer_);
  } catch (const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()));
    return;
  }
  TPreviewForm& preview = *static_cast<TPreviewStateAdapter&>(EnsurePreview()).Form();
  preview.SetSetting(form_.CurrentSetting);
  preview.Redraw();
  if (preview.Recorder().GetPageCount() > 0 && preview.Recorder().GetPage(0)->Truncated)
    ShowMessage(QStringLiteral("線の点が多すぎるため、用紙の一部だけを印刷します。"));
  if (!PrinterIsThere() || !ConfirmPaper()) return;
  if (!PrepareOutput(printer_, AskPdfPath)) return;
  const std::optional<TPrintResult> result = PrintWithProgress(preview, printer_, &form_, AskYesNo);
  if (!result) return;
  // A job that cannot begin is the printer's error; a failed page is dropped silently.
  if (result->Outcome == TPrintOutcome::BeginFailed || result->Outcome == TPrintOutcome::EndFailed)
    ShowMessage(result->Error);
  else if (result->Outcome == TPrintOutcome::Cancelled)
    ShowMessage(kCancelledMessage);
}

bool TDocumentCommands::PrinterIsThere() {
  const QString before = QString::fromStdU16String(printer_.PrinterName());
  if (printer_.RescanPrinters()) return true;
  {
    const TUpdateLockGuard lock(form_.UpdateLock);
    form_.MatchPrinterToDesign();
  }
  // The sheet is drawn in the new printer's units.
  if (form_.PreviewShown() && form_.PreviewForm()) form_.PreviewForm()->Redraw();
  ShowMessage(
      QStringLiteral("プリンター %1 が見つかりません。削除されたか、名前が変わったようです。\n"
                     "%2 に切り替えたので、用紙を確かめてから、もう一度印刷してください。")
          .arg(before, QString::fromStdU16String(printer_.PrinterName())));
  return false;
}

bool TDocumentCommands::ConfirmPaper() {
  return !form_.PaperMismatch() || (AskYesNo && AskYesNo(form_.PaperMismatchQuestion()));
}

void TDocumentCommands::SB_ComposeTextClick() {
  if (form_.UpdateLock > 0) return;
  const TTextChoice choice = AskText(lastText_);
  if (choice.Path.isEmpty()) return;
  if (ComposeTextFile(choice.Path, choice.Style())) lastText_ = choice;
}

bool TDocumentCommands::ReadTextFile(const QString& path, std::u16string* text) {
  std::string error;
  if (ReadManuscriptFile(Local(path), text, &error)) return true;
  ShowMessage(
      QStringLiteral("原稿を読み込めませんでした。\n%1").arg(QString::fromStdString(error)));
  return false;
}

TPreviewForm& TDocumentCommands::SetTextIntoSheet(const QString& path, std::u16string text,
                                                  const TManuscriptStyle& chosen,
                                                  const TPreviewForm::TTextPlace& place) {
  TManuscriptStyle style = chosen;
  style.NumberPages = true;  // where the sheet has page-number lines
  TPreviewForm& preview = *static_cast<TPreviewStateAdapter&>(EnsurePreview()).Form();
  preview.SetText(std::make_unique<TManuscriptPages>(std::move(text), style), place);
  form_.ShowTextSet(true);
  textPath_ = QFileInfo(path).absoluteFilePath();
  WatchTextFile();
  if (form_.PreviewShown() && form_.UpdateLock == 0) {
    preview.SetSetting(form_.CurrentSetting);
    preview.Redraw();
  }
  return preview;
}

bool TDocumentCommands::ComposeTextFile(const QString& path, const TManuscriptStyle& style) {
  std::u16string text;
  if (!ReadTextFile(path, &text)) return false;
  TPreviewForm& preview = SetTextIntoSheet(path, std::move(text), style, {});
  // The text is what the user wants to see: the preview shows it, from its first page.
  if (!form_.PreviewShown()) form_.SetPreviewShown(true);
  if (preview.Text()->RubyLeftOut())
    ShowMessage(
        QStringLiteral("この用紙の升目には脇の欄の幅がないため、ルビは表示も印刷もしません。"));
  return true;
}

void TDocumentCommands::RereadText() {
  TPreviewForm* preview = form_.PreviewForm();
  if (textPath_.isEmpty() || !preview || !preview->Text()) return;
  if (!PathExists(textPath_)) {
    const QString gone = textPath_;
    SB_ClearTextClick();
    ShowMessage(QStringLiteral("原稿のファイル %1 がなくなったので、原稿を外しました。").arg(gone));
    return;
  }
  WatchTextFile();  // saved by writing a new file over it, it is another file now
  std::u16string text;
  std::string error;
  if (!ReadManuscriptFile(Local(textPath_), &text, &error)) {
    ShowMessage(QStringLiteral("原稿のファイル %1 を読み直せませんでした。前の原稿のままです。\n%2")
                    .arg(textPath_, QString::fromStdString(error)));
    return;
  }
  if (text == preview->Text()->Text()) return;  // touched, or written anew the same
  SetTextIntoSheet(textPath_, std::move(text), preview->Text()->Style(),
                   {preview->TextPage(), false});
}

void TDocumentCommands::WatchTextFile() {
  if (textWatcher_.files() == QStringList{textPath_}) return;
  if (!textWatcher_.files().isEmpty()) textWatcher_.removePaths(textWatcher_.files());
  if (!textPath_.isEmpty()) textWatcher_.addPath(textPath_);
}

void TDocumentCommands::SB_ClearTextClick() {
  TPreviewForm* preview = form_.PreviewForm();
  form_.ShowTextSet(false);
  textPath_.clear();
  WatchTextFile();
  if (!preview || !preview->Text()) return;
  preview->SetText(nullptr);
  if (form_.PreviewShown()) preview->Redraw();
}

std::string TDocumentCommands::RememberedTextPath() const {
  return files_.StateFileName.empty() ? std::string()
                                      : ChangeFileExt(files_.StateFileName, ".text");
}

void TDocumentCommands::RestoreText() {
  const std::optional<TRememberedText> stored = LoadRememberedText(RememberedTextPath());
  if (!stored) return;
  CopyTextChoices(*stored, lastText_);
  if (stored->Path.empty()) return;
  const QString path = FromLocal(stored->Path);
  lastText_.Path = path;
  if (!PathExists(path)) {
    ShowMessage(
        QStringLiteral("前回の原稿のファイル %1 が見つからないので、原稿のない用紙を表示します。")
            .arg(path));
    return;
  }
  std::u16string text;
  if (!ReadTextFile(path, &text)) return;
  SetTextIntoSheet(path, std::move(text), lastText_.Style(), {stored->Page, false});
}

bool TDocumentCommands::SaveRememberedText() {
  const std::string path = RememberedTextPath();
  if (path.empty()) return false;
  TRememberedText r;
  CopyTextChoices(lastText_, r);
  const TPreviewForm* preview = form_.PreviewForm();
  if (!textPath_.isEmpty() && preview && preview->Text()) {
    r.Path = Local(textPath_);
    r.Page = preview->TextPage();
  }
  std::string error;
  if (zelk::SaveRememberedText(path, r, &error)) return true;
  ShowMessage(QString::fromStdString(error));
  return false;
}

bool TDocumentCommands::FormCloseQuery() { return SaveIfModified(); }

void TDocumentCommands::FormClose() {
  WriteStateFile();
  SavePrinterChoice();
  SaveRememberedText();
  if (AfterClose) AfterClose();
}

std::string TDocumentCommands::PrinterChoicePath() const {
  return files_.StateFileName.empty() ? std::string()
                                      : ChangeFileExt(files_.StateFileName, ".printer");
}

void TDocumentCommands::RestorePrinterChoice() {
  goneChoice_.clear();
  const std::optional<TPrinterChoice> choice = LoadPrinterChoice(PrinterChoicePath());
  if (!choice) return;
  const QString name = QString::fromStdString(choice->Printer);
  if (!printer_.SelectPrinter(name)) {
    goneChoice_ = name.startsWith(TPrinterService::kQueuePrefix)
                      ? name.mid(TPrinterService::kQueuePrefix.size())
                      : name;
    return;
  }
  if (choice->WidthMm > 0)
    printer_.SelectPaperOfSize(QString::fromStdString(choice->Paper), choice->WidthMm,
                               choice->HeightMm);
  printer_.SetOrientation(choice->Portrait ? TPrinterOrientation::poPortrait
                                           : TPrinterOrientation::poLandscape);
}

bool TDocumentCommands::SavePrinterChoice() {
  const std::string path = PrinterChoicePath();
  if (path.empty()) return false;
  TPrinterChoice choice;
  choice.Printer = (printer_.IsVirtual() ? QStringLiteral("PDF")
                                         : TPrinterService::kQueuePrefix +
                                               QString::fromStdU16String(printer_.PrinterName()))
                       .toStdString();
  choice.Paper = printer_.PaperName().toStdString();
  TPrinterInfo info;
  GetPrinterInfo(info, printer_);
  choice.WidthMm = std::min(info.PaperWidthMm, info.PaperHeightMm);
  choice.HeightMm = std::max(info.PaperWidthMm, info.PaperHeightMm);
  choice.Portrait = printer_.Orientation() == TPrinterOrientation::poPortrait;
  std::string error;
  if (zelk::SavePrinterChoice(path, choice, &error)) return true;
  ShowMessage(QString::fromStdString(error));
  return false;
}

void TDocumentCommands::FormShow() {
  RestorePrinterChoice();
  if (!ReadStateFile()) {
    if (PrinterSetup) PrinterSetup();
    form_.ShowPrinterInfo();
  }
  if (!OpenSettingFile()) {
    // No design to open: the sheet is the printer's paper, as on a first start.
    {
      const TUpdateLockGuard lock(form_.UpdateLock);
      if (form_.PaperName.isEmpty()) form_.PaperName = PaperDisplayName(printer_.PaperName());
      form_.ShowPrinterInfo();
    }
    form_.RG_OrientationClick();
    form_.E_CenterCaptionChange();
    form_.RG_TategakiClick();
    form_.RG_OrimeClick();
    form_.CB_PageNumberClick();
  }
  // Whatever the state file and the settings file set, the controls shown follow the
  // values the start ends with.
  form_.ApplyOrimeVisibility();
  form_.ApplyTategakiVisibility();
  form_.ApplyPageNumberVisibility();
  RestoreText();
  if (!goneChoice_.isEmpty()) {
    const QString gone =
        QStringLiteral("前回使ったプリンター %1 が見つからないので、%2 を使います。")
            .arg(goneChoice_, QString::fromStdU16String(printer_.PrinterName()));
    if (form_.PrinterWarning().isEmpty())
      form_.SetPrinterWarning(QStringLiteral("⚠ 前回の %1 がありません").arg(goneChoice_), gone);
    else
      form_.SetPrinterWarning(form_.PrinterWarningText(), gone + "\n" + form_.PrinterWarning());
  }
  form_.UpdateLock = 0;
  form_.ApplyChanges();
  form_.Modified = false;
}

bool TDocumentCommands::WriteStateFile() {
  const TStateSaveResult r = zelk::WriteStateFile(Local(form_.StateFileName), *this);
  if (!r.Ok)
    ShowMessage(QString::fromStdU16String(
        StateFileWriteErrorMessage(form_.StateFileName.toStdU16String())));
  return r.Ok;
}

bool TDocumentCommands::ReadStateFile() {
  const TUpdateLockGuard lock(form_.UpdateLock);
  storedCorner_ = FramePosition(form_);
  const bool read = zelk::ReadStateFile(Local(form_.StateFileName), *this);
  if (read) PlaceMainWindow();
  return read;
}

void TDocumentCommands::PlaceMainWindow() {
  const QRect frame = form_.frameGeometry();
  const QRect fitted = FitToDesktop(QRect(storedCorner_, frame.size()));
  if (fitted.topLeft() != FramePosition(form_)) MoveFrameTo(form_, fitted.topLeft());
}

int32_t TDocumentCommands::FormLeft() const { return FramePosition(form_).x(); }
int32_t TDocumentCommands::FormTop() const { return FramePosition(form_).y(); }
int32_t TDocumentCommands::ActiveTab() const { return form_.ActiveTab(); }
std::u16string TDocumentCommands::SettingFileName() const {
  return form_.SettingFileName.toStdU16String();
}
bool TDocumentCommands::ShowPreviewChecked() const { return form_.PreviewShown(); }
// The corner is applied once the whole file is read, fitted to the screen.
void TDocumentCommands::SetFormLeft(int32_t left) { storedCorner_.setX(left); }
void TDocumentCommands::SetFormTop(int32_t top) { storedCorner_.setY(top); }
void TDocumentCommands::SetActiveTab(int32_t index) { form_.SetActiveTab(index); }
void TDocumentCommands::SetSettingFileName(const std::u16string& path) {
  form_.SettingFileName = QString::fromStdU16String(path);
}
void TDocumentCommands::SetShowPreviewChecked(bool checked) { form_.SetPreviewShown(checked); }

TPreviewStateForm* TDocumentCommands::ExistingPreview() {
  if (!form_.PreviewForm()) return nullptr;
  return &EnsurePreview();
}

TPreviewStateForm& TDocumentCommands::EnsurePreview() {
  if (!form_.PreviewForm()) {
    ownPreview_ = std::make_unique<TPreviewForm>(printer_);
    form_.SetPreviewForm(ownPreview_.get());
  }
  if (!previewState_ || previewState_->Form() != form_.PreviewForm())
    previewState_ = std::make_unique<TPreviewStateAdapter>(*form_.PreviewForm());
  return *previewState_;
}

}  // namespace zelk
