// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DesignScale.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "base/Font.h"
#include "preview/qt/FontMapping.h"

static void InitIconsResource() { Q_INIT_RESOURCE(icons); }

namespace zelk {

namespace {
constexpr int kDesignDpi = 96;
constexpr double kDesignLineHeight = 13.0;  // Tahoma 8 pt at 96 dpi
}  // namespace

TDesignScale TDesignScale::For(const QFont& font, int logicalDpi) {
  if (logicalDpi <= 0) logicalDpi = kDesignDpi;
  const double dpiFactor = static_cast<double>(logicalDpi) / kDesignDpi;
  const double line = QFontMetrics(font).height();
  const double fontFactor = line / (kDesignLineHeight * dpiFactor);
  return TDesignScale(dpiFactor * (fontFactor > 1.0 ? fontFactor : 1.0));
}

int TDesignScale::operator()(int designed) const {
  return static_cast<int>(std::lround(designed * factor_));
}

QRect TDesignScale::Rect(int left, int top, int width, int height) const {
  const int l = (*this)(left);
  const int t = (*this)(top);
  return QRect(l, t, (*this)(left + width) - l, (*this)(top + height) - t);
}

QFont WindowFont(int logicalDpi) {
  return ToQFont(MainWindowFont(), logicalDpi > 0 ? logicalDpi : kDesignDpi);
}

void InitUiResources() {
  static const bool done = (InitIconsResource(), true);
  (void)done;
}

int ScreenLogicalDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return kDesignDpi;
  const int dpi = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace zelk
