#pragma once
// A fresh home, configuration and cache folder for the lifetime of the object,
// so a test starts from a first run and never touches a real profile.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class SandboxProfile {
 public:
  SandboxProfile();
  ~SandboxProfile();
  SandboxProfile(const SandboxProfile&) = delete;
  SandboxProfile& operator=(const SandboxProfile&) = delete;

  QString root() const { return dir_.path(); }
  QString configHome() const { return dir_.path() + QStringLiteral("/config"); }
  QString cacheHome() const { return dir_.path() + QStringLiteral("/cache"); }
  // The per-user settings file the program writes in this profile.
  QString settingsFile() const { return configHome() + QStringLiteral("/Velmora/user.reg"); }

 private:
  QTemporaryDir dir_;
  QByteArray savedHome_, savedConfig_, savedCache_;
};

}  // namespace testsupport
