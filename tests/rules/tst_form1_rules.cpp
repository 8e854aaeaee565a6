// The workspace's small rules: the start-up default frame size, the quality
// controls, and where the temporary capture file goes.

#include <QTest>

#include "rules/capturefile.h"
#include "rules/form1_rules.h"

using namespace rules;

class Form1RulesTest : public QObject {
  Q_OBJECT
 private slots:
  void defaultSize_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("0 is replaced") << QStringLiteral("0") << true;
    QTest::newRow("a negative size is replaced") << QStringLiteral("-12") << true;
    QTest::newRow("a text without a number is replaced") << QStringLiteral("abc") << true;
    QTest::newRow("1 is kept") << QStringLiteral("1") << false;
    QTest::newRow("a stored size is kept") << QStringLiteral("150") << false;
  }
  void defaultSize() {
    QFETCH(QString, text);
    QFETCH(bool, replaced);
    QCOMPARE(needsDefaultSize(text), replaced);
  }

  void qualityCaptionAndVisibility() {
    QCOMPARE(qualityCaption(7), QStringLiteral("Resim Kalitesi(7)"));
    QCOMPARE(qualityCaption(0), QStringLiteral("Resim Kalitesi(0)"));
    QVERIFY(qualityControlsVisible(0));
    QVERIFY(!qualityControlsVisible(1));
    QVERIFY(!qualityControlsVisible(2));
  }

  void newFolderNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("a name with blanks inside") << QStringLiteral("Ek Ders Belgeleri") << true;
    QTest::newRow("Turkish letters") << QStringLiteral("Öğrenci Şubesi") << true;
    QTest::newRow("a name starting with dots") << QStringLiteral("..gizli") << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("the folder itself") << QStringLiteral(".") << false;
    QTest::newRow("the parent") << QStringLiteral("..") << false;
    QTest::newRow("a way out of the folder") << QStringLiteral("../x") << false;
    QTest::newRow("a folder inside another") << QStringLiteral("a/b") << false;
    QTest::newRow("an absolute path") << QStringLiteral("/tmp") << false;
    QTest::newRow("a NUL inside") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")
                                  << false;
  }
  void newFolderNames() {
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(isPlainFolderName(name), plain);
  }

  void captureFolderChoice_data() {
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
  void captureFolderChoice() {
    QFETCH(QString, programFolder);
    QFETCH(bool, writable);
    QFETCH(QString, chosen);
    QStringList asked;
    const auto check = [&](const QString& folder) {
      asked << folder;
      return writable;
    };
    const ProgramFolders folders{programFolder, QStringLiteral("/home/u/.cache/Velmora")};
    QCOMPARE(captureFolder(folders, check), chosen);
    // Only the program folder is ever judged; the cache folder is the fallback.
    QVERIFY(!asked.contains(folders.cache));
    QCOMPARE(captureFilePath(chosen), chosen + QStringLiteral("/Capture.jpg"));
  }
};

QTEST_APPLESS_MAIN(Form1RulesTest)
#include "tst_form1_rules.moc"
