#pragma once
// What the user reads in the source dialog: Turkish names for the common
// controls, their menu items and control classes, by V4L2 id; the driver's
// own words for everything else.

#include <QString>
#include <cstdint>

#include "platform/video/capturedevice.h"

namespace video {

QString controlLabel(const ControlInfo& control);
QString menuItemLabel(const ControlInfo& control, const MenuItem& item);
// The group title of a control class ("Görüntü" for the user class).
QString controlClassTitle(std::uint32_t controlClass, const std::string& driverName);
// Switches that make other controls inactive; restored to their default
// before the controls they free.
bool isAutoSwitch(const ControlInfo& control);

}  // namespace video
