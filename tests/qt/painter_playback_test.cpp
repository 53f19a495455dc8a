// SPDX-License-Identifier: GPL-3.0-or-later
// Replay of recorded pages on a QPainter: the GDI pixel conventions, scaling into a
// rectangle, clipping lifted and restored, text placement, the replay of whole sheets
// compared pixel by pixel with drawing them directly, and a replay limited to a visible
// rectangle compared with the full one.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cctype>
#include <functional>

#include "form/FormTransfer.h"
#include "preview/PrintPreview.h"
#include "preview/SheetRecording.h"
#include "preview/VirtualPrinter.h"
#include "preview/qt/PainterPlayback.h"
#include "preview/qt/QtTextMeasurer.h"
#include "settings/SettingFields.h"
#include "sheet/DrawSheet.h"

namespace zelk {
namespace {

constexpr QRgb kWhiteRgb = 0xFFFFFFFF;
constexpr QRgb kBlackRgb = 0xFF000000;

QImage White(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// A canvas that draws straight onto a painter with the same primitives the replay uses.
class TDirectCanvas : public TCanvas {
 public:
  TDirectCanvas(QPainter& p, const TTextMeasurer& m, int32_t resX, int32_t resY)
      : drawer_(p, resX, resY), measurer_(m), resX_(resX), resY_(resY) {}
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    drawer_.Rectangle(Pen, Brush, {x1, y1, x2, y2});
  }
  void FillRect(const TDeviceRect& r) override { drawer_.FillRect(Brush, r); }
  void Ellipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    drawer_.Ellipse(Pen, Brush, {x1, y1, x2, y2});
  }
  void Polygon(const std::vector<TDevicePoint>& points) override {
    drawer_.Polygon(Pen, Brush, points);
  }
  void TextOut(int32_t x, int32_t y, const std::u16string& text) override {
    drawer_.Text(Brush, {x, y}, TRecordedText{text, Font, FontOrientation});
  }
  int32_t TextWidth(const std::u16string& t) override {
    return measurer_.Measure(Font, t, resX_, resY_).Width;
  }
  int32_t TextHeight(const std::u16string& t) override {
    return measurer_.Measure(Font, t, resX_, resY_).Height;
  }

 protected:
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    drawer_.Line(Pen, {x1, y1}, {x2, y2});
  }

 private:
  TPainterDrawer drawer_;
  const TTextMeasurer& measurer_;
  int32_t resX_;
  int32_t resY_;
};

// A page of the given natural size with ops appended by the caller.
TMetafileEx Page(int32_t w, int32_t h, int32_t res = 600) {
  TMetafileEx page;
  page.HorzRes = w;
  page.VertRes = h;
  page.FrameWidth = w * 2540 / res;
  page.FrameHeight = h * 2540 / res;
  page.ResolutionX = page.ResolutionY = res;
  return page;
}

TRecordedOp Op(TOpKind kind, TDevicePoint a, TDevicePoint b, TPen pen = {},
               TBrush brush = {TBrushStyle::bsSolid, kBlack}) {
  TRecordedOp op;
  op.Kind = kind;
  op.P1 = a;
  op.P2 = b;
  op.Pen = pen;
  op.Brush = brush;
  return op;
}

QImage Replay(const TMetafileEx& page, int w, int h, const TDeviceRect& dest) {
  QImage image = White(w, h);
  QPainter p(&image);
  DrawPage(p, page, dest);
  return image;
}

QImage Replay(const TMetafileEx& page) {
  return Replay(page, page.HorzRes, page.VertRes, {0, 0, page.HorzRes, page.VertRes});
}

// The image expected from painting exactly the listed pixels black.
QImage Expected(int w, int h, const std::function<bool(int, int)>& black) {
  QImage image = White(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (black(x, y)) image.setPixel(x, y, kBlackRgb);
  return image;
}

int Differences(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  return n;
}

QRect Ink(const QImage& image) {
  QRect r;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 200) r |= QRect(x, y, 1, 1);
  return r;
}

// ---------------------------------------------------------------------------------------
// GDI conventions, checked against pixels listed by hand.

struct TThinCase {
  const char* Name;
  TRecordedOp Op;
  std::function<bool(int, int)> Black;
};

class ThinPrimitives : public ::testing::TestWithParam<TThinCase> {};

TEST_P(ThinPrimitives, PaintExactlyTheGdiPixels) {
  TMetafileEx page = Page(24, 24);
  page.Ops.push_back(GetParam().Op);
  EXPECT_EQ(Differences(Replay(page), Expected(24, 24, GetParam().Black)), 0) << GetParam().Name;
}

const TBrush kClear{TBrushStyle::bsClear, kWhite};
const TBrush kSolidBlack{TBrushStyle::bsSolid, kBlack};

INSTANTIATE_TEST_SUITE_P(
    Gdi, ThinPrimitives,
    ::testing::Values(
        // A line from (0, 0) to (10, 0) paints the points 0 to 9, not 10.
        TThinCase{"line across", Op(TOpKind::Line, {0, 0}, {10, 0}),
                  [](int x, int y) { return y == 0 && x <= 9; }},
        TThinCase{"line down", Op(TOpKind::Line, {5, 3}, {5, 20}),
                  [](int x, int y) { return x == 5 && y >= 3 && y <= 19; }},
        TThinCase{"line leftward", Op(TOpKind::Line, {15, 7}, {4, 7}),
                  [](int x, int y) { return y == 7 && x >= 5 && x <= 15; }},
        TThinCase{"line upward", Op(TOpKind::Line, {9, 20}, {9, 3}),
                  [](int x, int y) { return x == 9 && y >= 4 && y <= 20; }},
        TThinCase{"line of width 0", Op(TOpKind::Line, {2, 2}, {8, 2}, TPen{0}),
                  [](int x, int y) { return y == 2 && x >= 2 && x <= 7; }},
        TThinCase{"zero-length line", Op(TOpKind::Line, {4, 4}, {4, 4}),
                  [](int, int) { return false; }},
        // Fill excludes the right and bottom edges.
        TThinCase{"fillrect", Op(TOpKind::FillRect, {2, 3}, {6, 8}),
                  [](int x, int y) { return x >= 2 && x <= 5 && y >= 3 && y <= 7; }},
        TThinCase{"fillrect with a clear brush", Op(TOpKind::FillRect, {2, 3}, {6, 8}, {}, kClear),
                  [](int, int) { return false; }},
        TThinCase{"empty fillrect", Op(TOpKind::FillRect, {2, 3}, {2, 8}),
                  [](int, int) { return false; }},
        // The outline covers x1..x2-1; a clear brush leaves the inside untouched.
        TThinCase{"rectangle clear", Op(TOpKind::Rectangle, {2, 2}, {12, 9}, {}, kClear),
                  [](int x, int y) {
                    const bool inX = x >= 2 && x <= 11, inY = y >= 2 && y <= 8;
                    return inX && inY && (x == 2 || x == 11 || y == 2 || y == 8);
                  }},
        TThinCase{"rectangle solid", Op(TOpKind::Rectangle, {2, 2}, {12, 9}, {}, kSolidBlack),
                  [](int x, int y) { return x >= 2 && x <= 11 && y >= 2 && y <= 8; }},
        TThinCase{"rectangle given backwards",
                  Op(TOpKind::Rectangle, {12, 9}, {2, 2}, {}, kSolidBlack),
                  [](int x, int y) { return x >= 2 && x <= 11 && y >= 2 && y <= 8; }}),
    [](const auto& info) {
      std::string n = info.param.Name;
      for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return n;
    });

TEST(PainterPlayback, WidePenIsCentredOnThePixelRow) {
  TMetafileEx page = Page(40, 24);
  page.Ops.push_back(Op(TOpKind::Line, {10, 10}, {30, 10}, TPen{7}));
  const QImage image = Replay(page);
  // Seven rows centred on row 10; at mid-length nothing of the round ends interferes.
  for (int y = 0; y < 24; ++y)
    EXPECT_EQ(image.pixel(20, y), (y >= 7 && y <= 13) ? kBlackRgb : kWhiteRgb) << y;
  // Round ends reach beyond both end points.
  EXPECT_EQ(image.pixel(8, 10), kBlackRgb);
  EXPECT_EQ(image.pixel(32, 10), kBlackRgb);
  EXPECT_EQ(image.pixel(8, 7), kWhiteRgb);
}

// Qt turns a pen wider than 32767 into a hairline; such a pen (a paper kilometres wide)
// is drawn as wide as Qt allows instead, and a dot wider than that as an ellipse.
TEST(PainterPlayback, PensBeyondQtsLimitStayWide) {
  TMetafileEx page = Page(100, 100);
  page.Ops.push_back(Op(TOpKind::Line, {-50000, 50}, {50000, 50}, TPen{41660}));
  EXPECT_EQ(Ink(Replay(page)), QRect(0, 0, 100, 100));
  page.Ops = {Op(TOpKind::Ellipse, {-40000, -40000}, {40000, 40000})};
  EXPECT_EQ(Ink(Replay(page)), QRect(0, 0, 100, 100));
}

TEST(PainterPlayback, DottedPenLeavesGaps) {
  TMetafileEx page = Page(64, 4);
  page.Ops.push_back(Op(TOpKind::Line, {0, 1}, {60, 1}, TPen{1, TPenStyle::psDot}));
  const QImage image = Replay(page);
  int painted = 0;
  for (int x = 0; x < 64; ++x) painted += image.pixel(x, 1) == kBlackRgb ? 1 : 0;
  EXPECT_GT(painted, 10);
  EXPECT_LT(painted, 40);
  EXPECT_EQ(Ink(image).top(), 1);
  EXPECT_EQ(Ink(image).bottom(), 1);
}

class RoundDot : public ::testing::TestWithParam<int> {};

// A round dot (drawn as a zero-length round-capped line) covers exactly its bounding
// rectangle x1..x2-1, symmetric, with about the area of the circle.
TEST_P(RoundDot, FillsTheInscribedCircle) {
  const int d = GetParam();
  TMetafileEx page = Page(40, 40);
  page.Ops.push_back(Op(TOpKind::Ellipse, {10, 12}, {10 + d, 12 + d}));
  const QImage image = Replay(page);
  EXPECT_EQ(Ink(image), QRect(10, 12, d, d));
  int area = 0;
  for (int y = 0; y < d; ++y)
    for (int x = 0; x < d; ++x) {
      const bool on = image.pixel(10 + x, 12 + y) == kBlackRgb;
      area += on ? 1 : 0;
      EXPECT_EQ(on, image.pixel(10 + d - 1 - x, 12 + y) == kBlackRgb);
      EXPECT_EQ(on, image.pixel(10 + x, 12 + d - 1 - y) == kBlackRgb);
    }
  EXPECT_NEAR(area, 3.14159 * d * d / 4, d * d * 0.12 + 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundDot, ::testing::Values(1, 2, 3, 5, 7, 8, 14, 21));

// Antialiased, small dots are filled as squares of the same area and large ones drawn
// round: either way the ink is the dot's area.
TEST(PainterPlayback, AntialiasedDotsKeepTheirArea) {
  TMetafileEx page = Page(400, 400);
  for (int y = 20; y < 400; y += 40)
    for (int x = 20; x < 400; x += 40)
      page.Ops.push_back(Op(TOpKind::Ellipse, {x, y}, {x + 7, y + 7}));
  for (const int side : {100, 400}) {
    QImage image = White(side, side);
    {
      QPainter p(&image);
      DrawPage(p, page, {0, 0, side, side}, true);
    }
    double ink = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) ink += (255 - qGray(image.pixel(x, y))) / 255.0;
    const double scale = side / 400.0;
    const double expected = 100 * 3.14159 * (7 * scale) * (7 * scale) / 4;
    EXPECT_NEAR(ink, expected, expected * 0.12) << side;
  }
}

// Small dots, gathered to be filled together, are painted in the page's order among the
// other shapes, aliased or not: a fill recorded after a dot covers it, and dots of other
// colours keep their colour.
TEST(PainterPlayback, SmallDotsKeepThePageOrder) {
  TMetafileEx page = Page(40, 40);
  const TBrush red{TBrushStyle::bsSolid, 0x0000FF};
  const TBrush white{TBrushStyle::bsSolid, 0xFFFFFF};
  page.Ops = {Op(TOpKind::Ellipse, {4, 4}, {8, 8}),
              Op(TOpKind::FillRect, {0, 0}, {20, 20}, {}, white),
              Op(TOpKind::Ellipse, {24, 4}, {28, 8}, TPen{1, TPenStyle::psSolid, 0x0000FF}, red),
              Op(TOpKind::Ellipse, {4, 24}, {8, 28})};
  for (const bool antialiased : {false, true}) {
    QImage image = White(10, 10);
    {
      QPainter p(&image);
      DrawPage(p, page, {0, 0, 10, 10}, antialiased);
    }
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255)) << antialiased;
    EXPECT_GT(qRed(image.pixel(6, 1)), qGreen(image.pixel(6, 1)) + 50) << antialiased;
    EXPECT_LT(qGray(image.pixel(1, 6)), 200) << antialiased;
  }
}

TEST(PainterPlayback, EllipseWithOtherOutlineKeepsItsOutline) {
  TMetafileEx page = Page(40, 40);
  TPen red{1, TPenStyle::psSolid, 0x0000FF};
  page.Ops.push_back(Op(TOpKind::Ellipse, {5, 5}, {35, 25}, red, kClear));
  const QImage image = Replay(page);
  EXPECT_EQ(Ink(image), QRect(5, 5, 30, 20));
  EXPECT_EQ(image.pixel(20, 15), kWhiteRgb);  // clear inside
  EXPECT_EQ(image.pixel(5, 15), qRgb(255, 0, 0));
}

TEST(PainterPlayback, PolygonIsFilledAndClosed) {
  TMetafileEx page = Page(30, 30);
  page.Polygons.push_back({{5, 5}, {25, 5}, {25, 25}, {5, 25}, {5, 5}});
  TRecordedOp op = Op(TOpKind::Polygon, {}, {});
  op.Index = 0;
  page.Ops.push_back(op);
  const QImage image = Replay(page);
  EXPECT_EQ(Ink(image), QRect(5, 5, 21, 21));
  EXPECT_EQ(image.pixel(15, 15), kBlackRgb);
}

TEST(PainterPlayback, BadIndexesAndEmptyPagesDrawNothing) {
  TMetafileEx page = Page(20, 20);
  TRecordedOp poly = Op(TOpKind::Polygon, {}, {});
  poly.Index = 3;
  TRecordedOp text = Op(TOpKind::Text, {}, {});
  text.Index = -1;
  page.Ops = {poly, text};
  EXPECT_EQ(Ink(Replay(page)), QRect());
  TMetafileEx empty;
  QImage image = White(10, 10);
  QPainter p(&image);
  DrawPage(p, empty, {0, 0, 10, 10});
  p.end();
  EXPECT_EQ(Ink(image), QRect());
}

TEST(PainterPlayback, ColoursAreRedLowByte) {
  TMetafileEx page = Page(10, 10);
  page.Ops.push_back(
      Op(TOpKind::FillRect, {0, 0}, {5, 10}, {}, TBrush{TBrushStyle::bsSolid, 0x0000FF}));
  page.Ops.push_back(
      Op(TOpKind::FillRect, {5, 0}, {10, 10}, {}, TBrush{TBrushStyle::bsSolid, 0xFF0000}));
  const QImage image = Replay(page);
  EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(7, 2), qRgb(0, 0, 255));
}

// ---------------------------------------------------------------------------------------
// Scaling and clipping.

TEST(PainterPlayback, FrameIsScaledToTheDestination) {
  TMetafileEx page = Page(100, 50);
  page.Ops.push_back(Op(TOpKind::FillRect, {10, 10}, {20, 30}));
  const QImage image = Replay(page, 300, 200, {50, 20, 250, 120});  // x2, y2
  EXPECT_EQ(Ink(image), QRect(50 + 20, 20 + 20, 20, 40));
}

TEST(PainterPlayback, ClipIsLiftedForTheReplayAndRestored) {
  TMetafileEx page = Page(40, 40);
  page.Ops.push_back(Op(TOpKind::FillRect, {0, 0}, {40, 40}));
  QImage image = White(40, 40);
  QPainter p(&image);
  p.setClipRect(QRect(0, 0, 10, 10));
  p.setPen(QPen(Qt::red));
  DrawPage(p, page, {0, 0, 40, 40});
  EXPECT_TRUE(p.hasClipping());
  EXPECT_EQ(p.clipBoundingRect(), QRectF(0, 0, 10, 10));
  EXPECT_EQ(p.pen().color(), QColor(Qt::red));
  EXPECT_TRUE(p.transform().isIdentity());
  p.fillRect(QRect(0, 0, 40, 40), Qt::white);  // the clip still applies afterwards
  p.end();
  EXPECT_EQ(image.pixel(5, 5), kWhiteRgb);
  EXPECT_EQ(image.pixel(30, 30), kBlackRgb);  // the replay drew outside the clip
}

TEST(PainterPlayback, RestoreWithoutSaveDoesNothing) {
  QImage image = White(4, 4);
  QPainter p(&image);
  p.setClipRect(QRect(0, 0, 2, 2));
  TPainterPlayback target(p);
  target.RestoreClip();
  EXPECT_TRUE(p.hasClipping());
  target.SaveAndRemoveClip();
  EXPECT_FALSE(target.HasClip());
  target.RestoreClip();
  EXPECT_TRUE(target.HasClip());
}

// ---------------------------------------------------------------------------------------
// Text placement.

TRecordedText PageText(const char16_t* text, const char16_t* face, int points, int orientation) {
  TRecordedText t;
  t.Text = text;
  t.Font.SetPixelsPerInch(600);
  t.Font.SetName(face);
  t.Font.SetSize(points);
  t.Orientation = orientation;
  return t;
}

struct TTextCase {
  const char16_t* Face;
  int Orientation;
};

class TextPlacement : public ::testing::TestWithParam<TTextCase> {};

// Horizontal: the text's cell lies right of and below (x, y). At 2700 (vertical writing
// with "@", or turned text without): placed at x it occupies x - height to x and runs
// down from y. The extents are those the recorder measures.
TEST_P(TextPlacement, InkStaysInTheMeasuredCell) {
  const TTextCase& c = GetParam();
  const TRecordedText t = PageText(u"原稿用紙Ab1", c.Face, 12, c.Orientation);
  const TTextExtent e = TQtTextMeasurer().Measure(t.Font, t.Text, 600, 600);
  ASSERT_GT(e.Width, 0);
  ASSERT_GT(e.Height, 0);
  TMetafileEx page = Page(1200, 1200);
  page.Texts.push_back(t);
  TRecordedOp op = Op(TOpKind::Text, {600, 100}, {}, {}, kClear);
  op.Index = 0;
  page.Ops.push_back(op);
  const QRect ink = Ink(Replay(page));
  ASSERT_FALSE(ink.isNull());
  QRect cell = c.Orientation == 2700 ? QRect(600 - e.Height, 100, e.Height, e.Width)
                                     : QRect(600, 100, e.Width, e.Height);
  EXPECT_TRUE(cell.adjusted(-2, -2, 2, 2).contains(ink))
      << "cell " << cell.x() << "," << cell.y() << " " << cell.width() << "x" << cell.height()
      << " ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
  // The text fills its length.
  const int length = c.Orientation == 2700 ? ink.height() : ink.width();
  EXPECT_GT(length, (c.Orientation == 2700 ? e.Width : e.Width) * 8 / 10);
}

INSTANTIATE_TEST_SUITE_P(Faces, TextPlacement,
                         ::testing::Values(TTextCase{u"ＭＳ 明朝", 0}, TTextCase{u"Tahoma", 0},
                                           TTextCase{u"@ＭＳ 明朝", 2700},
                                           TTextCase{u"@Tahoma", 2700},
                                           TTextCase{u"ＭＳ ゴシック", 2700}));

TEST(PainterPlayback, SolidBrushPaintsTheTextCell) {
  const TRecordedText t = PageText(u"枠", u"ＭＳ ゴシック", 10, 0);
  const TTextExtent e = TQtTextMeasurer().Measure(t.Font, t.Text, 600, 600);
  TMetafileEx page = Page(400, 400);
  page.Texts.push_back(t);
  TRecordedOp op = Op(TOpKind::Text, {100, 100}, {}, {}, TBrush{TBrushStyle::bsSolid, 0x00FF00});
  op.Index = 0;
  page.Ops.push_back(op);
  const QImage image = Replay(page);
  EXPECT_EQ(image.pixel(101, 101), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(100 + e.Width - 2, 100 + e.Height - 2), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(100 + e.Width + 2, 100 + e.Height / 2), kWhiteRgb);
}

// ---------------------------------------------------------------------------------------
// Whole sheets: recorded and replayed, or drawn directly, give the same pixels.

using TSets = std::vector<std::string>;

// Sets each "Field=Value" of `sets` as the command line's --set does.
::testing::AssertionResult ApplySets(TPrintSetting& s, const TSets& sets) {
  for (const std::string& set : sets) {
    const auto eq = set.find('=');
    const TSettingField* field = FindSettingField(set.substr(0, eq));
    if (eq == std::string::npos || !field ||
        !SetFieldFromText(s, *field, set.substr(eq + 1), nullptr))
      return ::testing::AssertionFailure() << "cannot set " << set;
  }
  return ::testing::AssertionSuccess();
}

class SheetReplay : public ::testing::TestWithParam<TSets> {};

TEST_P(SheetReplay, ReplayEqualsDirectDrawing) {
  TVirtualPrinter printer;
  ASSERT_TRUE(printer.SetResolution(200, 200));
  TPrintSetting base = FirstStartSettings(printer, u"A4");
  ASSERT_TRUE(ApplySets(base, GetParam()));
  PrepareForDrawing(base, printer);
  const TQtTextMeasurer measurer;
  const TPrinterInfo& info = base.PrinterInfo;

  TPrintSetting recorded = base;
  TPrintPreview preview(printer, measurer);
  ASSERT_TRUE(RecordSheet(recorded, preview).Drawn);
  const TMetafileEx& page = *preview.GetPage(0);
  ASSERT_GT(page.Ops.size(), 10u);
  const QImage replayed = Replay(page);

  TPrintSetting direct = base;
  QImage drawn = White(info.HorzRes, info.VertRes);
  {
    QPainter p(&drawn);
    TDirectCanvas canvas(p, measurer, info.LogPixelsX, info.LogPixelsY);
    canvas.Font.SetPixelsPerInch(info.LogPixelsY);
    canvas.Font.SetSize(9);
    canvas.AssignFont(MainWindowFont());
    ASSERT_TRUE(DrawSheet(direct, &canvas));
  }
  EXPECT_EQ(Differences(replayed, drawn), 0);
  EXPECT_FALSE(Ink(replayed).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, SheetReplay,
    ::testing::Values(TSets{}, TSets{"Tategaki=0", "LineType=2", "OrimeLineType=1"},
                      TSets{"LineType=1", "Orime=2", "Gyobi=2", "OrimeLineType=3"},
                      TSets{"LineType=3", "Tate=40", "Yoko=40"},
                      TSets{"CenterCaption=中央「題」ー", "BottomCaption=下部AB12", "TitleUL=上左",
                            "TitleLU=左上の縦書き", "TitleRD=右下12", "TitleBR=下右",
                            "PageNumberTitle=No.", "TitleULFont=IPAMincho,14,bold,italic"},
                      TSets{"Tategaki=0", "CenterCaption=中央", "BottomCaption=下", "PN_UL=1",
                            "PN_BR=1", "PageNumberTitle=頁", "OuterLine=0"}));

// ---------------------------------------------------------------------------------------
// A replay limited to a visible rectangle paints the same pixels there as a full replay.

struct TVisibleCase {
  const char* name;
  double scale;    // device pixels per page unit
  QPointF offset;  // where the page's origin lies on the device
  QRect visible;
};

class VisibleReplay : public ::testing::TestWithParam<TVisibleCase> {};

TEST_P(VisibleReplay, PaintsTheVisiblePartLikeAFullReplay) {
  const TVisibleCase& c = GetParam();
  TVirtualPrinter printer;
  TPrintSetting s = FirstStartSettings(printer, u"A4");
  ASSERT_TRUE(ApplySets(s, {"Tate=40", "Yoko=40", "TitleUL=上の題", "CenterCaption=中央"}));
  PrepareForDrawing(s, printer);
  const TQtTextMeasurer measurer;
  TPrintPreview preview(printer, measurer);
  RecordSheet(s, preview);
  const TMetafileEx& page = *preview.GetPage(0);

  auto paint = [&](const QRectF& visible) {
    QImage image = White(600, 400);
    QPainter p(&image);
    p.translate(c.offset);
    p.scale(c.scale, c.scale);
    DrawPage(p, page, {0, 0, page.HorzRes, page.VertRes}, true, visible);
    return image;
  };
  const QImage full = paint(QRectF());
  const QImage limited = paint(QRectF(c.visible));
  int inkInside = 0, fullOutside = 0, limitedOutside = 0;
  for (int y = 0; y < full.height(); ++y) {
    for (int x = 0; x < full.width(); ++x) {
      const bool inside = c.visible.contains(x, y);
      if (inside) {
        ASSERT_EQ(limited.pixel(x, y), full.pixel(x, y)) << c.name << " at " << x << "," << y;
        inkInside += full.pixel(x, y) != kWhiteRgb;
      } else {
        fullOutside += full.pixel(x, y) != kWhiteRgb;
        limitedOutside += limited.pixel(x, y) != kWhiteRgb;
      }
    }
  }
  EXPECT_GT(inkInside, 0) << c.name;
  // Shapes far from the rectangle were left out.
  EXPECT_LT(limitedOutside, fullOutside / 2) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    , VisibleReplay,
    ::testing::Values(
        TVisibleCase{"reduced page, a band across the middle", 0.05, {50, 20}, {0, 150, 600, 40}},
        TVisibleCase{"reduced page, a small corner", 0.05, {50, 20}, {60, 25, 37, 29}},
        TVisibleCase{"enlarged page, a strip of a scroll", 1.37, {-2000, -3000}, {0, 380, 600, 20}},
        TVisibleCase{"enlarged page, an odd window", 1.37, {-2000, -3000}, {123, 77, 211, 99}}),
    [](const ::testing::TestParamInfo<TVisibleCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

}  // namespace
}  // namespace zelk
