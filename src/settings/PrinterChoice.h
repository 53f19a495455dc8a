// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer the user chose, kept from one run to the next in a file of its own beside
// the state file ("zelk.printer"): the state file's layout is fixed by its documented
// readers, and this keeps it so.
//
// The file is UTF-8 text, one "key=value" line each, in this order:
//   printer=cups:ZelkB4      the queue ("cups:" and its name), or PDF for the virtual printer
//   paper=B4 (JIS)           the paper's name as the printer shows it
//   size=257x364             the paper's portrait size in millimetres
//   orientation=portrait     or landscape
// A reader takes what it understands and ignores the rest: unknown keys, lines without
// "=", and anything past kMaxPrinterChoiceBytes.

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

inline constexpr size_t kMaxPrinterChoiceBytes = 4096;

struct TPrinterChoice {
  std::string Printer;  ///< "cups:NAME" or "PDF"; never empty in a parsed choice
  std::string Paper;    ///< may be empty
  double WidthMm = 0;   ///< portrait; 0 when the file gave no usable size
  double HeightMm = 0;
  bool Portrait = true;
};

/// The file's text for `choice`. A name's line breaks are written as spaces.
std::string FormatPrinterChoice(const TPrinterChoice& choice);
/// The choice in `text`; nothing when it names no printer. A size that is not two
/// numbers within [1, 5000] mm is left at 0.
std::optional<TPrinterChoice> ParsePrinterChoice(std::string_view text);

/// Reads the file at `path` (a regular file only, at most kMaxPrinterChoiceBytes read);
/// nothing when it is missing, unreadable or names no printer.
std::optional<TPrinterChoice> LoadPrinterChoice(const std::string& path);
/// Writes the file atomically; false with a one-line Japanese reason in `error`.
bool SavePrinterChoice(const std::string& path, const TPrinterChoice& choice, std::string* error);

}  // namespace zelk
