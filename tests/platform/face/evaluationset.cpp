#include "evaluationset.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <cstring>

#include "platform/video/testpattern.h"

namespace faceeval {
namespace {

const QString kSkimageData = "/usr/lib/python3/dist-packages/skimage/data/";
const QString kOpencvData = "/usr/share/doc/opencv-doc/examples/data/";
constexpr int kLfwSide = 25;

// The photographs' eye distances and eye-midpoint positions: from the
// smallest face the frame suits to one twice as large, across the picture.
constexpr double kEyeDistances[] = {30, 36, 44, 54};
constexpr QPointF kEyeMidpoints[] = {{160, 105}, {120, 95}, {205, 125}};
// LFW's faces have their eyes about 10 pixels apart; enlarged 3.2-4 times.
constexpr double kLfwScales[] = {3.2, 3.6, 4.0};
constexpr QPointF kLfwCorners[] = {{100, 50}, {40, 80}, {170, 30}, {120, 110}};

struct Source {
  QString package, file;
  QRect region;
  QPointF leftEye, rightEye;
};

// The rows of a table: comments and the header line left out. A table that
// cannot be read is an empty list (the test then fails on its counts).
std::vector<QStringList> readTable(const QString& path) {
  QFile file(path);
  std::vector<QStringList> rows;
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return rows;
  bool header = true;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (!std::exchange(header, false)) rows.push_back(line.split(','));
  }
  return rows;
}

std::vector<Source> readSources(const QString& csv) {
  std::vector<Source> sources;
  for (const QStringList& f : readTable(csv)) {
    if (f.size() != 10) continue;
    const auto n = [&f](int i) { return f[i].toDouble(); };
    sources.push_back({f[0], f[1], QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()),
                       QPointF(n(6), n(7)), QPointF(n(8), n(9))});
  }
  return sources;
}

void addPhotographs(const std::vector<Source>& sources, Set& set) {
  for (const Source& source : sources) {
    QImage picture(source.file);
    if (picture.isNull()) {
      if (!set.missing.contains(source.package)) set.missing << source.package;
      continue;
    }
    const QRect region = source.region.isEmpty() ? picture.rect() : source.region;
    const QPointF mid = (source.leftEye + source.rightEye) / 2;
    const double distance = std::hypot(source.rightEye.x() - source.leftEye.x(),
                                       source.rightEye.y() - source.leftEye.y());
    for (double eyes : kEyeDistances) {
      for (QPointF at : kEyeMidpoints) {
        const double scale = eyes / distance;
        Photo photo;
        photo.name = QStringLiteral("%1@%2 eyes %3 px at %4,%5")
                         .arg(QFileInfo(source.file).fileName())
                         .arg(region.x())
                         .arg(eyes)
                         .arg(at.x())
                         .arg(at.y());
        photo.image = placed(picture, region, mid, scale, at);
        photo.leftEye = at + (source.leftEye - mid) * scale;
        photo.rightEye = at + (source.rightEye - mid) * scale;
        set.photographs.push_back(std::move(photo));
      }
    }
  }
}

QImage lfwPicture(const NpyArray& lfw, int index) {
  QImage face(kLfwSide, kLfwSide, QImage::Format_Grayscale8);
  const double* values = lfw.values.data() + std::size_t(index) * kLfwSide * kLfwSide;
  for (int y = 0; y < kLfwSide; ++y) {
    for (int x = 0; x < kLfwSide; ++x) {
      face.scanLine(y)[x] =
          uchar(std::lround(std::clamp(values[y * kLfwSide + x], 0.0, 1.0) * 255));
    }
  }
  return face;
}

// The subset holds 100 faces, then 100 non-faces, each 25 × 25 in [0, 1].
void addLfw(const QString& posesCsv, Set& set) {
  QSet<int> notFrontal;
  for (const QStringList& f : readTable(posesCsv)) notFrontal.insert(f[0].toInt());
  const auto lfw = readNpy(kSkimageData + "lfw_subset.npy");
  if (!lfw || lfw->shape != std::vector<long>{200, kLfwSide, kLfwSide}) {
    if (!set.missing.contains("python3-skimage")) set.missing << "python3-skimage";
    return;
  }
  for (int i = 0; i < 200; ++i) {
    const double scale = kLfwScales[i % std::size(kLfwScales)];
    const QPointF corner = kLfwCorners[i % std::size(kLfwCorners)];
    Photo photo;
    photo.name = QStringLiteral("lfw_subset[%1] x%2").arg(i).arg(scale);
    photo.image =
        placed(lfwPicture(*lfw, i), QRect(0, 0, kLfwSide, kLfwSide), QPointF(0, 0), scale, corner);
    const double side = kLfwSide * scale;
    if (i < 100) {
      // Where the eyes of an LFW face can be: the middle half across, from
      // a sixth to three fifths down.
      photo.faceArea = QRectF(corner.x() + side / 4, corner.y() + side / 6, side / 2, side * 0.43);
      photo.frontal = !notFrontal.contains(i);
      set.lfwFaces.push_back(std::move(photo));
    } else {
      set.nonFaces.push_back(std::move(photo));
    }
  }
}

// A picture without faces, shrunk to cover 320 × 240 and cut from its middle.
void addNonFace(const QString& package, const QString& file, Set& set) {
  const QImage picture(file);
  if (picture.isNull()) {
    if (!set.missing.contains(package)) set.missing << package;
    return;
  }
  const QImage covered = picture.scaled(kPhotoWidth, kPhotoHeight, Qt::KeepAspectRatioByExpanding,
                                        Qt::SmoothTransformation);
  const QRect middle((covered.width() - kPhotoWidth) / 2, (covered.height() - kPhotoHeight) / 2,
                     kPhotoWidth, kPhotoHeight);
  set.nonFaces.push_back({QFileInfo(file).fileName(), covered.copy(middle), {}, {}, {}});
}

void addTestPatterns(Set& set) {
  for (std::uint64_t frame : {0, 37, 512}) {
    const auto rgb = video::patternRgb(frame, {}, kPhotoWidth, kPhotoHeight);
    const QImage pattern(rgb.data(), kPhotoWidth, kPhotoHeight, kPhotoWidth * 3,
                         QImage::Format_RGB888);
    set.nonFaces.push_back(
        {QStringLiteral("test pattern frame %1").arg(frame), pattern.copy(), {}, {}, {}});
  }
}

}  // namespace

QImage placed(const QImage& source, const QRect& region, QPointF anchor, double scale, QPointF at) {
  QImage photo(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
  photo.fill(QColor(128, 128, 128));
  QPainter painter(&photo);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.translate(at);
  painter.scale(scale, scale);
  painter.translate(-anchor);
  painter.drawImage(region.topLeft(), source, region);
  return photo;
}

Set compose(const QString& tables) {
  Set set;
  addPhotographs(readSources(tables + "/eyes.csv"), set);
  addLfw(tables + "/lfw_poses.csv", set);
  for (const char* texture : {"brick.png", "grass.png", "gravel.png", "coffee.png", "coins.png",
                              "rocket.jpg", "moon.png", "text.png", "page.png"}) {
    addNonFace("python3-skimage", kSkimageData + texture, set);
  }
  for (const char* object : {"fruits.jpg", "building.jpg", "home.jpg", "board.jpg", "apple.jpg",
                             "butterfly.jpg", "aero1.jpg", "smarties.png", "starry_night.jpg"}) {
    addNonFace("opencv-doc", kOpencvData + object, set);
  }
  addTestPatterns(set);
  return set;
}

base::Expected<NpyArray, QString> readNpy(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString("cannot open " + path);
  const QByteArray data = file.readAll();
  // Magic, version, header length (2 bytes in 1.0, 4 from 2.0), header.
  if (data.size() < 10 || !data.startsWith("\x93NUMPY")) return QString("not a .npy file");
  const int major = uchar(data[6]);
  const int lengthBytes = major == 1 ? 2 : 4;
  qsizetype headerLength = 0;
  for (int i = lengthBytes - 1; i >= 0; --i) headerLength = headerLength * 256 + uchar(data[8 + i]);
  const qsizetype start = 8 + lengthBytes + headerLength;
  if (start > data.size()) return QString("header past the end");
  const QString header = QString::fromLatin1(data.mid(8 + lengthBytes, headerLength));
  const auto descr = QRegularExpression("'descr':\\s*'([^']*)'").match(header).captured(1);
  const auto shapeText = QRegularExpression("'shape':\\s*\\(([^)]*)\\)").match(header).captured(1);
  if (header.contains("'fortran_order': True")) return QString("Fortran order");
  NpyArray array;
  std::size_t count = 1;
  for (const QString& n : shapeText.split(',', Qt::SkipEmptyParts)) {
    array.shape.push_back(n.trimmed().toLong());
    count *= std::size_t(array.shape.back());
  }
  const std::size_t itemSize = descr == "<f8" ? 8 : descr == "|u1" ? 1 : 0;
  if (itemSize == 0) return QString("unread element type " + descr);
  if (std::size_t(data.size() - start) < count * itemSize) return QString("data cut short");
  array.values.resize(count);
  const char* bytes = data.constData() + start;
  for (std::size_t i = 0; i < count; ++i) {
    if (itemSize == 8) {
      std::memcpy(&array.values[i], bytes + i * 8, 8);  // little-endian, as this machine
    } else {
      array.values[i] = uchar(bytes[i]);
    }
  }
  return array;
}

}  // namespace faceeval
