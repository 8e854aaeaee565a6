// The command-line converter as a user calls it: options, the end of the
// options, its help text and one-line errors whatever a file name holds.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
  int exitCode = -1;
  QString out;
  QString err;
};

Run convert(const QString& folder, const QStringList& arguments) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(QStringLiteral(VELMORA_CONVERT), arguments);
  if (!process.waitForFinished(60000)) return {};
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

class TestVelmoraConvert : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(folder_.isValid());
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(folder_.filePath(QStringLiteral("-a.bmp")), "BMP"));
  }

  void arguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("written");

    QTest::newRow("double dash ends the options, a name may start with a dash")
        << QStringList{"--", "-a.bmp", "b.jpg"} << 0 << "b.jpg";
    QTest::newRow("options before the double dash still count")
        << QStringList{"--quality", "90", "--", "-a.bmp", "b.jpg"} << 0 << "b.jpg";
    QTest::newRow("a dash-named file without the double dash is an unknown option")
        << QStringList{"-a.bmp", "b.jpg"} << 2 << "";
    QTest::newRow("an option after the double dash is a file name")
        << QStringList{"--", "--no-dither", "b.gif"} << 2 << "";
    QTest::newRow("unknown option") << QStringList{"-x", "s.bmp", "t.jpg"} << 2 << "";
    QTest::newRow("three files") << QStringList{"--", "-a.bmp", "b.jpg", "c.jpg"} << 2 << "";
    QTest::newRow("quality that is not a number")
        << QStringList{"--quality", "iyi", "--", "-a.bmp", "b.jpg"} << 2 << "";
  }

  void arguments() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, written);
    const Run run = convert(folder_.path(), arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (!written.isEmpty()) {
      QVERIFY(QFileInfo(folder_.filePath(written)).size() > 0);
    } else {
      QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    }
  }

  void helpStatesTheMemoryAPictureAtTheLimitNeeds() {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
      const Run run = convert(folder_.path(), {option});
      QCOMPARE(run.exitCode, 0);
      QVERIFY(run.out.contains(QLatin1String("100 megapixels")));
      QVERIFY(run.out.contains(QLatin1String("900 MB")));
      QVERIFY(run.err.isEmpty());
    }
  }

  // A copy cut short and closed again with an end marker: libjpeg would pad
  // the missing rows with grey and call it a picture.
  void jpegCutShortIsDamagedAndNothingIsWritten() {
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) picture.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) * 4));
    const QString good = folder_.filePath(QStringLiteral("good.jpg"));
    QVERIFY(picture.save(good, "JPG", 90));
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QFile cut(folder_.filePath(QStringLiteral("cut.jpg")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 2 / 3) + QByteArray("\xff\xd9", 2));
    cut.close();
    for (const QString& target : {QStringLiteral("out.bmp"), QStringLiteral("out.gif")}) {
      const Run run = convert(folder_.path(), {QStringLiteral("cut.jpg"), target});
      QCOMPARE(run.exitCode, 1);
      QVERIFY2(run.err.contains(QLatin1String("damaged")), qPrintable(run.err));
      QVERIFY(!QFileInfo::exists(folder_.filePath(target)));
    }
  }

  void errorsStayOnOneLine_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("shown");
    QTest::newRow("newline") << QStringLiteral("kayıp\nresim.bmp") << "kayıp\\nresim.bmp";
    QTest::newRow("carriage return and escape")
        << QStringLiteral("a\r\x1b[2Jb.bmp") << "a\\x0d\\x1b[2Jb.bmp";
    QTest::newRow("tab") << QStringLiteral("a\tb.bmp") << "a\\tb.bmp";
    QTest::newRow("backslash stays readable") << QStringLiteral("a\\n.bmp") << "a\\\\n.bmp";
  }

  void errorsStayOnOneLine() {
    QFETCH(QString, source);
    QFETCH(QString, shown);
    const Run run = convert(folder_.path(), {QStringLiteral("--"), source, "t.jpg"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    QVERIFY2(run.err.contains(shown), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(folder_.filePath(QStringLiteral("t.jpg"))));
  }

 private:
  QTemporaryDir folder_;
};

QTEST_GUILESS_MAIN(TestVelmoraConvert)
#include "tst_velmora_convert.moc"
