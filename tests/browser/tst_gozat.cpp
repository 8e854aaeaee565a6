// The photo browser through its real widgets on real temporary folders: its
// place and remembered width, entries added by the workspace after a save,
// rename (a copy under the new name), delete (to the trash), the pop-up and
// double click, keys passed on, and the three lists kept in step.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRandomGenerator>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "platform/files/case_fold.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/simplecombobox.h"
#include "platform/ui/twips.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace/workspace_fixture.h"

using testsupport::ProgramWindows;

namespace {

QMdiSubWindow* frameWindow(const QWidget& window) {
  return qobject_cast<QMdiSubWindow*>(window.parentWidget());
}

std::int32_t storedWidth(const testsupport::SandboxProfile& profile) {
  return testsupport::settingsOf(profile).getDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("ExpWith"));
}

void storeWidth(const testsupport::SandboxProfile& profile, std::uint32_t width) {
  testsupport::settingsOf(profile).saveDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("ExpWith"), width);
}

// A picture file of `bytes` bytes at least (BMP data, whatever its name says:
// the picture layer reads by content), padded with zeros to the exact size.
void writePhoto(const QString& path, qint64 bytes = 0, QColor colour = Qt::red) {
  QImage image(16, 12, QImage::Format_RGB32);
  image.fill(colour);
  QVERIFY(image.save(path, "BMP"));
  if (bytes > 0) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() <= bytes);
    QVERIFY(file.resize(bytes));
  }
}

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString errorText(int number) {
  return QStringLiteral("Yaptığınız işlemde hata oluştu\nHata Kodu:%1").arg(number);
}

// The program with a folder of photos and the browser; files are written as
// the save command writes them (lower-case type), the browser keeps upper case.
struct Browser {
  testsupport::SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  QTemporaryDir folderDir;
  std::unique_ptr<ProgramWindows> program;
  gozat* window = nullptr;

  Browser() : Browser(std::nullopt) {}
  explicit Browser(std::optional<std::uint32_t> storedWidthTwips) {
    if (storedWidthTwips) storeWidth(profile, *storedWidthTwips);
    program = std::make_unique<ProgramWindows>(profile, prompts);
    program->registry.context().trash = {profile.root().toStdString() + "/data/Trash", 0};
    window = &program->registry.get<gozat>();
  }
  QString folder() const { return folderDir.path(); }
  QString trash() const { return profile.root() + QStringLiteral("/data/Trash"); }

  // What the save command leaves: the file, then the workspace's add.
  void save(const QString& number, int type = 0, qint64 bytes = 0, QColor colour = Qt::red) {
    static const QStringList kTypes{"jpg", "gif", "bmp"};
    writePhoto(folder() + "/Resim" + number + "." + kTypes[type], bytes, colour);
    Form1& form = *program->form;
    form.txtOnAd->setText(QStringLiteral(" Resim "));
    form.txtResim->setText(number);
    form.cmbTur->setCurrentIndex(type);
    form.pathbox->setEditText(folder() + " ");
    form.addSavedPhotoToBrowser();
  }
  QStringList column(const QListWidget* list) const {
    QStringList texts;
    for (int k = 0; k < list->count(); ++k) texts << list->item(k)->text();
    return texts;
  }
};

}  // namespace

class GozatTest : public QObject {
  Q_OBJECT
 private slots:
  void opensUnderThePreviewWithItsStoredWidth_data() {
    QTest::addColumn<int>("stored");  // -1: nothing stored
    QTest::addColumn<int>("width");
    QTest::newRow("nothing stored opens 3000 wide") << -1 << 3000;
    QTest::newRow("2500 opens 3000 wide") << 2500 << 3000;
    QTest::newRow("4200 is kept") << 4200 << 4200;
  }
  void opensUnderThePreviewWithItsStoredWidth() {
    QFETCH(int, stored);
    QFETCH(int, width);
    Browser b(stored < 0 ? std::nullopt : std::optional<std::uint32_t>(stored));
    b.program->form->mnuOnPen->trigger();
    b.program->form->mnuDosya->trigger();
    const QMdiSubWindow* own = frameWindow(*b.window);
    QVERIFY(own && own->isVisible());
    QCOMPARE(own->windowTitle(), QStringLiteral("Fotoğraf Listesi"));
    QCOMPARE(b.window->widthTwips(), double(width));
    QCOMPARE(b.window->Frame1->width(), ui::twipsToPixelsX(width - 325));
    QCOMPARE(b.window->lstFoto->width(), ui::twipsToPixelsX(width - 565));
    QCOMPARE(own->height(), ui::twipsToPixelsY(5055 + 850));
    const QMdiSubWindow* workspace = b.program->workspaceWindow();
    const QMdiSubWindow* preview = frameWindow(*b.program->registry.find<frmOnizle>());
    QCOMPARE(own->pos(),
             QPoint(workspace->x() + workspace->width(), preview->y() + preview->height()));
    // The frame raised a small stored width; the browser's own placing stores
    // nothing. The user can size the window.
    QCOMPARE(storedWidth(b.profile), width);
    QVERIFY(own->minimumSize() != own->maximumSize());
    QVERIFY(!b.window->lstFotoName->isVisible());
    QVERIFY(!b.window->lstYol->isVisible());
  }

  void widenedWindowStoresItsWidth() {
    Browser b(4200);
    b.program->form->mnuDosya->trigger();
    QMdiSubWindow* own = frameWindow(*b.window);
    own->resize(ui::twipsToPixelsX(4500), own->height());
    QTRY_COMPARE(storedWidth(b.profile), 4500);
    QCOMPARE(b.window->Frame1->width(), ui::twipsToPixelsX(4500 - 325));
    QCOMPARE(b.window->lstFoto->width(), ui::twipsToPixelsX(4500 - 565));
  }

  void savedPhotoIsListedWithItsSizeAndPreviewed() {
    Browser b;
    frameWindow(*b.window)->close();
    b.save("001", 0, 46080, Qt::blue);
    QCOMPARE(b.column(b.window->lstFoto), QStringList{"Resim001.JPG( 45KB )"});
    QCOMPARE(b.column(b.window->lstFotoName), QStringList{"Resim001.JPG"});
    QCOMPARE(b.column(b.window->lstYol), QStringList{b.folder() + "/Resim001.JPG"});
    QCOMPARE(b.window->lstFoto->item(0)->data(Qt::UserRole).toInt(), 0);
    QCOMPARE(b.window->lstFoto->currentRow(), 0);
    QCOMPARE(b.window->StatusBar1Panel1->text(), QStringLiteral(" 1  Adet Kayıt"));
    const frmOnizle* preview = b.program->registry.find<frmOnizle>();
    QVERIFY(preview);
    QCOMPARE(preview->Picture3->picture().pixelColor(0, 0), QColor(Qt::blue));
    // Added, not shown: the closed browser stays hidden until asked for.
    QVERIFY(!frameWindow(*b.window)->isVisible());
  }

  void sameFileSavedTwiceIsListedOnce() {
    Browser b;
    b.save("001", 2);
    b.save("002", 1);
    b.window->StatusBar1Panel1->setText(QStringLiteral("unchanged"));
    b.save("001", 2, 5000);
    QCOMPARE(b.column(b.window->lstFotoName), (QStringList{"Resim001.BMP", "Resim002.GIF"}));
    QCOMPARE(b.window->StatusBar1Panel1->text(), QStringLiteral("unchanged"));
    QCOMPARE(b.window->lstFoto->item(1)->data(Qt::UserRole).toInt(), 1);
  }

  void arrowKeysPreviewTheSelectedEntry() {
    Browser b;
    b.save("001", 0, 0, Qt::green);
    b.save("002", 0, 0, Qt::yellow);
    b.program->form->mnuDosya->trigger();
    b.window->lstFoto->setFocus();
    QTest::keyClick(b.window->lstFoto, Qt::Key_Up);
    QCOMPARE(b.window->lstFoto->currentRow(), 0);
    QCOMPARE(b.program->registry.find<frmOnizle>()->Picture3->picture().pixelColor(0, 0),
             QColor(Qt::green));
  }

  void renameCopiesUnderTheNewName() {
    Browser b;
    b.save("001", 0, 3 * 1024);
    b.prompts.answerInput(QStringLiteral("Ali"));
    b.window->mnuRename();
    QCOMPARE(b.prompts.prompts().size(), 1);
    const auto& asked = b.prompts.prompts().first();
    QCOMPARE(asked.text, QStringLiteral("Yeni Dosya Adını Giriniz:"));
    QCOMPARE(asked.title, QStringLiteral("Yeniden Adlandır"));
    QCOMPARE(asked.defaultText, QStringLiteral("Resim001"));
    QVERIFY(QFile::exists(b.folder() + "/Resim001.jpg"));
    QCOMPARE(contentOf(b.folder() + "/Ali.JPG"), contentOf(b.folder() + "/Resim001.jpg"));
    QCOMPARE(b.column(b.window->lstFoto), QStringList{"Ali.JPG( 3KB )"});
    QCOMPARE(b.column(b.window->lstFotoName), QStringList{"Ali.JPG"});
    QCOMPARE(b.column(b.window->lstYol), QStringList{b.folder() + "/Ali.JPG"});
    // Nothing half-written is left beside the copy.
    QCOMPARE(QDir(b.folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
  }

  void renameAnswersThatChangeNothing_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("the unchanged stem") << QStringLiteral("Resim001");
    QTest::newRow("an empty text") << QString();
    QTest::newRow("cancel") << QString();
  }
  void renameAnswersThatChangeNothing() {
    QFETCH(QString, answer);
    Browser b;
    b.save("001");
    const QStringList before = b.column(b.window->lstFoto);
    b.prompts.answerInput(answer);
    b.window->lstFoto_DblClick();
    QCOMPARE(b.prompts.prompts().size(), 1);
    QCOMPARE(b.column(b.window->lstFoto), before);
    QCOMPARE(QDir(b.folder()).entryList(QDir::Files).size(), 1);
  }

  void renameOntoAnExistingFile_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("declined: entry and files stay") << int(ui::vbNo);
    QTest::newRow("accepted: the copy replaces it") << int(ui::vbYes);
  }
  void renameOntoAnExistingFile() {
    QFETCH(int, answer);
    Browser b;
    b.save("001", 0, 2048, Qt::red);
    writePhoto(b.folder() + "/Ali.jpg", 4096, Qt::white);
    const QByteArray old = contentOf(b.folder() + "/Ali.jpg");
    b.prompts.answerInput(QStringLiteral("Ali"));
    b.prompts.answerMessage(ui::MsgBoxResult(answer));
    b.window->mnuRename();
    const bool yes = answer == ui::vbYes;
    // Yes: the copy takes the name asked for, the old file is gone.
    QCOMPARE(contentOf(b.folder() + (yes ? "/Ali.JPG" : "/Ali.jpg")),
             yes ? contentOf(b.folder() + "/Resim001.jpg") : old);
    QCOMPARE(b.column(b.window->lstFotoName),
             QStringList{yes ? QStringLiteral("Ali.JPG") : QStringLiteral("Resim001.JPG")});
    // One file per name: the answer's case did not make a second Ali.
    QCOMPARE(QDir(b.folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
  }

  void renameFailuresShowTheirNumber_data() {
    QTest::addColumn<bool>("select");
    QTest::addColumn<bool>("removeFile");
    QTest::addColumn<int>("number");
    QTest::newRow("no entry selected: 5") << false << false << 5;
    QTest::newRow("the file is gone: 53") << true << true << 53;
  }
  void renameFailuresShowTheirNumber() {
    QFETCH(bool, select);
    QFETCH(bool, removeFile);
    QFETCH(int, number);
    Browser b;
    b.save("001");
    if (!select) b.window->lstFoto->setCurrentRow(-1);
    if (removeFile) QVERIFY(QFile::remove(b.folder() + "/Resim001.jpg"));
    if (select) b.prompts.answerInput(QStringLiteral("Ali"));
    b.prompts.answerMessage(ui::vbOK);
    b.window->mnuRename();
    const auto& shown = b.prompts.prompts().last();
    QCOMPARE(shown.text, errorText(number));
    QCOMPARE(shown.title, QStringLiteral("Hata"));
    QCOMPARE(shown.icon, ui::vbCritical);
    QCOMPARE(b.column(b.window->lstFotoName), QStringList{"Resim001.JPG"});
  }

  void deleteMovesTheFileToTheTrash() {
    Browser b;
    b.save("001");
    b.save("002");
    b.window->lstFoto->setCurrentRow(0);
    const QString shown = b.window->lstFoto->item(0)->text();
    b.prompts.answerMessage(ui::vbYes);
    b.window->mnuSil();
    const auto& asked = b.prompts.prompts().first();
    QCOMPARE(asked.text, shown + "\nBu dosyayı silmek istediğinize emin misiniz?");
    QCOMPARE(asked.title, QStringLiteral("Sil"));
    QCOMPARE(asked.buttons, ui::vbYesNo);
    QCOMPARE(asked.icon, ui::vbQuestion);
    QVERIFY(!QFile::exists(b.folder() + "/Resim001.jpg"));
    QVERIFY(QFile::exists(b.trash() + "/files/Resim001.jpg"));
    QVERIFY(QFile::exists(b.trash() + "/info/Resim001.jpg.trashinfo"));
    QCOMPARE(b.column(b.window->lstFotoName), QStringList{"Resim002.JPG"});
    QCOMPARE(b.column(b.window->lstYol), QStringList{b.folder() + "/Resim002.JPG"});
    QCOMPARE(b.window->lstFoto->count(), 1);
    QCOMPARE(b.window->StatusBar1Panel1->text(), QStringLiteral(" 1  Adet Kayıt"));
  }

  void deleteAnsweredNoKeepsEverything() {
    Browser b;
    b.save("001");
    b.prompts.answerMessage(ui::vbNo);
    b.window->mnuSil();
    QVERIFY(QFile::exists(b.folder() + "/Resim001.jpg"));
    QCOMPARE(b.window->lstFoto->count(), 1);
  }

  void deleteWithNothingSelectedEndsInTheError() {
    Browser b;
    b.save("001");
    b.window->lstFoto->setCurrentRow(-1);
    b.prompts.answerMessage(ui::vbYes);
    b.prompts.answerMessage(ui::vbOK);
    b.window->mnuSil();
    QCOMPARE(b.prompts.prompts().first().text,
             QStringLiteral("\nBu dosyayı silmek istediğinize emin misiniz?"));
    const auto& error = b.prompts.prompts().last();
    QCOMPARE(error.text, QStringLiteral("Yaptığınız işlemde hata oluştu"));
    QCOMPARE(error.title, QStringLiteral("Hata"));
    QCOMPARE(error.icon, ui::vbCritical);
    QVERIFY(QFile::exists(b.folder() + "/Resim001.jpg"));
    QCOMPARE(b.window->lstFoto->count(), 1);
  }

  void rightClickShowsTheFramesPopupWithoutSelecting() {
    Browser b;
    b.program->form->mnuDosya->trigger();
    QMenu* popup = b.program->frame->mnuPopup;
    QWidget* viewport = b.window->lstFoto->viewport();
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!popup->isVisible());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b.prompts.prompts().size(), 0);

    b.save("001");
    b.save("002");
    b.window->lstFoto->setCurrentRow(1);
    const QRect first = b.window->lstFoto->visualItemRect(b.window->lstFoto->item(0));
    QTest::mouseClick(viewport, Qt::RightButton, {}, first.center());
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(b.window->lstFoto->currentRow(), 1);
    // At the mouse, kept on the screen.
    const QPoint at = viewport->mapToGlobal(first.center());
    const QRect screen = popup->screen()->geometry();
    QCOMPARE(popup->pos(), QPoint(std::min(at.x(), screen.right() + 1 - popup->width()), at.y()));
    popup->close();
  }

  void keysActAsInTheWorkspace() {
    Browser b;
    b.program->form->mnuDosya->trigger();
    b.window->lstFoto->setFocus();
    QTest::keyClick(b.window->lstFoto, Qt::Key_F9);
    QCOMPARE(b.program->endCalls(), 1);
  }

  void closedBrowserComesBackWithItsEntries() {
    Browser b;
    b.save("001");
    b.program->form->mnuDosya->trigger();
    frameWindow(*b.window)->close();
    QVERIFY(!frameWindow(*b.window)->isVisible());
    b.program->form->mnuDosya->trigger();
    QCOMPARE(b.program->registry.find<gozat>(), b.window);
    QVERIFY(frameWindow(*b.window)->isVisible());
    QCOMPARE(b.window->lstFoto->count(), 1);
  }

  // Adds, renames and deletes in a random order (fixed seed): after each, the
  // three lists describe the same files at the same positions.
  void listsStayInStep() {
    Browser b;
    QRandomGenerator random(20240611);
    const QStringList kTypes{"JPG", "GIF", "BMP"};
    for (int step = 0; step < 120; ++step) {
      gozat& w = *b.window;
      const int action = random.bounded(3);
      if (action == 0 || w.lstFoto->count() == 0) {
        b.save(QStringLiteral("%1").arg(random.bounded(1, 30), 3, 10, QLatin1Char('0')),
               random.bounded(3), random.bounded(1000, 8000));
      } else {
        w.lstFoto->setCurrentRow(random.bounded(w.lstFoto->count()));
        const int row = w.lstFoto->currentRow();
        if (action == 1) {
          const QString name = QStringLiteral("Ad%1").arg(random.bounded(6));
          const QString old = w.lstFotoName->item(row)->text();
          const QString next = name + old.right(4);
          b.prompts.answerInput(name);
          const bool unchanged = name == old.chopped(4);
          const QString newPath = b.folder() + "/" + next;
          const bool sameFile = files::equalsIgnoringCase(old.toStdString(), next.toStdString());
          if (!unchanged && !sameFile && files::findFileIgnoringCase(newPath.toStdString())) {
            b.prompts.answerMessage(ui::vbYes);
          }
          const bool gone = !files::findFileIgnoringCase(w.lstYol->item(row)->text().toStdString());
          if (!unchanged && gone) b.prompts.answerMessage(ui::vbOK);
          w.mnuRename();
        } else {
          b.prompts.answerMessage(ui::vbYes);
          if (!files::findFileIgnoringCase(w.lstYol->item(row)->text().toStdString()))
            b.prompts.answerMessage(ui::vbOK);
          w.mnuSil();
        }
      }
      QCOMPARE(b.prompts.pendingAnswers(), 0);
      QCOMPARE(w.lstFotoName->count(), w.lstFoto->count());
      QCOMPARE(w.lstYol->count(), w.lstFoto->count());
      for (int k = 0; k < w.lstFoto->count(); ++k) {
        const QString name = w.lstFotoName->item(k)->text();
        QCOMPARE(w.lstYol->item(k)->text(), b.folder() + "/" + name);
        QVERIFY2(w.lstFoto->item(k)->text().startsWith(name + "( "), qPrintable(name));
        QCOMPARE(kTypes.at(w.lstFoto->item(k)->data(Qt::UserRole).toInt()), name.right(3));
      }
    }
  }
};

QTEST_MAIN(GozatTest)
#include "tst_gozat.moc"
