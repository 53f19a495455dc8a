// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text set into the sheet, kept from one run to the next in a file of its own beside
// the state file ("zelk.text"; the format of KeyValueFile.h), in this order:
//   text=/home/user/novel.txt   the text file, as the file system names it; no line when
//                               no text is set (or its name holds a line break)
//   title=yes                   the first line is the title (yes or no)
//   hang=no                     punctuation hangs beyond the last cell (yes or no)
//   page=3                      the page shown, from 1
//   indent-brackets=no          the school rules of TComposeOptions (yes or no); a file
//   space-after-marks=yes       without them reads as their defaults
//   small-kana-start=no
// The two choices are kept with no text set too: they preset the next text's dialog.

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

inline constexpr size_t kMaxRememberedTextBytes = 8192;
/// Pages beyond this are read as the first: no text this program can set has as many.
inline constexpr int kMaxRememberedPage = 1000000;

struct TRememberedText {
  std::string Path;  ///< empty: no text was set
  bool Title = false;
  bool Hang = false;
  int Page = 0;  ///< from 0
  bool IndentOpeningBracket = false;
  bool SpaceAfterMarks = true;
  bool SmallKanaMayStart = false;
};

std::string FormatRememberedText(const TRememberedText& text);
/// What `text` holds; missing or unreadable fields keep their defaults, and a path that
/// is not absolute is left out.
TRememberedText ParseRememberedText(std::string_view text);

/// Reads the file at `path` (a regular file only); nothing when there is none.
std::optional<TRememberedText> LoadRememberedText(const std::string& path);
/// Writes the file atomically; false with a one-line Japanese reason in `error`.
bool SaveRememberedText(const std::string& path, const TRememberedText& text, std::string* error);

}  // namespace zelk
