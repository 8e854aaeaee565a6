#pragma once
// One running stream: a worker thread that waits for frames, decodes those
// the window will show (see DecodePacer) to the size it wants and leaves the
// newest in a FrameSlot. Stopping
// wakes the worker through an eventfd, so destruction never waits for a frame
// to arrive. When the device fails, the worker releases its buffers and calls
// `ended` (on the worker thread) with the cause. `firstFrame` is called (on
// the worker thread) once, when the first frame is in the slot, so that a
// window can show it at once instead of at its next look.

#include <QSize>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/video/capturedevice.h"
#include "platform/video/decodepacer.h"
#include "platform/video/frameslot.h"
#include "platform/video/syscalls.h"

namespace video {

class CaptureStream {
 public:
  using EndedCallback = std::function<void(const base::SystemError&)>;
  using FirstFrameCallback = std::function<void()>;

  // The device must have its format set; starting it happens here.
  static base::Expected<std::unique_ptr<CaptureStream>, base::SystemError> start(
      std::unique_ptr<CaptureDevice> device, EndedCallback ended = {},
      FirstFrameCallback firstFrame = {});
  ~CaptureStream();
  // Stops the worker and the device and hands the device back, for a new
  // format and a new stream. The stream is spent afterwards.
  static std::unique_ptr<CaptureDevice> finish(std::unique_ptr<CaptureStream> stream);
  CaptureStream(const CaptureStream&) = delete;
  CaptureStream& operator=(const CaptureStream&) = delete;

  // The size frames are decoded to; an empty size keeps the camera's own.
  void setTargetSize(QSize size);
  const FrameSlot& frames() const { return slot_; }
  bool isRunning() const { return running_.load(); }
  std::uint64_t droppedFrames() const { return dropped_.load(); }
  // The window looked for a frame now and will look again after `period`.
  void windowPulled(std::chrono::milliseconds period) {
    pacer_.windowPulled(DecodePacer::Clock::now(), period);
  }
  // For the picture controls and the format queries; the device answers
  // those from the user-interface thread while the worker streams.
  CaptureDevice& device() { return *device_; }

 private:
  CaptureStream(std::unique_ptr<CaptureDevice> device, UniqueFd wake, EndedCallback ended,
                FirstFrameCallback firstFrame);
  void run();
  void stopWorker();
  // Streams until woken (false) or the device is lost (true, with the cause).
  bool pump(base::SystemError& cause);
  QSize targetSize() const;

  std::unique_ptr<CaptureDevice> device_;
  UniqueFd wake_;
  EndedCallback ended_;
  FirstFrameCallback firstFrame_;  // the worker's alone once it runs
  FrameSlot slot_;
  mutable std::mutex targetMutex_;
  QSize target_;
  std::atomic<bool> running_{true};
  std::atomic<std::uint64_t> dropped_{0};
  DecodePacer pacer_;
  std::thread worker_;
};

}  // namespace video
