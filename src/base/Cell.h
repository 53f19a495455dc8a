// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The edge descriptors of one cell unit. See Geometry.h for how they are computed.

#include <cstdint>

namespace zelk {

/// Line shapes of the ruled lines (the items of the line-shape radio groups).
enum TLineShape : int32_t {
  lsNone = 0,      ///< "なし"
  lsDotted = 1,    ///< "波線": the canvas's dotted pen
  lsStraight = 2,  ///< "直線"
  lsSquares = 3,   ///< "四角": filled squares
  lsRound = 4,     ///< "丸": filled round dots
};

/// One edge of the cell unit: how long it is, which way it runs and how it is drawn.
struct TCellWidth {
  int32_t LineType = 0;  ///< shape 0..4 (TLineShape)
  double LineWidth = 0;  ///< line thickness, mm
  int32_t DrawType = 0;  ///< the shape used for the unit being drawn: LineType or 0
  double Width = 0;      ///< length of the edge, mm
  int32_t StepX = 0;     ///< the edge as a displacement from start to end, device units
  int32_t StepY = 0;
  int32_t DotPitchX = 0;  ///< displacement from one dot to the next
  int32_t DotPitchY = 0;
  int32_t DotWidth = 1;  ///< size of one dot, at least 1; also a straight edge's pen width
  int32_t DotHeight = 1;
  int32_t DotCountX = 1;  ///< dots laid along x, at least 1
  int32_t DotCountY = 1;  ///< dots laid along y, at least 1
};

/// The seven edges of the cell unit plus copies of the counts. The member order is the
/// order of the records in the settings file's cell section.
struct TCell {
  TCellWidth CellOuter;   ///< cell edge away from the gap strip
  TCellWidth CellEnd;     ///< cell edge toward the next cell
  TCellWidth CellInner;   ///< edge between cell and gap strip
  TCellWidth CellStart;   ///< cell edge toward the previous cell
  TCellWidth GapEnd;      ///< gap-strip edge toward the next cell
  TCellWidth GapOuter;    ///< gap-strip edge away from the cell
  TCellWidth GapStart;    ///< gap-strip edge toward the previous cell
  bool Yokogaki = false;  ///< horizontal writing
  int32_t HalfYoko = 0;
  int32_t HalfTate = 0;
  int32_t Yoko = 0;
  int32_t Tate = 0;

  static constexpr int kEdgeCount = 7;
  /// Edge i in declaration order (0 = CellOuter ... 6 = GapStart); i must be 0..6.
  TCellWidth& Edge(int i);
  const TCellWidth& Edge(int i) const;
};

inline TCellWidth& TCell::Edge(int i) {
  TCellWidth* edges[kEdgeCount] = {&CellOuter, &CellEnd,  &CellInner, &CellStart,
                                   &GapEnd,    &GapOuter, &GapStart};
  return *edges[i];
}
inline const TCellWidth& TCell::Edge(int i) const { return const_cast<TCell*>(this)->Edge(i); }

}  // namespace zelk
