#pragma once
// A fresh home, configuration, cache and program folder for the lifetime of
// the object, so a test starts from a first run and never touches a real
// profile. The test hands these folders to the code it tests (a Module1 over
// settingsFile(), the program context's folders); nothing in the process's
// environment is changed.

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class SandboxProfile {
 public:
  SandboxProfile();
  SandboxProfile(const SandboxProfile&) = delete;
  SandboxProfile& operator=(const SandboxProfile&) = delete;

  QString root() const { return dir_.path(); }
  QString configHome() const { return dir_.path() + QStringLiteral("/config"); }
  QString cacheHome() const { return dir_.path() + QStringLiteral("/cache"); }
  // The per-user settings file the program writes in this profile.
  QString settingsFile() const { return configHome() + QStringLiteral("/Velmora/user.reg"); }
  // The program's per-user cache folder in this profile (made when first needed).
  QString programCacheFolder() const { return cacheHome() + QStringLiteral("/Velmora"); }
  // A writable folder standing for the one the program runs from.
  QString programFolder() const { return dir_.path() + QStringLiteral("/program"); }

 private:
  QTemporaryDir dir_;
};

}  // namespace testsupport
