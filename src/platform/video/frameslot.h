#pragma once
// The newest decoded frame, handed from the stream's worker thread to the
// user-interface thread. Older frames are simply replaced: the window paints
// at its own rate and only ever wants the latest picture.

#include <QImage>
#include <cstdint>
#include <mutex>

namespace video {

class FrameSlot {
 public:
  void publish(QImage image) {
    std::lock_guard lock(mutex_);
    image_ = std::move(image);
    ++sequence_;
  }

  // Copies the newest frame into `out` when it is newer than `seen`.
  bool takeNewer(std::uint64_t& seen, QImage& out) const {
    std::lock_guard lock(mutex_);
    if (sequence_ == seen) return false;
    seen = sequence_;
    out = image_;
    return true;
  }

  std::uint64_t sequence() const {
    std::lock_guard lock(mutex_);
    return sequence_;
  }

 private:
  mutable std::mutex mutex_;
  QImage image_;
  std::uint64_t sequence_ = 0;
};

}  // namespace video
