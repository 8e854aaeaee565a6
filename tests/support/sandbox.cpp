#include "support/sandbox.h"

#include <QDir>

namespace testsupport {

SandboxProfile::SandboxProfile()
    : savedHome_(qgetenv("HOME")),
      savedConfig_(qgetenv("XDG_CONFIG_HOME")),
      savedCache_(qgetenv("XDG_CACHE_HOME")) {
  QDir().mkpath(configHome());
  QDir().mkpath(cacheHome());
  qputenv("HOME", root().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
  qputenv("XDG_CACHE_HOME", cacheHome().toLocal8Bit());
}

SandboxProfile::~SandboxProfile() {
  qputenv("HOME", savedHome_);
  qputenv("XDG_CONFIG_HOME", savedConfig_);
  qputenv("XDG_CACHE_HOME", savedCache_);
}

}  // namespace testsupport
