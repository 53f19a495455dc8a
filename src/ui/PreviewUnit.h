// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview window: the sheet recorded against the printer and shown on a picture of
// the whole paper, at an adjustable zoom.

#include <QWidget>
#include <functional>
#include <memory>

#include "preview/PrinterQuery.h"
#include "preview/qt/Printing.h"
#include "ui/DesignScale.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;

namespace zelk {

class TManuscriptPages;
class TMetafileEx;
class TPrinterDevice;
class TPrinterService;
class TPrinterSetupDialog;
class TPrintPreview;
class TPrintSetting;
class TSettingsForm;
class TTextMeasurer;

/// The preview picture of one recorded page: the paper with a shadow, the printable
/// area and the page at its printable offset. It is described, not rasterised: painting
/// it replays vectors into whatever part of it is exposed, so its memory does not
/// depend on the zoom.
struct TSheetPicture {
  const TMetafileEx* Page = nullptr;  ///< not owned; the recorder keeps it
  TPrinterInfo Info;                  ///< the printer's geometry the picture was made for
  int32_t Width = 0;                  ///< printer pixels: PhysicalWidth + 150
  int32_t Height = 0;                 ///< printer pixels: PhysicalHeight + 150
  int ScreenWidth = 0;                ///< screen pixels at the zoom factor, truncated
  int ScreenHeight = 0;
};

/// The picture of `page` on `printer` at `factor` (1.0: the paper at its real size on a
/// screen of `screenDpiX` x `screenDpiY` logical dpi). The physical extent is the
/// picture's printer pixels times the printable area's millimetres per pixel
/// (HORZSIZE / HORZRES, VERTSIZE / VERTRES); a printer reporting no printable size falls
/// back to its resolution. A factor of 0 or less, or NaN, gives an empty screen size.
TSheetPicture MakeSheetView(const TMetafileEx* page, double factor, const TPrinterDevice& printer,
                            int screenDpiX, int screenDpiY);

/// Paints the part `exposed` (screen pixels of the picture) of `picture` with
/// `painter`, whose origin is the picture's top-left corner: the shadow, the sheet with
/// a one-pixel black outline, the printable area dotted, then the page replayed at its
/// natural size at (PhysicalOffsetX + 50, PhysicalOffsetY + 50). Nothing else.
void PaintSheetPicture(QPainter& painter, const TSheetPicture& picture, const QRect& exposed);

/// The image of the preview: shows a TSheetPicture at its screen size and paints only
/// the exposed part of it.
class TSheetView : public QWidget {
  Q_OBJECT

 public:
  explicit TSheetView(QWidget* parent = nullptr);
  /// Takes the picture and resizes to its screen size.
  void SetPicture(const TSheetPicture& picture);
  const TSheetPicture& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TSheetPicture picture_;
};

/// The preview window `PreviewForm`. It records the sheet of the main window's current
/// settings with its own page recorder and shows page 1. Closing it only hides it and
/// raises Closed(), on which the main window clears its preview check box.
///
/// With a text set into the sheet (SetText), the pages are the text's: each redraw
/// composes it for the sheet as drawn and records only the page shown, the page selector
/// runs over every page and keeps its place across redraws, turning to a page records
/// that page, and printing sends every page.
class TPreviewForm : public QWidget {
  Q_OBJECT

 public:
  /// A hidden, resizable window of 728 x 435 designed pixels at (0, 0), recording
  /// against `printer`. `scale` 0 takes the scale of the screen and font.
  explicit TPreviewForm(TPrinterService& printer, QWidget* parent = nullptr, double scale = 0);
  ~TPreviewForm() override;

  /// The settings to draw, not owned; null until the main window hands them over.
  void SetSetting(TPrintSetting* setting) { Setting = setting; }
  /// The main window's controls: Redraw checks their numeric texts and reads them into
  /// the settings. Not owned; null means nothing can be drawn.
  void SetForm(const TSettingsForm* form) { form_ = form; }

  /// Records the sheet again and shows page 1. Returns the number of pages, or 0 when
  /// refused: while UpdateLock is raised, or, silently, when one of NE_YohakuU,
  /// NE_YohakuB, NE_YohakuR, NE_YohakuL, NE_PaperSizeH, NE_PaperSizeV, NE_OrimeW (in
  /// this order) is not a number; the recorder and the picture then stay as they were.
  /// A failure while drawing is dropped: what was recorded until then is shown.
  int Redraw();

  /// Where a text set into the sheet is shown by the next Redraw.
  struct TTextPlace {
    int Page = 0;  ///< from 0; one past the text's last shows its last
    /// Scrolled to where the text begins (the top right corner in vertical writing, the
    /// top left across) once the window is shown; false keeps the scroll bars.
    bool ScrollToStart = true;
  };
  /// Sets `text` into the sheet, or, when null, returns to the blank sheet; the next
  /// Redraw shows it at `place`. The text's pages are numbered on the sheet's
  /// page-number lines when it has them.
  void SetText(std::unique_ptr<TManuscriptPages> text, TTextPlace place);
  void SetText(std::unique_ptr<TManuscriptPages> text);
  /// The text set into the sheet, or null.
  TManuscriptPages* Text() const { return text_.get(); }
  /// The page shown (from 0), whose recording the recorder holds.
  int ShownPage() const;
  /// The page of the text set (from 0) that the window shows, or shows once it is
  /// drawn; 0 without a text.
  int TextPage() const;
  /// Prints what the window shows as one job: the recorded page, or every page of the
  /// text, each recorded as the printer takes it against the settings as the job began
  /// (PrintPages of Printing.h). `progress` is told of each page and may stop the job;
  /// while it lets events through, the text may be set anew or the settings changed
  /// without touching the job. `job` picks the pages and how often they go.
  TPrintResult PrintPages(TPrinterService& printer,
                          const TPrintPageDrawer& draw = DrawPageAtNaturalSize,
                          const TPageProgress& progress = {}, const TJobPages& job = {});
  /// The pages the job of PrintPages would have: the text's, or 1.
  int JobPageCount() const;
  /// Shows page `page` at zoom factor position x 8.0 / (max - min); a page not recorded
  /// does nothing.
  void ShowPage(int page, int position, int minimum, int maximum);
  /// The zoom factor of the zoom track bar's position now.
  double ZoomFactor() const;

  TPrintPreview& Recorder() { return *Recorder_; }
  TSheetView* Image() const { return Image1; }
  QScrollArea* ScrollBox() const { return ScrollBox1; }

  /// The printing command's work (set by the printing code); the button does nothing
  /// until it is set.
  std::function<void()> PrintHandler;

  int UpdateLock = 0;
  TPrintSetting* Setting = nullptr;

  QWidget* Panel1;
  QLabel* L_Page;
  QSlider* TB_Page;
  QLabel* L_PageOf;  ///< "3/87": the page shown and the count, beside the selector
  QLabel* L_Count;   ///< "400字詰め 31 枚" while a text is set; its characters in the tip
  QLabel* Label2;
  QSlider* TrackBar1;
  QPushButton* BB_Print;
  QPushButton* BB_PrintSetup;
  QPushButton* B_Close;

 signals:
  /// The window was closed (it is hidden, not destroyed).
  void Closed();

 public slots:
  void TrackBar1Change();
  void BB_PrintSetupClick();
  void BB_PrintClick();
  void TB_CloseClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildPanel();
  // Records the sheet, with page `page` of the text when one is set.
  void RecordSheet(int page);
  // Records page `page` of the text into the recorder unless it holds it already.
  void RecordTextPage(int page);
  // A text is set and there are settings to set it on.
  bool ShowsText() const;
  // Scrolls to where the text begins, if a new text waits for it and the window shows.
  void ScrollToTextStart();

  TPrinterService& printer_;
  TDesignScale scale_;
  const TSettingsForm* form_ = nullptr;
  std::unique_ptr<TTextMeasurer> measurer_;
  std::unique_ptr<TPrintPreview> Recorder_;
  std::shared_ptr<TManuscriptPages> text_;  // shared with a print job that runs
  int textPage_ = -1;                       // the text's page the recorder holds, -1 for none
  bool toTextStart_ = false;                // a new text is to be shown from where it begins
  int textPlacePage_ = -1;                  // the page a text set is to be shown at, -1 when shown
  QScrollArea* ScrollBox1;
  TSheetView* Image1;
  TPrinterSetupDialog* PrinterSetupDialog1;
};

}  // namespace zelk
