// Which V4L2 nodes become capture drivers, in which order, under which name.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/video/fakev4l2.h"
#include "platform/video/v4l2provider.h"

using namespace video;

namespace {

fakev4l2::Node camera(const std::string& card) {
  fakev4l2::Node node;
  node.card = card;
  return node;
}

fakev4l2::Node metadataNode(const std::string& card) {
  fakev4l2::Node node;
  node.card = card;
  // uvcvideo reports the union of both nodes in `capabilities`; only
  // device_caps tells the metadata node apart.
  node.capabilities =
      V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
  node.deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
  return node;
}

}  // namespace

class TestV4l2Enumeration : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void captureNodesInNodeOrder();
  void nodesThatAreNotCamerasAreSkipped_data();
  void nodesThatAreNotCamerasAreSkipped();
  void cardNamesLoseSurroundingBlanks();
  void atMostTenDrivers();
  void openingADriverNumberOpensThatNode();
  void enumerationClosesWhatItOpens();

 private:
  void addNode(const QString& name, fakev4l2::Node node);
  QStringList driverNames();

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<fakev4l2::FakeV4l2> fake_;
};

void TestV4l2Enumeration::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  fake_ = std::make_unique<fakev4l2::FakeV4l2>();
}

void TestV4l2Enumeration::cleanup() {
  fake_.reset();
  dir_.reset();
}

void TestV4l2Enumeration::addNode(const QString& name, fakev4l2::Node node) {
  const QString path = dir_->filePath(name);
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  fake_->addNode(path.toStdString(), std::move(node));
}

QStringList TestV4l2Enumeration::driverNames() {
  V4l2Provider provider(dir_->path().toStdString());
  QStringList names;
  for (const auto& d : provider.drivers()) names << QString::fromStdString(d.name);
  return names;
}

void TestV4l2Enumeration::captureNodesInNodeOrder() {
  // Gaps in the node numbers do not leave gaps in the driver numbers, and
  // video10 sorts after video2 (numerically, not as text).
  addNode("video10", camera("Ten"));
  addNode("video2", camera("Two"));
  addNode("video0", camera("Zero"));
  addNode("video5", camera("Five"));
  QCOMPARE(driverNames(), (QStringList{"Zero", "Two", "Five", "Ten"}));
}

void TestV4l2Enumeration::nodesThatAreNotCamerasAreSkipped_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("kind");
  QTest::newRow("metadata node of a webcam") << "video1" << 0;
  QTest::newRow("output-only node") << "video1" << 1;
  QTest::newRow("capture node that cannot stream") << "video1" << 2;
  QTest::newRow("node that is busy elsewhere") << "video1" << 3;
  QTest::newRow("file that only looks like a node") << "video1x" << 4;
  QTest::newRow("other kind of device node") << "vbi1" << 4;
  QTest::newRow("file the fake does not know") << "video1" << 5;
}

void TestV4l2Enumeration::nodesThatAreNotCamerasAreSkipped() {
  QFETCH(QString, name);
  QFETCH(int, kind);
  addNode("video0", camera("Webcam"));
  fakev4l2::Node odd = camera("Odd");
  switch (kind) {
    case 0:
      odd = metadataNode("Webcam");
      break;
    case 1:
      odd.deviceCaps = V4L2_CAP_VIDEO_OUTPUT | V4L2_CAP_STREAMING;
      break;
    case 2:
      odd.deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE;
      break;
    case 3:
      odd.faults.openErrno = EBUSY;
      break;
    default:
      break;
  }
  if (kind == 5) {
    QFile file(dir_->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
  } else {
    addNode(name, odd);
  }
  addNode("video4", camera("Second"));
  QCOMPARE(driverNames(), (QStringList{"Webcam", "Second"}));
}

void TestV4l2Enumeration::cardNamesLoseSurroundingBlanks() {
  addNode("video0", camera("  Integrated Camera  "));
  fakev4l2::Node oldDriver = camera("Old\tcam ");
  oldDriver.capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;  // no device_caps
  oldDriver.deviceCaps = 0;
  addNode("video1", oldDriver);
  QCOMPARE(driverNames(), (QStringList{"Integrated Camera", "Old\tcam"}));
}

void TestV4l2Enumeration::atMostTenDrivers() {
  for (int i = 0; i < 13; ++i)
    addNode(QString("video%1").arg(i), camera("Cam " + std::to_string(i)));
  const QStringList names = driverNames();
  QCOMPARE(names.size(), kMaxDrivers);
  QCOMPARE(names.last(), QString("Cam 9"));
}

void TestV4l2Enumeration::openingADriverNumberOpensThatNode() {
  addNode("video0", camera("First"));
  addNode("video1", metadataNode("First"));
  fakev4l2::Node second = camera("Second");
  second.formats = {{V4L2_PIX_FMT_YUYV, {{160, 120}, {320, 240}}}};
  addNode("video2", second);
  V4l2Provider provider(dir_->path().toStdString());
  auto device = provider.open(1);
  QVERIFY(device);
  const auto options = (*device)->formatOptions();
  QCOMPARE(options.size(), std::size_t(2));
  QCOMPARE(options[0].fourcc, std::uint32_t(V4L2_PIX_FMT_YUYV));
  QCOMPARE(options[1].width, 320);
  QVERIFY(!provider.open(2));
  QVERIFY(!provider.open(-1));
}

void TestV4l2Enumeration::enumerationClosesWhatItOpens() {
  addNode("video0", camera("A"));
  addNode("video1", metadataNode("A"));
  addNode("video2", camera("B"));
  QCOMPARE(driverNames().size(), 2);
  QCOMPARE(fake_->openDescriptors(), 0);
  QCOMPARE(fake_->peakDescriptors(), 1);  // one node at a time
}

QTEST_GUILESS_MAIN(TestV4l2Enumeration)
#include "tst_v4l2enumeration.moc"
