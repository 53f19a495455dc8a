// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FontChoice.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <climits>
#include <cstdlib>

#include "preview/qt/FontMapping.h"

namespace zelk {
namespace {

// The installed style of `family` with the slant of `font`, the weight nearest to it
// and the normal width; the first in the database's order on a tie. Empty when the
// family has none. The slant is read from the style's font, since the database calls
// only "Italic" styles italic and not "Oblique" ones.
QString MatchingStyle(const QString& family, const QFont& font) {
  static const QRegularExpression kWidth(
      QStringLiteral("Condensed|Expanded|Narrow|Wide|Compressed|Extended"),
      QRegularExpression::CaseInsensitiveOption);
  QString best;
  int bestDistance = INT_MAX;
  for (const QString& style : QFontDatabase::styles(family)) {
    const QFont styled = QFontDatabase::font(family, style, 10);
    if ((styled.style() != QFont::StyleNormal) != font.italic()) continue;
    const int distance =
        std::abs(styled.weight() - font.weight()) * 2 + (style.contains(kWidth) ? 1 : 0);
    if (distance < bestDistance) {
      best = style;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

QFont DialogFontFor(const TFont& font, int resolution) {
  QFont f = ToQFont(font, resolution);
  const QString family = InstalledFamily(QString::fromStdU16String(font.Name()));
  f.setFamily(family);
  f.setPointSize(font.Size() > 0 ? font.Size() : 8);
  const QString style = MatchingStyle(family, f);
  if (!style.isEmpty()) f.setStyleName(style);
  return f;
}

bool SameDialogChoice(const QFont& a, const QFont& b) {
  return a.family() == b.family() && a.styleName() == b.styleName() && a.bold() == b.bold() &&
         a.italic() == b.italic() && a.pointSize() == b.pointSize() &&
         a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}

}  // namespace zelk
