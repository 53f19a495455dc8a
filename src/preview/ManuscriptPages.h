// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text set on the sheet of a settings record, page after page: composed again only
// when the sheet's lines, cells or writing direction change, and each page recorded only
// when it is asked for, so that a long text costs a page's recording to show or to print.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compose/Manuscript.h"
#include "compose/SheetText.h"
#include "preview/SheetRecording.h"

namespace zelk {

/// How a text is set, beyond what the sheet decides.
struct TManuscriptStyle {
  bool Title = false;        ///< the first line is the title, the second the author
  bool Hang = false;         ///< punctuation hangs beyond the last cell (TComposeOptions)
  bool NumberPages = false;  ///< each page's number on the sheet's page-number lines
  int32_t HeadingCell = 2;   ///< the cell (from 0) a 見出し starts in (TComposeOptions)
  // The school rules, as TComposeOptions says.
  bool IndentOpeningBracket = false;
  bool SpaceAfterMarks = true;
  bool SmallKanaMayStart = false;
};

class TManuscriptPages {
 public:
  TManuscriptPages(std::u16string text, TManuscriptStyle style);
  ~TManuscriptPages();
  TManuscriptPages(const TManuscriptPages&) = delete;
  TManuscriptPages& operator=(const TManuscriptPages&) = delete;

  /// Composes the text for `s`'s sheet (SheetComposeOptions) unless it already is, and
  /// returns the number of pages, at least 1.
  int Compose(const TPrintSetting& s);
  /// The pages of the last Compose; none before the first.
  const std::vector<TComposedPage>& Pages() const { return pages_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }

  /// Records page `index` (from 0) as the recorder's only page: `prepare` (when given)
  /// and the sheet as RecordSheet records them, the text composed for the sheet just
  /// drawn, then the page's text and, with NumberPages, its number. An index beyond the
  /// last page records the last, a negative one the first. The page recorded is then
  /// RecordedPage(); when the sheet cannot be drawn no text is set and RecordedPage() is -1.
  TSheetRecording Record(TPrintSetting& s, TPrintPreview& preview, int index,
                         const std::function<void(TPrintSetting&)>& prepare = {});
  int RecordedPage() const { return recorded_; }
  /// Its length in characters and 400字詰め sheets (CountManuscript), counted once.
  const TTextCount& Count();
  /// The text and how it is set, as given.
  const std::u16string& Text() const { return text_; }
  const TManuscriptStyle& Style() const { return style_; }

  /// True when some page has ruby but the sheet last recorded has no strip to set it in,
  /// so it was left out.
  bool RubyLeftOut() const { return rubyLeftOut_; }

 private:
  TSheetTextSetter& SetterFor(const TPrintSetting& s);

  std::u16string text_;
  TManuscriptStyle style_;
  TComposeOptions composedFor_;
  bool composed_ = false;
  std::vector<TComposedPage> pages_;
  bool hasRuby_ = false;
  bool rubyLeftOut_ = false;
  std::optional<TTextCount> count_;
  int recorded_ = -1;
  // The measures the setter keeps hold for one record and one printer resolution.
  std::unique_ptr<TSheetTextSetter> setter_;
  const TPrintSetting* setterFor_ = nullptr;
  int32_t setterResX_ = 0;
  int32_t setterResY_ = 0;
};

}  // namespace zelk
