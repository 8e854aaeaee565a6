#include "platform/registry/store.h"

#include <cstdio>
#include <cstring>

#include "platform/files/folder.h"
#include "platform/files/read_file.h"
#include "platform/files/replace.h"
#include "platform/files/temp_file.h"
#include "platform/registry/corrupt_file.h"
#include "platform/registry/document.h"
#include "platform/registry/file_lock.h"
#include "platform/registry/key_lookup.h"
#include "platform/registry/key_path.h"
#include "platform/registry/reg_writer.h"

namespace registry {
namespace {

// The user's settings are private to them.
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

// Nothing there, or nothing a file can be read from (a pipe, a socket, a
// device, a link that leads nowhere): no settings. Such a path is never
// waited on, and update() never writes through it.
Error readError(const files::ReadError& error) {
  switch (error.failure) {
    case files::ReadFailure::Missing:
    case files::ReadFailure::NotAFile:
      return Error{Errc::NotFound, error.cause};
    case files::ReadFailure::TooLarge:
      return Error{Errc::Corrupt, error.cause};
    case files::ReadFailure::SystemCall:
      break;
  }
  return ioError(error.cause);
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

Store::Store(std::string file, std::string root, StoreOptions options)
    : file_(std::move(file)), root_(std::move(root)), options_(std::move(options)) {
  if (!options_.clock) options_.clock = [] { return std::time(nullptr); };
  if (!options_.report) {
    options_.report = [](const std::string& line) {
      static_cast<void>(std::fprintf(stderr, "%s\n", line.c_str()));
    };
  }
}

Result<std::string> Store::readText(const std::string& file) const {
  auto text = files::readWholeFile(file, options_.maxFileSize);
  if (!text) return readError(text.error());
  return std::move(*text);
}

Result<KeyHandle> Store::openKey(std::string_view path) const {
  auto full = fullKeyPath(root_, path);
  if (!full) return full.error();
  auto text = readText(file_);
  if (!text) return text.error();
  KeyLookup lookup(*full, std::nullopt);
  if (!parseRegText(*text, lookup)) return Error{Errc::Corrupt};
  if (!lookup.keyFound()) return Error{Errc::NotFound};
  return KeyHandle{std::move(*full)};
}

Result<KeyHandle> Store::createKey(std::string_view path) {
  auto full = fullKeyPath(root_, path);
  if (!full) return full.error();
  // The usual case, an existing key, needs neither the lock nor a write.
  if (auto existing = openKey(path)) return existing;
  auto written = update([&](Document& doc) { return doc.createKey(*full); });
  if (!written) return written.error();
  return KeyHandle{std::move(*full)};
}

Result<Value> Store::readValue(const KeyHandle& key, std::string_view name) const {
  auto text = readText(file_);
  if (!text) return text.error();
  KeyLookup lookup(key.fullPath, name);
  if (!parseRegText(*text, lookup)) return Error{Errc::Corrupt};
  std::optional<Value> found = lookup.takeFound();
  if (!found) return Error{Errc::NotFound};
  return std::move(*found);
}

Result<ValueInfo> Store::queryInfo(const KeyHandle& key, std::string_view name) const {
  auto value = readValue(key, name);
  if (!value) return value.error();
  return ValueInfo{value->type, value->data.size()};
}

Result<ValueInfo> Store::queryInto(const KeyHandle& key, std::string_view name,
                                   std::span<std::uint8_t> buffer) const {
  auto value = readValue(key, name);
  if (!value) return value.error();
  if (value->data.size() > buffer.size()) return Error{Errc::MoreData};
  if (!value->data.empty()) std::memcpy(buffer.data(), value->data.data(), value->data.size());
  return ValueInfo{value->type, value->data.size()};
}

Result<void> Store::setValue(const KeyHandle& key, std::string_view name, const Value& value) {
  if (!isWritableName(name)) return Error{Errc::InvalidName};
  return update([&](Document& doc) { return doc.setValue(key.fullPath, name, value); });
}

// The current document of `file`, read under the lock. A damaged file is
// moved aside here and an empty document returned; a file that cannot be
// read at all is an error, so that it is never replaced by one that lacks
// its values.
Result<Document> Store::loadForUpdate(const std::string& file) {
  auto text = readText(file);
  std::string reason;
  if (text) {
    auto parsed = Document::parse(*text);
    if (parsed) return std::move(*parsed);
    reason = "line " + std::to_string(parsed.error().line) + ": " + parsed.error().reason;
  } else if (text.error().code == Errc::NotFound) {
    return Document{};
  } else if (text.error().code == Errc::Corrupt) {
    reason = "larger than " + std::to_string(options_.maxFileSize) + " bytes";
  } else {
    return text.error();
  }
  auto keptAs = moveAside(file, options_.clock());
  if (!keptAs) return keptAs.error();
  options_.report("velmora-tandeo: settings file " + file + " is damaged (" + reason +
                  "); kept as " + *keptAs + ", going on with defaults");
  return Document{};
}

Result<void> Store::update(const std::function<bool(Document&)>& change) {
  if (auto folder = files::ensureFolder(files::parentFolder(file_), kFolderMode); !folder)
    return ioError(folder.error());
  auto lock = FileLock::acquire(file_ + ".lock");
  if (!lock) return lock.error();
  // The file written: the store file, or the one its link names (a settings
  // file kept with the user's other dotfiles stays linked). A store file the
  // user made read-only is left as it is, like a key without write access,
  // and so is anything that is not a regular file or a link to one.
  auto target = files::writableTarget(file_);
  if (!target) return ioError(target.error());
  // Best effort: a folder that cannot be listed fails the write below anyway.
  static_cast<void>(files::removeStaleTemporaries(files::parentFolder(*target), kTempPrefix));
  auto doc = loadForUpdate(*target);
  if (!doc) return doc.error();
  if (!change(*doc)) return {};
  const std::string text = serialize(*doc);
  auto written = files::replaceDurably(*target, bytesOf(text), {kFileMode, kTempPrefix});
  if (!written) return ioError(written.error());
  return {};
}

}  // namespace registry
