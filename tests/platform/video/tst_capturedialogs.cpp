// The capture window's format and source dialogs against the fake V4L2
// device (which records every control write) and the synthetic camera:
// what they list, what reaches the device, and the stream switching format.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/video/capturestream.h"
#include "platform/video/capturewidget.h"
#include "platform/video/fakev4l2.h"
#include "platform/video/formatdialog.h"
#include "platform/video/sourcedialog.h"
#include "platform/video/syntheticcamera.h"
#include "platform/video/v4l2provider.h"

using namespace video;
using Writes = std::vector<fakev4l2::ControlWrite>;

namespace {

constexpr std::uint32_t M = V4L2_PIX_FMT_MJPEG;
constexpr std::uint32_t Y = V4L2_PIX_FMT_YUYV;

fakev4l2::Node webcam() {
  fakev4l2::Node node;
  fakev4l2::Format mjpeg{M, {{320, 240}, {640, 480}, {1280, 720}}};
  mjpeg.intervals = {{1, 30}, {1, 15}};
  fakev4l2::Format yuyv{Y, {{640, 480}}};
  yuyv.intervals = {{1, 30}};
  node.formats = {mjpeg, yuyv};
  node.controls = fakev4l2::webcamControls();
  node.paced = true;
  return node;
}

QStringList itemTexts(const QComboBox* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
  return texts;
}

// Runs `step` on the modal dialog as soon as its event loop runs.
template <typename Dialog>
void whenShown(std::function<void(Dialog&)> step, bool& reached) {
  QTimer::singleShot(0, [step, &reached] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    reached = true;
    step(*dialog);
  });
}

QPushButton* buttonNamed(QWidget& dialog, const QString& text) {
  for (auto* button : dialog.findChildren<QPushButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

}  // namespace

class TestCaptureDialogs : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void formatDialogListsWhatTheCameraOffers();
  void formatDialogOffersCommonSizesOfARange();
  void frameRateTexts_data();
  void frameRateTexts();
  void okSwitchesTheStreamToTheChosenSize();
  void cancelChangesNothing();
  void chosenFormatIsKeptOnReconnect();
  void formatSwitchesLeakNothing();
  void dialogsNeedAConnection();
  void sourceDialogGroupsByClassInTurkish();
  void changeReachesTheDevice_data();
  void changeReachesTheDevice();
  void inactiveControlFollowsItsAutoSwitch_data();
  void inactiveControlFollowsItsAutoSwitch();
  void defaultsRestoreAutoSwitchesFirst();
  void sourceDialogIsModalAndCloses();
  void dialogClosesWhenTheCameraGoesAway();
  void syntheticCameraDialogChangesThePicture();

 private:
  std::unique_ptr<CaptureWidget> connectedWindow(bool scale = false);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<fakev4l2::FakeV4l2> fake_;
  std::unique_ptr<QWidget> host_;
};

void TestCaptureDialogs::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  fake_ = std::make_unique<fakev4l2::FakeV4l2>();
  const QString path = dir_->filePath("video0");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  fake_->addNode(path.toStdString(), webcam());
  host_ = std::make_unique<QWidget>();
  host_->resize(400, 300);
  host_->show();
}

void TestCaptureDialogs::cleanup() {
  host_.reset();
  QCOMPARE(fake_->openDescriptors(), 0);
  QCOMPARE(fake_->liveMappings(), 0);
  fake_.reset();
  dir_.reset();
}

std::unique_ptr<CaptureWidget> TestCaptureDialogs::connectedWindow(bool scale) {
  auto provider = std::make_shared<V4l2Provider>(dir_->path().toStdString());
  auto window = std::make_unique<CaptureWidget>(provider, host_.get());
  window->setGeometry(0, 0, 320, 240);
  window->show();
  if (!window->connectDriver(0)) return nullptr;
  window->setScale(scale);
  window->setPreviewRate(15);
  window->setPreview(true);
  return window;
}

void TestCaptureDialogs::formatDialogListsWhatTheCameraOffers() {
  const auto window = connectedWindow();
  QVERIFY(window);
  QCOMPARE(window->currentFormat(), std::optional<FormatOption>({M, 640, 480, 1, 30}));
  const auto dialog = window->makeFormatDialog(host_.get());
  QVERIFY(dialog);
  QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Görüntü Boyutu"));
  QCOMPARE(itemTexts(dialog->formatList()), (QStringList{"Motion-JPEG", "YUYV 4:2:2"}));
  QCOMPARE(itemTexts(dialog->sizeList()),
           (QStringList{QString::fromUtf8("320 × 240"), QString::fromUtf8("640 × 480"),
                        QString::fromUtf8("1280 × 720")}));
  QCOMPARE(itemTexts(dialog->rateList()), (QStringList{"30 kare/sn", "15 kare/sn"}));
  // The current format preselected.
  QCOMPARE(dialog->sizeList()->currentText(), QString::fromUtf8("640 × 480"));
  QCOMPARE(dialog->chosen(), (FormatOption{M, 640, 480, 1, 30}));
  // Another format lists its own sizes and rates, keeping the size it can.
  dialog->formatList()->setCurrentIndex(1);
  QCOMPARE(itemTexts(dialog->sizeList()), (QStringList{QString::fromUtf8("640 × 480")}));
  QCOMPARE(itemTexts(dialog->rateList()), (QStringList{"30 kare/sn"}));
  QCOMPARE(dialog->chosen(), (FormatOption{Y, 640, 480, 1, 30}));
  dialog->formatList()->setCurrentIndex(0);
  dialog->sizeList()->setCurrentIndex(2);
  dialog->rateList()->setCurrentIndex(1);
  QCOMPARE(dialog->chosen(), (FormatOption{M, 1280, 720, 1, 15}));
}

void TestCaptureDialogs::formatDialogOffersCommonSizesOfARange() {
  PixelFormatInfo range{Y, "", {{FrameSizeRange::Kind::Stepwise, 320, 240, 1280, 960, 32, 24}}};
  PixelFormatInfo h264{V4L2_PIX_FMT_H264, "H.264", {FrameSizeRange::discrete(640, 480)}};
  const auto noRates = [](std::uint32_t, int, int) { return FrameIntervals{}; };
  FormatDialog dialog({h264, range}, noRates, {Y, 800, 600});
  // The preview cannot show H.264: not offered. No description: the fourcc.
  QCOMPARE(itemTexts(dialog.formatList()), (QStringList{"YUYV"}));
  QCOMPARE(itemTexts(dialog.sizeList()),
           (QStringList{QString::fromUtf8("320 × 240"), QString::fromUtf8("640 × 480"),
                        QString::fromUtf8("800 × 600"), QString::fromUtf8("1024 × 768"),
                        QString::fromUtf8("1280 × 720"), QString::fromUtf8("1280 × 960")}));
  QCOMPARE(dialog.sizeList()->currentText(), QString::fromUtf8("800 × 600"));
  // A device that names no rate: the default, and nothing to choose.
  QCOMPARE(itemTexts(dialog.rateList()), (QStringList{QString::fromUtf8("Varsayılan")}));
  QVERIFY(!dialog.rateList()->isEnabled());
  QCOMPARE(dialog.chosen(), (FormatOption{Y, 800, 600, 0, 0}));
}

void TestCaptureDialogs::frameRateTexts_data() {
  QTest::addColumn<uint>("numerator");
  QTest::addColumn<uint>("denominator");
  QTest::addColumn<QString>("text");
  QTest::newRow("whole rate") << 1u << 30u << "30 kare/sn";
  QTest::newRow("NTSC rate with a decimal comma") << 1001u << 30000u << "29,97 kare/sn";
  QTest::newRow("slower than one a second") << 2u << 15u << "7,5 kare/sn";
  QTest::newRow("unknown") << 0u << 0u << QString::fromUtf8("Varsayılan");
}

void TestCaptureDialogs::frameRateTexts() {
  QFETCH(uint, numerator);
  QFETCH(uint, denominator);
  QFETCH(QString, text);
  QCOMPARE(frameRateText({numerator, denominator}), text);
}

void TestCaptureDialogs::okSwitchesTheStreamToTheChosenSize() {
  const auto window = connectedWindow();
  QVERIFY(window);
  QTRY_COMPARE(window->currentFrame().size(), QSize(640, 480));
  QSignalSpy changed(window.get(), &CaptureWidget::cameraSettingsChanged);
  bool reached = false;
  whenShown<FormatDialog>(
      [](FormatDialog& dialog) {
        dialog.sizeList()->setCurrentIndex(2);
        dialog.rateList()->setCurrentIndex(1);
        buttonNamed(dialog, "Tamam")->click();
      },
      reached);
  QVERIFY(window->showFormatDialog());
  QVERIFY(reached);
  QCOMPARE(window->currentFormat(), std::optional<FormatOption>({M, 1280, 720, 1, 15}));
  QCOMPARE(window->chosenFormat(), std::optional<FormatOption>({M, 1280, 720, 1, 15}));
  QCOMPARE(changed.count(), 1);
  QTRY_COMPARE(window->currentFrame().size(), QSize(1280, 720));
  // The same descriptor, its buffers mapped again for the new size.
  QCOMPARE(fake_->peakDescriptors(), 1);
  QCOMPARE(fake_->openDescriptors(), 1);
  QCOMPARE(fake_->liveMappings(), 4);
}

void TestCaptureDialogs::cancelChangesNothing() {
  const auto window = connectedWindow();
  QVERIFY(window);
  const CaptureStream* stream = window->stream();
  QSignalSpy changed(window.get(), &CaptureWidget::cameraSettingsChanged);
  bool reached = false;
  whenShown<FormatDialog>(
      [](FormatDialog& dialog) {
        dialog.sizeList()->setCurrentIndex(0);
        buttonNamed(dialog, QString::fromUtf8("İptal"))->click();
      },
      reached);
  QVERIFY(window->showFormatDialog());
  QVERIFY(reached);
  QCOMPARE(window->stream(), stream);
  QCOMPARE(window->currentFormat(), std::optional<FormatOption>({M, 640, 480, 1, 30}));
  QVERIFY(!window->chosenFormat());
  QCOMPARE(changed.count(), 0);
}

void TestCaptureDialogs::chosenFormatIsKeptOnReconnect() {
  const auto window = connectedWindow();
  QVERIFY(window);
  QVERIFY(window->applyFormat({M, 320, 240, 1, 15}));
  window->setChosenFormat(FormatOption{M, 320, 240, 1, 15});
  window->disconnectDriver();
  QVERIFY(window->connectDriver(0));
  QCOMPARE(window->currentFormat(), std::optional<FormatOption>({M, 320, 240, 1, 15}));
  QTRY_COMPARE(window->currentFrame().size(), QSize(320, 240));
  // A choice the camera no longer offers gives way to the default.
  window->setChosenFormat(FormatOption{M, 1920, 1080, 1, 30});
  window->disconnectDriver();
  QVERIFY(window->connectDriver(0));
  QCOMPARE(window->currentFormat(), std::optional<FormatOption>({M, 640, 480, 1, 30}));
}

void TestCaptureDialogs::formatSwitchesLeakNothing() {
  const auto window = connectedWindow(true);
  QVERIFY(window);
  const FormatOption sizes[] = {{M, 1280, 720, 1, 30}, {Y, 640, 480, 1, 30}, {M, 320, 240, 1, 15}};
  for (int i = 0; i < 12; ++i) {
    QVERIFY(window->applyFormat(sizes[i % 3]));
    QCOMPARE(fake_->openDescriptors(), 1);
    QCOMPARE(fake_->liveMappings(), 4);
  }
  QTRY_VERIFY(!window->currentFrame().isNull());
  QCOMPARE(fake_->peakDescriptors(), 1);
  window->disconnectDriver();
  QCOMPARE(fake_->openDescriptors(), 0);
  QCOMPARE(fake_->liveMappings(), 0);
}

void TestCaptureDialogs::dialogsNeedAConnection() {
  auto provider = std::make_shared<V4l2Provider>(dir_->path().toStdString());
  CaptureWidget window(provider, host_.get());
  QVERIFY(!window.showFormatDialog());
  QVERIFY(!window.showSourceDialog());
  QVERIFY(!window.applyFormat({M, 640, 480}));
}

void TestCaptureDialogs::sourceDialogGroupsByClassInTurkish() {
  const auto window = connectedWindow();
  QVERIFY(window);
  const auto dialog = window->makeSourceDialog(host_.get());
  QVERIFY(dialog);
  QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Video Kaynağı"));
  QStringList groups;
  for (const auto* group : dialog->findChildren<QGroupBox*>()) groups << group->title();
  QCOMPARE(groups, (QStringList{QString::fromUtf8("Görüntü"), "Kamera"}));
  QStringList labels;
  for (const auto* label : dialog->findChildren<QLabel*>())
    if (!label->text().isEmpty() && !label->text().at(0).isDigit()) labels << label->text();
  QVERIFY(labels.contains(QString::fromUtf8("Parlaklık")));
  QVERIFY(labels.contains(QString::fromUtf8("Güç Hattı Frekansı")));
  QVERIFY(labels.contains(QString::fromUtf8("Otomatik Pozlama")));
  QVERIFY(labels.contains("Pozlama"));
  // The driver's name for a control without a Turkish one.
  QVERIFY(!labels.contains("Brightness"));
  const auto* powerLine =
      qobject_cast<QComboBox*>(dialog->editorFor(V4L2_CID_POWER_LINE_FREQUENCY));
  QCOMPARE(itemTexts(powerLine), (QStringList{QString::fromUtf8("Kapalı"), "50 Hz", "60 Hz"}));
  QCOMPARE(powerLine->currentText(), QString("50 Hz"));
  const auto* exposure = qobject_cast<QComboBox*>(dialog->editorFor(V4L2_CID_EXPOSURE_AUTO));
  QCOMPARE(itemTexts(exposure),
           (QStringList{"Elle", QString::fromUtf8("Otomatik (Diyafram Öncelikli)")}));
  const auto* zoom = qobject_cast<QComboBox*>(dialog->editorFor(V4L2_CID_ZOOM_ABSOLUTE));
  QCOMPARE(itemTexts(zoom), (QStringList{"100", "150", "200"}));
  const auto* brightness = qobject_cast<QSlider*>(dialog->editorFor(V4L2_CID_BRIGHTNESS));
  QCOMPARE(brightness->minimum(), -64);
  QCOMPARE(brightness->maximum(), 64);
  QCOMPARE(dialog->valueLabelFor(V4L2_CID_BRIGHTNESS)->text(), QString("0"));
  QVERIFY(qobject_cast<QPushButton*>(dialog->editorFor(V4L2_CID_PAN_RESET)));
  // A disabled control is not shown; a read-only one is shown, greyed.
  QVERIFY(!dialog->editorFor(V4L2_CID_HUE));
  QVERIFY(!dialog->editorFor(V4L2_CID_GAIN)->isEnabled());
}

void TestCaptureDialogs::changeReachesTheDevice_data() {
  QTest::addColumn<quint32>("id");
  QTest::addColumn<int>("value");
  QTest::newRow("slider") << quint32(V4L2_CID_BRIGHTNESS) << 12;
  QTest::newRow("check box") << quint32(V4L2_CID_AUTO_WHITE_BALANCE) << 0;
  QTest::newRow("list") << quint32(V4L2_CID_POWER_LINE_FREQUENCY) << 2;
  QTest::newRow("integer menu list") << quint32(V4L2_CID_ZOOM_ABSOLUTE) << 1;
  QTest::newRow("button") << quint32(V4L2_CID_PAN_RESET) << 1;
}

void TestCaptureDialogs::changeReachesTheDevice() {
  QFETCH(quint32, id);
  QFETCH(int, value);
  const auto window = connectedWindow();
  QVERIFY(window);
  const auto dialog = window->makeSourceDialog(host_.get());
  dialog->show();
  QSignalSpy changed(window.get(), &CaptureWidget::cameraSettingsChanged);
  QWidget* editor = dialog->editorFor(id);
  QVERIFY(editor);
  if (auto* slider = qobject_cast<QSlider*>(editor)) {
    slider->setValue(value);
    QCOMPARE(dialog->valueLabelFor(id)->text(), QString::number(value));
  } else if (auto* check = qobject_cast<QCheckBox*>(editor)) {
    check->click();
  } else if (auto* list = qobject_cast<QComboBox*>(editor)) {
    const int at = list->findData(value);
    list->setCurrentIndex(at);
    emit list->activated(at);
  } else if (auto* button = qobject_cast<QPushButton*>(editor)) {
    QTest::mouseClick(button, Qt::LeftButton);
  }
  QCOMPARE(fake_->controlWrites(), (Writes{{id, value}}));
  QCOMPARE(changed.count(), 1);
}

void TestCaptureDialogs::inactiveControlFollowsItsAutoSwitch_data() {
  QTest::addColumn<quint32>("autoSwitch");
  QTest::addColumn<quint32>("held");
  QTest::newRow("exposure under auto exposure")
      << quint32(V4L2_CID_EXPOSURE_AUTO) << quint32(V4L2_CID_EXPOSURE_ABSOLUTE);
  QTest::newRow("temperature under automatic white balance")
      << quint32(V4L2_CID_AUTO_WHITE_BALANCE) << quint32(V4L2_CID_WHITE_BALANCE_TEMPERATURE);
}

void TestCaptureDialogs::inactiveControlFollowsItsAutoSwitch() {
  QFETCH(quint32, autoSwitch);
  QFETCH(quint32, held);
  const auto window = connectedWindow();
  QVERIFY(window);
  const auto dialog = window->makeSourceDialog(host_.get());
  dialog->show();
  QWidget* editor = dialog->editorFor(held);
  QVERIFY(!editor->isEnabled());
  const auto flip = [&](bool toManual) {
    QWidget* sw = dialog->editorFor(autoSwitch);
    if (auto* check = qobject_cast<QCheckBox*>(sw)) {
      check->setChecked(!toManual);
    } else if (auto* list = qobject_cast<QComboBox*>(sw)) {
      const int at =
          list->findData(toManual ? V4L2_EXPOSURE_MANUAL : V4L2_EXPOSURE_APERTURE_PRIORITY);
      list->setCurrentIndex(at);
      emit list->activated(at);
    }
  };
  flip(true);
  QVERIFY(editor->isEnabled());
  flip(false);
  QVERIFY(!editor->isEnabled());
}

void TestCaptureDialogs::defaultsRestoreAutoSwitchesFirst() {
  const auto window = connectedWindow();
  QVERIFY(window);
  auto& device = window->stream()->device();
  QVERIFY(device.setControl(V4L2_CID_BRIGHTNESS, 30));
  QVERIFY(device.setControl(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL));
  QVERIFY(device.setControl(V4L2_CID_EXPOSURE_ABSOLUTE, 100));
  QVERIFY(device.setControl(V4L2_CID_AUTO_WHITE_BALANCE, 0));
  const auto dialog = window->makeSourceDialog(host_.get());
  dialog->show();
  QVERIFY(dialog->editorFor(V4L2_CID_EXPOSURE_ABSOLUTE)->isEnabled());
  fake_->clearControlWrites();
  QSignalSpy changed(window.get(), &CaptureWidget::cameraSettingsChanged);
  QTest::mouseClick(buttonNamed(*dialog, QString::fromUtf8("Varsayılanlar")), Qt::LeftButton);
  // Auto switches first, then every other writable control; no read-only
  // control, no button.
  const Writes expected = {
      {V4L2_CID_AUTO_WHITE_BALANCE, 1},   {V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY},
      {V4L2_CID_BRIGHTNESS, 0},           {V4L2_CID_CONTRAST, 32},
      {V4L2_CID_POWER_LINE_FREQUENCY, 1}, {V4L2_CID_WHITE_BALANCE_TEMPERATURE, 4600},
      {V4L2_CID_EXPOSURE_ABSOLUTE, 250},  {V4L2_CID_ZOOM_ABSOLUTE, 0}};
  QCOMPARE(fake_->controlWrites(), expected);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(qobject_cast<QSlider*>(dialog->editorFor(V4L2_CID_BRIGHTNESS))->value(), 0);
  QVERIFY(!dialog->editorFor(V4L2_CID_EXPOSURE_ABSOLUTE)->isEnabled());
  QVERIFY(qobject_cast<QCheckBox*>(dialog->editorFor(V4L2_CID_AUTO_WHITE_BALANCE))->isChecked());
}

void TestCaptureDialogs::sourceDialogIsModalAndCloses() {
  const auto window = connectedWindow();
  QVERIFY(window);
  bool reached = false;
  QString title;
  whenShown<SourceDialog>(
      [&title](SourceDialog& dialog) {
        title = dialog.windowTitle();
        QVERIFY(dialog.isModal());
        buttonNamed(dialog, "Kapat")->click();
      },
      reached);
  QVERIFY(window->showSourceDialog());
  QVERIFY(reached);
  QCOMPARE(title, QString::fromUtf8("Video Kaynağı"));
  QVERIFY(window->isConnected());
}

void TestCaptureDialogs::dialogClosesWhenTheCameraGoesAway() {
  const auto window = connectedWindow();
  QVERIFY(window);
  bool reached = false;
  whenShown<SourceDialog>([this](SourceDialog&) { fake_->unplugAll(); }, reached);
  QVERIFY(window->showSourceDialog());  // returns once the stream has ended
  QVERIFY(reached);
  QVERIFY(!window->isConnected());
}

void TestCaptureDialogs::syntheticCameraDialogChangesThePicture() {
  auto window = std::make_unique<CaptureWidget>(
      std::make_shared<SyntheticProvider>(std::vector<std::string>{"Kamera"}), host_.get());
  window->resize(320, 240);
  QVERIFY(window->connectDriver(0));
  window->setPreview(true);
  const auto dialog = window->makeSourceDialog(host_.get());
  qobject_cast<QSlider*>(dialog->editorFor(V4L2_CID_SATURATION))->setValue(0);
  // A grey picture: every pixel of the colour bars without colour.
  QTRY_VERIFY([&] {
    const QImage frame = window->currentFrame();
    if (frame.isNull()) return false;
    const QRgb red = frame.pixel(frame.width() * 11 / 16, frame.height() / 2);
    return std::abs(qRed(red) - qGreen(red)) < 6 && std::abs(qRed(red) - qBlue(red)) < 6;
  }());
}

QTEST_MAIN(TestCaptureDialogs)
#include "tst_capturedialogs.moc"
