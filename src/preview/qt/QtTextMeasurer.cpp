// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/QtTextMeasurer.h"

#include <QFontMetricsF>
#include <cmath>

#include "preview/qt/FontMapping.h"
#include "preview/qt/VerticalText.h"

namespace zelk {
namespace {

int32_t ToDevice(qreal v) {
  if (!std::isfinite(v) || v <= 0) return 0;
  return v >= 2147483647.0 ? INT32_MAX : static_cast<int32_t>(std::lround(v));
}

}  // namespace

TTextExtent TQtTextMeasurer::Measure(const TFont& font, const std::u16string& text, int32_t resX,
                                     int32_t resY) const {
  const int32_t res = resY > 0 ? resY : resX;
  const qreal aspect = resX > 0 && resY > 0 ? static_cast<qreal>(resX) / resY : 1.0;
  const QFont qfont = ToQFont(font, res);
  const QString qtext = QString::fromStdU16String(text);
  TTextExtent extent;
  if (IsVerticalFace(font.Name())) {
    const QSizeF size = MeasureVerticalText(qfont, qtext);
    extent.Width = ToDevice(size.height());
    extent.Height = ToDevice(size.width() * aspect);
    return extent;
  }
  const QFontMetricsF metrics(qfont);
  extent.Width = ToDevice(metrics.horizontalAdvance(qtext) * aspect);
  extent.Height = ToDevice(metrics.height());
  return extent;
}

}  // namespace zelk
