#include "platform/ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace ui {
namespace {

constexpr double kDesignDpi = 96.0;

const QScreen* primaryScreen() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
             ? QGuiApplication::primaryScreen()
             : nullptr;
}

}  // namespace

double twipsPerPixelForDpi(double logicalDpi) {
  if (!(logicalDpi > 0.0)) logicalDpi = kDesignDpi;
  return kTwipsPerInch / logicalDpi;
}

double twipsPerPixelX() {
  const QScreen* screen = primaryScreen();
  return twipsPerPixelForDpi(screen ? screen->logicalDotsPerInchX() : kDesignDpi);
}

double twipsPerPixelY() {
  const QScreen* screen = primaryScreen();
  return twipsPerPixelForDpi(screen ? screen->logicalDotsPerInchY() : kDesignDpi);
}

int twipsToPixelsX(double twips) {
  return static_cast<int>(std::lround(twips / twipsPerPixelX()));
}
int twipsToPixelsY(double twips) {
  return static_cast<int>(std::lround(twips / twipsPerPixelY()));
}
double pixelsToTwipsX(double pixels) {
  return pixels * twipsPerPixelX();
}
double pixelsToTwipsY(double pixels) {
  return pixels * twipsPerPixelY();
}

}  // namespace ui
