#pragma once
// Copying a file under another name, as "copy without failing when the target
// exists" does, but so that an interrupted copy never leaves half a file: the
// bytes go to a temporary file beside the target, which is flushed and then
// renamed over it. A reader of the target sees the old file or the whole copy.

#include <cstdint>
#include <string>

#include "platform/files/syscalls.h"

namespace files {

// Copies the regular file `from` to `to`, replacing whatever regular file is
// there (a link at `to` stays a link and the file it names is replaced). The
// failures are those of reading `from` (ENOENT when it is missing) and of
// replacing `to` (writableTarget's refusals, ENOSPC, ...); on any failure
// `to` is as it was and no temporary file remains. The source is left alone.
Expected<void> copyFile(const std::string& from, const std::string& to);

// The length in bytes of the regular file `path` (a link is followed).
// ENOENT when nothing is there, EISDIR for a folder, EINVAL for any other
// kind of file.
Expected<std::uint64_t> fileLength(const std::string& path);

}  // namespace files
