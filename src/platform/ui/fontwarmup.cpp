#include "platform/ui/fontwarmup.h"

#include <fontconfig/fontconfig.h>

namespace ui {

// FcInit loads the current configuration once per process and is safe to
// race: when two threads load it at the same time, one copy is kept.
FontConfigurationWarmup::FontConfigurationWarmup() : thread_([] { FcInit(); }) {}

FontConfigurationWarmup::~FontConfigurationWarmup() = default;

}  // namespace ui
