#pragma once
// Area-averaging downscale fed one source row at a time, so a decoder can
// shrink its output while it is still in cache instead of writing a large
// picture and scaling it afterwards. Every target pixel is the exact
// area-weighted mean of the source pixels it covers (8-bit fixed-point
// weights), which is what a smooth downscale should give.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

namespace video {

class AreaScaler {
 public:
  // `target` must be non-empty and no larger than `source` on either side.
  AreaScaler(QSize source, QSize target);

  static bool canScale(QSize source, QSize target) {
    return !source.isEmpty() && !target.isEmpty() && target.width() <= source.width() &&
           target.height() <= source.height();
  }

  // The next source row: source.width() pixels of Format_RGB32.
  void addRow(const QRgb* row);
  // The finished picture once every source row was added.
  QImage result() const { return target_; }

 private:
  // Every target column reads the same number of source columns (unused
  // ones with weight 0), so the inner loop has a fixed length.
  struct Tap {
    int source;
    std::uint32_t weight;
  };
  struct RowShare {
    int targetRow;
    std::uint32_t weight;
  };

  // Vertical sums of one target row at full source width, one 16-bit lane
  // per byte of the source row: a target row's weights add up to 256, so a
  // lane never exceeds 255 × 256, and 16-bit lanes multiply fastest.
  struct Accumulator {
    std::vector<std::uint16_t> lanes;
    bool empty = true;  // the next share is written, not added
  };

  void accumulate(const QRgb* row, Accumulator& into, std::uint32_t weight) const;
  void emitRow(int targetRow);
  template <int TapsPerColumn>
  void emitRowWith(QRgb* out) const;

  QImage target_;
  std::vector<Tap> taps_;  // tapsPerColumn_ per target column
  int tapsPerColumn_ = 0;
  std::vector<RowShare> shares_;  // grouped by source row
  std::vector<int> shareStart_;   // per source row, and one past the last
  Accumulator current_, next_;
  std::vector<int> lastSourceOf_;  // per target row
  int sourceRow_ = 0;
  int currentRow_ = 0;
};

// Scales `image` (Format_RGB32) to exactly `target`: area averaging when it
// shrinks on both sides, Qt's smooth filter otherwise; unchanged when the
// sizes match or the target is empty.
QImage scaleSmoothly(QImage image, QSize target);

}  // namespace video
