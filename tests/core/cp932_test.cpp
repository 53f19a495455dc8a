// SPDX-License-Identifier: GPL-3.0-or-later
// Code page 932 conversion: the Windows mapping, "?" for unmappable characters, U+FFFD
// for invalid bytes, and nothing lost after a bad spot.

#include "settings/Cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk {
namespace {

struct TEncodeCase {
  const char* Name;
  std::u16string Text;
  std::string Bytes;
};

class Cp932Encode : public ::testing::TestWithParam<TEncodeCase> {};

TEST_P(Cp932Encode, GivesTheWindowsBytes) {
  EXPECT_EQ(Utf16ToCp932(GetParam().Text), GetParam().Bytes) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cp932Encode,
    ::testing::Values(
        TEncodeCase{"setting name", u"印刷設定", "\x88\xF3\x8D\xFC\x90\xDD\x92\xE8"},
        TEncodeCase{"ascii", u"A4", "A4"}, TEncodeCase{"empty", u"", ""},
        TEncodeCase{"NEC circled one", u"①", "\x87\x40"},
        TEncodeCase{"IBM extension", u"髙", "\xFB\xFC"},
        TEncodeCase{"fullwidth tilde", u"\uFF5E", "\x81\x60"},
        TEncodeCase{"wave dash mapped leniently", u"\u301C", "\x81\x60"},
        TEncodeCase{"minus sign", u"\u2212", "\x81\x7C"},
        TEncodeCase{"yen sign", u"\u00A5", "\x5C"},
        TEncodeCase{"halfwidth katakana", u"\uFF71", "\xB1"},
        TEncodeCase{"latin e acute", u"caf\u00E9", "caf?"},
        TEncodeCase{"two unmappable", u"\u00E9\u00E9x", "??x"},
        TEncodeCase{"hangul", u"\uD55C\u5B57", "?\x8E\x9A"},
        TEncodeCase{"surrogate pair is one character", u"a\U0001F600b", "a?b"},
        TEncodeCase{"two pairs", u"\U0001F600\U00020BB7", "??"},
        TEncodeCase{"lone high surrogate", std::u16string(u"a") + char16_t(0xD800) + u"b", "a?b"},
        TEncodeCase{"lone low surrogate", std::u16string(u"a") + char16_t(0xDC00) + u"b", "a?b"},
        TEncodeCase{"high surrogate at the end", std::u16string(u"a") + char16_t(0xD83D), "a?"},
        TEncodeCase{"high then high",
                    std::u16string(u"") + char16_t(0xD800) + char16_t(0xD800) + u"z", "??z"},
        TEncodeCase{"nul kept", std::u16string(u"a\0b", 3), std::string("a\0b", 3)}),
    [](const ::testing::TestParamInfo<TEncodeCase>& info) { return std::to_string(info.index); });

struct TDecodeCase {
  const char* Name;
  std::string Bytes;
  std::u16string Text;
};

class Cp932Decode : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(Cp932Decode, GivesTheText) {
  EXPECT_EQ(Cp932ToUtf16(GetParam().Bytes), GetParam().Text) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cp932Decode,
    ::testing::Values(TDecodeCase{"setting name", "\x88\xF3\x8D\xFC\x90\xDD\x92\xE8", u"印刷設定"},
                      TDecodeCase{"0x8160 is the fullwidth tilde", "\x81\x60", u"\uFF5E"},
                      TDecodeCase{"NEC row 13", "\x87\x40", u"①"},
                      TDecodeCase{"NEC-selected IBM extension", "\xED\x40", u"\u7E8A"},
                      TDecodeCase{"IBM extension", "\xFA\x5C", u"\u7E8A"},
                      TDecodeCase{"user-defined area", "\xF0\x40", u"\uE000"},
                      TDecodeCase{"undefined single byte",
                                  "A\x80"
                                  "B",
                                  u"A\uFFFDB"},
                      TDecodeCase{"0xA0", "\xA0", u"\uFFFD"},
                      TDecodeCase{"0xFF and 0xFD", "\xFF\xFDz", u"\uFFFD\uFFFDz"},
                      TDecodeCase{"lead byte at the end", "A\x81", u"A\uFFFD"},
                      TDecodeCase{"bad trail byte keeps the next character", "\x81\x20x",
                                  u"\uFFFD x"},
                      TDecodeCase{"bad spot in the middle", "\x88\xF3\x80\x90\xDD", u"印\uFFFD設"},
                      TDecodeCase{"empty", "", u""}),
    [](const ::testing::TestParamInfo<TDecodeCase>& info) { return std::to_string(info.index); });

// Every character the code page decodes encodes to bytes that decode to it again, so a
// text read from a file survives being saved and read once more.
TEST(Cp932, EveryDoubleByteCharacterSurvivesAnotherRoundTrip) {
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;  // single-byte katakana, not lead bytes
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = Cp932ToUtf16(bytes);
      if (text.find(u'\uFFFD') != std::u16string::npos) continue;
      ASSERT_EQ(text.size(), 1u) << std::hex << lead << trail;
      EXPECT_EQ(Cp932ToUtf16(Utf16ToCp932(text)), text) << std::hex << lead << trail;
      ++characters;
    }
  }
  // JIS X 0208, NEC and IBM extensions and the user-defined area: far more than 7000.
  EXPECT_GT(characters, 9000);
}

TEST(Cp932, LongTextsKeepEveryCharacter) {
  std::u16string text;
  for (int i = 0; i < 20000; ++i) text += (i % 3 == 0) ? u"漢" : (i % 3 == 1) ? u"a" : u"\u00E9";
  const std::string bytes = Utf16ToCp932(text);
  EXPECT_EQ(bytes.size(), 20000u / 3 * 4 + 2 + 1);  // 6667 x 2 + 6667 + 6666
  std::u16string expected = text;
  for (auto& c : expected)
    if (c == u'\u00E9') c = u'?';
  EXPECT_EQ(Cp932ToUtf16(bytes), expected);
}

// What a save reports: each character the file does not keep, and what it keeps instead.
TEST(Cp932, SubstitutionsNameTheCharacterAndItsStandIn) {
  const struct {
    std::u16string Original;
    std::u16string Stored;
  } cases[] = {{u"¥", u"\\"}, {u"〜", u"～"}, {u"—", u"―"}, {u"‖", u"∥"},
               {u"−", u"－"}, {u"¬", u"￢"},  {u"‾", u"~"}, {u"😀", u"?"}};
  for (const auto& c : cases) {
    const auto found = Cp932Substitutions(u"原" + c.Original + u"稿" + c.Original);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Original, c.Original);
    EXPECT_EQ(found[0].Stored, c.Stored);
  }
  EXPECT_TRUE(Cp932Substitutions(u"原稿用紙 A4").empty());
}

}  // namespace
}  // namespace zelk
