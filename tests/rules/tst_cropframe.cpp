// The crop frame's arithmetic: the move pad, the bounds that keep the frame
// on the photo, how it is drawn, and where a drag keeps the pointer.

#include <QRectF>
#include <QTest>
#include <limits>

#include "rules/cropframe.h"

using namespace rules;

class CropFrameTest : public QObject {
  Q_OBJECT
 private slots:
  void movedFrame_data() {
    QTest::addColumn<int>("direction");
    QTest::addColumn<double>("step");
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<QRectF>("moved");
    const QRectF start(50, 40, 105, 120);
    QTest::newRow("up") << 0 << 10.0 << start << QRectF(50, 30, 105, 120);
    QTest::newRow("down") << 1 << 10.0 << start << QRectF(50, 50, 105, 120);
    QTest::newRow("left") << 2 << 7.0 << start << QRectF(43, 40, 105, 120);
    QTest::newRow("right") << 3 << 7.0 << start << QRectF(57, 40, 105, 120);
    QTest::newRow("centre of 105 x 120 is 107, 60")
        << 4 << 10.0 << start << QRectF(107, 60, 105, 120);
    QTest::newRow("centre of an even width")
        << 4 << 10.0 << QRectF(0, 0, 100, 100) << QRectF(110, 70, 100, 100);
    QTest::newRow("centre of a frame wider than the box truncates toward zero")
        << 4 << 10.0 << QRectF(0, 0, 331, 243) << QRectF(-5, -1, 331, 243);
  }
  void movedFrame() {
    QFETCH(int, direction);
    QFETCH(double, step);
    QFETCH(QRectF, frame);
    QFETCH(QRectF, moved);
    const FrameRect from{float(frame.x()), float(frame.y()), float(frame.width()),
                         float(frame.height())};
    const std::optional<FrameRect> to = rules::movedFrame(from, direction, step, {320, 240});
    QVERIFY(to);
    QCOMPARE(QRectF(to->left, to->top, to->width, to->height), moved);
  }

  void unknownDirectionMovesNothing() {
    for (int direction : {-1, 5, 99}) {
      QVERIFY(!rules::movedFrame({1, 2, 3, 4}, direction, 10, {320, 240}));
    }
  }

  void bounds_data() {
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("size");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<float>("farStart");
    QTest::addColumn<float>("kept");
    QTest::newRow("exactly 5 short of the edge stays") << 210.f << 105.f << false << 210.f << 210.f;
    QTest::newRow("one pixel further is past it") << 211.f << 105.f << true << 210.f << 210.f;
    QTest::newRow("a width of 0") << 315.f << 0.f << false << 315.f << 315.f;
    QTest::newRow("a negative width") << 320.f << -5.f << false << 320.f << 320.f;
    QTest::newRow("a frame wider than the box starts at 0") << 0.f << 330.f << true << 0.f << 0.f;
    QTest::newRow("an endless frame starts at 0")
        << 0.f << std::numeric_limits<float>::infinity() << true << 0.f << 0.f;
    QTest::newRow("before the near edge is kept at 0") << -12.f << 105.f << false << 210.f << 0.f;
    QTest::newRow("before the near edge and too wide starts at 0")
        << -12.f << 330.f << true << 0.f << 0.f;
  }
  void bounds() {
    QFETCH(float, start);
    QFETCH(float, size);
    QFETCH(bool, passes);
    QFETCH(float, farStart);
    QFETCH(float, kept);
    QCOMPARE(passesFarEdge(start, size, 320), passes);
    QCOMPARE(farEdgeStart(size, 320), farStart);
    QCOMPARE(startInsideBox(start, size, 320), kept);
  }

  void drawnGeometry_data() {
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<QRect>("drawn");
    QTest::newRow("whole pixels") << QRectF(10, 20, 105, 120) << QRect(10, 20, 105, 120);
    QTest::newRow("a negative width draws nothing")
        << QRectF(10, 20, -1, 120) << QRect(10, 20, 0, 120);
    QTest::newRow("a negative height draws nothing")
        << QRectF(10, 20, 105, -30) << QRect(10, 20, 105, 0);
    QTest::newRow("a width beyond 32 bits is cut, not overflowed")
        << QRectF(50, 0, 4e9, 120) << QRect(50, 0, 1 << 24, 120);
    QTest::newRow("a left far beyond the screen is cut")
        << QRectF(3e9, -3e9, 105, 120) << QRect(1 << 24, -(1 << 24), 105, 120);
  }
  void drawnGeometry() {
    QFETCH(QRectF, frame);
    QFETCH(QRect, drawn);
    QCOMPARE(frameGeometry(
                 {float(frame.x()), float(frame.y()), float(frame.width()), float(frame.height())}),
             drawn);
  }

  void dragPoint_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("keptX");
    QTest::addColumn<int>("keptY");
    QTest::newRow("whole pixels") << 30.0 << 40.0 << 30.0 << 40;
    QTest::newRow("the horizontal fraction stays") << 30.25 << 40.0 << 30.25 << 40;
    QTest::newRow("the vertical half goes to the even 40") << 1.0 << 40.5 << 1.0 << 40;
    QTest::newRow("the vertical half goes to the even 42") << 1.0 << 41.5 << 1.0 << 42;
  }
  void dragPoint() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, keptX);
    QFETCH(int, keptY);
    const DragPoint point = rules::dragPoint(x, y);
    QCOMPARE(point.x, keptX);
    QCOMPARE(point.y, keptY);
  }
};

QTEST_APPLESS_MAIN(CropFrameTest)
#include "tst_cropframe.moc"
