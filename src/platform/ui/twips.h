#pragma once
// Window positions and sizes of the original design are in twips (1/1440 inch);
// they become pixels through the screen's logical DPI: 15 twips per pixel at 96 DPI.

namespace ui {

inline constexpr double kTwipsPerInch = 1440.0;

// Pure conversion, for a given logical DPI (a DPI of 0 or less counts as 96).
double twipsPerPixelForDpi(double logicalDpi);

// The factors of the primary screen (15 when there is no screen at all).
double twipsPerPixelX();
double twipsPerPixelY();

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);

}  // namespace ui
