// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recorded page: a display list of canvas operations in printer device units, with the
// origin at the top-left of the printable area.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sheet/Canvas.h"

namespace zelk {

enum class TOpKind { Line, Rectangle, FillRect, Ellipse, Polygon, Text };

/// The text of a Text operation, kept beside the operations so that the many shapes of
/// a sheet stay small.
struct TRecordedText {
  std::u16string Text;
  TFont Font;               ///< the canvas font, face name as the drawing set it
  int32_t Orientation = 0;  ///< tenths of a degree
};

/// One drawing operation with the pen and brush in effect for it. Kept small (no heap
/// members), since a sheet records tens of thousands of dots.
struct TRecordedOp {
  TOpKind Kind = TOpKind::Line;
  /// Line: from, to. Rectangle, FillRect, Ellipse: top-left, bottom-right. Text: the
  /// reference point in P1. Polygon: unused.
  TDevicePoint P1;
  TDevicePoint P2;
  TPen Pen;
  TBrush Brush;
  /// Polygon: index into TMetafileEx::Polygons. Text: index into TMetafileEx::Texts.
  int32_t Index = -1;
};

/// Where a page is replayed. The Qt layer implements it over a QPainter; the replay logic
/// itself, clipping rule included, lives in TMetafileEx::Draw.
class TPlaybackTarget {
 public:
  virtual ~TPlaybackTarget() = default;
  /// True when the target has a clipping region.
  virtual bool HasClip() const = 0;
  /// Saves the target's clipping region and removes it.
  virtual void SaveAndRemoveClip() = 0;
  /// Selects the saved clipping region again.
  virtual void RestoreClip() = 0;
  /// Plays the operations into `dest` (target coordinates), the frame scaled to fill it.
  /// May throw; TMetafileEx::Draw restores the clipping region all the same.
  virtual void Play(const class TMetafileEx& page, const TDeviceRect& dest) = 0;
};

/// A recorded page. Its frame is the reference printer's printable size in 0.01 mm
/// (HORZSIZE and VERTSIZE x 100); `HorzRes` and `VertRes` are the printable size in
/// device pixels, the page's natural size.
class TMetafileEx {
 public:
  int32_t FrameWidth = 0;   ///< 0.01 mm
  int32_t FrameHeight = 0;  ///< 0.01 mm
  int32_t HorzRes = 0;      ///< device pixels
  int32_t VertRes = 0;      ///< device pixels
  int32_t ResolutionX = 0;  ///< of the reference printer, dpi
  int32_t ResolutionY = 0;
  std::vector<TRecordedOp> Ops;
  std::vector<std::vector<TDevicePoint>> Polygons;
  std::vector<TRecordedText> Texts;
  /// The recording stopped at kMaxRecordedOps: the page holds the drawing's first
  /// operations only.
  bool Truncated = false;
  /// When something was drawn over the sheet (RecordSheet's `over`): the number of
  /// leading ops that draw the sheet itself, and the polygons and texts recorded by
  /// then, which are all those ops use. 0 when nothing was drawn over it. Outputs of
  /// many pages draw a sheet that every page shares only once (TPdfDocument).
  size_t SheetOps = 0;
  size_t SheetPolygons = 0;
  size_t SheetTexts = 0;

  /// The most operations one page records. A sheet as the window offers it records at
  /// most a few hundred thousand; only a paper metres wide with the thinnest dots comes
  /// near this, which keeps a page below about 200 MB whatever a settings file says.
  static constexpr size_t kMaxRecordedOps = 4'000'000;

  /// Replays the page into `dest` of the target with the target's clipping lifted: when
  /// the target has a clipping region it is removed for the replay and selected again
  /// afterwards, also when the replay throws (the exception then propagates).
  void Draw(TPlaybackTarget& target, const TDeviceRect& dest) const;

  /// True when both pages have a sheet under their drawing (SheetOps above 0) and it is
  /// the same: the same size and resolutions, ops, polygons and texts.
  bool SameSheet(const TMetafileEx& other) const;
  /// A page of this page's sheet only, with its SheetOps and the rest as here.
  TMetafileEx SheetOnly() const;
};

/// A range of a page's ops, [Begin, End); the default is every op.
struct TOpRange {
  size_t Begin = 0;
  size_t End = static_cast<size_t>(-1);
};

}  // namespace zelk
