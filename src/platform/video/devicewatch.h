#pragma once
// Watches a device folder for video nodes coming and going (inotify, read on
// the user-interface thread through a QSocketNotifier) and says so once the
// burst of events that one plug or unplug makes has settled.

#include <QSocketNotifier>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/base/unique_fd.h"
#include "platform/video/deviceprovider.h"

namespace video {

struct InotifyClose {
  static int close(int fd);
};
using InotifyFd = base::UniqueFd<InotifyClose>;

class FolderWatch final : public DeviceNotifier {
  Q_OBJECT

 public:
  // Entries of `folder` whose names start with `prefix` ("video").
  static base::Expected<std::unique_ptr<FolderWatch>, base::SystemError> start(
      const std::filesystem::path& folder, std::string prefix);

 private:
  FolderWatch(InotifyFd fd, std::string prefix);
  void readEvents();

  InotifyFd fd_;
  std::string prefix_;
  QSocketNotifier notifier_;
  // udev makes a node, then gives it its owner and mode; one notice for all.
  QTimer settle_;
};

}  // namespace video
