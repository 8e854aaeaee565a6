#include "platform/files/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/files/folder.h"
#include "platform/files/temp_file.h"

namespace files {
namespace {

bool isFolder(const std::string& path, bool followLink) {
  struct stat st {};
  const int rc =
      followLink ? syscalls().stat(path.c_str(), &st) : syscalls().lstat(path.c_str(), &st);
  return rc == 0 && S_ISDIR(st.st_mode);
}

// The device of `path`, or of its nearest existing ancestor (a home trash
// that is not made yet lies on the volume of the folder it will be made in).
Expected<dev_t> deviceOf(std::string path) {
  for (;;) {
    struct stat st {};
    if (syscalls().stat(path.c_str(), &st) == 0) return st.st_dev;
    if (errno != ENOENT || path == "/" || path == ".")
      return base::SystemError::fromErrno("look at " + path);
    path = parentFolder(path);
  }
}

// The top folder of the volume that holds the folder `folder` (absolute).
std::string volumeTop(std::string folder, dev_t device) {
  while (folder != "/") {
    const std::string parent = parentFolder(folder);
    struct stat st {};
    if (syscalls().stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
    folder = parent;
  }
  return folder;
}

std::string volumeTrash(const std::string& top, uid_t uid) {
  const std::string shared = pathIn(top, ".Trash");
  struct stat st {};
  // A shared trash only when it is a real folder with the sticky bit; a link
  // there could send the user's files anywhere.
  if (syscalls().lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    std::string own = pathIn(shared, std::to_string(uid));
    if (isFolder(own, false) || syscalls().mkdir(own.c_str(), 0700) == 0) return own;
  }
  std::string own = pathIn(top, ".Trash-" + std::to_string(uid));
  if (syscalls().lstat(own.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
    return own;
  return {};
}

// Percent-encoded as a URL path, as the freedesktop trash format writes it,
// so that file managers can restore the file.
std::string encodedPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::string trashInfo(const std::string& originalPath) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[32];
  if (std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local) == 0) date[0] = '\0';
  return "[Trash Info]\nPath=" + encodedPath(originalPath) + "\nDeletionDate=" + date + "\n";
}

// "Resim001.jpg", then "Resim001.2.jpg", "Resim001.3.jpg", ...
std::string candidateName(const std::string& name, int attempt) {
  if (attempt == 1) return name;
  const auto dot = name.rfind('.');
  const bool hasType = dot != std::string::npos && dot > 0;
  const std::string stem = hasType ? name.substr(0, dot) : name;
  const std::string type = hasType ? name.substr(dot) : std::string();
  return stem + "." + std::to_string(attempt) + type;
}

// Writes the info file under a name nobody holds yet; that name, without ".trashinfo".
Expected<std::string> reserveName(const std::string& trash, const std::string& name,
                                  const std::string& info) {
  const std::string infoFolder = pathIn(trash, "info");
  auto temp = TempFile::create(infoFolder, 0600);
  if (!temp) return temp.error();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(info.data());
  if (auto done = temp->write(std::span(bytes, info.size())); !done) return done.error();
  if (auto done = temp->close(); !done) return done.error();
  for (int attempt = 1; attempt < 10000; ++attempt) {
    const std::string candidate = candidateName(name, attempt);
    struct stat st {};
    if (syscalls().lstat(pathIn(pathIn(trash, "files"), candidate).c_str(), &st) == 0) continue;
    const std::string infoFile = pathIn(infoFolder, candidate + ".trashinfo");
    if (syscalls().link(temp->path().c_str(), infoFile.c_str()) == 0) return candidate;
    if (errno != EEXIST) return base::SystemError::fromErrno("link " + infoFile);
  }
  return base::SystemError{EEXIST, "no free name for " + name + " in " + trash};
}

Expected<Disposal> moveIntoTrash(const std::string& path, const std::string& absolute,
                                 const std::string& trash, const std::string& shownPath) {
  for (const char* part : {"files", "info"}) {
    if (auto made = ensureFolder(pathIn(trash, part), 0700); !made) return made.error();
  }
  auto name = reserveName(trash, fileName(absolute), trashInfo(shownPath));
  if (!name) return name.error();
  const std::string target = pathIn(pathIn(trash, "files"), *name);
  if (syscalls().rename(path.c_str(), target.c_str()) != 0) {
    const base::SystemError failed = base::SystemError::fromErrno("move " + path + " to the trash");
    syscalls().unlink(pathIn(pathIn(trash, "info"), *name + ".trashinfo").c_str());
    return failed;
  }
  return Disposal::Trashed;
}

// The absolute path of `path`, its folder resolved but not the file itself.
Expected<std::string> absolutePath(const std::string& path) {
  char resolved[PATH_MAX];
  const std::string folder = parentFolder(path);
  if (!syscalls().realpath(folder.c_str(), resolved))
    return base::SystemError::fromErrno("resolve " + folder);
  return pathIn(resolved, fileName(path));
}

struct Place {
  std::string absolute;  // the file's absolute path
  std::string folder;    // its trash; empty: none
  std::string top;       // the volume's top for a volume trash; empty for the home trash
};

Expected<Place> placeFor(const std::string& path, const TrashPlaces& places) {
  struct stat st {};
  if (syscalls().lstat(path.c_str(), &st) != 0)
    return base::SystemError::fromErrno("look at " + path);
  if (S_ISDIR(st.st_mode)) return base::SystemError{EISDIR, path + " is a folder"};
  auto absolute = absolutePath(path);
  if (!absolute) return absolute.error();
  if (!places.homeTrash.empty()) {
    auto home = deviceOf(places.homeTrash);
    if (home && *home == st.st_dev) return Place{*absolute, places.homeTrash, {}};
  }
  std::string top = volumeTop(parentFolder(*absolute), st.st_dev);
  std::string folder = volumeTrash(top, places.uid);
  return Place{*absolute, std::move(folder), std::move(top)};
}

}  // namespace

TrashPlaces trashPlacesOfThisUser() {
  TrashPlaces places;
  places.uid = ::getuid();
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && dataHome[0] == '/') {
    places.homeTrash = pathIn(dataHome, "Trash");
  } else if (home && home[0] == '/') {
    places.homeTrash = pathIn(pathIn(home, ".local/share"), "Trash");
  }
  return places;
}

Expected<std::string> trashFolderFor(const std::string& path, const TrashPlaces& places) {
  auto place = placeFor(path, places);
  if (!place) return place.error();
  return place->folder;
}

Expected<Disposal> discardFile(const std::string& path, const TrashPlaces& places) {
  auto place = placeFor(path, places);
  if (!place) return place.error();
  if (place->folder.empty()) {
    if (syscalls().unlink(path.c_str()) != 0) return base::SystemError::fromErrno("remove " + path);
    return Disposal::Removed;
  }
  // A volume's trash names its files relative to the volume's top.
  std::string shown = place->absolute;
  if (!place->top.empty()) shown = shown.substr(place->top == "/" ? 1 : place->top.size() + 1);
  return moveIntoTrash(path, place->absolute, place->folder, shown);
}

}  // namespace files
