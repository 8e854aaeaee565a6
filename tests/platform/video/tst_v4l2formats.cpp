// What a V4L2 node tells of its formats and controls, read through the fake
// device: discrete and stepwise frame sizes and intervals, and controls with
// their classes, types, ranges, menus and flags; writes reach the device.

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "platform/video/fakev4l2.h"
#include "platform/video/formatchoice.h"
#include "platform/video/v4l2provider.h"

using namespace video;

Q_DECLARE_METATYPE(fakev4l2::Format)
Q_DECLARE_METATYPE(std::vector<FrameSizeRange>)
Q_DECLARE_METATYPE(std::vector<Fraction>)

namespace {

constexpr std::uint32_t M = V4L2_PIX_FMT_MJPEG;
constexpr std::uint32_t Y = V4L2_PIX_FMT_YUYV;

const ControlInfo* findControl(const std::vector<ControlInfo>& controls, std::uint32_t id) {
  const auto it = std::find_if(controls.begin(), controls.end(),
                               [id](const ControlInfo& c) { return c.id == id; });
  return it == controls.end() ? nullptr : &*it;
}

}  // namespace

class TestV4l2Formats : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void frameSizes_data();
  void frameSizes();
  void frameIntervals_data();
  void frameIntervals();
  void formatDescriptionsComeFromTheDriver();
  void chosenIntervalReachesTheDevice();
  void controlsCarryClassTypeRangeAndFlags_data();
  void controlsCarryClassTypeRangeAndFlags();
  void menusSkipTheirHoles();
  void compoundAndDisabledControls();
  void writesGoThroughExtendedControls_data();
  void writesGoThroughExtendedControls();
  void autoSwitchMakesItsControlInactive();

 private:
  std::unique_ptr<CaptureDevice> open(fakev4l2::Node node);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<fakev4l2::FakeV4l2> fake_;
};

void TestV4l2Formats::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  fake_ = std::make_unique<fakev4l2::FakeV4l2>();
}

void TestV4l2Formats::cleanup() {
  fake_.reset();
  dir_.reset();
}

std::unique_ptr<CaptureDevice> TestV4l2Formats::open(fakev4l2::Node node) {
  const QString path = dir_->filePath("video0");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return nullptr;
  fake_->addNode(path.toStdString(), std::move(node));
  V4l2Provider provider(dir_->path().toStdString());
  auto device = provider.open(0);
  return device ? std::move(*device) : nullptr;
}

void TestV4l2Formats::frameSizes_data() {
  QTest::addColumn<fakev4l2::Format>("format");
  QTest::addColumn<std::vector<FrameSizeRange>>("sizes");
  QTest::addColumn<int>("concrete");  // sizes offered for the default choice
  using K = FrameSizeRange::Kind;
  QTest::newRow("discrete sizes in the driver's order")
      << fakev4l2::Format{M, {{640, 480}, {320, 240}, {1280, 720}}}
      << std::vector<FrameSizeRange>{FrameSizeRange::discrete(640, 480),
                                     FrameSizeRange::discrete(320, 240),
                                     FrameSizeRange::discrete(1280, 720)}
      << 3;
  fakev4l2::Format stepwise{Y, {}};
  stepwise.sizeRange = v4l2_frmsize_stepwise{160, 1280, 16, 120, 720, 8};
  // 160x120, 320x240, 640x480, 800x600 and 1280x720 (also the largest) lie
  // on the steps; 1024x768 is too tall.
  QTest::newRow("stepwise range as its common sizes on the step")
      << stepwise << std::vector<FrameSizeRange>{{K::Stepwise, 160, 120, 1280, 720, 16, 8}} << 5;
  fakev4l2::Format continuous{Y, {}};
  continuous.sizeRange = v4l2_frmsize_stepwise{100, 1000, 1, 100, 1000, 1};
  continuous.continuous = true;
  // 160x120 … 800x600 and the largest, 1000x1000.
  QTest::newRow("continuous range up to its largest size")
      << continuous << std::vector<FrameSizeRange>{{K::Continuous, 100, 100, 1000, 1000, 1, 1}}
      << 5;
}

void TestV4l2Formats::frameSizes() {
  QFETCH(fakev4l2::Format, format);
  QFETCH(std::vector<FrameSizeRange>, sizes);
  QFETCH(int, concrete);
  fakev4l2::Node node;
  node.formats = {format};
  const auto device = open(node);
  QVERIFY(device);
  const auto formats = device->pixelFormats();
  QCOMPARE(formats.size(), std::size_t(1));
  QVERIFY(formats[0].sizes == sizes);
  QCOMPARE(int(device->formatOptions().size()), concrete);
}

void TestV4l2Formats::frameIntervals_data() {
  QTest::addColumn<fakev4l2::Format>("format");
  QTest::addColumn<std::vector<Fraction>>("offered");
  fakev4l2::Format discrete{M, {{640, 480}}};
  discrete.intervals = {{1, 30}, {1, 15}, {1, 5}};
  QTest::newRow("discrete intervals as listed")
      << discrete << std::vector<Fraction>{{1, 30}, {1, 15}, {1, 5}};
  fakev4l2::Format ntsc{M, {{640, 480}}};
  ntsc.intervals = {{1001, 30000}};
  QTest::newRow("fractional interval kept exact") << ntsc << std::vector<Fraction>{{1001, 30000}};
  fakev4l2::Format range{M, {{640, 480}}};
  range.intervalRange = v4l2_frmival_stepwise{{1, 30}, {1, 5}, {1, 30}};
  QTest::newRow("stepwise range as its ends and the common rates between")
      << range << std::vector<Fraction>{{1, 30}, {1, 25}, {1, 20}, {1, 15}, {1, 10}, {1, 5}};
  QTest::newRow("no intervals when the node does not say")
      << fakev4l2::Format{M, {{640, 480}}} << std::vector<Fraction>{};
}

void TestV4l2Formats::frameIntervals() {
  QFETCH(fakev4l2::Format, format);
  QFETCH(std::vector<Fraction>, offered);
  fakev4l2::Node node;
  node.formats = {format};
  const auto device = open(node);
  QVERIFY(device);
  QVERIFY(concreteIntervals(device->frameIntervals(M, 640, 480)) == offered);
  // A size the format does not have has no intervals.
  QVERIFY(device->frameIntervals(M, 1234, 567).discrete.empty());
}

void TestV4l2Formats::formatDescriptionsComeFromTheDriver() {
  fakev4l2::Node node;
  fakev4l2::Format mjpeg{M, {{640, 480}}};
  mjpeg.description = "Motion-JPEG, compressed";
  node.formats = {mjpeg, {Y, {{640, 480}}}, {V4L2_PIX_FMT_H264, {{640, 480}}}};
  const auto device = open(node);
  QVERIFY(device);
  const auto formats = device->pixelFormats();
  QCOMPARE(formats.size(), std::size_t(3));
  QCOMPARE(formats[0].description, std::string("Motion-JPEG, compressed"));
  QCOMPARE(formats[1].description, std::string("YUYV 4:2:2"));
  // Formats the layer cannot show are described but never offered.
  QCOMPARE(device->formatOptions().size(), std::size_t(2));
}

void TestV4l2Formats::chosenIntervalReachesTheDevice() {
  fakev4l2::Node node;
  fakev4l2::Format mjpeg{M, {{640, 480}, {1280, 720}}};
  mjpeg.intervals = {{1, 30}, {1, 15}};
  node.formats = {mjpeg};
  const auto device = open(node);
  QVERIFY(device);
  const auto slow = device->setFormat({M, 1280, 720, 1, 15});
  QVERIFY(slow);
  QCOMPARE(slow->width, 1280);
  QCOMPARE(slow->intervalDenominator, 15u);
  // No interval chosen: 30 frames per second, as before there was a choice.
  const auto usual = device->setFormat({M, 640, 480});
  QVERIFY(usual);
  QCOMPARE(usual->intervalDenominator, 30u);
}

void TestV4l2Formats::controlsCarryClassTypeRangeAndFlags_data() {
  QTest::addColumn<quint32>("id");
  QTest::addColumn<quint32>("controlClass");
  QTest::addColumn<int>("type");
  QTest::addColumn<QList<int>>("range");  // minimum, maximum, step, default, value
  QTest::addColumn<QString>("flags");
  const auto integer = int(ControlType::Integer);
  QTest::newRow("integer of the user class")
      << quint32(V4L2_CID_BRIGHTNESS) << quint32(V4L2_CTRL_CLASS_USER) << integer
      << QList<int>{-64, 64, 1, 0, 0} << "";
  QTest::newRow("step of a white balance temperature")
      << quint32(V4L2_CID_WHITE_BALANCE_TEMPERATURE) << quint32(V4L2_CTRL_CLASS_USER) << integer
      << QList<int>{2800, 6500, 10, 4600, 4600} << "inactive";
  QTest::newRow("boolean auto switch")
      << quint32(V4L2_CID_AUTO_WHITE_BALANCE) << quint32(V4L2_CTRL_CLASS_USER)
      << int(ControlType::Boolean) << QList<int>{0, 1, 1, 1, 1} << "update";
  QTest::newRow("read-only volatile gain")
      << quint32(V4L2_CID_GAIN) << quint32(V4L2_CTRL_CLASS_USER) << integer
      << QList<int>{0, 100, 1, 10, 10} << "readonly volatile";
  QTest::newRow("menu of the camera class")
      << quint32(V4L2_CID_EXPOSURE_AUTO) << quint32(V4L2_CTRL_CLASS_CAMERA)
      << int(ControlType::Menu) << QList<int>{0, 3, 1, 3, 3} << "update";
  QTest::newRow("integer menu") << quint32(V4L2_CID_ZOOM_ABSOLUTE)
                                << quint32(V4L2_CTRL_CLASS_CAMERA) << int(ControlType::IntegerMenu)
                                << QList<int>{0, 2, 1, 0, 0} << "";
  QTest::newRow("write-only button")
      << quint32(V4L2_CID_PAN_RESET) << quint32(V4L2_CTRL_CLASS_CAMERA) << int(ControlType::Button)
      << QList<int>{0, 0, 1, 0, 0} << "writeonly";
}

void TestV4l2Formats::controlsCarryClassTypeRangeAndFlags() {
  QFETCH(quint32, id);
  QFETCH(quint32, controlClass);
  QFETCH(int, type);
  QFETCH(QList<int>, range);
  QFETCH(QString, flags);
  fakev4l2::Node node;
  node.controls = fakev4l2::webcamControls();
  const auto device = open(node);
  QVERIFY(device);
  const auto controls = device->controls();
  const ControlInfo* c = findControl(controls, id);
  QVERIFY(c);
  QCOMPARE(c->controlClass, controlClass);
  QCOMPARE(QString::fromStdString(c->className), controlClass == V4L2_CTRL_CLASS_USER
                                                     ? QString("User Controls")
                                                     : QString("Camera Controls"));
  QCOMPARE(int(c->type), type);
  QCOMPARE((QList<int>{c->minimum, c->maximum, c->step, c->defaultValue, c->value}), range);
  QStringList seen;
  if (c->flags.inactive) seen << "inactive";
  if (c->flags.readOnly) seen << "readonly";
  if (c->flags.isVolatile) seen << "volatile";
  if (c->flags.writeOnly) seen << "writeonly";
  if (c->flags.updatesOthers) seen << "update";
  if (c->flags.grabbed) seen << "grabbed";
  QCOMPARE(seen.join(' '), flags);
}

void TestV4l2Formats::menusSkipTheirHoles() {
  fakev4l2::Node node;
  node.controls = fakev4l2::webcamControls();
  const auto device = open(node);
  QVERIFY(device);
  const auto controls = device->controls();
  const ControlInfo* exposure = findControl(controls, V4L2_CID_EXPOSURE_AUTO);
  QVERIFY(exposure);
  QVERIFY((exposure->menu ==
           std::vector<MenuItem>{{1, "Manual Mode", 0}, {3, "Aperture Priority Mode", 0}}));
  const ControlInfo* zoom = findControl(controls, V4L2_CID_ZOOM_ABSOLUTE);
  QVERIFY(zoom);
  QVERIFY((zoom->menu == std::vector<MenuItem>{{0, "", 100}, {1, "", 150}, {2, "", 200}}));
}

void TestV4l2Formats::compoundAndDisabledControls() {
  fakev4l2::Node node;
  node.controls = fakev4l2::webcamControls();
  const auto device = open(node);
  QVERIFY(device);
  const auto controls = device->controls();
  // Class headers name groups, compound controls are left out; a disabled
  // control is reported as such (the dialog hides it).
  QVERIFY(!findControl(controls, V4L2_CID_USER_CLASS));
  QVERIFY(!findControl(controls, V4L2_CID_CAMERA_CLASS_BASE + 0x100));
  const ControlInfo* hue = findControl(controls, V4L2_CID_HUE);
  QVERIFY(hue && hue->flags.disabled);
  QCOMPARE(controls.size(), std::size_t(11));
  // In id order, as the driver walks them.
  QVERIFY(std::is_sorted(controls.begin(), controls.end(),
                         [](const ControlInfo& a, const ControlInfo& b) { return a.id < b.id; }));
}

void TestV4l2Formats::writesGoThroughExtendedControls_data() {
  QTest::addColumn<quint32>("id");
  QTest::addColumn<int>("value");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("integer within range") << quint32(V4L2_CID_BRIGHTNESS) << 12 << true;
  QTest::newRow("integer out of range") << quint32(V4L2_CID_BRIGHTNESS) << 500 << false;
  QTest::newRow("boolean") << quint32(V4L2_CID_AUTO_WHITE_BALANCE) << 0 << true;
  QTest::newRow("menu item") << quint32(V4L2_CID_EXPOSURE_AUTO) << 1 << true;
  QTest::newRow("menu hole") << quint32(V4L2_CID_EXPOSURE_AUTO) << 2 << false;
  QTest::newRow("read-only control") << quint32(V4L2_CID_GAIN) << 20 << false;
  QTest::newRow("button") << quint32(V4L2_CID_PAN_RESET) << 1 << true;
  QTest::newRow("unknown control") << quint32(V4L2_CID_SHARPNESS) << 1 << false;
}

void TestV4l2Formats::writesGoThroughExtendedControls() {
  QFETCH(quint32, id);
  QFETCH(int, value);
  QFETCH(bool, accepted);
  fakev4l2::Node node;
  node.controls = fakev4l2::webcamControls();
  const auto device = open(node);
  QVERIFY(device);
  QCOMPARE(bool(device->setControl(id, value)), accepted);
  const auto writes = fake_->controlWrites();
  if (!accepted) {
    QVERIFY(writes.empty());
    return;
  }
  QVERIFY((writes == std::vector<fakev4l2::ControlWrite>{{id, value}}));
  // Read back through G_EXT_CTRLS.
  if (id != V4L2_CID_PAN_RESET) QCOMPARE(findControl(device->controls(), id)->value, value);
}

void TestV4l2Formats::autoSwitchMakesItsControlInactive() {
  fakev4l2::Node node;
  node.controls = fakev4l2::webcamControls();
  const auto device = open(node);
  QVERIFY(device);
  QVERIFY(findControl(device->controls(), V4L2_CID_EXPOSURE_ABSOLUTE)->flags.inactive);
  QVERIFY(device->setControl(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL));
  QVERIFY(!findControl(device->controls(), V4L2_CID_EXPOSURE_ABSOLUTE)->flags.inactive);
  QVERIFY(findControl(device->controls(), V4L2_CID_WHITE_BALANCE_TEMPERATURE)->flags.inactive);
}

QTEST_GUILESS_MAIN(TestV4l2Formats)
#include "tst_v4l2formats.moc"
