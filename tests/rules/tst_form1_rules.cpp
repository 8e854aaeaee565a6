// The workspace's small rules: the start-up default frame size, the quality
// controls, and where the temporary capture file goes.

#include <QTest>

#include "rules/capturefile.h"
#include "rules/form1_rules.h"

using namespace rules;

Q_DECLARE_METATYPE(rules::PhotoName)

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

  void jpegQualityOfSliderPositions() {
    QCOMPARE(jpegQuality(0), 10);
    QCOMPARE(jpegQuality(1), 20);
    QCOMPARE(jpegQuality(7), 80);
    QCOMPARE(jpegQuality(12), 130);
  }

  void photoPathsJoinTheTrimmedParts() {
    QCOMPARE(photoBasePath(QStringLiteral("/home/u/Foto"), QStringLiteral(" Resim "),
                           QStringLiteral(" 001 ")),
             QStringLiteral("/home/u/Foto/Resim001"));
    // Joined as they are: an empty part is no error here.
    QCOMPARE(photoBasePath(QStringLiteral("/f"), QString(), QStringLiteral("7")),
             QStringLiteral("/f/7"));
  }

  void photoNames_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("number");
    QTest::addColumn<PhotoName>("verdict");
    QTest::newRow("everyday name") << "Resim"
                                   << "001" << PhotoName::Acceptable;
    QTest::newRow("Turkish letters and blanks inside") << "Öğrenci Şule "
                                                       << "12" << PhotoName::Acceptable;
    QTest::newRow("dots inside a longer name") << ".."
                                               << "1" << PhotoName::Acceptable;
    QTest::newRow("slash in the prefix") << "a/b"
                                         << "001" << PhotoName::ContainsSlash;
    QTest::newRow("slash in the number") << "Resim"
                                         << "/001" << PhotoName::ContainsSlash;
    QTest::newRow("a dot alone") << "."
                                 << "" << PhotoName::NamesAFolder;
    QTest::newRow("two dots across both parts") << " ."
                                                << ". " << PhotoName::NamesAFolder;
    QTest::newRow("a NUL inside") << QStringLiteral("Res") + QChar(u'\0') + "im"
                                  << "001" << PhotoName::ContainsNul;
  }
  void photoNames() {
    QFETCH(QString, prefix);
    QFETCH(QString, number);
    QFETCH(PhotoName, verdict);
    QCOMPARE(checkPhotoName(prefix, number), verdict);
  }

  void counters_data() {
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the first save") << "1"
                                    << "2"
                                    << "002";
    QTest::newRow("two digits") << "11"
                                << "12"
                                << "012";
    QTest::newRow("three digits") << "122"
                                  << "123"
                                  << "123";
    QTest::newRow("into four digits") << "999"
                                      << "1000"
                                      << "1000";
    QTest::newRow("four digits kept") << "1000"
                                      << "1001"
                                      << "1001";
    QTest::newRow("no number counts as 0") << ""
                                           << "1"
                                           << "001";
  }
  void counters() {
    QFETCH(QString, counter);
    QFETCH(QString, next);
    QFETCH(QString, shown);
    QCOMPARE(nextCounter(counter), next);
    QCOMPARE(counterNumberText(nextCounter(counter)), shown);
  }
};

QTEST_APPLESS_MAIN(Form1RulesTest)
#include "tst_form1_rules.moc"
