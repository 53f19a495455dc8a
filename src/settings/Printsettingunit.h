// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file: one TPrintSetting as a flat sequence of tagged entries (layout in
// FileFormat.h), written in one fixed order and read back in any order.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/Fileiounit.h"
#include "settings/PrintSetting.h"
#include "settings/SettingFields.h"

namespace zelk {

/// Why ReadSettingsFile stopped.
enum class TReadStop {
  EndMarker,   ///< the end marker 0 was read in full: a complete file
  UnknownTag,  ///< a tag the settings file does not have; the rest was not read
  EndOfFile,   ///< the stream ended between two entries, before any end marker
  CutEntry,    ///< the stream ended inside an entry (inside its tag when CutTag is 0)
};

/// Where and why reading stopped, and what was read: for telling a user about a
/// damaged file. Reading itself never reports.
/// The longest text a field keeps: what the window's text fields hold (32767 UTF-16
/// units). Reading shortens a longer text, so that neither memory nor drawing grows
/// with a count a file claims.
inline constexpr size_t kMaxFieldTextUnits = 32767;

struct TReadReport {
  TReadStop Stop = TReadStop::EndMarker;
  /// Byte offset of the tag that ended reading, or of the end of the stream.
  uint64_t StopOffset = 0;
  /// The tag that ended reading (UnknownTag), or the entry that was cut (CutEntry).
  int32_t StopTag = 0;
  /// Byte offset where the cut entry began (CutEntry).
  uint64_t EntryOffset = 0;
  /// Tags of the entries read, in file order, those of the style section after the end
  /// of file included; an entry cut by the end of the stream is included, as its field
  /// was set (to 0 for numbers).
  std::vector<int32_t> TagsRead;
  /// The offset just past what was read as the file: the end marker, or the style
  /// section when one follows it (the bytes from here on were not read).
  uint64_t ReadEnd = 0;
  /// Bit i set when cell record i was read.
  uint32_t CellRecordsRead = 0;
  /// Tags of the text and font entries whose text was longer than kMaxFieldTextUnits
  /// and was shortened to it, in file order.
  std::vector<int32_t> TagsShortened;

  /// True when the entry of `tag` was read at least once.
  bool WasRead(int32_t tag) const;
};

/// Writes the field entries in their fixed order, the cell section and the end marker,
/// then the style section when `s` has colours or count marks (HasSheetStyle). Reports
/// nothing: the writer remembers a failed write (TByteWriter::Failed).
void WriteSettingsFile(TByteWriter& w, const TPrintSetting& s);

/// Whether `s` has a colour other than black or count marks: what the style section
/// after the end of file stores.
bool HasSheetStyle(const TPrintSetting& s);

/// Reads entries into `s` until a tag it does not handle, the end marker or the end of
/// the stream, and after the end marker the style section when one follows. `s` is not cleared
/// first: a field without an entry keeps its value, an entry met twice leaves its last value.
/// `Tategaki` also sets `Yokogaki` to its opposite; a flag of any non-zero value is true. A text or
/// face name longer than kMaxFieldTextUnits keeps its first units (TagsShortened lists it). Never
/// fails; `report`, when given, says where and why reading stopped.
void ReadSettingsFile(TByteReader& r, TPrintSetting& s, TReadReport* report = nullptr);

/// The cell section after its marker 0x10001: the seven records, then the end marker.
void WriteCellSection(TByteWriter& w, const TCell& cell);

/// Reads cell records (entered after the main loop read the marker 0x10001) until a tag
/// other than 33 to 39, the end marker included. `recordsRead`, when given, gets bit i
/// set for each record i read.
void ReadCellSection(TByteReader& r, TCell& cell, uint32_t* recordsRead = nullptr);

/// The settings-file tag of a field of SettingFields(), or 0 for a field without an
/// entry of its own (`Yokogaki`, which follows `Tategaki`).
int32_t SettingsFileTag(const TSettingField& field);

/// The field name of a settings-file tag ("cell section" for the marker 0x10001), or
/// null for a tag the file does not have.
const char* SettingsEntryName(int32_t tag);

/// One line (UTF-8) for each character of a text field or a font's face name that code
/// page 932 does not keep, naming the field, the character and what the file holds in
/// its place: "TitleUL の「😀」は「?」として保存されました". Empty when the file keeps
/// every text as it is.
std::vector<std::string> Cp932SubstitutionNotes(const TPrintSetting& s);

}  // namespace zelk
