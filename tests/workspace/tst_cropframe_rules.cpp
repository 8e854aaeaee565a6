// The crop frame's arithmetic and the three readings of a box's number, in
// the Turkish notation ("." groups thousands, "," separates the fraction).

#include <QTest>

#include "workspace/cropframe_rules.h"

using namespace workspace;

Q_DECLARE_METATYPE(std::optional<std::int32_t>)

namespace {

const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);

}  // namespace

class CropFrameRulesTest : public QObject {
  Q_OBJECT
 private slots:
  void countsAsNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("counts");
    QTest::newRow("a whole number") << QStringLiteral("105") << true;
    QTest::newRow("a signed number") << QStringLiteral("-5") << true;
    QTest::newRow("a plus sign") << QStringLiteral("+5") << true;
    QTest::newRow("a comma fraction") << QStringLiteral("12,5") << true;
    QTest::newRow("a comma still waiting for its fraction") << QStringLiteral("12,") << true;
    QTest::newRow("a fraction without a whole part") << QStringLiteral(",5") << true;
    QTest::newRow("grouped thousands") << QStringLiteral("1.234") << true;
    QTest::newRow("grouped thousands with a fraction") << QStringLiteral("1.234,5") << true;
    QTest::newRow("blanks around it") << QStringLiteral(" 12 ") << true;
    QTest::newRow("an empty text") << QString() << false;
    QTest::newRow("a trailing dot") << QStringLiteral("12.") << false;
    QTest::newRow("a dot that groups too few digits") << QStringLiteral("12.5") << false;
    QTest::newRow("a dot that groups too many digits") << QStringLiteral("1.2345") << false;
    QTest::newRow("a lone comma") << QStringLiteral(",") << false;
    QTest::newRow("a lone sign") << QStringLiteral("-") << false;
    QTest::newRow("two commas") << QStringLiteral("1,2,3") << false;
    QTest::newRow("a letter") << QStringLiteral("1a2") << false;
    QTest::newRow("an exponent") << QStringLiteral("1e5") << false;
  }
  void countsAsNumber() {
    QFETCH(QString, text);
    QFETCH(bool, counts);
    QCOMPARE(workspace::countsAsNumber(text, kTurkish), counts);
  }

  void storedNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<std::int32_t>>("stored");
    using N = std::optional<std::int32_t>;
    QTest::newRow("a whole number") << QStringLiteral("105") << N(105);
    QTest::newRow("12,5 rounds down to the even 12") << QStringLiteral("12,5") << N(12);
    QTest::newRow("13,5 rounds up to the even 14") << QStringLiteral("13,5") << N(14);
    QTest::newRow("-2,5 rounds to -2") << QStringLiteral("-2,5") << N(-2);
    QTest::newRow("12,6 rounds up") << QStringLiteral("12,6") << N(13);
    QTest::newRow("grouped thousands") << QStringLiteral("1.234") << N(1234);
    QTest::newRow("blanks are trimmed") << QStringLiteral(" 7 ") << N(7);
    QTest::newRow("the largest 32-bit number") << QStringLiteral("2147483647") << N(2147483647);
    QTest::newRow("the smallest 32-bit number")
        << QStringLiteral("-2147483648") << N(std::numeric_limits<std::int32_t>::min());
    QTest::newRow("one beyond 32 bits stores nothing") << QStringLiteral("2147483648") << N();
    QTest::newRow("a half past the largest stores nothing")
        << QStringLiteral("2147483647,5") << N();
    QTest::newRow("an empty box stores nothing") << QString() << N();
    QTest::newRow("a lone comma stores nothing") << QStringLiteral(",") << N();
    QTest::newRow("letters store nothing") << QStringLiteral("abc") << N();
  }
  void storedNumber() {
    QFETCH(QString, text);
    QFETCH(std::optional<std::int32_t>, stored);
    QCOMPARE(workspace::storedNumber(text, kTurkish), stored);
  }

  void numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("text");
    QTest::newRow("a whole number") << 107.0 << 15 << QStringLiteral("107");
    QTest::newRow("a negative number") << -65.0 << 15 << QStringLiteral("-65");
    QTest::newRow("a fraction keeps its comma") << 170.5 << 15 << QStringLiteral("170,5");
    QTest::newRow("no grouping of thousands") << 1234567.0 << 7 << QStringLiteral("1234567");
    QTest::newRow("a single keeps its seven digits")
        << double(233.766f) << 7 << QStringLiteral("233,766");
    QTest::newRow("large values are written out, never with an exponent")
        << 10000060.0 << 7 << QStringLiteral("10000060");
    QTest::newRow("no negative zero") << -0.0 << 15 << QStringLiteral("0");
  }
  void numberText() {
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, text);
    QCOMPARE(workspace::numberText(value, kTurkish, digits), text);
    // What is written reads back as the same number.
    QVERIFY(workspace::countsAsNumber(workspace::numberText(value, kTurkish, digits), kTurkish));
  }

  void filter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("resultCaret");
    QTest::newRow("a number is accepted") << QStringLiteral("12") << 2 << false << QString() << 0;
    QTest::newRow("a fraction is accepted")
        << QStringLiteral("12,5") << 4 << false << QString() << 0;
    QTest::newRow("grouped thousands are accepted")
        << QStringLiteral("1.234") << 5 << false << QString() << 0;
    QTest::newRow("a typed dot goes")
        << QStringLiteral("12.") << 3 << true << QStringLiteral("12") << 2;
    QTest::newRow("a letter goes and the caret steps back")
        << QStringLiteral("1a2") << 2 << true << QStringLiteral("12") << 1;
    QTest::newRow("a letter at the start keeps the caret at the start")
        << QStringLiteral("a12") << 0 << true << QStringLiteral("12") << 0;
    QTest::newRow("a second comma goes")
        << QStringLiteral("1,2,") << 4 << true << QStringLiteral("1,2") << 3;
    QTest::newRow("a misplaced group dot goes")
        << QStringLiteral("12.5") << 4 << true << QStringLiteral("125") << 3;
    QTest::newRow("a lone sign empties the box")
        << QStringLiteral("-") << 1 << true << QString() << 0;
    QTest::newRow("blanks before the number cost no digit")
        << QStringLiteral("  1a2 ") << 4 << true << QStringLiteral("12") << 3;
    QTest::newRow("a lone comma is left alone, so the filter does not run again")
        << QStringLiteral(",") << 1 << false << QString() << 0;
    QTest::newRow("an empty box is left alone") << QString() << 0 << false << QString() << 0;
  }
  void filter() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(bool, rewritten);
    QFETCH(QString, result);
    QFETCH(int, resultCaret);
    const std::optional<FilteredText> filtered = filterNumberText(text, caret, kTurkish);
    QCOMPARE(filtered.has_value(), rewritten);
    if (!filtered) return;
    QCOMPARE(filtered->text, result);
    QCOMPARE(filtered->caret, resultCaret);
    // The rebuilt text never needs another rebuild.
    QVERIFY(!filterNumberText(filtered->text, filtered->caret, kTurkish));
  }

  void filterKeepsTheDecimalPointOfTheNotation() {
    const std::optional<FilteredText> filtered = filterNumberText("1x.5", 2, QLocale::c());
    QVERIFY(filtered);
    QCOMPARE(filtered->text, QStringLiteral("1.5"));
  }

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
    const std::optional<FrameRect> to = workspace::movedFrame(from, direction, step, {320, 240});
    QVERIFY(to);
    QCOMPARE(QRectF(to->left, to->top, to->width, to->height), moved);
  }

  void unknownDirectionMovesNothing() {
    for (int direction : {-1, 5, 99}) {
      QVERIFY(!workspace::movedFrame({1, 2, 3, 4}, direction, 10, {320, 240}));
    }
  }

  void bounds_data() {
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("size");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<float>("farStart");
    QTest::newRow("exactly 5 short of the edge stays") << 210.f << 105.f << false << 210.f;
    QTest::newRow("one pixel further is past it") << 211.f << 105.f << true << 210.f;
    QTest::newRow("a width of 0") << 315.f << 0.f << false << 315.f;
    QTest::newRow("a negative width") << 320.f << -5.f << false << 320.f;
    QTest::newRow("a frame wider than the box starts at 0") << 0.f << 330.f << true << 0.f;
    QTest::newRow("an endless frame starts at 0")
        << 0.f << std::numeric_limits<float>::infinity() << true << 0.f;
  }
  void bounds() {
    QFETCH(float, start);
    QFETCH(float, size);
    QFETCH(bool, passes);
    QFETCH(float, farStart);
    QCOMPARE(passesFarEdge(start, size, 320), passes);
    QCOMPARE(farEdgeStart(size, 320), farStart);
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
    const DragPoint point = workspace::dragPoint(x, y);
    QCOMPARE(point.x, keptX);
    QCOMPARE(point.y, keptY);
  }
};

QTEST_APPLESS_MAIN(CropFrameRulesTest)
#include "tst_cropframe_rules.moc"
