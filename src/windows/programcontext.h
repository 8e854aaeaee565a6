#pragma once
// What the program's windows are given from outside instead of reaching for a
// process-wide setting: main() builds it from the machine, a test from its
// fakes, and the window registry hands it to every window it creates.

#include <memory>

#include "platform/video/deviceprovider.h"

namespace windows {

struct ProgramContext {
  // The capture drivers: the machine's V4L2 devices, synthetic cameras, or a
  // test's own provider.
  std::shared_ptr<video::DeviceProvider> cameras;
};

}  // namespace windows
