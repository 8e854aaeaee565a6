#include "about/systeminfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdint>

#include "platform/registry/store.h"

namespace about {

base::Expected<QString, registry::Error> GetKeyValue(const registry::Store& store,
                                                     std::string_view keyPath,
                                                     std::string_view valueName) {
  const auto key = store.openKey(keyPath);
  if (!key) return key.error();
  std::array<std::uint8_t, 1024> buffer{};
  const auto info = store.queryInto(*key, valueName, buffer);
  if (!info) return info.error();
  std::size_t size = info->size;
  if (size > 0 && buffer[size - 1] == 0) --size;
  switch (info->type) {
    case registry::REG_SZ:
      return QString::fromUtf8(reinterpret_cast<const char*>(buffer.data()),
                               static_cast<qsizetype>(size));
    case registry::REG_DWORD: {
      // Little-endian; a dropped high zero byte does not change the number.
      std::uint32_t number = 0;
      for (std::size_t i = 0; i < size && i < 4; ++i) number |= std::uint32_t{buffer[i]} << (8 * i);
      return QString::number(static_cast<std::int32_t>(number));
    }
    default:
      return QString();
  }
}

std::optional<QString> systemInfoProgram(const registry::Store& machine,
                                         const QStringList& searchPath) {
  // A full path from the store is started as it is, unchecked.
  if (const auto path = GetKeyValue(machine, kSystemInfoKey, "PATH")) return *path;
  if (const auto folder = GetKeyValue(machine, kSharedToolsKey, "MSINFO")) {
    const QString program = QDir(*folder).filePath(QString::fromLatin1(kSystemInfoFileName));
    if (QFileInfo(program).isFile()) return program;
  }
  // findExecutable would fall back to this process's PATH on an empty list.
  if (searchPath.isEmpty()) return std::nullopt;
  for (const char* tool : kDesktopSystemInfoTools) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool), searchPath);
    if (!found.isEmpty()) return found;
  }
  return std::nullopt;
}

}  // namespace about
