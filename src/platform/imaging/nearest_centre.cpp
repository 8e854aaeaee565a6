#include "platform/imaging/nearest_centre.h"

#include <algorithm>
#include <limits>

namespace imaging {

namespace {

int widestSpread(std::span<const Point3> centres) {
  std::array<double, 3> sum{}, sq{};
  for (const Point3& c : centres)
    for (int i = 0; i < 3; ++i) sum[i] += c[i], sq[i] += c[i] * c[i];
  const double n = static_cast<double>(centres.size());
  int axis = 0;
  double widest = -1;
  for (int i = 0; i < 3; ++i) {
    const double variance = sq[i] - sum[i] * sum[i] / n;
    if (variance > widest) widest = variance, axis = i;
  }
  return axis;
}

double distance2(const Point3& a, const Point3& b) {
  const double d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2];
  return d0 * d0 + d1 * d1 + d2 * d2;
}

}  // namespace

NearestCentre::NearestCentre(std::span<const Point3> centres)
    : centres_(centres), axis_(widestSpread(centres)) {
  sorted_.reserve(centres.size());
  for (std::size_t i = 0; i < centres.size(); ++i) sorted_.push_back({centres[i][axis_], i});
  std::sort(sorted_.begin(), sorted_.end(),
            [](const Entry& a, const Entry& b) { return a.key < b.key; });
}

std::size_t NearestCentre::find(const Point3& point) const {
  const double key = point[axis_];
  const auto start = std::lower_bound(sorted_.begin(), sorted_.end(), key,
                                      [](const Entry& e, double k) { return e.key < k; });
  std::size_t best = 0;
  double bestD = std::numeric_limits<double>::infinity();
  const auto consider = [&](const Entry& e) {
    const double d = distance2(point, centres_[e.index]);
    if (d < bestD || (d == bestD && e.index < best)) bestD = d, best = e.index;
  };
  // A centre whose distance along the axis alone is beyond the best can be
  // neither nearer nor as near; nor can any further out on that side.
  auto up = start;
  auto down = start;
  bool upOpen = up != sorted_.end(), downOpen = down != sorted_.begin();
  while (upOpen || downOpen) {
    if (upOpen) {
      const double gap = up->key - key;
      if (gap * gap > bestD) {
        upOpen = false;
      } else {
        consider(*up);
        upOpen = ++up != sorted_.end();
      }
    }
    if (downOpen) {
      const double gap = key - std::prev(down)->key;
      if (gap * gap > bestD) {
        downOpen = false;
      } else {
        consider(*--down);
        downOpen = down != sorted_.begin();
      }
    }
  }
  return best;
}

}  // namespace imaging
