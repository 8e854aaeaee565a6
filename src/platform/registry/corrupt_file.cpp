#include "platform/registry/corrupt_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "platform/files/syscalls.h"

namespace registry {
namespace {

std::string timestamp(std::time_t now) {
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  if (std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc) == 0) return "unknown-time";
  return text;
}

bool exists(const std::string& path) {
  struct stat status {};
  return files::syscalls().lstat(path.c_str(), &status) == 0 || errno != ENOENT;
}

}  // namespace

Result<std::string> moveAside(const std::string& path, std::time_t now) {
  const std::string stem = path + ".corrupt-" + timestamp(now);
  std::string name = stem;
  for (int n = 2; exists(name); ++n) {
    if (n > 1000) return ioError({EEXIST, "keep " + path + " aside"});
    name = stem + "-" + std::to_string(n);
  }
  if (files::syscalls().rename(path.c_str(), name.c_str()) != 0)
    return ioError(base::SystemError::fromErrno("rename " + path + " to " + name));
  return name;
}

}  // namespace registry
