// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The long text the composing benchmarks set: about 40,000 characters, a hundred pages
// of 20 x 20, in paragraphs of about 130 with ruby, brackets and digits.

#include <string>

namespace zelk {

inline std::u16string HundredPages() {
  const std::u16string paragraph =
      u"　朝の光が机の上の原稿用紙《げんこうようし》を照らしている。「何を書こうか。」"
      u"私はそうつぶやいて、鉛筆を削った。去年の夏、祖母の家で古い帳面を見つけた。"
      u"そこには1962年の日付と、几帳面《きちょうめん》な字で書かれた買い物の記録が並んで"
      u"いた。豆腐、醤油、ちょっとした菓子……。\n";
  std::u16string text;
  while (text.size() < 40000) text += paragraph;
  return text;
}

}  // namespace zelk
