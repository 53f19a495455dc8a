// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte layout and tags of zelk's two binary files: the settings file (".zelk") and the
// application state file (".dat"). Both are flat streams of tagged entries; the layout
// is fixed to the byte, because files travel between machines and program versions.
//
// Common encoding
// ---------------
//   int32   : 4 bytes, two's complement, little-endian. Every tag is an int32.
//   double  : 8 bytes, IEEE 754 binary64, little-endian.
//   No header, no magic, no version, no alignment, no gaps, no length of the whole file.
//
//   entry       := tag:int32 payload
//   Int         := tag value:int32                      (a flag is an Int of 0 or 1;
//                                                         any non-zero value reads true)
//   Double      := tag value:double
//   Rect        := tag left:int32 top:int32 right:int32 bottom:int32
//   WideString  := tag n:int32 unit[n]                  (UTF-16LE code units, no NUL)
//   AnsiString  := tag n:int32 byte[n]                  (code page 932 bytes, no NUL)
//   Font        := tag font-entry* 0                    (sub-entries below)
//   Marker      := tag                                  (no payload)
//   end marker  := 0                                    (closes the current record)
//
//   A text count n is accepted in 1..kMaxTextCount; n <= 0 is the empty text and
//   nothing follows it; n > kMaxTextCount is the empty text too, and the n units after
//   it are NOT skipped. A NUL unit inside the data cuts the text there. A stream that
//   ends early reads as zeros: an int32 or tag of 0, a double of 0.0, a text of the
//   units that did arrive.
//
// Font record
// -----------
//   33 charset:int32   34 colour:int32   35 height:int32   36 n:int32 face:byte[n]
//   37 pitch:int32     38 ppi:int32      39 size:int32
//   40 bold  41 italic  42 underline  43 strike-out         (bare sub-tags, only when set)
//   0  end of the font
//   Written in exactly this order; a reader takes any order and ends the font at any
//   other sub-tag, leaving the bytes after that sub-tag to the enclosing loop.
//
// Settings file
// -------------
//   entries in kSettingsEntries order, then
//   0x10001 (cell section) { (33 + i) 17 LineType:int32 18 Width:double
//                            19 LineWidth:double 0 } for i = 0..6, 0
//   0                                            (end of file)
//   so a complete file ends with three int32 zeros. A default file begins with
//   00 01 01 00 | 08 00 00 00 | 88 F3 8D FC 90 DD 92 E8   (SettingName "印刷設定").
//
//   After the end of file, only when one of its values is not the default (black lines,
//   no count marks), the style section, which readers that stop at the end marker never
//   see:
//   0x20000 { 0x20001 LineColor:int32  0x20002 FrameColor:int32  0x20003 FoldColor:int32
//             0x20004 CountMarks:int32  0x20005 CountLines:int32 } 0
//   Each an Int, written in this order; a reader takes any order and ends the section at
//   the end marker, any other tag or the end of the stream. A design with the default
//   values is written byte for byte without it.
//
// Application state file
// ----------------------
//   1 left:Int  2 top:Int  3 tab:Int  4 settings-path:WideString  0x106 preview:Int
//   [0x105 { 0x30001 bounds:Rect 0x30002 zoom:Int 0x30003 vscroll:Int
//            0x30004 hscroll:Int 0x30008 window-state:Int 0 }]
//   0

#include <cstdint>

namespace zelk {

constexpr int32_t kEndMarker = 0;

/// The largest text count a reader accepts: 100 MiB worth of units.
constexpr int32_t kMaxTextCount = 100 * 1024 * 1024;

// Font sub-tags.
constexpr int32_t kFontCharset = 33;
constexpr int32_t kFontColor = 34;
constexpr int32_t kFontHeight = 35;
constexpr int32_t kFontName = 36;
constexpr int32_t kFontPitch = 37;
constexpr int32_t kFontPixelsPerInch = 38;
constexpr int32_t kFontSize = 39;
constexpr int32_t kFontBold = 40;
constexpr int32_t kFontItalic = 41;
constexpr int32_t kFontUnderline = 42;
constexpr int32_t kFontStrikeOut = 43;

// Settings file: the marker that opens the cell section, and the tags inside it.
constexpr int32_t kCellSectionMarker = 0x10001;
constexpr int32_t kCellRecordBase = 33;  ///< record i (0..6) is selected by 33 + i
constexpr int32_t kCellLineType = 17;
constexpr int32_t kCellWidth = 18;
constexpr int32_t kCellLineWidth = 19;

// Settings file: the style section after the end of file, and its entries.
constexpr int32_t kStyleSectionMarker = 0x20000;

/// One settings-file entry: its tag and the TPrintSetting field it stores (the name in
/// SettingFields()). The kind follows from the field: texts are AnsiStrings, flags Ints.
struct TSettingsEntry {
  int32_t Tag;
  const char* Field;
};

/// The settings file's field entries in the order they are written; the cell section
/// marker and the end marker follow them.
constexpr TSettingsEntry kSettingsEntries[] = {
    {0x10100, "SettingName"},
    {0x10101, "PaperName"},
    {0x10211, "CenterCaption"},
    {0x10221, "BottomCaption"},
    {0x10231, "Caption3"},
    {0x10241, "Caption4"},
    {0x10212, "CenterCaptionFont"},
    {0x10222, "BottomCaptionFont"},
    {0x10232, "Caption3Font"},
    {0x10242, "Caption4Font"},
    {0x10301, "PaperWidth"},
    {0x10302, "PaperHeight"},
    {0x10303, "YohakuU"},
    {0x10304, "YohakuL"},
    {0x10305, "YohakuB"},
    {0x10306, "YohakuR"},
    {0x10307, "LineWidth"},
    {0x10503, "OrimeWidth"},
    {0x10308, "OuterLineWidth"},
    {0x10309, "OuterLine"},
    {0x10401, "Portrait"},
    {0x10403, "Tate"},
    {0x10404, "Yoko"},
    {0x10405, "LineType"},
    {0x10406, "Gyobi"},
    {0x10501, "Orime"},
    {0x10502, "OrimeLineType"},
    {0x10407, "Tategaki"},
    {0x10601, "PageNumber"},
    {0x10602, "PN_UL"},
    {0x10603, "PN_UC"},
    {0x10604, "PN_UR"},
    {0x10605, "PN_LU"},
    {0x10606, "PN_LD"},
    {0x10607, "PN_RU"},
    {0x10608, "PN_RD"},
    {0x10609, "PN_BL"},
    {0x1060a, "PN_BR"},
    {0x1060b, "PageNumberSpace"},
    {0x1060c, "PageNumberWidth"},
    {0x1060d, "PageNumberTitle"},
    {0x1060e, "PageNumberTitleFont"},
    {0x10701, "TitleUL"},
    {0x10801, "TitleULFont"},
    {0x10702, "TitleUR"},
    {0x10802, "TitleURFont"},
    {0x10703, "TitleLU"},
    {0x10803, "TitleLUFont"},
    {0x10704, "TitleLD"},
    {0x10804, "TitleLDFont"},
    {0x10705, "TitleBL"},
    {0x10805, "TitleBLFont"},
    {0x10706, "TitleBR"},
    {0x10806, "TitleBRFont"},
    {0x10707, "TitleRD"},
    {0x10807, "TitleRDFont"},
    {0x10708, "TitleRU"},
    {0x10808, "TitleRUFont"},
    {0x10901, "OutsideTextSpace"},
};

/// The style section's entries, Ints all, in the order they are written.
constexpr TSettingsEntry kStyleEntries[] = {
    {0x20001, "LineColor"},  {0x20002, "FrameColor"}, {0x20003, "FoldColor"},
    {0x20004, "CountMarks"}, {0x20005, "CountLines"},
};

// Application state file.
constexpr int32_t kStateLeft = 1;
constexpr int32_t kStateTop = 2;
constexpr int32_t kStateActiveTab = 3;
constexpr int32_t kStateSettingFileName = 4;
constexpr int32_t kStatePreviewSection = 0x105;
constexpr int32_t kStateShowPreview = 0x106;
constexpr int32_t kPreviewBounds = 0x30001;
constexpr int32_t kPreviewZoom = 0x30002;
constexpr int32_t kPreviewScrollV = 0x30003;
constexpr int32_t kPreviewScrollH = 0x30004;
constexpr int32_t kPreviewWindowState = 0x30008;

}  // namespace zelk
