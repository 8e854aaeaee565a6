// The dlib face finder on its own: every picture format a photo can come in,
// pictures too small, too thin or too large to hold a face, the landmark
// model's eyes, chin and tilt, the box-only estimate, and a model file that is
// missing or damaged.

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "evaluationset.h"
#include "platform/face/dlibfacefinder.h"
#include "platform/face/machinefacefinder.h"

Q_DECLARE_METATYPE(QImage::Format)

namespace {

const QString kAstronaut = "/usr/lib/python3/dist-packages/skimage/data/astronaut.png";
// Its eyes as marked in eyes.csv.
constexpr QPointF kAstronautLeftEye{206, 103};
constexpr QPointF kAstronautRightEye{249.5, 103};
constexpr QPointF kEyeMidpoint{160, 105};

double distance(QPointF a, QPointF b) {
  return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// The astronaut's face in a 320 × 240 photo, eyes `eyes` px apart, their
// midpoint at kEyeMidpoint, the head turned `degrees` clockwise.
QImage astronautPhoto(double eyes = 40, double degrees = 0) {
  const QImage source(kAstronaut);
  if (source.isNull()) return {};
  const QPointF mid = (kAstronautLeftEye + kAstronautRightEye) / 2;
  const double scale = eyes / distance(kAstronautLeftEye, kAstronautRightEye);
  QImage photo(faceeval::kPhotoWidth, faceeval::kPhotoHeight, QImage::Format_RGB32);
  photo.fill(Qt::gray);
  QPainter painter(&photo);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.translate(kEyeMidpoint);
  painter.rotate(degrees);
  painter.scale(scale, scale);
  painter.translate(-mid);
  painter.drawImage(0, 0, source);
  return photo;
}

}  // namespace

class DlibFaceFinderTest : public QObject {
  Q_OBJECT

 private slots:
  // The model takes seconds to read (a minute under the sanitizers), so the
  // program's own finder reads it once here and serves every test that needs
  // landmarks.
  void initTestCase() {
    auto finder = face::faceFinderOfThisMachine();
    QVERIFY2(finder, "the face module was not built beside the test");
    if (QFile::exists(face::kLandmarkModelFile)) {
      QVERIFY(dynamic_cast<face::MachineFaceFinder&>(*finder).usesLandmarks());
      model_ = finder;
    }
    photo_ = astronautPhoto();
  }

  void picturesWithoutRoomForAFace_data() {
    QTest::addColumn<QImage>("picture");
    QTest::newRow("null picture") << QImage();
    QTest::newRow("one pixel") << filled(1, 1, QImage::Format_RGB32);
    QTest::newRow("a single row") << filled(5000, 1, QImage::Format_Grayscale8);
    QTest::newRow("a single column") << filled(1, 5000, QImage::Format_ARGB32);
    QTest::newRow("smaller than the detector's window") << filled(60, 60, QImage::Format_RGB888);
    QTest::newRow("one-bit picture") << filled(320, 240, QImage::Format_Mono);
    QTest::newRow("very large, shrunk before the search")
        << filled(8000, 6000, QImage::Format_Grayscale8);
  }

  void picturesWithoutRoomForAFace() {
    QFETCH(QImage, picture);
    face::DlibFaceFinder finder;
    QVERIFY(finder.find(picture).empty());
  }

  void everyPictureFormatFindsTheSameEyes_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("32-bit RGB") << QImage::Format_RGB32;
    QTest::newRow("32-bit ARGB") << QImage::Format_ARGB32;
    QTest::newRow("premultiplied ARGB") << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("24-bit RGB") << QImage::Format_RGB888;
    QTest::newRow("24-bit BGR") << QImage::Format_BGR888;
    QTest::newRow("16-bit RGB") << QImage::Format_RGB16;
    QTest::newRow("RGBA 64") << QImage::Format_RGBA64;
    QTest::newRow("8-bit grey") << QImage::Format_Grayscale8;
    QTest::newRow("16-bit grey") << QImage::Format_Grayscale16;
    QTest::newRow("indexed, 256 colours") << QImage::Format_Indexed8;
  }

  void everyPictureFormatFindsTheSameEyes() {
    QFETCH(QImage::Format, format);
    if (photo_.isNull()) QSKIP("python3-skimage's astronaut.png is not installed");
    face::DlibFaceFinder finder;
    const auto reference = finder.find(photo_);
    QCOMPARE(reference.size(), 1u);
    const auto faces = finder.find(photo_.convertToFormat(format));
    QCOMPARE(faces.size(), 1u);
    QCOMPARE_LE(distance(faces[0].leftEye, reference[0].leftEye), 2.0);
    QCOMPARE_LE(distance(faces[0].rightEye, reference[0].rightEye), 2.0);
  }

  // Rows of a grey picture whose width is not a multiple of four are padded:
  // the detector must step by the row's bytes, not by its width.
  void paddedGreyRows() {
    if (photo_.isNull()) QSKIP("python3-skimage's astronaut.png is not installed");
    QImage grey(faceeval::kPhotoWidth + 3, faceeval::kPhotoHeight, QImage::Format_Grayscale8);
    grey.fill(128);
    QPainter(&grey).drawImage(0, 0, photo_.convertToFormat(QImage::Format_Grayscale8));
    QVERIFY(grey.bytesPerLine() != grey.width());
    face::DlibFaceFinder finder;
    const auto reference = finder.find(photo_);
    const auto faces = finder.find(grey);
    QCOMPARE(faces.size(), 1u);
    QCOMPARE_LE(distance(faces[0].leftEye, reference.at(0).leftEye), 2.0);
    QCOMPARE_LE(distance(faces[0].rightEye, reference.at(0).rightEye), 2.0);
  }

  void landmarksGiveEyesChinAndTilt_data() {
    QTest::addColumn<double>("degrees");
    QTest::newRow("upright") << 0.0;
    QTest::newRow("head tilted 10 degrees clockwise") << 10.0;
    QTest::newRow("head tilted 12 degrees anticlockwise") << -12.0;
  }

  void landmarksGiveEyesChinAndTilt() {
    QFETCH(double, degrees);
    if (!model_) QSKIP("libdlib-data's landmark model is not installed");
    const QImage photo = astronautPhoto(40, degrees);
    if (photo.isNull()) QSKIP("python3-skimage's astronaut.png is not installed");
    const auto faces = model_->find(photo);
    QCOMPARE(faces.size(), 1u);
    const face::FoundFace& face = faces[0];
    QVERIFY(face.fromLandmarks);
    QVERIFY(face.leftEye.x() < face.rightEye.x());
    QCOMPARE_LE(distance((face.leftEye + face.rightEye) / 2, kEyeMidpoint), 3.0);
    QCOMPARE_LE(std::abs(distance(face.leftEye, face.rightEye) - 40), 4.0);
    // The astronaut holds her head a little tilted already: the tilt must
    // follow the turn of the picture.
    const double upright = model_->find(astronautPhoto(40, 0)).at(0).tiltDegrees;
    QCOMPARE_LE(std::abs(face.tiltDegrees - upright - degrees), 1.5);
    QVERIFY(face.chin);
    // The chin lies about 1.7 eye distances below the eye line, along the
    // face's own axis.
    const double below = distance(*face.chin, kEyeMidpoint);
    QVERIFY2(below > 50 && below < 90, qPrintable(QString::number(below)));
    QVERIFY(face.box.contains(kEyeMidpoint));
  }

  void boxAloneEstimatesTheEyes_data() {
    QTest::addColumn<double>("eyes");
    QTest::newRow("smallest face the frame suits") << 30.0;
    QTest::newRow("middle-sized face") << 40.0;
    QTest::newRow("large face") << 56.0;
  }

  void boxAloneEstimatesTheEyes() {
    QFETCH(double, eyes);
    const QImage photo = astronautPhoto(eyes);
    if (photo.isNull()) QSKIP("python3-skimage's astronaut.png is not installed");
    face::DlibFaceFinder finder;
    QVERIFY(!finder.usesLandmarks());
    const auto faces = finder.find(photo);
    QCOMPARE(faces.size(), 1u);
    const face::FoundFace& face = faces[0];
    QVERIFY(!face.fromLandmarks);
    QVERIFY(!face.chin);
    QCOMPARE(face.tiltDegrees, 0.0);
    QCOMPARE(face.leftEye.y(), face.rightEye.y());
    // The box moves between the detector's scales, so the guess is off by up
    // to a quarter of the eye distance (tst_faceevaluation measures it).
    QCOMPARE_LE(distance((face.leftEye + face.rightEye) / 2, kEyeMidpoint), eyes * 0.3);
    QCOMPARE_LE(std::abs(distance(face.leftEye, face.rightEye) - eyes), eyes / 4);
  }

  void damagedModelsAreRefused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text") << QByteArray("not a model\n");
    QTest::newRow("the model cut short") << modelStart(200'000);
  }

  void damagedModelsAreRefused() {
    QFETCH(QByteArray, content);
    if (QTest::currentDataTag() == QByteArray("the model cut short") && content.isEmpty()) {
      QSKIP("libdlib-data's landmark model is not installed");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("model.dat");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const auto loaded = face::loadLandmarkModel(path.toStdString());
    QVERIFY(!loaded);
    QVERIFY(std::holds_alternative<face::DamagedModel>(loaded.error()));
    QVERIFY(face::message(loaded.error()).find(path.toStdString()) != std::string::npos);

    // The program's finder then works from boxes, and says so once.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("finding faces without landmarks"));
    auto finder = face::faceFinderOfThisMachine(path.toStdString());
    auto* machineFinder = dynamic_cast<face::MachineFaceFinder*>(finder.get());
    QVERIFY(machineFinder);
    // Most runs never place a frame: nothing is read until placement is
    // prepared or used.
    QVERIFY(!machineFinder->isPrepared());
    machineFinder->prepare();
    QVERIFY(machineFinder->isPrepared());
    QVERIFY(!machineFinder->usesLandmarks());
  }

  void missingModelIsASystemError() {
    const auto loaded = face::loadLandmarkModel("/nonexistent/shape_predictor.dat");
    QVERIFY(!loaded);
    const auto* error = std::get_if<base::SystemError>(&loaded.error());
    QVERIFY(error);
    QCOMPARE(error->code, ENOENT);

    auto finder = face::faceFinderOfThisMachine("/nonexistent/shape_predictor.dat");
    QVERIFY(finder);
    QVERIFY(!dynamic_cast<face::MachineFaceFinder&>(*finder).usesLandmarks());
  }

  void machineFinderUsesTheInstalledModel() {
    if (!model_) QSKIP("libdlib-data's landmark model is not installed");
    if (photo_.isNull()) QSKIP("python3-skimage's astronaut.png is not installed");
    const auto faces = model_->find(photo_);
    QCOMPARE(faces.size(), 1u);
    QVERIFY(faces[0].fromLandmarks);
  }

 private:
  std::shared_ptr<face::FaceFinder> model_;
  QImage photo_;

  static QImage filled(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    image.fill(Qt::white);
    return image;
  }

  static QByteArray modelStart(qint64 bytes) {
    QFile model(face::kLandmarkModelFile);
    if (!model.open(QIODevice::ReadOnly)) return {};
    return model.read(bytes);
  }
};

QTEST_GUILESS_MAIN(DlibFaceFinderTest)
#include "tst_dlibfacefinder.moc"
