// Camera profiles in the settings store: one key per camera under the main
// key, read back as written, kept apart for cameras whose identities differ
// (even only in letter case), nothing written before the user changes
// something, and the workspace's capture windows opening each camera with
// its own profile.

#include <linux/videodev2.h>

#include <QFile>
#include <QListWidget>
#include <QTest>

#include "capture/cameraprofilestore.h"
#include "capture/modWebCam.h"
#include "platform/video/capturestream.h"
#include "platform/video/capturewidget.h"
#include "support/cameras.h"
#include "support/sandbox.h"

using video::CameraProfile;
using video::FormatOption;

namespace {

Module1 storeOf(const testsupport::SandboxProfile& profile) {
  return Module1(profile.settingsFile().toStdString());
}

video::CaptureWidget* widgetOf(const modWebCam& webCam) {
  return dynamic_cast<video::CaptureWidget*>(webCam.captureWindow());
}

}  // namespace

Q_DECLARE_METATYPE(CameraProfile)

class TestCameraProfileStore : public QObject {
  Q_OBJECT

 private slots:
  void profileReadsBackAsWritten_data();
  void profileReadsBackAsWritten();
  void storedUnderAKeyOfItsOwn();
  void identitiesGetKeysOfTheirOwn_data();
  void identitiesGetKeysOfTheirOwn();
  void nothingStoredIsNoProfile();
  void firstRunWritesNothing();
  void changedProfileReplacesTheStoredOne();
  void workspaceWindowSavesAndRestoresItsCamera();
  void anotherCameraAtTheSameNumberGetsNoProfile();
};

void TestCameraProfileStore::profileReadsBackAsWritten_data() {
  QTest::addColumn<CameraProfile>("profile");
  QTest::newRow("format and controls")
      << CameraProfile{FormatOption{V4L2_PIX_FMT_YUYV, 640, 480},
                       {{V4L2_CID_BRIGHTNESS, -12}, {V4L2_CID_CONTRAST, 40}}};
  QTest::newRow("controls alone") << CameraProfile{{}, {{V4L2_CID_GAIN, 7}}};
  QTest::newRow("format alone") << CameraProfile{FormatOption{V4L2_PIX_FMT_MJPEG, 1280, 720}, {}};
  QTest::newRow("a control at zero and the lowest value")
      << CameraProfile{{}, {{V4L2_CID_BRIGHTNESS, 0}, {0x009a0901, INT32_MIN}}};
}

void TestCameraProfileStore::profileReadsBackAsWritten() {
  QFETCH(CameraProfile, profile);
  testsupport::SandboxProfile sandbox;
  CameraProfileStore store(storeOf(sandbox));
  store.save("serial:046d:0825/A1", profile);
  QCOMPARE(store.load("serial:046d:0825/A1"), std::optional<CameraProfile>(profile));
  // A new store over the same file: nothing is kept in memory.
  QCOMPARE(CameraProfileStore(storeOf(sandbox)).load("serial:046d:0825/A1"),
           std::optional<CameraProfile>(profile));
}

void TestCameraProfileStore::storedUnderAKeyOfItsOwn() {
  testsupport::SandboxProfile sandbox;
  CameraProfileStore store(storeOf(sandbox));
  store.save("synthetic:Kamera A",
             {FormatOption{V4L2_PIX_FMT_MJPEG, 640, 480}, {{V4L2_CID_BRIGHTNESS, 5}}});
  const QString key = QStringLiteral("Velmora\\Photo\\Kameralar\\synthetic%3A%4Bamera%20%41");
  QCOMPARE(CameraProfileStore::keyPathFor("synthetic:Kamera A"), key);
  const Module1 settings = storeOf(sandbox);
  const auto root = Module1::HKEY_CURRENT_USER;
  QCOMPARE(settings.getStringValue(root, key, "Format"), QStringLiteral("MJPG 640x480"));
  QCOMPARE(settings.getStringValue(root, key, "Kontroller"), QStringLiteral("00980900"));
  QCOMPARE(settings.getDwordValue(root, key, "00980900"), 5);
  // The program's own values are not touched.
  QCOMPARE(settings.getStringValue(root, Module1::mainKeyPath(), "Format"), QString());
}

void TestCameraProfileStore::identitiesGetKeysOfTheirOwn_data() {
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("second");
  QTest::newRow("serial numbers differing in letter case") << "serial:x/ab12"
                                                           << "serial:x/AB12";
  QTest::newRow("a backslash is no key level") << "bus:a\\b/Cam"
                                               << "bus:a/b/Cam";
  QTest::newRow("an escape-like text is escaped too") << "bus:%41"
                                                      << "bus:A";
  QTest::newRow("two cameras of one model on two ports")
      << "bus:usb-0000:00:14.0-1/HD Webcam/046d:0825"
      << "bus:usb-0000:00:14.0-2/HD Webcam/046d:0825";
}

void TestCameraProfileStore::identitiesGetKeysOfTheirOwn() {
  QFETCH(QString, first);
  QFETCH(QString, second);
  QVERIFY(CameraProfileStore::keyPathFor(first.toStdString()) !=
          CameraProfileStore::keyPathFor(second.toStdString()));
  testsupport::SandboxProfile sandbox;
  CameraProfileStore store(storeOf(sandbox));
  const CameraProfile one{{}, {{V4L2_CID_BRIGHTNESS, 1}}};
  const CameraProfile two{{}, {{V4L2_CID_BRIGHTNESS, 2}}};
  store.save(first.toStdString(), one);
  store.save(second.toStdString(), two);
  QCOMPARE(store.load(first.toStdString()), std::optional<CameraProfile>(one));
  QCOMPARE(store.load(second.toStdString()), std::optional<CameraProfile>(two));
}

void TestCameraProfileStore::nothingStoredIsNoProfile() {
  testsupport::SandboxProfile sandbox;
  CameraProfileStore store(storeOf(sandbox));
  store.save("synthetic:Kamera A", {{}, {{V4L2_CID_BRIGHTNESS, 1}}});
  QCOMPARE(store.load("synthetic:Kamera B"), std::nullopt);
  QCOMPARE(store.load(""), std::nullopt);
  QCOMPARE(CameraProfileStore(Module1()).load("synthetic:Kamera A"), std::nullopt);
}

void TestCameraProfileStore::firstRunWritesNothing() {
  testsupport::SandboxProfile sandbox;
  QWidget host;
  host.resize(320, 240);
  {
    modWebCam webCam(testsupport::fakeCameras("Kamera A"), {},
                     std::make_shared<CameraProfileStore>(storeOf(sandbox)));
    webCam.openCaptureWindow(0, host);
    QVERIFY(widgetOf(webCam) && widgetOf(webCam)->isConnected());
    webCam.closeCaptureWindow();
  }
  QVERIFY(!QFile::exists(sandbox.settingsFile()));
}

void TestCameraProfileStore::changedProfileReplacesTheStoredOne() {
  testsupport::SandboxProfile sandbox;
  CameraProfileStore store(storeOf(sandbox));
  store.save("synthetic:K", {FormatOption{V4L2_PIX_FMT_MJPEG, 640, 480},
                             {{V4L2_CID_BRIGHTNESS, 1}, {V4L2_CID_CONTRAST, 2}}});
  const CameraProfile changed{FormatOption{V4L2_PIX_FMT_YUYV, 640, 480}, {{V4L2_CID_CONTRAST, 3}}};
  store.save("synthetic:K", changed);
  QCOMPARE(store.load("synthetic:K"), std::optional<CameraProfile>(changed));
}

void TestCameraProfileStore::workspaceWindowSavesAndRestoresItsCamera() {
  testsupport::SandboxProfile sandbox;
  const auto cameras = testsupport::fakeCameras("Kamera A");
  QWidget host;
  host.resize(320, 240);
  {
    modWebCam webCam(cameras, {}, std::make_shared<CameraProfileStore>(storeOf(sandbox)));
    webCam.openCaptureWindow(0, host);
    auto* window = widgetOf(webCam);
    QVERIFY(window);
    QVERIFY(window->stream()->device().setControl(V4L2_CID_CONTRAST, 150));
    emit window->cameraSettingsChanged();
  }
  modWebCam webCam(cameras, {}, std::make_shared<CameraProfileStore>(storeOf(sandbox)));
  webCam.openCaptureWindow(0, host);
  auto* window = widgetOf(webCam);
  QVERIFY(window && window->isConnected());
  const auto controls = window->stream()->device().controls();
  QCOMPARE(controls.at(1).id, std::uint32_t(V4L2_CID_CONTRAST));
  QCOMPARE(controls.at(1).value, 150);
}

void TestCameraProfileStore::anotherCameraAtTheSameNumberGetsNoProfile() {
  testsupport::SandboxProfile sandbox;
  CameraProfileStore(storeOf(sandbox)).save("synthetic:Kamera A", {{}, {{V4L2_CID_CONTRAST, 150}}});
  QWidget host;
  host.resize(320, 240);
  // Another camera is driver 0 now.
  modWebCam webCam(testsupport::fakeCameras("Kamera B"), {},
                   std::make_shared<CameraProfileStore>(storeOf(sandbox)));
  webCam.openCaptureWindow(0, host);
  auto* window = widgetOf(webCam);
  QVERIFY(window && window->isConnected());
  QCOMPARE(window->stream()->device().controls().at(1).value, 100);
}

QTEST_MAIN(TestCameraProfileStore)
#include "tst_cameraprofilestore.moc"
