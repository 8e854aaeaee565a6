// The camera window on its own: the refresh interval it loads and asks for,
// the steps of start, stop and each tick, where a frame lands in the picture
// area, the dialogs, the keys, "Resim Al", closing, and the user's clipboard
// left alone.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>

#include "camera/imagecontrol.h"
#include "camera_fixture.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"
#include "platform/video/capturewindow.h"
#include "platform/video/privateclipboard.h"

using testsupport::CameraWindow;
using testsupport::solidFrame;

Q_DECLARE_METATYPE(std::optional<std::int32_t>)

namespace {

const QString kWarning = QStringLiteral("Lütfen 1-1000 arasında sayısal bir değer giriniz");

// Image1's place and size in twips, and whether it stretches.
struct Placement {
  bool stretch;
  QRectF twips;
};

Placement placementOf(const camera::ImageControl& image) {
  return {image.stretch(),
          QRectF(image.leftTwips(), image.topTwips(), image.widthTwips(), image.heightTwips())};
}

QRect pixelsOf(const QRectF& twips) {
  return {ui::twipsToPixelsX(twips.x()), ui::twipsToPixelsY(twips.y()),
          ui::twipsToPixelsX(twips.width()), ui::twipsToPixelsY(twips.height())};
}

}  // namespace

class FrmWebCamTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { video::privateClipboard().clear(); }

  void looksAsDesigned() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    QCOMPARE(window.windowTitle(), QStringLiteral("Velmora Aranel Gelişmiş Kamera"));
    QCOMPARE(window.size(), QSize(ui::twipsToPixelsX(9015), ui::twipsToPixelsY(7605)));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.isWindow());
    QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QCOMPARE(window.picOutput->geometry(),
             QRect(0, ui::twipsToPixelsY(840), ui::twipsToPixelsX(9015), ui::twipsToPixelsY(6735)));

    QStringList captions, keys;
    for (const QAction* button : window.toolYon->actions()) {
      captions << button->text();
      keys << button->data().toString();
    }
    QCOMPARE(captions, QStringList({"Başlat[F2]", "Durdur[F3]", "Ayarlar", "Yenileme Hızı[F6]",
                                    "Resim  Al [F7]", "Kapat [ESC]"}));
    QCOMPARE(keys, QStringList({"baslat", "durdur", "ayarlar", "hiz", "al", "kapat"}));
    for (const QAction* button : window.toolYon->actions()) QVERIFY(!button->icon().isNull());

    QAction* ayarlar = window.toolYon->actions().at(2);
    QVERIFY(ayarlar->menu());
    QStringList items;
    for (const QAction* item : ayarlar->menu()->actions())
      items << item->text() + "/" + item->data().toString();
    QCOMPARE(items, QStringList({"Görüntü Boyutu [F4]/boyut", "Video Kaynağı[F5]/kaynak"}));
    auto* face = qobject_cast<QToolButton*>(window.toolYon->widgetForAction(ayarlar));
    QVERIFY(face);
    QCOMPARE(face->popupMode(), QToolButton::MenuButtonPopup);
  }

  void loadsTheStoredRefreshInterval_data() {
    QTest::addColumn<std::optional<std::int32_t>>("stored");
    QTest::addColumn<int>("interval");
    using N = std::optional<std::int32_t>;
    QTest::newRow("nothing stored ticks every 10 ms") << N() << 10;
    QTest::newRow("a stored 250 ticks every 250 ms") << N(250) << 250;
    QTest::newRow("a stored 1 is kept") << N(1) << 1;
    QTest::newRow("a stored 1000 is kept") << N(1000) << 1000;
    QTest::newRow("a stored 5000 is taken as 1000") << N(5000) << 1000;
    QTest::newRow("a stored 0 gives 10 ms") << N(0) << 10;
    QTest::newRow("a stored negative value gives 10 ms") << N(-7) << 10;
  }
  void loadsTheStoredRefreshInterval() {
    QFETCH(std::optional<std::int32_t>, stored);
    QFETCH(int, interval);
    CameraWindow camera;
    if (stored) camera.storeRefresh(*stored);
    frmWebCam& window = camera.open();
    QCOMPARE(window.tmrMain->interval(), interval);
    QVERIFY(window.tmrMain->isActive());
    // Loading never writes the value back.
    QCOMPARE(camera.storedRefresh(), stored.value_or(0));
  }

  void refreshAnswer_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("stored");  // 0: nothing stored
    QTest::addColumn<bool>("warned");
    QTest::newRow("250 is stored") << "250" << 250 << false;
    QTest::newRow("1 is the shortest") << "1" << 1 << false;
    QTest::newRow("1000 is accepted") << "1000" << 1000 << false;
    QTest::newRow("2.5 rounds to the even 2") << "2.5" << 2 << false;
    QTest::newRow("3.5 rounds to the even 4") << "3.5" << 4 << false;
    QTest::newRow("letters after the number are dropped") << "250abc" << 250 << false;
    QTest::newRow("a blank inside the number is ignored") << "2 50" << 250 << false;
    QTest::newRow("a comma ends the number") << "2,5" << 2 << false;
    QTest::newRow("hexadecimal") << "&H10" << 16 << false;
    QTest::newRow("octal") << "&O17" << 15 << false;
    QTest::newRow("an exponent with E") << "1E2" << 100 << false;
    QTest::newRow("an exponent with D") << "1D2" << 100 << false;
    QTest::newRow("0 is too short") << "0" << 0 << true;
    QTest::newRow("0.4 is below 1") << "0.4" << 0 << true;
    QTest::newRow("1001 is too long") << "1001" << 0 << true;
    QTest::newRow("1000.5 is beyond the range") << "1000.5" << 0 << true;
    QTest::newRow("a negative number") << "-5" << 0 << true;
    QTest::newRow("text without a number") << "abc" << 0 << true;
    QTest::newRow("an empty answer or cancel changes nothing") << "" << 0 << false;
  }
  void refreshAnswer() {
    QFETCH(QString, answer);
    QFETCH(int, stored);
    QFETCH(bool, warned);
    CameraWindow camera;
    frmWebCam& window = camera.open();
    camera.prompts.answerInput(answer);
    if (warned) camera.prompts.answerMessage(ui::vbOK);

    window.toolYon_ButtonClick(QStringLiteral("hiz"));

    const auto& prompts = camera.prompts.prompts();
    QCOMPARE(prompts.size(), warned ? 2 : 1);
    QCOMPARE(prompts[0].kind, testsupport::RecordedPrompt::Kind::Input);
    QCOMPARE(prompts[0].text, QStringLiteral("Kamera Yineleme Hızını Giriniz"));
    QCOMPARE(prompts[0].title, QStringLiteral("1-1000 arasında bir değer giriniz"));
    QCOMPARE(prompts[0].defaultText, QStringLiteral("0"));
    if (warned) {
      QCOMPARE(prompts[1].text, kWarning);
      QCOMPARE(prompts[1].title, QStringLiteral("Velmora Photo"));
      QCOMPARE(prompts[1].icon, ui::vbExclamation);
      QCOMPARE(prompts[1].buttons, ui::vbOKOnly);
    }
    QCOMPARE(camera.storedRefresh(), stored);
    QCOMPARE(window.tmrMain->interval(), stored ? stored : 10);
  }

  void refreshQuestionOffersTheStoredValue() {
    CameraWindow camera;
    camera.storeRefresh(5000);
    frmWebCam& window = camera.open();
    camera.prompts.answerInput(QString());
    window.toolYon_ButtonClick(QStringLiteral("hiz"));
    QCOMPARE(camera.prompts.prompts().at(0).defaultText, QStringLiteral("5000"));
    QCOMPARE(window.tmrMain->interval(), 1000);
  }

  void enteredIntervalTicksAtTheNextOpening() {
    CameraWindow camera;
    frmWebCam& first = camera.open();
    QCOMPARE(first.tmrMain->interval(), 10);
    camera.prompts.answerInput(QStringLiteral("250"));
    first.toolYon_ButtonClick(QStringLiteral("hiz"));
    QCOMPARE(first.tmrMain->interval(), 250);
    first.toolYon_ButtonClick(QStringLiteral("kapat"));
    QTRY_VERIFY(camera.window.isNull());

    frmWebCam& second = camera.open();
    QCOMPARE(second.tmrMain->interval(), 250);
    QVERIFY(second.tmrMain->isActive());
  }

  void startMakesAHiddenCaptureWindowOnDriverZero() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    QCOMPARE(camera.capture.calls(),
             QStringList({"create WebcamCapture at 0,0 320x240", "connect 0"}));
    video::CaptureWindow* capture = window.captureWindow();
    QVERIFY(capture);
    QVERIFY(capture->widget()->isHidden());
    QVERIFY(window.picOutput->isAncestorOf(capture->widget()));
    QVERIFY(window.tmrMain->isActive());
  }

  void aSecondStartDoesNothing() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    video::CaptureWindow* first = window.captureWindow();
    camera.capture.clearCalls();
    window.toolYon_ButtonClick(QStringLiteral("baslat"));
    QVERIFY(camera.capture.calls().isEmpty());
    QCOMPARE(window.captureWindow(), first);
    QCOMPARE(camera.capture.alive(), 1);
  }

  void startAfterStopReplacesTheCaptureWindow() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    camera.capture.clearCalls();
    window.toolYon_ButtonClick(QStringLiteral("durdur"));
    QVERIFY(!window.tmrMain->isActive());
    QCOMPARE(camera.capture.calls(), QStringList({"disconnect"}));
    window.toolYon_ButtonClick(QStringLiteral("baslat"));
    QCOMPARE(
        camera.capture.calls(),
        QStringList({"disconnect", "destroy", "create WebcamCapture at 0,0 320x240", "connect 0"}));
    QCOMPARE(camera.capture.alive(), 1);
    QVERIFY(window.tmrMain->isActive());
  }

  void eachTickConnectsGrabsAndCopies() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    window.tmrMain->stop();
    camera.capture.setFrame(solidFrame(320, 240, Qt::red));
    camera.capture.clearCalls();
    window.tmrMain_Timer();
    window.tmrMain_Timer();
    QCOMPARE(camera.capture.calls(),
             QStringList({"connect 0", "grab", "copy", "connect 0", "grab", "copy"}));
    QCOMPARE(window.Image1->picture().pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(!video::privateClipboard().hasImage());
  }

  void aTickWithoutAFrameStillRunsEveryStep() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    window.tmrMain->stop();
    camera.capture.setFrame(solidFrame(320, 240, Qt::red));
    window.tmrMain_Timer();
    // The camera gives nothing now; whatever stood on the clipboard is taken and cleared.
    camera.capture.setFrame(QImage());
    video::privateClipboard().setImage(solidFrame(100, 100, Qt::blue));
    camera.capture.clearCalls();
    window.tmrMain_Timer();
    QCOMPARE(camera.capture.calls(), QStringList({"connect 0", "grab", "copy"}));
    QCOMPARE(window.Image1->picture().size(), QSize(100, 100));
    QVERIFY(!video::privateClipboard().hasImage());
    window.tmrMain_Timer();
    QVERIFY(window.Image1->picture().isNull());
  }

  void framePlacement_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<QRectF>("twips");
    QTest::newRow("a 320x240 frame at its own size, centred")
        << QSize(320, 240) << false << QRectF(2107, 1567, 4800, 3600);
    QTest::newRow("a frame as large as the area fits unstretched")
        << QSize(601, 449) << false << QRectF(0, 0, 9015, 6735);
    QTest::newRow("a 640x480 frame stretched to the image's size")
        << QSize(640, 480) << true << QRectF(37, 37, 8940, 6660);
    QTest::newRow("a frame too wide only: its width stretched")
        << QSize(800, 300) << true << QRectF(37, 1117, 8940, 4500);
    QTest::newRow("a frame too tall only: its height stretched")
        << QSize(300, 600) << true << QRectF(2257, 37, 4500, 6660);
  }
  void framePlacement() {
    QFETCH(QSize, frame);
    QFETCH(bool, stretch);
    QFETCH(QRectF, twips);
    CameraWindow camera;
    frmWebCam& window = camera.open();
    window.tmrMain->stop();
    camera.capture.setFrame(solidFrame(frame.width(), frame.height(), Qt::green));
    window.tmrMain_Timer();
    const Placement placed = placementOf(*window.Image1);
    QCOMPARE(placed.stretch, stretch);
    QCOMPARE(placed.twips, twips);
    QCOMPARE(window.Image1->geometry(), pixelsOf(twips));
    QCOMPARE(window.Image1->picture().size(), frame);
  }

  void stretchedStaysStretchedUntilTheFormatDialog() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    window.tmrMain->stop();
    camera.capture.setFrame(solidFrame(640, 480, Qt::green));
    window.tmrMain_Timer();
    camera.capture.setFrame(solidFrame(320, 240, Qt::green));
    window.tmrMain_Timer();
    QCOMPARE(placementOf(*window.Image1).twips, QRectF(37, 37, 8940, 6660));
    QVERIFY(window.Image1->stretch());

    camera.capture.clearCalls();
    window.toolYon_ButtonMenuClick(QStringLiteral("boyut"));
    QCOMPARE(camera.capture.calls(), QStringList({"format dialog"}));
    QVERIFY(!window.Image1->stretch());
    window.tmrMain_Timer();
    QCOMPARE(placementOf(*window.Image1).twips, QRectF(2107, 1567, 4800, 3600));
  }

  void startTurnsStretchingOff() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    camera.capture.setFrame(solidFrame(640, 480, Qt::green));
    window.tmrMain_Timer();
    window.toolYon_ButtonClick(QStringLiteral("durdur"));
    QVERIFY(window.Image1->stretch());
    window.toolYon_ButtonClick(QStringLiteral("baslat"));
    QVERIFY(!window.Image1->stretch());
  }

  void sourceDialogFromTheFaceAndTheMenu_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("the Ayarlar button's face") << "ayarlar";
    QTest::newRow("the Video Kaynağı item") << "kaynak";
  }
  void sourceDialogFromTheFaceAndTheMenu() {
    QFETCH(QString, how);
    CameraWindow camera;
    frmWebCam& window = camera.open();
    window.tmrMain->stop();
    camera.capture.clearCalls();
    window.findChild<QAction*>(how)->trigger();
    QCOMPARE(camera.capture.calls(), QStringList({"source dialog"}));
  }

  void takingThePictureAfterStopHandsOverTheLastFrame() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    QSignalSpy taken(&window, &frmWebCam::pictureTaken);
    camera.capture.setFrame(solidFrame(320, 240, Qt::red));
    window.tmrMain_Timer();
    window.toolYon_ButtonClick(QStringLiteral("durdur"));
    camera.capture.setFrame(solidFrame(320, 240, Qt::blue));
    window.toolYon_ButtonClick(QStringLiteral("al"));
    QCOMPARE(taken.size(), 1);
    const QImage picture = taken.at(0).at(0).value<QImage>();
    QCOMPARE(picture.size(), QSize(320, 240));
    QCOMPARE(picture.pixelColor(5, 5), QColor(Qt::red));
    QTRY_VERIFY(camera.window.isNull());
    QCOMPARE(camera.capture.alive(), 0);
  }

  void keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<bool>("closes");
    QTest::newRow("F2 starts again")
        << int(Qt::Key_F2)
        << QStringList({"destroy", "create WebcamCapture at 0,0 320x240", "connect 0"}) << true
        << false << false << false;
    QTest::newRow("F3 stops") << int(Qt::Key_F3) << QStringList({"disconnect"}) << false << false
                              << false << false;
    QTest::newRow("F4 opens the format dialog")
        << int(Qt::Key_F4) << QStringList({"format dialog"}) << false << false << false << false;
    QTest::newRow("F5 opens the source dialog")
        << int(Qt::Key_F5) << QStringList({"source dialog"}) << false << false << false << false;
    QTest::newRow("F6 asks for the refresh interval")
        << int(Qt::Key_F6) << QStringList() << false << true << false << false;
    QTest::newRow("F7 takes the picture and closes")
        << int(Qt::Key_F7) << QStringList({"disconnect"}) << false << false << true << true;
    QTest::newRow("Esc closes") << int(Qt::Key_Escape) << QStringList({"disconnect"}) << false
                                << false << false << true;
    QTest::newRow("F8 does nothing")
        << int(Qt::Key_F8) << QStringList() << false << false << false << false;
  }
  void keys() {
    QFETCH(int, key);
    QFETCH(QStringList, calls);
    QFETCH(bool, running);
    QFETCH(bool, asked);
    QFETCH(bool, taken);
    QFETCH(bool, closes);
    CameraWindow camera;
    frmWebCam& window = camera.open();
    QSignalSpy pictures(&window, &frmWebCam::pictureTaken);
    // Stopped first, so that F2 has something to start and no tick interferes.
    window.toolYon_ButtonClick(QStringLiteral("durdur"));
    camera.capture.clearCalls();
    if (asked) camera.prompts.answerInput(QString());

    QTest::keyClick(&window, Qt::Key(key));

    QStringList seen = camera.capture.calls();
    if (closes) seen.removeAll(QStringLiteral("destroy"));
    // A close disconnects in stopCamera and again when the window unloads.
    seen.removeDuplicates();
    QCOMPARE(seen, calls);
    QCOMPARE(window.tmrMain->isActive(), running);
    QCOMPARE(camera.prompts.prompts().size(), asked ? 1 : 0);
    QCOMPARE(pictures.size(), taken ? 1 : 0);
    if (closes) QTRY_VERIFY(camera.window.isNull());
    QCOMPARE(camera.window.isNull(), closes);
  }

  void theCloseBoxDisconnectsAndUnloads() {
    CameraWindow camera;
    frmWebCam& window = camera.open();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy pictures(&window, &frmWebCam::pictureTaken);
    camera.capture.clearCalls();
    QVERIFY(window.close());
    // Ticks ran until then; the close itself disconnects, last.
    QCOMPARE(camera.capture.calls().last(), QStringLiteral("disconnect"));
    QTRY_VERIFY(camera.window.isNull());
    QCOMPARE(camera.capture.alive(), 0);
    QCOMPARE(pictures.size(), 0);
  }

  void realCameraFramesArriveAtTheCameraSize() {
    CameraWindow camera(true);
    frmWebCam& window = camera.open();
    QTRY_VERIFY(!window.Image1->picture().isNull());
    // The synthetic camera sends 640 x 480: more than the area, so stretched.
    QCOMPARE(window.Image1->picture().size(), QSize(640, 480));
    QVERIFY(window.Image1->stretch());
    QCOMPARE(placementOf(*window.Image1).twips, QRectF(37, 37, 8940, 6660));
  }

  void theUsersClipboardSurvivesTheTicks() {
    QClipboard* desktop = QGuiApplication::clipboard();
    const QImage userImage = solidFrame(16, 16, Qt::magenta);
    auto* userData = new QMimeData;
    userData->setText(QStringLiteral("öğrenci listesi"));
    userData->setImageData(userImage);
    desktop->setMimeData(userData);
    QCOMPARE(desktop->text(), QStringLiteral("öğrenci listesi"));

    CameraWindow camera(true);
    frmWebCam& window = camera.open();
    QTRY_VERIFY(!window.Image1->picture().isNull());
    const qint64 firstFrame = window.Image1->picture().cacheKey();
    // Many ticks, several frames.
    QTRY_VERIFY(window.Image1->picture().cacheKey() != firstFrame);
    for (int i = 0; i < 50; ++i) window.tmrMain_Timer();

    QCOMPARE(desktop->text(), QStringLiteral("öğrenci listesi"));
    QCOMPARE(desktop->image().convertToFormat(QImage::Format_RGB32),
             userImage.convertToFormat(QImage::Format_RGB32));
  }
};

QTEST_MAIN(FrmWebCamTest)
#include "tst_frmwebcam.moc"
