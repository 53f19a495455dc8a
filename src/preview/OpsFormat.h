// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recorded pages as text: the canonical op format, version 1. Tests inside and outside
// the project compare it byte for byte, so every detail is fixed.
//
//   zelk-ops 1
//   page INDEX frame W H size HORZRES VERTRES
//   line X1 Y1 X2 Y2 pen W STYLE #RRGGBB
//   rect L T R B pen W STYLE #RRGGBB brush BSTYLE #RRGGBB
//   fillrect L T R B brush BSTYLE #RRGGBB
//   ellipse L T R B pen W STYLE #RRGGBB brush BSTYLE #RRGGBB
//   polygon N X1 Y1 ... XN YN pen W STYLE #RRGGBB brush BSTYLE #RRGGBB
//   text X Y "TEXT" font "FACE" POINTS ORIENTATION FLAGS #RRGGBB
//
// INDEX counts from 1; W and H are 0.01 mm; every other number is a decimal integer in
// device units. STYLE is solid or dot, BSTYLE solid or clear, FLAGS any of "bius" run
// together or "-". TEXT and FACE are UTF-8 with backslash and double quote escaped by a
// backslash; FACE is the face name as the drawing set it, "@" included. Control
// characters, which would break the one-op-per-line layout, are written as \n, \r, \t
// or \xHH. Each line ends with a single "\n".

#include <iosfwd>
#include <string>
#include <vector>

#include "preview/Metafile.h"

namespace zelk {

class TPrintPreview;

/// The colour as #RRGGBB with upper-case hex digits. For an RGB TColor red is the low
/// byte. A system-colour reference (top byte 0xFF) prints as #000000: the only one the
/// program uses is the window-text colour, black.
std::string FormatOpsColor(TColor color);

/// One page: its "page" line and one line per op, in recording order. `index` is the
/// 1-based page number printed.
void WriteOpsPage(std::ostream& out, const TMetafileEx& page, int index);

/// The whole document: "zelk-ops 1", then every page in order.
void WriteOps(std::ostream& out, const std::vector<const TMetafileEx*>& pages);

/// Every page of the recorder's last recording; the recorder must be idle (GetPage
/// throws EPrintPreviewError otherwise).
void WriteOps(std::ostream& out, const TPrintPreview& preview);

/// WriteOps into a string.
std::string OpsText(const TPrintPreview& preview);

}  // namespace zelk
