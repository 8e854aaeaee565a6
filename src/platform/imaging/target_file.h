#pragma once
// Replacing a picture file so that it is either the old file or the complete
// new one, never a mixture and never gone.

#include <cstdint>
#include <span>
#include <string>

#include "platform/imaging/image_error.h"

namespace imaging {

// TargetNotWritable when the target is a folder or a file the user may not
// write. The write permission bits are checked as well as access(), so the
// rule holds for root too: a read-only file is neither replaced nor deleted.
Result<void> checkTargetWritable(const std::string& target);

// Checks the target, then writes a temporary file in the target's folder,
// flushes it, renames it over the target and flushes the folder. A new file
// keeps the old one's permissions. On failure the target is as it was and no
// temporary file remains.
Result<void> replaceFile(const std::string& target, std::span<const std::uint8_t> bytes);

// For a scratch file (rewritten often, read back at once, worthless after a
// power cut): a reader still sees the old file or the whole new one, and a
// failed write leaves the old one, but nothing is flushed to the disk, and
// whatever is at the path (a read-only file, a link) is replaced itself.
Result<void> replaceScratchFile(const std::string& target, std::span<const std::uint8_t> bytes);

}  // namespace imaging
