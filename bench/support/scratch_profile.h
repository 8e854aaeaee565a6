#pragma once
// A whole-program benchmark runs the real windows: on the offscreen platform,
// with one synthetic camera and a home, configuration and cache folder of its
// own, so the user's settings are neither read nor written.

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace bench {

// Call before the QApplication is made; `profile` must outlive the run.
inline void useScratchProfile(const QTemporaryDir& profile) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("HOME", QFile::encodeName(profile.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path() + QStringLiteral("/config")));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(profile.path() + QStringLiteral("/cache")));
  qputenv("TANDEO_FAKE_CAMERAS", "Kamera A");
}

}  // namespace bench
