#pragma once
// The program's own pictures (toolbars, picture buttons, the window icon).
// They are drawn as SVG in resources/icons and rendered to PNG at build time,
// once for each size a window shows them at and once at twice that size for
// 2x screens. Reading the SVGs at start-up meant loading Qt's SVG renderer and
// parsing some thirty files before the first camera frame could be shown.

#include <QIcon>
#include <QString>

namespace ui {

// The sizes, in pixels, the build renders every picture at
// (src/platform/ui/CMakeLists.txt), and the program's icon besides.
inline constexpr int kDrawnIconSizes[] = {TANDEO_DRAWN_ICON_SIZES};
inline constexpr int kProgramIconSizes[] = {TANDEO_PROGRAM_ICON_SIZES};
// The folder and drive lists' pictures ("folder", "drive").
inline constexpr int kListIconSize = 16;

// The picture `name` (resources/icons/<name>.svg) as shown at `size` pixels,
// one of kDrawnIconSizes (another size gives an empty icon and a warning).
// Nothing is read until the icon is first painted; a 2x screen gets the
// rendering at twice the size.
QIcon drawnIcon(const QString& name, int size);

// The program's own icon at every size a desktop asks a window for.
QIcon programIcon();

}  // namespace ui
