// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/Manuscript.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "base/Utf8.h"
#include "settings/Cp932.h"
#include "settings/SettingsFileIO.h"

namespace zelk {
namespace {

// --- Characters ------------------------------------------------------------------------

bool In(char32_t c, std::u32string_view set) { return set.find(c) != std::u32string_view::npos; }

constexpr std::u32string_view kSmallKana =
    U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ";
constexpr std::u32string_view kPunctuation = U"、。，．";
constexpr std::u32string_view kClosing = U"」』）］】〉》〕｝〙〗’”";
constexpr std::u32string_view kOpening = U"「『（［【〈《〔｛〘〖‘“";
// Besides punctuation, closing brackets and small kana, these never begin a line.
constexpr std::u32string_view kOtherNoStart = U"ー！？・々ゝゞヽヾ";
// A pair of these is one mark two cells long, which a line end does not split.
constexpr std::u32string_view kTwoCellMarks = U"…‥―—─";

bool IsBlank(char32_t c) { return c == U'\u3000' || c == U' ' || c == U'\t'; }
bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool IsWideDigit(char32_t c) { return c >= U'０' && c <= U'９'; }
bool IsDigit(char32_t c) { return IsAsciiDigit(c) || IsWideDigit(c); }
bool IsLowerLatin(char32_t c) { return c >= U'a' && c <= U'z'; }

enum class TClass { Kanji, Hiragana, Katakana, Latin, Digit, Other };

// The class that an unmarked ruby base runs over: 漢字《かんじ》 takes the kanji before it,
// ８《エイト》 the digits, γ《ガンマ》 the letters.
TClass ClassOf(char32_t c) {
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || In(c, U"々〆〇ヶ"))
    return TClass::Kanji;
  if (c >= 0x3041 && c <= 0x309F) return TClass::Hiragana;
  if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF)) return TClass::Katakana;
  if (IsDigit(c)) return TClass::Digit;
  if ((c < 0x80 && std::isalpha(static_cast<int>(c))) || (c >= U'Ａ' && c <= U'Ｚ') ||
      (c >= U'ａ' && c <= U'ｚ') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) ||
      (c >= 0x370 && c <= 0x3FF) || (c >= 0x400 && c <= 0x4FF))
    return TClass::Latin;
  return TClass::Other;
}

// --- 外字: ※ and its note ---------------------------------------------------------------

// The character of JIS X 0213 plane-row-cell, through glibc's EUC-JIS X 0213; 0 for a
// cell that is empty, or that stands for more than one character.
char32_t FromJisX0213(int plane, int row, int cell) {
  if (plane < 1 || plane > 2 || row < 1 || row > 94 || cell < 1 || cell > 94) return 0;
  static const iconv_t cd = iconv_open("UTF-32LE", "EUC-JISX0213");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[3];
  size_t inLeft = 0;
  if (plane == 2) in[inLeft++] = static_cast<char>(0x8F);
  in[inLeft++] = static_cast<char>(0xA0 + row);
  in[inLeft++] = static_cast<char>(0xA0 + cell);
  char32_t out[4] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
    return 0;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);  // a pending combining sequence
  return sizeof out - outLeft == sizeof(char32_t) ? out[0] : 0;
}

// Reads the number at `note[*i]` (ASCII or full-width digits); -1 when there is none.
int ReadNumber(std::u32string_view note, size_t* i, int base = 10) {
  int value = -1;
  for (; *i < note.size(); ++*i) {
    char32_t c = note[*i];
    if (IsWideDigit(c)) c = c - U'０' + U'0';
    int digit = -1;
    if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
    if (base == 16 && c >= U'A' && c <= U'F') digit = static_cast<int>(c - U'A' + 10);
    if (base == 16 && c >= U'a' && c <= U'f') digit = static_cast<int>(c - U'a' + 10);
    if (digit < 0 || value > 0x10FFFF) break;
    value = (value < 0 ? 0 : value * base) + digit;
  }
  return value;
}

// The character a 外字 note names exactly: "第3水準1-87-71" (JIS X 0213 plane, row,
// cell) or "U+25E5C" (a code point); 0 when it names none, as a note that only
// describes the character's parts does.
char32_t GaijiOfNote(std::u32string_view note) {
  const size_t level = note.find(U"水準");
  if (level != std::u32string_view::npos) {
    size_t i = level + 2;
    const int plane = ReadNumber(note, &i);
    if (i < note.size() && note[i] == U'-') ++i;
    const int row = ReadNumber(note, &i);
    if (i < note.size() && note[i] == U'-') ++i;
    const int cell = ReadNumber(note, &i);
    if (const char32_t c = FromJisX0213(plane, row, cell)) return c;
  }
  for (const std::u32string_view prefix : {U"U+", U"u+", U"Ｕ＋"}) {
    const size_t at = note.find(prefix);
    if (at == std::u32string_view::npos) continue;
    size_t i = at + prefix.size();
    const int code = ReadNumber(note, &i, 16);
    const bool scalar = code >= 0x20 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (scalar) return static_cast<char32_t>(code);
  }
  return 0;
}

std::u16string ToUtf16(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  c -= 0x10000;
  return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

std::u32string ToUtf32(const std::u16string& s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    out += c;
  }
  return out;
}

// --- A line of the text as characters with ruby and page breaks -----------------------

constexpr char32_t kPageBreak = 0xFFFFFFFF;

struct TChar {
  char32_t Code = 0;
  int32_t Ruby = -1;      ///< index into the ruby texts, -1 for none
  bool Gaiji = false;     ///< a 外字 (※ with its note): a kanji of its run
  char32_t Mark = 0;      ///< a 傍点 or 傍線 beside it, as the mark's character; 0 for none
  int32_t MarkRuby = -1;  ///< the ruby index of that mark, -1 for none
};

// A ruby's text, or a 傍点's or 傍線's mark.
struct TRubyText {
  std::u16string Text;
  bool Mark = false;
};

// The mark a 傍点 or 傍線 note names ("傍点", "白ゴマ傍点", "傍線", …), as the character set
// beside each of its characters; 0 for a note that names none. A line's character lies
// turned in vertical writing, so it runs down the strip there and along it across.
char32_t EmphasisMark(std::u32string_view kind, bool vertical) {
  struct TKind {
    std::u32string_view Name;
    char32_t Down, Across;
  };
  static constexpr TKind kKinds[] = {
      {U"傍点", U'﹅', U'﹅'},     {U"白ゴマ傍点", U'﹆', U'﹆'}, {U"丸傍点", U'●', U'●'},
      {U"白丸傍点", U'○', U'○'},   {U"黒三角傍点", U'▲', U'▲'},   {U"白三角傍点", U'△', U'△'},
      {U"二重丸傍点", U'◎', U'◎'}, {U"蛇の目傍点", U'◉', U'◉'},   {U"ばつ傍点", U'×', U'×'},
      {U"傍線", U'─', U'─'},       {U"二重傍線", U'═', U'═'},     {U"鎖線", U'┄', U'┄'},
      {U"破線", U'┄', U'┄'},       {U"点線", U'┈', U'┈'},         {U"波線", U'〜', U'〜'},
  };
  for (const TKind& k : kKinds)
    if (kind == k.Name) return vertical ? k.Down : k.Across;
  return 0;
}

TClass ClassOf(const TChar& c) { return c.Gaiji ? TClass::Kanji : ClassOf(c.Code); }

constexpr std::u32string_view kAnnotationOpen = U"［＃";
constexpr std::u32string_view kPageBreakNote = U"改ページ";

// The characters of one line of the text: ruby notation resolved into ruby indices,
// `［＃改ページ］` (and 改丁, 改見開き, 改段: a sheet has no spreads or columns) as
// kPageBreak, a 外字 note read into the ※ before it, every other annotation left out. A notation
// that is not closed on its line is plain text.
std::vector<TChar> ParseLine(const std::u32string& line, std::vector<TRubyText>& rubies,
                             bool vertical) {
  std::vector<TChar> out;
  char32_t marking = 0;  // the mark of an open ［＃傍点］ … ［＃傍点終わり］
  size_t explicitBase = std::u32string::npos;  // where a ｜ marked the base's start
  size_t segmentStart = 0;                     // the first character after a page break
  auto emitBar = [&] {
    if (explicitBase == std::u32string::npos) return;
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(explicitBase), TChar{U'｜'});
    explicitBase = std::u32string::npos;
  };
  // The next closing mark at or after i, each line searched at most once per mark
  // however many opening marks go unclosed.
  struct TNext {
    char32_t Mark;
    size_t At = 0;
    bool Searched = false;
  };
  TNext annotationEnd{U'］'}, rubyEnd{U'》'};
  auto next = [&line](TNext& n, size_t i) {
    if (!n.Searched || (n.At != std::u32string::npos && n.At < i)) {
      n.At = line.find(n.Mark, i);
      n.Searched = true;
    }
    return n.At;
  };
  for (size_t i = 0; i < line.size(); ++i) {
    const char32_t c = line[i];
    if (line.compare(i, kAnnotationOpen.size(), kAnnotationOpen.data(), kAnnotationOpen.size()) ==
        0) {
      const size_t close = next(annotationEnd, i);
      if (close != std::u32string::npos) {
        const std::u32string_view note(line.data() + i + 2, close - i - 2);
        if (note == kPageBreakNote || note == U"改丁" || note == U"改見開き" || note == U"改段") {
          emitBar();
          out.push_back({kPageBreak});
          segmentStart = out.size();
        } else if (const char32_t mark = EmphasisMark(note, vertical)) {
          marking = mark;
        } else if (note.size() > 3 && note.substr(note.size() - 3) == U"終わり" &&
                   EmphasisMark(note.substr(0, note.size() - 3), vertical)) {
          marking = 0;
        } else if (note.size() > 3 && note[0] == U'「' && note.find(U"」に") != note.npos) {
          // ［＃「…」に傍点］ marks the last "…" before it, and ［＃「…」に「…」のルビ］ gives
          // it ruby when it has none.
          const size_t quoteEnd = note.find(U"」に");
          const std::u32string_view target = note.substr(1, quoteEnd - 1);
          const std::u32string_view kind = note.substr(quoteEnd + 2);
          const char32_t mark = EmphasisMark(kind, vertical);
          constexpr std::u32string_view kRubyNote = U"」のルビ";
          const bool ruby = kind.size() > kRubyNote.size() + 1 && kind[0] == U'「' &&
                            kind.substr(kind.size() - kRubyNote.size()) == kRubyNote;
          for (size_t end = out.size();
               (mark || ruby) && !target.empty() && end >= target.size() + segmentStart; --end) {
            const size_t from = end - target.size();
            size_t k = 0;
            while (k < target.size() && out[from + k].Code == target[k]) ++k;
            if (k < target.size()) continue;
            for (size_t m = from; m < end && mark; ++m) out[m].Mark = mark;
            if (ruby && std::all_of(out.begin() + static_cast<std::ptrdiff_t>(from),
                                    out.begin() + static_cast<std::ptrdiff_t>(end),
                                    [](const TChar& t) { return t.Ruby < 0; })) {
              const std::u32string_view text = kind.substr(1, kind.size() - 1 - kRubyNote.size());
              std::u16string piece;
              for (const char32_t r : text) piece += ToUtf16(r);
              for (size_t m = from; m < end; ++m) out[m].Ruby = static_cast<int32_t>(rubies.size());
              rubies.push_back({piece});
            }
            break;
          }
        } else if (out.size() > segmentStart && out.back().Code == U'※' && !out.back().Gaiji) {
          // ※ and the note after it are one character: the one named, or ※ still.
          out.back().Gaiji = true;
          if (const char32_t named = GaijiOfNote(note)) out.back().Code = named;
        }
        i = close;
        continue;
      }
    }
    if (c == U'｜') {
      emitBar();
      explicitBase = out.size();
      continue;
    }
    if (c == U'《') {
      const size_t close = next(rubyEnd, i);
      const bool closed = close != std::u32string::npos && close > i + 1;
      size_t base = explicitBase;
      if (closed && base == std::u32string::npos && out.size() > segmentStart &&
          out.back().Ruby < 0) {
        // The run of one kind before it; a character of no kind is a base by itself.
        const TClass cls = ClassOf(out.back());
        base = out.size() - 1;
        while (cls != TClass::Other && base > segmentStart && out[base - 1].Ruby < 0 &&
               ClassOf(out[base - 1]) == cls)
          --base;
      }
      if (closed && (base == std::u32string::npos || base >= out.size())) {
        // Ruby with nothing to stand beside is left out, never set as text.
        explicitBase = std::u32string::npos;
        i = close;
        continue;
      }
      if (closed) {
        const auto index = static_cast<int32_t>(rubies.size());
        std::u16string text;
        for (size_t k = i + 1; k < close; ++k) text += ToUtf16(line[k]);
        rubies.push_back({text});
        for (size_t k = base; k < out.size(); ++k) out[k].Ruby = index;
        explicitBase = std::u32string::npos;
        i = close;
        continue;
      }
    }
    out.push_back({c});
    out.back().Mark = marking;
  }
  emitBar();
  // Each marked character has its mark beside it as ruby of its own; the setter decides
  // whether a character with ruby has room for its mark as well.
  for (TChar& c : out) {
    if (!c.Mark || c.Code == kPageBreak) continue;
    c.MarkRuby = static_cast<int32_t>(rubies.size());
    // A line is three of its character, shrunk to the cell: one line along the cells.
    const bool line = In(c.Mark, U"─═┄┈〜");
    const std::u16string mark = ToUtf16(c.Mark);
    rubies.push_back({line ? mark + mark + mark : mark, true});
  }
  return out;
}

// --- Units: what takes one cell --------------------------------------------------------

struct TUnit {
  std::u16string Text;
  TCellKind Kind = TCellKind::Normal;
  int32_t Ruby = -1;
  int32_t MarkRuby = -1;
  bool Blank = false;    ///< an empty cell
  bool NoStart = false;  ///< never begins a line
  bool NoEnd = false;    ///< never ends a line
  bool Soft = false;     ///< a blank that a line's start does without
};

std::vector<TUnit> MakeUnits(const std::vector<TChar>& chars, size_t from, size_t to,
                             const TComposeOptions& options) {
  const bool vertical = options.Vertical;
  std::vector<TUnit> units;
  for (size_t i = from; i < to; ++i) {
    const char32_t c = chars[i].Code;
    // Control characters and byte-order marks have no cell.
    if (c < 0x20 ? c != U'\t' : (c == 0x7F || c == 0xFEFF)) continue;
    TUnit u;
    u.Ruby = chars[i].Ruby;
    u.MarkRuby = chars[i].MarkRuby;
    u.Text = ToUtf16(c);
    const auto sameRubyNext = [&](auto test) {
      return i + 1 < to && chars[i + 1].Ruby == chars[i].Ruby &&
             chars[i + 1].MarkRuby == chars[i].MarkRuby && test(chars[i + 1].Code);
    };
    if (IsBlank(c)) {
      u.Blank = true;
    } else if (IsAsciiDigit(c) || (!vertical && IsLowerLatin(c))) {
      // Two half-width digits to a cell, upright; full-width ones take a cell each, as
      // written.
      const bool digit = IsAsciiDigit(c);
      u.Kind = TCellKind::TwoInOne;
      if (sameRubyNext([&](char32_t d) { return digit ? IsAsciiDigit(d) : IsLowerLatin(d); }))
        u.Text += ToUtf16(chars[++i].Code);
    } else if (In(c, kPunctuation)) {
      u.Kind = TCellKind::Punctuation;
      u.NoStart = true;
      if (i + 1 < to && In(chars[i + 1].Code, kClosing)) u.Text += ToUtf16(chars[++i].Code);
    } else if (In(c, kSmallKana)) {
      u.Kind = TCellKind::SmallKana;
      u.NoStart = !options.SmallKanaMayStart;
    } else if (In(c, kClosing) || In(c, kOtherNoStart)) {
      u.NoStart = true;
      // ？ and ！ inside a sentence are followed by one blank cell: not before a closing
      // bracket, another mark or a blank, and not at the text's or a line's end.
      if (options.SpaceAfterMarks && In(c, U"！？") && i + 1 < to &&
          !In(chars[i + 1].Code, kClosing) && !In(chars[i + 1].Code, U"！？") &&
          !In(chars[i + 1].Code, kPunctuation) && !IsBlank(chars[i + 1].Code)) {
        units.push_back(u);
        u = TUnit();
        u.Blank = u.Soft = true;
      }
    } else if (In(c, kOpening)) {
      u.NoEnd = true;
    } else if (In(c, kTwoCellMarks) && i + 1 < to && chars[i + 1].Code == c) {
      // The mark's first half may not end a line, so the two halves stay together.
      u.NoEnd = true;
      units.push_back(u);
      u.NoEnd = false;
      u.Ruby = chars[++i].Ruby;
      u.MarkRuby = chars[i].MarkRuby;
    }
    units.push_back(u);
  }
  return units;
}

// --- Setting units into lines and pages ------------------------------------------------

struct TBaseCell {
  size_t Page;
  int32_t Line;
  int32_t Cell;
};

class TComposer {
 public:
  explicit TComposer(const TComposeOptions& o)
      : lines_(std::max(o.LinesPerPage, 1)), cells_(std::max(o.CellsPerLine, 1)), options_(o) {
    pages_.emplace_back();
  }

  std::vector<TRubyText> Rubies;

  /// Sets the units from `startCell` of the current line, which must be fresh; the
  /// lines they run on to start at `wrapCell`.
  void Flow(const std::vector<TUnit>& units, int32_t startCell, int32_t wrapCell = 0) {
    cell_ = std::min(startCell, cells_ - 1);
    wrap_ = std::clamp(wrapCell, 0, cells_ - 1);
    for (const TUnit& u : units) Place(u);
    wrap_ = 0;
  }

  /// Ends the current line; the next one may be on a new page.
  void EndLine() {
    ++line_;
    cell_ = 0;
    last_ = -1;
    used_ = true;
    if (line_ >= lines_) {
      pages_.emplace_back();
      line_ = 0;
      used_ = false;
    }
  }

  /// Ends a line that holds anything.
  void EndStartedLine() {
    if (cell_ > 0) EndLine();
  }

  void PageBreak() {
    EndStartedLine();
    if (!used_) return;
    pages_.emplace_back();
    line_ = 0;
    used_ = false;
  }

  int32_t CellsPerLine() const { return cells_; }

  std::vector<TComposedPage> Finish() {
    if (pages_.size() > 1 && !used_ && cell_ == 0) pages_.pop_back();
    for (size_t r = 0; r < bases_.size(); ++r)
      AddRuby(bases_[r], r < Rubies.size() ? Rubies[r] : TRubyText{});
    return std::move(pages_);
  }

 private:
  TComposedPage& Page() { return pages_.back(); }

  void Place(const TUnit& u) {
    if (u.Soft && cell_ >= cells_) return;  // a blank that would begin a line
    if (cell_ >= cells_) {
      if (u.NoStart && Keep(u)) return;
      RunOn();
    }
    if (u.NoEnd && cell_ == cells_ - 1 && cell_ > wrap_) RunOn();
    if (!u.Blank) {
      Page().Cells.push_back({line_, cell_, u.Text, u.Kind});
      last_ = static_cast<int32_t>(Page().Cells.size() - 1);
      AddBase(u.Ruby, cell_);
      AddBase(u.MarkRuby, cell_);
    }
    ++cell_;
  }

  // The line is full: the text runs on to the next, from the wrap cell.
  void RunOn() {
    EndLine();
    cell_ = wrap_;
  }

  // A unit that may not begin a line, kept on the full line: in its last cell with that
  // cell's character, or with --hang just beyond it. False when the last cell is empty.
  bool Keep(const TUnit& u) {
    std::vector<TCellPlacement>& cells = Page().Cells;
    if (last_ < 0) return false;
    TCellPlacement& last = cells[static_cast<size_t>(last_)];
    if (options_.Hang) {
      if (last.Kind != TCellKind::Hang) {
        if (last.Cell != cells_ - 1) return false;
        cells.push_back({line_, cells_, u.Text, TCellKind::Hang});
        last_ = static_cast<int32_t>(cells.size() - 1);
        return true;
      }
      last.Text += u.Text;
      return true;
    }
    if (last.Cell != cells_ - 1) return false;
    last.Text += u.Text;
    AddBase(u.Ruby, last.Cell);
    AddBase(u.MarkRuby, last.Cell);
    return true;
  }

  void AddBase(int32_t ruby, int32_t cell) {
    if (ruby < 0) return;
    if (bases_.size() <= static_cast<size_t>(ruby)) bases_.resize(static_cast<size_t>(ruby) + 1);
    std::vector<TBaseCell>& b = bases_[static_cast<size_t>(ruby)];
    const TBaseCell here{pages_.size() - 1, line_, cell};
    if (!b.empty() && b.back().Page == here.Page && b.back().Line == here.Line &&
        b.back().Cell == cell)
      return;
    b.push_back(here);
  }

  // The ruby over its base cells, one piece per line the base runs over, the ruby's
  // characters shared out in proportion to the base cells of each line.
  void AddRuby(const std::vector<TBaseCell>& base, const TRubyText& ruby) {
    if (base.empty()) return;
    const std::u32string chars = ToUtf32(ruby.Text);
    size_t begin = 0;
    size_t given = 0;
    while (begin < base.size()) {
      size_t end = begin + 1;
      while (end < base.size() && base[end].Page == base[begin].Page &&
             base[end].Line == base[begin].Line)
        ++end;
      const size_t share = end == base.size() ? chars.size() : chars.size() * end / base.size();
      std::u16string piece;
      for (size_t k = given; k < share; ++k) piece += ToUtf16(chars[k]);
      given = std::max(given, share);
      if (!piece.empty())
        pages_[base[begin].Page].Rubies.push_back(
            {base[begin].Line, base[begin].Cell, base[end - 1].Cell, piece, ruby.Mark});
      begin = end;
    }
  }

  int32_t lines_;
  int32_t cells_;
  TComposeOptions options_;
  std::vector<TComposedPage> pages_;
  int32_t line_ = 0;
  int32_t cell_ = 0;
  int32_t last_ = -1;  ///< the last placement on the current line, -1 for none
  int32_t wrap_ = 0;   ///< where a line that the text runs on to starts
  bool used_ = false;  ///< the current page has an ended line
  std::vector<std::vector<TBaseCell>> bases_;
};

// --- Where a line starts: 字下げ, 地付き and 見出し ---------------------------------------

// A number of cells in a note: digits (full-width or not), or kanji numerals up to
// 九十九 (二, 十, 十二, 二十三).
int NoteNumber(std::u32string_view text, size_t* i) {
  const int digits = ReadNumber(text, i);
  if (digits >= 0) return digits;
  constexpr std::u32string_view kKanji = U"〇一二三四五六七八九";
  int tens = -1, ones = -1;
  for (; *i < text.size(); ++*i) {
    if (text[*i] == U'十' && tens < 0) {
      tens = ones < 0 ? 1 : ones;
      ones = -1;
      continue;
    }
    const size_t k = kKanji.find(text[*i]);
    if (k == std::u32string_view::npos || ones >= 0) break;
    ones = static_cast<int>(k);
  }
  return tens >= 0 ? tens * 10 + std::max(ones, 0) : ones;
}

// "N字下げ" at `*i`: N, and `*i` past it; -1 when the text there says otherwise.
int ReadIndent(std::u32string_view note, size_t* i) {
  size_t k = *i;
  const int n = NoteNumber(note, &k);
  if (n < 0 || note.substr(k, 3) != U"字下げ") return -1;
  *i = k + 3;
  return n;
}

// Where the lines of a paragraph start: its first line and the lines it runs on to, or
// its end's distance from the line's end.
struct TLineLayout {
  int32_t First = -1;    ///< the first cell of the first line; -1: as a paragraph begins
  int32_t Wrap = 0;      ///< the first cell of the lines it runs on to
  int32_t FromEnd = -1;  ///< ends this many cells before the line's end (地付き 0); -1 not
  bool Heading = false;  ///< a 見出し, on a line of its own from the heading cell
};

// The layout notes of the text as it is read line by line: those of a line, and the
// blocks (ここから … ここで … 終わり) the line is in.
class TLayoutNotes {
 public:
  // The layout of a line that holds the notes `notes`.
  TLineLayout ForLine(const std::vector<std::u32string_view>& notes) {
    TLineLayout line = block_;
    line.Heading = heading_;
    for (const std::u32string_view note : notes) Read(note, line);
    return line;
  }

 private:
  void Read(std::u32string_view note, TLineLayout& line) {
    size_t i = 0;
    const bool block = note.substr(0, 4) == U"ここから";
    if (block) i = 4;
    if (note == U"ここで字下げ終わり" || note == U"ここで地付き終わり" ||
        note == U"ここで字上げ終わり") {
      block_ = TLineLayout();
      line.First = -1, line.Wrap = 0, line.FromEnd = -1;
      return;
    }
    if (note.size() > 6 && note.substr(0, 3) == U"ここで" &&
        note.substr(note.size() - 6) == U"見出し終わり") {
      heading_ = false;
      return;
    }
    if (block && note.size() > 4 && note.substr(note.size() - 3) == U"見出し") {
      heading_ = line.Heading = true;
      return;
    }
    if (note == U"大見出し" || note == U"中見出し" || note == U"小見出し" || note == U"見出し") {
      line.Heading = true;  // ［＃大見出し］…［＃大見出し終わり］ within the line
      return;
    }
    if (note.size() > 4 && note[0] == U'「' && note.substr(note.size() - 3) == U"見出し") {
      line.Heading = true;  // ［＃「…」は大見出し］ after the heading's text
      return;
    }
    TLineLayout read;
    if (note.substr(i, 3) == U"天から") i += 3;
    if (note.substr(i, 5) == U"改行天付き") {
      read.First = 0;
      i += 5;
    } else if (const int n = ReadIndent(note, &i); n >= 0) {
      read.First = n;
    } else if (note.substr(i) == U"地付き") {
      read.FromEnd = 0;
      i = note.size();
    } else if (note.substr(i, 3) == U"地から") {
      i += 3;
      const int n = NoteNumber(note, &i);
      if (n < 0 || note.substr(i) != U"字上げ") return;
      read.FromEnd = n;
      i = note.size();
    } else {
      return;
    }
    read.Wrap = std::max(0, read.First);
    if (i < note.size() && note[i] == U'、') ++i;
    if (note.substr(i, 5) == U"折り返して") {
      i += 5;
      const int wrap = ReadIndent(note, &i);
      if (wrap < 0) return;
      read.Wrap = wrap;
    }
    if (i != note.size()) return;
    line = read;
    line.Heading = heading_;
    if (block) block_ = read;
  }

  TLineLayout block_;
  bool heading_ = false;
};

// The annotations of a line, in order (what ［＃ and ］ enclose).
std::vector<std::u32string_view> NotesOf(const std::u32string& line) {
  std::vector<std::u32string_view> notes;
  for (size_t at = line.find(kAnnotationOpen); at != std::u32string::npos;
       at = line.find(kAnnotationOpen, at + 2)) {
    const size_t close = line.find(U'］', at + 2);
    if (close == std::u32string::npos) break;
    notes.emplace_back(line.data() + at + 2, close - at - 2);
    at = close - 1;
  }
  return notes;
}

std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::u16string DecodeManuscript(const std::string& bytes) {
  std::string body = bytes;
  if (body.compare(0, 3, "\xEF\xBB\xBF") == 0) body.erase(0, 3);
  // A byte that is no part of valid UTF-8 comes back as an escaped byte (U+DC80 + byte),
  // which valid UTF-8 never gives.
  std::u16string text = FileNameToUtf16(body);
  const bool utf8 =
      std::none_of(text.begin(), text.end(), [](char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; });
  if (!utf8) text = Cp932ToUtf16(body);
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      out += u'\n';
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool ReadManuscriptFile(const std::string& path, std::u16string* text, std::string* error) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> in(OpenRegularFile(path, error), &std::fclose);
  if (!in) return false;
  std::string bytes;
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
    bytes.append(buffer, got);
    if (bytes.size() > kMaxManuscriptBytes) {
      if (error)
        *error = "「" + path + "」は大きすぎます（" + std::to_string(kMaxManuscriptBytes) +
                 " バイトまで）";
      return false;
    }
  }
  if (std::ferror(in.get())) {
    if (error) *error = "「" + path + "」を読み込めません";
    return false;
  }
  *text = DecodeManuscript(bytes);
  return true;
}

std::vector<TComposedPage> ComposeManuscript(const std::u16string& text,
                                             const TComposeOptions& options) {
  TComposer composer(options);
  const int32_t n = composer.CellsPerLine();
  const std::vector<std::u16string> lines = SplitLines(text);
  TLayoutNotes layoutNotes;
  for (size_t index = 0; index < lines.size(); ++index) {
    const std::u32string line = ToUtf32(lines[index]);
    const TLineLayout layout = layoutNotes.ForLine(NotesOf(line));
    const std::vector<TChar> chars = ParseLine(line, composer.Rubies, options.Vertical);
    if (lines[index].empty()) {
      composer.EndLine();  // an empty line stays one
      continue;
    }
    const bool title = options.Title && index == 0;
    const bool author = options.Title && index == 1;
    bool first = true;
    size_t from = 0;
    while (from <= chars.size()) {
      size_t to = from;
      while (to < chars.size() && chars[to].Code != kPageBreak) ++to;
      const std::vector<TUnit> units = MakeUnits(chars, from, to, options);
      if (!units.empty()) {
        int32_t start = 0;
        int32_t wrap = 0;
        const auto size = static_cast<int32_t>(units.size());
        if (title) {
          start = first ? 2 : 0;
        } else if (author) {
          start = first ? std::max<int32_t>(0, n - 1 - size) : 0;
        } else if (layout.Heading) {
          start = first ? std::max(0, options.HeadingCell) : 0;
        } else if (layout.FromEnd >= 0) {
          // Set against the line's end, when it fits on one line.
          start = first ? std::max<int32_t>(0, n - layout.FromEnd - size) : 0;
        } else if (layout.First >= 0) {
          start = first ? layout.First : layout.Wrap;
          wrap = layout.Wrap;
        } else if (first && !units.front().Blank &&
                   (options.IndentOpeningBracket || !In(chars[from].Code, U"「『"))) {
          start = 1;  // a paragraph begins with one empty cell
        }
        composer.Flow(units, start, wrap);
        composer.EndLine();
        first = false;
      }
      if (to == chars.size()) break;
      composer.PageBreak();
      from = to + 1;
    }
  }
  return composer.Finish();
}

int64_t CountCharacters(const std::vector<TComposedPage>& pages) {
  int64_t count = 0;
  for (const TComposedPage& page : pages)
    for (const TCellPlacement& cell : page.Cells)
      count += static_cast<int64_t>(ToUtf32(cell.Text).size());
  return count;
}

TTextCount CountManuscript(const std::u16string& text, TComposeOptions options) {
  options.LinesPerPage = 20;
  options.CellsPerLine = 20;
  options.Vertical = true;
  const std::vector<TComposedPage> pages = ComposeManuscript(text, options);
  TTextCount count;
  count.Characters = CountCharacters(pages);
  // An empty text fills no sheet, though it composes to one empty page; empty lines do
  // take their lines.
  count.Sheets400 = text.empty() ? 0 : static_cast<int32_t>(pages.size());
  return count;
}

}  // namespace zelk
