// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A composed page set on the sheet: each cell's content drawn inside its cell, each ruby
// inside the gap strip beside its base, in the 明朝 face.
//
// Vertical writing runs the lines down the columns from the rightmost; horizontal
// writing runs them along the rows from the top. The half beyond the fold band
// continues the page. Nothing is drawn in a gap strip but ruby, nor in the fold band.

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "compose/Manuscript.h"
#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"

namespace zelk {

/// The face of the body and the ruby: the 明朝 face that the font mapping resolves to the
/// installed Japanese serif; with the vertical mark "@" for vertical writing.
extern const std::u16string kComposeFace;

/// The sheet's line and cell counts (those the grid draws) and its writing direction.
TComposeOptions SheetComposeOptions(const TPrintSetting& s);

/// The rectangle of a cell as the grid draws it, Right and Bottom on its far lines. A
/// `cell` of the line's cell count is the place just beyond the last cell, outside the
/// grid, where hanging punctuation goes. The layout must be computed (DrawSheet).
TDeviceRect ComposeCellRect(const TPrintSetting& s, int32_t line, int32_t cell);

/// The gap strip beside a cell: right of it in vertical writing, above it across.
TDeviceRect ComposeRubyRect(const TPrintSetting& s, int32_t line, int32_t cell);

/// Draws composed pages over sheets that DrawSheet has just drawn. Keeps the measures of
/// the texts it has set, so one setter serves all the pages of a text on one printer: a
/// printer of another resolution needs a setter of its own.
class TSheetTextSetter {
 public:
  /// `s` must outlive the setter, its layout computed for every Draw.
  explicit TSheetTextSetter(const TPrintSetting& s) : s_(s) {}

  /// One text op per cell, its point inside the cell, then one per ruby, inside the
  /// strip beside its base. A 傍点 or 傍線 on a character with ruby takes the half of the
  /// strip away from the base and the ruby the other, when half the strip holds the
  /// ruby's size; otherwise the mark is left out. The brush is left clear.
  void Draw(TCanvas& canvas, const TComposedPage& page);

  /// True when the sheet's gap strips are wide enough to set ruby in; Draw leaves ruby
  /// out otherwise. The layout must be computed.
  bool HasRubyStrip() const;

  /// `number` on each page-number line of the sheet, after its title, in the title's
  /// font; false, with nothing drawn, when the sheet has no page-number line.
  bool DrawPageNumber(TCanvas& canvas, int32_t number);

 private:
  // A text set in `rect`: centred, in `points` or smaller so that it fits along `rect`.
  void SetText(TCanvas& canvas, const TDeviceRect& rect, const std::u16string& text, int32_t points,
               bool upright);
  TTextExtent Measure(TCanvas& canvas, const std::u16string& text);

  const TPrintSetting& s_;
  std::map<std::tuple<std::u16string, int32_t, bool>, TTextExtent> extents_;
};

}  // namespace zelk
