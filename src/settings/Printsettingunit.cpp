// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Printsettingunit.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/Utf8.h"
#include "settings/Cp932.h"
#include "settings/FileFormat.h"

namespace zelk {
namespace {

struct TBoundEntry {
  int32_t Tag;
  const TSettingField* Field;
};

// The entry table joined with the field table once, so that one list of names serves
// the file, the command line and the JSON dump.
const std::vector<TBoundEntry>& BoundEntries() {
  static const std::vector<TBoundEntry> entries = [] {
    std::vector<TBoundEntry> list;
    for (const TSettingsEntry& e : kSettingsEntries) {
      const TSettingField* f = FindSettingField(e.Field);
      if (!f) throw std::logic_error(std::string("settings entry without a field: ") + e.Field);
      list.push_back({e.Tag, f});
    }
    return list;
  }();
  return entries;
}

const std::vector<TBoundEntry>& BoundStyleEntries() {
  static const std::vector<TBoundEntry> entries = [] {
    std::vector<TBoundEntry> list;
    for (const TSettingsEntry& e : kStyleEntries) {
      const TSettingField* f = FindSettingField(e.Field);
      if (!f || f->Kind != TFieldKind::Int)
        throw std::logic_error(std::string("style entry without an Int field: ") + e.Field);
      list.push_back({e.Tag, f});
    }
    return list;
  }();
  return entries;
}

const TBoundEntry* FindIn(const std::vector<TBoundEntry>& entries, int32_t tag) {
  for (const TBoundEntry& e : entries)
    if (e.Tag == tag) return &e;
  return nullptr;
}

const TBoundEntry* FindEntry(int32_t tag) { return FindIn(BoundEntries(), tag); }

// The style section after the end of file, entered with its marker read: Int entries
// until the end marker, another tag or the end of the stream. Gives the offset just past
// the section's last whole part.
uint64_t ReadStyleSection(TByteReader& r, TPrintSetting& s, TReadReport& rep) {
  while (true) {
    const uint64_t start = r.Position();
    const int32_t tag = ReadInt(r);
    if (r.HitEnd()) return start;
    const TBoundEntry* e = FindIn(BoundStyleEntries(), tag);
    if (!e) return tag == kEndMarker ? r.Position() : start;
    const int32_t value = ReadInt(r);
    if (r.HitEnd()) return start;
    s.*e->Field->Int = value;
    rep.TagsRead.push_back(tag);
  }
}

void WriteEntry(TByteWriter& w, const TBoundEntry& e, const TPrintSetting& s) {
  const TSettingField& f = *e.Field;
  switch (f.Kind) {
    case TFieldKind::Text:
      WriteAnsiString(w, e.Tag, s.*f.Text);
      break;
    case TFieldKind::Double:
      WriteDouble(w, e.Tag, s.*f.Double);
      break;
    case TFieldKind::Int:
      WriteInt(w, e.Tag, s.*f.Int);
      break;
    case TFieldKind::Flag:
      WriteInt(w, e.Tag, (s.*f.Flag) ? 1 : 0);
      break;
    case TFieldKind::Font:
      WriteFont(w, e.Tag, s.*f.Font);
      break;
  }
}

void ReadEntry(TByteReader& r, const TBoundEntry& e, TPrintSetting& s, TReadReport& report) {
  const TSettingField& f = *e.Field;
  bool shortened = false;
  const TTextLimit limit{kMaxFieldTextUnits, &shortened};
  switch (f.Kind) {
    case TFieldKind::Text:
      s.*f.Text = ReadAnsiString(r, limit);
      break;
    case TFieldKind::Double:
      s.*f.Double = ReadDouble(r);
      break;
    case TFieldKind::Int:
      s.*f.Int = ReadInt(r);
      break;
    case TFieldKind::Flag:
      if (f.Flag == &TPrintSetting::Tategaki)
        s.SetTategaki(ReadInt(r) != 0);
      else
        s.*f.Flag = ReadInt(r) != 0;
      break;
    case TFieldKind::Font:
      s.*f.Font = ReadFont(r, limit);
      break;
  }
  if (shortened) report.TagsShortened.push_back(e.Tag);
}

void ReadCellRecord(TByteReader& r, TCellWidth& edge) {
  while (true) {
    switch (ReadInt(r)) {
      case kCellLineType:
        edge.LineType = ReadInt(r);
        break;
      case kCellWidth:
        edge.Width = ReadDouble(r);
        break;
      case kCellLineWidth:
        edge.LineWidth = ReadDouble(r);
        break;
      default:
        return;
    }
  }
}

}  // namespace

bool TReadReport::WasRead(int32_t tag) const {
  return std::find(TagsRead.begin(), TagsRead.end(), tag) != TagsRead.end();
}

bool HasSheetStyle(const TPrintSetting& s) {
  for (const TBoundEntry& e : BoundStyleEntries())
    if (s.*e.Field->Int != 0) return true;
  return false;
}

void WriteSettingsFile(TByteWriter& w, const TPrintSetting& s) {
  for (const TBoundEntry& e : BoundEntries()) WriteEntry(w, e, s);
  WriteMarker(w, kCellSectionMarker);
  WriteCellSection(w, s.Cell);
  WriteMarker(w, kEndMarker);
  if (!HasSheetStyle(s)) return;
  WriteMarker(w, kStyleSectionMarker);
  for (const TBoundEntry& e : BoundStyleEntries()) WriteInt(w, e.Tag, s.*e.Field->Int);
  WriteMarker(w, kEndMarker);
}

void WriteCellSection(TByteWriter& w, const TCell& cell) {
  for (int i = 0; i < TCell::kEdgeCount; ++i) {
    const TCellWidth& edge = cell.Edge(i);
    WriteMarker(w, kCellRecordBase + i);
    WriteInt(w, kCellLineType, edge.LineType);
    WriteDouble(w, kCellWidth, edge.Width);
    WriteDouble(w, kCellLineWidth, edge.LineWidth);
    WriteMarker(w, kEndMarker);
  }
  WriteMarker(w, kEndMarker);
}

void ReadCellSection(TByteReader& r, TCell& cell, uint32_t* recordsRead) {
  while (true) {
    // The tag is compared before anything is subtracted from it: a tag near INT_MIN
    // would otherwise overflow.
    const int32_t tag = ReadInt(r);
    if (tag < kCellRecordBase || tag >= kCellRecordBase + TCell::kEdgeCount) return;
    const int index = tag - kCellRecordBase;
    ReadCellRecord(r, cell.Edge(index));
    if (recordsRead) *recordsRead |= 1u << index;
  }
}

void ReadSettingsFile(TByteReader& r, TPrintSetting& s, TReadReport* report) {
  TReadReport local;
  TReadReport& rep = report ? *report : local;
  rep = TReadReport();
  while (true) {
    const uint64_t start = r.Position();
    const int32_t tag = ReadInt(r);
    if (r.HitEnd()) {
      rep.Stop = r.Position() == start ? TReadStop::EndOfFile : TReadStop::CutEntry;
      rep.StopOffset = rep.ReadEnd = r.Position();
      rep.EntryOffset = start;
      return;
    }
    const TBoundEntry* entry = FindEntry(tag);
    if (entry) {
      ReadEntry(r, *entry, s, rep);
    } else if (tag == kCellSectionMarker) {
      ReadCellSection(r, s.Cell, &rep.CellRecordsRead);
    } else {
      rep.Stop = tag == kEndMarker ? TReadStop::EndMarker : TReadStop::UnknownTag;
      rep.StopOffset = start;
      rep.StopTag = tag;
      rep.ReadEnd = r.Position();
      if (tag != kEndMarker) return;
      // Whatever follows the end marker is left unread unless it is the style section.
      if (ReadInt(r) == kStyleSectionMarker && !r.HitEnd())
        rep.ReadEnd = ReadStyleSection(r, s, rep);
      return;
    }
    rep.TagsRead.push_back(tag);
    if (r.HitEnd()) {
      // The payload was cut: the field took what arrived, and the next tag would read
      // as 0 anyway.
      rep.Stop = TReadStop::CutEntry;
      rep.StopOffset = rep.ReadEnd = r.Position();
      rep.StopTag = tag;
      rep.EntryOffset = start;
      return;
    }
  }
}

int32_t SettingsFileTag(const TSettingField& field) {
  for (const auto* entries : {&BoundEntries(), &BoundStyleEntries()})
    for (const TBoundEntry& e : *entries)
      if (std::strcmp(e.Field->Name, field.Name) == 0) return e.Tag;
  return 0;
}

const char* SettingsEntryName(int32_t tag) {
  if (tag == kCellSectionMarker) return "cell section";
  if (tag == kStyleSectionMarker) return "style section";
  const TBoundEntry* e = FindEntry(tag);
  if (!e) e = FindIn(BoundStyleEntries(), tag);
  return e ? e->Field->Name : nullptr;
}

std::vector<std::string> Cp932SubstitutionNotes(const TPrintSetting& s) {
  std::vector<std::string> notes;
  auto check = [&notes](const std::string& what, const std::u16string& text) {
    for (const TCp932Substitution& c : Cp932Substitutions(text))
      notes.push_back(what + " の「" + ToUtf8(c.Original) + "」は「" + ToUtf8(c.Stored) +
                      "」として保存されました");
  };
  for (const TSettingField& f : SettingFields()) {
    if (f.Kind == TFieldKind::Text) check(f.Name, s.*f.Text);
    if (f.Kind == TFieldKind::Font) check(std::string(f.Name) + " の書体名", (s.*f.Font).Name());
  }
  return notes;
}

}  // namespace zelk
