// Cameras as physical things: each is named by its identity (serial number,
// or bus position and model), opened with the profile remembered for it, and
// survives being pulled out and plugged in again, at any node number,
// without a hang, a spinning core or a leaked descriptor or mapping.

#include <dirent.h>
#include <linux/videodev2.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <map>
#include <optional>

#include "platform/video/cameraprofiles.h"
#include "platform/video/capturestream.h"
#include "platform/video/capturewidget.h"
#include "platform/video/fakev4l2.h"
#include "platform/video/syntheticcamera.h"
#include "platform/video/v4l2device.h"
#include "platform/video/v4l2provider.h"
#include "support/cameras.h"

using namespace video;

namespace {

constexpr std::uint32_t kBrightness = V4L2_CID_BRIGHTNESS;
constexpr std::uint32_t kContrast = V4L2_CID_CONTRAST;

int openDescriptorsOfProcess() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir)) ++count;
    ::closedir(dir);
  }
  return count;
}

class MemoryProfiles final : public CameraProfiles {
 public:
  std::optional<CameraProfile> load(const std::string& identity) const override {
    const auto it = stored.find(identity);
    if (it == stored.end()) return {};
    return it->second;
  }
  void save(const std::string& identity, const CameraProfile& profile) override {
    stored[identity] = profile;
  }
  std::map<std::string, CameraProfile> stored;
};

// What sysfs says of the USB device above a node; no value: not on USB.
struct Usb {
  QString port = QStringLiteral("1-1");
  QString vendor = QStringLiteral("046d");
  QString product = QStringLiteral("0825");
  QString serial;  // empty: the camera has none
};

void writeText(const QString& path, const QString& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8() + '\n');
}

fakev4l2::Node cameraNode() {
  fakev4l2::Node node;
  node.formats = {{V4L2_PIX_FMT_MJPEG, {{320, 240}, {640, 480}}},
                  {V4L2_PIX_FMT_YUYV, {{640, 480}}}};
  for (const auto& control : fakev4l2::webcamControls())
    if (control.id == kBrightness || control.id == kContrast) node.controls.push_back(control);
  return node;
}

std::optional<std::size_t> indexOf(const std::vector<std::string>& calls, const std::string& call,
                                   std::size_t from = 0) {
  for (std::size_t i = from; i < calls.size(); ++i)
    if (calls[i] == call) return i;
  return {};
}

bool containsCall(const std::vector<std::string>& calls, const std::string& call) {
  return indexOf(calls, call).has_value();
}

bool isBlack(const CaptureWidget& window) {
  const QImage shown = window.pixels();
  return shown.pixel(shown.width() / 2, shown.height() / 2) == qRgb(0, 0, 0);
}

}  // namespace

class TestCameraHotplug : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void identityNamesThePhysicalCamera_data();
  void identityNamesThePhysicalCamera();
  void profileIsAppliedOnConnect_data();
  void profileIsAppliedOnConnect();
  void profileIsSavedWhenTheDialogsChangeSomething();
  void lossAtEachPointOfTheStreamPaintsBlack_data();
  void lossAtEachPointOfTheStreamPaintsBlack();
  void replugResumesOnlyTheSameCamera_data();
  void replugResumesOnlyTheSameCamera();
  void anotherCameraComingLeavesTheStreamAlone();
  void hundredUnplugReplugCyclesLeakNothing();
  void syntheticCameraUnplugsAndReplugs();
  void askingOnEveryTickWhileAwayDoesNotKeepLooking();

 private:
  QString nodePath(int number) const {
    return dev_->filePath(QStringLiteral("video%1").arg(number));
  }
  void plug(int number, fakev4l2::Node node, std::optional<Usb> usb);
  void unplug(int number);
  std::shared_ptr<V4l2Provider> provider() const {
    return std::make_shared<V4l2Provider>(dev_->path().toStdString(), sys_->path().toStdString());
  }

  std::unique_ptr<fakev4l2::FakeV4l2> fake_;
  std::unique_ptr<QTemporaryDir> dev_;
  std::unique_ptr<QTemporaryDir> sys_;
};

void TestCameraHotplug::init() {
  fake_ = std::make_unique<fakev4l2::FakeV4l2>();
  dev_ = std::make_unique<QTemporaryDir>();
  sys_ = std::make_unique<QTemporaryDir>();
}

void TestCameraHotplug::cleanup() {
  fake_.reset();
  dev_.reset();
  sys_.reset();
}

// The layout of /sys/class/video4linux: videoN/device leads to the USB
// interface, whose parent folder is the USB device with its attributes; the
// root hub above has attributes (and a serial number) of its own.
void TestCameraHotplug::plug(int number, fakev4l2::Node node, std::optional<Usb> usb) {
  const QDir sys(sys_->path());
  const QString hub = sys.filePath(QStringLiteral("devices/usb1"));
  QVERIFY(QDir().mkpath(hub));
  writeText(hub + "/idVendor", "1d6b");
  writeText(hub + "/idProduct", "0002");
  writeText(hub + "/serial", "0000:00:14.0");
  const QString nodeFolder = sys.filePath(QStringLiteral("video%1").arg(number));
  QVERIFY(QDir().mkpath(nodeFolder));
  QFile::remove(nodeFolder + "/device");
  if (usb) {
    const QString device = hub + '/' + usb->port;
    const QString interface = device + '/' + usb->port + ":1.0";
    QVERIFY(QDir().mkpath(interface));
    writeText(device + "/idVendor", usb->vendor);
    writeText(device + "/idProduct", usb->product);
    QFile::remove(device + "/serial");
    if (!usb->serial.isEmpty()) writeText(device + "/serial", usb->serial);
    QVERIFY(QFile::link(interface, nodeFolder + "/device"));
  } else {
    const QString platform = sys.filePath(QStringLiteral("devices/platform/vivid.0"));
    QVERIFY(QDir().mkpath(platform));
    QVERIFY(QFile::link(platform, nodeFolder + "/device"));
  }
  fake_->addNode(nodePath(number).toStdString(), std::move(node));
  QFile file(nodePath(number));
  QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestCameraHotplug::unplug(int number) {
  fake_->unplugAll();
  fake_->removeNode(nodePath(number).toStdString());
  QVERIFY(QFile::remove(nodePath(number)));
}

void TestCameraHotplug::identityNamesThePhysicalCamera_data() {
  QTest::addColumn<bool>("onUsb");
  QTest::addColumn<QString>("serial");
  QTest::addColumn<QString>("busInfo");
  QTest::addColumn<QString>("identity");
  QTest::newRow("a USB camera with a serial number is named by it") << true << "A1B2C3"
                                                                    << "usb-0000:00:14.0-1"
                                                                    << "serial:046d:0825/A1B2C3";
  QTest::newRow("a USB camera without one by its port, card and model, not the hub's serial")
      << true << ""
      << "usb-0000:00:14.0-2"
      << "bus:usb-0000:00:14.0-2/Fake Camera/046d:0825";
  QTest::newRow("a camera off USB by its bus position and card")
      << false << ""
      << "platform:vivid-000"
      << "bus:platform:vivid-000/Fake Camera";
}

void TestCameraHotplug::identityNamesThePhysicalCamera() {
  QFETCH(bool, onUsb);
  QFETCH(QString, serial);
  QFETCH(QString, busInfo);
  QFETCH(QString, identity);
  auto node = cameraNode();
  node.busInfo = busInfo.toStdString();
  std::optional<Usb> usb;
  if (onUsb) usb = Usb{.serial = serial};
  plug(3, node, usb);
  const auto drivers = provider()->drivers();
  QCOMPARE(drivers.size(), std::size_t(1));
  QCOMPARE(QString::fromStdString(drivers[0].identity), identity);
  // Opening tells the same camera as listing does.
  auto opened = provider()->openDriver(0);
  QVERIFY(opened);
  QCOMPARE(QString::fromStdString(opened->info.identity), identity);
}

void TestCameraHotplug::profileIsAppliedOnConnect_data() {
  QTest::addColumn<QString>("storedFormat");
  QTest::addColumn<QString>("expectedFormat");
  QTest::newRow("a stored format still offered is used") << "YUYV 640x480"
                                                         << "S_FMT YUYV 640x480";
  QTest::newRow("a stored format no longer offered gives the default choice")
      << "YUYV 1280x720"
      << "S_FMT MJPG 320x240";
  QTest::newRow("no stored format gives the default choice") << ""
                                                             << "S_FMT MJPG 320x240";
}

void TestCameraHotplug::profileIsAppliedOnConnect() {
  QFETCH(QString, storedFormat);
  QFETCH(QString, expectedFormat);
  plug(0, cameraNode(), Usb{.serial = "S1"});
  auto profiles = std::make_shared<MemoryProfiles>();
  // 0x00980999 is no control of this camera: refused, and the rest still applied.
  profiles->stored["serial:046d:0825/S1"] = {FormatOption::fromText(storedFormat.toStdString()),
                                             {{kBrightness, -7}, {0x00980999, 1}, {kContrast, 40}}};
  QWidget host;
  host.resize(320, 240);
  CaptureWidget window(provider(), &host, profiles);
  window.resize(320, 240);
  QVERIFY(window.connectDriver(0));
  const auto calls = fake_->callsOfLastOpen(nodePath(0).toStdString());
  const auto format = indexOf(calls, expectedFormat.toStdString());
  QVERIFY2(format, expectedFormat.toLocal8Bit());
  // The controls after the format, which may reset them on some drivers.
  QVERIFY(indexOf(calls, "S_EXT_CTRLS 00980900=-7", *format));
  QVERIFY(indexOf(calls, "S_EXT_CTRLS 00980901=40", *format));
  QVERIFY(window.isConnected());
  QTRY_VERIFY(window.stream()->frames().sequence() > 0);
}

void TestCameraHotplug::profileIsSavedWhenTheDialogsChangeSomething() {
  QWidget host;
  host.resize(320, 240);
  auto profiles = std::make_shared<MemoryProfiles>();
  auto cameras = std::make_shared<SyntheticProvider>(std::vector<std::string>{"Kamera A"});
  std::optional<FormatOption> used;
  {
    CaptureWidget window(cameras, &host, profiles);
    QVERIFY(window.connectDriver(0));
    // Opening and using a camera remembers nothing.
    window.disconnectDriver();
    QVERIFY(window.connectDriver(0));
    QVERIFY(profiles->stored.empty());
    QVERIFY(window.stream()->device().setControl(kBrightness, 21));
    used = window.currentFormat();
    emit window.cameraSettingsChanged();
  }
  QCOMPARE(profiles->stored.size(), std::size_t(1));
  const CameraProfile saved = profiles->stored.at("synthetic:Kamera A");
  QVERIFY(used);
  QCOMPARE(saved.format, used);
  const auto has = [&saved](std::uint32_t id, std::int32_t value) {
    return std::find(saved.controls.begin(), saved.controls.end(), std::pair(id, value)) !=
           saved.controls.end();
  };
  QVERIFY(has(kBrightness, 21));
  QVERIFY(has(kContrast, 100));
  // The next window on the same camera starts where this one was left.
  CaptureWidget again(cameras, &host, profiles);
  QVERIFY(again.connectDriver(0));
  const auto controls = again.stream()->device().controls();
  const auto brightness = std::find_if(controls.begin(), controls.end(),
                                       [](const auto& c) { return c.id == kBrightness; });
  QVERIFY(brightness != controls.end());
  QCOMPARE(brightness->value, 21);
}

void TestCameraHotplug::lossAtEachPointOfTheStreamPaintsBlack_data() {
  QTest::addColumn<QString>("call");
  QTest::newRow("ENODEV from STREAMON: no stream, black") << "STREAMON";
  QTest::newRow("POLLERR from the first wait") << "poll";
  QTest::newRow("ENODEV from the first DQBUF") << "DQBUF";
  QTest::newRow("ENODEV from the first QBUF of a shown frame") << "QBUF";
}

void TestCameraHotplug::lossAtEachPointOfTheStreamPaintsBlack() {
  QFETCH(QString, call);
  plug(0, cameraNode(), Usb{.serial = "S1"});
  const auto cameras = provider();
  QWidget host;
  host.resize(320, 240);
  CaptureWidget window(cameras, &host);
  window.resize(320, 240);
  window.setScale(true);
  window.setPreviewRate(10);
  window.setPreview(true);
  // A clean run first, to find where the call falls among the device's calls.
  QVERIFY(window.connectDriver(0));
  QTRY_VERIFY(window.stream()->frames().sequence() >= 3);
  window.disconnectDriver();
  const auto calls = fake_->callsOfLastOpen(nodePath(0).toStdString());
  const auto streamOn = indexOf(calls, "STREAMON");
  QVERIFY(streamOn);
  const auto at = indexOf(calls, call.toStdString(), *streamOn);
  QVERIFY(at);

  auto failing = cameraNode();
  failing.faults.unplugAtCall = static_cast<long>(*at);
  fake_->addNode(nodePath(0).toStdString(), failing);
  const bool connected = window.connectDriver(0);
  QCOMPARE(connected, call != "STREAMON");
  if (connected) {
    QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 1000);
    QVERIFY(window.isWaitingForCamera());
  }
  QVERIFY(isBlack(window));
  QCOMPARE(fake_->liveMappings(), 0);
  QCOMPARE(fake_->openDescriptors(), 0);
  // Waiting costs nothing: no worker is left to wait on the device.
  QVERIFY(!window.stream());
}

void TestCameraHotplug::replugResumesOnlyTheSameCamera_data() {
  QTest::addColumn<int>("backAt");
  QTest::addColumn<QString>("serial");
  QTest::addColumn<bool>("resumes");
  QTest::newRow("the same camera at the same number resumes") << 0 << "S1" << true;
  QTest::newRow("the same camera at another number resumes") << 4 << "S1" << true;
  QTest::newRow("another camera at the same number stays black") << 0 << "S2" << false;
}

void TestCameraHotplug::replugResumesOnlyTheSameCamera() {
  QFETCH(int, backAt);
  QFETCH(QString, serial);
  QFETCH(bool, resumes);
  plug(0, cameraNode(), Usb{.serial = "S1"});
  auto profiles = std::make_shared<MemoryProfiles>();
  profiles->stored["serial:046d:0825/S1"] = {FormatOption{V4L2_PIX_FMT_YUYV, 640, 480},
                                             {{kBrightness, 9}}};
  const auto cameras = provider();
  QWidget host;
  host.resize(320, 240);
  CaptureWidget window(cameras, &host, profiles);
  window.resize(320, 240);
  window.setScale(true);
  window.setPreviewRate(10);
  window.setPreview(true);
  QVERIFY(window.connectDriver(0));
  QTRY_VERIFY(!window.currentFrame().isNull());

  unplug(0);
  QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 1000);
  QVERIFY(isBlack(window));
  QCOMPARE(fake_->openDescriptors(), 0);
  QCOMPARE(fake_->liveMappings(), 0);

  QSignalSpy changes(cameras->notifier(), &DeviceNotifier::devicesChanged);
  plug(backAt, cameraNode(), Usb{.port = serial == "S1" ? "1-1" : "1-2", .serial = serial});
  if (resumes) {
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected() && !window.currentFrame().isNull(), 2000);
    QVERIFY(!isBlack(window));
    const auto calls = fake_->callsOfLastOpen(nodePath(backAt).toStdString());
    QVERIFY(containsCall(calls, "S_FMT YUYV 640x480"));
    QVERIFY(containsCall(calls, "S_EXT_CTRLS 00980900=9"));
  } else {
    QVERIFY(changes.wait(2000));
    QCoreApplication::processEvents();
    QVERIFY(!window.isConnected());
    QVERIFY(window.isWaitingForCamera());
    QCOMPARE(fake_->openDescriptors(), 0);
  }
}

void TestCameraHotplug::anotherCameraComingLeavesTheStreamAlone() {
  plug(0, cameraNode(), Usb{.serial = "S1"});
  const auto cameras = provider();
  QWidget host;
  CaptureWidget window(cameras, &host);
  QVERIFY(window.connectDriver(0));
  const CaptureStream* stream = window.stream();
  QSignalSpy changes(cameras->notifier(), &DeviceNotifier::devicesChanged);
  plug(1, cameraNode(), Usb{.port = "1-2", .serial = "S2"});
  QVERIFY(changes.wait(2000));
  QCoreApplication::processEvents();
  QCOMPARE(window.stream(), stream);
  QVERIFY(window.stream()->isRunning());
  QCOMPARE(fake_->peakDescriptors(), 1);
}

void TestCameraHotplug::hundredUnplugReplugCyclesLeakNothing() {
  plug(0, cameraNode(), Usb{.serial = "S1"});
  const auto cameras = provider();
  QWidget host;
  host.resize(320, 240);
  CaptureWidget window(cameras, &host);
  window.resize(320, 240);
  QVERIFY(window.connectDriver(0));
  QTRY_VERIFY(window.stream()->frames().sequence() > 0);
  const int descriptors = fake_->openDescriptors();
  const int mappings = fake_->liveMappings();
  const int processDescriptors = openDescriptorsOfProcess();
  for (int cycle = 0; cycle < 100; ++cycle) {
    unplug(0);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 1000);
    QCOMPARE(fake_->openDescriptors(), 0);
    QCOMPARE(fake_->liveMappings(), 0);
    plug(0, cameraNode(), Usb{.serial = "S1"});
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 2000);
  }
  QTRY_VERIFY(window.stream()->frames().sequence() > 0);
  QCOMPARE(fake_->openDescriptors(), descriptors);
  QCOMPARE(fake_->liveMappings(), mappings);
  QCOMPARE(openDescriptorsOfProcess(), processDescriptors);
}

void TestCameraHotplug::syntheticCameraUnplugsAndReplugs() {
  auto cameras =
      std::make_shared<SyntheticProvider>(std::vector<std::string>{"Kamera A", "Kamera B"});
  QCOMPARE(cameras->drivers().at(1).identity, std::string("synthetic:Kamera B"));
  QWidget host;
  host.resize(160, 120);
  CaptureWidget window(cameras, &host);
  window.resize(160, 120);
  window.setPreview(true);
  QVERIFY(window.connectDriver(1));
  QTRY_VERIFY(!window.currentFrame().isNull());

  QSignalSpy changes(cameras->notifier(), &DeviceNotifier::devicesChanged);
  cameras->unplug("Kamera A");
  QCOMPARE(changes.size(), 1);
  QVERIFY(window.isConnected());  // not its camera
  cameras->unplug("Kamera B");
  QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 1000);
  QVERIFY(isBlack(window));
  QVERIFY(cameras->drivers().empty());
  QVERIFY(!cameras->open(0));

  cameras->replug("Kamera B");
  QCOMPARE(changes.size(), 3);
  QTRY_VERIFY_WITH_TIMEOUT(window.isConnected() && !isBlack(window), 2000);
  // Camera B is the only one now, so it is driver 0.
  QCOMPARE(cameras->drivers().size(), std::size_t(1));
  QCOMPARE(window.cameraIdentity(), std::string("synthetic:Kamera B"));
  // Unplugging what is already away says nothing.
  cameras->unplug("Kamera A");
  QCOMPARE(changes.size(), 3);
}

// The camera window asks to connect on every tick of its timer (10 ms).
void TestCameraHotplug::askingOnEveryTickWhileAwayDoesNotKeepLooking() {
  auto synthetic = std::make_shared<SyntheticProvider>(std::vector<std::string>{"Kamera A"});
  auto cameras = std::make_shared<testsupport::CountingCameras>(synthetic);
  QWidget host;
  CaptureWidget window(cameras, &host);
  QVERIFY(window.connectDriver(0));
  synthetic->unplug("Kamera A");
  QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 1000);
  QVERIFY(!window.connectDriver(0));  // the first request after the loss looks
  const int listings = cameras->listings();
  const int opened = cameras->opened();
  QElapsedTimer ticking;
  ticking.start();
  for (int tick = 0; tick < 100; ++tick) QVERIFY(!window.connectDriver(0));
  // At most one look a second while nothing changes, however often it is asked.
  QVERIFY(cameras->listings() - listings <= ticking.elapsed() / 1000);
  QCOMPARE(cameras->opened(), opened);
  QVERIFY(window.isWaitingForCamera());
  synthetic->replug("Kamera A");
  QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 2000);
  QCOMPARE(window.cameraIdentity(), std::string("synthetic:Kamera A"));
  QVERIFY(window.connectDriver(0));
  QCOMPARE(cameras->opened(), opened + 1);
}

QTEST_MAIN(TestCameraHotplug)
#include "tst_camerahotplug.moc"
