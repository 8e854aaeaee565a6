#pragma once
// Where the temporary capture file lives. A portable copy keeps it beside the
// program; an installed program's folder is read-only on Linux, so the file
// then goes to the user's cache folder and taking a photo still works.

#include <QString>
#include <functional>

namespace rules {

inline constexpr char kCaptureFileName[] = "Capture.jpg";

// The two folders the capture file may go to, found once when the program
// starts (main) or given by a test.
struct ProgramFolders {
  QString program;  // the folder the program runs from
  QString cache;    // the program's per-user cache folder (~/.cache/Velmora)
};

// Whether the program may write into `folder`.
using WritableCheck = std::function<bool(const QString& folder)>;

// The folder for the capture file: the program folder when `writable` says
// so, otherwise the cache folder. Only the program folder is ever judged.
QString captureFolder(const ProgramFolders& folders, const WritableCheck& writable);

// The capture file inside `folder`.
QString captureFilePath(const QString& folder);

}  // namespace rules
