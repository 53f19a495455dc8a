// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual printer's geometry and the printer page-geometry record.

#include <gtest/gtest.h>

#include "preview/PrinterQuery.h"
#include "preview/VirtualPrinter.h"

namespace zelk {
namespace {

TPrinterInfo InfoOf(const TPrinterDevice& printer) {
  TPrinterInfo info;
  GetPrinterInfo(info, printer);
  return info;
}

struct PaperCase {
  const char* name;
  const char* paper;
  int dpiX, dpiY;
  int32_t width, height;
};

class VirtualPaperTest : public ::testing::TestWithParam<PaperCase> {};

TEST_P(VirtualPaperTest, PixelSizeIsTheNearestEvenCount) {
  const auto& c = GetParam();
  TVirtualPrinter printer;
  const auto paper = ParsePaperSize(c.paper);
  ASSERT_TRUE(paper);
  ASSERT_TRUE(printer.SetPaper(*paper));
  ASSERT_TRUE(printer.SetResolution(c.dpiX, c.dpiY));
  EXPECT_EQ(printer.GetDeviceCaps(TDeviceCap::PhysicalWidth), c.width);
  EXPECT_EQ(printer.GetDeviceCaps(TDeviceCap::PhysicalHeight), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Papers, VirtualPaperTest,
    ::testing::Values(
        // 4960.6 -> 4960 and 7015.7 -> 7016: what 600-dpi laser drivers report for A4.
        PaperCase{"a4_600", "A4", 600, 600, 4960, 7016},
        // JIS B4 is 257 x 364 mm, not ISO's 250 x 353.
        PaperCase{"jis_b4_600", "b4", 600, 600, 6070, 8598},
        PaperCase{"jis_b5_600", "B5", 600, 600, 4300, 6070},
        PaperCase{"letter_600", "Letter", 600, 600, 5100, 6600},
        PaperCase{"a4_300", "A4", 300, 300, 2480, 3508},
        PaperCase{"exact_at_254", "210x297", 254, 254, 2100, 2970},
        PaperCase{"anisotropic", "A4", 600, 300, 4960, 3508}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParsePaperSize, RejectsWhatIsNoPaper) {
  for (const char* bad : {"", "A6", "x", "10x", "x10", "0x10", "10x0", "-5x10", "1e3x10", "5001x10",
                          "10x10x10", "10,5x10", "nan x 10"}) {
    EXPECT_FALSE(ParsePaperSize(bad)) << bad;
  }
  const auto custom = ParsePaperSize("182.5X257");
  ASSERT_TRUE(custom);
  EXPECT_DOUBLE_EQ(custom->WidthMm, 182.5);
  EXPECT_DOUBLE_EQ(custom->HeightMm, 257);
  EXPECT_TRUE(custom->Name.empty());
}

TEST(VirtualPrinter, DefaultsToA4At600WithoutMargins) {
  TVirtualPrinter printer;
  const TPrinterInfo info = InfoOf(printer);
  EXPECT_EQ(info.LogPixelsX, 600);
  EXPECT_EQ(info.LogPixelsY, 600);
  EXPECT_EQ(info.PhysicalWidth, 4960);
  EXPECT_EQ(info.PhysicalHeight, 7016);
  EXPECT_EQ(info.HorzRes, 4960);
  EXPECT_EQ(info.VertRes, 7016);
  EXPECT_EQ(info.PhysicalOffsetX, 0);
  EXPECT_EQ(info.PhysicalOffsetY, 0);
  EXPECT_EQ(printer.GetDeviceCaps(TDeviceCap::HorzSize), 210);
  EXPECT_EQ(printer.GetDeviceCaps(TDeviceCap::VertSize), 297);
  EXPECT_EQ(printer.PrinterName(), u"PDF ファイル");
}

TEST(VirtualPrinter, LandscapeTurnsResolutionsSizesAndOffsets) {
  TVirtualPrinter printer;
  ASSERT_TRUE(printer.SetResolution(600, 300));
  ASSERT_TRUE(printer.SetOffsets(100, 50));
  printer.SetOrientation(TPrinterOrientation::poLandscape);
  const TPrinterInfo info = InfoOf(printer);
  EXPECT_EQ(info.LogPixelsX, 300);
  EXPECT_EQ(info.LogPixelsY, 600);
  EXPECT_EQ(info.PhysicalWidth, 3508);
  EXPECT_EQ(info.PhysicalHeight, 4960);
  EXPECT_EQ(info.PhysicalOffsetX, 50);
  EXPECT_EQ(info.PhysicalOffsetY, 100);
  EXPECT_EQ(info.HorzRes, 3508 - 2 * 50);
  EXPECT_EQ(info.VertRes, 4960 - 2 * 100);
  EXPECT_EQ(printer.GetDeviceCaps(TDeviceCap::HorzSize), 289);  // 3408 / 300 in = 288.5 mm
  EXPECT_EQ(printer.GetDeviceCaps(TDeviceCap::VertSize), 202);  // 4760 / 600 in = 201.51 mm
  EXPECT_GT(info.PaperWidthMm, info.PaperHeightMm) << "landscape reports the long side as width";
}

TEST(VirtualPrinter, RefusesGeometryWithoutAPrintableArea) {
  TVirtualPrinter printer;
  EXPECT_FALSE(printer.SetOffsets(-1, 0));
  EXPECT_FALSE(printer.SetOffsets(2480, 0));  // half of 4960: nothing left
  EXPECT_TRUE(printer.SetOffsets(2479, 0));
  EXPECT_FALSE(printer.SetPaper({u"", 10, 10})) << "236 px cannot hold two 2479 px margins";
  EXPECT_FALSE(printer.SetResolution(0, 600));
  EXPECT_FALSE(printer.SetResolution(600, TVirtualPrinter::kMaxDpi + 1));
  EXPECT_EQ(printer.OffsetX(), 2479);
  EXPECT_DOUBLE_EQ(printer.Paper().WidthMm, 210) << "a refused change leaves the paper";
}

TEST(PrinterInfo, MillimetresDivideFirstThenMultiply) {
  // 4960 / 600 x 25.4 = 209.97333...; 7016 / 600 x 25.4 = 297.01066...
  TVirtualPrinter printer;
  const TPrinterInfo info = InfoOf(printer);
  EXPECT_DOUBLE_EQ(info.PaperWidthMm, 4960.0 / 600 * 25.4);
  EXPECT_NEAR(info.PaperWidthMm, 209.97333333, 1e-8);
  EXPECT_NEAR(info.PaperHeightMm, 297.01066667, 1e-8);
  EXPECT_EQ(PixelsToMm(4960, 0), 0.0);
}

TEST(PrinterInfo, TwoCallsGiveTheSameRecord) {
  TVirtualPrinter printer;
  ASSERT_TRUE(printer.SetOffsets(83, 83));
  EXPECT_EQ(InfoOf(printer), InfoOf(printer));
}

}  // namespace
}  // namespace zelk
