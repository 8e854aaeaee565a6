// Placing the crop frame on a face: the eye line and the eye midpoint, the
// bounds at each edge of the photo, the choice among several faces, and the
// advice line for no face, a face too small or too large, and a tilted head.

#include <QTest>

#include "rules/faceplacement.h"

using namespace rules;

namespace {

using AdviceList = QList<int>;

const QSize kPhoto(320, 240);
const QSize kBox(320, 240);
const FrameRect kFrame{107, 60, 105, 120};

// A face with its eyes `distance` apart, level, centred on `eyes`; the box
// around it as a detector draws one (about 2.2 eye distances wide).
face::FoundFace faceAt(QPointF eyes, double distance = 24, double tilt = 0) {
  face::FoundFace f;
  f.leftEye = eyes - QPointF(distance / 2, 0);
  f.rightEye = eyes + QPointF(distance / 2, 0);
  const double side = distance * 2.2;
  f.box = QRectF(eyes.x() - side / 2, eyes.y() - side * 0.35, side, side);
  f.tiltDegrees = tilt;
  f.fromLandmarks = true;
  return f;
}

AdviceList adviceOf(const FacePlacement& placed) {
  AdviceList list;
  for (FaceAdvice a : placed.advice) list << int(a);
  return list;
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<face::FoundFace>)

class FacePlacementTest : public QObject {
  Q_OBJECT
 private slots:
  void frameGoesOnTheFace_data() {
    QTest::addColumn<std::vector<face::FoundFace>>("faces");
    QTest::addColumn<QPointF>("topLeft");
    // Eyes at (160, 110): left 160 - 52.5 = 107.5 → 108 (half to even), top 110 - 54 = 56.
    QTest::newRow("eyes midway across, eye line at 45 % of the height")
        << std::vector{faceAt({160, 110})} << QPointF(108, 56);
    QTest::newRow("eye midpoint, not the box, decides") << std::vector{[] {
      face::FoundFace f = faceAt({150, 100});
      f.box.translate(30, 20);
      return f;
    }()} << QPointF(98, 46);
    QTest::newRow("near the left edge the frame stops at 0")
        << std::vector{faceAt({30, 110})} << QPointF(0, 56);
    QTest::newRow("near the right edge it stops 5 short of the box")
        << std::vector{faceAt({300, 110})} << QPointF(210, 56);
    QTest::newRow("near the top edge it stops at 0")
        << std::vector{faceAt({160, 20})} << QPointF(108, 0);
    QTest::newRow("near the bottom edge it stops 5 short of the box")
        << std::vector{faceAt({160, 230})} << QPointF(108, 115);
    QTest::newRow("in a corner both bounds apply")
        << std::vector{faceAt({315, 235})} << QPointF(210, 115);
    QTest::newRow("a face larger than the frame is still centred on its eyes")
        << std::vector{faceAt({160, 120}, 80)} << QPointF(108, 66);
    QTest::newRow("of two faces, the larger one at the same distance")
        << std::vector{faceAt({100, 120}, 20), faceAt({220, 120}, 30)} << QPointF(168, 66);
    QTest::newRow("of two equal faces, the one nearer the centre")
        << std::vector{faceAt({40, 40}), faceAt({170, 130})} << QPointF(118, 76);
    QTest::newRow("a somewhat larger face in the corner loses to the centre")
        << std::vector{faceAt({30, 30}, 28), faceAt({160, 120}, 24)} << QPointF(108, 66);
    QTest::newRow("a face far larger near the corner wins")
        << std::vector{faceAt({50, 50}, 40), faceAt({160, 120}, 24)} << QPointF(0, 0);
    QTest::newRow("a face with no eyes to go by is passed over")
        << std::vector{[] {
                         face::FoundFace f = faceAt({160, 120}, 60);
                         f.leftEye = QPointF(qQNaN(), 3);
                         return f;
                       }(),
                       faceAt({100, 120})}
        << QPointF(48, 66);
  }
  void frameGoesOnTheFace() {
    QFETCH(std::vector<face::FoundFace>, faces);
    QFETCH(QPointF, topLeft);
    const FacePlacement placed = placeOnFace(faces, kPhoto, kBox, kFrame);
    QVERIFY(placed.topLeft);
    QCOMPARE(*placed.topLeft, topLeft);
  }

  void frameLargerThanTheBoxStartsAtTheCorner() {
    const FacePlacement placed =
        placeOnFace({faceAt({200, 150}, 24)}, kPhoto, kBox, FrameRect{0, 0, 330, 250});
    QVERIFY(placed.topLeft);
    QCOMPARE(*placed.topLeft, QPointF(0, 0));
  }

  void facesOutsideTheSeenPartCountLess() {
    // A camera picture larger than the box: the part the box shows is its
    // top-left 320 x 240, whose middle is where a pupil is placed.
    const std::vector faces{faceAt({500, 400}, 26), faceAt({160, 120}, 24)};
    const auto chosen = chosenFace(faces, QRectF(0, 0, 320, 240));
    QCOMPARE(chosen, std::optional<std::size_t>(1));
    const FacePlacement placed = placeOnFace(faces, QSize(640, 480), kBox, kFrame);
    QCOMPARE(*placed.topLeft, QPointF(108, 66));
  }

  void noFaceLeavesTheFrameAndSaysSo_data() {
    QTest::addColumn<std::vector<face::FoundFace>>("faces");
    QTest::newRow("nothing found") << std::vector<face::FoundFace>{};
    QTest::newRow("only an empty box") << std::vector{[] {
      face::FoundFace f = faceAt({160, 120});
      f.box = QRectF();
      return f;
    }()};
  }
  void noFaceLeavesTheFrameAndSaysSo() {
    QFETCH(std::vector<face::FoundFace>, faces);
    const FacePlacement placed = placeOnFace(faces, kPhoto, kBox, kFrame);
    QVERIFY(!placed.topLeft);
    QCOMPARE(adviceOf(placed), AdviceList{int(FaceAdvice::NoFace)});
    QCOMPARE(adviceLine(placed.advice),
             QStringLiteral("Yüz bulunamadı; çerçeveyi elle yerleştirin."));
  }

  void adviceForThePlacedFace_data() {
    QTest::addColumn<double>("eyeDistance");
    QTest::addColumn<double>("tilt");
    QTest::addColumn<QString>("line");
    // For 105 x 120 the eyes suit from 0.27 x 0.6 x 120 = 19.44 to 0.27 x 0.9 x 120 = 29.16.
    QTest::newRow("a face that suits the frame: nothing to say") << 24.0 << 0.0 << QString();
    QTest::newRow("just inside the short end") << 19.5 << 0.0 << QString();
    QTest::newRow("just inside the long end") << 29.1 << 0.0 << QString();
    QTest::newRow("too small: come closer") << 19.4 << 0.0 << "Öğrenci kameraya yaklaşmalı";
    QTest::newRow("far too small") << 8.0 << 0.0 << "Öğrenci kameraya yaklaşmalı";
    QTest::newRow("too large: move back") << 29.2 << 0.0 << "Öğrenci kameradan uzaklaşmalı";
    QTest::newRow("tilted 8 degrees is still level enough") << 24.0 << 8.0 << QString();
    QTest::newRow("tilted over 8 degrees") << 24.0 << 8.5 << "Baş eğik";
    QTest::newRow("tilted over 8 degrees the other way") << 24.0 << -12.0 << "Baş eğik";
    QTest::newRow("too small and tilted: both, size first")
        << 12.0 << 15.0 << "Öğrenci kameraya yaklaşmalı. Baş eğik";
    QTest::newRow("too large and tilted")
        << 40.0 << -9.0 << "Öğrenci kameradan uzaklaşmalı. Baş eğik";
  }
  void adviceForThePlacedFace() {
    QFETCH(double, eyeDistance);
    QFETCH(double, tilt);
    QFETCH(QString, line);
    const FacePlacement placed =
        placeOnFace({faceAt({160, 120}, eyeDistance, tilt)}, kPhoto, kBox, kFrame);
    QVERIFY(placed.topLeft);
    QCOMPARE(adviceLine(placed.advice), line);
  }

  void tiltDoesNotShortenTheEyeDistance() {
    // Eyes 24 apart along a line rolled by 60 degrees: 12 across, still 24 apart.
    face::FoundFace f = faceAt({160, 120}, 24, 60);
    f.leftEye = QPointF(160 - 6, 120 - 10.392);
    f.rightEye = QPointF(160 + 6, 120 + 10.392);
    const FacePlacement placed = placeOnFace({f}, kPhoto, kBox, kFrame);
    QCOMPARE(adviceLine(placed.advice), QStringLiteral("Baş eğik"));
  }

  void suitableEyeDistances_data() {
    QTest::addColumn<QSizeF>("frame");
    QTest::addColumn<double>("shortest");
    QTest::addColumn<double>("longest");
    QTest::newRow("the school system's 105 x 120") << QSizeF(105, 120) << 19.44 << 29.16;
    QTest::newRow("a frame twice as large suits twice the distance")
        << QSizeF(210, 240) << 38.88 << 58.32;
    QTest::newRow("a narrow frame is limited by its width") << QSizeF(52, 120) << 19.44 << 20.0;
    QTest::newRow("a very narrow frame has one distance left") << QSizeF(26, 120) << 10.0 << 10.0;
  }
  void suitableEyeDistances() {
    QFETCH(QSizeF, frame);
    QFETCH(double, shortest);
    QFETCH(double, longest);
    const EyeDistanceRange range = rules::suitableEyeDistances(frame.width(), frame.height());
    QVERIFY(qAbs(range.shortest - shortest) < 1e-9);
    QVERIFY(qAbs(range.longest - longest) < 1e-9);
  }

  void frameOfNoSizeGetsNoSizeAdvice() {
    const FacePlacement placed =
        placeOnFace({faceAt({160, 120}, 24)}, kPhoto, kBox, FrameRect{10, 10, 0, -4});
    QVERIFY(placed.topLeft);
    QVERIFY(placed.advice.empty());
  }
};

QTEST_APPLESS_MAIN(FacePlacementTest)
#include "tst_faceplacement.moc"
