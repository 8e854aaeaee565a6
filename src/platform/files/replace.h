#pragma once
// Replacing a file so that a reader sees either the old file or the whole new
// one, never a mixture, and a failure never costs the old one.

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/files/syscalls.h"
#include "platform/files/temp_file.h"

namespace files {

// The file a durable replacement of `path` writes: `path` itself when it is
// a regular file or nothing is there yet, the file it names when it is a
// symbolic link. Refused, with the reason: an empty path, a link that
// dangles (ENOENT) or loops (ELOOP), a folder (EISDIR), anything else that is
// not a regular file such as a pipe, a socket or a device (EINVAL), a file
// without any write permission bit (EACCES, for root too, who passes every
// access() check) and a file access() says the user may not write.
Expected<std::string> writableTarget(const std::string& path);

struct DurableOptions {
  // The permissions of a file that did not exist (less the umask); a
  // replaced file keeps its own.
  mode_t newFileMode = 0666;
  // Whose temporary files these are (see removeStaleTemporaries).
  std::string_view tempPrefix = kTempPrefix;
};

// Checks the target (writableTarget), writes `bytes` to a temporary file in
// the target's own folder, flushes it, renames it over the target and
// flushes the folder. A link stays a link and the file it names is
// replaced. On any failure before the rename the target is as it was and no
// temporary file remains; a failure to flush the folder afterwards is
// reported although the new file is then in place.
Expected<void> replaceDurably(const std::string& path, std::span<const std::uint8_t> bytes,
                              const DurableOptions& options = {});

// For a scratch file (rewritten often, read back at once, worthless after a
// power cut): a reader still sees the old file or the whole new one and a
// failed write leaves the old one, but nothing is flushed to the disk, and
// whatever is at the path (a read-only file, a link) is replaced itself.
// Where a regular file is in the place, the new file trades places with it
// (renameat2 with RENAME_EXCHANGE) and the old one is then removed: a plain
// rename over an existing file makes ext4 start writing the new file at
// once, which costs more than the rest of taking a photo. Where the exchange
// is not supported, or no regular file is there, a plain rename.
Expected<void> replaceScratch(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace files
