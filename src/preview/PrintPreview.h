// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page recorder: drawing aimed at the printer captured as a list of recorded pages,
// so that the preview shows and the printer prints the very same pages.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "preview/Metafile.h"
#include "preview/PrinterDevice.h"
#include "sheet/Canvas.h"

namespace zelk {

/// A misuse of the page recorder. The message is one of the six fixed texts of
/// TPrintPreview; it is raised before anything has changed.
class EPrintPreviewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A canvas that appends every drawing operation, with the pen, brush and font in effect
/// for it, to one page. Coordinates are the reference printer's device units. Text is
/// measured by the measurer with the canvas font at the given resolutions.
///
/// Nothing is culled here: every operation the drawing makes is recorded, up to
/// TMetafileEx::kMaxRecordedOps; beyond that the page is marked Truncated and further
/// operations are dropped.
class TRecordingCanvas : public TCanvas {
 public:
  /// Records into `page`, which must outlive the canvas. `resX`/`resY` are the reference
  /// printer's LOGPIXELSX/LOGPIXELSY, used for measuring.
  TRecordingCanvas(TMetafileEx& page, const TTextMeasurer& measurer, int32_t resX, int32_t resY);

  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void FillRect(const TDeviceRect& rect) override;
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polygon(const std::vector<TDevicePoint>& points) override;
  void TextOut(int32_t x, int32_t y, const std::u16string& text) override;
  int32_t TextWidth(const std::u16string& text) override;
  int32_t TextHeight(const std::u16string& text) override;

  TMetafileEx& Page() { return page_; }

 protected:
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;

 private:
  void Append(TOpKind kind, TDevicePoint p1, TDevicePoint p2, int32_t index = -1);
  /// True, with the page marked Truncated, when the page takes no more operations.
  bool Full();
  TTextExtent Measure(const std::u16string& text) const;

  TMetafileEx& page_;
  const TTextMeasurer& measurer_;
  int32_t resX_;
  int32_t resY_;
};

/// Records pages against a reference printer.
///
/// Calling order: BeginDoc, then any number of GetCanvas and NewPage, then EndDoc; only
/// after that GetPage and GetPageCount. Each BeginDoc discards the previous pages (and
/// invalidates pointers obtained from GetPage). Every misuse throws EPrintPreviewError
/// with a fixed message before any state changes.
///
/// A page's frame is the printer's printable size in 0.01 mm (HORZSIZE and VERTSIZE x 100)
/// and its size HORZRES x VERTRES device pixels, read when the page is opened.
///
/// Destroying the recorder during a recording is allowed: the open canvas and every
/// page are freed.
class TPrintPreview {
 public:
  /// The printer and the measurer are not owned and must outlive the recorder.
  TPrintPreview(TPrinterDevice& printer, const TTextMeasurer& measurer);
  ~TPrintPreview();
  TPrintPreview(const TPrintPreview&) = delete;
  TPrintPreview& operator=(const TPrintPreview&) = delete;

  /// Starts a new recording: frees every earlier page and opens page 1, whose canvas has
  /// a black solid pen of width 1, a white solid brush and a 9-point font at the
  /// printer's LOGPIXELSY. Throws "TPrintPreview: BeginDoc: Already Printing" while
  /// recording.
  void BeginDoc();
  /// Closes the current page and opens the next; the font, pen and brush in use carry
  /// over to the new page. Throws "TPrintPreview.NewPage: not Printing" while idle.
  void NewPage();
  /// Closes the last page and ends the recording. Throws "TPrintPreview.EndDoc: not
  /// Printing" while idle.
  void EndDoc();
  /// The canvas of the page being recorded, valid until the next NewPage or EndDoc.
  /// Throws "TPrintPreview.GetCanvas: not Printing" while idle.
  TCanvas& GetCanvas();
  /// Marks what the open page holds so far as its sheet, with something to be drawn
  /// over it (TMetafileEx::SheetOps). Throws "TPrintPreview.MarkSheet: not Printing"
  /// while idle.
  void MarkSheet();
  /// Page `index` (from 0) of the last recording; the recorder keeps ownership. Throws
  /// "TPrinterPreview.GetPage: Pages cannot be used when printing" while recording (even
  /// for closed pages), else "TPrinterCanvas.GetPage: Index is out of Range" for an index
  /// outside 0..GetPageCount()-1.
  TMetafileEx* GetPage(int index) const;
  /// The number of pages held, including the open one while recording.
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  /// True while a recording is in progress.
  bool Printing() const { return printing_; }

 private:
  TPrinterDevice& printer_;
  const TTextMeasurer& measurer_;
  bool printing_ = false;
  std::vector<std::unique_ptr<TMetafileEx>> pages_;
  std::unique_ptr<TRecordingCanvas> canvas_;
  std::vector<TRecordedOp> spareOps_;  // empty; its capacity goes to the next page
};

}  // namespace zelk
