// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/KeyValueFile.h"

#include <algorithm>
#include <cstdio>

#include "settings/SettingsFileIO.h"

namespace zelk {

std::string FormatKeyValues(const TKeyValues& pairs) {
  std::string text;
  for (const auto& [key, value] : pairs) {
    text += key;
    text += '=';
    for (char c : value) text += (c == '\n' || c == '\r') ? ' ' : c;
    text += '\n';
  }
  return text;
}

TKeyValues ParseKeyValues(std::string_view text, size_t maxBytes) {
  if (text.size() > maxBytes) text = text.substr(0, maxBytes);
  TKeyValues pairs;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    pairs.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
  }
  return pairs;
}

std::optional<std::string> ReadSmallFile(const std::string& path, size_t maxBytes) {
  if (path.empty()) return std::nullopt;
  std::string error;
  std::FILE* file = OpenRegularFile(path, &error);
  if (!file) return std::nullopt;
  std::string text(maxBytes, '\0');
  const size_t got = std::fread(text.data(), 1, text.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  text.resize(got);
  return text;
}

bool WriteSmallFile(const std::string& path, const std::string& text, std::string* error) {
  return AtomicWriteFile(
      path, [&text](TByteWriter& w) { w.Write(text.data(), text.size()); }, error);
}

}  // namespace zelk
