#include "preview/qt/FontMapping.h"

#include <algorithm>
#include <cstdlib>

namespace zelk {
namespace {

struct TFaceSubstitution {
  const char16_t* Face;
  const char* Family;
};

// Windows faces that settings files name, with the installed face that stands for each.
// The full-width spellings are what Japanese Windows stores; the ASCII ones are the
// same faces' English names.
constexpr TFaceSubstitution kSubstitutions[] = {
    {u"ＭＳ ゴシック", "IPAGothic"},    {u"MS Gothic", "IPAGothic"},
    {u"ＭＳ 明朝", "IPAMincho"},        {u"MS Mincho", "IPAMincho"},
    {u"ＭＳ Ｐゴシック", "IPAPGothic"}, {u"MS PGothic", "IPAPGothic"},
    {u"ＭＳ Ｐ明朝", "IPAPMincho"},     {u"MS PMincho", "IPAPMincho"},
    {u"MS UI Gothic", "IPAPGothic"},    {u"メイリオ", "IPAPGothic"},
    {u"Meiryo", "IPAPGothic"},          {u"Tahoma", "DejaVu Sans"},
};

const TFaceSubstitution* FindSubstitution(const QString& face) {
  for (const TFaceSubstitution& s : kSubstitutions)
    if (face.compare(QString::fromUtf16(s.Face), Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

}  // namespace

bool IsVerticalFace(const QString& face) { return face.startsWith(QChar(kVerticalFaceMark)); }

bool IsVerticalFace(const std::u16string& face) {
  return !face.empty() && face.front() == kVerticalFaceMark;
}

QString HorizontalFace(const QString& face) { return IsVerticalFace(face) ? face.mid(1) : face; }

QString InstalledFamily(const QString& face) {
  QString plain = HorizontalFace(face).trimmed();
  if (plain.isEmpty()) plain = QStringLiteral("Tahoma");
  const TFaceSubstitution* s = FindSubstitution(plain);
  return s ? QString::fromLatin1(s->Family) : plain;
}

QString JapaneseFallbackFamily() { return InstalledFamily(QStringLiteral("MS UI Gothic")); }

void InstallFontSubstitutions() {
  static const bool installed = [] {
    for (const TFaceSubstitution& s : kSubstitutions) {
      const QString face = QString::fromUtf16(s.Face);
      const QString family = QString::fromLatin1(s.Family);
      QFont::insertSubstitution(face, family);
      QFont::insertSubstitution(QChar(kVerticalFaceMark) + face, family);
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
  const QString family = InstalledFamily(QString::fromStdU16String(font.Name()));
  QFont q;
  q.setFamilies({family, JapaneseFallbackFamily()});
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
