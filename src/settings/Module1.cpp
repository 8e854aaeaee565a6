#include "settings/Module1.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/store.h"
#include "platform/registry/store_path.h"
#include "settings/settingslog.h"

namespace Module1 {
namespace {

// The per-user store, looked up afresh on every call like the registry key
// the program opens and closes each time. Any other root holds nothing here.
std::optional<registry::Store> storeFor(HKEY root) {
  if (root != HKEY_CURRENT_USER) return std::nullopt;
  auto path = registry::userStorePathFromEnvironment();
  if (!path) return std::nullopt;
  return registry::Store(path->string(), std::string(registry::kCurrentUserRoot));
}

void logDropped(const char* what, const QString& keyPath, const QString& valueName,
                const registry::Error& error) {
  qCDebug(lcSettings) << what << keyPath << valueName
                      << "dropped:" << registry::describe(error.code)
                      << error.cause.message().c_str();
}

}  // namespace

QString mainKeyPath() {
  return QStringLiteral("Velmora\\") + QStringLiteral("Photo");
}

QString layoutKeyPath() {
  return mainKeyPath() + QStringLiteral("\\Settings");
}

QString getStringValue(HKEY root, const QString& keyPath, const QString& valueName) {
  auto store = storeFor(root);
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

void saveStringValue(HKEY root, const QString& keyPath, const QString& valueName,
                     const QString& text) {
  auto store = storeFor(root);
  if (!store) return;
  auto key = store->createKey(keyPath.toStdString());
  if (!key) return logDropped("text", keyPath, valueName, key.error());
  // Written without a terminating zero: the length is the text's UTF-8 size.
  const QByteArray utf8 = text.toUtf8();
  auto set = store->setValue(*key, valueName.toStdString(),
                             registry::Value::text({utf8.constData(), std::size_t(utf8.size())}));
  if (!set) logDropped("text", keyPath, valueName, set.error());
}

std::int32_t getDwordValue(HKEY root, const QString& keyPath, const QString& valueName) {
  auto store = storeFor(root);
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

void saveDwordValue(HKEY root, const QString& keyPath, const QString& valueName,
                    std::int32_t number) {
  auto store = storeFor(root);
  if (!store) return;
  auto key = store->createKey(keyPath.toStdString());
  if (!key) return logDropped("number", keyPath, valueName, key.error());
  auto set = store->setValue(*key, valueName.toStdString(), registry::Value::dword(number));
  if (!set) logDropped("number", keyPath, valueName, set.error());
}

}  // namespace Module1
