#pragma once
// Tells the registry how each of the program's windows is made and loaded.

namespace windows {

class WindowRegistry;

void defineProgramWindows(WindowRegistry& windows);

}  // namespace windows
