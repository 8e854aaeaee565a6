#include "platform/video/capturestream.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

#include "platform/video/deviceprovider.h"
#include "platform/video/framedecoder.h"

namespace video {

base::Expected<std::unique_ptr<CaptureStream>, base::SystemError> CaptureStream::start(
    std::unique_ptr<CaptureDevice> device, EndedCallback ended, FirstFrameCallback firstFrame) {
  if (!device) return base::SystemError{EINVAL, "no device"};
  UniqueFd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!wake.valid()) return base::SystemError::fromErrno("eventfd");
  if (auto started = device->start(); !started) return started.error();
  return std::unique_ptr<CaptureStream>(new CaptureStream(std::move(device), std::move(wake),
                                                          std::move(ended), std::move(firstFrame)));
}

CaptureStream::CaptureStream(std::unique_ptr<CaptureDevice> device, UniqueFd wake,
                             EndedCallback ended, FirstFrameCallback firstFrame)
    : device_(std::move(device)),
      wake_(std::move(wake)),
      ended_(std::move(ended)),
      firstFrame_(std::move(firstFrame)) {
  worker_ = std::thread([this] { run(); });
}

CaptureStream::~CaptureStream() {
  stopWorker();
}

void CaptureStream::stopWorker() {
  if (worker_.joinable()) {
    const std::uint64_t one = 1;
    // The eventfd counter cannot overflow from one write; a failure would leave
    // the worker to notice at its next timeout, which is still bounded.
    [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
    worker_.join();
  }
  if (device_) device_->stop();
}

std::unique_ptr<CaptureDevice> CaptureStream::finish(std::unique_ptr<CaptureStream> stream) {
  if (!stream) return nullptr;
  stream->stopWorker();
  return std::move(stream->device_);
}

void CaptureStream::setTargetSize(QSize size) {
  std::lock_guard lock(targetMutex_);
  target_ = size;
}

QSize CaptureStream::targetSize() const {
  std::lock_guard lock(targetMutex_);
  return target_;
}

namespace {

// Processor time rather than wall time: a decode the scheduler interrupted on
// a busy machine did not cost more.
DecodePacer::Clock::duration workerCpuTime() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::duration_cast<DecodePacer::Clock::duration>(
      std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

}  // namespace

bool CaptureStream::pump(base::SystemError& cause) {
  FrameDecoder decoder;  // one per stream: libv4lconvert state lives here
  const auto sink = [&](const RawFrame& frame) {
    // A frame the window would not show before a newer one arrives.
    if (!pacer_.shouldDecode(DecodePacer::Clock::now())) return;
    const auto started = workerCpuTime();
    QImage image = decoder.decode(frame, targetSize());
    pacer_.decoded(workerCpuTime() - started);
    if (image.isNull()) {
      ++dropped_;
      return;
    }
    slot_.publish(std::move(image));
    if (firstFrame_) std::exchange(firstFrame_, {})();
  };
  for (;;) {
    const NextResult result = device_->next(wake_.get(), sink);
    switch (result.kind) {
      case NextKind::Woken:
        return false;
      case NextKind::Lost:
        cause = result.error;
        return true;
      case NextKind::Dropped:
        ++dropped_;
        break;
      case NextKind::Frame:
      case NextKind::Idle:
        break;
    }
  }
}

void CaptureStream::run() {
  base::SystemError cause;
  bool lost = false;
  try {
    lost = pump(cause);
  } catch (...) {
    lost = true;
    cause = {0, "unexpected failure while decoding"};
  }
  device_->stop();
  running_ = false;
  if (lost) {
    qCDebug(lcVideo) << "stream ended:" << cause.message().c_str();
    if (ended_) ended_(cause);
  }
}

}  // namespace video
