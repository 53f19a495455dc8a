// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes composed as a text: the first two bytes choose the sheet (cells to a
// line and lines to a page, 1 to 40 each, direction, title and hang), the rest is the
// text file. Besides not crashing, leaking or hanging, every cell must lie on the sheet:
// a line of the page, a cell of the line (a hanging one just beyond it), and every ruby
// over cells of one line.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compose/Manuscript.h"

namespace {

using namespace zelk;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "compose_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  TComposeOptions o;
  o.CellsPerLine = data[0] % 40 + 1;
  o.LinesPerPage = data[1] % 40 + 1;
  o.Vertical = (data[0] & 0x80) == 0;
  o.Title = (data[1] & 0x40) != 0;
  o.Hang = (data[1] & 0x80) != 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::vector<TComposedPage> pages = ComposeManuscript(DecodeManuscript(bytes), o);
  Check(!pages.empty(), "no page");
  for (const TComposedPage& page : pages) {
    for (const TCellPlacement& c : page.Cells) {
      Check(c.Line >= 0 && c.Line < o.LinesPerPage, "a cell on no line of the page");
      Check(!c.Text.empty(), "an empty cell placed");
      if (c.Kind == TCellKind::Hang)
        Check(o.Hang && c.Cell == o.CellsPerLine, "a hanging cell not beyond the line");
      else
        Check(c.Cell >= 0 && c.Cell < o.CellsPerLine, "a cell beyond the line");
    }
    for (const TRubyPlacement& r : page.Rubies) {
      Check(r.Line >= 0 && r.Line < o.LinesPerPage, "a ruby on no line of the page");
      Check(r.FirstCell >= 0 && r.FirstCell <= r.LastCell && r.LastCell < o.CellsPerLine,
            "a ruby over no cells of its line");
      Check(!r.Text.empty(), "an empty ruby");
    }
  }
  return 0;
}
