// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PrintPreview.h"

namespace zelk {

TRecordingCanvas::TRecordingCanvas(TMetafileEx& page, const TTextMeasurer& measurer, int32_t resX,
                                   int32_t resY)
    : page_(page), measurer_(measurer), resX_(resX), resY_(resY) {}

bool TRecordingCanvas::Full() {
  if (page_.Ops.size() < TMetafileEx::kMaxRecordedOps) return false;
  page_.Truncated = true;
  return true;
}

void TRecordingCanvas::Append(TOpKind kind, TDevicePoint p1, TDevicePoint p2, int32_t index) {
  if (Full()) return;
  TRecordedOp op;
  op.Kind = kind;
  op.P1 = p1;
  op.P2 = p2;
  op.Pen = Pen;
  op.Brush = Brush;
  op.Index = index;
  page_.Ops.push_back(op);
}

void TRecordingCanvas::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Append(TOpKind::Line, {x1, y1}, {x2, y2});
}

void TRecordingCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Append(TOpKind::Rectangle, {x1, y1}, {x2, y2});
}

void TRecordingCanvas::FillRect(const TDeviceRect& r) {
  Append(TOpKind::FillRect, {r.Left, r.Top}, {r.Right, r.Bottom});
}

void TRecordingCanvas::Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Append(TOpKind::Ellipse, {x1, y1}, {x2, y2});
}

void TRecordingCanvas::Polygon(const std::vector<TDevicePoint>& points) {
  if (Full()) return;
  page_.Polygons.push_back(points);
  Append(TOpKind::Polygon, {}, {}, static_cast<int32_t>(page_.Polygons.size() - 1));
}

void TRecordingCanvas::TextOut(int32_t x, int32_t y, const std::u16string& text) {
  if (Full()) return;
  page_.Texts.push_back(TRecordedText{text, Font, FontOrientation});
  Append(TOpKind::Text, {x, y}, {}, static_cast<int32_t>(page_.Texts.size() - 1));
}

TTextExtent TRecordingCanvas::Measure(const std::u16string& text) const {
  return measurer_.Measure(Font, text, resX_, resY_);
}

int32_t TRecordingCanvas::TextWidth(const std::u16string& text) { return Measure(text).Width; }

int32_t TRecordingCanvas::TextHeight(const std::u16string& text) { return Measure(text).Height; }

TPrintPreview::TPrintPreview(TPrinterDevice& printer, const TTextMeasurer& measurer)
    : printer_(printer), measurer_(measurer) {}

// The open canvas goes first, then the pages it may still refer to.
TPrintPreview::~TPrintPreview() {
  canvas_.reset();
  pages_.clear();
}

void TPrintPreview::BeginDoc() {
  if (printing_) throw EPrintPreviewError("TPrintPreview: BeginDoc: Already Printing");
  // The preview records the same sheet again and again: the first page's operation
  // buffer is kept (emptied) for the next first page, which spares the reallocations
  // and fresh memory of tens of thousands of dots on every redraw.
  if (!pages_.empty()) {
    spareOps_ = std::move(pages_.front()->Ops);
    spareOps_.clear();
  }
  pages_.clear();
  printing_ = true;
  NewPage();
}

void TPrintPreview::NewPage() {
  if (!printing_) throw EPrintPreviewError("TPrintPreview.NewPage: not Printing");
  auto page = std::make_unique<TMetafileEx>();
  page->Ops = std::move(spareOps_);
  spareOps_ = {};
  page->FrameWidth = SaturateInt32(100LL * printer_.GetDeviceCaps(TDeviceCap::HorzSize));
  page->FrameHeight = SaturateInt32(100LL * printer_.GetDeviceCaps(TDeviceCap::VertSize));
  page->HorzRes = printer_.GetDeviceCaps(TDeviceCap::HorzRes);
  page->VertRes = printer_.GetDeviceCaps(TDeviceCap::VertRes);
  page->ResolutionX = printer_.GetDeviceCaps(TDeviceCap::LogPixelsX);
  page->ResolutionY = printer_.GetDeviceCaps(TDeviceCap::LogPixelsY);
  auto canvas =
      std::make_unique<TRecordingCanvas>(*page, measurer_, page->ResolutionX, page->ResolutionY);
  // The font height follows the printer's resolution: 9 points at its vertical dpi.
  canvas->Font.SetPixelsPerInch(page->ResolutionY);
  canvas->Font.SetSize(9);
  if (canvas_) {
    canvas->Font = canvas_->Font;
    canvas->FontOrientation = canvas_->FontOrientation;
    canvas->Pen = canvas_->Pen;
    canvas->Brush = canvas_->Brush;
  }
  pages_.push_back(std::move(page));
  canvas_ = std::move(canvas);
}

void TPrintPreview::EndDoc() {
  if (!printing_) throw EPrintPreviewError("TPrintPreview.EndDoc: not Printing");
  canvas_.reset();
  printing_ = false;
}

TCanvas& TPrintPreview::GetCanvas() {
  if (!printing_) throw EPrintPreviewError("TPrintPreview.GetCanvas: not Printing");
  return *canvas_;
}

void TPrintPreview::MarkSheet() {
  if (!printing_) throw EPrintPreviewError("TPrintPreview.MarkSheet: not Printing");
  TMetafileEx& page = canvas_->Page();
  page.SheetOps = page.Ops.size();
  page.SheetPolygons = page.Polygons.size();
  page.SheetTexts = page.Texts.size();
}

TMetafileEx* TPrintPreview::GetPage(int index) const {
  if (printing_)
    throw EPrintPreviewError("TPrinterPreview.GetPage: Pages cannot be used when printing");
  if (index < 0 || index >= GetPageCount())
    throw EPrintPreviewError("TPrinterCanvas.GetPage: Index is out of Range");
  return pages_[static_cast<size_t>(index)].get();
}

}  // namespace zelk
