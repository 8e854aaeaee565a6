// The program's first window as a user sees it after start-up, rendered to a
// PNG for a look by eye (and for the documentation), with a live synthetic
// camera; on a 1280 x 1024 screen (CMakeLists.txt).

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>

#include "about/hakkinda.h"
#include "about/notices.h"
#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "camera/frmwebcam.h"
#include "camera/imagecontrol.h"
#include "converter/frmconvert.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/picturebox.h"
#include "platform/video/capturewidget.h"
#include "platform/video/formatdialog.h"
#include "platform/video/sourcedialog.h"
#include "settings/Module1.h"
#include "support/cameras.h"
#include "support/fake_face_finder.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

// The program's context over the sandbox; closing a frame ends the program,
// which here must go on to the next test.
windows::ProgramContext contextFor(const testsupport::SandboxProfile& profile,
                                   testsupport::ScriptedPrompter& prompts) {
  return {.cameras = testsupport::fakeCameras("Kamera A,Kamera B"),
          .prompter = &prompts,
          .settings = Module1(profile.settingsFile().toStdString()),
          .endProgram = [] {},
          .folders = {profile.programFolder(), profile.programCacheFolder()},
          .drives = {}};
}

// The workspace's live picture; null while there is no capture window.
QImage livePicture(Form1& form) {
  const video::CaptureWindow* camera = form.webCam().captureWindow();
  return camera ? camera->pixels() : QImage();
}

bool showsAPicture(const QImage& image) {
  if (image.isNull()) return false;
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 7) {
    for (int x = 0; x < image.width(); x += 7) {
      if (image.pixel(x, y) != first) return true;
    }
  }
  return false;
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT
 private slots:
  void workspaceInFrame() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const QString photos = profile.root() + QStringLiteral("/Okul Fotoğrafları");
    for (const char* sub : {"9-A", "9-B", "10-A", "Öğretmenler"}) {
      QVERIFY(QDir().mkpath(photos + QLatin1Char('/') + QString::fromUtf8(sub)));
    }
    windows::WindowRegistry registry{contextFor(profile, prompts)};
    const Module1& settings = registry.context().settings;
    settings.saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                             QStringLiteral("Path"), photos);
    settings.saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                            QStringLiteral("Kalite"), 7);
    windows::defineProgramWindows(registry);
    auto& frame = registry.show<windows::frmMain>();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    auto& form = registry.get<Form1>();
    QTRY_VERIFY(showsAPicture(livePicture(form)));

    // The workspace at the client area's top-left corner, the preview window
    // and the browser beside it, all three whole in view.
    const QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(form.parentWidget());
    QVERIFY(sub);
    QCOMPARE(sub->pos(), QPoint(0, 0));
    for (const QWidget* child :
         {static_cast<QWidget*>(&form), static_cast<QWidget*>(registry.find<frmOnizle>()),
          static_cast<QWidget*>(registry.find<gozat>())}) {
      QVERIFY(child);
      const QWidget* window = child->parentWidget();
      QVERIFY2(window->isVisible(), qPrintable(child->objectName()));
      QVERIFY2(frame.mdiArea()->viewport()->rect().contains(window->geometry()),
               qPrintable(child->objectName()));
    }

    QVERIFY(QDir().mkpath(QStringLiteral(TANDEO_SCREENSHOT_DIR)));
    const QString file = QStringLiteral(TANDEO_SCREENSHOT_DIR "/workspace-%1.png")
                             .arg(QGuiApplication::platformName());
    QVERIFY(frame.grab().save(file));
    qInfo("screenshot: %s", qPrintable(file));
    frame.close();
  }

  // After F5 and F6: the photo with its crop frame, and the framed part in the
  // preview window beside the workspace.
  void photoAndPreview() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    // A target folder of the sandbox's own: the folder the test happens to
    // run in would show the build tree's path in the picture.
    const QString photos = profile.root() + QStringLiteral("/Fotoğraflar");
    QVERIFY(QDir().mkpath(photos));
    windows::WindowRegistry registry{contextFor(profile, prompts)};
    registry.context().settings.saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                                QStringLiteral("Path"), photos);
    // Automatic placement on, over a colour pattern: the advice line shows.
    registry.context().settings.saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                               QStringLiteral("YuzYerlestir"), 1);
    registry.context().faceFinder = std::make_shared<testsupport::FakeFaceFinder>();
    windows::defineProgramWindows(registry);
    auto& frame = registry.show<windows::frmMain>();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.resize(1100, 760);
    auto& form = registry.get<Form1>();
    QTRY_VERIFY(showsAPicture(livePicture(form)));

    form.KeyDown(ui::vbKeyF5);
    QVERIFY(form.photo.hasBitmap());
    QCOMPARE(form.lblYuzMesaj->text(),
             QStringLiteral("Yüz bulunamadı; çerçeveyi elle yerleştirin."));
    form.moveFrame(4);  // centred, over the colour bars
    form.KeyDown(ui::vbKeyF6);
    QVERIFY(prompts.prompts().isEmpty());

    const QString file = QStringLiteral(TANDEO_SCREENSHOT_DIR "/photo-and-preview-%1.png")
                             .arg(QGuiApplication::platformName());
    QVERIFY(frame.grab().save(file));
    qInfo("screenshot: %s", qPrintable(file));
    // The preview window on its own, at the size the framed part gives it.
    frmOnizle* preview = registry.find<frmOnizle>();
    QVERIFY(preview);
    QVERIFY(showsAPicture(preview->Picture3->picture()));
    QVERIFY(preview->grab().save(QStringLiteral(TANDEO_SCREENSHOT_DIR "/preview-window-%1.png")
                                     .arg(QGuiApplication::platformName())));

    // What the user sees while a photo is being taken.
    form.waiting->show();
    form.waiting->raise();
    const QString busy = QStringLiteral(TANDEO_SCREENSHOT_DIR "/taking-a-photo-%1.png")
                             .arg(QGuiApplication::platformName());
    QVERIFY(frame.grab().save(busy));
    qInfo("screenshot: %s", qPrintable(busy));
    form.waiting->hide();
    frame.close();
  }

  // Two photos saved with F2, listed in the browser with their sizes and the
  // count, the second previewed.
  void browserWithSavedPhotos() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const QString photos = profile.root() + QStringLiteral("/9-A");
    QVERIFY(QDir().mkpath(photos));
    windows::WindowRegistry registry{contextFor(profile, prompts)};
    registry.context().settings.saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                                QStringLiteral("Path"), photos);
    windows::defineProgramWindows(registry);
    auto& frame = registry.show<windows::frmMain>();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.resize(1280, 900);
    auto& form = registry.get<Form1>();
    QTRY_VERIFY(showsAPicture(livePicture(form)));
    form.KeyDown(ui::vbKeyF5);
    form.moveFrame(4);
    form.KeyDown(ui::vbKeyF2);
    form.KeyDown(ui::vbKeyF2);
    auto& browser = registry.show<gozat>();
    QCOMPARE(browser.lstFoto->count(), 2);
    QVERIFY(prompts.prompts().isEmpty());

    const QString file = QStringLiteral(TANDEO_SCREENSHOT_DIR "/browser-%1.png")
                             .arg(QGuiApplication::platformName());
    QVERIFY(frame.grab().save(file));
    QVERIFY(browser.grab().save(QStringLiteral(TANDEO_SCREENSHOT_DIR "/browser-window-%1.png")
                                    .arg(QGuiApplication::platformName())));
    qInfo("screenshot: %s", qPrintable(file));
    frame.close();
  }

  // The camera window with the synthetic camera's picture, stretched into its area.
  void cameraWindow() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    windows::WindowRegistry registry{contextFor(profile, prompts)};
    windows::defineProgramWindows(registry);
    auto& camera = registry.get<frmWebCam>();
    camera.show();
    QVERIFY(QTest::qWaitForWindowExposed(&camera));
    QTRY_VERIFY(showsAPicture(camera.Image1->picture()));
    QVERIFY(camera.Image1->stretch());

    QVERIFY(QDir().mkpath(QStringLiteral(TANDEO_SCREENSHOT_DIR)));
    const QString file =
        QStringLiteral(TANDEO_SCREENSHOT_DIR "/camera-%1.png").arg(QGuiApplication::platformName());
    QVERIFY(camera.grab().save(file));
    qInfo("screenshot: %s", qPrintable(file));
    camera.toolYon_ButtonClick(QStringLiteral("kapat"));
  }

  // The camera's format and source dialogs over a synthetic camera.
  void cameraDialogs() {
    QWidget host;
    host.resize(400, 300);
    host.show();
    video::CaptureWidget camera(testsupport::fakeCameras("Kamera A"), &host);
    QVERIFY(camera.connectDriver(0));
    QVERIFY(QDir().mkpath(QStringLiteral(TANDEO_SCREENSHOT_DIR)));
    const auto save = [](QDialog& dialog, const char* name) {
      dialog.show();
      dialog.adjustSize();
      if (!QTest::qWaitForWindowExposed(&dialog)) return false;
      const QString file = QStringLiteral(TANDEO_SCREENSHOT_DIR "/%1.png").arg(name);
      qInfo("screenshot: %s", qPrintable(file));
      return dialog.grab().save(file);
    };
    const auto format = camera.makeFormatDialog(&host);
    QVERIFY(save(*format, "format-dialog"));
    const auto source = camera.makeSourceDialog(&host);
    QVERIFY(save(*source, "source-dialog"));
  }

  // The converter, each of its four tabs with a file chosen.
  void converterTabs() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    windows::WindowRegistry registry{contextFor(profile, prompts)};
    windows::defineProgramWindows(registry);
    auto& converter = registry.show<frmConvert>();
    QVERIFY(QTest::qWaitForWindowExposed(&converter));
    converter.Text1->setText(QStringLiteral("/home/okul/Resimler/9-A/Resim001.gif"));
    converter.Text2->setText(QStringLiteral("/home/okul/Resimler/9-A/Resim001.bmp"));
    converter.Text7->setText(QStringLiteral("/home/okul/Resimler/9-A/Resim002.bmp"));
    converter.Text8->setText(QStringLiteral("/home/okul/Resimler/9-A/Resim002.jpg"));
    for (int tab = 0; tab < converter.SSTab1->count(); ++tab) {
      converter.SSTab1->setCurrentIndex(tab);
      const QString file = QStringLiteral(TANDEO_SCREENSHOT_DIR "/converter-tab%1-%2.png")
                               .arg(tab + 1)
                               .arg(QGuiApplication::platformName());
      QVERIFY(converter.grab().save(file));
      qInfo("screenshot: %s", qPrintable(file));
    }
    converter.close();
  }

  // The about box and the two product notices.
  void aboutBoxAndNotices() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    windows::WindowRegistry registry{contextFor(profile, prompts)};
    windows::defineProgramWindows(registry);
    const auto save = [](QWidget& window, const char* name) {
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      const QString file = QStringLiteral(TANDEO_SCREENSHOT_DIR "/%1-%2.png")
                               .arg(QLatin1String(name), QGuiApplication::platformName());
      QVERIFY(window.grab().save(file));
      qInfo("screenshot: %s", qPrintable(file));
      window.close();
    };
    save(registry.show<hakkinda>(), "about");
    save(registry.get<frmKartela>(), "notice-kartela");
    save(registry.get<frmYoklama>(), "notice-yoklama");
  }
};

QTEST_MAIN(ScreenshotTest)
#include "tst_screenshot.moc"
