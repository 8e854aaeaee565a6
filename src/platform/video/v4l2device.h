#pragma once
// A V4L2 capture node streaming through mmap buffers.

#include <linux/videodev2.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/video/capturedevice.h"
#include "platform/video/mapping.h"
#include "platform/video/syscalls.h"

namespace video {

class V4l2Device final : public CaptureDevice {
 public:
  static constexpr unsigned kBufferCount = 4;

  // Opens the node non-blocking; EBUSY and the like come back as the error.
  static base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(
      const std::string& path);
  ~V4l2Device() override;

  std::vector<FormatOption> formatOptions() const override { return options_; }
  std::vector<PixelFormatInfo> pixelFormats() const override { return formats_; }
  FrameIntervals frameIntervals(std::uint32_t fourcc, int width, int height) const override;
  base::Expected<FrameFormat, base::SystemError> setFormat(const FormatOption& option) override;
  base::Expected<void, base::SystemError> start() override;
  NextResult next(int wakeFd, const FrameSink& sink) override;
  void stop() override;
  std::vector<ControlInfo> controls() override;
  base::Expected<void, base::SystemError> setControl(std::uint32_t id, std::int32_t value) override;

 private:
  explicit V4l2Device(UniqueFd fd);
  base::Expected<void, base::SystemError> mapBuffers();
  NextResult dequeue(const FrameSink& sink);
  bool frameIsWhole(const v4l2_buffer& buffer) const;
  NextResult requeue(std::uint32_t index, NextKind kindIfQueued);

  UniqueFd fd_;
  // Asked once at open; the user-interface thread reads them while the
  // worker streams, so they never change afterwards.
  std::vector<PixelFormatInfo> formats_;
  std::vector<FormatOption> options_;
  FrameFormat format_;
  std::vector<Mapping> buffers_;
  bool streaming_ = false;
};

}  // namespace video
