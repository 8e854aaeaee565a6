#pragma once
// A camera as the capture window sees it: formats to choose from, a stream of
// raw frames, and the picture controls. Implemented by the V4L2 device, the
// synthetic camera and, in the tests, a fake V4L2 device.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"

namespace video {

// One concrete format to ask a device for. An interval of 0/0 leaves the rate
// to the layer (30 frames per second where the device lets us choose).
struct FormatOption {
  std::uint32_t fourcc = 0;
  int width = 0;
  int height = 0;
  std::uint32_t intervalNumerator = 0;
  std::uint32_t intervalDenominator = 0;
  bool operator==(const FormatOption&) const = default;

  bool sameSize(const FormatOption& other) const {
    return fourcc == other.fourcc && width == other.width && height == other.height;
  }
  // "MJPG 1280x720 1/30"; without the interval when it is 0/0. Stable: it is
  // what the settings store keeps.
  std::string toText() const;
  static std::optional<FormatOption> fromText(std::string_view text);
};

// A time per frame, in seconds as a fraction.
struct Fraction {
  std::uint32_t numerator = 0;
  std::uint32_t denominator = 0;
  bool operator==(const Fraction&) const = default;
};

// The frame sizes of a pixel format: one discrete size, or a range that is
// stepwise (step > 1 or not) or continuous (any size within it).
struct FrameSizeRange {
  enum class Kind { Discrete, Stepwise, Continuous };
  Kind kind = Kind::Discrete;
  int minWidth = 0;  // the size itself when discrete
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
  int stepWidth = 1;
  int stepHeight = 1;
  bool operator==(const FrameSizeRange&) const = default;

  static FrameSizeRange discrete(int width, int height) {
    return {Kind::Discrete, width, height, width, height, 1, 1};
  }
  bool contains(int width, int height) const;
};

// The frame intervals a format offers at one size: a list, or a range.
struct FrameIntervals {
  enum class Kind { Discrete, Stepwise, Continuous };
  Kind kind = Kind::Discrete;
  std::vector<Fraction> discrete;  // fastest first, as drivers list them
  Fraction minimum;                // shortest interval of a range
  Fraction maximum;
  Fraction step;
};

struct PixelFormatInfo {
  std::uint32_t fourcc = 0;
  std::string description;  // the driver's, e.g. "Motion-JPEG"
  std::vector<FrameSizeRange> sizes;
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

enum class ControlType { Integer, Boolean, Menu, IntegerMenu, Button };

struct MenuItem {
  std::uint32_t index = 0;
  std::string name;         // menus
  std::int64_t number = 0;  // integer menus
  bool operator==(const MenuItem&) const = default;
};

struct ControlFlags {
  bool inactive = false;  // an auto switch has it; writes are kept for later
  bool readOnly = false;
  bool disabled = false;  // not offered at all
  bool grabbed = false;   // busy while streaming
  bool writeOnly = false;
  bool isVolatile = false;
  bool updatesOthers = false;  // writing it may change other controls' flags
  bool operator==(const ControlFlags&) const = default;
};

struct ControlInfo {
  std::uint32_t id = 0;
  std::uint32_t controlClass = 0;  // V4L2's class bits of the id
  std::string className;           // the driver's name of that class, if it gave one
  ControlType type = ControlType::Integer;
  std::string name;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::int32_t step = 1;
  std::int32_t defaultValue = 0;
  std::int32_t value = 0;
  ControlFlags flags;
  std::vector<MenuItem> menu;  // without the holes the driver leaves

  // Can the user change it now?
  bool isEditable() const {
    return !flags.inactive && !flags.readOnly && !flags.disabled && !flags.grabbed;
  }
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

// The controls and the format queries may be called from the user-interface
// thread while the stream's worker waits in next(): implementations keep
// what both touch behind a lock (or in the driver).
class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;

  // Every concrete size of every showable format (ranges as their common
  // sizes), the list the default format is chosen from.
  virtual std::vector<FormatOption> formatOptions() const = 0;
  virtual std::vector<PixelFormatInfo> pixelFormats() const = 0;
  virtual FrameIntervals frameIntervals(std::uint32_t fourcc, int width, int height) const = 0;
  // Applies the option; the result is what the device really chose. Only
  // while not streaming.
  virtual base::Expected<FrameFormat, base::SystemError> setFormat(const FormatOption& option) = 0;
  virtual base::Expected<void, base::SystemError> start() = 0;
  // Waits for the next frame or for `wakeFd` to become readable, at most a few
  // frame intervals. Called on the stream's worker thread only.
  virtual NextResult next(int wakeFd, const FrameSink& sink) = 0;
  // Ends streaming and releases the buffers; safe to call more than once and
  // on a device that has gone away.
  virtual void stop() = 0;

  // Every control with its current value, in the device's order.
  virtual std::vector<ControlInfo> controls() = 0;
  virtual base::Expected<void, base::SystemError> setControl(std::uint32_t id,
                                                             std::int32_t value) = 0;
};

}  // namespace video
