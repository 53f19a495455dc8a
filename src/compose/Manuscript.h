// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text set into the cells of manuscript paper by the rules of 原稿用紙: one character
// per cell, paragraphs indented by one cell, punctuation and closing brackets never at
// the start of a line, opening brackets never at its end, two digits to a cell, and
// ruby in the Aozora notation. The result is a list of pages in line and cell indices;
// SheetText.h places them on a sheet.

#include <cstdint>
#include <string>
#include <vector>

namespace zelk {

/// What a cell holds, which decides how it is drawn.
enum class TCellKind {
  Normal,       ///< one character (or one with the punctuation it keeps at a line end)
  Punctuation,  ///< 、。，． alone, or with the closing bracket that shares its cell (。」)
  SmallKana,    ///< ぁ ゃ ッ …: set toward the corner of the cell
  TwoInOne,     ///< up to two digits (or lower-case letters across), set upright
  Hang,         ///< punctuation set just outside the grid beyond the line's last cell
};

/// One cell's content. `Cell` runs from 0 at the start of the line; a Hang cell has
/// the index of the line's cell count, one beyond the last.
struct TCellPlacement {
  int32_t Line = 0;
  int32_t Cell = 0;
  std::u16string Text;
  TCellKind Kind = TCellKind::Normal;
  bool operator==(const TCellPlacement& o) const {
    return Line == o.Line && Cell == o.Cell && Text == o.Text && Kind == o.Kind;
  }
};

/// Ruby over the cells FirstCell..LastCell of one line. A base that a line end splits
/// has one ruby per line, the ruby text divided in proportion. A 傍点 or 傍線 is placed
/// as ruby of its own character, its mark as the text, with `Mark` set.
struct TRubyPlacement {
  int32_t Line = 0;
  int32_t FirstCell = 0;
  int32_t LastCell = 0;
  std::u16string Text;
  bool Mark = false;
  bool operator==(const TRubyPlacement& o) const {
    return Line == o.Line && FirstCell == o.FirstCell && LastCell == o.LastCell && Text == o.Text &&
           Mark == o.Mark;
  }
};

struct TComposedPage {
  std::vector<TCellPlacement> Cells;
  std::vector<TRubyPlacement> Rubies;
};

struct TComposeOptions {
  int32_t LinesPerPage = 20;  ///< held to at least 1
  int32_t CellsPerLine = 20;  ///< held to at least 1
  bool Vertical = true;       ///< 縦書き; across, lower-case letters go two to a cell
  /// The first line is the title (from the third cell), the second the author (ending
  /// one cell before the line's end).
  bool Title = false;
  /// Punctuation that would begin a line hangs beyond the last cell, rather than share
  /// the last cell with its character.
  bool Hang = false;
  /// The cell (from 0) a 見出し starts in: the third, as the title.
  int32_t HeadingCell = 2;
  // The rules that school guides differ on.
  /// A paragraph that opens with 「 or 『 is indented like any other; by default it
  /// starts in the first cell.
  bool IndentOpeningBracket = false;
  /// ？ and ！ inside a sentence are followed by one blank cell (not before a closing
  /// bracket, and not at a line's start).
  bool SpaceAfterMarks = true;
  /// Small kana may begin a line; by default they join the line before.
  bool SmallKanaMayStart = false;
};

/// The largest text file composed, in bytes: some 1.4 million Japanese characters, about
/// 3,500 pages of 20 × 20.
inline constexpr size_t kMaxManuscriptBytes = 4u << 20;

/// The file's bytes as text: UTF-8 with or without a byte-order mark, or, when they are
/// not valid UTF-8, code page 932. Line ends (CR LF, LF, CR) all become "\n".
std::u16string DecodeManuscript(const std::string& bytes);

/// Reads the text file at `path` (opened as settings files are, so a FIFO or a device is
/// refused rather than waited on) and decodes it with DecodeManuscript. False with a
/// one-line Japanese reason in `error` when it cannot be opened or read, or is larger
/// than kMaxManuscriptBytes; `text` is then unchanged.
bool ReadManuscriptFile(const std::string& path, std::u16string* text, std::string* error);

/// Sets the text (lines separated by "\n") into pages. Always at least one page; a text
/// with nothing to set gives one empty page. `［＃改ページ］` starts a new page; other
/// `［＃…］` annotations are left out. Never throws but for memory.
std::vector<TComposedPage> ComposeManuscript(const std::u16string& text,
                                             const TComposeOptions& options);

/// How long a text is, as writing contests and school assignments count it.
struct TTextCount {
  /// The characters set into cells, as written: a shared cell (。」) or a pair of digits
  /// counts each; blanks, ruby and annotations do not count.
  int64_t Characters = 0;
  /// The 400字詰め sheets: the pages of the text set on 20 lines of 20 cells by the same
  /// rules.
  int32_t Sheets400 = 0;
};

/// The characters of `pages` (TTextCount::Characters).
int64_t CountCharacters(const std::vector<TComposedPage>& pages);
/// The count of `text` set by `options` (its grid and direction aside).
TTextCount CountManuscript(const std::u16string& text, TComposeOptions options);

}  // namespace zelk
