#include "platform/video/v4l2device.h"

#include <fcntl.h>
#include <linux/videodev2.h>

#include <cerrno>

#include "platform/video/deviceprovider.h"
#include "platform/video/formatchoice.h"
#include "platform/video/syscalls.h"
#include "platform/video/v4l2query.h"

namespace video {

base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> V4l2Device::open(
    const std::string& path) {
  UniqueFd fd(syscalls().open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) return base::SystemError::fromErrno("open " + path);
  const auto caps = queryCapabilities(fd.get());
  if (!caps) return caps.error();
  if (!isStreamingCaptureNode(*caps))
    return base::SystemError{ENODEV, path + " does not stream video"};
  std::unique_ptr<V4l2Device> device(new V4l2Device(std::move(fd)));
  device->formats_ = enumeratePixelFormats(device->fd_.get());
  device->options_ = concreteOptions(device->formats_);
  return std::unique_ptr<CaptureDevice>(std::move(device));
}

V4l2Device::V4l2Device(UniqueFd fd) : fd_(std::move(fd)) {}

V4l2Device::~V4l2Device() {
  stop();
}

base::Expected<FrameFormat, base::SystemError> V4l2Device::setFormat(const FormatOption& option) {
  auto format = applyFormat(fd_.get(), option);
  if (format) format_ = *format;
  return format;
}

base::Expected<void, base::SystemError> V4l2Device::mapBuffers() {
  v4l2_requestbuffers request{};
  request.count = kBufferCount;
  request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  request.memory = V4L2_MEMORY_MMAP;
  if (const int err = VIDEO_IOCTL(fd_.get(), VIDIOC_REQBUFS, &request))
    return base::SystemError{err, "VIDIOC_REQBUFS"};
  if (request.count == 0) return base::SystemError{ENOMEM, "VIDIOC_REQBUFS gave no buffer"};
  for (std::uint32_t i = 0; i < request.count; ++i) {
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.index = i;
    if (const int err = VIDEO_IOCTL(fd_.get(), VIDIOC_QUERYBUF, &buffer))
      return base::SystemError{err, "VIDIOC_QUERYBUF"};
    auto mapping = Mapping::map(fd_.get(), buffer.length, static_cast<off_t>(buffer.m.offset));
    if (!mapping) return mapping.error();
    buffers_.push_back(std::move(*mapping));
    if (const int err = VIDEO_IOCTL(fd_.get(), VIDIOC_QBUF, &buffer))
      return base::SystemError{err, "VIDIOC_QBUF"};
  }
  return {};
}

base::Expected<void, base::SystemError> V4l2Device::start() {
  if (streaming_) return {};
  if (format_.fourcc == 0) return base::SystemError{EINVAL, "no format chosen"};
  streaming_ = true;  // from here on stop() has something to undo
  if (auto mapped = mapBuffers(); !mapped) {
    stop();
    return mapped;
  }
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (const int err = VIDEO_IOCTL(fd_.get(), VIDIOC_STREAMON, &type)) {
    stop();
    return base::SystemError{err, "VIDIOC_STREAMON"};
  }
  return {};
}

void V4l2Device::stop() {
  if (!streaming_) return;
  streaming_ = false;
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  VIDEO_IOCTL(fd_.get(), VIDIOC_STREAMOFF, &type);
  buffers_.clear();  // unmapped before the buffers are freed, or REQBUFS 0 gives EBUSY
  v4l2_requestbuffers release{};
  release.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  release.memory = V4L2_MEMORY_MMAP;
  VIDEO_IOCTL(fd_.get(), VIDIOC_REQBUFS, &release);
}

NextResult V4l2Device::next(int wakeFd, const FrameSink& sink) {
  if (!streaming_) return {NextKind::Lost, {EINVAL, "not streaming"}};
  pollfd fds[2] = {{fd_.get(), POLLIN, 0}, {wakeFd, POLLIN, 0}};
  const int ready = syscalls().poll(
      fds, 2, pollTimeoutMs(format_.intervalNumerator, format_.intervalDenominator));
  if (ready < 0) {
    const int err = errno;
    if (err == EINTR || err == EAGAIN) return {NextKind::Idle, {}};
    return {NextKind::Lost, {err, "poll"}};
  }
  if (fds[1].revents) return {NextKind::Woken, {}};
  if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return {NextKind::Lost, {ENODEV, "poll"}};
  if (!(fds[0].revents & POLLIN)) return {NextKind::Idle, {}};
  return dequeue(sink);
}

bool V4l2Device::frameIsWhole(const v4l2_buffer& buffer) const {
  if (buffer.flags & V4L2_BUF_FLAG_ERROR) return false;
  if (buffer.bytesused == 0 || buffer.bytesused > buffers_[buffer.index].length()) return false;
  const bool compressed =
      format_.fourcc == V4L2_PIX_FMT_MJPEG || format_.fourcc == V4L2_PIX_FMT_JPEG;
  return compressed || format_.sizeImage == 0 || buffer.bytesused >= format_.sizeImage;
}

NextResult V4l2Device::dequeue(const FrameSink& sink) {
  v4l2_buffer buffer{};
  buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buffer.memory = V4L2_MEMORY_MMAP;
  const int err = VIDEO_IOCTL(fd_.get(), VIDIOC_DQBUF, &buffer);
  if (err == EAGAIN) return {NextKind::Idle, {}};
  if (err == EIO) {
    // The driver may or may not have handed the buffer back; queueing it again
    // is harmless if it did not (EINVAL) and keeps the ring full if it did.
    if (buffer.index >= buffers_.size()) return {NextKind::Dropped, {}};
    const NextResult again = requeue(buffer.index, NextKind::Dropped);
    return again.error.code == EINVAL ? NextResult{NextKind::Dropped, {}} : again;
  }
  if (err) return {NextKind::Lost, {err, "VIDIOC_DQBUF"}};
  if (buffer.index >= buffers_.size()) return {NextKind::Lost, {EINVAL, "buffer index"}};
  if (!frameIsWhole(buffer)) {
    qCDebug(lcVideo) << "dropping frame" << buffer.sequence << "flags" << buffer.flags
                     << "bytesused" << buffer.bytesused;
    return requeue(buffer.index, NextKind::Dropped);
  }
  sink(RawFrame{buffers_[buffer.index].bytes().first(buffer.bytesused), format_, buffer.sequence});
  return requeue(buffer.index, NextKind::Frame);
}

NextResult V4l2Device::requeue(std::uint32_t index, NextKind kindIfQueued) {
  v4l2_buffer buffer{};
  buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buffer.memory = V4L2_MEMORY_MMAP;
  buffer.index = index;
  const int err = VIDEO_IOCTL(fd_.get(), VIDIOC_QBUF, &buffer);
  if (err == 0) return {kindIfQueued, {}};
  return {NextKind::Lost, {err, "VIDIOC_QBUF"}};
}

// The descriptor never changes while the device lives, and the driver
// answers these from any thread.
FrameIntervals V4l2Device::frameIntervals(std::uint32_t fourcc, int width, int height) const {
  return enumerateFrameIntervals(fd_.get(), fourcc, width, height);
}

std::vector<ControlInfo> V4l2Device::controls() {
  return enumerateControls(fd_.get());
}

base::Expected<void, base::SystemError> V4l2Device::setControl(std::uint32_t id,
                                                               std::int32_t value) {
  return writeControl(fd_.get(), id, value);
}

}  // namespace video
