#include "support/sandbox.h"

#include <QDir>

namespace testsupport {

SandboxProfile::SandboxProfile() {
  QDir().mkpath(configHome());
  QDir().mkpath(cacheHome());
  QDir().mkpath(programFolder());
}

}  // namespace testsupport
