// The pure rules behind taking a photo: where the temporary capture file goes
// and how the crop frame's rectangle becomes whole pixels.

#include <QTest>

#include "workspace/capturefile.h"
#include "workspace/form1_rules.h"

class CaptureFileTest : public QObject {
  Q_OBJECT
 private slots:
  void folderChoice_data() {
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("a portable copy keeps the file beside the program")
        << QStringLiteral("/opt/velmora") << true << QStringLiteral("/opt/velmora");
    QTest::newRow("an installed, read-only program folder sends it to the cache")
        << QStringLiteral("/usr/bin") << false << QStringLiteral("/home/u/.cache/Velmora");
    QTest::newRow("an unknown program folder sends it to the cache")
        << QString() << true << QStringLiteral("/home/u/.cache/Velmora");
  }
  void folderChoice() {
    QFETCH(QString, programFolder);
    QFETCH(bool, writable);
    QFETCH(QString, chosen);
    QStringList asked;
    const auto check = [&](const QString& folder) {
      asked << folder;
      return writable;
    };
    QCOMPARE(
        workspace::captureFolder(programFolder, QStringLiteral("/home/u/.cache/Velmora"), check),
        chosen);
    // Only the program folder is ever judged; the cache folder is the fallback.
    QVERIFY(!asked.contains(QStringLiteral("/home/u/.cache/Velmora")));
  }

  void cacheFolderFollowsXdgCacheHome() {
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", "/tmp/some-cache");
    const QString folder = workspace::programCacheFolder();
    qputenv("XDG_CACHE_HOME", saved);
    QCOMPARE(folder, QStringLiteral("/tmp/some-cache/Velmora"));
  }

  void roundingHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("whole");
    QTest::newRow("whole numbers stay") << 105.0 << 105;
    QTest::newRow("below a half rounds down") << 2.49 << 2;
    QTest::newRow("above a half rounds up") << 2.51 << 3;
    QTest::newRow("a half below an even number goes up to it") << 1.5 << 2;
    QTest::newRow("a half above an even number goes down to it") << 2.5 << 2;
    QTest::newRow("a half after an odd number goes to the even one") << 3.5 << 4;
    QTest::newRow("negative halves go to even too") << -2.5 << -2;
    QTest::newRow("negative halves below an even number") << -3.5 << -4;
    QTest::newRow("beyond int is clamped") << 1e12 << std::numeric_limits<int>::max();
    QTest::newRow("not a number gives 0") << std::numeric_limits<double>::quiet_NaN() << 0;
  }
  void roundingHalvesToEven() {
    QFETCH(double, value);
    QFETCH(int, whole);
    QCOMPARE(workspace::roundHalfToEven(value), whole);
  }
};

QTEST_APPLESS_MAIN(CaptureFileTest)
#include "tst_capturefile.moc"
