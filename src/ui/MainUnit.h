// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the tabbed settings dialog of one manuscript sheet, its change
// handling, and its printer display.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/FormTransfer.h"
#include "settings/PrintSetting.h"
#include "ui/DesignScale.h"

class QCheckBox;
class QComboBox;
class QFontDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

class MainFormTest;
class DocumentCommandsTest;

namespace zelk {

class TPreviewForm;
class TPrinterService;
class TPrinterSetupDialog;
class TRadioGroup;
class TSaNumEdit;
class TTateEdit;
class TColorChoice;
struct TSheetPreset;

/// The commands of the tool bar and the window's close that other parts of the program
/// carry out (documents, printing, the About box, closing). Each may be left empty; the
/// command then does nothing, and closing is then always allowed.
struct TMainFormCommands {
  std::function<void()> New;
  std::function<void()> Open;
  std::function<void()> SaveAs;
  std::function<void()> Save;
  std::function<void()> Print;
  /// 原稿を流し込む: a text file set into the sheet; 原稿を外す: the blank sheet again.
  std::function<void()> ComposeText;
  std::function<void()> ClearText;
  std::function<void()> ShowAbout;
  /// 用紙のひな形: a ready-made sheet chosen from the tool bar's menu.
  std::function<void(const TSheetPreset& preset)> ApplyPreset;
  /// Asked before the window closes; false keeps it open.
  std::function<bool()> CloseQuery;
  /// The window is closing (after CloseQuery agreed).
  std::function<void()> Close;
};

/// The main window `MainForm`: a fixed-size, always-on-top dialog with the six tabs
/// 基本, 余白, 折り目, 線, 頁番号 and 枠外 and a tool bar along the bottom.
///
/// It is the settings form of the form transfer: the settings controls are built from
/// their table (SettingControls.h) and reached by their ids (TSettingsForm). Every change of a
/// control funnels into ApplyChanges, which copies the controls into CurrentSetting, redraws the
/// preview when it is shown and marks the document modified, unless UpdateLock is raised. The
/// window stays locked (UpdateLock 1) from construction until the first showing has loaded its
/// values.
///
/// Positions are the designed 96-dpi pixels times the design scale of the screen and
/// font (DesignScale.h).
class TMainForm : public QDialog, public TSettingsForm {
  Q_OBJECT

 public:
  /// Builds the window and its controls in the designed state. `printer` is the
  /// process's printer, not owned. `scale` 0 takes the scale of the screen and font.
  explicit TMainForm(TPrinterService& printer, QWidget* parent = nullptr, double scale = 0);
  ~TMainForm() override;

  /// Gives the window its preview window (not owned): ApplyChanges redraws it while
  /// CB_ShowPrivew is checked, and its closing clears CB_ShowPrivew.
  void SetPreviewForm(TPreviewForm* preview);
  TPreviewForm* PreviewForm() const { return preview_; }

  /// The first showing without a state file or settings file: the printer shown in the
  /// 基本 tab (PaperName, when still empty, is the printer's current paper), the visibility rules
  /// applied, the lock lowered, one run of the change handler, and Modified cleared.
  void ShowFirstStart();

  /// Whether a text is set into the sheet: 原稿を外す is enabled only then.
  void ShowTextSet(bool set);

  /// The caption: CaptionBase + " - " + the file name of SettingFileName without its
  /// extension.
  void UpdateCaption();

  // TSettingsForm: the settings controls by id.
  ZELK_SETTINGS_FORM_ACCESSORS

  /// A numeric edit and a vertical edit by id.
  TSaNumEdit* NumEdit(TControl id) const;
  TTateEdit* TateEdit(TControl id) const;

  /// The visibility rules, applied by the click handlers and after a file is loaded:
  /// the fold controls by RG_Orime, the page-number position boxes and L_PageNumber by
  /// RG_Tategaki, and GB_PageNumber by CB_PageNumber.
  void ApplyOrimeVisibility();
  /// Shows the design's colours and count marks in the 線 tab (a frame or fold colour
  /// equal to the line colour as 線と同じ). Raises no change.
  void ShowSheetStyle();
  /// The 線 tab's colours and count marks into the design, then as any change: a line
  /// colour carries the frame and fold colours that follow it along.
  void SheetStyleChange();
  void ApplyTategakiVisibility();
  void ApplyPageNumberVisibility();

  /// Puts the printer's state into the 基本 tab: E_PaperName := PaperName, the
  /// orientation, the paper's width into NE_PaperSizeV and its height into
  /// NE_PaperSizeH as "#0.##" texts, and L_PrinterName. Callers hold UpdateLock.
  void ShowPrinterInfo();
  /// "プリンター : " and the selected printer's name.
  QString PrinterCaption() const;
  /// What the 基本 tab shows of the printer now (L_PrinterName).
  QString ShownPrinterCaption() const;

  /// After a design was opened: the printer takes the design's paper when it has one of
  /// that size (within 1 mm, either orientation; the virtual printer has every paper).
  /// When it has none, the warning beside the printer's name says so and printing asks
  /// first (PaperMismatch()). A design whose paper has no usable size (zero, negative,
  /// not a number, or over 5000 mm, as a broken file may hold) is shown on the printer's
  /// paper instead, and the warning says that. Callers hold UpdateLock.
  void MatchPrinterToDesign();
  /// Shows `text` beside the printer's name, with `detail` as its tool tip; an empty
  /// text hides it. ShowPrinterInfo() clears it: the paper shown is then the printer's.
  void SetPrinterWarning(const QString& text, const QString& detail = QString());
  /// The full text of the warning beside the printer's name (its tool tip); empty when
  /// there is none. PrinterWarningText() is the short text shown.
  QString PrinterWarning() const;
  QString PrinterWarningText() const { return warningText_; }
  /// True while the printer has not the paper of the design shown (see above).
  bool PaperMismatch() const { return paperMismatch_; }
  /// The question printing asks while PaperMismatch() holds.
  QString PaperMismatchQuestion() const;

  /// Lets the user change `font` in FontDialog1; on OK the dialog's font is stored and
  /// ApplyChanges runs, on Cancel nothing changes. The dialog shows the installed face
  /// that stands for the stored name; when the user keeps that face, the stored name
  /// (a Windows face, "@" included) is kept.
  void SelectFont(TFont& font);

  /// Where a failure of ApplyChanges is reported (a Japanese message box by default).
  std::function<void(const QString& message)> ShowError;
  TMainFormCommands Commands;

  // The document's state, which the document commands keep: the caption's base, the
  // settings file, whether the settings changed since they were loaded or saved, the
  // state file, the change lock (held with TUpdateLockGuard), the paper's name as the
  // printer reports it, and the settings records (one, CurrentSetting).
  QString CaptionBase;
  QString SettingFileName;
  bool Modified = false;
  QString StateFileName;
  int UpdateLock = 0;
  QString PaperName;
  std::vector<std::unique_ptr<TPrintSetting>> Settings;
  TPrintSetting* CurrentSetting = nullptr;

  const TDesignScale& Scale() const { return scale_; }

  /// Whether the sheet is to be previewed: the tool bar's check box. Setting it raises
  /// the box's click handler when the state changes, as a user's click does.
  bool PreviewShown() const;
  void SetPreviewShown(bool shown);
  /// The active tab, 0-based; an index out of range leaves it as it is.
  int ActiveTab() const;
  void SetActiveTab(int index);

 public slots:
  void ApplyChanges();
  void E_CenterCaptionChange();
  void RG_OrimeClick();
  void RG_TategakiClick();
  void CB_PageNumberClick();
  void RG_OrientationClick();
  void CB_ShowPrivewClick();
  void SB_PrinerSetupClick();
  void PrinterSetupDialog1Close(const QString& paperName);
  void B_CloseClick();
  void SB_NewClick();
  void SB_OpenClick();
  void SB_SaveAsClick();
  void SB_SaveClick();
  void SB_PrintClick();
  void SB_ComposeTextClick();
  void SB_ClearTextClick();
  void SB_ShowAboutClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The window's own test drives its controls as a user would.
  friend class ::MainFormTest;
  friend class ::DocumentCommandsTest;

  // The designed controls, named as in the window's design.
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QWidget* TabSheet4;
  QWidget* TabSheet5;
  QWidget* TS_Title;
  QWidget* Panel1;

  QLabel* L_PrinterName;
  QLabel* L_PrinterWarning;  // beside L_PrinterName; hidden while empty
  QGroupBox* GB_PaperSize;
  QLabel* Label1;
  QLineEdit* E_PaperName;
  TRadioGroup* RG_Orientation;
  QLabel* L_PaperSizeV;
  QLabel* L_PaperSizeH;
  TSaNumEdit* NE_PaperSizeH = nullptr;
  TSaNumEdit* NE_PaperSizeV = nullptr;
  QGroupBox* GroupBox1;
  QLabel* L_MojisuuV;
  QSpinBox* SE_Tate;
  QLabel* L_MojisuuH;
  QSpinBox* SE_Yoko;
  TRadioGroup* RG_Tategaki;

  QFrame* Bevel1;
  QLabel* L_YohakuU;
  QLabel* L_YohakuL;
  QLabel* L_YohakuR;
  QLabel* L_YohakuB;
  TSaNumEdit* NE_YohakuU = nullptr;
  TSaNumEdit* NE_YohakuL = nullptr;
  TSaNumEdit* NE_YohakuB = nullptr;
  TSaNumEdit* NE_YohakuR = nullptr;

  TRadioGroup* RG_Orime;
  QGroupBox* GB_Orime;
  QLabel* L_OrimeW;
  TSaNumEdit* NE_OrimeW = nullptr;
  QLabel* Label2;
  QLineEdit* E_CenterCaption;
  QPushButton* B_SetCenterCaptionFont;
  QLabel* Label3;
  QLineEdit* E_BottomCaption;
  QPushButton* B_SetBottomCaptionFont;
  TRadioGroup* RG_Gyobi;

  TRadioGroup* RG_LineType;
  QLabel* L_LineWidth;
  TSaNumEdit* NE_LineWidth = nullptr;
  TRadioGroup* RG_OrimeLineType;
  QCheckBox* CB_OuterLine;
  QLabel* L_OuterLineWidth;
  TSaNumEdit* NE_OuterLineWidth = nullptr;
  // The sheet's colours and count marks: not settings controls, they edit the design's
  // style fields directly (ShowSheetStyle, SheetStyleChange).
  QLabel* L_LineColor;
  TColorChoice* CB_LineColor;
  QLabel* L_FrameColor;
  TColorChoice* CB_FrameColor;  ///< 線と同じ, or a colour of its own
  QLabel* L_FoldColor;
  TColorChoice* CB_FoldColor;  ///< 線と同じ, or a colour of its own
  QLabel* L_CountMarks;
  QComboBox* CB_CountMarks;  ///< なし, 5 行ごと, 10 行ごと
  QLabel* L_CountLines;
  QComboBox* CB_CountLines;

  QCheckBox* CB_PageNumber;
  QGroupBox* GB_PageNumber;
  QLabel* L_PageNumber;
  QSpinBox* SE_PageNumber;
  QLabel* Label5;
  QLabel* Label4;
  QSpinBox* SE_PageNumberWidth;
  QLabel* Label6;
  QLineEdit* E_PageNumberTitle;
  QPushButton* B_PageNumberTitle;
  QGroupBox* GB_PageNumber2;
  QFrame* Bevel2;
  QCheckBox* CB_PN_UL;
  QCheckBox* CB_PN_UC;
  QCheckBox* CB_PN_UR;
  QCheckBox* CB_PN_LU;
  QCheckBox* CB_PN_LD;
  QCheckBox* CB_PN_RU;
  QCheckBox* CB_PN_RD;
  QCheckBox* CB_PN_BL;
  QCheckBox* CB_PN_BR;

  QLineEdit* E_TitleUL;
  QLineEdit* E_TitleUR;
  QLineEdit* E_TitleBL;
  QLineEdit* E_TitleBR;
  TTateEdit* TE_TitleLU = nullptr;
  TTateEdit* TE_TitleLD = nullptr;
  TTateEdit* TE_TitleRD = nullptr;
  TTateEdit* TE_TitleRU = nullptr;
  QToolButton* SB_TitleUL;
  QToolButton* SB_TitleUR;
  QToolButton* SB_TitleBL;
  QToolButton* SB_TitleBR;
  QToolButton* SB_TitleLU;
  QToolButton* SB_TitleLD;
  QToolButton* SB_TitleRU;
  QToolButton* SB_TitleRD;
  QFrame* B_Title;
  QLabel* L_OutsideTextSpace;
  TSaNumEdit* NE_OutsideTextSpace = nullptr;
  QLabel* L_OutsideText2;

  QToolButton* SB_New;
  QToolButton* SB_Open;
  QToolButton* SB_SaveAs;
  QToolButton* SB_Save;
  QToolButton* SB_PrinerSetup;
  QCheckBox* CB_ShowPrivew;
  QToolButton* SB_Print;
  QToolButton* SB_ComposeText;  ///< 原稿を流し込む
  QToolButton* SB_ClearText;    ///< 原稿を外す; enabled while a text is set
  QToolButton* SB_Presets;      ///< 用紙のひな形: a menu of the ready-made sheets
  QPushButton* B_Close;
  QToolButton* SB_ShowAbout;

  TPrinterSetupDialog* PrinterSetupDialog1;
  QFontDialog* FontDialog1;

  // Building the designed window, one tab at a time.
  void BuildTabKihon();
  void BuildTabYohaku();
  void BuildTabOrime();
  void BuildTabLine();
  void BuildTabPageNumber();
  void BuildTabTitle();
  void BuildToolBar();
  void FitWindow();
  // The run-time steps of the constructor.
  void ReplaceNumericEdits();
  TSaNumEdit* ReplaceByNumEdit(QLineEdit*& designed, QLabel* label, TControl id);
  void CreateVerticalEdits();
  TTateEdit* CreateVerticalEdit(TControl id, bool rightSide, bool lower);
  void SetTabOrders();
  void ConnectFontButtons();
  void KeepLabelsClearOfTheirFields();
  void KeepControlsApart();

  // Small builders of designed controls, at designed positions.
  QLabel* NewLabel(QWidget* parent, const QString& text, int left, int top,
                   bool rightAligned = false);
  QLineEdit* NewEdit(QWidget* parent, const char* name, int left, int top, int width, int height);
  QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& text, int left, int top,
                      int width, int height, bool checked);
  // Settings controls take their name, designed value and limits from their table row.
  QCheckBox* NewCheck(QWidget* parent, TControl id, const QString& text, int left, int top,
                      int width, int height);
  QSpinBox* NewSpin(QWidget* parent, TControl id, int left, int top, int width, int height);
  TRadioGroup* NewRadio(QWidget* parent, TControl id, const QString& caption,
                        const QStringList& items, int columns, int left, int top, int width,
                        int height);
  QToolButton* NewSpeedButton(QWidget* parent, const char* icon, int left, int top,
                              const QString& hint = QString());
  QPushButton* NewButton(QWidget* parent, const QString& text, int left, int top, int width,
                         int height);
  QFrame* NewBevel(QWidget* parent, int left, int top, int width, int height);

  void Register(TControl id, QWidget* control);
  /// The control `id`, which must be of `kind` (std::logic_error otherwise).
  template <typename T>
  T* Control(TControl id, TControlKind kind) const;

  TPrinterService& printer_;
  TDesignScale scale_;
  bool paperMismatch_ = false;
  QString warningText_;
  TPreviewForm* preview_ = nullptr;
  std::array<QWidget*, kControlCount> controls_{};  // the settings controls, by id
  // The designed edits that numeric edits replace, until the constructor replaces them.
  QLineEdit* E_PaperSizeH = nullptr;
  QLineEdit* E_PaperSizeV = nullptr;
  QLineEdit* E_OrimeW = nullptr;
  QLineEdit* E_YohakuU = nullptr;
  QLineEdit* E_YohakuL = nullptr;
  QLineEdit* E_YohakuB = nullptr;
  QLineEdit* E_YohakuR = nullptr;
  QLineEdit* E_LineWidth = nullptr;
  QLineEdit* E_OuterLineWidth = nullptr;
  QLineEdit* E_OutsideTextSpace = nullptr;
};

}  // namespace zelk
