// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/Metafile.h"

#include <algorithm>
#include <cstddef>

namespace zelk {

void TMetafileEx::Draw(TPlaybackTarget& target, const TDeviceRect& dest) const {
  if (!target.HasClip()) {
    target.Play(*this, dest);
    return;
  }
  target.SaveAndRemoveClip();
  try {
    target.Play(*this, dest);
  } catch (...) {
    target.RestoreClip();
    throw;
  }
  target.RestoreClip();
}

namespace {

bool SameOp(const TRecordedOp& a, const TRecordedOp& b) {
  return a.Kind == b.Kind && a.P1 == b.P1 && a.P2 == b.P2 && a.Pen == b.Pen && a.Brush == b.Brush &&
         a.Index == b.Index;
}

bool SameText(const TRecordedText& a, const TRecordedText& b) {
  return a.Text == b.Text && a.Font == b.Font && a.Orientation == b.Orientation;
}

// The first `count` elements of both, which must hold that many, are equal.
template <typename T, typename Same>
bool SamePrefix(const std::vector<T>& a, const std::vector<T>& b, size_t count, Same same) {
  return std::equal(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(count), b.begin(), same);
}

bool ValidSheet(const TMetafileEx& p) {
  return p.SheetOps > 0 && p.SheetOps <= p.Ops.size() && p.SheetPolygons <= p.Polygons.size() &&
         p.SheetTexts <= p.Texts.size();
}

}  // namespace

bool TMetafileEx::SameSheet(const TMetafileEx& o) const {
  if (!ValidSheet(*this) || !ValidSheet(o)) return false;
  if (FrameWidth != o.FrameWidth || FrameHeight != o.FrameHeight || HorzRes != o.HorzRes ||
      VertRes != o.VertRes || ResolutionX != o.ResolutionX || ResolutionY != o.ResolutionY ||
      SheetOps != o.SheetOps || SheetPolygons != o.SheetPolygons || SheetTexts != o.SheetTexts)
    return false;
  return SamePrefix(Ops, o.Ops, SheetOps, SameOp) &&
         SamePrefix(Polygons, o.Polygons, SheetPolygons,
                    [](const auto& a, const auto& b) { return a == b; }) &&
         SamePrefix(Texts, o.Texts, SheetTexts, SameText);
}

TMetafileEx TMetafileEx::SheetOnly() const {
  TMetafileEx sheet;
  sheet.FrameWidth = FrameWidth;
  sheet.FrameHeight = FrameHeight;
  sheet.HorzRes = HorzRes;
  sheet.VertRes = VertRes;
  sheet.ResolutionX = ResolutionX;
  sheet.ResolutionY = ResolutionY;
  if (!ValidSheet(*this)) return sheet;
  sheet.Ops.assign(Ops.begin(), Ops.begin() + static_cast<std::ptrdiff_t>(SheetOps));
  sheet.Polygons.assign(Polygons.begin(),
                        Polygons.begin() + static_cast<std::ptrdiff_t>(SheetPolygons));
  sheet.Texts.assign(Texts.begin(), Texts.begin() + static_cast<std::ptrdiff_t>(SheetTexts));
  sheet.SheetOps = SheetOps;
  sheet.SheetPolygons = SheetPolygons;
  sheet.SheetTexts = SheetTexts;
  return sheet;
}

}  // namespace zelk
