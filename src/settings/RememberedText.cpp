// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RememberedText.h"

#include <charconv>

#include "settings/KeyValueFile.h"

namespace zelk {

std::string FormatRememberedText(const TRememberedText& text) {
  TKeyValues pairs;
  // A name that a line break would cut is not kept at all rather than kept wrong.
  if (!text.Path.empty() && text.Path.find_first_of("\r\n") == std::string::npos)
    pairs.emplace_back("text", text.Path);
  pairs.emplace_back("title", FlagText(text.Title));
  pairs.emplace_back("hang", FlagText(text.Hang));
  pairs.emplace_back("page", std::to_string(text.Page + 1));
  pairs.emplace_back("indent-brackets", FlagText(text.IndentOpeningBracket));
  pairs.emplace_back("space-after-marks", FlagText(text.SpaceAfterMarks));
  pairs.emplace_back("small-kana-start", FlagText(text.SmallKanaMayStart));
  return FormatKeyValues(pairs);
}

TRememberedText ParseRememberedText(std::string_view text) {
  TRememberedText r;
  for (const auto& [key, value] : ParseKeyValues(text, kMaxRememberedTextBytes)) {
    if (key == "text") {
      r.Path = value.size() > 1 && value[0] == '/' ? value : std::string();
    } else if (key == "title") {
      r.Title = ParseFlag(value);
    } else if (key == "hang") {
      r.Hang = ParseFlag(value);
    } else if (key == "indent-brackets") {
      r.IndentOpeningBracket = ParseFlag(value);
    } else if (key == "space-after-marks") {
      r.SpaceAfterMarks = ParseFlag(value);
    } else if (key == "small-kana-start") {
      r.SmallKanaMayStart = ParseFlag(value);
    } else if (key == "page") {
      int page = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), page);
      const bool whole = ec == std::errc() && end == value.data() + value.size();
      r.Page = whole && page >= 1 && page <= kMaxRememberedPage ? page - 1 : 0;
    }
  }
  return r;
}

std::optional<TRememberedText> LoadRememberedText(const std::string& path) {
  const std::optional<std::string> text = ReadSmallFile(path, kMaxRememberedTextBytes);
  if (!text) return std::nullopt;
  return ParseRememberedText(*text);
}

bool SaveRememberedText(const std::string& path, const TRememberedText& text, std::string* error) {
  return WriteSmallFile(path, FormatRememberedText(text), error);
}

}  // namespace zelk
