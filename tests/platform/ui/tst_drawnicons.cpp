// The program's pictures as the windows get them: every picture in
// resources/icons rendered by the build at every size the code may ask for,
// read only when painted, and sharp on 1x and 2x screens.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include "platform/ui/drawnicons.h"

namespace {

QStringList pictureNames() {
  const QDir sources(qEnvironmentVariable("TANDEO_SOURCE_DIR") +
                     QStringLiteral("/resources/icons"));
  QStringList names;
  for (const QFileInfo& svg : sources.entryInfoList({QStringLiteral("*.svg")}, QDir::Files))
    names << svg.completeBaseName();
  return names;
}

// Whether the picture has anything drawn in it.
bool hasInk(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x)
      if (qAlpha(argb.pixel(x, y)) > 0) return true;
  return false;
}

}  // namespace

class TestDrawnIcons : public QObject {
  Q_OBJECT

 private slots:
  void everyPictureAtEverySize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    const QStringList names = pictureNames();
    QVERIFY2(names.size() > 20, "the pictures' folder was not found");
    for (const QString& name : names)
      for (const int size : ui::kDrawnIconSizes)
        QTest::addRow("%s-%d", qPrintable(name), size) << name << size;
  }

  // A picture the build did not render at a size the code asks for would
  // leave a button blank.
  void everyPictureAtEverySize() {
    QFETCH(QString, name);
    QFETCH(int, size);
    const QIcon icon = ui::drawnIcon(name, size);
    QVERIFY(!icon.isNull());
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap picture = icon.pixmap(QSize(size, size), ratio);
      QCOMPARE(picture.size(), QSize(size, size) * ratio);
      QVERIFY2(hasInk(picture.toImage()), qPrintable(QStringLiteral("blank at %1x").arg(ratio)));
    }
  }

  void programIconAtTheDesktopsSizes_data() {
    QTest::addColumn<int>("size");
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) QTest::addRow("%d", size) << size;
  }

  void programIconAtTheDesktopsSizes() {
    QFETCH(int, size);
    const QIcon icon = ui::programIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QPixmap picture = icon.pixmap(QSize(size, size));
    QCOMPARE(picture.size(), QSize(size, size));
    QVERIFY(hasInk(picture.toImage()));
  }

  void sizesBetweenRenderingsComeFromTheNextLargerOne_data() {
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("given");
    // Rendered at 24 and 48 only.
    QTest::newRow("smaller than both") << 12 << 12;
    QTest::newRow("exact") << 24 << 24;
    QTest::newRow("between") << 30 << 30;
    QTest::newRow("larger than both: never enlarged") << 96 << 48;
  }

  void sizesBetweenRenderingsComeFromTheNextLargerOne() {
    QFETCH(int, asked);
    QFETCH(int, given);
    const QIcon icon = ui::drawnIcon(QStringLiteral("foto"), 24);
    QCOMPARE(icon.actualSize(QSize(asked, asked)), QSize(given, given));
    QCOMPARE(icon.pixmap(QSize(asked, asked)).size(), QSize(given, given));
  }

  void aSizeTheBuildDoesNotRenderGivesNothing() {
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("no rendering of .*foto.* 23")));
    QVERIFY(ui::drawnIcon(QStringLiteral("foto"), 23).isNull());
  }

  void disabledPicturesAreGreyed() {
    const QIcon icon = ui::drawnIcon(QStringLiteral("foto"), 32);
    const QImage normal = icon.pixmap(QSize(32, 32)).toImage();
    const QImage disabled = icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage();
    QCOMPARE(disabled.size(), normal.size());
    QVERIFY(disabled != normal);
    const QImage argb = disabled.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
      for (int x = 0; x < argb.width(); ++x) {
        const QRgb pixel = argb.pixel(x, y);
        if (qAlpha(pixel) == 0) continue;
        QVERIFY(qAbs(qRed(pixel) - qGreen(pixel)) < 40 && qAbs(qGreen(pixel) - qBlue(pixel)) < 40);
      }
  }

  // Painting through QIcon::paint (what a tool button does) fills the asked
  // rectangle from the rendering, not a blurred enlargement of a smaller one.
  void paintingUsesTheRenderingForTheScreen() {
    const QIcon icon = ui::drawnIcon(QStringLiteral("foto"), 24);
    for (const qreal ratio : {1.0, 2.0}) {
      QImage canvas(QSize(24, 24) * ratio, QImage::Format_ARGB32_Premultiplied);
      canvas.setDevicePixelRatio(ratio);
      canvas.fill(Qt::transparent);
      {
        QPainter painter(&canvas);
        icon.paint(&painter, QRect(0, 0, 24, 24));
      }
      QImage expected =
          icon.pixmap(QSize(24, 24), ratio).toImage().convertToFormat(canvas.format());
      expected.setDevicePixelRatio(ratio);
      QCOMPARE(canvas, expected);
    }
  }
};

QTEST_MAIN(TestDrawnIcons)
#include "tst_drawnicons.moc"
