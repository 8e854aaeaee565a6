#include "settings/Module1.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/store.h"
#include "platform/registry/store_path.h"

Q_LOGGING_CATEGORY(lcSettings, "tandeo.settings", QtWarningMsg)

namespace {

// The store `root` names, opened afresh on every call like the registry key
// the program opens and closes each time. Any other root holds nothing here.
std::optional<registry::Store> storeFor(const std::filesystem::path& file, Module1::HKEY root) {
  if (root != Module1::HKEY_CURRENT_USER || file.empty()) return std::nullopt;
  return registry::Store(file.string(), std::string(registry::kCurrentUserRoot));
}

void logDropped(const char* what, const QString& keyPath, const QString& valueName,
                const registry::Error& error) {
  qCDebug(lcSettings) << what << keyPath << valueName
                      << "dropped:" << registry::describe(error.code)
                      << error.cause.message().c_str();
}

}  // namespace

QString Module1::mainKeyPath() {
  return QStringLiteral("Velmora\\") + QStringLiteral("Photo");
}

QString Module1::layoutKeyPath() {
  return mainKeyPath() + QStringLiteral("\\Settings");
}

Module1 Module1::forUserProfile() {
  auto path = registry::userStorePathFromEnvironment();
  return path ? Module1(std::move(*path)) : Module1();
}

QString Module1::getStringValue(HKEY root, const QString& keyPath, const QString& valueName) const {
  auto store = storeFor(storeFile_, root);
  if (!store) return {};
  auto key = store->openKey(keyPath.toStdString());
  if (!key) return {};
  const std::string name = valueName.toStdString();
  auto info = store->queryInfo(*key, name);
  if (!info || info->type != registry::REG_SZ) return {};
  std::vector<std::uint8_t> buffer(info->size, ' ');
  auto read = store->queryInto(*key, name, buffer);
  // The value may have changed between the two reads; only a text counts,
  // and only the bytes this read delivered.
  if (!read || read->type != registry::REG_SZ) return {};
  const auto end = std::find(buffer.begin(), buffer.begin() + read->size, std::uint8_t{0});
  return QString::fromUtf8(reinterpret_cast<const char*>(buffer.data()), end - buffer.begin());
}

void Module1::saveStringValue(HKEY root, const QString& keyPath, const QString& valueName,
                              const QString& text) const {
  auto store = storeFor(storeFile_, root);
  if (!store) return;
  auto key = store->createKey(keyPath.toStdString());
  if (!key) return logDropped("text", keyPath, valueName, key.error());
  // Written without a terminating zero: the length is the text's UTF-8 size.
  const QByteArray utf8 = text.toUtf8();
  auto set = store->setValue(*key, valueName.toStdString(),
                             registry::Value::text({utf8.constData(), std::size_t(utf8.size())}));
  if (!set) logDropped("text", keyPath, valueName, set.error());
}

std::int32_t Module1::getDwordValue(HKEY root, const QString& keyPath,
                                    const QString& valueName) const {
  auto store = storeFor(storeFile_, root);
  if (!store) return 0;
  auto key = store->openKey(keyPath.toStdString());
  if (!key) return 0;
  std::uint8_t buffer[4] = {};
  auto read = store->queryInto(*key, valueName.toStdString(), buffer);
  // A number of another size is as foreign as another type.
  if (!read || read->type != registry::REG_DWORD || read->size != 4) return 0;
  registry::Value value{registry::REG_DWORD, {buffer, buffer + 4}};
  return *value.asDword();
}

void Module1::saveDwordValue(HKEY root, const QString& keyPath, const QString& valueName,
                             std::int32_t number) const {
  auto store = storeFor(storeFile_, root);
  if (!store) return;
  auto key = store->createKey(keyPath.toStdString());
  if (!key) return logDropped("number", keyPath, valueName, key.error());
  auto set = store->setValue(*key, valueName.toStdString(), registry::Value::dword(number));
  if (!set) logDropped("number", keyPath, valueName, set.error());
}
