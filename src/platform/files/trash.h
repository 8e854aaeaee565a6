#pragma once
// Deleting a file the way the desktop's file managers do: moved to the
// freedesktop.org trash, so that a mistaken delete can be undone, where the
// file's volume has a trash; removed otherwise.
//
// The home trash ($XDG_DATA_HOME/Trash) serves files on the volume that holds
// it and is made when missing. A file on another volume goes to that volume's
// own trash only when one is already there ($top/.Trash/$uid under a sticky
// $top/.Trash, or $top/.Trash-$uid): a volume's top folder is never given a
// new trash folder, so a deleted file does not end up where no file manager
// looks. The trashinfo file is written first, to a temporary file that is
// then linked under its final name (taking a name no other deleter holds);
// only then is the file moved, and a failed move takes the info file back.

#include <sys/types.h>

#include <string>

#include "platform/files/syscalls.h"

namespace files {

struct TrashPlaces {
  // The home trash folder; empty when the user has none.
  std::string homeTrash;
  // Whose trash folders on other volumes are looked for (.Trash-$uid).
  uid_t uid = 0;
};

// $XDG_DATA_HOME/Trash (or ~/.local/share/Trash) and the process's user, read
// once by whoever builds the program's context.
TrashPlaces trashPlacesOfThisUser();

enum class Disposal { Trashed, Removed };

// Moves `path` (a file or a link, not a folder) to its trash, or removes it
// where there is none. ENOENT when nothing is there, EISDIR for a folder.
Expected<Disposal> discardFile(const std::string& path, const TrashPlaces& places);

// The trash folder `path` would go to; empty when it would be removed.
Expected<std::string> trashFolderFor(const std::string& path, const TrashPlaces& places);

}  // namespace files
