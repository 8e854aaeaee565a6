// Streaming from a V4L2 device through the system-call seam: frames arrive,
// damaged frames are dropped, a device that is busy, fails or goes away ends
// the stream promptly, and nothing leaks over many connections.

#include <dirent.h>
#include <linux/videodev2.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

#include "platform/video/capturestream.h"
#include "platform/video/capturewidget.h"
#include "platform/video/fakev4l2.h"
#include "platform/video/v4l2device.h"
#include "platform/video/v4l2provider.h"

using namespace video;

namespace {

const std::string kPath = "/fake/video0";

int openDescriptorsOfProcess() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir)) ++count;
    ::closedir(dir);
  }
  return count;
}

fakev4l2::Node node(std::uint32_t fourcc, int width = 320, int height = 240) {
  fakev4l2::Node n;
  n.formats = {{fourcc, {{width, height}}}};
  return n;
}

struct Started {
  std::unique_ptr<CaptureStream> stream;
  base::SystemError error;
};

// Opens the fake node, sets its only format and starts streaming; the ended
// flag is raised from the worker thread.
Started startStream(std::atomic<int>* endedWith = nullptr) {
  auto device = V4l2Device::open(kPath);
  if (!device) return {nullptr, device.error()};
  const auto options = (*device)->formatOptions();
  if (options.empty()) return {nullptr, {ENODEV, "no format listed"}};
  if (auto format = (*device)->setFormat(options.front()); !format)
    return {nullptr, format.error()};
  auto stream = CaptureStream::start(std::move(*device), [endedWith](const base::SystemError& e) {
    if (endedWith) endedWith->store(e.code == 0 ? -1 : e.code);
  });
  if (!stream) return {nullptr, stream.error()};
  return {std::move(*stream), {}};
}

}  // namespace

class TestV4l2Stream : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void framesArrive_data();
  void framesArrive();
  void framesAreDecodedToTheTargetSize();
  void damagedFramesAreDropped_data();
  void damagedFramesAreDropped();
  void busyDeviceDoesNotOpen();
  void unpluggedAtAnyPointEndsCleanly_data();
  void unpluggedAtAnyPointEndsCleanly();
  void stopWakesAWaitingWorker();
  void unplugEndsThePreviewOfAWindow();
  void aCameraWithoutFramesIsLookedAtQuicklyForAWhileOnly();
  void busyDeviceRefusesToConnect();
  void hundredConnectionsLeakNothing();

 private:
  std::unique_ptr<fakev4l2::FakeV4l2> fake_;
};

void TestV4l2Stream::init() {
  fake_ = std::make_unique<fakev4l2::FakeV4l2>();
}

void TestV4l2Stream::cleanup() {
  fake_.reset();
}

void TestV4l2Stream::framesArrive_data() {
  QTest::addColumn<quint32>("fourcc");
  QTest::newRow("MJPEG frames are decoded") << quint32(V4L2_PIX_FMT_MJPEG);
  QTest::newRow("YUYV frames are converted") << quint32(V4L2_PIX_FMT_YUYV);
}

void TestV4l2Stream::framesArrive() {
  QFETCH(quint32, fourcc);
  fake_->addNode(kPath, node(fourcc));
  auto started = startStream();
  QVERIFY2(started.stream, started.error.context.c_str());
  QTRY_VERIFY(started.stream->frames().sequence() >= 3);
  std::uint64_t seen = 0;
  QImage frame;
  QVERIFY(started.stream->frames().takeNewer(seen, frame));
  QCOMPARE(frame.size(), QSize(320, 240));
  if (fourcc == V4L2_PIX_FMT_YUYV) QCOMPARE(frame.pixel(10, 10), qRgb(255, 0, 0));
  // The MJPEG pattern has its first colour bar (light grey) on the left.
  if (fourcc == V4L2_PIX_FMT_MJPEG) QVERIFY(qGray(frame.pixel(20, 100)) > 150);
  QCOMPARE(started.stream->droppedFrames(), 0u);
  started.stream.reset();
  QCOMPARE(fake_->liveMappings(), 0);
  QCOMPARE(fake_->openDescriptors(), 0);
}

void TestV4l2Stream::framesAreDecodedToTheTargetSize() {
  fake_->addNode(kPath, node(V4L2_PIX_FMT_MJPEG, 640, 480));
  auto started = startStream();
  QVERIFY(started.stream);
  started.stream->setTargetSize(QSize(150, 100));
  // Frames decoded before the new size arrived may still come first.
  std::uint64_t seen = 0;
  QImage frame;
  for (int i = 0; i < 10 && frame.size() != QSize(150, 100); ++i) {
    QTRY_VERIFY(started.stream->frames().sequence() > seen);
    QVERIFY(started.stream->frames().takeNewer(seen, frame));
  }
  QCOMPARE(frame.size(), QSize(150, 100));
}

void TestV4l2Stream::damagedFramesAreDropped_data() {
  QTest::addColumn<int>("fault");
  QTest::addColumn<bool>("everyFrame");
  const char* names[] = {"EIO on dequeue", "buffer flagged as damaged",
                         "bytesused larger than the buffer", "MJPEG frame cut short"};
  for (int fault = 0; fault < 4; ++fault) {
    QTest::addRow("%s, every frame", names[fault]) << fault << true;
    QTest::addRow("%s, one frame among good ones", names[fault]) << fault << false;
  }
}

void TestV4l2Stream::damagedFramesAreDropped() {
  QFETCH(int, fault);
  QFETCH(bool, everyFrame);
  auto n = node(V4L2_PIX_FMT_MJPEG);
  n.faults.allFrames = everyFrame;
  std::set<long>* sets[] = {&n.faults.eioFrames, &n.faults.errorFlagFrames,
                            &n.faults.oversizeFrames, &n.faults.truncatedFrames};
  sets[fault]->insert(1);
  fake_->addNode(kPath, n);
  auto started = startStream();
  QVERIFY(started.stream);
  if (everyFrame) {
    // Far more drops than there are buffers: each one went back to the driver.
    QTRY_VERIFY(started.stream->droppedFrames() >= 3 * V4l2Device::kBufferCount);
    QCOMPARE(started.stream->frames().sequence(), 0u);
  } else {
    QTRY_VERIFY(started.stream->frames().sequence() >= 5);
    QCOMPARE(started.stream->droppedFrames(), 1u);
  }
  QVERIFY(started.stream->isRunning());
  started.stream.reset();
  QCOMPARE(fake_->liveMappings(), 0);
}

void TestV4l2Stream::busyDeviceDoesNotOpen() {
  auto n = node(V4L2_PIX_FMT_MJPEG);
  n.faults.openErrno = EBUSY;
  fake_->addNode(kPath, n);
  auto started = startStream();
  QVERIFY(!started.stream);
  QCOMPARE(started.error.code, EBUSY);
  QCOMPARE(fake_->openDescriptors(), 0);
}

void TestV4l2Stream::unpluggedAtAnyPointEndsCleanly_data() {
  QTest::addColumn<long>("call");
  // Every call of setting up, plus points spread over the first frames.
  for (long call = 0; call <= 16; ++call) QTest::addRow("unplugged at call %ld", call) << call;
  QRandomGenerator random(20240611);
  for (int i = 0; i < 12; ++i) {
    const long call = 17 + random.bounded(120);
    QTest::addRow("unplugged at call %ld while streaming", call) << call;
  }
}

void TestV4l2Stream::unpluggedAtAnyPointEndsCleanly() {
  QFETCH(long, call);
  auto n = node(V4L2_PIX_FMT_MJPEG);
  n.faults.unplugAtCall = call;
  fake_->addNode(kPath, n);
  std::atomic<int> endedWith{0};
  auto started = startStream(&endedWith);
  if (started.stream) {
    QTRY_VERIFY_WITH_TIMEOUT(endedWith.load() != 0, 1000);
    QCOMPARE(endedWith.load(), ENODEV);
    QVERIFY(!started.stream->isRunning());
    // The worker gave the buffers back before reporting.
    QCOMPARE(fake_->liveMappings(), 0);
  } else {
    QCOMPARE(started.error.code, ENODEV);
  }
  started.stream.reset();
  QCOMPARE(fake_->liveMappings(), 0);
  QCOMPARE(fake_->openDescriptors(), 0);
}

void TestV4l2Stream::stopWakesAWaitingWorker() {
  auto n = node(V4L2_PIX_FMT_MJPEG);
  n.faults.stalled = true;
  n.faults.fpsDenominator = 1;  // each wait may last a whole second
  fake_->addNode(kPath, n);
  auto started = startStream();
  QVERIFY(started.stream);
  QTRY_VERIFY(fake_->pollCalls() >= 1);
  started.stream.reset();
  // The wait ended through the wake-up descriptor, not by running out.
  QCOMPARE(fake_->timedOutPolls(), 0);
  QCOMPARE(fake_->openDescriptors(), 0);
}

void TestV4l2Stream::unplugEndsThePreviewOfAWindow() {
  QTemporaryDir dir;
  const QString path = dir.filePath("video0");
  QFile(path).open(QIODevice::WriteOnly);
  fake_->addNode(path.toStdString(), node(V4L2_PIX_FMT_MJPEG));
  CaptureWidget window(std::make_shared<V4l2Provider>(dir.path().toStdString()), nullptr);
  window.resize(160, 120);
  QVERIFY(window.connectDriver(0));
  window.setScale(true);
  window.setPreviewRate(10);
  window.setPreview(true);
  QTRY_VERIFY(!window.currentFrame().isNull());
  fake_->unplugAll();
  QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 1000);
  QCOMPARE(window.pixels().pixel(80, 60), qRgb(0, 0, 0));
  QCOMPARE(fake_->liveMappings(), 0);
  QCOMPARE(fake_->openDescriptors(), 0);
  // Once a device answers at that number again, connecting works again.
  QVERIFY(window.connectDriver(0));
  window.disconnectDriver();
  QVERIFY(!window.isConnected());
}

void TestV4l2Stream::aCameraWithoutFramesIsLookedAtQuicklyForAWhileOnly() {
  QTemporaryDir dir;
  const QString path = dir.filePath("video0");
  QFile(path).open(QIODevice::WriteOnly);
  auto n = node(V4L2_PIX_FMT_MJPEG);
  n.faults.stalled = true;
  fake_->addNode(path.toStdString(), n);
  CaptureWidget window(std::make_shared<V4l2Provider>(dir.path().toStdString()), nullptr);
  QVERIFY(window.connectDriver(0));
  window.setPreviewRate(66);
  window.setPreview(true);
  // The first frame is looked for far more often than the preview rate...
  QVERIFY(window.pullInterval() < 66);
  // ...but a camera that delivers none is soon left to the preview rate.
  QTRY_COMPARE(window.pullInterval(), 66);
  QVERIFY(window.currentFrame().isNull());
  // Preview off and on again: the next stream start looks quickly again.
  window.setPreview(false);
  window.setPreview(true);
  QVERIFY(window.pullInterval() < 66);
}

void TestV4l2Stream::busyDeviceRefusesToConnect() {
  QTemporaryDir dir;
  const QString path = dir.filePath("video0");
  QFile(path).open(QIODevice::WriteOnly);
  auto n = node(V4L2_PIX_FMT_MJPEG);
  fake_->addNode(path.toStdString(), n);
  const auto cameras = std::make_shared<V4l2Provider>(dir.path().toStdString());
  QWidget host;
  CaptureWidget window(cameras, &host);
  // Listed while free, then taken by another program before we connect.
  QCOMPARE(cameras->drivers().size(), std::size_t(1));
  n.faults.openErrno = EBUSY;
  fake_->addNode(path.toStdString(), n);
  QVERIFY(!window.connectDriver(0));
  QCOMPARE(fake_->openDescriptors(), 0);
}

void TestV4l2Stream::hundredConnectionsLeakNothing() {
  QTemporaryDir dir;
  const QString path = dir.filePath("video0");
  QFile(path).open(QIODevice::WriteOnly);
  fake_->addNode(path.toStdString(), node(V4L2_PIX_FMT_MJPEG));
  const auto cameras = std::make_shared<V4l2Provider>(dir.path().toStdString());
  QWidget host;
  host.resize(320, 240);
  // The provider's watch on the device folder is made once and lives with it.
  cameras->notifier();
  const int before = openDescriptorsOfProcess();
  for (int cycle = 0; cycle < 100; ++cycle) {
    auto window = std::make_unique<CaptureWidget>(cameras, &host);
    window->setGeometry(0, 0, 320, 240);
    window->show();
    QVERIFY(window->connectDriver(0));
    if (cycle % 10 == 0) QTRY_VERIFY(window->stream()->frames().sequence() > 0);
    QVERIFY(fake_->liveMappings() <= int(V4l2Device::kBufferCount));
    window->disconnectDriver();
  }
  QCOMPARE(fake_->openDescriptors(), 0);
  QCOMPARE(fake_->liveMappings(), 0);
  QCOMPARE(fake_->peakDescriptors(), 1);
  QCOMPARE(openDescriptorsOfProcess(), before);
}

QTEST_MAIN(TestV4l2Stream)
#include "tst_v4l2stream.moc"
