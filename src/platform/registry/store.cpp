#include "platform/registry/store.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/registry/atomic_write.h"
#include "platform/registry/corrupt_file.h"
#include "platform/registry/document.h"
#include "platform/registry/file_lock.h"
#include "platform/registry/file_read.h"
#include "platform/registry/key_lookup.h"
#include "platform/registry/key_path.h"
#include "platform/registry/reg_writer.h"
#include "platform/registry/syscalls.h"

namespace registry {
namespace {

std::string parentFolder(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
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

Result<std::string> Store::readText() const {
  return readWholeFile(file_, options_.maxFileSize);
}

Result<KeyHandle> Store::openKey(std::string_view path) const {
  auto full = fullKeyPath(root_, path);
  if (!full) return full.error();
  auto text = readText();
  if (!text) return text.error();
  KeyLookup lookup(*full, std::nullopt);
  if (parseRegText(*text, lookup)) return Error{Errc::Corrupt};
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
  auto text = readText();
  if (!text) return text.error();
  KeyLookup lookup(key.fullPath, name);
  if (parseRegText(*text, lookup)) return Error{Errc::Corrupt};
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

// The current document, read under the lock. A damaged file is moved aside
// here and an empty document returned; a file that cannot be read at all is
// an error, so that it is never replaced by one that lacks its values.
Result<Document> Store::loadForUpdate() {
  auto text = readText();
  std::string reason;
  if (text) {
    auto parsed = Document::parse(*text);
    if (auto* doc = std::get_if<Document>(&parsed)) return std::move(*doc);
    const auto& error = std::get<ParseError>(parsed);
    reason = "line " + std::to_string(error.line) + ": " + error.reason;
  } else if (text.error().code == Errc::NotFound) {
    return Document{};
  } else if (text.error().code == Errc::Corrupt) {
    reason = "larger than " + std::to_string(options_.maxFileSize) + " bytes";
  } else {
    return text.error();
  }
  auto keptAs = moveAside(file_, options_.clock());
  if (!keptAs) return keptAs.error();
  options_.report("velmora-tandeo: settings file " + file_ + " is damaged (" + reason +
                  "); kept as " + *keptAs + ", going on with defaults");
  return Document{};
}

Result<void> Store::update(const std::function<bool(Document&)>& change) {
  if (auto folder = ensureDirectory(parentFolder(file_)); !folder) return folder;
  auto lock = FileLock::acquire(file_ + ".lock");
  if (!lock) return lock.error();
  // Replacing by rename would get past a store file the user made read-only;
  // such a file is left as it is, like a key without write access.
  if (syscalls().access(file_.c_str(), W_OK) != 0 && errno != ENOENT) return errnoError(errno);
  removeStaleTemporaries(file_);
  auto doc = loadForUpdate();
  if (!doc) return doc.error();
  if (!change(*doc)) return {};
  return writeFileAtomically(file_, serialize(*doc));
}

}  // namespace registry
