#include "capture/cameraprofilestore.h"

#include <QStringList>
#include <algorithm>

namespace {

const QString kFormat = QStringLiteral("Format");
const QString kControls = QStringLiteral("Kontroller");

QString controlName(std::uint32_t id) {
  return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0')).toUpper();
}

bool isKeySafe(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

QString controlList(const video::CameraProfile& profile) {
  QStringList ids;
  for (const auto& [id, value] : profile.controls) ids << controlName(id);
  return ids.join(QLatin1Char(','));
}

}  // namespace

QString CameraProfileStore::keyPathFor(const std::string& identity) {
  QString safe;
  for (const char c : identity) {
    const auto byte = static_cast<unsigned char>(c);
    if (isKeySafe(byte))
      safe += QLatin1Char(c);
    else
      safe += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
  }
  return Module1::mainKeyPath() + QStringLiteral("\\Kameralar\\") + safe;
}

std::optional<video::CameraProfile> CameraProfileStore::load(const std::string& identity) const {
  if (identity.empty()) return {};
  const QString key = keyPathFor(identity);
  const auto root = Module1::HKEY_CURRENT_USER;
  const QString format = settings_.getStringValue(root, key, kFormat);
  const QString ids = settings_.getStringValue(root, key, kControls);
  if (format.isEmpty() && ids.isEmpty()) return {};
  video::CameraProfile profile;
  profile.format = video::FormatOption::fromText(format.toStdString());
  for (const QString& name : ids.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const std::uint32_t id = name.toUInt(&ok, 16);
    if (ok) profile.controls.emplace_back(id, settings_.getDwordValue(root, key, name));
  }
  return profile;
}

void CameraProfileStore::save(const std::string& identity, const video::CameraProfile& profile) {
  if (identity.empty()) return;
  const QString key = keyPathFor(identity);
  const auto root = Module1::HKEY_CURRENT_USER;
  const auto stored = load(identity).value_or(video::CameraProfile{});
  if (profile.format && profile.format != stored.format)
    settings_.saveStringValue(root, key, kFormat, QString::fromStdString(profile.format->toText()));
  for (const auto& control : profile.controls) {
    const auto& old = stored.controls;
    if (std::find(old.begin(), old.end(), control) == old.end())
      settings_.saveDwordValue(root, key, controlName(control.first), control.second);
  }
  // The list last: a profile cut short by a failed write lists only values
  // that were written.
  const QString ids = controlList(profile);
  if (ids != controlList(stored)) settings_.saveStringValue(root, key, kControls, ids);
}
