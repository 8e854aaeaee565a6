// The pruned nearest-centre search must give exactly what trying every
// centre in index order gives, ties included: the palette of every GIF
// depends on it.

#include <QTest>
#include <limits>
#include <random>
#include <vector>

#include "platform/imaging/nearest_centre.h"

using imaging::NearestCentre;
using imaging::Point3;

namespace {

std::size_t bruteForce(const std::vector<Point3>& centres, const Point3& p) {
  std::size_t best = 0;
  double bestD = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < centres.size(); ++k) {
    double d = 0;
    for (int i = 0; i < 3; ++i) d += (p[i] - centres[k][i]) * (p[i] - centres[k][i]);
    if (d < bestD) bestD = d, best = k;
  }
  return best;
}

std::vector<Point3> randomPoints(std::mt19937& rng, int count, double spread, Point3 around) {
  std::normal_distribution<double> offset(0.0, spread);
  std::vector<Point3> points;
  for (int i = 0; i < count; ++i)
    points.push_back({around[0] + offset(rng), around[1] + offset(rng), around[2] + offset(rng)});
  return points;
}

// Whole numbers in a small range: many exact ties and repeated centres.
std::vector<Point3> gridPoints(std::mt19937& rng, int count, int range) {
  std::uniform_int_distribution<int> v(0, range);
  std::vector<Point3> points;
  for (int i = 0; i < count; ++i)
    points.push_back({double(v(rng)), double(v(rng)), double(v(rng))});
  return points;
}

}  // namespace

class TestNearestCentre : public QObject {
  Q_OBJECT

 private slots:
  void sameAsTryingEveryCentre_data();
  void sameAsTryingEveryCentre();
};

void TestNearestCentre::sameAsTryingEveryCentre_data() {
  QTest::addColumn<std::vector<Point3>>("centres");
  QTest::addColumn<std::vector<Point3>>("points");
  std::mt19937 rng(20261209);
  QTest::newRow("256 spread centres, photo-like points")
      << randomPoints(rng, 256, 70, {128, 128, 128})
      << randomPoints(rng, 4000, 80, {128, 128, 128});
  QTest::newRow("clustered centres, points far outside")
      << randomPoints(rng, 256, 3, {40, 200, 90}) << randomPoints(rng, 2000, 150, {128, 128, 128});
  QTest::newRow("whole-number grid: ties and repeated centres")
      << gridPoints(rng, 256, 12) << gridPoints(rng, 4000, 12);
  QTest::newRow("all centres on one value of the sort axis")
      << std::vector<Point3>{{5, 0, 0}, {5, 9, 0}, {5, 0, 9}, {5, 9, 9}}
      << gridPoints(rng, 500, 10);
  QTest::newRow("one centre") << std::vector<Point3>{{1, 2, 3}} << gridPoints(rng, 50, 255);
  QTest::newRow("equidistant between two: the lower index")
      << std::vector<Point3>{{10, 0, 0}, {0, 0, 0}} << std::vector<Point3>{{5, 0, 0}, {5, 3, 1}};
  QTest::newRow("the same centre twice: the lower index")
      << std::vector<Point3>{{9, 9, 9}, {3, 3, 3}, {3, 3, 3}}
      << std::vector<Point3>{{3, 3, 3}, {0, 0, 0}, {4, 4, 4}};
}

void TestNearestCentre::sameAsTryingEveryCentre() {
  QFETCH(std::vector<Point3>, centres);
  QFETCH(std::vector<Point3>, points);
  const NearestCentre nearest(centres);
  for (const Point3& p : points) {
    const std::size_t expected = bruteForce(centres, p);
    const std::size_t found = nearest.find(p);
    if (found != expected)
      QFAIL(qPrintable(QStringLiteral("(%1, %2, %3): centre %4 instead of %5")
                           .arg(p[0])
                           .arg(p[1])
                           .arg(p[2])
                           .arg(found)
                           .arg(expected)));
  }
}

QTEST_APPLESS_MAIN(TestNearestCentre)
#include "tst_nearest_centre.moc"
