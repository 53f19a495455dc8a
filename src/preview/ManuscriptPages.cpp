// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/ManuscriptPages.h"

#include <algorithm>
#include <utility>

namespace zelk {

namespace {

bool SameOptions(const TComposeOptions& a, const TComposeOptions& b) {
  return a.LinesPerPage == b.LinesPerPage && a.CellsPerLine == b.CellsPerLine &&
         a.Vertical == b.Vertical && a.Title == b.Title && a.Hang == b.Hang &&
         a.HeadingCell == b.HeadingCell && a.IndentOpeningBracket == b.IndentOpeningBracket &&
         a.SpaceAfterMarks == b.SpaceAfterMarks && a.SmallKanaMayStart == b.SmallKanaMayStart;
}

// `options` with the choices of `style` over it.
TComposeOptions WithStyle(TComposeOptions options, const TManuscriptStyle& style) {
  options.Title = style.Title;
  options.Hang = style.Hang;
  options.HeadingCell = style.HeadingCell;
  options.IndentOpeningBracket = style.IndentOpeningBracket;
  options.SpaceAfterMarks = style.SpaceAfterMarks;
  options.SmallKanaMayStart = style.SmallKanaMayStart;
  return options;
}

}  // namespace

TManuscriptPages::TManuscriptPages(std::u16string text, TManuscriptStyle style)
    : text_(std::move(text)), style_(style) {}

TManuscriptPages::~TManuscriptPages() = default;

int TManuscriptPages::Compose(const TPrintSetting& s) {
  const TComposeOptions options = WithStyle(SheetComposeOptions(s), style_);
  if (!composed_ || !SameOptions(options, composedFor_)) {
    pages_ = ComposeManuscript(text_, options);
    composedFor_ = options;
    composed_ = true;
    hasRuby_ = std::any_of(pages_.begin(), pages_.end(),
                           [](const TComposedPage& p) { return !p.Rubies.empty(); });
  }
  return PageCount();
}

TSheetTextSetter& TManuscriptPages::SetterFor(const TPrintSetting& s) {
  const int32_t resX = s.PrinterInfo.LogPixelsX;
  const int32_t resY = s.PrinterInfo.LogPixelsY;
  if (!setter_ || setterFor_ != &s || setterResX_ != resX || setterResY_ != resY) {
    setter_ = std::make_unique<TSheetTextSetter>(s);
    setterFor_ = &s;
    setterResX_ = resX;
    setterResY_ = resY;
  }
  return *setter_;
}

TSheetRecording TManuscriptPages::Record(TPrintSetting& s, TPrintPreview& preview, int index,
                                         const std::function<void(TPrintSetting&)>& prepare) {
  recorded_ = -1;
  return RecordSheet(s, preview, prepare, [&](TCanvas& canvas) {
    const int count = Compose(s);
    const int page = std::clamp(index, 0, count - 1);
    TSheetTextSetter& setter = SetterFor(s);
    rubyLeftOut_ = hasRuby_ && !setter.HasRubyStrip();
    recorded_ = page;
    setter.Draw(canvas, pages_[static_cast<size_t>(page)]);
    if (style_.NumberPages) setter.DrawPageNumber(canvas, page + 1);
  });
}

const TTextCount& TManuscriptPages::Count() {
  if (!count_) count_ = CountManuscript(text_, WithStyle(TComposeOptions(), style_));
  return *count_;
}

}  // namespace zelk
