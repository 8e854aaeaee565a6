#pragma once
// The application's own style, unchanged but for one thing: a standard
// picture (the menu bar's and the tool bars' overflow arrows, the MDI
// sub-windows' system menu) is asked of the style the first time it is shown,
// not when the control is made. Most are never shown at all, and the first
// picture Qt reads by file name makes it load every image plugin installed
// (TIFF, WebP, MNG and the libraries under them) to ask each whether it
// reads the file: a few milliseconds of every start.

#include <QProxyStyle>

namespace ui {

class DeferredIconStyle final : public QProxyStyle {
 public:
  // `base`: the style to wrap (owned from then on), usually the application's.
  explicit DeferredIconStyle(QStyle* base);
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace ui
