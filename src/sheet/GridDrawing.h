#pragma once
// The inside of the cell grid: which edges of each cell unit are drawn, the walk over
// the seven edges from the unit's top-left corner, and the five line shapes.

#include <cstddef>
#include <cstdint>
#include <unordered_set>

#include "settings/PrintSetting.h"
#include "sheet/Canvas.h"

namespace zelk {

/// The dots already drawn on one sheet, so that a dot is never drawn twice. Where two
/// edges start from one corner (the top edge and the right line of a unit, or two units
/// that touch across an empty gap strip) both would put their first dot there, and a fold
/// line's dots can fall on the corner dots of the units beside it. A dot counts as the
/// same when its place, size, shape and outline pen all agree.
class TDotLedger {
 public:
  struct TKey {
    int32_t X, Y, Width, Height, Shape, PenWidth;
    bool operator==(const TKey& o) const {
      return X == o.X && Y == o.Y && Width == o.Width && Height == o.Height && Shape == o.Shape &&
             PenWidth == o.PenWidth;
    }
  };
  /// False: only the first dot of each edge is looked up, which is all the grid needs,
  /// since the middle of one grid edge never meets another edge. True for the fold lines,
  /// which run past the corners of the units beside them.
  bool CheckEveryDot = false;
  /// Notes the dot; false when it was noted before.
  bool Add(const TKey& key);

 private:
  struct THash {
    size_t operator()(const TKey& k) const;
  };
  std::unordered_set<TKey, THash> keys_;
};

/// The printable area of the settings' printer, (0, 0)-(HorzRes, VertRes) of
/// PrinterInfo: what can reach the paper.
TDeviceRect PrintableArea(const TPrintSetting& s);

/// True when the settings have a fold band: `Orime` 1 (one unit wide) or 2 (OrimeWidth
/// wide). Any other value, 0 or an unknown mode from a file, has none.
bool HasFoldBand(const TPrintSetting& s);

/// Sets DrawType of the seven edges of `s.Cell` for the unit at `column`, `row` (both
/// 0-based): each edge takes its LineType, except the edges that the frame, a fold line
/// or a neighbouring unit draws, which get 0. So every line of the sheet is drawn once.
///
/// When the gap strip is empty (the pitch across the strips equals CellSize, as on an A4
/// sheet for vertical writing with a one-line band), the line between cell and strip
/// would lie on the neighbour's outer line, the frame or a fold line, so CellInner is
/// not drawn either. Uses the counts held in `s.Cell` and `s.Orime`.
void PrepareCell(TPrintSetting& s, int32_t column, int32_t row);

/// Draws the unit whose top-left corner is (x, y), walking its seven edges in the fixed
/// order of the writing direction; PrepareCell must have run for this unit. Dots outside
/// PrintableArea(s) are not drawn (see DrawEdge).
/// With `ledger`, dots already on the sheet are not drawn again (see TDotLedger).
void DrawCellUnit(const TPrintSetting& s, TCanvas& canvas, int32_t x, int32_t y,
                  TDotLedger* ledger = nullptr);

/// Draws one edge from `point` in the shape of its DrawType and moves `point` to the
/// edge's end, (StepX, StepY) further, whether anything was drawn or not. The pen is
/// moved to the start first.
///
/// - 0: nothing. 1: clear brush, dotted pen (width and colour as they are), one line.
///   2: solid pen of width DotWidth, one line. 3: filled squares (FillRect with the
///   current brush). 4: ellipses outlined with the current pen, filled with the brush.
/// - Dots: DotCountX dots at k x (DotPitchX, DotPitchY) from the start, then the row of
///   DotCountY dots at the same steps from the start again, leaving out the dots the
///   first row already drew (k < DotCountX), so no dot is drawn twice. For an edge along
///   y the first row is the single dot at the start and the second lays the row. Each
///   dot is DotWidth x DotHeight and hangs right of and below its point.
///
/// A dot whose rectangle (for an ellipse grown by half the pen width, its outline) lies
/// wholly outside `printable` cannot reach the paper and is not drawn. The range of dots
/// that can is computed directly, so a row of a million dots off the paper costs nothing.
/// Lines are always drawn. With `ledger`, a dot already on the sheet is not drawn again.
void DrawEdge(const TCellWidth& edge, TCanvas& canvas, TDevicePoint& point,
              const TDeviceRect& printable, TDotLedger* ledger = nullptr);

}  // namespace zelk
