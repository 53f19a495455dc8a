// SPDX-License-Identifier: GPL-3.0-or-later
// A text count read from a damaged file must not allocate what it claims: memory grows
// only with the bytes that really follow. Counts every allocation of this program.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "FileBytes.h"
#include "settings/FileFormat.h"
#include "settings/Fileiounit.h"

// The replacement operators below pair malloc with free themselves; GCC cannot see that
// through the standard library's inlined allocations.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<size_t> g_largest{0};
std::atomic<size_t> g_total{0};
}  // namespace

void* operator new(size_t n) {
  if (g_counting) {
    g_total += n;
    size_t seen = g_largest;
    while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {
    }
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace zelk {
namespace {

using namespace testing_bytes;

struct TAllocCase {
  const char* Name;
  bool Wide;
};

class HugeCount : public ::testing::TestWithParam<TAllocCase> {};

TEST_P(HugeCount, AllocatesOnlyWhatTheStreamHolds) {
  // 20 bytes: a count of 100 Mi units, then 16 bytes of text.
  const std::string bytes = I32(kMaxTextCount) + std::string("ABCDEFGHIJKLMNOP");
  ASSERT_EQ(bytes.size(), 20u);
  TMemoryReader r(bytes);
  g_largest = 0;
  g_total = 0;
  g_counting = true;
  const std::u16string text = GetParam().Wide ? ReadWideString(r) : ReadAnsiString(r);
  g_counting = false;
  EXPECT_EQ(text.size(), GetParam().Wide ? 8u : 16u);
  EXPECT_LT(g_largest.load(), 1024u) << GetParam().Name;
  EXPECT_LT(g_total.load(), 4096u) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(Table, HugeCount,
                         ::testing::Values(TAllocCase{"wide", true}, TAllocCase{"ansi", false}));

TEST(HugeCount, FontNameWithHugeCountAllocatesLittle) {
  const std::string bytes = I32(kFontName) + I32(kMaxTextCount) + "Mincho";
  TMemoryReader r(bytes);
  g_largest = 0;
  g_counting = true;
  const TFont font = ReadFont(r);
  g_counting = false;
  EXPECT_EQ(font.Name(), u"Mincho");
  EXPECT_LT(g_largest.load(), 1024u);
}

}  // namespace
}  // namespace zelk
