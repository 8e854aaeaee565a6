#include "platform/video/decodepacer.h"

#include <algorithm>

namespace video {

namespace {

// Room for the jitter of frame arrivals and of the window's timer: a frame
// this close to being the last one before a pull is decoded anyway.
constexpr DecodePacer::Clock::duration kSlack = std::chrono::milliseconds(5);

}  // namespace

void DecodePacer::windowPulled(Clock::time_point at, Clock::duration period) {
  period_.store(period.count(), std::memory_order_relaxed);
  lastPull_.store(ticks(at), std::memory_order_release);
}

bool DecodePacer::shouldDecode(Clock::time_point arrival) {
  const std::int64_t now = ticks(arrival);
  if (previousArrival_ != 0 && now > previousArrival_) {
    const std::int64_t gap = now - previousArrival_;
    // Averages out the jitter of arrivals, but follows a camera that slows
    // down at once.
    const bool slowedDown = 2 * gap > 3 * interval_;
    interval_ = slowedDown ? gap : (3 * interval_ + gap) / 4;
  }
  previousArrival_ = now;
  return wantedByTheWindow(now);
}

bool DecodePacer::wantedByTheWindow(std::int64_t now) {
  const std::int64_t lastPull = lastPull_.load(std::memory_order_acquire);
  const std::int64_t period = period_.load(std::memory_order_relaxed);
  if (lastPull == 0 || period <= 0 || interval_ == 0) return true;
  const std::int64_t nextPull = lastPull + period;
  // A pull that is overdue means nobody is pulling on time: stay fresh.
  if (now >= nextPull) return true;
  // Decoded when the next frame would come only after the pull.
  if (now + interval_ + kSlack.count() < nextPull || !withinBudget(nextPull, period)) return false;
  lastDecodedPull_ = nextPull;
  return true;
}

bool DecodePacer::withinBudget(std::int64_t pull, std::int64_t period) const {
  if (lastDecodedPull_ == 0 || decodeCost_ == 0) return true;
  const auto spacing = static_cast<std::int64_t>(static_cast<double>(decodeCost_) / kDecodeBudget);
  // A fresher frame for the pull already served costs one more decode but
  // keeps the picture from going stale; affordable only while every pull is.
  if (pull == lastDecodedPull_) return spacing <= period;
  return pull - lastDecodedPull_ >= spacing;
}

void DecodePacer::decoded(Clock::duration cost) {
  // Smoothed, so one decode slowed by a busy machine does not halve the rate.
  const std::int64_t c = std::max<std::int64_t>(cost.count(), 0);
  decodeCost_ = decodeCost_ == 0 ? c : (3 * decodeCost_ + c) / 4;
}

}  // namespace video
