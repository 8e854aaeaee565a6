#pragma once
// Pure rules of the stream: which format to ask a device for and how long to
// wait for a frame.

#include <QSize>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/video/capturedevice.h"

namespace video {

// Formats the layer can show: MJPEG/JPEG and YUYV itself, a few more through
// libv4lconvert.
bool isShowableFourcc(std::uint32_t fourcc);

// The 4:3 size closest above `window` (both sides at least as large), else the
// largest 4:3 size, else the largest size; among formats offering that size
// MJPEG comes first, then YUYV, then the rest.
std::optional<FormatOption> chooseDefaultFormat(const std::vector<FormatOption>& options,
                                                QSize window);

// The sizes a range is offered at: a discrete size itself; for a range the
// common sizes that lie on its steps and its largest size, smallest first.
std::vector<std::pair<int, int>> concreteSizes(const FrameSizeRange& range);

// Every showable format at each of its concrete sizes, in the device's order.
std::vector<FormatOption> concreteOptions(const std::vector<PixelFormatInfo>& formats);

// The intervals to offer: a list as the device gives it; for a range the
// common rates within it (fastest first), its ends included.
std::vector<Fraction> concreteIntervals(const FrameIntervals& intervals);

// Four frame intervals, within [100 ms, 1000 ms]; a missing or nonsensical
// interval counts as 30 frames per second.
int pollTimeoutMs(std::uint32_t intervalNumerator, std::uint32_t intervalDenominator);

}  // namespace video
