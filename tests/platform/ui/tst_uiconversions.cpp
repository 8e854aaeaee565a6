// Pure conversions of the UI layer: twips, key codes, volumes.

#include <QTest>

#include "platform/ui/keycodes.h"
#include "platform/ui/twips.h"
#include "platform/ui/updown.h"
#include "platform/ui/volumes.h"

class UiConversionsTest : public QObject {
  Q_OBJECT
 private slots:
  void twipsPerPixel_data() {
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("twipsPerPixel");
    QTest::newRow("design resolution, 96 DPI: 15") << 96.0 << 15.0;
    QTest::newRow("120 DPI: 12") << 120.0 << 12.0;
    QTest::newRow("144 DPI: 10") << 144.0 << 10.0;
    QTest::newRow("no DPI reported counts as 96") << 0.0 << 15.0;
    QTest::newRow("a nonsense DPI counts as 96") << -5.0 << 15.0;
  }
  void twipsPerPixel() {
    QFETCH(double, dpi);
    QFETCH(double, twipsPerPixel);
    QCOMPARE(ui::twipsPerPixelForDpi(dpi), twipsPerPixel);
  }

  void keyCodes_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("code");
    QTest::newRow("F2 is 113") << int(Qt::Key_F2) << 113;
    QTest::newRow("F3 is 114") << int(Qt::Key_F3) << 114;
    QTest::newRow("F5 is 116") << int(Qt::Key_F5) << 116;
    QTest::newRow("F8 is 119") << int(Qt::Key_F8) << 119;
    QTest::newRow("F9 is 120") << int(Qt::Key_F9) << 120;
    QTest::newRow("Esc is 27") << int(Qt::Key_Escape) << 27;
    QTest::newRow("Enter and Return are both 13") << int(Qt::Key_Enter) << 13;
    QTest::newRow("letters are their capitals") << int(Qt::Key_A) << 65;
    QTest::newRow("digits are themselves") << int(Qt::Key_7) << 55;
    QTest::newRow("Delete is 46") << int(Qt::Key_Delete) << 46;
    QTest::newRow("a key without a code is 0") << int(Qt::Key_VolumeUp) << 0;
  }
  void keyCodes() {
    QFETCH(int, qtKey);
    QFETCH(int, code);
    QCOMPARE(int(ui::vbKeyCode(qtKey)), code);
  }

  void shiftState() {
    QCOMPARE(int(ui::vbShiftState(Qt::NoModifier)), 0);
    QCOMPARE(int(ui::vbShiftState(Qt::ShiftModifier | Qt::AltModifier)), 5);
    QCOMPARE(int(ui::vbShiftState(Qt::ControlModifier)), 2);
  }

  void volumeOfAPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("index");
    QTest::newRow("the deepest mount point above the path wins")
        << QStringLiteral("/media/okul/USB/Resimler") << 2;
    QTest::newRow("a mount point is its own volume") << QStringLiteral("/home") << 1;
    QTest::newRow("a name that only starts like a mount point is not under it")
        << QStringLiteral("/homework/x") << 0;
    QTest::newRow("anything else is on the root volume") << QStringLiteral("/tmp") << 0;
    QTest::newRow("dots are resolved first") << QStringLiteral("/home/../tmp") << 0;
    QTest::newRow("a relative path has no volume") << QStringLiteral("Resimler") << -1;
    QTest::newRow("an empty path has no volume") << QString() << -1;
  }
  void volumeOfAPath() {
    QFETCH(QString, path);
    QFETCH(int, index);
    const std::vector<ui::Volume> volumes{
        {QStringLiteral("/"), {}},
        {QStringLiteral("/home"), {}},
        {QStringLiteral("/media/okul/USB"), QStringLiteral("USB")}};
    QCOMPARE(ui::volumeIndexFor(volumes, path), index);
  }

  void volumeCaption() {
    QCOMPARE(ui::volumeCaption({QStringLiteral("/"), {}}), QStringLiteral("/"));
    QCOMPARE(ui::volumeCaption({QStringLiteral("/media/u"), QStringLiteral("KINGSTON")}),
             QStringLiteral("/media/u [KINGSTON]"));
  }

  void mountedVolumesAlwaysHoldTheRoot() {
    const auto volumes = ui::mountedVolumes();
    QVERIFY(ui::volumeIndexFor(volumes, QStringLiteral("/")) >= 0);
    for (const ui::Volume& v : volumes) {
      QVERIFY2(!v.rootPath.startsWith(QLatin1String("/proc")), qPrintable(v.rootPath));
      QVERIFY2(!v.rootPath.startsWith(QLatin1String("/sys")), qPrintable(v.rootPath));
    }
  }

  void leadingWholeNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<qint64>("number");
    QTest::newRow("plain") << QStringLiteral("105") << true << qint64(105);
    QTest::newRow("blanks and a sign before it") << QStringLiteral("  -12") << true << qint64(-12);
    QTest::newRow("stops at a decimal comma") << QStringLiteral("12,5") << true << qint64(12);
    QTest::newRow("no digit at the start") << QStringLiteral("a12") << false << qint64(0);
    QTest::newRow("empty") << QString() << false << qint64(0);
    QTest::newRow("huge numbers saturate instead of overflowing")
        << QStringLiteral("99999999999999999999999") << true << (qint64(1) << 40);
  }
  void leadingWholeNumber() {
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(qint64, number);
    const auto result = ui::leadingWholeNumber(text);
    QCOMPARE(result.has_value(), found);
    if (found) QCOMPARE(*result, number);
  }
};

QTEST_APPLESS_MAIN(UiConversionsTest)
#include "tst_uiconversions.moc"
