// SPDX-License-Identifier: GPL-3.0-or-later
// The page recorder: its states, the fixed misuse messages, what carries from page to
// page, and the replay of a recorded page onto a target with a clipping region.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "DrawTestSupport.h"
#include "preview/PrintPreview.h"

namespace zelk {
namespace {

using testing::TFixedMeasurer;

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EPrintPreviewError& e) {
    return e.what();
  }
  return "(no EPrintPreviewError)";
}

class PrintPreviewTest : public ::testing::Test {
 protected:
  TVirtualPrinter printer;
  TFixedMeasurer measurer;
  TPrintPreview preview{printer, measurer};
};

TEST_F(PrintPreviewTest, BeginDocOpensOnePageWithNinePointFontAtVerticalResolution) {
  ASSERT_TRUE(printer.SetResolution(300, 600));
  preview.BeginDoc();
  EXPECT_TRUE(preview.Printing());
  EXPECT_EQ(preview.GetPageCount(), 1);
  const TCanvas& c = preview.GetCanvas();
  EXPECT_EQ(c.Font.Size(), 9);
  EXPECT_EQ(c.Font.PixelsPerInch(), 600);
  EXPECT_EQ(c.Font.Height(), -75);  // 9 x 600 / 72
  EXPECT_EQ(c.Pen, TPen{});
  EXPECT_EQ(c.Pen.Width, 1);
  EXPECT_EQ(c.Brush.Style, TBrushStyle::bsSolid);
  EXPECT_EQ(c.Brush.Color, kWhite);
}

TEST_F(PrintPreviewTest, PageFrameAndSizeComeFromThePrinterWhenThePageOpens) {
  ASSERT_TRUE(printer.SetOffsets(100, 50));
  preview.BeginDoc();
  ASSERT_TRUE(printer.SetOffsets(0, 0));
  preview.NewPage();
  preview.EndDoc();
  const TMetafileEx* p1 = preview.GetPage(0);
  EXPECT_EQ(p1->HorzRes, 4960 - 200);
  EXPECT_EQ(p1->VertRes, 7016 - 100);
  EXPECT_EQ(p1->FrameWidth, 20200);  // 4760 px at 600 dpi is 201.51 mm: 202 whole mm
  const TMetafileEx* p2 = preview.GetPage(1);
  EXPECT_EQ(p2->HorzRes, 4960);
  EXPECT_EQ(p2->VertRes, 7016);
  EXPECT_EQ(p2->FrameWidth, 21000);  // 4960 px at 600 dpi is 209.97 mm: 210 whole mm
  EXPECT_EQ(p2->FrameHeight, 29700);
  EXPECT_EQ(p2->ResolutionX, 600);
}

TEST_F(PrintPreviewTest, MisuseWhileIdleRaisesFixedMessages) {
  EXPECT_EQ(MessageOf([&] { preview.NewPage(); }), "TPrintPreview.NewPage: not Printing");
  EXPECT_EQ(MessageOf([&] { preview.EndDoc(); }), "TPrintPreview.EndDoc: not Printing");
  EXPECT_EQ(MessageOf([&] { preview.GetCanvas(); }), "TPrintPreview.GetCanvas: not Printing");
  EXPECT_EQ(MessageOf([&] { preview.GetPage(0); }),
            "TPrinterCanvas.GetPage: Index is out of Range");
  EXPECT_FALSE(preview.Printing());
  EXPECT_EQ(preview.GetPageCount(), 0);
}

TEST_F(PrintPreviewTest, SecondBeginDocKeepsTheRecordingAndItsPages) {
  preview.BeginDoc();
  preview.GetCanvas().MoveTo(0, 0);
  preview.GetCanvas().LineTo(10, 0);
  preview.NewPage();
  TCanvas* canvas = &preview.GetCanvas();
  EXPECT_EQ(MessageOf([&] { preview.BeginDoc(); }), "TPrintPreview: BeginDoc: Already Printing");
  EXPECT_TRUE(preview.Printing());
  EXPECT_EQ(preview.GetPageCount(), 2);
  EXPECT_EQ(&preview.GetCanvas(), canvas);
  preview.EndDoc();
  EXPECT_EQ(preview.GetPage(0)->Ops.size(), 1u);
}

TEST_F(PrintPreviewTest, GetPageDuringRecordingFailsEvenForClosedPages) {
  preview.BeginDoc();
  preview.NewPage();
  EXPECT_EQ(MessageOf([&] { preview.GetPage(0); }),
            "TPrinterPreview.GetPage: Pages cannot be used when printing");
  // The recording test comes before the range test.
  EXPECT_EQ(MessageOf([&] { preview.GetPage(-1); }),
            "TPrinterPreview.GetPage: Pages cannot be used when printing");
  EXPECT_EQ(preview.GetPageCount(), 2);
  EXPECT_TRUE(preview.Printing());
}

TEST_F(PrintPreviewTest, GetPageOutOfRangeAfterEndDocChangesNothing) {
  preview.BeginDoc();
  preview.EndDoc();
  EXPECT_FALSE(preview.Printing());
  for (int index : {-1, 1, 1000}) {
    EXPECT_EQ(MessageOf([&] { preview.GetPage(index); }),
              "TPrinterCanvas.GetPage: Index is out of Range")
        << index;
  }
  EXPECT_EQ(preview.GetPageCount(), 1);
  EXPECT_NE(preview.GetPage(0), nullptr);
  EXPECT_EQ(MessageOf([&] { preview.GetCanvas(); }), "TPrintPreview.GetCanvas: not Printing");
}

TEST_F(PrintPreviewTest, PenBrushAndFontCarryOverToTheNextPage) {
  preview.BeginDoc();
  TCanvas& c1 = preview.GetCanvas();
  c1.Pen.Color = 0x0000FF;
  c1.Pen.Width = 5;
  c1.Pen.Style = TPenStyle::psDot;
  c1.Brush = {TBrushStyle::bsClear, kBlack};
  TFont f;
  f.SetName(u"@IPAMincho");
  f.SetSize(14);
  c1.AssignFont(f);
  c1.FontOrientation = 2700;
  preview.NewPage();
  TCanvas& c2 = preview.GetCanvas();
  EXPECT_EQ(c2.Pen.Color, 0x0000FF);
  EXPECT_EQ(c2.Pen.Width, 5);
  EXPECT_EQ(c2.Pen.Style, TPenStyle::psDot);
  EXPECT_EQ(c2.Brush.Style, TBrushStyle::bsClear);
  EXPECT_EQ(c2.Font.Name(), u"@IPAMincho");
  EXPECT_EQ(c2.Font.Size(), 14);  // not the 9 points of a first page
  EXPECT_EQ(c2.FontOrientation, 2700);
  c2.MoveTo(1, 2);
  c2.LineTo(3, 4);
  preview.EndDoc();
  ASSERT_EQ(preview.GetPage(1)->Ops.size(), 1u);
  EXPECT_EQ(preview.GetPage(1)->Ops[0].Pen.Color, 0x0000FF);
  EXPECT_TRUE(preview.GetPage(0)->Ops.empty());
}

TEST_F(PrintPreviewTest, BeginDocAfterARecordingStartsAfresh) {
  preview.BeginDoc();
  preview.GetCanvas().Pen.Width = 9;
  preview.NewPage();
  preview.NewPage();
  preview.EndDoc();
  ASSERT_EQ(preview.GetPageCount(), 3);
  preview.BeginDoc();
  EXPECT_EQ(preview.GetPageCount(), 1);
  EXPECT_EQ(preview.GetCanvas().Pen.Width, 1);  // the old canvas is gone with its state
  preview.EndDoc();
}

TEST_F(PrintPreviewTest, DestroyingDuringARecordingIsSafe) {
  auto recorder = std::make_unique<TPrintPreview>(printer, measurer);
  recorder->BeginDoc();
  recorder->GetCanvas().Rectangle(0, 0, 10, 10);
  recorder->NewPage();
  recorder->GetCanvas().TextOut(0, 0, u"頁");
  EXPECT_NO_THROW(recorder.reset());
}

TEST_F(PrintPreviewTest, AFullPageKeepsItsFirstOpsAndTheNextPageStartsAfresh) {
  constexpr size_t kMax = TMetafileEx::kMaxRecordedOps;
  preview.BeginDoc();
  TCanvas& first = preview.GetCanvas();
  for (size_t i = 0; i < kMax - 1; ++i) first.Ellipse(0, 0, 7, 7);
  first.TextOut(5, 6, u"最後");
  first.Ellipse(1, 1, 8, 8);
  first.TextOut(0, 0, u"落ちる");
  first.Polygon({{0, 0}, {1, 1}, {0, 1}});
  first.LineTo(100, 100);
  preview.NewPage();
  preview.GetCanvas().Rectangle(0, 0, 10, 10);
  preview.EndDoc();

  const TMetafileEx& full = *preview.GetPage(0);
  ASSERT_EQ(full.Ops.size(), kMax);
  EXPECT_TRUE(full.Truncated);
  EXPECT_EQ(full.Ops.back().Kind, TOpKind::Text);
  ASSERT_EQ(full.Texts.size(), 1u);
  EXPECT_EQ(full.Texts[0].Text, u"最後");
  EXPECT_TRUE(full.Polygons.empty());
  const TMetafileEx& next = *preview.GetPage(1);
  EXPECT_FALSE(next.Truncated);
  EXPECT_EQ(next.Ops.size(), 1u);
}

TEST_F(PrintPreviewTest, RecordsEachOpWithItsStateAndMeasuresAtPrinterResolution) {
  ASSERT_TRUE(printer.SetResolution(300, 1200));
  preview.BeginDoc();
  TCanvas& c = preview.GetCanvas();
  c.MoveTo(1, 1);
  c.Pen.Width = 3;
  c.LineTo(5, 1);
  c.Brush = {TBrushStyle::bsSolid, kBlack};
  c.FillRect({0, 0, 4, 4});
  c.Ellipse(1, 2, 3, 4);
  c.Polygon({{0, 0}, {1, 0}, {0, 1}});
  c.FontOrientation = 2700;
  c.TextOut(7, 8, u"文字");
  const int32_t w = c.TextWidth(u"文字");
  EXPECT_EQ(measurer.LastResX, 300);
  EXPECT_EQ(measurer.LastResY, 1200);
  EXPECT_EQ(measurer.LastFont, c.Font);
  EXPECT_EQ(w, 2 * 9 * 300 / 72);
  EXPECT_EQ(c.TextHeight(u"文字"), 9 * 1200 / 72);
  preview.EndDoc();
  const TMetafileEx& p = *preview.GetPage(0);
  ASSERT_EQ(p.Ops.size(), 5u);
  EXPECT_EQ(p.Ops[0].Kind, TOpKind::Line);
  EXPECT_EQ(p.Ops[0].P1, (TDevicePoint{1, 1}));
  EXPECT_EQ(p.Ops[0].P2, (TDevicePoint{5, 1}));
  EXPECT_EQ(p.Ops[0].Pen.Width, 3);
  EXPECT_EQ(p.Ops[0].Brush.Color, kWhite);
  EXPECT_EQ(p.Ops[1].Kind, TOpKind::FillRect);
  EXPECT_EQ(p.Ops[1].Brush.Color, kBlack);
  EXPECT_EQ(p.Ops[2].Kind, TOpKind::Ellipse);
  ASSERT_EQ(p.Ops[3].Kind, TOpKind::Polygon);
  EXPECT_EQ(p.Polygons.at(p.Ops[3].Index).size(), 3u);
  ASSERT_EQ(p.Ops[4].Kind, TOpKind::Text);
  const TRecordedText& t = p.Texts.at(p.Ops[4].Index);
  EXPECT_EQ(t.Text, u"文字");
  EXPECT_EQ(t.Orientation, 2700);
  EXPECT_EQ(p.Ops[4].P1, (TDevicePoint{7, 8}));
}

// A target that logs what the replay asks of it and can fail while playing.
class TFakeTarget : public TPlaybackTarget {
 public:
  bool Clip = false;
  bool Fail = false;
  std::string Log;
  bool HasClip() const override { return Clip; }
  void SaveAndRemoveClip() override {
    Log += "save,";
    Clip = false;
  }
  void RestoreClip() override {
    Log += "restore,";
    Clip = true;
  }
  void Play(const TMetafileEx& page, const TDeviceRect& dest) override {
    Log += Clip ? "play-clipped," : "play,";
    LastOps = page.Ops.size();
    LastDest = dest;
    if (Fail) throw std::runtime_error("device lost");
  }
  size_t LastOps = 0;
  TDeviceRect LastDest;
};

struct ReplayCase {
  bool clip;
  bool fail;
  const char* log;
};

class ReplayTest : public PrintPreviewTest, public ::testing::WithParamInterface<ReplayCase> {};

TEST_P(ReplayTest, ClipIsLiftedForTheReplayAndRestoredAfterwards) {
  preview.BeginDoc();
  preview.GetCanvas().Rectangle(0, 0, 100, 100);
  preview.EndDoc();
  TFakeTarget target;
  target.Clip = GetParam().clip;
  target.Fail = GetParam().fail;
  const TDeviceRect dest{10, 20, 110, 220};
  if (GetParam().fail) {
    EXPECT_THROW(preview.GetPage(0)->Draw(target, dest), std::runtime_error);
  } else {
    preview.GetPage(0)->Draw(target, dest);
  }
  EXPECT_EQ(target.Log, GetParam().log);
  EXPECT_EQ(target.Clip, GetParam().clip);
  EXPECT_EQ(target.LastOps, 1u);
  EXPECT_EQ(target.LastDest, dest);
}

INSTANTIATE_TEST_SUITE_P(, ReplayTest,
                         ::testing::Values(ReplayCase{false, false, "play,"},
                                           ReplayCase{true, false, "save,play,restore,"},
                                           ReplayCase{true, true, "save,play,restore,"},
                                           ReplayCase{false, true, "play,"}));

}  // namespace
}  // namespace zelk
