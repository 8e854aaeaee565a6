#pragma once
// Where the temporary capture file lives. A portable copy keeps it beside the
// program; an installed program's folder is read-only on Linux, so the file
// then goes to the user's cache folder and taking a photo still works.

#include <QString>
#include <functional>

namespace workspace {

inline constexpr char kCaptureFileName[] = "Capture.jpg";

// Whether the program may write into `folder`.
using WritableCheck = std::function<bool(const QString& folder)>;

// The folder for the capture file: `programFolder` when `writable` says so,
// otherwise `cacheFolder`.
QString captureFolder(const QString& programFolder, const QString& cacheFolder,
                      const WritableCheck& writable);

// The program's per-user cache folder: $XDG_CACHE_HOME/Velmora (~/.cache/Velmora).
QString programCacheFolder();

// The full path of the capture file for this run's program folder; creates the
// cache folder when that is the one chosen (a failure shows when writing).
QString captureFilePath();

// Replaces how captureFilePath() judges the program folder; an empty function
// puts the real check back. Returns the one replaced, so a scope can restore it.
WritableCheck setProgramFolderCheck(WritableCheck check);

}  // namespace workspace
