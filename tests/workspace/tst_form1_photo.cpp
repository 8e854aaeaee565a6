// Taking a photo and previewing it, through the real windows: the photo is the
// capture window's picture at F5 time, it travels through the temporary file,
// the framed part lands unscaled in the preview window, and every way of
// giving the two commands reaches them.

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include "browser/frmonizle.h"
#include "photo_fixture.h"
#include "platform/picture/picturefile.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;
using testsupport::rgb32;

namespace {

const QString kNoPhoto = QStringLiteral("Lütfen Önce bir Fotoğraf çekiniz");

QString captureFileIn(const QString& folder) {
  return folder + QStringLiteral("/Capture.jpg");
}

// A plain file in the sandbox: a folder below it cannot be made, not even by root.
QString plainFile(const testsupport::SandboxProfile& profile) {
  QFile blocker(profile.root() + QStringLiteral("/blocker"));
  if (!blocker.exists()) {
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
  }
  return blocker.fileName();
}

QAction* toolbarButton(const Form1& form, const char* key) {
  return form.toolYon[4]->findChild<QAction*>(QString::fromLatin1(key));
}

// One way of giving a command, by the name a test row uses.
void give(ProgramWindows& program, const QString& way) {
  Form1& form = *program.form;
  if (way == QStringLiteral("F5")) {
    form.txtSol->setFocus();
    QTest::keyClick(form.txtSol, Qt::Key_F5);
  } else if (way == QStringLiteral("F6")) {
    form.txtSol->setFocus();
    QTest::keyClick(form.txtSol, Qt::Key_F6);
  } else if (way.startsWith(QStringLiteral("toolbar "))) {
    toolbarButton(form, qPrintable(way.mid(8)))->trigger();
  } else if (way == QStringLiteral("mnuFoto")) {
    form.mnuFoto->trigger();
  } else if (way == QStringLiteral("mnuOnizle")) {
    form.mnuOnizle->trigger();
  } else if (way == QStringLiteral("menu(0)")) {
    form.menu(0);
  } else if (way == QStringLiteral("menu(1)")) {
    form.menu(1);
  } else {
    QFAIL(qPrintable(QStringLiteral("unknown way: ") + way));
  }
}

}  // namespace

class Form1PhotoTest : public QObject {
  Q_OBJECT
 private slots:
  void photoIsTheCaptureWindowsPictureAtF5() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(testsupport::freezeLivePicture(*program.form));
    const QImage expected = testsupport::grabOfCaptureWindow(*program.form, 320, 240);
    QVERIFY(!program.form->photo.hasBitmap());

    give(program, QStringLiteral("F5"));

    QCOMPARE(program.form->photo.size(), QSize(320, 240));
    QCOMPARE(rgb32(program.form->photo.image()), expected);
    QCOMPARE(rgb32(program.form->Picture2->picture()), expected);
    // A real camera frame, so the comparison meant something.
    QVERIFY(testsupport::showsAFrame(expected));
  }

  void waitingNoticeShowsOnlyWhileThePhotoIsTaken() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    bool sawWaiting = false;
    bool sawNoInput = false;
    QRect noticeAt;
    QString typedMeanwhile;
    // Runs in the step that lets pending events run, before the grab.
    QTimer::singleShot(0, &form, [&] {
      sawWaiting = form.waiting->isVisible();
      noticeAt = form.waiting->geometry();
      sawNoInput = !form.takesInput();
      form.txtOnAd->setFocus();
      QTest::keyClick(form.txtOnAd, Qt::Key_X);
      QTest::mouseClick(form.cmdEokul, Qt::LeftButton);
      typedMeanwhile = form.txtOnAd->text() + QLatin1Char('|') + form.txtEn->text();
    });
    form.txtEn->setText(QStringLiteral("50"));
    const QString before = form.txtOnAd->text();
    form.takePhoto();
    QVERIFY(sawWaiting);
    // Over the middle of the two picture boxes, where the user is looking.
    const QRect pictures(
        form.Picture1->mapTo(&form, QPoint(0, 0)),
        form.Picture2->mapTo(&form, QPoint(form.Picture2->width(), form.Picture2->height())));
    QCOMPARE(noticeAt.size(), QSize(360, 64));
    QVERIFY2(qAbs(noticeAt.center().x() - pictures.center().x()) <= 1 &&
                 qAbs(noticeAt.center().y() - pictures.center().y()) <= 1,
             qPrintable(QStringLiteral("notice centred at %1,%2, pictures at %3,%4")
                            .arg(noticeAt.center().x())
                            .arg(noticeAt.center().y())
                            .arg(pictures.center().x())
                            .arg(pictures.center().y())));
    QVERIFY(sawNoInput);
    QCOMPARE(typedMeanwhile, before + QStringLiteral("|50"));
    QVERIFY(!form.waiting->isVisible());
    QVERIFY(form.takesInput());
    QVERIFY(form.isEnabled());
    // Input reaches the workspace again afterwards.
    form.txtOnAd->setFocus();
    QTest::keyClick(form.txtOnAd, Qt::Key_X);
    QCOMPARE(form.txtOnAd->text(), before + QStringLiteral("x"));
  }

  void temporaryFileIsBmpNamedCaptureJpg_data() {
    QTest::addColumn<bool>("programFolderWritable");
    QTest::newRow("a writable program folder holds it") << true;
    QTest::newRow("a program folder it cannot write into sends it to the cache folder") << false;
  }
  void temporaryFileIsBmpNamedCaptureJpg() {
    QFETCH(bool, programFolderWritable);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const QString programFolder = programFolderWritable
                                      ? profile.programFolder()
                                      : plainFile(profile) + QStringLiteral("/program");
    ProgramWindows program(prompts, testsupport::settingsOf(profile),
                           {programFolder, profile.programCacheFolder()});
    QVERIFY(testsupport::freezeLivePicture(*program.form));
    const QString file = captureFileIn(programFolderWritable ? profile.programFolder()
                                                             : profile.programCacheFolder());

    program.form->takePhoto();

    QVERIFY(QFileInfo(file).isFile());
    QFile data(file);
    QVERIFY(data.open(QIODevice::ReadOnly));
    QCOMPARE(data.read(2), QByteArray("BM"));
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    QCOMPARE(rgb32(reader.read()), rgb32(program.form->photo.image()));
    QVERIFY(prompts.prompts().isEmpty());
  }

  void twoPhotosInARowKeepOnlyTheSecond() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    const QRect frameBefore = form.Label5->geometry();
    form.takePhoto();
    const QImage first = rgb32(form.photo.image());
    // The synthetic camera moves: wait for a different live picture, then hold it.
    QTRY_VERIFY(testsupport::grabOfCaptureWindow(*program.form, 320, 240) != first);
    QVERIFY(testsupport::freezeLivePicture(*program.form));
    const QImage expected = testsupport::grabOfCaptureWindow(*program.form, 320, 240);

    form.takePhoto();

    QCOMPARE(rgb32(form.photo.image()), expected);
    QCOMPARE(rgb32(form.Picture2->picture()), expected);
    const auto onDisk = picture::loadPicture(captureFileIn(profile.programFolder()));
    QVERIFY(onDisk.ok());
    QCOMPARE(rgb32(onDisk->image()), expected);
    QCOMPARE(form.Label5->geometry(), frameBefore);
  }

  void unwritableTemporaryFileIsReportedAndTheWorkspaceStaysUsable() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    // Neither folder can be written into (or made).
    const QString blocker = plainFile(profile);
    ProgramWindows program(
        prompts, testsupport::settingsOf(profile),
        {blocker + QStringLiteral("/program"), blocker + QStringLiteral("/cache/Velmora")});
    Form1& form = *program.form;
    prompts.answerMessage(ui::vbOK);

    form.takePhoto();

    QCOMPARE(prompts.prompts().size(), 1);
    const testsupport::RecordedPrompt& message = prompts.prompts().front();
    QCOMPARE(message.text, QStringLiteral("Fotoğraf geçici dosyaya yazılamadı: ") + blocker +
                               QStringLiteral("/cache/Velmora/Capture.jpg"));
    QCOMPARE(message.buttons, ui::vbOKOnly);
    QCOMPARE(message.icon, ui::vbExclamation);
    QCOMPARE(message.title, QStringLiteral("Velmora Photo"));
    QVERIFY(form.takesInput());
    QVERIFY(!form.waiting->isVisible());
    QVERIFY(!form.photo.hasBitmap());
    QVERIFY(!form.Picture2->hasPicture());
  }

  void noCameraGivesABlackPhoto() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    prompts.answerMessage(ui::vbOK);  // "Yüklü Video Aygıtı Yok." at start-up
    ProgramWindows program(profile, prompts, testsupport::noCameras());
    program.form->takePhoto();
    QImage black(320, 240, QImage::Format_RGB32);
    black.fill(Qt::black);
    QCOMPARE(rgb32(program.form->photo.image()), black);
  }

  void previewBeforeAnyPhotoWarnsAndChangesNothing_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("F6") << QStringLiteral("F6");
    QTest::newRow("toolbar Önizleme") << QStringLiteral("toolbar onizleme");
    QTest::newRow("toolbar Resim Al") << QStringLiteral("toolbar al");
    QTest::newRow("menu Önizleme") << QStringLiteral("mnuOnizle");
    QTest::newRow("the frame's menu(1)") << QStringLiteral("menu(1)");
  }
  void previewBeforeAnyPhotoWarnsAndChangesNothing() {
    QFETCH(QString, way);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    prompts.answerMessage(ui::vbOK);
    ProgramWindows program(profile, prompts);

    give(program, way);

    QCOMPARE(prompts.prompts().size(), 1);
    const testsupport::RecordedPrompt& warning = prompts.prompts().front();
    QCOMPARE(warning.text, kNoPhoto);
    QCOMPARE(warning.buttons, ui::vbOKOnly);
    QCOMPARE(warning.icon, ui::vbExclamation);
    QCOMPARE(warning.title, QStringLiteral("Velmora Photo"));
    // The preview window, there since start-up, shows nothing.
    QVERIFY(!program.registry.get<frmOnizle>().Picture3->hasPicture());
  }

  void everyWayTakesAPhoto_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("F5 typed in the workspace") << QStringLiteral("F5");
    QTest::newRow("toolbar Fotoğraf Çek") << QStringLiteral("toolbar foto");
    QTest::newRow("menu Fotoğraf Çek") << QStringLiteral("mnuFoto");
    QTest::newRow("the frame's menu(0)") << QStringLiteral("menu(0)");
  }
  void everyWayTakesAPhoto() {
    QFETCH(QString, way);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(testsupport::freezeLivePicture(*program.form));
    give(program, way);
    QCOMPARE(rgb32(program.form->photo.image()),
             testsupport::grabOfCaptureWindow(*program.form, 320, 240));
  }

  void everyWayShowsThePreview_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("F6") << QStringLiteral("F6");
    QTest::newRow("toolbar Önizleme") << QStringLiteral("toolbar onizleme");
    QTest::newRow("toolbar Resim Al") << QStringLiteral("toolbar al");
    QTest::newRow("menu Önizleme") << QStringLiteral("mnuOnizle");
    QTest::newRow("the frame's menu(1)") << QStringLiteral("menu(1)");
  }
  void everyWayShowsThePreview() {
    QFETCH(QString, way);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    program.form->takePhoto();
    program.form->Label5->setGeometry(20, 30, 105, 120);
    give(program, way);
    const frmOnizle* preview = program.registry.find<frmOnizle>();
    QVERIFY(preview);
    QVERIFY(preview->isVisible());
    QCOMPARE(rgb32(preview->Picture3->picture()),
             rgb32(program.form->photo.image().copy(20, 30, 105, 120)));
    QVERIFY(prompts.prompts().isEmpty());
  }

  void previewCutsTheFramedPartUnscaled_data() {
    QTest::addColumn<QRect>("frame");
    QTest::newRow("the school system's 105 × 120 at the corner") << QRect(0, 0, 105, 120);
    QTest::newRow("a small frame inside the photo") << QRect(37, 51, 64, 80);
    QTest::newRow("a frame past the photo's edge is black outside") << QRect(290, 200, 50, 60);
  }
  void previewCutsTheFramedPartUnscaled() {
    QFETCH(QRect, frame);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    form.takePhoto();
    form.Label5->setGeometry(frame);

    form.showPreview();

    const frmOnizle* preview = program.registry.find<frmOnizle>();
    QVERIFY(preview);
    QCOMPARE(preview->Picture3->picture().size(), frame.size());
    QCOMPARE(preview->Picture3->size(), frame.size());
    QCOMPARE(preview->Picture3->pos(), QPoint(0, 0));
    QImage expected = rgb32(form.photo.image().copy(frame));
    QCOMPARE(rgb32(preview->Picture3->picture()), expected);
    const QSize window(ui::twipsToPixelsX(frame.width() * ui::twipsPerPixelX() + 50),
                       ui::twipsToPixelsY(frame.height() * ui::twipsPerPixelY() + 250));
    QCOMPARE(preview->size(), window);
    // The picture shows whole inside the window.
    QVERIFY(preview->rect().contains(preview->Picture3->geometry()));
    QCOMPARE(form.pctResim.clipX(), frame.x());
    QCOMPARE(form.pctResim.clipY(), frame.y());
  }

  void previewWindowIsReusedAndShownAgainAfterClosing() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    form.takePhoto();
    form.showPreview();
    frmOnizle* first = program.registry.find<frmOnizle>();
    QVERIFY(first);
    first->parentWidget()->close();
    QVERIFY(first->parentWidget()->isHidden());
    form.showPreview();
    QCOMPARE(program.registry.find<frmOnizle>(), first);
    QVERIFY(first->parentWidget()->isVisible());
  }
};

QTEST_MAIN(Form1PhotoTest)
#include "tst_form1_photo.moc"
