#pragma once
// The nearest of a set of centres (points in colour space) to a point, exact,
// without measuring the distance to every centre: the centres are sorted
// along the axis they spread most on, and the search walks outwards from the
// point's place there until the distance along that axis alone exceeds the
// best distance found. Palette refinement asks this for every histogram bin
// in every pass; trying all 256 centres each time was most of a small GIF's
// conversion.

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace imaging {

using Point3 = std::array<double, 3>;

class NearestCentre {
 public:
  explicit NearestCentre(std::span<const Point3> centres);

  // Index of the nearest centre (squared Euclidean distance); among equally
  // near ones the lowest index, as a plain scan in index order would give.
  // `centres` must not be empty.
  std::size_t find(const Point3& point) const;

 private:
  struct Entry {
    double key;  // the coordinate on the sort axis
    std::size_t index;
  };

  std::span<const Point3> centres_;
  int axis_ = 0;
  std::vector<Entry> sorted_;
};

}  // namespace imaging
