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

// Every showable format with every size the node offers, in the node's order.
std::vector<FormatOption> enumerateFormats(int fd);

// S_FMT, then ask for 30 frames per second where the node lets us choose.
base::Expected<FrameFormat, base::SystemError> applyFormat(int fd, const FormatOption& option);

std::vector<ControlInfo> enumerateControls(int fd);
base::Expected<void, base::SystemError> writeControl(int fd, std::uint32_t id, std::int32_t value);

}  // namespace video
