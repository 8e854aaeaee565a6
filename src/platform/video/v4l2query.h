#pragma once
// Questions put to a V4L2 node: what it is, which formats and sizes it offers,
// which controls it has. Every call goes through the system-call table.

#include <linux/videodev2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/video/capturedevice.h"

namespace video {

base::Expected<v4l2_capability, base::SystemError> queryCapabilities(int fd);
// A single-planar capture node that streams; metadata and output nodes are not.
bool isStreamingCaptureNode(const v4l2_capability& caps);
std::string cardName(const v4l2_capability& caps);       // blanks around it removed
std::string driverVersion(const v4l2_capability& caps);  // "uvcvideo 6.1.0"

// Every pixel format with its description and frame sizes, in the node's
// order (a format without a size list has the node's current size).
std::vector<PixelFormatInfo> enumeratePixelFormats(int fd);
// The frame intervals of a format at one size; an empty list when the node
// does not say.
FrameIntervals enumerateFrameIntervals(int fd, std::uint32_t fourcc, int width, int height);

// S_FMT, then ask for the option's frame interval (30 frames per second when
// it has none) where the node lets us choose.
base::Expected<FrameFormat, base::SystemError> applyFormat(int fd, const FormatOption& option);

// Every control VIDIOC_QUERY_EXT_CTRL reports that the layer can show
// (integer, boolean, menu, integer menu, button), each with its class, flags,
// menu and current value; class headers only name the classes.
std::vector<ControlInfo> enumerateControls(int fd);
base::Expected<void, base::SystemError> writeControl(int fd, std::uint32_t id, std::int32_t value);
base::Expected<std::int32_t, base::SystemError> readControl(int fd, std::uint32_t id);

}  // namespace video
