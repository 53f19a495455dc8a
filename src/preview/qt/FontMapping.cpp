// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/FontMapping.h"

#include <fontconfig/fontconfig.h>

#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace zelk {
namespace {

enum class TGeneric { Serif, Sans, Mono };

struct TWindowsFace {
  const char16_t* Face;
  TGeneric Generic;
  bool Proportional;
};

// Japanese Windows faces that settings files name, by class. The full-width spellings
// are what Japanese Windows stores; the ASCII ones are the same faces' English names.
// MS UI Gothic and Meiryo are proportional sans-serif faces.
constexpr TWindowsFace kWindowsFaces[] = {
    {u"ＭＳ ゴシック", TGeneric::Mono, false},  {u"MS Gothic", TGeneric::Mono, false},
    {u"ＭＳ 明朝", TGeneric::Serif, false},     {u"MS Mincho", TGeneric::Serif, false},
    {u"ＭＳ Ｐゴシック", TGeneric::Sans, true}, {u"MS PGothic", TGeneric::Sans, true},
    {u"ＭＳ Ｐ明朝", TGeneric::Serif, true},    {u"MS PMincho", TGeneric::Serif, true},
    {u"MS UI Gothic", TGeneric::Sans, true},    {u"メイリオ", TGeneric::Sans, true},
    {u"Meiryo", TGeneric::Sans, true},
};

// Proportional Japanese families, best first; fontconfig's generic rules prefer the
// fixed-pitch faces of a family, so the P faces are looked for by name.
const std::vector<const char*> kProportionalSerif = {"IPAPMincho", "IPAexMincho", "TakaoPMincho"};
const std::vector<const char*> kProportionalSans = {"IPAPGothic", "IPAexGothic", "TakaoPGothic",
                                                    "VL PGothic"};

const TWindowsFace* FindWindowsFace(const QString& face) {
  for (const TWindowsFace& w : kWindowsFaces)
    if (face.compare(QString::fromUtf16(w.Face), Qt::CaseInsensitive) == 0) return &w;
  return nullptr;
}

const char* GenericName(TGeneric g) {
  switch (g) {
    case TGeneric::Serif:
      return "serif";
    case TGeneric::Mono:
      return "monospace";
    case TGeneric::Sans:
    default:
      return "sans-serif";
  }
}

struct TPatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using TPattern = std::unique_ptr<FcPattern, TPatternDeleter>;
struct TFontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using TFontSet = std::unique_ptr<FcFontSet, TFontSetDeleter>;

// A pattern for `family` (and `lang` when given) with the configuration's rules and the
// defaults applied, ready for matching.
TPattern Prepared(const QString& family, const char* lang) {
  TPattern p(FcPatternCreate());
  const QByteArray name = family.toUtf8();
  FcPatternAddString(p.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
  if (lang) FcPatternAddString(p.get(), FC_LANG, reinterpret_cast<const FcChar8*>(lang));
  FcConfigSubstitute(nullptr, p.get(), FcMatchPattern);
  FcDefaultSubstitute(p.get());
  return p;
}

QString FamilyOf(FcPattern* font) {
  FcChar8* family = nullptr;
  if (!font || FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch) return {};
  return QString::fromUtf8(reinterpret_cast<const char*>(family));
}

bool HasJapanese(FcPattern* font) {
  FcLangSet* langs = nullptr;
  return font && FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch &&
         FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
}

struct TMatch {
  QString Family;
  bool Japanese = false;
};

TMatch BestMatch(const QString& family, const char* lang = nullptr) {
  TPattern p = Prepared(family, lang);
  FcResult result = FcResultNoMatch;
  TPattern font(FcFontMatch(nullptr, p.get(), &result));
  return {FamilyOf(font.get()), HasJapanese(font.get())};
}

bool IsInstalled(const char* family) {
  TPattern p(FcPatternCreate());
  FcPatternAddString(p.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> os(
      FcObjectSetBuild(FC_FAMILY, nullptr), &FcObjectSetDestroy);
  TFontSet fonts(FcFontList(nullptr, p.get(), os.get()));
  return fonts && fonts->nfont > 0;
}

// The generic class fontconfig's rules give a family: the first generic name the
// configuration adds after it ("Times New Roman" → serif); sans-serif when none.
TGeneric GenericOf(const QString& family) {
  TPattern p = Prepared(family, nullptr);
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(p.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    const QByteArray n(reinterpret_cast<const char*>(name));
    if (n == "serif") return TGeneric::Serif;
    if (n == "monospace") return TGeneric::Mono;
    if (n == "sans-serif" || n == "sans") return TGeneric::Sans;
  }
  return TGeneric::Sans;
}

// The Japanese family of a class: the proportional faces by name where asked for and
// installed, else fontconfig's Japanese face of the class, else of the next class.
QString JapaneseFamilyFor(TGeneric generic, bool proportional) {
  if (proportional) {
    const auto& names = generic == TGeneric::Serif ? kProportionalSerif : kProportionalSans;
    for (const char* name : names)
      if (IsInstalled(name)) return QString::fromLatin1(name);
  }
  const TGeneric order[3][3] = {{TGeneric::Serif, TGeneric::Sans, TGeneric::Mono},
                                {TGeneric::Sans, TGeneric::Mono, TGeneric::Serif},
                                {TGeneric::Mono, TGeneric::Sans, TGeneric::Serif}};
  const int row = generic == TGeneric::Serif ? 0 : generic == TGeneric::Sans ? 1 : 2;
  QString first;
  for (TGeneric g : order[row]) {
    const TMatch m = BestMatch(QString::fromLatin1(GenericName(g)), "ja");
    if (m.Japanese) return m.Family;
    if (first.isEmpty()) first = m.Family;
  }
  return first;  // no Japanese font at all: the class's face, as fontconfig has it
}

// The class a Japanese face name shows, for faces fontconfig does not know (a file made
// where 游明朝, HG丸ゴシック or IPAMincho is installed, opened where it is not).
std::optional<TWindowsFace> ClassByName(const QString& face) {
  static const QRegularExpression kSerif(QStringLiteral("Mincho|明朝"),
                                         QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression kSans(QStringLiteral("Gothic|ゴシック|ｺﾞｼｯｸ"),
                                        QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression kProportional(
      QStringLiteral("PMincho|PGothic|[PＰ](明朝|ゴシック)|UI|ex"));
  const bool proportional = face.contains(kProportional);
  if (face.contains(kSerif)) return TWindowsFace{nullptr, TGeneric::Serif, proportional};
  if (face.contains(kSans)) return TWindowsFace{nullptr, TGeneric::Sans, proportional};
  return std::nullopt;
}

TResolvedFace Resolve(const QString& plain) {
  if (const TWindowsFace* w = FindWindowsFace(plain)) {
    const QString family = JapaneseFamilyFor(w->Generic, w->Proportional);
    return {family, family};
  }
  const TMatch m = BestMatch(plain);
  const bool installed = m.Family.compare(plain, Qt::CaseInsensitive) == 0;
  if (!installed) {
    if (const std::optional<TWindowsFace> byName = ClassByName(plain)) {
      const QString family = JapaneseFamilyFor(byName->Generic, byName->Proportional);
      return {family, family};
    }
  }
  if (m.Japanese) return {m.Family, m.Family};
  // Windows links its Latin faces to the proportional MS UI Gothic for Japanese text.
  return {m.Family.isEmpty() ? plain : m.Family, JapaneseFamilyFor(GenericOf(plain), true)};
}

std::mutex& CacheMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

bool IsVerticalFace(const QString& face) { return face.startsWith(QChar(kVerticalFaceMark)); }

bool IsVerticalFace(const std::u16string& face) {
  return !face.empty() && face.front() == kVerticalFaceMark;
}

QString HorizontalFace(const QString& face) { return IsVerticalFace(face) ? face.mid(1) : face; }

TResolvedFace ResolveFace(const QString& face) {
  QString plain = HorizontalFace(face).trimmed();
  if (plain.isEmpty()) plain = QStringLiteral("Tahoma");
  // Windows compares face names ignoring case; so does the cache.
  const QString key = plain.toCaseFolded();
  static std::map<QString, TResolvedFace> cache;
  {
    std::lock_guard<std::mutex> lock(CacheMutex());
    const auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  const TResolvedFace resolved = Resolve(plain);
  std::lock_guard<std::mutex> lock(CacheMutex());
  return cache.emplace(key, resolved).first->second;
}

QString InstalledFamily(const QString& face) { return ResolveFace(face).Family; }

QString JapaneseFallbackFamily(const QString& face) { return ResolveFace(face).JapaneseFamily; }

QString FamilyWithCharacter(const QString& family, char32_t ch) {
  static std::map<std::pair<QString, char32_t>, QString> cache;
  const auto key = std::make_pair(family, ch);
  {
    std::lock_guard<std::mutex> lock(CacheMutex());
    const auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  QString found;
  TPattern p = Prepared(family, nullptr);
  FcResult result = FcResultNoMatch;
  TFontSet fonts(FcFontSort(nullptr, p.get(), FcTrue, nullptr, &result));
  for (int i = 0; fonts && i < fonts->nfont && found.isEmpty(); ++i) {
    FcCharSet* chars = nullptr;
    if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch &&
        FcCharSetHasChar(chars, static_cast<FcChar32>(ch)))
      found = FamilyOf(fonts->fonts[i]);
  }
  std::lock_guard<std::mutex> lock(CacheMutex());
  return cache.emplace(key, found).first->second;
}

void InstallFontSubstitutions() {
  static const bool installed = [] {
    for (const TWindowsFace& w : kWindowsFaces) {
      const QString face = QString::fromUtf16(w.Face);
      const TResolvedFace resolved = ResolveFace(face);
      const QStringList families = resolved.Family == resolved.JapaneseFamily
                                       ? QStringList{resolved.Family}
                                       : QStringList{resolved.Family, resolved.JapaneseFamily};
      QFont::insertSubstitutions(face, families);
      QFont::insertSubstitutions(QChar(kVerticalFaceMark) + face, families);
    }
    return true;
  }();
  (void)installed;
}

int FontPixelSize(int points, int resolution) {
  if (resolution <= 0) return 1;
  const int64_t magnitude = std::llabs(static_cast<int64_t>(points));
  const int64_t px = (magnitude * resolution + 36) / 72;
  return static_cast<int>(std::clamp<int64_t>(px, 1, kMaxFontPixelSize));
}

QFont ToQFont(const TFont& font, int resolution) {
  const TResolvedFace face = ResolveFace(QString::fromStdU16String(font.Name()));
  QFont q;
  if (face.Family == face.JapaneseFamily)
    q.setFamilies({face.Family});
  else
    q.setFamilies({face.Family, face.JapaneseFamily});
  q.setPixelSize(FontPixelSize(font.Size(), resolution));
  q.setBold(font.Style().Bold);
  q.setItalic(font.Style().Italic);
  q.setUnderline(font.Style().Underline);
  q.setStrikeOut(font.Style().StrikeOut);
  q.setHintingPreference(QFont::PreferNoHinting);
  q.setKerning(false);
  return q;
}

TFont FromQFont(const QFont& font, int resolution, const TFont& base) {
  TFont f = base;
  f.SetName(font.family().toStdU16String());
  int points = font.pointSize();
  if (points <= 0 && font.pixelSize() > 0 && resolution > 0)
    points = (font.pixelSize() * 72 + resolution / 2) / resolution;
  f.SetSize(std::max(1, points));
  TFontStyles style;
  style.Bold = font.bold();
  style.Italic = font.italic();
  style.Underline = font.underline();
  style.StrikeOut = font.strikeOut();
  f.SetStyle(style);
  return f;
}

QColor PaperColor(TColor color) {
  if (IsSystemColor(color)) {
    switch (SystemColorIndex(color)) {
      case kColorWindow:
        return QColor(255, 255, 255);
      case kColorBtnFace:
        return QColor(240, 240, 240);
      default:
        return QColor(0, 0, 0);
    }
  }
  return RgbOf(color);
}

}  // namespace zelk
