// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PreviewUnit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "form/FormTransfer.h"
#include "preview/ManuscriptPages.h"
#include "preview/PrintPreview.h"
#include "preview/PrinterQuery.h"
#include "preview/SheetRecording.h"
#include "preview/qt/PainterPlayback.h"
#include "preview/qt/PrinterService.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/NumberText.h"
#include "sheet/DrawSheet.h"
#include "ui/ControlFlow.h"
#include "ui/PrinterSetupDialog.h"
#include "ui/UpdateLock.h"

namespace zelk {

namespace {

// The paper lies 50 printer pixels from the picture's corner, the shadow another 50
// further, and the picture is 150 pixels larger than the paper.
constexpr int32_t kSheetOffset = 50;
constexpr int32_t kShadowOffset = 100;
constexpr int32_t kPictureMargin = 150;

// The numeric fields the sheet cannot be drawn without, in the order they are checked.
constexpr TControl kRequiredNumbers[] = {
    TControl::NE_YohakuU,    TControl::NE_YohakuB,    TControl::NE_YohakuR, TControl::NE_YohakuL,
    TControl::NE_PaperSizeH, TControl::NE_PaperSizeV, TControl::NE_OrimeW};

// Screen pixels for `printerPixels` of a printable area of `sizeMm` millimetres over
// `res` pixels, at `screenDpi` and `factor`, truncated. `logPixels` stands in for a
// printer that reports no printable size.
int ScreenPixels(int32_t printerPixels, int32_t sizeMm, int32_t res, int32_t logPixels,
                 int screenDpi, double factor) {
  double mmPerPixel = 0;
  if (sizeMm > 0 && res > 0)
    mmPerPixel = static_cast<double>(sizeMm) / res;
  else if (logPixels > 0)
    mmPerPixel = 25.4 / logPixels;
  const double pixels = printerPixels * mmPerPixel / 25.4 * screenDpi * factor;
  if (!(pixels > 0)) return 0;
  // Widgets are limited to 16777215 pixels; no zoom of a real paper comes near it.
  return pixels > 16777215.0 ? 16777215 : static_cast<int>(pixels);
}

QRectF PrinterRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return QRectF(x1, y1, x2 - x1, y2 - y1);
}

}  // namespace

TSheetPicture MakeSheetView(const TMetafileEx* page, double factor, const TPrinterDevice& printer,
                            int screenDpiX, int screenDpiY) {
  TSheetPicture p;
  p.Page = page;
  GetPrinterInfo(p.Info, printer);
  p.Width = p.Info.PhysicalWidth + kPictureMargin;
  p.Height = p.Info.PhysicalHeight + kPictureMargin;
  p.ScreenWidth = ScreenPixels(p.Width, printer.GetDeviceCaps(TDeviceCap::HorzSize), p.Info.HorzRes,
                               p.Info.LogPixelsX, screenDpiX, factor);
  p.ScreenHeight = ScreenPixels(p.Height, printer.GetDeviceCaps(TDeviceCap::VertSize),
                                p.Info.VertRes, p.Info.LogPixelsY, screenDpiY, factor);
  return p;
}

void PaintSheetPicture(QPainter& painter, const TSheetPicture& picture, const QRect& exposed) {
  if (picture.Width <= 0 || picture.Height <= 0 || picture.ScreenWidth <= 0 ||
      picture.ScreenHeight <= 0)
    return;
  const TPrinterInfo& i = picture.Info;
  painter.save();
  painter.scale(static_cast<double>(picture.ScreenWidth) / picture.Width,
                static_cast<double>(picture.ScreenHeight) / picture.Height);
  // The part of the picture to paint, in printer pixels.
  const QRectF wanted = painter.transform().inverted().mapRect(QRectF(exposed));

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(128, 128, 128));
  painter.drawRect(PrinterRect(kShadowOffset, kShadowOffset, i.PhysicalWidth + kShadowOffset,
                               i.PhysicalHeight + kShadowOffset));

  QPen outline(Qt::black, 0);  // cosmetic: one screen pixel at any zoom
  painter.setPen(outline);
  painter.setBrush(Qt::white);
  painter.drawRect(PrinterRect(kSheetOffset, kSheetOffset, i.PhysicalWidth + kSheetOffset,
                               i.PhysicalHeight + kSheetOffset));

  const int32_t left = i.PhysicalOffsetX + kSheetOffset;
  const int32_t top = i.PhysicalOffsetY + kSheetOffset;
  outline.setStyle(Qt::DotLine);
  painter.setPen(outline);
  painter.drawRect(PrinterRect(left, top, left + i.HorzRes, top + i.VertRes));

  if (picture.Page) {
    const TDeviceRect dest{left, top, left + picture.Page->HorzRes, top + picture.Page->VertRes};
    const QRectF pageRect = PrinterRect(dest.Left, dest.Top, dest.Right, dest.Bottom);
    // The widget's paint region already keeps painting within the exposed part; only
    // the shapes that reach it are replayed, and a page wholly outside it not at all.
    if (pageRect.intersects(wanted)) DrawPage(painter, *picture.Page, dest, true, exposed);
  }
  painter.restore();
}

TSheetView::TSheetView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TSheetView::SetPicture(const TSheetPicture& picture) {
  picture_ = picture;
  setFixedSize(picture.ScreenWidth, picture.ScreenHeight);
  update();
}

void TSheetView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  PaintSheetPicture(painter, picture_, event->rect());
}

TPreviewForm::TPreviewForm(TPrinterService& printer, QWidget* parent, double scale)
    : QWidget(parent, Qt::Window), printer_(printer) {
  InitUiResources();
  UpdateLock = 1;
  setObjectName(QStringLiteral("PreviewForm"));
  setWindowTitle(QStringLiteral("印刷プレビュー"));
  const int dpi = ScreenLogicalDpi();
  setFont(WindowFont(dpi));
  scale_ = scale > 0 ? TDesignScale(scale) : TDesignScale::For(font(), dpi);

  BuildPanel();
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1 = new TSheetView;
  Image1->setObjectName(QStringLiteral("Image1"));
  ScrollBox1->setWidget(Image1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel1);
  layout->addWidget(ScrollBox1, 1);

  PrinterSetupDialog1 = new TPrinterSetupDialog(printer_, this);
  measurer_ = std::make_unique<TQtTextMeasurer>();
  Recorder_ = std::make_unique<TPrintPreview>(printer_, *measurer_);
  // The designed place is the frame's corner: move() of a window not shown yet places
  // the frame, where setGeometry() would place the window inside it.
  resize(scale_(728), scale_(435));
  move(0, 0);
  UpdateLock = 0;
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::BuildPanel() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(scale_(47));
  auto label = [this](const QString& text, int left, int top) {
    auto* l = new QLabel(text, Panel1);
    l->move(scale_(left), scale_(top));
    l->adjustSize();
    return l;
  };
  auto slider = [this](int left, int top, int width, int height) {
    auto* s = new QSlider(Qt::Horizontal, Panel1);
    s->setGeometry(scale_.Rect(left, top, width, height));
    s->setTickPosition(QSlider::TicksBelow);
    connect(s, &QSlider::valueChanged, this, &TPreviewForm::TrackBar1Change);
    return s;
  };
  auto button = [this](const QString& text, int left, int top, int width, int height) {
    auto* b = new QPushButton(text, Panel1);
    b->setGeometry(scale_.Rect(left, top, width, height));
    return b;
  };
  L_Page = label(QStringLiteral("ページ："), 6, 14);
  TB_Page = slider(42, 10, 110, 29);
  TB_Page->setRange(0, 0);
  // Which of how many pages is shown: a slider alone does not tell it.
  L_PageOf = label(QStringLiteral("9999/9999"), 155, 14);
  L_PageOf->setObjectName(QStringLiteral("L_PageOf"));
  // How long the text is, as contests and assignments count it.
  L_Count = label(QStringLiteral("400字詰め 9999 枚"), 160, 14);
  L_Count->setObjectName(QStringLiteral("L_Count"));
  Label2 = label(QStringLiteral("拡大率："), 198, 14);
  TrackBar1 = slider(238, 10, 150, 29);
  TrackBar1->setRange(1, 41);
  TrackBar1->setValue(5);
  TrackBar1->setTickInterval(2);
  TrackBar1->setPageStep(2);
  const QIcon printerIcon(QStringLiteral(":/ui/icons/printer.svg"));
  BB_Print = button(QStringLiteral("印刷(&P)..."), 390, 9, 87, 25);
  BB_Print->setIcon(printerIcon);
  BB_Print->setDefault(true);
  BB_PrintSetup = button(QStringLiteral("印刷設定(&S)..."), 494, 9, 111, 25);
  BB_PrintSetup->setIcon(printerIcon);
  B_Close = button(QStringLiteral("閉じる(&C)"), 614, 9, 75, 25);
  connect(BB_Print, &QPushButton::clicked, this, &TPreviewForm::BB_PrintClick);
  connect(BB_PrintSetup, &QPushButton::clicked, this, &TPreviewForm::BB_PrintSetupClick);
  connect(B_Close, &QPushButton::clicked, this, &TPreviewForm::TB_CloseClick);
  // Wider captions than designed push the controls after them along the bar.
  FlowRow({L_Page, TB_Page, L_PageOf, L_Count, Label2, TrackBar1, BB_Print, BB_PrintSetup, B_Close},
          scale_(3), 0, scale_(720), {TB_Page, TrackBar1}, scale_(60));
  setTabOrder(TB_Page, TrackBar1);
  setTabOrder(TrackBar1, BB_Print);
  setTabOrder(BB_Print, BB_PrintSetup);
  setTabOrder(BB_PrintSetup, B_Close);
  L_Page->hide();
  TB_Page->hide();
  L_PageOf->hide();
  L_Count->hide();
}

int TPreviewForm::Redraw() {
  if (UpdateLock > 0) return 0;
  if (form_) {
    for (TControl id : kRequiredNumbers) {
      double value = 0;
      if (!TryStrToFloat(form_->NumText(id), value)) return 0;
    }
  }
  int pages = 0;
  {
    const TUpdateLockGuard lock(UpdateLock);
    // The text keeps its page across redraws; the blank sheet has only page 1.
    const int wanted = textPlacePage_ >= 0 ? textPlacePage_ : TB_Page->value();
    RecordSheet(wanted);
    if (ShowsText()) textPlacePage_ = -1;
    pages = ShowsText() ? std::max(1, text_->PageCount()) : Recorder_->GetPageCount();
    TB_Page->setRange(0, pages > 0 ? pages - 1 : 0);
    TB_Page->setValue(!ShowsText() ? 0 : textPage_ >= 0 ? textPage_ : std::min(wanted, pages - 1));
    L_Page->setVisible(pages != 1);
    TB_Page->setVisible(pages != 1);
    L_PageOf->setVisible(pages != 1);
    if (ShowsText()) {
      const TTextCount& count = text_->Count();
      L_Count->setText(QStringLiteral("400字詰め %1 枚").arg(count.Sheets400));
      L_Count->setToolTip(QStringLiteral("%1 字、400字詰め原稿用紙 %2 枚")
                              .arg(count.Characters)
                              .arg(count.Sheets400));
    }
    L_Count->setVisible(ShowsText());
  }
  ShowPage(TB_Page->value(), TrackBar1->value(), TrackBar1->minimum(), TrackBar1->maximum());
  ScrollToTextStart();
  return pages;
}

void TPreviewForm::RecordSheet(int page) {
  textPage_ = -1;
  if (!Setting) {
    Recorder_->BeginDoc();
    Recorder_->EndDoc();
    return;
  }
  // A preview shows what could be drawn; the main window reports bad input itself.
  const auto prepare = [this](TPrintSetting& s) {
    if (form_) ReadFromForm(s, *form_, printer_);
  };
  if (!text_) {
    zelk::RecordSheet(*Setting, *Recorder_, prepare);
    return;
  }
  text_->Record(*Setting, *Recorder_, page, prepare);
  textPage_ = text_->RecordedPage();
}

void TPreviewForm::RecordTextPage(int page) {
  if (!ShowsText() || page == textPage_) return;
  text_->Record(*Setting, *Recorder_, page);
  textPage_ = text_->RecordedPage();
}

void TPreviewForm::SetText(std::unique_ptr<TManuscriptPages> text, TTextPlace place) {
  text_ = std::move(text);
  textPage_ = -1;
  toTextStart_ = text_ != nullptr && place.ScrollToStart;
  textPlacePage_ = text_ ? std::max(0, place.Page) : -1;
  const TUpdateLockGuard lock(UpdateLock);
  if (!text_) TB_Page->setValue(0);
}

void TPreviewForm::SetText(std::unique_ptr<TManuscriptPages> text) {
  SetText(std::move(text), TTextPlace());
}

bool TPreviewForm::ShowsText() const { return text_ && Setting; }

void TPreviewForm::ScrollToTextStart() {
  // The scroll bars know the picture's size only once the window is shown.
  if (!toTextStart_ || !ShowsText() || !isVisible()) return;
  toTextStart_ = text_ != nullptr;
  QScrollBar* across = ScrollBox1->horizontalScrollBar();
  across->setValue(Setting->Yokogaki ? across->minimum() : across->maximum());
  ScrollBox1->verticalScrollBar()->setValue(0);
}

void TPreviewForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // After the layout that the showing starts has sized the scroll area.
  if (toTextStart_) QTimer::singleShot(0, this, [this] { ScrollToTextStart(); });
}

int TPreviewForm::ShownPage() const { return ShowsText() ? textPage_ : TB_Page->value(); }

int TPreviewForm::TextPage() const {
  if (!text_) return 0;
  return textPlacePage_ >= 0 ? textPlacePage_ : std::max(0, textPage_);
}

int TPreviewForm::JobPageCount() const { return ShowsText() ? text_->PageCount() : 1; }

TPrintResult TPreviewForm::PrintPages(TPrinterService& printer, const TPrintPageDrawer& draw,
                                      const TPageProgress& progress, const TJobPages& job) {
  if (!ShowsText()) {
    const int pages = Recorder_->GetPageCount();
    return zelk::PrintPages(
        job.Count(pages),
        [this, &job, pages](int i) -> const TMetafileEx& {
          return *Recorder_->GetPage(job.PageOf(i, pages));
        },
        printer, draw, progress);
  }
  // The shown page stays recorded; the job's pages are recorded on a recorder of its own,
  // from the text and the settings as the job began: a text set anew or a change made
  // while the job lets events through belongs to the next job.
  TPrintPreview jobPages(printer_, *measurer_);
  const std::shared_ptr<TManuscriptPages> text = text_;
  TPrintSetting setting = *Setting;
  const int pages = text->PageCount();
  return zelk::PrintPages(
      job.Count(pages),
      [&](int i) -> const TMetafileEx& {
        const TSheetRecording r = text->Record(setting, jobPages, job.PageOf(i, pages));
        if (!r.Failure.empty()) throw std::runtime_error(r.Failure);
        return *jobPages.GetPage(0);
      },
      printer, draw, progress);
}

void TPreviewForm::ShowPage(int page, int position, int minimum, int maximum) {
  const int count = ShowsText() ? text_->PageCount() : Recorder_->GetPageCount();
  if (page < 0 || page >= count || maximum <= minimum) return;
  RecordTextPage(page);
  const int recorded = ShowsText() ? 0 : page;  // a text's page is the recorder's only one
  if (recorded >= Recorder_->GetPageCount()) return;
  const double factor = position * 8.0 / (maximum - minimum);
  const int dpiX = Image1->logicalDpiX();
  const int dpiY = Image1->logicalDpiY();
  Image1->SetPicture(MakeSheetView(Recorder_->GetPage(recorded), factor, printer_, dpiX, dpiY));
  L_PageOf->setText(QStringLiteral("%1/%2").arg(page + 1).arg(count));
}

double TPreviewForm::ZoomFactor() const {
  const int span = TrackBar1->maximum() - TrackBar1->minimum();
  return span > 0 ? TrackBar1->value() * 8.0 / span : 0;
}

void TPreviewForm::TrackBar1Change() {
  if (UpdateLock > 0) return;
  ShowPage(TB_Page->value(), TrackBar1->value(), TrackBar1->minimum(), TrackBar1->maximum());
}

void TPreviewForm::BB_PrintSetupClick() {
  if (PrinterSetupDialog1->exec() == QDialog::Accepted || PrinterSetupDialog1->PrinterReplaced())
    Redraw();
}

void TPreviewForm::BB_PrintClick() {
  if (PrintHandler) PrintHandler();
}

void TPreviewForm::TB_CloseClick() { close(); }

void TPreviewForm::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

void TPreviewForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    B_Close->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace zelk
