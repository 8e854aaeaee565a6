#pragma once
// Which camera frames are worth decoding. The window takes the newest frame
// at its preview rate (every 66 ms in the workspace) while a camera delivers
// one every 33 ms: decoding every frame spends half the decoding on pictures
// nobody sees. Only the last frame expected before the window's next pull is
// decoded, so what the window shows is as fresh as before.
//
// The window reports its pulls from its own thread; the stream's worker asks
// about each arriving frame. Frames keep being decoded as they come while the
// window does not pull (preview off, timer late), so a grab always finds a
// fresh frame.

#include <atomic>
#include <chrono>
#include <cstdint>

namespace video {

class DecodePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // User-interface thread: the window took (or looked for) a frame at `at`
  // and will look again after `period`.
  void windowPulled(Clock::time_point at, Clock::duration period);

  // Worker thread, once per arriving frame, in order of arrival.
  bool shouldDecode(Clock::time_point arrival);

 private:
  static std::int64_t ticks(Clock::time_point t) { return t.time_since_epoch().count(); }

  std::atomic<std::int64_t> lastPull_{0};
  std::atomic<std::int64_t> period_{0};
  // Worker-only: the camera's real pace, measured, since many cameras halve
  // their rate in dim light whatever their format says.
  std::int64_t previousArrival_ = 0;
  std::int64_t interval_ = 0;
};

}  // namespace video
