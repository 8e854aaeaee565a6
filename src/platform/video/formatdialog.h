#pragma once
// "Görüntü Boyutu": the camera's pixel formats, their frame sizes and, for
// the size chosen, their frame rates. Edits a copy of the current format;
// the capture window applies chosen() when the dialog is accepted.

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/video/capturedevice.h"

class QComboBox;

namespace video {

class FormatDialog final : public QDialog {
  Q_OBJECT

 public:
  using IntervalQuery = std::function<FrameIntervals(std::uint32_t fourcc, int width, int height)>;

  FormatDialog(std::vector<PixelFormatInfo> formats, IntervalQuery intervals, FormatOption current,
               QWidget* parent = nullptr);

  // The format, size and rate the lists show now.
  FormatOption chosen() const;

  QComboBox* formatList() const { return formatList_; }
  QComboBox* sizeList() const { return sizeList_; }
  QComboBox* rateList() const { return rateList_; }

 private:
  void fillSizes();
  void fillRates();
  const PixelFormatInfo* selectedFormat() const;

  std::vector<PixelFormatInfo> formats_;
  IntervalQuery intervals_;
  FormatOption current_;
  QComboBox* formatList_;
  QComboBox* sizeList_;
  QComboBox* rateList_;
};

// "30 kare/sn", "29,97 kare/sn", "7,5 kare/sn".
QString frameRateText(Fraction interval);

}  // namespace video
