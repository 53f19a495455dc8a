// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small text files the program keeps beside its state file ("zelk.printer",
// "zelk.text"): UTF-8, one "key=value" line each. A reader takes what it understands and
// ignores the rest: unknown keys, lines without "=", and anything past its size limit.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelk {

using TKeyValues = std::vector<std::pair<std::string, std::string>>;

/// The file's text: "key=value\n" for each pair in order. A line break inside a value
/// is written as a space, so that no value can add a line of its own.
std::string FormatKeyValues(const TKeyValues& pairs);
/// The pairs of the lines of `text` up to its first `maxBytes` bytes, in order. A key
/// given twice is there twice; a line without "=" is left out; a "\r" before a line's
/// end is dropped.
TKeyValues ParseKeyValues(std::string_view text, size_t maxBytes);

/// At most `maxBytes` of the regular file at `path`; nothing when it is missing, cannot
/// be read, or is no regular file (a FIFO is refused, not waited on).
std::optional<std::string> ReadSmallFile(const std::string& path, size_t maxBytes);
/// Writes `text` into `path` atomically (AtomicWriteFile); false with a one-line
/// Japanese reason in `error`.
bool WriteSmallFile(const std::string& path, const std::string& text, std::string* error);

/// "yes"/"no" as these files write a flag; a reader takes "yes" and "1" for true.
inline const char* FlagText(bool on) { return on ? "yes" : "no"; }
inline bool ParseFlag(std::string_view text) { return text == "yes" || text == "1"; }

}  // namespace zelk
