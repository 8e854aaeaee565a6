#include "platform/video/devicewatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace video {
namespace {

constexpr int kSettleMs = 150;
constexpr std::uint32_t kNodeEvents =
    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF;

}  // namespace

int InotifyClose::close(int fd) {
  return ::close(fd);
}

base::Expected<std::unique_ptr<FolderWatch>, base::SystemError> FolderWatch::start(
    const std::filesystem::path& folder, std::string prefix) {
  InotifyFd fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!fd.valid()) return base::SystemError::fromErrno("inotify_init1");
  if (::inotify_add_watch(fd.get(), folder.c_str(), kNodeEvents) < 0)
    return base::SystemError::fromErrno("inotify_add_watch " + folder.string());
  return std::unique_ptr<FolderWatch>(new FolderWatch(std::move(fd), std::move(prefix)));
}

FolderWatch::FolderWatch(InotifyFd fd, std::string prefix)
    : fd_(std::move(fd)), prefix_(std::move(prefix)), notifier_(fd_.get(), QSocketNotifier::Read) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &DeviceNotifier::devicesChanged);
  connect(&notifier_, &QSocketNotifier::activated, this, &FolderWatch::readEvents);
}

void FolderWatch::readEvents() {
  alignas(inotify_event) std::array<char, 4096> buffer;
  bool relevant = false;
  for (;;) {
    const ssize_t length = ::read(fd_.get(), buffer.data(), buffer.size());
    if (length <= 0) {
      if (length < 0 && errno == EINTR) continue;
      break;  // EAGAIN: all read
    }
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      const std::string_view name(event->len ? event->name : "");
      if (name.starts_with(prefix_) || (event->mask & (IN_DELETE_SELF | IN_Q_OVERFLOW)))
        relevant = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  if (relevant) settle_.start();
}

}  // namespace video
