#pragma once
// A registry-like store kept in one text file per root. It does what the
// program needs of the registry: open a key (which must exist), create a key
// with all its levels, ask for a value's type and size or its data, and set
// a value.
//
// Nothing is cached: every call reads the file. Reads never create anything.
// Every write takes an exclusive flock() on "<file>.lock", re-reads the file,
// changes one thing and replaces the file atomically (temporary file, fsync,
// rename, folder fsync), so concurrent writers in several processes lose
// nothing and a reader never sees a half-written file.
//
// A file that cannot be parsed is treated as empty by reads. The next write
// renames it to "<file>.corrupt-<timestamp>" (one line goes to the report
// function, standard error by default) and starts a fresh file: the program
// goes on with its defaults and the user's file is kept for inspection.
//
// A store file the user made read-only (no write permission bit, whoever
// runs the program) is respected: writes to it fail (the caller drops them)
// and reads go on. A store file that is a symbolic link stays one: the file
// it names is replaced, in its own folder. A path that holds no regular file
// (a named pipe, a socket, a device, a link that dangles or loops) reads as
// no settings, is never waited on and is never written through.
//
// The same class reads any file of this format, e.g. a read-only machine-wide
// one installed with the package; such a store is simply never written to.

#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/registry/result.h"
#include "platform/registry/value.h"

namespace registry {

class Document;

inline constexpr std::string_view kCurrentUserRoot = "HKEY_CURRENT_USER";
inline constexpr std::string_view kLocalMachineRoot = "HKEY_LOCAL_MACHINE";

// The names of the store's temporary files, beside the file they replace;
// those left by a killed writer are removed by the next write.
inline constexpr std::string_view kTempPrefix = ".tandeo-settings-tmp-";

struct StoreOptions {
  // A larger file is treated as damaged.
  std::size_t maxFileSize = std::size_t{4} << 20;
  // Time stamp for a damaged file's new name; the system clock when empty.
  std::function<std::time_t()> clock;
  // Receives the one line about a damaged file; standard error when empty.
  std::function<void(const std::string&)> report;
};

// An open key. It holds no resource: closing is letting it go.
struct KeyHandle {
  std::string fullPath;  // root included
};

class Store {
 public:
  // `file` is the store's path; `root` the root name its key sections carry.
  explicit Store(std::string file, std::string root = std::string(kCurrentUserRoot),
                 StoreOptions options = {});

  const std::string& file() const { return file_; }
  const std::string& root() const { return root_; }

  // NotFound when the key (or the whole file) does not exist.
  Result<KeyHandle> openKey(std::string_view path) const;
  // Creates every missing level; writes only when something was missing.
  Result<KeyHandle> createKey(std::string_view path);

  // Type and size of a value (the query without a data buffer).
  Result<ValueInfo> queryInfo(const KeyHandle& key, std::string_view name) const;
  // Copies the value into `buffer`; MoreData when it does not fit.
  Result<ValueInfo> queryInto(const KeyHandle& key, std::string_view name,
                              std::span<std::uint8_t> buffer) const;
  Result<Value> readValue(const KeyHandle& key, std::string_view name) const;

  // Sets one value, creating its key when it vanished meanwhile. The empty
  // name is the key's default value.
  Result<void> setValue(const KeyHandle& key, std::string_view name, const Value& value);

 private:
  Result<std::string> readText(const std::string& file) const;
  Result<void> update(const std::function<bool(Document&)>& change);
  Result<Document> loadForUpdate(const std::string& file);

  std::string file_;
  std::string root_;
  StoreOptions options_;
};

}  // namespace registry
