#include "settings/Module1.h"

#include <algorithm>
#include <optional>
#include <span>
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

// The character of a byte in Windows-1254, the Turkish code page the
// program's texts were stored in on older systems; U+FFFD where it has none.
// From 0xA0 up it is Latin-1 but for six Turkish letters.
QChar turkishCodePageChar(std::uint8_t byte) {
  static constexpr char16_t k80To9F[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0xFFFD, 0x0178};
  switch (byte) {
    case 0xD0:
      return QChar(0x011E);  // Ğ
    case 0xDD:
      return QChar(0x0130);  // İ
    case 0xDE:
      return QChar(0x015E);  // Ş
    case 0xF0:
      return QChar(0x011F);  // ğ
    case 0xFD:
      return QChar(0x0131);  // ı
    case 0xFE:
      return QChar(0x015F);  // ş
    default:
      break;
  }
  if (byte >= 0x80 && byte < 0xA0) return QChar(k80To9F[byte - 0x80]);
  return QChar(byte);
}

// The length of the well-formed UTF-8 sequence `bytes` starts with; 0 when
// it starts with none (a stray byte, an overlong form, a surrogate, a cut letter).
std::size_t utf8SequenceLength(std::span<const std::uint8_t> bytes) {
  const std::uint8_t lead = bytes[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80;  // the range of the second byte
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length || bytes[1] < low || bytes[1] > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((bytes[k] & 0xC0) != 0x80) return 0;
  }
  return length;
}

// The code point a well-formed UTF-8 sequence stands for.
char32_t codePointOf(std::span<const std::uint8_t> sequence) {
  static constexpr std::uint8_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t point = sequence[0] & kLeadBits[sequence.size()];
  for (std::size_t k = 1; k < sequence.size(); ++k) point = (point << 6) | (sequence[k] & 0x3F);
  return point;
}

// The text of stored bytes: their UTF-8 letters (a byte order mark kept as
// one, as Qt's own decoding would drop it), and a stand-in letter for every
// byte that is not part of one.
Module1::StoredText decodeStoredText(std::span<const std::uint8_t> bytes) {
  Module1::StoredText decoded;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = utf8SequenceLength(bytes.subspan(at));
    if (length == 0) {
      decoded.exact = false;
      decoded.text += turkishCodePageChar(bytes[at++]);
      continue;
    }
    const char32_t point = codePointOf(bytes.subspan(at, length));
    if (QChar::requiresSurrogates(point)) {
      decoded.text += QChar(QChar::highSurrogate(point));
      decoded.text += QChar(QChar::lowSurrogate(point));
    } else {
      decoded.text += QChar(static_cast<char16_t>(point));
    }
    at += length;
  }
  return decoded;
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

Module1::StoredText Module1::readStringValue(HKEY root, const QString& keyPath,
                                             const QString& valueName) const {
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
  return decodeStoredText({buffer.data(), static_cast<std::size_t>(end - buffer.begin())});
}

QString Module1::getStringValue(HKEY root, const QString& keyPath, const QString& valueName) const {
  return readStringValue(root, keyPath, valueName).text;
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
