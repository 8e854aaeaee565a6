// The pacing of decodes against the window's pulls, on a simulated clock:
// fewer decodes when the window pulls slower than the camera delivers, and
// never a staler picture than decoding every frame would give.

#include <QTest>
#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/video/decodepacer.h"

using video::DecodePacer;
using Ms = std::chrono::duration<double, std::milli>;

namespace {

struct Run {
  int frames = 0;
  int decoded = 0;
  int pulls = 0;
  int stalePulls = 0;        // pulls that found an older frame than the newest arrived
  double oldestShownMs = 0;  // the oldest picture a pull found, by its age
};

DecodePacer::Clock::time_point at(double ms) {
  return DecodePacer::Clock::time_point(
      std::chrono::duration_cast<DecodePacer::Clock::duration>(Ms(1000.0 + ms)));
}

// Frames arrive at `arrivals` (ms); the window pulls every `period` ms from
// `firstPull` until `lastPull`.
// Each decode costs `decodeCostMs` of processor time.
Run simulate(const std::vector<double>& arrivals, double period, double firstPull, double lastPull,
             double decodeCostMs = 1.0) {
  DecodePacer pacer;
  Run run;
  double newestArrived = -1, newestDecoded = -1;
  double nextPull = firstPull;
  const auto pullsUntil = [&](double t) {
    while (nextPull <= lastPull && nextPull < t) {
      ++run.pulls;
      if (newestDecoded != newestArrived) ++run.stalePulls;
      if (newestDecoded >= 0)
        run.oldestShownMs = std::max(run.oldestShownMs, nextPull - newestDecoded);
      pacer.windowPulled(at(nextPull),
                         std::chrono::duration_cast<DecodePacer::Clock::duration>(Ms(period)));
      nextPull += period;
    }
  };
  for (const double arrival : arrivals) {
    pullsUntil(arrival);
    ++run.frames;
    newestArrived = arrival;
    if (pacer.shouldDecode(at(arrival))) {
      ++run.decoded;
      newestDecoded = arrival;
      pacer.decoded(std::chrono::duration_cast<DecodePacer::Clock::duration>(Ms(decodeCostMs)));
    }
  }
  return run;
}

// `count` frames every `interval` ms, each moved by the repeating `jitter`.
std::vector<double> camera(int count, double interval, std::vector<double> jitter = {0}) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) times.push_back(i * interval + jitter[i % jitter.size()]);
  return times;
}

std::vector<double> join(std::vector<double> a, const std::vector<double>& b, double offset) {
  for (const double t : b) a.push_back(offset + t);
  return a;
}

}  // namespace

class TestDecodePacer : public QObject {
  Q_OBJECT

 private slots:
  void pacing_data();
  void pacing();
  void stopsSkippingWhenThePullsStop();
  void decodeBudget_data();
  void decodeBudget();
};

void TestDecodePacer::pacing_data() {
  QTest::addColumn<std::vector<double>>("arrivals");
  QTest::addColumn<double>("period");
  QTest::addColumn<double>("firstPull");
  QTest::addColumn<double>("mostDecodedShare");

  // The workspace's case: 30 frames a second, a pull every 66 ms.
  QTest::newRow("30 fps camera, 66 ms pulls") << camera(300, 33.3) << 66.0 << 5.0 << 0.65;
  QTest::newRow("30 fps camera, 66 ms pulls, pulls just after frames")
      << camera(300, 33.3) << 66.0 << 34.0 << 0.65;
  QTest::newRow("30 fps camera with 2 ms of arrival jitter")
      << camera(300, 33.3, {0, 2, -1.5, 1, -2, 0.5}) << 66.0 << 17.0 << 0.65;
  QTest::newRow("60 fps camera, 66 ms pulls") << camera(600, 16.7) << 66.0 << 9.0 << 0.4;
  // Nothing to save: every frame is wanted.
  QTest::newRow("dim light: 15 fps camera, 66 ms pulls")
      << camera(150, 66.7) << 66.0 << 20.0 << 1.0;
  QTest::newRow("pulls faster than the camera") << camera(300, 33.3) << 10.0 << 3.0 << 1.0;
  QTest::newRow("camera slows from 30 to 15 fps")
      << join(camera(150, 33.3), camera(75, 66.7), 150 * 33.3) << 66.0 << 5.0 << 0.8;
}

void TestDecodePacer::pacing() {
  QFETCH(std::vector<double>, arrivals);
  QFETCH(double, period);
  QFETCH(double, firstPull);
  QFETCH(double, mostDecodedShare);

  const Run run = simulate(arrivals, period, firstPull, arrivals.back());
  QVERIFY(run.pulls > 10);
  QVERIFY2(run.decoded <= mostDecodedShare * run.frames,
           qPrintable(QStringLiteral("%1 of %2 decoded").arg(run.decoded).arg(run.frames)));
  // Only the pulls right after a change of the camera's pace may see a frame
  // one interval older than every-frame decoding would have shown.
  QVERIFY2(run.stalePulls <= 2, qPrintable(QStringLiteral("%1 of %2 pulls found an older frame")
                                               .arg(run.stalePulls)
                                               .arg(run.pulls)));
}

void TestDecodePacer::stopsSkippingWhenThePullsStop() {
  // Preview switched off after a second: the window no longer pulls, but a
  // grab must still find the newest frame, so every later frame is decoded.
  const std::vector<double> arrivals = camera(120, 33.3);
  DecodePacer pacer;
  int decodedLate = 0, framesLate = 0;
  double nextPull = 5;
  for (const double t : arrivals) {
    while (nextPull < t && nextPull < 1000) {
      pacer.windowPulled(at(nextPull), std::chrono::milliseconds(66));
      nextPull += 66;
    }
    const bool decoded = pacer.shouldDecode(at(t));
    if (t > 1000 + 66) {
      ++framesLate;
      decodedLate += decoded ? 1 : 0;
    }
  }
  QVERIFY(framesLate > 50);
  QCOMPARE(decodedLate, framesLate);
}

void TestDecodePacer::decodeBudget_data() {
  QTest::addColumn<double>("decodeCostMs");
  QTest::addColumn<double>("fewestPerSecond");
  QTest::addColumn<double>("mostPerSecond");
  QTest::addColumn<double>("oldestShownMs");

  // 30 fps camera, 66 ms pulls: a 640 x 480 frame is never held back; the
  // 1080p MJPEG frame decodes at every second pull and a slower one at every
  // third, and the picture shown is never older than those pulls.
  QTest::newRow("640 x 480: every pull fresh") << 0.5 << 14.0 << 18.0 << 40.0;
  QTest::newRow("720p MJPEG: every pull fresh") << 1.5 << 14.0 << 18.0 << 40.0;
  QTest::newRow("1080p MJPEG: every second pull") << 4.75 << 7.0 << 8.0 << 140.0;
  QTest::newRow("slow machine: every third pull") << 7.0 << 4.5 << 5.5 << 205.0;
}

void TestDecodePacer::decodeBudget() {
  QFETCH(double, decodeCostMs);
  QFETCH(double, fewestPerSecond);
  QFETCH(double, mostPerSecond);
  QFETCH(double, oldestShownMs);

  const std::vector<double> arrivals = camera(600, 33.3, {0, 2, -1.5, 1, -2, 0.5});
  const Run run = simulate(arrivals, 66.0, 5.0, arrivals.back(), decodeCostMs);
  const double seconds = arrivals.back() / 1000.0;
  const double perSecond = run.decoded / seconds;
  QVERIFY2(perSecond >= fewestPerSecond && perSecond <= mostPerSecond,
           qPrintable(QStringLiteral("%1 decodes a second").arg(perSecond)));
  QVERIFY2(perSecond * decodeCostMs / 1000.0 <= DecodePacer::kDecodeBudget ||
               decodeCostMs / 66.0 <= DecodePacer::kDecodeBudget,
           "over the budget");
  QVERIFY2(run.oldestShownMs <= oldestShownMs,
           qPrintable(QStringLiteral("a pull found a picture %1 ms old").arg(run.oldestShownMs)));
}

QTEST_APPLESS_MAIN(TestDecodePacer)
#include "tst_decodepacer.moc"
