#pragma once
// Replacing a scratch file (rewritten often, read back at once, worthless
// after a power cut) whole, without waiting for the disk.

#include <QByteArray>
#include <QString>

#include "platform/picture/result.h"

namespace picture {

// Writes `bytes` to a new file beside `path` and puts it in the old one's
// place in one step, so a reader sees the old file or the new one, never a
// part of either, and a failed write leaves the old file as it was. Nothing
// is flushed to the disk.
Result<void> replaceScratchFile(const QByteArray& bytes, const QString& path);

}  // namespace picture
