// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Face names as settings files carry them (Windows faces, "@" for vertical writing)
// turned into the faces installed here, and TFont turned into a QFont at a device's
// resolution.

#include <QColor>
#include <QFont>
#include <QString>

#include "base/Font.h"
#include "preview/qt/QtColor.h"

namespace zelk {

/// The mark that a face name carries for vertical writing ("@ＭＳ 明朝").
inline constexpr char16_t kVerticalFaceMark = u'@';

/// True when the face name begins with "@": the text is set in vertical writing.
bool IsVerticalFace(const QString& face);
bool IsVerticalFace(const std::u16string& face);

/// The face name without its leading "@" (one mark only); other names unchanged.
QString HorizontalFace(const QString& face);

/// How a face name is drawn here: the installed family that stands for it, and the
/// family that supplies the Japanese characters it lacks (the same family when it has
/// them). Faces are resolved through fontconfig, so any installed Japanese fonts serve
/// (IPA on Debian, Noto CJK on Ubuntu and Fedora, Source Han, Takao …):
///
/// | face in the file                    | resolved as                                  |
/// |-------------------------------------|----------------------------------------------|
/// | ＭＳ 明朝, MS Mincho                 | fontconfig's Japanese serif ("serif:lang=ja") |
/// | ＭＳ ゴシック, MS Gothic             | its Japanese monospace, else Japanese sans   |
/// | ＭＳ Ｐ明朝, MS PMincho              | a proportional Japanese serif where installed
/// (IPAPMincho, IPAexMincho, TakaoPMincho), else the Japanese serif | | ＭＳ Ｐゴシック, MS
/// PGothic, MS UI Gothic, メイリオ, Meiryo | a proportional Japanese sans where installed
/// (IPAPGothic, IPAexGothic, TakaoPGothic, VL PGothic), else the Japanese sans | | any other face
/// (Tahoma, Times New Roman, IPAMincho …) | fontconfig's best match for that family; Japanese
/// characters from the proportional Japanese face of the same class (serif or sans), as Windows
/// links Latin faces to MS UI Gothic |
///
/// A class without a Japanese face falls back to the other Japanese class, so that
/// Japanese text never loses its glyphs while any Japanese font is installed. A
/// leading "@" is removed first, so every "@" form maps like its plain form; Windows
/// names are compared ignoring case, as Windows compares face names. An empty name is
/// Tahoma. Results are cached for the life of the process (fonts installed while the
/// program runs are seen at the next start). Thread-safe.
struct TResolvedFace {
  QString Family;
  QString JapaneseFamily;
};
TResolvedFace ResolveFace(const QString& face);

/// ResolveFace(face).Family.
QString InstalledFamily(const QString& face);

/// ResolveFace(face).JapaneseFamily.
QString JapaneseFallbackFamily(const QString& face);

/// The installed family, in fontconfig's order of fallback for `family`, whose font has
/// a glyph for `ch`: the family itself when it has one. Empty when no installed font
/// has it. Cached; thread-safe.
QString FamilyWithCharacter(const QString& family, char32_t ch);

/// Registers the Windows faces with QFont::insertSubstitution, so that a QFont made
/// directly from a Windows face name also finds the installed family. Idempotent; cheap after the
/// first call. ToQFont does not need it.
void InstallFontSubstitutions();

/// The largest pixel size a font is given: beyond it the font engine cannot scale
/// glyphs, and a broken size from a file could make one glyph cover kilometres.
inline constexpr int kMaxFontPixelSize = 16384;

/// The em height in device pixels of a font of `points` on a device of `resolution`
/// pixels per inch: points x resolution / 72 rounded (halves away from zero), as a
/// Windows font of that point size is created. A negative size (a positive Windows
/// height, which counts the internal leading) is taken by its magnitude. The result lies
/// within 1..kMaxFontPixelSize, also for a size of 0 or a resolution of 0 or less.
int FontPixelSize(int points, int resolution);

/// The QFont that draws `font` on a device of `resolution` pixels per inch, keeping its
/// point size: the installed family of its face ("@" removed), pixel size
/// FontPixelSize(Size(), resolution), bold, italic, underline and strike-out from its
/// style. The Japanese family follows as the second family, and hinting is off, so that text
/// measures in proportion to the resolution: the same text has the same physical size
/// on the screen, a 600 dpi printer and a PDF.
QFont ToQFont(const TFont& font, int resolution);

/// The TFont for a QFont chosen by the user (a font dialog) on a device of `resolution`
/// pixels per inch: its family as the name, its point size (from the pixel size when
/// the QFont has one), its style; the colour, character set and pitch of `base`, whose
/// pixels per inch it keeps.
TFont FromQFont(const QFont& font, int resolution, const TFont& base);

/// The colour a TColor stands for. RGB values have red in the low byte. A system-colour
/// reference (top byte 0xFF) gives the colour printed for it: white for the window
/// background (index 5), light grey for button faces (15), black for the rest, among
/// them the window text (8) that every font starts with.
QColor PaperColor(TColor color);

}  // namespace zelk
