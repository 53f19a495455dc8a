// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points and rectangles in printer device units.

#include <cstdint>

namespace zelk {

struct TDevicePoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TDevicePoint& o) const { return X == o.X && Y == o.Y; }
};

struct TDeviceRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TDeviceRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

}  // namespace zelk
