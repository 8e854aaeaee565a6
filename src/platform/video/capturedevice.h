#pragma once
// A camera as the capture window sees it: formats to choose from, a stream of
// raw frames, and the picture controls. Implemented by the V4L2 device, the
// synthetic camera and, in the tests, a fake V4L2 device.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"

namespace video {

struct FormatOption {
  std::uint32_t fourcc = 0;
  int width = 0;
  int height = 0;
  bool operator==(const FormatOption&) const = default;
};

struct FrameFormat {
  std::uint32_t fourcc = 0;
  int width = 0;
  int height = 0;
  std::uint32_t bytesPerLine = 0;
  std::uint32_t sizeImage = 0;
  // Time per frame as a fraction of a second; 0/0 when the device does not say.
  std::uint32_t intervalNumerator = 0;
  std::uint32_t intervalDenominator = 0;
};

struct ControlInfo {
  std::uint32_t id = 0;
  std::string name;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::int32_t step = 1;
  std::int32_t defaultValue = 0;
  std::int32_t value = 0;
};

// Lent to the frame sink only for the duration of the call: the bytes live in
// a device buffer that is handed back to the driver right after.
struct RawFrame {
  std::span<const std::uint8_t> bytes;
  FrameFormat format;
  std::uint32_t sequence = 0;
};

enum class NextKind {
  Frame,    // a frame went to the sink
  Dropped,  // a damaged frame was thrown away; the stream goes on
  Idle,     // nothing arrived within the wait, or the wait was interrupted
  Woken,    // the wake-up descriptor fired: the owner wants the stream to stop
  Lost,     // the device failed or went away; the stream cannot go on
};

struct NextResult {
  NextKind kind = NextKind::Idle;
  base::SystemError error;  // set for Lost
};

using FrameSink = std::function<void(const RawFrame&)>;

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;

  virtual std::vector<FormatOption> formatOptions() const = 0;
  // Applies the option; the result is what the device really chose.
  virtual base::Expected<FrameFormat, base::SystemError> setFormat(const FormatOption& option) = 0;
  virtual base::Expected<void, base::SystemError> start() = 0;
  // Waits for the next frame or for `wakeFd` to become readable, at most a few
  // frame intervals. Called on the stream's worker thread only.
  virtual NextResult next(int wakeFd, const FrameSink& sink) = 0;
  // Ends streaming and releases the buffers; safe to call more than once and
  // on a device that has gone away.
  virtual void stop() = 0;

  virtual std::vector<ControlInfo> controls() = 0;
  virtual base::Expected<void, base::SystemError> setControl(std::uint32_t id,
                                                             std::int32_t value) = 0;
};

}  // namespace video
