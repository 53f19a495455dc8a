// SPDX-License-Identifier: GPL-3.0-or-later
// `zelk show FILE.zelk`: the fields a settings file holds, as one JSON object.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "settings/FileFormat.h"
#include "settings/NumberText.h"
#include "settings/SettingFields.h"

namespace zelk {
namespace {

const char* const kEdgeNames[TCell::kEdgeCount] = {
    "CellOuter", "CellEnd", "CellInner", "CellStart", "GapEnd", "GapOuter", "GapStart"};

std::string JsonString(const std::u16string& text) {
  std::string out = "\"";
  for (unsigned char c : ToUtf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The shortest text that reads back as the same double. JSON has no NaN or infinity,
// and a damaged file may hold them, so those become strings.
std::string JsonNumber(double v) {
  if (std::isnan(v)) return "\"NaN\"";
  if (std::isinf(v)) return v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, result.ptr);
}

std::string JsonBool(bool b) { return b ? "true" : "false"; }

std::string JsonFont(const TFont& f) {
  const TFontStyles& st = f.Style();
  return "{\"Charset\": " + std::to_string(f.Charset()) +
         ", \"Color\": " + std::to_string(f.Color()) +
         ", \"Height\": " + std::to_string(f.Height()) + ", \"Name\": " + JsonString(f.Name()) +
         ", \"Pitch\": " + std::to_string(f.Pitch()) +
         ", \"PixelsPerInch\": " + std::to_string(f.PixelsPerInch()) +
         ", \"Size\": " + std::to_string(f.Size()) + ", \"Bold\": " + JsonBool(st.Bold) +
         ", \"Italic\": " + JsonBool(st.Italic) + ", \"Underline\": " + JsonBool(st.Underline) +
         ", \"StrikeOut\": " + JsonBool(st.StrikeOut) + "}";
}

std::string JsonValue(const TSettingField& f, const TPrintSetting& s) {
  switch (f.Kind) {
    case TFieldKind::Text:
      return JsonString(s.*f.Text);
    case TFieldKind::Double:
      return JsonNumber(s.*f.Double);
    case TFieldKind::Int:
      return std::to_string(s.*f.Int);
    case TFieldKind::Flag:
      return JsonBool(s.*f.Flag);
    case TFieldKind::Font:
      return JsonFont(s.*f.Font);
  }
  return "null";
}

std::string JsonCell(const TCell& cell, uint32_t recordsRead) {
  std::string out = "{";
  bool first = true;
  for (int i = 0; i < TCell::kEdgeCount; ++i) {
    if (!(recordsRead & (1u << i))) continue;
    const TCellWidth& e = cell.Edge(i);
    out += first ? "\n" : ",\n";
    first = false;
    out +=
        std::string("    \"") + kEdgeNames[i] + "\": {\"LineType\": " + std::to_string(e.LineType) +
        ", \"Width\": " + JsonNumber(e.Width) + ", \"LineWidth\": " + JsonNumber(e.LineWidth) + "}";
  }
  return out + (first ? "}" : "\n  }");
}

// Whether the file held the field; `Yokogaki` comes with `Tategaki`.
bool FieldWasRead(const TSettingField& f, const TReadReport& report) {
  const int32_t tag = SettingsFileTag(f);
  if (tag != 0) return report.WasRead(tag);
  return report.WasRead(SettingsFileTag(*FindSettingField("Tategaki")));
}

void AddOptions(QCommandLineParser& parser) {
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A .zelk settings file."));
}

int Run(QCommandLineParser& parser) {
  const QStringList args = parser.positionalArguments();
  if (args.isEmpty()) throw TUsageError{QStringLiteral("show needs a settings file")};
  if (args.size() > 1) throw TUsageError{QStringLiteral("unexpected argument '%1'").arg(args[1])};
  TPrintSetting s;
  TReadReport report;
  LoadSettingsFileForCommand(args[0], s, &report);
  std::string out = "{";
  bool first = true;
  auto add = [&](const std::string& name, const std::string& value) {
    out += first ? "\n  \"" : ",\n  \"";
    first = false;
    out += name + "\": " + value;
  };
  // In the record's declaration order: the cell records come first.
  if (report.WasRead(kCellSectionMarker)) add("Cell", JsonCell(s.Cell, report.CellRecordsRead));
  for (const TSettingField& f : SettingFields())
    if (FieldWasRead(f, report)) add(f.Name, JsonValue(f, s));
  out += first ? "}\n" : "\n}\n";
  std::fputs(out.c_str(), stdout);
  return kExitOk;
}

}  // namespace

extern const TSubcommand kShowCommand = {
    "show", "Print the fields a settings file holds as one JSON object.", AddOptions, Run};

}  // namespace zelk
