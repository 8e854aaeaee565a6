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
//
// A preview is a framing aid. When a camera's frames are so large that
// decoding one for every pull would take more than a small share of a core
// (1080p MJPEG on an old office computer), the window gets a new picture at
// every second or third pull instead: the machine stays cool and the pupil is
// still framed. Frames of the usual sizes decode far inside that share and are
// never held back.

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
  // Worker thread, after a decode that shouldDecode allowed: the processor
  // time it took.
  void decoded(Clock::duration cost);

  // The share of one core the preview's decoding may take while the window
  // pulls on time.
  static constexpr double kDecodeBudget = 0.04;

 private:
  bool wantedByTheWindow(std::int64_t now);
  bool withinBudget(std::int64_t pull, std::int64_t period) const;
  static std::int64_t ticks(Clock::time_point t) { return t.time_since_epoch().count(); }

  std::atomic<std::int64_t> lastPull_{0};
  std::atomic<std::int64_t> period_{0};
  // Worker-only: the camera's real pace, measured, since many cameras halve
  // their rate in dim light whatever their format says.
  std::int64_t previousArrival_ = 0;
  std::int64_t interval_ = 0;
  // Worker-only: the pull the last paced decode was for, and what decodes
  // cost lately.
  std::int64_t lastDecodedPull_ = 0;
  std::int64_t decodeCost_ = 0;
};

}  // namespace video
