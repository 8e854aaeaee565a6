#pragma once
// Reading the machine's font configuration (fontconfig parses its XML files
// and its caches: about a third of the work before the first window can be
// measured) on a thread of its own, while the program builds its windows.
// Qt's font database then finds the configuration loaded; if Qt asks first,
// fontconfig simply loads it there too, so nothing waits on the thread.

#include <thread>

namespace ui {

class FontConfigurationWarmup {
 public:
  // Start it as early as possible: before the application object is made.
  FontConfigurationWarmup();
  // Waits for the thread, which has long finished by then.
  ~FontConfigurationWarmup();
  FontConfigurationWarmup(const FontConfigurationWarmup&) = delete;
  FontConfigurationWarmup& operator=(const FontConfigurationWarmup&) = delete;

 private:
  std::jthread thread_;
};

}  // namespace ui
